// The renderer on a real window under Xvfb: the rectangles each widget draws (recorded), and
// a page of a button, a checkbox and a choice compared pixel by pixel with colours computed
// from the atlas's white graphic, the tints and premultiplied blending.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "gui/abstand.h"
#include "gui/hinweis.h"
#include "gui/simpelrenderer.h"
#include "quarzklassen/grafik/bild/tbereich.h"
#include "quarzklassen/grafik/geraet/quarz_screen3d.h"
#include "quarzklassen/grafik/geraet/quarz_zeichenkontext.h"
#include "quarzklassen/grafik/schrift/quarz_font3d.h"
#include "quarzklassen/grafik/sprite/quarz_blockgfx3d.h"
#include "quarzklassen/kern/quarz_ausnahme.h"
#include "quarzklassen/kern/quarz_timer.h"
#include "tests/grafik/gemeinsam/grafik_testhilfe.h"
#include "tests/gui/gui_testhilfe.h"

using namespace Gui;

namespace {

constexpr int kBreite = 160;
constexpr int kHoehe = 120;

struct Aufzeichnung {
  float x, y, w, h;
  TAlphaFarbe farbe;
};
struct TextAufruf {
  std::string text;
  uint32_t horizontal, vertikal;
  float alpha;
};

// The simple renderer, recording what it draws before drawing it.
class Protokoll : public SimpelRenderer {
public:
  using SimpelRenderer::SimpelRenderer;
  void ZeichneRechteck(float x, float y, float w, float h, const TAlphaFarbe& f) override {
    mRechtecke.push_back({x, y, w, h, f});
    SimpelRenderer::ZeichneRechteck(x, y, w, h, f);
  }
  void ZeichneTextBox(float x, float y, float w, float h, const std::string& t, const TAlphaFarbe& f,
                      uint32_t ha, uint32_t va, float s) override {
    mTexte.push_back({t, ha, va, f.a});
    SimpelRenderer::ZeichneTextBox(x, y, w, h, t, f, ha, va, s);
  }
  void Leere() override {
    ++mLeerungen;
    SimpelRenderer::Leere();
  }
  void Vergiss() {
    mRechtecke.clear();
    mTexte.clear();
  }
  std::vector<Aufzeichnung> mRechtecke;
  std::vector<TextAufruf> mTexte;
  int mLeerungen = 0;
};

class RendererTest : public ::testing::Test {
protected:
  void SetUp() override {
    guitest::Starte(kBreite, kHoehe);
    ASSERT_TRUE(Quarz_Screen3D::Init(Quarz_Screen3D::Modus{kBreite, kHoehe, 0, 0}, Quarz_Screen3D::FLAG_ANWENDUNG));
    mKontext = Quarz_Screen3D::GetZeichenKontext();
    // Graphic 0: uniform opaque white, as the sprite sheet's first graphic. Large enough that
    // the widgets' rectangles shrink it: the batch's inset then keeps the filter's footprint
    // inside the graphic (magnified, the software rasteriser's anisotropic filter reaches
    // the clear texels beside it at the edges).
    mBatch = new Quarz_BlockGfx3D(0, 1000, 0);
    std::vector<uint32_t> weiss(64 * 64, 0xFFFFFFFFu);
    TBereich quelle;
    quelle.mPixel = reinterpret_cast<uint8_t*>(weiss.data());
    quelle.mFormat = Quarz::PF_A8R8G8B8;
    quelle.mBreite = 64;
    quelle.mHoehe = 64;
    quelle.mPitch = 64 * 4;
    mBatch->AddGrafik(0, quelle, 0, 0, 64, 64);
    mSchrift = Quarz_Font3D::ErzeugeAusTrueType(SchriftPfad());
    ASSERT_NE(mSchrift, nullptr);
    mRenderer = std::make_unique<Protokoll>(mBatch, mSchrift);
    mO = std::make_unique<Oberflaeche>("");
  }
  void TearDown() override {
    mO.reset();
    mRenderer.reset();
    delete mSchrift;
    delete mBatch;
    if (Quarz_Screen3D::mInitialisiert) Quarz_Screen3D::Beenden();
    gTimer.Leere();
  }
  static std::wstring SchriftPfad() {
    const std::string p = std::string(WEILERBAU_BAU) + "/Daten/calibrib.ttf";
    return std::wstring(p.begin(), p.end());
  }
  // Draws one frame of the surface on black and reads it back.
  std::vector<uint32_t> Bild() {
    mKontext->Leeren(1, 0, 0, 0, 1);
    mO->Zeichne(*mRenderer);
    return LiesBildschirm(*mKontext, kBreite, kHoehe);
  }

  TLogFaenger mLog;
  Quarz_ZeichenKontext* mKontext = nullptr;
  Quarz_BlockGfx3D* mBatch = nullptr;
  Quarz_Font3D* mSchrift = nullptr;
  std::unique_ptr<Protokoll> mRenderer;
  std::unique_ptr<Oberflaeche> mO;
};

template <typename T>
T* Fest(T* e, float x, float y, float w, float h) {
  e->SetGroesse(BVektor<float>(w, h, 0), false);
  e->SetPosition(BVektor<float>(x, y, 0), false);
  return e;
}

// Premultiplied "over" as the batch blends: the fragment is clamped to [0, 1] first, its RGB
// multiplied by its alpha.
struct Farbe {
  float r = 0, g = 0, b = 0;
  Farbe Ueber(const TAlphaFarbe& q) const {
    const float a = std::clamp(q.a, 0.0f, 1.0f);
    auto kanal = [&](float quelle, float ziel) { return std::clamp(quelle * std::fabs(q.a), 0.0f, 1.0f) + ziel * (1 - a); };
    return {kanal(q.r, r), kanal(q.g, g), kanal(q.b, b)};
  }
  uint32_t ARGB() const {
    auto b8 = [](float v) { return static_cast<uint32_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); };
    return 0xFF000000u | b8(r) << 16 | b8(g) << 8 | b8(b);
  }
};

bool Nahe(uint32_t a, uint32_t b) {
  for (int s = 0; s < 24; s += 8)
    if (std::abs(int((a >> s) & 0xFF) - int((b >> s) & 0xFF)) > 2) return false;
  return true;
}

TEST_F(RendererTest, GoldenePixel) {
  // Three widgets, each 60 x 20, on black; no label (text would cover the sample points).
  auto* knopf = Fest(new Button("", GrafikVerweis()), 10, 10, 60, 20);
  auto* aus = Fest(new Button("", GrafikVerweis()), 90, 10, 60, 20);
  auto* gedrueckt = Fest(new Button("", GrafikVerweis()), 90, 82, 60, 20);
  auto* kasten = Fest(new Checkbox(""), 10, 40, 60, 30);
  auto* an = Fest(new Checkbox(""), 90, 40, 60, 30);
  // The choice's entry text stays inside its 54 x 20 content box at half the font size.
  auto* wahl = Fest(new Auswahl(0, "a", "b", "c"), 10, 82, 64, 30);
  mO->mSkalierung = 0.5f;
  for (Basis* e : std::initializer_list<Basis*>{knopf, aus, kasten, an, wahl, gedrueckt}) mO->FuegeKindHinzu(e);
  aus->SetAktiv(false);
  an->SetWert(true);
  guitest::Schritt(2.0f);  // faded in; no animation left
  gedrueckt->mDruckZeit = Jetzt() - Ticks(0.1f);  // half-way through the flash: p = 1

  const Farbe schwarz;
  // Button: outer (0.2, 0.2, 0.4, 0.8), inner (0.6, 0.6, 0.8, 1) from 2 units in.
  const Farbe rand = schwarz.Ueber({0.2f, 0.2f, 0.4f, 0.8f});
  const Farbe innen = rand.Ueber({0.6f, 0.6f, 0.8f, 1.0f});
  // Disabled: (0.7, 0.7, 0.7, 0.8) and (0.8, 0.8, 0.8, 0.8).
  const Farbe ausRand = schwarz.Ueber({0.7f, 0.7f, 0.7f, 0.8f});
  const Farbe ausInnen = ausRand.Ueber({0.8f, 0.8f, 0.8f, 0.8f});
  // Pressed: white at half alpha over the inner box grown by e = 22 on each side.
  const TAlphaFarbe blitz(1, 1, 1, 0.5f);
  // Checkbox 60 x 30: outer (0.1, 0.1, 0.2) at alpha 1.8 (clamped); s = min(50, 20) = 20, at
  // rest k = 0.5: a 10 x 10 white box at (x + 5 + 30 + 5, y + 5 + 5), its 8 x 8 mark 1 in:
  // black when off, (0.6, 0.6, 0.8) when on.
  const Farbe kRand = schwarz.Ueber({0.1f, 0.1f, 0.2f, 1.8f});
  // Choice: outer (0.2, 0.2, 0.4) at alpha 1.3.
  const Farbe wRand = schwarz.Ueber({0.2f, 0.2f, 0.4f, 1.3f});
  // Sample points keep off each rectangle's last row and column, which the batch's sampling
  // on the software rasteriser softens.
  const struct {
    const char* name;
    int x, y;
    uint32_t soll;
  } punkte[] = {
      {"Knopf Rand", 11, 11, rand.ARGB()},
      {"Knopf innen", 14, 14, innen.ARGB()},
      {"Knopf innen rechts unten", 66, 26, innen.ARGB()},
      {"neben dem Knopf", 75, 20, schwarz.ARGB()},
      {"aus Rand", 91, 20, ausRand.ARGB()},
      {"aus innen", 120, 20, ausInnen.ARGB()},
      {"gedrueckt innen", 95, 87, innen.Ueber(blitz).ARGB()},
      {"Blitz neben dem Knopf", 78, 100, schwarz.Ueber(blitz).ARGB()},
      {"Blitz ueber der Wahl", 72, 84, wRand.Ueber(blitz).ARGB()},
      {"Kasten Rand", 20, 45, kRand.ARGB()},
      {"Kasten weisser Saum", 50, 50, Farbe{1, 1, 1}.ARGB()},
      {"Kasten aus: Marke", 55, 55, schwarz.ARGB()},
      {"Kasten an: weisser Saum", 135, 50, Farbe{1, 1, 1}.ARGB()},
      {"Kasten an: Marke", 135, 55, schwarz.Ueber({0.6f, 0.6f, 0.8f, 1}).ARGB()},
      {"Wahl Rand", 12, 84, wRand.ARGB()},
      {"Wahl Rand unten", 40, 109, wRand.ARGB()},
  };
  const std::vector<uint32_t> bild = Bild();
  for (const auto& p : punkte) {
    SCOPED_TRACE(p.name);
    const uint32_t ist = bild[p.y * kBreite + p.x] | 0xFF000000u;
    EXPECT_TRUE(Nahe(ist, p.soll)) << std::hex << ist << " statt " << p.soll;
  }
  EXPECT_FALSE(mLog.Enthaelt("!"));
}

TEST_F(RendererTest, BeschriftungLiegtUeberDemKnopf) {
  // Text waits until the element's rectangles are drawn: the label shows on the inner box.
  auto* knopf = Fest(new Button("OK", GrafikVerweis()), 20, 30, 120, 40);
  mO->FuegeKindHinzu(knopf);
  guitest::Schritt(2.0f);
  const uint32_t innen = Farbe{}.Ueber({0.2f, 0.2f, 0.4f, 0.8f}).Ueber({0.6f, 0.6f, 0.8f, 1.0f}).ARGB();
  const std::vector<uint32_t> bild = Bild();
  int anders = 0;
  for (int y = 33; y < 67; ++y)
    for (int x = 23; x < 137; ++x) anders += !Nahe(bild[y * kBreite + x] | 0xFF000000u, innen);
  EXPECT_GT(anders, 50);
  EXPECT_EQ(mSchrift->mSofortZeichnen, 1);  // the font's own setting is back after the frame
}

TEST_F(RendererTest, WasJedesElementZeichnet) {
  // Each row: an element and what one frame of it records. Extents below one whole unit draw
  // nothing (the batch would read 0 as the graphic's own size, negatives mirror).
  struct Fall {
    const char* name;
    std::function<Basis*()> baue;
    size_t rechtecke;
    std::vector<std::string> texte;
  };
  const Fall faelle[] = {
      {"Knopf 60 x 20", [] { return Fest(new Button("OK", GrafikVerweis()), 5, 5, 60, 20); }, 2, {"OK"}},
      {"Knopf 4 breit: kein leeres Innenfeld", [] { return Fest(new Button("OK", GrafikVerweis()), 5, 5, 4, 20); },
       1, {}},
      {"Knopf 3 breit", [] { return Fest(new Button("OK", GrafikVerweis()), 5, 5, 3, 20); }, 1, {}},
      {"kleiner Kasten: kein Feld, keine Marke, kein Text", [] { return Fest(new Checkbox("x"), 5, 5, 9, 30); }, 1,
       {}},
      {"Kasten", [] { return Fest(new Checkbox("(1) Feld"), 5, 5, 100, 30); }, 3, {"(1) Feld"}},
      {"Wahl an Index 0 von 3", [] { return Fest(new Auswahl(0, "a", "b", "c"), 5, 5, 100, 30); }, 1, {"1/3 a"}},
      {"Wahl ohne Platz fuer Inhalt", [] { return Fest(new Auswahl(0, "a", "b"), 5, 5, 10, 30); }, 1, {}},
      {"Text", [] { return Fest(new Text("Pause", 0), 5, 5, 100, 30); }, 1, {"Pause"}},
      {"Text 3 hoch: nur der Grund", [] { return Fest(new Text("Pause", 0), 5, 5, 100, 3); }, 1, {}},
      {"Abstand", [] { return Fest(new Abstand(), 5, 5, 100, 30); }, 0, {}},
  };
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.name);
    Basis* e = f.baue();
    mO->FuegeKindHinzu(e);
    guitest::Schritt(2.0f);
    mRenderer->Vergiss();
    Bild();
    EXPECT_EQ(mRenderer->mRechtecke.size(), f.rechtecke);
    std::vector<std::string> texte;
    for (const TextAufruf& t : mRenderer->mTexte) texte.push_back(t.text);
    EXPECT_EQ(texte, f.texte);
    for (const Aufzeichnung& r : mRenderer->mRechtecke) {
      EXPECT_GE(r.w, 1.0f);
      EXPECT_GE(r.h, 1.0f);
      EXPECT_EQ(r.w, std::floor(r.w));
    }
    delete e;
  }
}

TEST_F(RendererTest, HinweisSchweifUndBesitzerlos) {
  auto* besitzer = Fest(new Checkbox("b"), 100, 80, 40, 20);
  mO->FuegeKindHinzu(besitzer);
  auto* h = new Hinweis("", besitzer);  // 150 x 70
  mO->FuegeKindHinzu(h);
  guitest::Schritt(2.0f);
  Bild();
  // The checkbox draws 3; the tail's segments k = (i / 21)^2 of 150 x 70 reach one whole unit
  // from i = 2 on (k 0.009 x 70 = 0.63 for i = 2, so from i = 3): 18 segments, then the body.
  const size_t kasten = 3;
  EXPECT_EQ(mRenderer->mRechtecke.size(), kasten + 18 + 1);
  // Without its owner (gone while the tooltip fades) only the body is drawn.
  mRenderer->Vergiss();
  delete besitzer;
  EXPECT_EQ(h->mBesitzer, nullptr);
  Bild();
  EXPECT_EQ(mRenderer->mRechtecke.size(), 1u);
}

TEST_F(RendererTest, BlendenAusrichtungUndPuls) {
  auto* t = Fest(new Text("x", 0), 5, 5, 100, 30);
  mO->FuegeKindHinzu(t);
  guitest::Schritt(2.0f);
  // Horizontal alignment from the element's own "richt_horiz": below 0.3 left, above 0.7 right.
  const struct {
    const char* wert;
    uint32_t ausrichtung;
  } ausrichtungen[] = {{"0", 0}, {"0.3", 1}, {"0.7", 1}, {"0.71", 2}};
  for (const auto& a : ausrichtungen) {
    SCOPED_TRACE(a.wert);
    t->mEigenschaften.Knoten("richt_horiz").SetzeWert("float", a.wert);
    mRenderer->Vergiss();
    Bild();
    ASSERT_EQ(mRenderer->mTexte.size(), 1u);
    EXPECT_EQ(mRenderer->mTexte[0].horizontal, a.ausrichtung);
    EXPECT_EQ(mRenderer->mTexte[0].vertikal, 4u);
  }
  // The surface's value does not count for alignment.
  t->mEigenschaften = TEigenschaften();
  mO->mEigenschaften.Knoten("richt_horiz").SetzeWert("float", "0");
  mRenderer->Vergiss();
  Bild();
  EXPECT_EQ(mRenderer->mTexte[0].horizontal, 1u);

  // Hidden 0.25 s ago: alpha = 1 - sqrt(0.5); 0.5 s ago: nothing.
  t->SetSichtbar(false);
  guitest::Schritt(0.25f);
  mRenderer->Vergiss();
  Bild();
  ASSERT_EQ(mRenderer->mRechtecke.size(), 1u);
  EXPECT_NEAR(mRenderer->mRechtecke[0].farbe.a, 0.7f * (1.0f - std::sqrt(0.5f)), 1e-3f);
  guitest::Schritt(0.25f);
  mRenderer->Vergiss();
  Bild();
  EXPECT_TRUE(mRenderer->mRechtecke.empty());

  // The press flash: drawn 0.1 s after a press, gone once it has run its 0.2 s.
  auto* b = Fest(new Button("", GrafikVerweis()), 5, 50, 60, 20);
  mO->FuegeKindHinzu(b);
  guitest::Schritt(2.0f);
  const struct {
    float vor;
    size_t rechtecke;
  } pulse[] = {{0.1f, 3}, {0.21f, 2}, {1.0f, 2}, {1000.0f, 2}};
  for (const auto& p : pulse) {
    SCOPED_TRACE(p.vor);
    b->mDruckZeit = Jetzt() - Ticks(p.vor);
    mRenderer->Vergiss();
    Bild();
    EXPECT_EQ(mRenderer->mRechtecke.size(), p.rechtecke);
  }
}

TEST_F(RendererTest, OhneSchriftScheitertDerStart) {
  try {
    SimpelRenderer r(mBatch, nullptr);
    FAIL() << "no exception";
  } catch (const Quarz_Ausnahme& a) {
    EXPECT_NE(a.mMeldung.find("calibrib.ttf"), std::string::npos);
  }
}

}  // namespace
