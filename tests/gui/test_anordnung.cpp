// Layout: rows and columns with spacing, stretch and alignment, run once per burst of changes.
#include <gtest/gtest.h>

#include "gui/anordnung.h"
#include "quarzklassen/kern/quarz_timer.h"
#include "tests/gui/gui_testhilfe.h"

using namespace Gui;

namespace {

class AnordnungTest : public ::testing::Test {
protected:
  void SetUp() override { guitest::Starte(); }
  void TearDown() override { gTimer.Leere(); }
};

// A leaf that counts how often the layout places it.
class Zaehler : public Text {
public:
  Zaehler() : Text("", 1) {}
  void SetPosition(const BVektor<float>& p, bool a) override {
    ++mPlatziert;
    Text::SetPosition(p, a);
  }
  int mPlatziert = 0;
};

Basis* Fest(Basis* e, float b, float h) {
  e->SetGroesse(BVektor<float>(b, h, 0), false);
  return e;
}

TEST_F(AnordnungTest, SpalteGibtDieFreieHoeheDemGedehnten) {
  Oberflaeche o("");
  auto* v = new VaterBasis();
  o.FuegeKindHinzu(v);
  Fest(v, 200, 400);
  v->SetAnordnung(new Anordnung(Anordnung::SPALTE, 0.0f, 0.0f));
  auto* a = new Text("a", 1);
  auto* b = new Text("b", 1);
  auto* c = new Text("c", 0);  // stretch y 1
  for (Text* t : {a, b}) t->mEigenschaften.Knoten("text.groesse.y").SetzeWert("float", "30");
  c->mEigenschaften.Knoten("text.groesse.y").SetzeWert("float", "100");
  for (Text* t : {a, b, c}) v->FuegeKindHinzu(t);
  guitest::Schritt();
  // No spacing: used 160 of 400; c gets the 240 left over, and the full width (stretch x 1).
  EXPECT_EQ(c->mGroesse, BVektor<float>(200, 340, 0));
  EXPECT_EQ(a->mGroesse, BVektor<float>(200, 30, 0));
  EXPECT_EQ(b->mPosition, BVektor<float>(0, 30, 0));
  EXPECT_EQ(c->mPosition, BVektor<float>(0, 60, 0));
}

TEST_F(AnordnungTest, GroesseDerAnordnung) {
  // Size over all children, visible or not: row width sx + sum(sx + w), height 2 sy + max h.
  struct Fall {
    const char* name;
    uint32_t art;
    float abstand;
    int kinder;  // children of 30 x 20, the second of them hidden
    BVektor<float> erwartet;
  };
  const Fall faelle[] = {
      {"leere Zeile", Anordnung::ZEILE, 4, 0, {4, 8, 0}},
      {"leere Zeile ohne Abstand", Anordnung::ZEILE, 0, 0, {0, 0, 0}},
      {"leere Spalte", Anordnung::SPALTE, 4, 0, {8, 4, 0}},
      {"Zeile mit drei", Anordnung::ZEILE, 4, 3, {4 + 3 * 34, 28, 0}},
      {"Spalte mit drei", Anordnung::SPALTE, 4, 3, {38, 4 + 3 * 24, 0}},
      {"unbekannte Art", 7, 4, 3, {0, 0, 0}},
  };
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.name);
    Oberflaeche o("");
    o.mEigenschaften.Knoten("elmAbstand.x").SetzeWert("float", std::to_string(f.abstand));
    o.mEigenschaften.Knoten("elmAbstand.y").SetzeWert("float", std::to_string(f.abstand));
    auto* v = new VaterBasis();
    o.FuegeKindHinzu(v);
    v->SetAnordnung(new Anordnung(f.art, 0.5f, 0.5f));
    for (int i = 0; i < f.kinder; ++i) {
      v->FuegeKindHinzu(Fest(new Text("", 0), 30, 20));
      if (i == 1) v->mKinder.back()->SetSichtbar(false);
    }
    EXPECT_EQ(v->GetGroesse(), f.erwartet);
  }
}

TEST_F(AnordnungTest, UnsichtbareNehmenKeinenPlatzFesteRueckenWeiter) {
  Oberflaeche o("");
  o.mEigenschaften.Knoten("elmAbstand.y").SetzeWert("float", "5");
  auto* v = new VaterBasis();
  o.FuegeKindHinzu(v);
  Fest(v, 100, 200);
  v->SetAnordnung(new Anordnung(Anordnung::SPALTE, 0.0f, 0.0f));
  Basis* weg = Fest(new Text("weg", 0), 50, 10);
  Basis* fest = Fest(new Text("fest", 0), 50, 10);
  Basis* danach = Fest(new Text("danach", 0), 50, 10);
  for (Basis* e : {weg, fest, danach}) v->FuegeKindHinzu(e);
  weg->SetSichtbar(false);
  fest->SetPosition(BVektor<float>(70, 70, 0), false);
  guitest::Schritt();
  // The hidden first child takes no room, yet the first visible one still gets the spacing
  // before it (index 1). The fixed one stays put but moves the running y on by 5 + 10.
  EXPECT_EQ(fest->mPosition, BVektor<float>(70, 70, 0));
  EXPECT_EQ(danach->mPosition, BVektor<float>(0, 5 + 5 + 10, 0));
}

TEST_F(AnordnungTest, VieleAenderungenEineAnordnung) {
  Oberflaeche o("");
  auto* v = new VaterBasis();
  o.FuegeKindHinzu(v);
  v->SetAnordnung(new Anordnung(Anordnung::SPALTE, 0.5f, 0.5f));
  auto* z = new Zaehler();
  v->FuegeKindHinzu(z);
  for (int i = 0; i < 10; ++i) {
    v->FuegeKindHinzu(new Text("", 0));
    z->SetSichtbar(i % 2 == 1);  // ends visible
    Fest(v, 100.0f + i, 300);
  }
  EXPECT_EQ(z->mPlatziert, 0);  // nothing inside the calls themselves
  guitest::Schritt();
  EXPECT_EQ(z->mPlatziert, 1);
  guitest::Schritt();
  EXPECT_EQ(z->mPlatziert, 1);
}

TEST_F(AnordnungTest, ZuKleinerBehaelterGibtKeineNegativenGroessen) {
  // Children taller than the container: the stretched ones shrink to 0, never below, and the
  // cross axis of a container narrower than its spacing is 0 as well.
  Oberflaeche o("");
  o.mEigenschaften.Knoten("elmAbstand.x").SetzeWert("float", "4");
  o.mEigenschaften.Knoten("elmAbstand.y").SetzeWert("float", "4");
  auto* v = new VaterBasis();
  o.FuegeKindHinzu(v);
  Fest(v, 6, 50);
  v->SetAnordnung(new Anordnung(Anordnung::SPALTE, 0.5f, 0.5f));
  v->FuegeKindHinzu(Fest(new Text("", 0), 100, 100));
  auto* gedehnt = new Text("", 0);  // auto size 100 x 40, stretch (1, 1)
  v->FuegeKindHinzu(gedehnt);
  guitest::Schritt();
  EXPECT_GE(gedehnt->mGroesse.y, 0.0f);
  EXPECT_EQ(gedehnt->mGroesse, BVektor<float>(0, 0, 0));
}

// The two pages of the game at 1280 x 768 with elmAbstand 4 from the shipped file.
struct Rechteck {
  const char* name;
  BVektor<float> position;  // absolute
  BVektor<float> groesse;
};

void PruefeRechtecke(const std::vector<std::pair<Basis*, Rechteck>>& faelle) {
  for (const auto& [e, r] : faelle) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(e->AbsolutePosition(), r.position);
    EXPECT_EQ(e->mGroesse, r.groesse);
  }
}

TEST_F(AnordnungTest, BaubalkenUndPausemenue) {
  Oberflaeche o(guitest::KonfigPfad());
  guitest::Baubalken leiste(o);
  auto* menue = new guitest::PauseMenue(o);
  o.FuegeKindHinzu(menue);
  guitest::Schritt();
  // Build bar: page (10, 10) 1260 x 748, inner 1252 x 740 after the spacing 4 on each side.
  // Fixed heights 30 + (4+30) + (4+0) + (4+100) + 6 (4+30) = 376 used; the spacer (stretch y 1,
  // the only automatic child) takes 740 - 376 = 364. Left-aligned: x = 4 + 10 = 14. From y = 4:
  // "Menü" 4, the choice 4 + 34 = 38, the spacer 72, the text 72 + 4 + 364 = 440, then the
  // boxes from 544 in steps of 34; the last at 544 + 5 * 34 = 714; each plus the page's 10.
  // Pause menu: 640 x 384 at (320, 192), inner 632 x 376. Used 0 + 4+40 + 4+40 + 4+40 + 4+0 =
  // 136; the two spacers and the title (stretch y 1 each) share 240: 80 each. "Weiter" at
  // x = (632 - 200) / 2 + 4 = 220, y = 4 + 80 + 4 + 120 + 4 = 212; "Ende" 44 lower.
  PruefeRechtecke({
      {leiste.mMenue, {"Menü", {14, 14, 0}, {250, 30, 0}}},
      {leiste.mZeit, {"Zeitwahl", {14, 48, 0}, {250, 30, 0}}},
      {leiste.mAbstand, {"Abstand", {14, 82, 0}, {0, 364, 0}}},
      {leiste.mVorrat, {"Vorrat", {14, 450, 0}, {250, 100, 0}}},
      {leiste.mBoxen[5], {"TURM", {14, 724, 0}, {250, 30, 0}}},
      {menue->mTitel, {"Pause", {324, 280, 0}, {632, 120, 0}}},
      {menue->mWeiter, {"Weiter", {540, 404, 0}, {200, 40, 0}}},
      {menue->mEnde, {"Ende", {540, 448, 0}, {200, 40, 0}}},
  });
}

TEST_F(AnordnungTest, BaubalkenUndPausemenueNachFensteraenderung) {
  Oberflaeche o(guitest::KonfigPfad());
  guitest::Baubalken leiste(o);
  auto* menue = new guitest::PauseMenue(o);
  o.FuegeKindHinzu(menue);
  guitest::Schritt();
  guitest::AendereBildschirm(1024, 600);
  guitest::Schritt();
  EXPECT_EQ(o.mGroesse, BVektor<float>(1024, 600, 0));
  // Build bar: inner 996 x 572; the spacer takes 572 - 376 = 196; the last box at
  // 4 + 34 + 34 + 4 + 196 + 104 + 5 * 34 = 546, plus 10.
  // Pause menu re-centred: 512 x 300 at (256, 150), inner 504 x 292, 292 - 136 = 156 shared:
  // 52 each. "Weiter" at x = (504 - 200) / 2 + 4 = 156, y = 4 + 52 + 4 + 92 + 4 = 156.
  PruefeRechtecke({
      {leiste.mMenue, {"Menü", {14, 14, 0}, {250, 30, 0}}},
      {leiste.mAbstand, {"Abstand", {14, 82, 0}, {0, 196, 0}}},
      {leiste.mBoxen[5], {"TURM", {14, 556, 0}, {250, 30, 0}}},
      {menue, {"Menü-Seite", {256, 150, 0}, {512, 300, 0}}},
      {menue->mWeiter, {"Weiter", {412, 306, 0}, {200, 40, 0}}},
      {menue->mEnde, {"Ende", {412, 350, 0}, {200, 40, 0}}},
  });
}

}  // namespace
