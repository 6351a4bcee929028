// 10,000 small indexed draws per frame, each after a constant change: through the drawing
// context and our Direct3D 9 layer, and the same draws issued straight to OpenGL.
// Needs a display: run under xvfb-run. The engine benchmark is registered first, since the
// direct one leaves OpenGL state behind that the layer does not know of.
#include <benchmark/benchmark.h>
#include <epoxy/gl.h>

#include <cstring>
#include <string>

#include "bench/gl_vergleich.h"
#include "plattform/hlsl/d3dx_shader.h"
#include "quarzklassen/grafik/geraet/quarz_indexbuffer.h"
#include "quarzklassen/kern/quarz_log.h"
#include "quarzklassen/grafik/shader/quarz_programm.h"
#include "quarzklassen/grafik/geraet/quarz_screen3d.h"
#include "quarzklassen/kern/quarz_timer.h"
#include "quarzklassen/grafik/geraet/quarz_vertexbuffer.h"
#include "quarzklassen/grafik/geraet/quarz_zeichenkontext.h"
#include "quarzklassen/grafik/bild/tbereich.h"
#include <vector>

namespace {

constexpr int kZeichnungen = 10000;

// A quad of 2 x 2 pixels in the top-left corner of a 64 x 64 screen.
const float kEcken[12] = {-1.0f, 1.0f, 0.5f, -0.9375f, 1.0f, 0.5f,
                          -0.9375f, 0.9375f, 0.5f, -1.0f, 0.9375f, 0.5f};
const uint16_t kIndizes[6] = {0, 1, 2, 0, 2, 3};

class TBenchProgramm : public Quarz_Programm {
public:
  TBenchProgramm() {
    IDirect3DDevice9* geraet = Quarz_Screen3D::GetZeichenKontext()->mImpl->mGeraet;
    const char* vs =
        "void main(float3 p : POSITION0, out float4 o : POSITION0) { o = float4(p, 1.0); }";
    const char* ps = "float4 gFarbe; float4 main() : COLOR0 { return gFarbe; }";
    LPD3DXBUFFER code = nullptr;
    D3DXCompileShader(vs, static_cast<UINT>(std::strlen(vs)), nullptr, nullptr, "main",
                      D3DXGetVertexShaderProfile(geraet), 0, &code, nullptr, nullptr);
    if (code) {
      geraet->CreateVertexShader(static_cast<const DWORD*>(code->GetBufferPointer()), &mD3DVertexShader);
      code->Release();
      code = nullptr;
    }
    D3DXCompileShader(ps, static_cast<UINT>(std::strlen(ps)), nullptr, nullptr, "main",
                      D3DXGetPixelShaderProfile(geraet), 0, &code, nullptr, nullptr);
    if (code) {
      geraet->CreatePixelShader(static_cast<const DWORD*>(code->GetBufferPointer()), &mD3DPixelShader);
      code->Release();
    }
    const D3DVERTEXELEMENT9 elemente[] = {
        {0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0}, D3DDECL_END()};
    geraet->CreateVertexDeclaration(elemente, &mDeklaration);
    mStromAnzahl = 1;
    mSchrittweiten[0] = 12;
  }
  ~TBenchProgramm() override {
    Plattform::SicherFreigeben(mD3DVertexShader);
    Plattform::SicherFreigeben(mD3DPixelShader);
    Plattform::SicherFreigeben(mDeklaration);
  }
};

void ZeichenKontext(benchmark::State& state) {
  Quarz_ZeichenKontext* k = Quarz_Screen3D::GetZeichenKontext();
  auto* programm = k->ErzeugeObjekt<TBenchProgramm>();
  TInitialInhalt v{const_cast<float*>(kEcken), sizeof(kEcken), 0};
  TInitialInhalt i{const_cast<uint16_t*>(kIndizes), sizeof(kIndizes), 0};
  Quarz_VertexBuffer* vb = k->ErzeugeVertexBuffer(0, 0, &v);
  Quarz_IndexBuffer* ib = k->ErzeugeIndexBuffer(0, Quarz_IndexBuffer::INDEX_16, &i);
  // The pixel shader's only constant sits in pixel register 0.
  const uint32_t farbe = 0x000FFF;
  for (auto _ : state) {
    k->SetProgramm(programm);
    k->SetVertexBuffer(0, vb);
    k->SetIndexBuffer(ib);
    for (int n = 0; n < kZeichnungen; ++n) {
      k->SetProgrammKonstante(farbe, static_cast<float>(n & 255) / 255.0f, 0.5f, 0.25f, 1.0f);
      k->ZeichneIndexElemente(0, 2);
    }
    glFinish();
    k->NulleZaehler();
  }
  state.SetItemsProcessed(state.iterations() * kZeichnungen);
  // A figure for draws that drew nothing would be worthless.
  std::vector<uint32_t> bild(64 * 64, 0);
  TBereich ziel;
  ziel.mPixel = reinterpret_cast<uint8_t*>(bild.data());
  ziel.mFormat = Quarz::PF_A8R8G8B8;
  ziel.mBreite = ziel.mHoehe = 64;
  ziel.mPitch = 64 * 4;
  k->LiesBildschirmInhalt(ziel);
  if ((bild[0] & 0x00FFFFFFu) == 0) state.SkipWithError("the quad was not drawn");
  k->Freigeben(vb);
  k->Freigeben(ib);
  k->Freigeben(programm);
}

void DirektesGL(benchmark::State& state) {
  const char* vs = "#version 330 core\nlayout(location = 0) in vec3 p;\n"
                   "void main() { gl_Position = vec4(p, 1.0); }\n";
  const char* fs = "#version 330 core\nuniform vec4 farbe; out vec4 f;\n"
                   "void main() { f = farbe; }\n";
  const Bench::TGlProgramm gl(vs, fs);
  const GLuint programm = gl.mProgramm;
  const GLint ort = glGetUniformLocation(programm, "farbe");
  const Bench::TGlNetz netz(kEcken, sizeof(kEcken), kIndizes, sizeof(kIndizes));
  glUseProgram(programm);
  for (auto _ : state) {
    for (int n = 0; n < kZeichnungen; ++n) {
      glUniform4f(ort, static_cast<float>(n & 255) / 255.0f, 0.5f, 0.25f, 1.0f);
      glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_SHORT, nullptr);
    }
    glFinish();
  }
  state.SetItemsProcessed(state.iterations() * kZeichnungen);
}

}  // namespace

BENCHMARK(ZeichenKontext)->Unit(benchmark::kMillisecond);
BENCHMARK(DirektesGL)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  gTimer.Starte();
  if (!Quarz_Screen3D::Init(Quarz_Screen3D::Modus{64, 64, 0, 0}, Quarz_Screen3D::FLAG_ANWENDUNG)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  Quarz_Screen3D::Beenden();
  benchmark::Shutdown();
  return 0;
}
