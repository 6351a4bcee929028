// boost::signals2's connect trips a false maybe-uninitialized warning in g++ 12 at -O2.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
// Widgets, easing curves and fades.
#include <gtest/gtest.h>

#include <cmath>

#include "gui/hinweis.h"
#include "gui/kurve.h"
#include "quarzklassen/kern/quarz_timer.h"
#include "tests/gui/gui_testhilfe.h"

using namespace Gui;

namespace {

class WidgetTest : public ::testing::Test {
protected:
  void SetUp() override {
    guitest::Starte();
    mO = std::make_unique<Oberflaeche>("");
  }
  void TearDown() override {
    mO.reset();
    gTimer.Leere();
  }
  TasteEreignis Druck(uint64_t code) { return TasteEreignis(code, ZUSTAND_GEDRUECKT, 0); }

  std::unique_ptr<Oberflaeche> mO;
};

TEST_F(WidgetTest, AuswahlSchritteUndRichtung) {
  struct Fall {
    const char* name;
    int eintraege;
    uint64_t start;
    int aktion;  // >= 0: SetAuswahl(aktion); -1: key 265; -2: key 257
    uint64_t ziel;
    uint8_t richtung;
    int signale;
  };
  const Fall faelle[] = {
      {"SetAuswahl vor", 3, 0, 2, 2, 1, 1},
      {"SetAuswahl zurueck", 3, 2, 0, 0, 0, 1},
      {"SetAuswahl gleich", 3, 1, 1, 1, 1, 0},
      {"SetAuswahl ueber das Ende", 3, 0, 9, 2, 1, 1},
      {"Taste vom letzten zum ersten", 3, 2, -1, 0, 1, 1},
      {"Zweite Zeigertaste vom ersten zum letzten", 3, 0, -2, 2, 0, 1},
      {"Ein Eintrag: Taste ohne Signal", 1, 0, -1, 0, 1, 0},
  };
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.name);
    const char* namen[3] = {"a", "b", "c"};
    auto* a = new Auswahl(0, "a", f.eintraege > 1 ? namen[1] : "", f.eintraege > 2 ? namen[2] : "");
    mO->FuegeKindHinzu(a);
    a->mAktuell = f.start;
    a->mRichtung = 1;
    int signale = 0;
    a->mGeaendert.connect([&](size_t) { ++signale; });
    guitest::Schritt(1.0f);
    const int64_t vorher = a->mWechselZeit;
    if (f.aktion >= 0) {
      a->SetAuswahl(static_cast<size_t>(f.aktion));
    } else {
      TasteEreignis e = Druck(f.aktion == -1 ? TASTE_AKTIVIERE : TASTE_ZEIGER2);
      a->BeiTaste(e);
      EXPECT_TRUE(e.mVerbraucht);
      EXPECT_EQ(a->mWechselZeit, Jetzt());  // the animation restarts even without a change
    }
    EXPECT_EQ(a->mAktuell, f.ziel);
    EXPECT_EQ(a->mRichtung, f.richtung);
    EXPECT_EQ(signale, f.signale);
    if (f.signale == 0 && f.aktion >= 0) {
      EXPECT_EQ(a->mWechselZeit, vorher);
    }
    delete a;
  }
}

TEST_F(WidgetTest, KnopfAufGebundenerTasteOhneFokus) {
  auto* b = new Button("zurück", GrafikVerweis());
  int gedrueckt = 0;
  b->mGedrueckt.connect([&] { ++gedrueckt; });
  b->SetTaste(TASTE_ZURUECK);  // not in a surface yet: bound when attached
  mO->FuegeKindHinzu(b);
  ASSERT_EQ(mO->mFokus, nullptr);
  mO->TasteEingabe(TASTE_ZURUECK, ZUSTAND_GEDRUECKT);
  mO->TasteEingabe(TASTE_ZURUECK, ZUSTAND_LOSGELASSEN);
  EXPECT_EQ(gedrueckt, 1);
  // Keys other than pointer, activate and its binding pass on unconsumed.
  TasteEreignis fremd = Druck(65);
  b->BeiTaste(fremd);
  EXPECT_FALSE(fremd.mVerbraucht);
  // Rebinding leaves the old list; taking the button out leaves every list.
  b->SetTaste(40);
  EXPECT_TRUE(mO->mTastenListen[TASTE_ZURUECK].empty());
  EXPECT_EQ(mO->mTastenListen[40].size(), 1u);
  mO->EntferneKind(b);
  EXPECT_TRUE(mO->mTastenListen[40].empty());
  delete b;
}

TEST_F(WidgetTest, CheckboxTasteStempeltSetWertNicht) {
  auto* c = new Checkbox("c");
  mO->FuegeKindHinzu(c);
  std::vector<bool> werte;
  c->mGeaendert.connect([&](bool w) { werte.push_back(w); });
  guitest::Schritt(1.0f);
  TasteEreignis e = Druck(TASTE_ZEIGER1);
  c->BeiTaste(e);
  EXPECT_EQ(c->mWert, 1);
  EXPECT_EQ(c->mAnZeit, Jetzt());
  EXPECT_EQ(c->mUmschaltZeit, Jetzt());
  guitest::Schritt(1.0f);
  c->SetWert(false);
  c->SetWert(false);
  EXPECT_LT(c->mAusZeit, Jetzt() - Ticks(100.0f));  // no animation through SetWert
  EXPECT_EQ(werte, (std::vector<bool>{true, false}));
}

TEST_F(WidgetTest, NichtsBlitztImErstenBild) {
  // The engine timer starts at 0 as the ticks of a fresh widget would: every animation of a
  // new widget must count as long finished.
  guitest::Starte();
  Button b("b", GrafikVerweis());
  Checkbox c("c");
  Auswahl a(0, "x", "y");
  Oberflaeche o("");
  const struct {
    const char* name;
    int64_t tick;
  } ticks[] = {{"Druck", b.mDruckZeit},           {"Umschalten", c.mUmschaltZeit}, {"An", c.mAnZeit},
               {"Aus", c.mAusZeit},               {"Wechsel", a.mWechselZeit},     {"Fokus an", b.mFokusErhaltenSeit},
               {"Fokus weg", b.mFokusVerlorenSeit}, {"letzter Druck", o.mLetzterDruck}};
  for (const auto& t : ticks) {
    SCOPED_TRACE(t.name);
    EXPECT_GE(SekundenSeit(t.tick), 999.0f);
  }
  EXPECT_EQ(a.mRichtung, 1);
  EXPECT_EQ(FokusWert(&b), 0.0f);
}

TEST_F(WidgetTest, HinweisGroesseUndSeite) {
  struct Fall {
    const char* name;
    size_t textLaenge;
    BVektor<float> besitzerPos;
    BVektor<float> groesse;
    BVektor<float> position;
  };
  // Owner 100 x 40; k = 1 + sqrt(0.04 n). Left half: x = centre + 60; right half: centre -
  // width - 60. Upper half: y = centre + 24; lower half: centre - height - 24. Clamped to the
  // 1280 x 768 screen.
  const Fall faelle[] = {
      {"leer, oben links", 0, {100, 100, 0}, {150, 70, 0}, {210, 144, 0}},
      {"100 Bytes: k = 3, rechts unten", 100, {1000, 600, 0}, {450, 210, 0}, {540, 386, 0}},
      {"rechts oben", 0, {1180, 100, 0}, {150, 70, 0}, {1020, 144, 0}},
      {"400 Bytes: k = 5, am rechten Rand geklemmt", 400, {500, 100, 0}, {750, 350, 0}, {530, 144, 0}},
      {"am linken Rand geklemmt", 400, {700, 100, 0}, {750, 350, 0}, {0, 144, 0}},
  };
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.name);
    auto* besitzer = new Text("b", 0);
    besitzer->SetGroesse(BVektor<float>(100, 40, 0), false);
    besitzer->SetPosition(f.besitzerPos, false);
    mO->FuegeKindHinzu(besitzer);
    Hinweis h(std::string(f.textLaenge, 'x'), besitzer);
    EXPECT_EQ(h.mGroesse, f.groesse);
    EXPECT_EQ(h.mPosition, f.position);
    EXPECT_EQ(h.mBesitzer, besitzer);
    delete besitzer;
  }
  Hinweis ohne("x", nullptr);
  EXPECT_EQ(ohne.mBesitzer, nullptr);
}

TEST(Kurve, Tabelle) {
  constexpr float pi = 3.14159265358979f;
  struct Fall {
    uint32_t modus;
    float t;
    float wert;
  };
  const Fall faelle[] = {
      {0, 0.25f, 0.25f},  {1, 0.25f, 0.75f},  {2, 0.5f, 0.25f},   {3, 0.5f, 0.75f},
      {4, 0.25f, 0.5f},   {5, 0.25f, 0.5f},   {6, 0.5f, 0.5f},    {7, 1.0f, 0.0f},
      {8, 0.25f, 1.75f},  {9, 0.25f, -0.75f},  {10, 0.125f, 1.0f}, {11, 0.25f, 0.75f},
      {12, 0.5f, 1.0f},   {12, 1.0f, 0.0f},   {13, 1.0f, 1.0f},   {13, 0.999f, 0.0f},
      {14, 1.0f, 0.0f},   {14, 0.5f, 1.0f},   {15, 1.0f, 0.0f},   {15, 0.5f, 0.5f},
      {16, 1.0f, 1.0f},   {16, 0.25f, 0.75f}, {17, 0.3f, 1.0f},   {40, 0.7f, 1.0f},
      {40, -3.0f, 1.0f},  {6, 1.0f / 3, 0.5f - 0.5f * std::cos(pi / 3)},
  };
  for (const Fall& f : faelle) {
    SCOPED_TRACE(testing::Message() << "Modus " << f.modus << " bei " << f.t);
    EXPECT_NEAR(Kurve(f.t, f.modus), f.wert, 1e-6f);
  }
}

TEST_F(WidgetTest, DeckkraftUndFokuswert) {
  struct Fall {
    const char* name;
    float gezeigtVor;   // seconds
    float verstecktVor; // < 0: visible
    float deckkraft;
  };
  const Fall faelle[] = {
      {"gezeigt vor 0.125 s", 0.125f, -1, 0.5f},
      {"voll nach 0.5 s", 2.0f, -1, 1.0f},
      {"versteckt vor 0.25 s", 2.0f, 0.25f, 1.0f - std::sqrt(0.5f)},
      {"versteckt vor 0.5 s", 2.0f, 0.5f, 0.0f},
      {"Stempel in der Zukunft", -1.0f, -1, 0.0f},
  };
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.name);
    guitest::Schritt(5.0f);
    Text t("t", 0);
    t.mGezeigtSeit = Jetzt() - Ticks(f.gezeigtVor);
    if (f.verstecktVor >= 0) {
      t.mSichtbar = 0;
      t.mVerstecktSeit = Jetzt() - Ticks(f.verstecktVor);
    }
    EXPECT_NEAR(Deckkraft(&t), f.deckkraft, 1e-3f);
  }
  // Focus: rises over 0.2 s after gaining, falls over 0.2 s after losing.
  Checkbox c("c");
  c.mFokussiert = 1;
  c.mFokusErhaltenSeit = Jetzt() - Ticks(0.1f);
  EXPECT_NEAR(FokusWert(&c), 0.5f, 1e-3f);
  c.mFokussiert = 0;
  c.mFokusErhaltenSeit = Jetzt() - Ticks(1.0f);
  c.mFokusVerlorenSeit = Jetzt() - Ticks(0.15f);
  EXPECT_NEAR(FokusWert(&c), 0.25f, 1e-3f);
}

}  // namespace
