// A dialect shader pair loaded from files draws a texture into a render target and that target
// onto the back buffer: both copies texel for texel, row 0 on top, nothing flipped.
#include <gtest/gtest.h>

#include <vector>

#include "plattform/d3d9.h"
#include "quarzklassen/quarz_indexbuffer.h"
#include "quarzklassen/quarz_pixelshader.h"
#include "quarzklassen/quarz_programm.h"
#include "quarzklassen/quarz_shadertools.h"
#include "quarzklassen/quarz_vertexbuffer.h"
#include "quarzklassen/quarz_vertexeingabe.h"
#include "quarzklassen/quarz_vertexshader.h"
#include "quarzklassen/quarz_zeichenkontext.h"
#include "tests/grafik_shader/shader_testhilfe.h"

namespace {

constexpr int kQuelle = 4;  // source texture: 4 x 4 texels
constexpr int kZiel = 16;   // render target: 16 x 16 pixels

// A colour of its own for every source texel.
uint32_t Texel(int x, int y) {
  return 0xFF000000u | static_cast<uint32_t>(40 + 60 * x) << 16 |
         static_cast<uint32_t>(20 + 70 * y) << 8 | static_cast<uint32_t>(x * 16 + y * 50);
}

class ShaderBildTest : public ShaderGeraetTest {
protected:
  void TearDown() override {
    Plattform::SicherFreigeben(mQuellTextur);
    Plattform::SicherFreigeben(mZielOberflaeche);
    Plattform::SicherFreigeben(mZielTextur);
    if (mKontext) {
      mKontext->SetProgramm(nullptr);
      mKontext->Freigeben(mProgramm);
      mKontext->Freigeben(mVs);
      mKontext->Freigeben(mPs);
      mKontext->Freigeben(mEingabe);
      mKontext->Freigeben(mVbZiel);
    }
    ShaderGeraetTest::TearDown();
  }

  // Point sampling, clamped: one texel per pixel when the sizes match.
  void SetzeTextur(IDirect3DBaseTexture9* textur) {
    ASSERT_EQ(mGeraet->SetTexture(0, textur), D3D_OK);
    mGeraet->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
    mGeraet->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    mGeraet->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_NONE);
    mGeraet->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    mGeraet->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
  }

  IDirect3DDevice9* mGeraet = nullptr;
  IDirect3DTexture9* mQuellTextur = nullptr;
  IDirect3DTexture9* mZielTextur = nullptr;
  IDirect3DSurface9* mZielOberflaeche = nullptr;
  Quarz_VertexEingabe* mEingabe = nullptr;
  Quarz_VertexShader* mVs = nullptr;
  Quarz_PixelShader* mPs = nullptr;
  Quarz_Programm* mProgramm = nullptr;
  Quarz_VertexBuffer* mVbZiel = nullptr;
};

}  // namespace

TEST_F(ShaderBildTest, TexturUeberRenderzielAufDenRueckpuffer) {
  mGeraet = mKontext->mImplDX9.mGeraet;
  ASSERT_NE(mGeraet, nullptr);

  // The shader pair from its files, on the layout its declarations are numbered for.
  mEingabe = mKontext->ErzeugeVertexEingabe();
  mEingabe->AddKanal(0, Quarz_VertexEingabe::KANAL_FLOAT3, 0, false);
  mEingabe->AddKanal(0, Quarz_VertexEingabe::KANAL_FLOAT2, 12, false);
  mEingabe->Beenden();
  mVs = Quarz_ShaderTools::ErzeugeVertexShaderAusDatei(TestDaten("quad.vs"), {});
  mPs = Quarz_ShaderTools::ErzeugePixelShaderAusDatei(TestDaten("quad.ps"), {});
  ASSERT_EQ(mVs->mZustand, 1u) << mLog.Alle();
  ASSERT_EQ(mPs->mZustand, 1u) << mLog.Alle();
  mProgramm = mKontext->ErzeugeProgramm(mEingabe, mVs, mPs);
  ASSERT_EQ(mProgramm->GetSamplerIndex("texBild"), 0xFF00u);

  // Source texture.
  ASSERT_EQ(mGeraet->CreateTexture(kQuelle, kQuelle, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT,
                                   &mQuellTextur, nullptr),
            D3D_OK);
  D3DLOCKED_RECT gesperrt{};
  ASSERT_EQ(mQuellTextur->LockRect(0, &gesperrt, nullptr, 0), D3D_OK);
  for (int y = 0; y < kQuelle; ++y)
    for (int x = 0; x < kQuelle; ++x)
      reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(gesperrt.pBits) + y * gesperrt.Pitch)[x] =
          Texel(x, y);
  ASSERT_EQ(mQuellTextur->UnlockRect(0), D3D_OK);

  // Render target.
  ASSERT_EQ(mGeraet->CreateTexture(kZiel, kZiel, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8,
                                   D3DPOOL_DEFAULT, &mZielTextur, nullptr),
            D3D_OK);
  ASSERT_EQ(mZielTextur->GetSurfaceLevel(0, &mZielOberflaeche), D3D_OK);

  // Pass 1: the whole target, each source texel becomes a 4 x 4 block. Direct3D 9 puts pixel
  // centres on whole coordinates, so the quad moves half a pixel left and up for every pixel
  // centre to meet the middle of its texel block.
  const float halbX1 = 1.0f / kZiel, halbY1 = 1.0f / kZiel;
  ErzeugeQuad(-1.0f - halbX1, -1.0f + halbY1, 1.0f - halbX1, 1.0f + halbY1);
  ASSERT_EQ(mGeraet->SetRenderTarget(0, mZielOberflaeche), D3D_OK);
  SetzeTextur(mQuellTextur);
  mKontext->SetProgramm(mProgramm);
  mKontext->SetVertexBuffer(0, mVb);
  mKontext->SetIndexBuffer(mIb);
  mKontext->ZeichneIndexElemente(0, 2);

  // Pass 2: the target onto pixels (8, 8) to (23, 23) of the back buffer, one texel per pixel.
  const float halbX2 = 1.0f / kBreite, halbY2 = 1.0f / kHoehe;
  const float x0 = -1.0f + 2.0f * 8 / kBreite - halbX2, x1 = -1.0f + 2.0f * 24 / kBreite - halbX2;
  const float y0 = 1.0f - 2.0f * 24 / kHoehe + halbY2, y1 = 1.0f - 2.0f * 8 / kHoehe + halbY2;
  float ecken[20] = {x0, y1, 0.5f, 0.0f, 0.0f, x1, y1, 0.5f, 1.0f, 0.0f,
                     x1, y0, 0.5f, 1.0f, 1.0f, x0, y0, 0.5f, 0.0f, 1.0f};
  TInitialInhalt inhalt{ecken, sizeof(ecken), 0};
  mVbZiel = mKontext->ErzeugeVertexBuffer(0, 0, &inhalt);
  ASSERT_EQ(mGeraet->SetRenderTarget(0, mKontext->mImplDX9.mRueckPuffer), D3D_OK);
  mKontext->Leeren(1, 0.0f, 0.0f, 0.0f, 1.0f);
  SetzeTextur(mZielTextur);
  mKontext->SetVertexBuffer(0, mVbZiel);
  mKontext->ZeichneIndexElemente(0, 2);
  SetzeTextur(nullptr);

  const std::vector<uint32_t> bild = Bild();
  int falsch = 0;
  for (int y = 0; y < kHoehe; ++y)
    for (int x = 0; x < kBreite; ++x) {
      const bool innen = x >= 8 && x < 24 && y >= 8 && y < 24;
      const uint32_t erwartet = innen ? Texel((x - 8) / 4, (y - 8) / 4) : 0xFF000000u;
      const uint32_t ist = bild[y * kBreite + x] | 0xFF000000u;
      if (ist != erwartet && ++falsch <= 5)
        ADD_FAILURE() << "Pixel (" << x << ", " << y << "): " << std::hex << ist << " statt "
                      << erwartet;
    }
  EXPECT_EQ(falsch, 0);
}
