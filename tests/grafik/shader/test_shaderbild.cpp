// A dialect shader pair loaded from files draws a texture into a render target and that target
// onto the back buffer, all through the engine's texture, target and sampler objects: both
// copies texel for texel, row 0 on top, nothing flipped.
#include <gtest/gtest.h>

#include <vector>

#include "quarzklassen/grafik/geraet/quarz_indexbuffer.h"
#include "quarzklassen/grafik/shader/quarz_pixelshader.h"
#include "quarzklassen/grafik/shader/quarz_programm.h"
#include "quarzklassen/grafik/textur/quarz_renderziel.h"
#include "quarzklassen/grafik/textur/quarz_sampler.h"
#include "quarzklassen/grafik/shader/quarz_shadertools.h"
#include "quarzklassen/grafik/textur/quarz_textur.h"
#include "quarzklassen/grafik/geraet/quarz_vertexbuffer.h"
#include "quarzklassen/grafik/shader/quarz_vertexeingabe.h"
#include "quarzklassen/grafik/shader/quarz_vertexshader.h"
#include "quarzklassen/grafik/geraet/quarz_zeichenkontext.h"
#include "tests/grafik/shader/shader_testhilfe.h"

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
    if (mKontext) {
      mKontext->SetRenderZiel(nullptr);
      mKontext->SetProgramm(nullptr);
      for (Quarz_BasisObjekt* o : std::initializer_list<Quarz_BasisObjekt*>{
               mProgramm, mVs, mPs, mEingabe, mVbZiel, mZiel, mZielTextur, mQuellTextur, mSampler})
        mKontext->Freigeben(o);
    }
    ShaderGeraetTest::TearDown();
  }

  Quarz_Textur* mQuellTextur = nullptr;
  Quarz_Textur* mZielTextur = nullptr;
  Quarz_Renderziel* mZiel = nullptr;
  Quarz_Sampler* mSampler = nullptr;
  Quarz_VertexEingabe* mEingabe = nullptr;
  Quarz_VertexShader* mVs = nullptr;
  Quarz_PixelShader* mPs = nullptr;
  Quarz_Programm* mProgramm = nullptr;
  Quarz_VertexBuffer* mVbZiel = nullptr;
};

}  // namespace

TEST_F(ShaderBildTest, TexturUeberRenderzielAufDenRueckpuffer) {
  // The shader pair from its files, on the layout its declarations are numbered for.
  mEingabe = ErzeugeQuadEingabe();
  mVs = Quarz_ShaderTools::ErzeugeVertexShaderAusDatei(TestDaten("quad.vs"), {});
  mPs = Quarz_ShaderTools::ErzeugePixelShaderAusDatei(TestDaten("quad.ps"), {});
  ASSERT_EQ(mVs->mZustand, 1u) << mLog.Alle();
  ASSERT_EQ(mPs->mZustand, 1u) << mLog.Alle();
  mProgramm = mKontext->ErzeugeProgramm(mEingabe, mVs, mPs);
  const uint32_t sampler = mProgramm->GetSamplerIndex("texBild");
  ASSERT_EQ(sampler, 0xFF00u);

  // Source texture (static, so it goes up through system memory), render target texture and
  // a point-sampling clamping sampler: one texel per pixel when the sizes match.
  std::vector<uint32_t> texel(kQuelle * kQuelle);
  for (int y = 0; y < kQuelle; ++y)
    for (int x = 0; x < kQuelle; ++x) texel[static_cast<size_t>(y * kQuelle + x)] = Texel(x, y);
  TTexturInhalt inhalt;
  inhalt.mStufen[0] = TBereich{reinterpret_cast<uint8_t*>(texel.data()), Quarz::PF_A8R8G8B8,
                               kQuelle, kQuelle, kQuelle * 4};
  mQuellTextur = mKontext->ErzeugeTextur(0, 0, 1, Quarz::PF_A8R8G8B8, &inhalt);
  mZielTextur = mKontext->ErzeugeTextur(kZiel, kZiel, 1, FLAG_RENDERZIEL | FLAG_FLUECHTIG, nullptr);
  mZiel = mKontext->ErzeugeRenderziel(Quarz_RenderzielBeschr(mZielTextur));
  Quarz_SamplerBeschr beschr;
  beschr.mAdresse = 0x15;
  mSampler = mKontext->ErzeugeSampler(beschr);

  // Pass 1: the whole target, each source texel becomes a 4 x 4 block. Direct3D 9 puts pixel
  // centres on whole coordinates, so the quad moves half a pixel left and up for every pixel
  // centre to meet the middle of its texel block.
  const float halbX1 = 1.0f / kZiel, halbY1 = 1.0f / kZiel;
  ErzeugeQuad(-1.0f - halbX1, -1.0f + halbY1, 1.0f - halbX1, 1.0f + halbY1);
  mKontext->SetRenderZiel(mZiel);
  mKontext->SetProgramm(mProgramm);
  mKontext->SetTextur(sampler, mSampler, mQuellTextur);
  mKontext->SetVertexBuffer(0, mVb);
  mKontext->SetIndexBuffer(mIb);
  mKontext->ZeichneIndexElemente(0, 2);

  // Pass 2: the target onto pixels (8, 8) to (23, 23) of the back buffer, one texel per pixel.
  const float halbX2 = 1.0f / kBreite, halbY2 = 1.0f / kHoehe;
  const float x0 = -1.0f + 2.0f * 8 / kBreite - halbX2, x1 = -1.0f + 2.0f * 24 / kBreite - halbX2;
  const float y0 = 1.0f - 2.0f * 24 / kHoehe + halbY2, y1 = 1.0f - 2.0f * 8 / kHoehe + halbY2;
  float ecken[20] = {x0, y1, 0.5f, 0.0f, 0.0f, x1, y1, 0.5f, 1.0f, 0.0f,
                     x1, y0, 0.5f, 1.0f, 1.0f, x0, y0, 0.5f, 0.0f, 1.0f};
  TInitialInhalt vertices{ecken, sizeof(ecken), 0};
  mVbZiel = mKontext->ErzeugeVertexBuffer(0, 0, &vertices);
  mKontext->SetRenderZiel(nullptr);
  mKontext->Leeren(1, 0.0f, 0.0f, 0.0f, 1.0f);
  mKontext->SetTextur(sampler, mSampler, mZielTextur);
  mKontext->SetVertexBuffer(0, mVbZiel);
  mKontext->ZeichneIndexElemente(0, 2);
  mKontext->SetTextur(sampler, nullptr, nullptr);

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
