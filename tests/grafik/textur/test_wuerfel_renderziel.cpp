// Cube textures (the engine's face order), render targets over cube faces, and a render
// target whose depth buffer is larger than its colour texture.
#include <cstring>

#include "quarzklassen/grafik/geraet/quarz_tiefezustand.h"
#include "tests/grafik/textur/textur_hilfen.h"

namespace {

// The engine's faces +Y, -Y, +X, -X, +Z, -Z and the direction that samples each.
const TFarbe kRichtungen[6] = {{0, 1, 0, 0},  {0, -1, 0, 0}, {1, 0, 0, 0},
                               {-1, 0, 0, 0}, {0, 0, 1, 0},  {0, 0, -1, 0}};
const uint32_t kSeitenFarben[6] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu,
                                   0xFFFFFF00u, 0xFF00FFFFu, 0xFFFF00FFu};

TFarbe AlsFarbe(uint32_t argb) {
  return {((argb >> 16) & 0xFF) / 255.0f, ((argb >> 8) & 0xFF) / 255.0f, (argb & 0xFF) / 255.0f,
          (argb >> 24) / 255.0f};
}

class WuerfelUndZiel : public TexturTest {
protected:
  // A 4 x 4 cube texture with one colour per face.
  Quarz_WuerfelTextur* ErzeugeWuerfel(uint32_t flags) {
    std::vector<std::vector<uint8_t>> stufen[6];
    TTexturInhalt seiten[6];
    for (int f = 0; f < 6; ++f) {
      stufen[f].emplace_back(64);
      for (int i = 0; i < 16; ++i) std::memcpy(&stufen[f][0][i * 4], &kSeitenFarben[f], 4);
      seiten[f] = Inhalt(Quarz::PF_A8R8G8B8, stufen[f], 4, 4);
    }
    auto* w = mKontext->ErzeugeObjekt<Quarz_WuerfelTextur>(4, 1, flags, seiten);
    mAufraeumen.push_back(w);
    return w;
  }
  TFarbe Probe(Quarz_WuerfelTextur* w, int seite) {
    TZiel ziel = ErzeugeZiel(1, 1);
    ZeichneWuerfel(ziel, w, kRichtungen[seite]);
    const TFarbe f = Lies(ziel)[0];
    GibFrei(ziel);
    return f;
  }
};

TEST_F(WuerfelUndZiel, SeitenInDerReihenfolgeDerEngine) {
  for (uint32_t flags : {0u, static_cast<uint32_t>(FLAG_DYNAMISCH)}) {
    Quarz_WuerfelTextur* w = ErzeugeWuerfel(flags);
    ASSERT_NE(w->mTextur, nullptr);
    for (int f = 0; f < 6; ++f)
      EXPECT_TRUE(FarbeGleich(Probe(w, f), AlsFarbe(kSeitenFarben[f]), 0.002f))
          << flags << " " << f;
  }
}

TEST_F(WuerfelUndZiel, WuerfelKommtNachRauswurfUndVerlustWieder) {
  Quarz_WuerfelTextur* w = ErzeugeWuerfel(0);
  w->Rauswerfen();
  EXPECT_EQ(w->mTextur, nullptr);
  for (int f = 0; f < 6; ++f)
    EXPECT_TRUE(FarbeGleich(Probe(w, f), AlsFarbe(kSeitenFarben[f]), 0.002f));
  Plattform::ErzwingeGeraeteVerlust();
  mKontext->Praesentiere();
  EXPECT_EQ(w->mZustand, Quarz_BasisObjekt::FREIGEGEBEN);
  for (int f = 0; f < 6; ++f)
    EXPECT_TRUE(FarbeGleich(Probe(w, f), AlsFarbe(kSeitenFarben[f]), 0.002f));
}

TEST_F(WuerfelUndZiel, RenderzielAufDerBeschriebenenWuerfelSeite) {
  auto* w = mKontext->ErzeugeObjekt<Quarz_WuerfelTextur>(
      4, 1, FLAG_RENDERZIEL | uint32_t{Quarz::PF_A8R8G8B8}, nullptr);
  mAufraeumen.push_back(w);
  EXPECT_TRUE(w->mFlags & FLAG_FLUECHTIG);
  for (uint32_t seite = 0; seite < 6; ++seite) {
    Quarz_RenderzielBeschr b;
    b.mFarbAnzahl = 1;
    b.mFarben[0] = w;
    b.mSeiten[0] = seite;
    b.mBreite = b.mHoehe = 4;
    Quarz_Renderziel* ziel = mKontext->ErzeugeRenderziel(b);
    mAufraeumen.push_back(ziel);
    mKontext->SetRenderZiel(ziel);
    const TFarbe f = AlsFarbe(kSeitenFarben[seite]);
    mKontext->Leeren(1, f[0], f[1], f[2], f[3]);
  }
  mKontext->SetRenderZiel(nullptr);
  for (int f = 0; f < 6; ++f)
    EXPECT_TRUE(FarbeGleich(Probe(w, f), AlsFarbe(kSeitenFarben[f]), 0.002f)) << f;
}

TEST_F(WuerfelUndZiel, GroessererTiefenpufferWirdGeteilt) {
  auto* zbuffer = mKontext->ErzeugeZBuffer(32, 32);
  mAufraeumen.push_back(zbuffer);
  auto* tiefe = mKontext->ErzeugeTiefeZustand(Quarz_TiefeZustandBeschr{1, 1, 1});
  mAufraeumen.push_back(tiefe);
  TZiel ziel = ErzeugeZiel(16, 8, zbuffer);
  EXPECT_EQ(ziel.mZiel->mTiefenOberflaeche, zbuffer->mOberflaeche);
  EXPECT_EQ(mKontext->mBereichBreite, 16u);
  mKontext->Leeren(3, 0, 0, 0, 0);
  mKontext->SetTiefeZustand(tiefe);
  ZeichneFarbe({1, 0, 0, 1}, 0.5f);
  ZeichneFarbe({0, 1, 0, 1}, 0.7f);  // behind: hidden
  for (const TFarbe& t : Lies(ziel)) ASSERT_TRUE(FarbeGleich(t, {1, 0, 0, 1}, 0.0f));
  ZeichneFarbe({0, 0, 1, 1}, 0.3f);  // in front
  for (const TFarbe& t : Lies(ziel)) ASSERT_TRUE(FarbeGleich(t, {0, 0, 1, 1}, 0.0f));

  // After a device reset the target holds surfaces again, the new depth surface among them.
  Plattform::ErzwingeGeraeteVerlust();
  mKontext->Praesentiere();
  EXPECT_EQ(ziel.mZiel->mZustand, Quarz_BasisObjekt::VORHANDEN);
  EXPECT_EQ(ziel.mZiel->mTiefenOberflaeche, zbuffer->mOberflaeche);
  mKontext->SetRenderZiel(ziel.mZiel);
  mKontext->SetTiefeZustand(tiefe);
  mKontext->Leeren(3, 0, 0, 0, 0);
  ZeichneFarbe({0, 1, 0, 1}, 0.6f);
  ZeichneFarbe({1, 0, 0, 1}, 0.9f);
  for (const TFarbe& t : Lies(ziel)) ASSERT_TRUE(FarbeGleich(t, {0, 1, 0, 1}, 0.0f));
  mKontext->SetTiefeZustand(nullptr);
  GibFrei(ziel);

  // A smaller depth buffer is reported.
  mLog.mZeilen.clear();
  auto* textur = mKontext->ErzeugeTextur(64, 8, 1, FLAG_RENDERZIEL, nullptr);
  mAufraeumen.push_back(textur);
  Quarz_RenderzielBeschr zuKlein(textur, zbuffer);
  EXPECT_TRUE(mLog.Enthaelt("ZBuffer zu klein für Renderziel"));
  EXPECT_EQ(zuKlein.mBreite, 64u);
}

TEST_F(WuerfelUndZiel, ZielFolgtEinerEinzelnRausgeworfenenTextur) {
  TZiel ziel = ErzeugeZiel(2, 2);
  ziel.mTextur->Rauswerfen();
  // Binding the target makes the texture again and takes the new surface.
  mKontext->SetRenderZiel(nullptr);
  mKontext->SetRenderZiel(ziel.mZiel);
  mKontext->Leeren(1, 0.25f, 0.5f, 0.75f, 1.0f);
  ASSERT_NE(ziel.mTextur->mTextur, nullptr);
  for (const TFarbe& t : Lies(ziel)) EXPECT_TRUE(FarbeGleich(t, {0.25f, 0.5f, 0.75f, 1}, 0.003f));
  GibFrei(ziel);
}

}  // namespace
