// boost::signals2's connect trips a false maybe-uninitialized warning in g++ 12 at -O2.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
// Root surface and input routing: key bindings, modal blocking, hover and focus, double
// clicks, focus moves and tooltips.
#include <gtest/gtest.h>

#include <cmath>

#include <fstream>

#include "gui/anordnung.h"
#include "gui/hinweis.h"
#include "quarzklassen/kern/quarz_ausnahme.h"
#include "quarzklassen/kern/quarz_timer.h"
#include "tests/gemeinsam/xml_bombe.h"
#include "tests/gui/gui_testhilfe.h"
#include "tests/kern/dienste/hilfen.h"

using namespace Gui;

namespace {

class OberflaecheTest : public ::testing::Test {
protected:
  void SetUp() override {
    guitest::Starte();
    mO = std::make_unique<Oberflaeche>(guitest::KonfigPfad());
    mLeiste = std::make_unique<guitest::Baubalken>(*mO);
    guitest::Schritt();
  }
  void TearDown() override {
    mLeiste.reset();
    mO.reset();
    gTimer.Leere();
  }
  void Druecke(uint64_t code) {
    mO->TasteEingabe(code, ZUSTAND_GEDRUECKT);
    mO->TasteEingabe(code, ZUSTAND_LOSGELASSEN);
  }
  guitest::PauseMenue* OeffneMenue() {
    auto* m = new guitest::PauseMenue(*mO);
    mO->FuegeKindHinzu(m);
    guitest::Schritt();
    return m;
  }

  std::unique_ptr<Oberflaeche> mO;
  std::unique_ptr<guitest::Baubalken> mLeiste;
};

TEST_F(OberflaecheTest, DoppelklickBrauchtZeitUndNaehe) {
  struct Fall {
    const char* name;
    float sekunden;
    float abstand;
    uint64_t zweiterCode;
    bool doppel;
  };
  const Fall faelle[] = {
      {"nah und schnell", 0.29f, 19.0f, TASTE_ZEIGER1, true},
      {"20 Einheiten: Quadrat 400", 0.29f, 20.0f, TASTE_ZEIGER1, false},
      {"zu langsam", 0.31f, 0.0f, TASTE_ZEIGER1, false},
      {"andere Taste", 0.1f, 0.0f, TASTE_ZEIGER2, false},
  };
  // A leaf that records the double-click flag of what reaches it.
  struct Fang : Text {
    Fang() : Text("", 0) {}
    bool IstAktiv() const override { return true; }
    void BeiTaste(TasteEreignis& e) override {
      if (e.IstDruck()) mDoppel = e.mDoppelklick;
      e.Verbrauche();
    }
    int mDoppel = -1;
  };
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.name);
    auto* fang = new Fang();
    mO->FuegeKindHinzu(fang);
    mO->SetFokus(fang);
    mO->MausBewegung(BVektor<float>(600, 300, 0));
    mO->TasteEingabe(TASTE_ZEIGER1, ZUSTAND_GEDRUECKT);
    mO->TasteEingabe(TASTE_ZEIGER1, ZUSTAND_LOSGELASSEN);
    guitest::Schritt(f.sekunden);
    mO->MausBewegung(BVektor<float>(600 + f.abstand, 300, 0));
    mO->SetFokus(fang);
    mO->TasteEingabe(f.zweiterCode, ZUSTAND_GEDRUECKT);
    EXPECT_EQ(fang->mDoppel, f.doppel ? 1 : 0);
    mO->TasteEingabe(f.zweiterCode, ZUSTAND_LOSGELASSEN);
    delete fang;
    guitest::Schritt(1.0f);
  }
}

TEST_F(OberflaecheTest, ModalesMenueSperrtDenRest) {
  int menueGedrueckt = 0;
  mLeiste->mMenue->mGedrueckt.connect([&] { ++menueGedrueckt; });
  Druecke(TASTE_ZURUECK);  // "Menü" answers back without focus
  EXPECT_EQ(menueGedrueckt, 1);

  guitest::PauseMenue* m = OeffneMenue();
  int wahl = -1;
  m->mErgebnis = &wahl;
  // Pointer over the build bar's first checkbox: hidden behind the modal menu.
  mO->MausBewegung(mLeiste->mBoxen[0]->AbsoluteMitte());
  EXPECT_EQ(mO->mSchwebt, nullptr);
  EXPECT_FALSE(mO->IstErreichbar(mLeiste->mBoxen[0]));
  EXPECT_TRUE(mO->IstErreichbar(m->mWeiter));
  // Back reaches the menu's newest binding, not "Menü".
  Druecke(TASTE_ZURUECK);
  EXPECT_EQ(menueGedrueckt, 1);
  EXPECT_EQ(m->mWahl, 0);
  EXPECT_FALSE(m->mSichtbar);
  // Hidden, the menu blocks nothing any more, though it still exists for 0.1 s.
  mO->MausBewegung(mLeiste->mBoxen[0]->AbsoluteMitte() + BVektor<float>(1, 0, 0));
  EXPECT_EQ(mO->mSchwebt, mLeiste->mBoxen[0]);
  EXPECT_TRUE(mO->IstErreichbar(mLeiste->mBoxen[0]));
  guitest::Schritt(0.05f);
  EXPECT_EQ(wahl, -1);
  guitest::Schritt(0.06f);
  EXPECT_EQ(wahl, 0);
}

TEST_F(OberflaecheTest, ElementUeberDemMenueHebtEsNichtAuf) {
  OeffneMenue();
  // Anything added after the menu (a tooltip, say) leaves the menu modal.
  auto* darueber = new Text("darüber", 0);
  mO->FuegeKindHinzu(darueber);
  EXPECT_FALSE(mO->IstErreichbar(mLeiste->mMenue));
  int gedrueckt = 0;
  mLeiste->mMenue->mGedrueckt.connect([&] { ++gedrueckt; });
  mO->SetFokus(nullptr);
  Druecke(TASTE_RUNTER);  // focus moves only among the menu's buttons
  ASSERT_NE(mO->mFokus, nullptr);
  EXPECT_EQ(mO->mFokus->mVater, mO->mKinder[1]);
  EXPECT_EQ(gedrueckt, 0);
}

TEST_F(OberflaecheTest, TastenlisteWaechstBeimDurchlaufen) {
  // "Menü" opens the menu from its own key handler; the menu binds "Weiter" into the very list
  // being walked. Only "Menü" takes this press.
  guitest::PauseMenue* m = nullptr;
  mLeiste->mMenue->mGedrueckt.connect([&] {
    m = new guitest::PauseMenue(*mO);
    mO->FuegeKindHinzu(m);
  });
  mO->TasteEingabe(TASTE_ZURUECK, ZUSTAND_GEDRUECKT);
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->mWahl, 0);
  EXPECT_TRUE(m->mSichtbar);
  EXPECT_EQ(mO->mTastenListen[TASTE_ZURUECK].size(), 2u);
}

TEST_F(OberflaecheTest, UnbekannteCodesWerdenIgnoriert) {
  const auto vorher = mO->mTastenListen;
  for (uint64_t code : {uint64_t(270), uint64_t(271), uint64_t(100000)}) {
    mO->TasteEingabe(code, ZUSTAND_GEDRUECKT);
    mLeiste->mMenue->SetTaste(code == 270 ? 271 : code);
  }
  EXPECT_EQ(mO->mTastenListen, vorher);
  EXPECT_EQ(mLeiste->mMenue->mTaste, uint64_t(TASTE_ZURUECK));
}

TEST_F(OberflaecheTest, ZeigerTasteHaeltSchwebenUndFokus) {
  mO->MausBewegung(mLeiste->mBoxen[0]->AbsoluteMitte());
  EXPECT_EQ(mO->mFokus, mLeiste->mBoxen[0]);
  mO->TasteEingabe(TASTE_ZEIGER1, ZUSTAND_GEDRUECKT);
  mO->MausBewegung(mLeiste->mBoxen[1]->AbsoluteMitte());
  EXPECT_EQ(mO->mSchwebt, mLeiste->mBoxen[0]);
  EXPECT_EQ(mO->mFokus, mLeiste->mBoxen[0]);
  mO->TasteEingabe(TASTE_ZEIGER1, ZUSTAND_LOSGELASSEN);
  mO->MausBewegung(mLeiste->mBoxen[1]->AbsoluteMitte() + BVektor<float>(1, 0, 0));
  EXPECT_EQ(mO->mFokus, mLeiste->mBoxen[1]);
}

TEST_F(OberflaecheTest, FokusBewegung) {
  // Rows: start focus (index into the page's children, -1 none), code, expected focus.
  // Children: 0 "Menü", 1 choice, 2 spacer, 3 text, 4..9 checkboxes.
  struct Fall {
    const char* name;
    int start;
    uint64_t code;
    int ziel;
  };
  const Fall faelle[] = {
      {"ohne Fokus: erster Kandidat", -1, TASTE_RUNTER, 0},
      {"runter", 0, TASTE_RUNTER, 1},
      {"runter springt zum Kasten", 1, TASTE_RUNTER, 4},
      {"hoch", 5, TASTE_HOCH, 4},
      {"runter vom untersten: zum obersten", 9, TASTE_RUNTER, 0},
      {"hoch vom obersten: zum untersten", 0, TASTE_HOCH, 9},
      // Nothing lies to the right: the reference moves a screen width to the left, and the
      // candidate nearest to it in height wins (the box 34 below; the text lies 69 above).
      {"rechts ohne Ziel: Umlauf", 4, TASTE_RECHTS, 5},
  };
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.name);
    mO->SetFokus(f.start < 0 ? nullptr : mLeiste->mSeite->mKinder[f.start]);
    Druecke(f.code);
    ASSERT_NE(mO->mFokus, nullptr);
    const auto& k = mLeiste->mSeite->mKinder;
    const int index = static_cast<int>(std::find(k.begin(), k.end(), mO->mFokus) - k.begin());
    EXPECT_EQ(index, f.ziel);
  }
}

TEST_F(OberflaecheTest, FokusBewegungUeberspringtDeckungsgleiche) {
  // A candidate centred exactly on the focus has no direction: skipped, never NaN.
  auto* a = new Checkbox("a");
  auto* b = new Checkbox("b");
  for (Checkbox* c : {a, b}) {
    c->SetGroesse(BVektor<float>(50, 50, 0), false);
    c->SetPosition(BVektor<float>(600, 300, 0), false);
    mO->FuegeKindHinzu(c);
  }
  mO->SetFokus(a);
  Druecke(TASTE_RECHTS);
  EXPECT_NE(mO->mFokus, b);
  ASSERT_NE(mO->mFokus, nullptr);
  EXPECT_FALSE(std::isnan(mO->mFokus->AbsoluteMitte().x));
}

TEST_F(OberflaecheTest, HinweisNachEinerHalbenSekunde) {
  Checkbox* box = mLeiste->mBoxen[3];
  mO->MausBewegung(box->AbsoluteMitte());
  guitest::Schritt(0.49f);
  EXPECT_EQ(mO->mHinweisElement, nullptr);
  mO->MausBewegung(box->AbsoluteMitte() + BVektor<float>(1, 1, 0));  // motion restarts the wait
  guitest::Schritt(0.49f);
  EXPECT_EQ(mO->mHinweisElement, nullptr);
  guitest::Schritt(0.02f);
  ASSERT_NE(mO->mHinweisElement, nullptr);
  Hinweis* h = mO->mHinweisElement;
  EXPECT_EQ(mO->mKinder.back(), h);
  EXPECT_EQ(h->mBesitzer, box);
  // The owner lies in the left half and the lower half: tooltip to its right, above it.
  EXPECT_GT(h->mPosition.x, box->AbsoluteMitte().x);
  EXPECT_LT(h->mPosition.y, box->AbsoluteMitte().y);
  mO->MausBewegung(box->AbsoluteMitte() + BVektor<float>(3, 0, 0));
  EXPECT_EQ(mO->mHinweisElement, h);  // moving within the owner keeps it
  mO->MausBewegung(BVektor<float>(900, 100, 0));
  EXPECT_EQ(mO->mHinweisElement, nullptr);
  EXPECT_FALSE(h->mSichtbar);
  const size_t kinder = mO->mKinder.size();
  guitest::Schritt(0.51f);
  EXPECT_EQ(mO->mKinder.size(), kinder - 1);  // deleted once its fade has ended
}

TEST_F(OberflaecheTest, BesitzerGehtWaehrendDerHinweisSichtbarIst) {
  Checkbox* box = mLeiste->mBoxen[0];
  mO->MausBewegung(box->AbsoluteMitte());
  guitest::Schritt(0.6f);
  Hinweis* h = mO->mHinweisElement;
  ASSERT_NE(h, nullptr);
  delete box;
  EXPECT_EQ(mO->mHinweisZustand, 0u);
  EXPECT_EQ(h->mBesitzer, nullptr);  // the fading tooltip points at nothing freed
  EXPECT_FALSE(h->mSichtbar);
  guitest::Schritt(0.6f);
  EXPECT_EQ(mO->mKinder.back(), mLeiste->mSeite);
}

TEST_F(OberflaecheTest, HinweisLoeschtSichSelbstNurEinmal) {
  Checkbox* box = mLeiste->mBoxen[1];
  mO->MausBewegung(box->AbsoluteMitte());
  guitest::Schritt(0.6f);
  ASSERT_NE(mO->mHinweisElement, nullptr);
  delete mO->mHinweisElement;  // leaving: the state is reset, nothing deletes it again
  EXPECT_EQ(mO->mHinweisZustand, 0u);
  EXPECT_EQ(mO->mHinweisElement, nullptr);
  mO->MausBewegung(BVektor<float>(900, 100, 0));
  guitest::Schritt(1.0f);
}

TEST_F(OberflaecheTest, KeinHinweisUeberDemModalenMenue) {
  mO->MausBewegung(mLeiste->mBoxen[2]->AbsoluteMitte());
  OeffneMenue();  // opens while the tooltip wait runs
  guitest::Schritt(0.6f);
  EXPECT_EQ(mO->mHinweisElement, nullptr);
  EXPECT_EQ(mO->mHinweisZustand, 0u);
}

TEST_F(OberflaecheTest, SpaeteLoeschungenUeberlebenDieOberflaecheNicht) {
  // Two tooltips fading out at once and a menu with its deletion pending, then the surface
  // goes: none of their deletions runs afterwards.
  for (int i = 0; i < 2; ++i) {
    mO->MausBewegung(mLeiste->mBoxen[i]->AbsoluteMitte());
    guitest::Schritt(0.6f);
    mO->MausBewegung(BVektor<float>(900, 100.0f + i, 0));
  }
  guitest::PauseMenue* m = OeffneMenue();
  m->Waehle(1);
  mLeiste.reset();
  mO.reset();
  EXPECT_TRUE(gTimer.mEreignisse.empty());
  guitest::Schritt(1.0f);
}

TEST_F(OberflaecheTest, FokusFolgtDemZeiger) {
  mO->MausBewegung(mLeiste->mBoxen[0]->AbsoluteMitte());
  EXPECT_EQ(mO->mFokus, mLeiste->mBoxen[0]);
  mO->MausBewegung(mLeiste->mVorrat->AbsoluteMitte());  // a text takes no focus
  EXPECT_EQ(mO->mFokus, nullptr);
  // A disabled focus element loses the focus at the next key.
  mO->SetFokus(mLeiste->mBoxen[1]);
  mLeiste->mBoxen[1]->SetAktiv(false);
  Druecke(TASTE_AKTIVIERE);
  EXPECT_EQ(mO->mFokus, nullptr);
  EXPECT_EQ(mLeiste->mBoxen[1]->mWert, 0);
}

// A "GuiKonfig.xml" whose deep nesting follows stray end tags is refused by the guard with its
// line; it never reaches the parser.
TEST(OberflaecheKonfig, BombeMitEndTagsVorneWirdAbgewiesen) {
  guitest::Starte();
  testhilfe::LaufendesLog log;
  testhilfe::Sammler sammler;
  std::ofstream("GuiKonfig.xml", std::ios::binary) << XmlBombe(1000);
  EXPECT_THROW(Oberflaeche("GuiKonfig.xml"), Quarz_Ausnahme);
  EXPECT_TRUE(sammler.Enthaelt("!TEigenschaften_Serialisierung::LadeEigenschaftenAusXml: \"GuiKonfig.xml\": Elemente "
                               "tiefer als 256 Ebenen verschachtelt, Datei nicht geladen."))
      << testing::PrintToString(sammler.Texte());
  gTimer.Leere();
}

}  // namespace
