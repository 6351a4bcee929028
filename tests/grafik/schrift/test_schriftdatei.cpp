// The font file: the generated "calibrib.fnt" is the font ErzeugeAusTrueType makes from
// "calibrib.ttf", older versions read as their layout says, and damaged files are refused
// whole with their log line.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <functional>

#include "quarzklassen/grafik/schrift/ttruetypeglyphen.h"
#include "quarzklassen/grafik/sprite/quarz_blockgfx3d.h"
#include "quarzklassen/kern/tspeicher.h"
#include "tests/grafik/gemeinsam/grafik_testhilfe.h"
#include "tests/grafik/schrift/schrift_testhilfe.h"

TEST(SchriftDatei, GenerierteDateiGleichtDerTrueTypeSchrift) {
  TLogFaenger log;
  Quarz_Font3D geladen;
  ASSERT_TRUE(geladen.Laden(BauDaten("calibrib.fnt"))) << log.Alle();
  Quarz_Font3D* erzeugt = Quarz_Font3D::ErzeugeAusTrueType(BauDaten("calibrib.ttf"));
  ASSERT_NE(erzeugt, nullptr) << log.Alle();

  EXPECT_EQ(geladen.mDateiGroesse, 24.0f);
  EXPECT_EQ(geladen.mGlyphen, erzeugt->mGlyphen);
  const TSpriteAtlas& a = geladen.mBatch->mAtlas;
  const TSpriteAtlas& b = erzeugt->mBatch->mAtlas;
  EXPECT_EQ(a.mBreite, 512u);
  EXPECT_EQ(b.mBreite, 512u);
  EXPECT_TRUE(a.mPixel == b.mPixel);
  // Every code point of the default set is there, and nothing else.
  size_t anzahl = 0;
  for (uint32_t c : TTrueTypeGlyphen::StandardSatz()) {
    ASSERT_TRUE(geladen.Glyphe(c)) << c;
    EXPECT_EQ(a.mGrafiken[c], b.mGrafiken[c]) << c;
    EXPECT_LE(a.mGrafiken[c].mBreite, 48u);
    ++anzahl;
  }
  EXPECT_EQ(anzahl, 230u);
  for (uint32_t c : {0x20u, 0x3Du, 0x60u, 0x7Bu, 0x7Cu, 0x7Du, 0x452u}) EXPECT_FALSE(geladen.Glyphe(c)) << c;
  EXPECT_FALSE(log.Enthaelt("!"));
  delete erzeugt;
}

TEST(SchriftDatei, TrueTypeFehler) {
  TLogFaenger log;
  TSpeicher kaputt;
  kaputt.SchreibeText("keine Schrift");
  ASSERT_TRUE(kaputt.SpeichereDatei(L"kaputt.ttf"));
  EXPECT_EQ(Quarz_Font3D::ErzeugeAusTrueType(L"fehlt.ttf"), nullptr);
  EXPECT_TRUE(log.Enthaelt("!Kann Schriftart \"fehlt.ttf\" nicht öffnen."));
  EXPECT_EQ(Quarz_Font3D::ErzeugeAusTrueType(L"kaputt.ttf"), nullptr);
  EXPECT_TRUE(log.Enthaelt("!Schriftart \"kaputt.ttf\" nicht lesbar mit Fehlercode"));
}

namespace {

// A small font file: version, size, and the glyphs of the test font.
TSpeicher Datei(uint32_t version, float groesse) {
  Quarz_Font3D quelle;
  BaueTestSchrift(quelle);
  TSchriftDatei d;
  d.mGroesse = groesse;
  d.mAtlas = quelle.mBatch->mAtlas;
  d.mGlyphen = quelle.mGlyphen;
  TSpeicher p;
  d.Schreibe(p);
  // The version word, and the layout of older versions: no count below 258, no records below 257.
  p.SetPosition(4);
  SchreibeU32BE(p, version);
  if (version < 258) {
    const uint64_t tabelle = p.Groesse() - d.mGlyphen.size() * 12 - 4;
    TSpeicher alt;
    alt.SchreibeMem(p.Daten(), tabelle);
    if (version == 257)
      for (uint32_t c = 0; c < 256; ++c)
        for (int32_t w : {d.mGlyphen[c].mVersatzX, d.mGlyphen[c].mVersatzY, d.mGlyphen[c].mVorschub})
          SchreibeU32BE(alt, static_cast<uint32_t>(w));
    return alt;
  }
  return p;
}

}  // namespace

TEST(SchriftDatei, AeltereVersionen) {
  TLogFaenger log;
  for (uint32_t version : {256u, 257u, 258u}) {
    SCOPED_TRACE(version);
    ASSERT_TRUE(Datei(version, 30).SpeichereDatei(L"alt.fnt"));
    Quarz_Font3D schrift;
    ASSERT_TRUE(schrift.Laden(L"alt.fnt")) << log.Alle();
    EXPECT_EQ(schrift.mDateiGroesse, 30.0f);
    EXPECT_EQ(schrift.mGroesse, 30.0f);
    EXPECT_EQ(schrift.mGlyphen.size(), 256u);
    ASSERT_TRUE(schrift.Glyphe(0xE4));
    // Version 256 takes its advances from the graphic widths and has no offsets.
    const TGlyphe erwartet = version == 256 ? TGlyphe{0, 0, 10} : TGlyphe{1, -3, 11};
    EXPECT_EQ(*schrift.Glyphe(0xE4), erwartet);
    EXPECT_EQ(schrift.Glyphe('.')->mVorschub, version == 256 ? 3 : 4);
  }
}

// Glyphs are rendered for size 24: one added to a font of another size is reported, and added.
TEST(SchriftDatei, EinBuchstabeAndererHoeheWirdGemeldet) {
  TLogFaenger log;
  ASSERT_TRUE(Datei(258, 30).SpeichereDatei(L"alt.fnt"));
  Quarz_Font3D schrift;
  ASSERT_TRUE(schrift.Laden(L"alt.fnt")) << log.Alle();
  std::vector<uint32_t> pixel(16 * 16, 0xFFFFFFFFu);
  schrift.AddBuchstabe('x', TBereich{reinterpret_cast<uint8_t*>(pixel.data()), 0, 16, 16, 64}, 1, 2, 10, 12,
                       {0, 8, 10});
  ASSERT_EQ(log.mZeilen.size(), 1u) << log.Alle();
  EXPECT_EQ(log.Zaehle("!Quarz_Font3D::AddBuchstabe( 'x', ..., 1, 2, 10, 12): Neuer Buchstabe hat abweichende "
                       "Höhe (24 anstatt 30)."),
            1)
      << log.Alle();
  EXPECT_TRUE(schrift.Glyphe('x'));
}

TEST(SchriftDatei, BeschaedigteDateienWerdenAbgewiesen) {
  TLogFaenger log;
  const TSpeicher gut = Datei(258, 24);
  const uint64_t anzahlPos = gut.Groesse() - 256 * 12 - 4;
  auto Wort = [](uint64_t pos, uint32_t wert) {
    return [=](TSpeicher& p) {
      p.SetPosition(pos);
      SchreibeU32BE(p, wert);
    };
  };
  auto Kuerze = [](uint64_t groesse) { return [=](TSpeicher& p) { p.SetGroesse(groesse); }; };
  const struct {
    const char* mName;
    std::function<void(TSpeicher&)> mSchaden;
    const char* mZeile;  // null: refused without a line
  } faelle[] = {
      {"Kopf", Wort(0, 0x464E5449u), "!Quarz_Font3D::Laden( \"f.fnt\"): Header ist ungültig."},
      {"Größe NaN", Wort(8, 0x7FC00000u), "Schriftgröße ist ungültig"},
      {"Größe 0", Wort(8, 0), "Schriftgröße ist ungültig"},
      {"Größe negativ", Wort(8, std::bit_cast<uint32_t>(-24.0f)), "Schriftgröße ist ungültig"},
      {"Atlasmarke", Wort(12, 0x474B4C43u), nullptr},
      {"Atlasblock", Wort(16, 0x46583345u), nullptr},
      // Cut behind the size: no atlas marker, or no atlas block behind it.
      {"12 Bytes", Kuerze(12), nullptr},
      {"14 Bytes", Kuerze(14), nullptr},
      {"16 Bytes", Kuerze(16), nullptr},
      {"Atlaspixel", Kuerze(anzahlPos - 8), "!Quarz_BlockGfx3D::Laden(): Atlaspixel fehlen."},
      {"Glyphenanzahl über den Daten", Wort(anzahlPos, 257), "Glyphentabelle ist beschädigt"},
      {"Glyphenanzahl riesig", Wort(anzahlPos, 0xFFFFFFF0u), "Glyphentabelle ist beschädigt"},
      {"abgeschnitten", [&](TSpeicher& p) { p.SetGroesse(p.Groesse() - 5); }, "Glyphentabelle ist beschädigt"},
  };
  for (const auto& f : faelle) {
    SCOPED_TRACE(f.mName);
    TSpeicher p;
    p.SchreibeMem(gut.Daten(), gut.Groesse());
    f.mSchaden(p);
    ASSERT_TRUE(p.SpeichereDatei(L"f.fnt"));
    Quarz_Font3D schrift;
    log.mZeilen.clear();
    EXPECT_FALSE(schrift.Laden(L"f.fnt"));
    if (f.mZeile) EXPECT_TRUE(log.Enthaelt(f.mZeile)) << log.Alle();
    else EXPECT_TRUE(log.mZeilen.empty()) << log.Alle();
    // Nothing was taken over; drawing with the empty font divides by nothing.
    EXPECT_EQ(schrift.mDateiGroesse, 0.0f);
    EXPECT_TRUE(schrift.mGlyphen.empty());
    schrift.SetGroesse(12);
    EXPECT_EQ(schrift.mSkalierung, 1.0f);
    schrift.mSofortZeichnen = 0;
    schrift.Zeichne(0, 0, "abc");
    schrift.ZeichneUmbrochen(0, 0, 100, 100, "%s", "abc def");
    EXPECT_TRUE(schrift.mBatch->mWarteschlange.empty());
  }
  Quarz_Font3D schrift;
  EXPECT_FALSE(schrift.Laden(L"gibtsnicht.fnt"));
  EXPECT_TRUE(log.Enthaelt("!Quarz_Font3D::Laden( \"gibtsnicht.fnt\"): Datei konnte nicht gelesen werden."));
}
