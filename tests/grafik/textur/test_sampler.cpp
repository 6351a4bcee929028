// Sampler descriptions turn into Direct3D values as the tables say, bind only what they use,
// and address and filter textures accordingly.
#include <cstring>

#include "tests/grafik/textur/textur_hilfen.h"

namespace {

Quarz_SamplerBeschr Beschr(uint64_t filter, uint64_t adresse, TFarbe rand = {0, 0, 0, 0},
                           float mip = 0.0f, uint32_t aniso = 0) {
  Quarz_SamplerBeschr b;
  b.mFilter = filter;
  b.mAdresse = adresse;
  b.mMaxAnisotropie = aniso;
  std::memcpy(b.mRand, rand.data(), sizeof(b.mRand));
  b.mMipStufe = mip;
  return b;
}

// The table's edge cases; address and filter modes themselves are seen drawing below.
TEST(SamplerBeschreibung, WirdInDirect3DWerteUebersetzt) {
  const struct {
    const char* name;
    Quarz_SamplerBeschr beschr;
    DWORD u, v, w, min, mag, mip;
    uint8_t rand, aniso;
    D3DCOLOR farbe;
    DWORD maxMip;
  } faelle[] = {
      {"gemischt", Beschr(0x08, 0x24), D3DTADDRESS_WRAP, D3DTADDRESS_CLAMP, D3DTADDRESS_BORDER,
       D3DTEXF_POINT, D3DTEXF_LINEAR, D3DTEXF_POINT, 1, 0, 0, 0},
      {"anisotrop", Beschr(0x40, 0, {}, 0.0f, 8), D3DTADDRESS_WRAP, D3DTADDRESS_WRAP,
       D3DTADDRESS_WRAP, D3DTEXF_ANISOTROPIC, D3DTEXF_LINEAR, D3DTEXF_LINEAR, 0, 1, 0, 0},
      {"Randfarbe", Beschr(0, 0x02, {1.5f, -0.2f, 0.5f, 1.0f}), D3DTADDRESS_BORDER,
       D3DTADDRESS_WRAP, D3DTADDRESS_WRAP, D3DTEXF_POINT, D3DTEXF_POINT, D3DTEXF_POINT, 1, 0,
       0xFFFF0080u, 0},
      {"Rundung +0,51", Beschr(0, 0x02, {0.0019f, 0.002f, 0.2f, 0.8f}), D3DTADDRESS_BORDER,
       D3DTADDRESS_WRAP, D3DTADDRESS_WRAP, D3DTEXF_POINT, D3DTEXF_POINT, D3DTEXF_POINT, 1, 0,
       0xCC000133u, 0},
      {"Modus 3 wie wickeln", Beschr(0, 0x3F), D3DTADDRESS_WRAP, D3DTADDRESS_WRAP, D3DTADDRESS_WRAP,
       D3DTEXF_POINT, D3DTEXF_POINT, D3DTEXF_POINT, 0, 0, 0, 0},
      {"Mipstufe aufgerundet", Beschr(0, 0, {}, 1.2f), D3DTADDRESS_WRAP, D3DTADDRESS_WRAP,
       D3DTADDRESS_WRAP, D3DTEXF_POINT, D3DTEXF_POINT, D3DTEXF_POINT, 0, 0, 0, 2},
      {"negative Mipstufe", Beschr(0, 0, {}, -3.0f), D3DTADDRESS_WRAP, D3DTADDRESS_WRAP,
       D3DTADDRESS_WRAP, D3DTEXF_POINT, D3DTEXF_POINT, D3DTEXF_POINT, 0, 0, 0, 0},
  };
  for (const auto& f : faelle) {
    SCOPED_TRACE(f.name);
    const Quarz_Sampler s(f.beschr);
    EXPECT_EQ(s.mAdresseU, f.u);
    EXPECT_EQ(s.mAdresseV, f.v);
    EXPECT_EQ(s.mAdresseW, f.w);
    EXPECT_EQ(s.mMinFilter, f.min);
    EXPECT_EQ(s.mMagFilter, f.mag);
    EXPECT_EQ(s.mMipFilter, f.mip);
    EXPECT_EQ(s.mNutztRand, f.rand);
    EXPECT_EQ(s.mNutztAnisotropie, f.aniso);
    if (f.rand) {
      EXPECT_EQ(s.mRandFarbe, f.farbe);
    }
    EXPECT_EQ(s.mMaxMipStufe, f.maxMip);
  }
}

class SamplerZeichnen : public TexturTest {
protected:
  // A 2 x 2 texture: red, green / blue, white.
  Quarz_Textur* Vierfarbig() {
    std::vector<std::vector<uint8_t>> stufen{std::vector<uint8_t>(16)};
    const uint32_t farben[4] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu};
    std::memcpy(stufen[0].data(), farben, 16);
    TTexturInhalt inhalt = Inhalt(Quarz::PF_A8R8G8B8, stufen, 2, 2);
    auto* t = mKontext->ErzeugeTextur(2, 2, 1, 0, &inhalt);
    mAufraeumen.push_back(t);
    return t;
  }
  Quarz_Sampler* Sampler(const Quarz_SamplerBeschr& b) {
    auto* s = mKontext->ErzeugeSampler(b);
    mAufraeumen.push_back(s);
    return s;
  }
};

TEST_F(SamplerZeichnen, AdressModiAusserhalbDerTextur) {
  // u runs from -1 to 3 over 8 pixels; row 0 samples v = 0.25 (the red/green row).
  const TFarbe r{1, 0, 0, 1}, g{0, 1, 0, 1}, rand{0.2f, 0.4f, 0.6f, 0.8f};
  const TFarbe randGepackt{0x33 / 255.0f, 0x66 / 255.0f, 0x99 / 255.0f, 0xCC / 255.0f};
  const struct {
    const char* name;
    uint64_t adresse;
    TFarbe soll[8];
  } faelle[] = {
      {"wickeln", 0x00, {r, g, r, g, r, g, r, g}},
      {"klemmen", 0x15, {r, r, r, g, g, g, g, g}},
      {"Rand",
       0x2A,
       {randGepackt, randGepackt, r, g, randGepackt, randGepackt, randGepackt, randGepackt}},
  };
  Quarz_Textur* textur = Vierfarbig();
  for (const auto& f : faelle) {
    SCOPED_TRACE(f.name);
    TZiel ziel = ErzeugeZiel(8, 2);
    Zeichne(ziel, textur, Sampler(Beschr(0, f.adresse, rand)), {4, 1, -1, 0});
    const std::vector<TFarbe> texel = Lies(ziel);
    for (int x = 0; x < 8; ++x)
      EXPECT_TRUE(FarbeGleich(texel[static_cast<size_t>(x)], f.soll[x], 0.003f)) << x;
    GibFrei(ziel);
  }
}

TEST_F(SamplerZeichnen, BindenSetztNurWasDerSamplerNutzt) {
  Quarz_Textur* textur = Vierfarbig();
  IDirect3DDevice9* geraet = mKontext->mImpl->mGeraet;
  const auto zustand = [&](D3DSAMPLERSTATETYPE typ) {
    DWORD wert = 0xDEAD;
    geraet->GetSamplerState(0, typ, &wert);
    return wert;
  };
  mKontext->SetTextur(0xFF00, Sampler(Beschr(0x40, 0x2A, {1.5f, -0.2f, 0.5f, 1.0f}, 0.0f, 4)),
                      textur);
  EXPECT_EQ(zustand(D3DSAMP_MINFILTER), static_cast<DWORD>(D3DTEXF_ANISOTROPIC));
  EXPECT_EQ(zustand(D3DSAMP_MAGFILTER), static_cast<DWORD>(D3DTEXF_LINEAR));
  EXPECT_EQ(zustand(D3DSAMP_MIPFILTER), static_cast<DWORD>(D3DTEXF_LINEAR));
  EXPECT_EQ(zustand(D3DSAMP_MAXANISOTROPY), 4u);
  EXPECT_EQ(zustand(D3DSAMP_ADDRESSU), static_cast<DWORD>(D3DTADDRESS_BORDER));
  EXPECT_EQ(zustand(D3DSAMP_BORDERCOLOR), 0xFFFF0080u);
  // A sampler without border or anisotropy leaves those states as they were.
  mKontext->SetTextur(0xFF00, Sampler(Beschr(0x00, 0x15, {0, 0, 0, 0}, 1.0f, 16)), textur);
  EXPECT_EQ(zustand(D3DSAMP_MINFILTER), static_cast<DWORD>(D3DTEXF_POINT));
  EXPECT_EQ(zustand(D3DSAMP_MAXANISOTROPY), 4u);
  EXPECT_EQ(zustand(D3DSAMP_BORDERCOLOR), 0xFFFF0080u);
  EXPECT_EQ(zustand(D3DSAMP_MAXMIPLEVEL), 1u);
}

}  // namespace
