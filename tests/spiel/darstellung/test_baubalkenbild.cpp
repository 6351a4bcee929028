// The build bar on a real window, drawn with the game's sprite sheet and font from the build's
// data folder: the page on the left, the world's side untouched, the pause menu in the middle.
#include <gtest/gtest.h>

#include <vector>

#include "gui/checkbox.h"
#include "gui/hinweis.h"
#include "gui/oberflaeche.h"
#include "tests/grafik/gemeinsam/grafik_testhilfe.h"
#include "quarzklassen/grafik/bild/tbereich.h"
#include "quarzklassen/grafik/geraet/quarz_screen3d.h"
#include "quarzklassen/grafik/geraet/quarz_zeichenkontext.h"
#include "quarzklassen/grafik/schrift/quarz_font3d.h"
#include "quarzklassen/grafik/sprite/quarz_blockgfx3d.h"
#include "quarzklassen/kern/quarz_log.h"
#include "quarzklassen/kern/quarz_system.h"
#include "quarzklassen/kern/quarz_timer.h"
#include "quarzklassen/kern/textkodierung.h"
#include "spiel/oberflaeche/buttons.h"
#include "spiel/welt/platzierung.h"
#include "spiel/grafik/spielgrafik.h"
#include "spiel/welt/vorrat.h"

namespace Spiel::Test {
namespace {

constexpr int kBreite = 640;
constexpr int kHoehe = 480;

class BaubalkenBildTest : public ::testing::Test {
protected:
  void SetUp() override {
    if (!gLog.IstGestartet()) gLog.Starte(L".", L"test.log");
    mAlterPfad = gSystem.mAnwendungsPfad;
    gSystem.mAnwendungsPfad = WandleUtf8NachUtf32(WEILERBAU_BAU);
    gTimer.Leere();
    gTimer.Starte();
    mUhr.Starte();
    Vorrat::Zuruecksetzen();
    TurmGesetzt = false;
    ASSERT_TRUE(Quarz_Screen3D::Init(Quarz_Screen3D::Modus{kBreite, kHoehe, 0, 0}, Quarz_Screen3D::FLAG_ANWENDUNG));
    mKontext = Quarz_Screen3D::GetZeichenKontext();
    LadeSpielGrafik();
  }
  void TearDown() override {
    delete gSpielGrafik;
    delete gSpielSchrift;
    gSpielGrafik = nullptr;
    gSpielSchrift = nullptr;
    gSystem.mAnwendungsPfad = mAlterPfad;
    gSystem.mBeenden = false;
    Quarz_Screen3D::Beenden();
    gTimer.Leere();
  }
  // One frame of the build bar on black, read back; the engine timer first runs the
  // relayouts and lets every fade finish.
  std::vector<uint32_t> Bild(Buttons& buttons) {
    gTimer.Vorruecken(static_cast<int64_t>(gTimerFrequenz));
    mKontext->Leeren(1, 0, 0, 0, 1);
    buttons.Aktualisiere();
    return LiesBildschirm(*mKontext, kBreite, kHoehe);
  }
  // Pixels in the rectangle that are not black.
  static int Farbig(const std::vector<uint32_t>& bild, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) n += (bild[y * kBreite + x] & 0xFFFFFFu) != 0;
    return n;
  }

  std::wstring mAlterPfad;
  Quarz_Timer mUhr;
  Quarz_ZeichenKontext* mKontext = nullptr;
};

TEST_F(BaubalkenBildTest, SeiteLinksMenueInDerMitte) {
  ASSERT_NE(gSpielGrafik, nullptr);
  ASSERT_NE(gSpielSchrift, nullptr);
  Buttons buttons(&mUhr);
  std::vector<uint32_t> bild = Bild(buttons);
  // The menu button at the top, the build choices at the bottom, nothing right of the page's
  // column of 250 units.
  EXPECT_GT(Farbig(bild, 14, 14, 264, 44), 2000);
  EXPECT_GT(Farbig(bild, 14, kHoehe - 44, 264, kHoehe - 14), 2000);
  EXPECT_EQ(Farbig(bild, 280, 0, kBreite, kHoehe), 0);

  buttons.OnKey(nullptr, 1, true);  // Escape
  EXPECT_TRUE(mUhr.mPausiert);
  bild = Bild(buttons);
  EXPECT_GT(Farbig(bild, 280, kHoehe / 4, kBreite * 3 / 4, kHoehe * 3 / 4), 1000);
}

// The tooltip's body is one stretched graphic: its last rows show the colour of the rows above
// them, with no seam of what lies beside the graphic in the atlas.
TEST_F(BaubalkenBildTest, HinweisOhneSaumAmUnterenRand) {
  Buttons buttons(&mUhr);
  Bild(buttons);
  buttons.mOberflaeche->MausBewegung(buttons.mBauBoxen[4]->AbsoluteMitte());  // "(5) Steinbruch"
  Bild(buttons);
  const std::vector<uint32_t> bild = Bild(buttons);
  const Gui::Hinweis* hinweis = buttons.mOberflaeche->mHinweisElement;
  ASSERT_NE(hinweis, nullptr);
  const BVektor<float> p = hinweis->AbsolutePosition();
  // The right half: the tail's small rectangles, whose edges cross the body, lie towards the
  // owner on the left.
  const int links = static_cast<int>(p.x + hinweis->mGroesse.x / 2);
  const int rechts = static_cast<int>(p.x + hinweis->mGroesse.x) - 2;
  const int unten = static_cast<int>(p.y + hinweis->mGroesse.y) - 2;
  ASSERT_LT(rechts, kBreite);
  ASSERT_LT(unten, kHoehe);
  // Ten rows up lie inside the body below the text.
  int abweichend = 0;
  for (int y = unten - 7; y <= unten; ++y)
    for (int x = links; x < rechts; ++x)
      if (!FarbeNahe(bild[y * kBreite + x], bild[(unten - 10) * kBreite + x]) && ++abweichend <= 5)
        ADD_FAILURE() << "(" << x << ", " << y << "): " << std::hex << bild[y * kBreite + x] << " above it "
                      << bild[(unten - 10) * kBreite + x];
  EXPECT_EQ(abweichend, 0);
}

TEST_F(BaubalkenBildTest, OhneSpielgrafikKeinBaubalken) {
  delete gSpielGrafik;
  gSpielGrafik = nullptr;
  // A start-up failure that leaves nothing behind: no surface waiting for its layout on the
  // engine timer, nothing listening to display changes.
  const size_t geplant = gTimer.mEreignisse.size();
  EXPECT_ANY_THROW(Buttons buttons(&mUhr));
  EXPECT_EQ(gTimer.mEreignisse.size(), geplant);
  EXPECT_EQ(Quarz_Screen3D::mDarstellungGeaendert.num_slots(), 0u);
}

}  // namespace
}  // namespace Spiel::Test
