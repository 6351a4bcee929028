// Element tree and properties: visibility stamps, sizes from the style properties, ownership
// and the order in which trees come apart.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <utility>

#include "gui/hinweis.h"
#include "quarzklassen/kern/quarz_ausnahme.h"
#include "quarzklassen/kern/quarz_timer.h"
#include "quarzklassen/kern/teigenschaften_serialisierung.h"
#include "tests/grafik/gemeinsam/grafik_testhilfe.h"
#include "tests/gui/gui_testhilfe.h"

using namespace Gui;

namespace {

class BaumTest : public ::testing::Test {
protected:
  void SetUp() override { guitest::Starte(); }
  void TearDown() override { gTimer.Leere(); }
};

TEST_F(BaumTest, SichtbarkeitStempeltDieBlendzeiten) {
  // Each row: the change sequence within one tick or across ticks, and whether both stamps end
  // up back-dated (appears or vanishes at once) or the last change is stamped "now".
  struct Fall {
    const char* name;
    bool zwischenSchritt;  // a tick passes between the two changes
    bool erstZeigen;       // hide first, then show (else show first, then hide)
    bool rueckdatiert;
  };
  const Fall faelle[] = {
      {"verstecken im Zeige-Tick", false, false, true},
      {"zeigen im Versteck-Tick", false, true, true},
      {"verstecken spaeter", true, false, false},
      {"zeigen spaeter", true, true, false},
  };
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.name);
    Text t("x", 0);
    if (f.erstZeigen) {
      guitest::Schritt(1.0f);
      t.SetSichtbar(false);
    }
    if (f.zwischenSchritt) guitest::Schritt(1.0f);
    t.SetSichtbar(f.erstZeigen);
    const int64_t jetzt = Jetzt();
    if (f.rueckdatiert) {
      EXPECT_EQ(t.mGezeigtSeit, jetzt - Ticks(1000.0f));
      EXPECT_EQ(t.mVerstecktSeit, jetzt - Ticks(1000.0f));
    } else {
      EXPECT_EQ(f.erstZeigen ? t.mGezeigtSeit : t.mVerstecktSeit, jetzt);
    }
  }
}

TEST_F(BaumTest, KleineGroessenaenderungLaesstGroesseUndFlag) {
  Text t("x", 0);
  t.SetGroesse(BVektor<float>(100.02f, 50.02f, 0), false);  // squared distance 0.0008
  EXPECT_EQ(t.mGroesse, BVektor<float>(100, 50, 0));
  EXPECT_EQ(t.mAutoGroesse, 1);
  EXPECT_EQ(t.mDehnung, BVektor<float>(1, 1, 0));
  t.SetGroesse(BVektor<float>(120, 50, 0), false);
  EXPECT_EQ(t.mAutoGroesse, 0);
  EXPECT_EQ(t.mDehnung, BVektor<float>(0, 0, 0));  // a fixed size takes no stretch
}

TEST_F(BaumTest, GroesseAusEigenschaften) {
  // The own value wins over the surface's; values typed int or unsigned convert; a node of
  // another type or without a value counts as missing; the surface scale multiplies.
  struct Fall {
    const char* name;
    const char* eigenTyp;   // null: no own value
    const char* eigenText;
    const char* schirmTyp;  // null: no surface value
    const char* schirmText;
    float skalierung;
    float erwartetX;
  };
  const Fall faelle[] = {
      {"nichts: Vorgabe", nullptr, "", nullptr, "", 1.0f, 100.0f},
      {"Vorgabe skaliert", nullptr, "", nullptr, "", 2.0f, 200.0f},
      {"von der Oberflaeche", nullptr, "", "float", "120", 1.0f, 120.0f},
      {"eigener Wert zuerst", "float", "80", "float", "120", 1.0f, 80.0f},
      {"int wird gewandelt", "int", "-7", "float", "120", 1.0f, -7.0f},
      {"unsigned wird gewandelt", "unsigned int", "90", nullptr, "", 1.0f, 90.0f},
      {"Text zaehlt als fehlend", "string", "90", "float", "120", 1.0f, 120.0f},
      {"Vektor zaehlt als fehlend", "TVektor", "1 2 3", nullptr, "", 1.0f, 100.0f},
      {"ungueltige Zahl zaehlt als fehlend", "float", "abc", "float", "60", 1.0f, 60.0f},
  };
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.name);
    Oberflaeche o("");
    o.mSkalierung = f.skalierung;
    if (f.schirmTyp) o.mEigenschaften.Knoten("button.groesse.x").SetzeWert(f.schirmTyp, f.schirmText);
    auto* b = new Button("b", GrafikVerweis());
    if (f.eigenTyp) {
      try {
        b->mEigenschaften.Knoten("button.groesse.x").SetzeWert(f.eigenTyp, f.eigenText);
      } catch (...) {  // a text that does not convert leaves the node without a value
      }
    }
    o.FuegeKindHinzu(b);
    const BVektor<float> g = b->GetGroesse();
    EXPECT_FLOAT_EQ(g.x, f.erwartetX);
    EXPECT_FLOAT_EQ(g.y, 40.0f * f.skalierung);
  }
}

TEST_F(BaumTest, GeliefertesKonfigHatJedenGelesenenSchluessel) {
  Oberflaeche o(guitest::KonfigPfad());
  const struct {
    const char* schluessel;
    float wert;
  } schluessel[] = {{"elmAbstand.x", 4},        {"elmAbstand.y", 4},        {"button.groesse.x", 200},
                    {"button.groesse.y", 40},   {"text.groesse.x", 300},    {"text.groesse.y", 40},
                    {"auswahl.groesse.x", 250}, {"auswahl.groesse.y", 30},  {"check.groesse.x", 250},
                    {"check.groesse.y", 30}};
  for (const auto& s : schluessel) {
    SCOPED_TRACE(s.schluessel);
    const std::optional<float> w = o.LiesWert(s.schluessel);
    ASSERT_TRUE(w.has_value());
    EXPECT_FLOAT_EQ(*w, s.wert);
  }
  // Alignment belongs to each text element, never to the file.
  EXPECT_FALSE(o.LiesWert("richt_horiz").has_value());
  EXPECT_FALSE(o.LiesWert("richt_vert").has_value());
}

TEST_F(BaumTest, FehlendeKonfigWirftUndNenntDieDatei) {
  std::filesystem::create_directory("ordner.xml");
  for (const char* pfad : {"gibt_es_nicht.xml", "ordner.xml"}) {
    TLogFaenger log;
    try {
      Oberflaeche o(pfad);
      FAIL() << "no exception";
    } catch (const Quarz_Ausnahme& a) {
      EXPECT_NE(a.mMeldung.find("Datei nicht geladen"), std::string::npos);
    }
    EXPECT_EQ(log.Zaehle("!"), 1) << log.Alle();
    EXPECT_EQ(log.Zaehle(std::string("!TEigenschaften_Serialisierung::LadeEigenschaftenAusXml: \"") + pfad +
                         "\" fehlt oder ist keine lesbare Datei, Datei nicht geladen."),
              1)
        << log.Alle();
  }
}

// Sizes from the file count as written, negative and non-finite ones too, without a line.
TEST_F(BaumTest, GroessenAusDerKonfigGeltenWieGeschrieben) {
  std::ofstream("gui.xml") << "<gui><button><groesse><x>-200</x><y>50</y></groesse></button>"
                              "<text><groesse><x>NaN</x><y>inf</y></groesse></text>"
                              "<check><groesse><x typ=\"int\">-3</x><y>-infinity</y></groesse></check>"
                              "<elmAbstand><x>-0.5</x><y>4</y></elmAbstand></gui>";
  TLogFaenger log;
  Oberflaeche o("gui.xml");
  EXPECT_TRUE(log.mZeilen.empty()) << log.Alle();
  EXPECT_EQ(o.LiesWert("elmAbstand.x"), -0.5f);
  auto* knopf = new Button("k", GrafikVerweis());
  auto* text = new Text("t", 0);
  auto* kasten = new Checkbox("c");
  for (Basis* e : std::initializer_list<Basis*>{knopf, text, kasten}) o.FuegeKindHinzu(e);
  EXPECT_EQ(knopf->GetGroesse(), BVektor<float>(-200, 50, 0));
  EXPECT_TRUE(std::isnan(text->GetGroesse().x));
  EXPECT_EQ(text->GetGroesse().y, std::numeric_limits<float>::infinity());
  EXPECT_EQ(kasten->GetGroesse(), BVektor<float>(-3, -std::numeric_limits<float>::infinity(), 0));
}

TEST_F(BaumTest, KindWechseltDenBehaelter) {
  Oberflaeche o("");
  auto* a = new VaterBasis();
  auto* b = new VaterBasis();
  o.FuegeKindHinzu(a);
  o.FuegeKindHinzu(b);
  auto* k = new Text("k", 0);
  a->FuegeKindHinzu(k);
  b->FuegeKindHinzu(k);
  EXPECT_TRUE(a->mKinder.empty());
  ASSERT_EQ(b->mKinder.size(), 1u);
  EXPECT_EQ(k->mVater, b);
  EXPECT_EQ(k->mOberflaeche, &o);
  EXPECT_EQ(a->GetGroesse(), BVektor<float>(100, 40, 0));  // no layout record
  a->EntferneKind(k);  // not a child of a: nothing happens
  EXPECT_EQ(k->mVater, b);
}

// Elements that count how many of their kind are alive and how often one was destroyed.
template <class Element>
struct Gezaehlt : Element {
  template <class... Args>
  explicit Gezaehlt(Args&&... args) : Element(std::forward<Args>(args)...) { ++sLebende; }
  ~Gezaehlt() override {
    --sLebende;
    ++sZerstoert;
  }
  static inline int sLebende = 0;
  static inline int sZerstoert = 0;
};

TEST_F(BaumTest, BehaelterLoeschtVieleKinder) {
  // Each child takes itself out of the vector while the parent deletes them: every child is
  // deleted, and each once.
  using Behaelter = Gezaehlt<VaterBasis>;
  using Blatt = Gezaehlt<Text>;
  auto* v = new Behaelter();
  for (int i = 0; i < 50; ++i) {
    auto* innen = new Behaelter();
    for (int j = 0; j < 3; ++j) innen->FuegeKindHinzu(new Blatt("t", 0));
    v->FuegeKindHinzu(innen);
  }
  ASSERT_EQ(Behaelter::sLebende, 51);
  ASSERT_EQ(Blatt::sLebende, 150);
  delete v;
  EXPECT_EQ(Behaelter::sLebende, 0);
  EXPECT_EQ(Blatt::sLebende, 0);
  EXPECT_EQ(Behaelter::sZerstoert, 51);
  EXPECT_EQ(Blatt::sZerstoert, 150);
}

TEST_F(BaumTest, OberflaecheVergehtMitAllem) {
  // A surface with key bindings, a shown tooltip, a pending relayout, a tooltip wait and a
  // deferred deletion in flight: after it is gone, nothing it posted runs or touches it.
  const size_t vorher = gTimer.mEreignisse.size();
  {
    Oberflaeche o("");
    guitest::Baubalken leiste(o);
    guitest::Schritt();
    // Show a tooltip for the first checkbox, then start the wait for the second.
    o.MausBewegung(leiste.mBoxen[0]->AbsoluteMitte());
    guitest::Schritt(0.6f);
    ASSERT_EQ(o.mHinweisZustand, 2u);
    o.MausBewegung(leiste.mBoxen[1]->AbsoluteMitte());  // the old tooltip fades out
    ASSERT_EQ(o.mHinweisZustand, 1u);
    auto* menue = new guitest::PauseMenue(o);
    o.FuegeKindHinzu(menue);
    menue->Waehle(0);  // deletion pending
  }
  EXPECT_EQ(gTimer.mEreignisse.size(), vorher);
  guitest::Schritt(2.0f);
}

TEST_F(BaumTest, BeendenMitSichtbaremHinweis) {
  // The tooltip is a child of the surface and its current tooltip at once: deleted once.
  auto* o = new Oberflaeche("");
  guitest::Baubalken leiste(*o);
  guitest::Schritt();
  o->MausBewegung(leiste.mBoxen[2]->AbsoluteMitte());
  guitest::Schritt(0.6f);
  ASSERT_NE(o->mHinweisElement, nullptr);
  // Shown once: one tooltip, the surface's topmost child.
  int hinweise = 0;
  for (Basis* kind : o->mKinder) hinweise += dynamic_cast<Hinweis*>(kind) != nullptr;
  EXPECT_EQ(hinweise, 1);
  EXPECT_EQ(o->mKinder.back(), o->mHinweisElement);
  leiste.mBildschirm.disconnect();
  delete o;
  // Nothing the surface posted is left to run on what is gone.
  EXPECT_TRUE(gTimer.mEreignisse.empty());
  guitest::Schritt(1.0f);
}

}  // namespace
