#pragma once
// Shared pieces of the texture tests: a screen fixture (a real window under Xvfb), programs
// from dialect shaders, and drawing a texture into a float target whose
// texels are read back exactly.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "plattform/d3d9/d3d9.h"
#include "quarzklassen/grafik/shader/quarz_pixelshader.h"
#include "quarzklassen/grafik/shader/quarz_programm.h"
#include "quarzklassen/grafik/textur/quarz_renderziel.h"
#include "quarzklassen/grafik/textur/quarz_sampler.h"
#include "quarzklassen/grafik/textur/quarz_textur.h"
#include "quarzklassen/grafik/shader/quarz_vertexeingabe.h"
#include "quarzklassen/grafik/shader/quarz_vertexshader.h"
#include "quarzklassen/grafik/textur/quarz_wuerfeltextur.h"
#include "quarzklassen/grafik/geraet/quarz_zbuffer.h"
#include "quarzklassen/grafik/geraet/quarz_zeichenkontext.h"
#include "tests/grafik/shader/shader_testhilfe.h"

using TFarbe = std::array<float, 4>;  // RGBA

// A program from dialect shaders over one stream (float3 position, float2 texture
// coordinates), with its parts.
struct TTexturProgramm {
  Quarz_VertexShader* mVs = nullptr;
  Quarz_PixelShader* mPs = nullptr;
  Quarz_Programm* mProgramm = nullptr;
  uint32_t Index(const char* name) const { return mProgramm->GetKonstantenIndex(name); }
};

// The shader tests' screen fixture with the programs and the quad every texture test draws.
class TexturTest : public ShaderGeraetTest {
protected:
  void SetUp() override;
  void TearDown() override;

  // A float (A32B32G32R32F) render target of w x h, with its texture.
  struct TZiel {
    Quarz_Textur* mTextur = nullptr;
    Quarz_Renderziel* mZiel = nullptr;
  };
  TZiel ErzeugeZiel(uint64_t breite, uint64_t hoehe, Quarz_ZBuffer* zbuffer = nullptr);
  void GibFrei(TZiel& ziel);

  // Draws `textur` (a 2D texture) over the whole target, texel centres on pixel centres, with
  // the texture coordinates u' = u * skala.xy + skala.zw.
  void Zeichne(const TZiel& ziel, Quarz_BasisObjekt* textur, Quarz_Sampler* sampler,
               TFarbe skala = {1.0f, 1.0f, 0.0f, 0.0f});
  // Draws the cube texture sampled in direction `richtung` over the whole target.
  void ZeichneWuerfel(const TZiel& ziel, Quarz_WuerfelTextur* wuerfel, TFarbe richtung);
  // Draws the colour over the whole target at depth z.
  void ZeichneFarbe(TFarbe farbe, float z);

  // The target's texels, row 0 on top.
  std::vector<TFarbe> Lies(const TZiel& ziel);

  // A point-sampling clamping sampler.
  Quarz_Sampler* PunktSampler();

  TTexturProgramm mTexturProgramm;
  TTexturProgramm mWuerfelProgramm;
  TTexturProgramm mFarbProgramm;
  Quarz_VertexEingabe* mEingabe = nullptr;
  std::vector<Quarz_BasisObjekt*> mAufraeumen;  // freed in TearDown

private:
  void ErzeugeProgramm(TTexturProgramm& programm, const char* ps);
  void ZeichneQuad(const TTexturProgramm& programm, float versatzX, float versatzY, float z);
};

// The texture's initial content from one tight level buffer per level.
TTexturInhalt Inhalt(Quarz_Pixelformat format, std::vector<std::vector<uint8_t>>& stufen,
                     uint64_t breite, uint64_t hoehe);

// Compares colours channel by channel within `toleranz`.
::testing::AssertionResult FarbeGleich(const TFarbe& ist, const TFarbe& soll, float toleranz);
