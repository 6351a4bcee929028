// The game's sprite sheet and font from the build's data folder on a real window: graphic 0
// drawn as the GUI draws its rectangles (tinted), a line of game text, and the step without its
// files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "tests/grafik/gemeinsam/grafik_testhilfe.h"
#include "quarzklassen/grafik/bild/tbereich.h"
#include "quarzklassen/grafik/geraet/quarz_screen3d.h"
#include "quarzklassen/grafik/geraet/quarz_zeichenkontext.h"
#include "quarzklassen/grafik/schrift/quarz_font3d.h"
#include "quarzklassen/grafik/sprite/quarz_blockgfx3d.h"
#include "quarzklassen/kern/quarz_konsolebasisanzeige.h"
#include "quarzklassen/kern/quarz_log.h"
#include "quarzklassen/kern/quarz_system.h"
#include "quarzklassen/kern/quarz_timer.h"
#include "quarzklassen/kern/textkodierung.h"
#include "spiel/grafik/spielgrafik.h"

namespace Spiel::Test {
namespace {

struct TZeilen : Quarz_KonsoleBasisAnzeige {
  void ZeigeZeile(const char* zeile) override { mText += zeile; }
  std::string mText;
};

class SpielGrafikTest : public ::testing::Test {
protected:
  void SetUp() override {
    if (!gLog.IstGestartet()) gLog.Starte(L".", L"test.log");
    mAlterPfad = gSystem.mAnwendungsPfad;
    gTimer.Starte();
    ASSERT_TRUE(Quarz_Screen3D::Init(Quarz_Screen3D::Modus{64, 48, 0, 0}, Quarz_Screen3D::FLAG_ANWENDUNG));
    mKontext = Quarz_Screen3D::GetZeichenKontext();
  }
  void TearDown() override {
    delete gSpielGrafik;
    delete gSpielSchrift;
    gSpielGrafik = nullptr;
    gSpielSchrift = nullptr;
    gSystem.mAnwendungsPfad = mAlterPfad;
    Quarz_Screen3D::Beenden();
  }
  std::vector<uint32_t> Bild() {
    return LiesBildschirm(*mKontext, 64, 48);
  }
  std::wstring mAlterPfad;
  Quarz_ZeichenKontext* mKontext = nullptr;
};

TEST_F(SpielGrafikTest, BlattUndSchriftAusDemDatenordner) {
  gSystem.mAnwendungsPfad = WandleUtf8NachUtf32(WEILERBAU_BAU);
  TZeilen zeilen;
  LadeSpielGrafik();
  ASSERT_NE(gSpielGrafik, nullptr);
  ASSERT_TRUE(gSpielGrafik->HatGrafik(0));
  ASSERT_TRUE(gSpielGrafik->HatGrafik(1));
  EXPECT_EQ(gSpielGrafik->Grafik(0).mBreite, 16u);
  EXPECT_EQ(gSpielGrafik->Grafik(1).mHoehe, 15u);
  EXPECT_EQ(gSpielGrafik->mAtlas.mBreite, 1024u);
  EXPECT_EQ(gSpielGrafik->mAtlasGeaendert, 0);
  ASSERT_NE(gSpielSchrift, nullptr);
  EXPECT_EQ(gSpielSchrift->mSofortZeichnen, 0);
  EXPECT_EQ(zeilen.mText.find('!'), std::string::npos) << zeilen.mText;

  // A rectangle as the GUI draws it: graphic 0 stretched and tinted.
  mKontext->Leeren(3, 0, 0, 0, 1);
  gSpielGrafik->Zeichne(0, {4, 4, 0.5f}, TAlphaFarbe(1, 0.5f, 0, 1), 30, 10, 0);
  gSpielGrafik->Ausgeben();
  std::vector<uint32_t> bild = Bild();
  for (const auto& [x, y] : {std::pair(4, 4), std::pair(20, 8), std::pair(33, 13)})
    EXPECT_EQ(bild[y * 64 + x] | 0xFF000000u, 0xFFFF8000u) << x << ", " << y;
  EXPECT_EQ(bild[14 * 64 + 34] | 0xFF000000u, 0xFF000000u);

  // Game text stays queued until the font's batch is output.
  gSpielSchrift->Zeichne(2, 20, "Holz 12");
  EXPECT_FALSE(gSpielSchrift->mBatch->mWarteschlange.empty());
  gSpielSchrift->Ausgeben();
  bild = Bild();
  int hell = 0;
  for (int y = 16; y < 48; ++y)
    for (int x = 0; x < 64; ++x) hell += (bild[y * 64 + x] & 0xFF) > 200;
  EXPECT_GT(hell, 20);
}

TEST_F(SpielGrafikTest, OhneDateienKeineGrafikenUndKeineSchrift) {
  gSystem.mAnwendungsPfad = L"/gibt/es/nicht";
  TZeilen zeilen;
  LadeSpielGrafik();
  ASSERT_NE(gSpielGrafik, nullptr);
  EXPECT_FALSE(gSpielGrafik->HatGrafik(0));
  EXPECT_FALSE(gSpielGrafik->HatGrafik(1));
  EXPECT_EQ(gSpielSchrift, nullptr);
  EXPECT_NE(zeilen.mText.find("!LadeModelle(): \"grafik.png\" fehlt"), std::string::npos) << zeilen.mText;
  EXPECT_NE(zeilen.mText.find("!Kann Schriftart"), std::string::npos) << zeilen.mText;
  // Drawing the batch without graphics draws nothing and does not fail.
  gSpielGrafik->Zeichne(0, {0, 0, 0.5f}, TAlphaFarbe(1, 1, 1, 1), 0, 0, 0);
  gSpielGrafik->Ausgeben();
}

// A sheet of width or height 0 loads as an empty image: the game says it has no graphics and
// draws on without them.
TEST_F(SpielGrafikTest, BlattOhneFlaecheGibtKeineGrafiken) {
  // Signature, then IHDR (the reader checks no CRC; these are 0); data: one filter byte per row.
  const auto Png = [](uint8_t breite, uint8_t hoehe, std::string daten) {
    std::string d("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\0", 19);
    d += std::string{static_cast<char>(breite), 0, 0, 0, static_cast<char>(hoehe), 8, 6, 0, 0, 0, 0, 0, 0, 0};
    if (!daten.empty())
      d += std::string{0, 0, 0, static_cast<char>(daten.size())} + "IDAT" + daten + std::string(4, '\0');
    return d + std::string("\0\0\0\0IEND\0\0\0\0", 12);
  };
  // zlib: 16 zero bytes as one stored block, then their Adler-32.
  const std::string sechzehnNullen = std::string("\x78\x01\x01\x10\x00\xef\xff", 7) + std::string(16, '\0') +
                                     std::string("\x00\x10\x00\x01", 4);
  const struct {
    const char* mName;
    std::string mDatei;
  } faelle[] = {{"0 x 16", Png(0, 16, sechzehnNullen)}, {"40 x 0", Png(40, 0, "")}};
  std::filesystem::create_directories("leeres_blatt/Daten");
  gSystem.mAnwendungsPfad = L"leeres_blatt";
  for (const auto& f : faelle) {
    SCOPED_TRACE(f.mName);
    std::ofstream("leeres_blatt/Daten/grafik.png", std::ios::binary) << f.mDatei;
    TZeilen zeilen;
    LadeSpielGrafik();
    ASSERT_NE(gSpielGrafik, nullptr);
    EXPECT_FALSE(gSpielGrafik->HatGrafik(0));
    EXPECT_FALSE(gSpielGrafik->HatGrafik(1));
    EXPECT_EQ(zeilen.mText.find("Quarz_Bild"), std::string::npos) << zeilen.mText;  // the file loaded
    EXPECT_NE(zeilen.mText.find("!LadeModelle(): \"grafik.png\" fehlt oder ist kleiner als 32 x 16; keine Grafiken."),
              std::string::npos)
        << zeilen.mText;
    gSpielGrafik->Zeichne(0, {0, 0, 0.5f}, TAlphaFarbe(1, 1, 1, 1), 0, 0, 0);
    gSpielGrafik->Ausgeben();
    delete gSpielGrafik;
    gSpielGrafik = nullptr;
  }
  std::filesystem::remove_all("leeres_blatt");
}

}  // namespace
}  // namespace Spiel::Test
