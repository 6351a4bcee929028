// 10,000 small indexed draws per frame, each after a constant change: through the drawing
// context and our Direct3D 9 layer, and the same draws issued straight to OpenGL in a context
// of its own (so neither side sees the other's state). After the benchmarks, rounds of a few
// frames each side by side give the ratio's spread within the run.
// Needs a display: run under xvfb-run.
#include <benchmark/benchmark.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "bench/eigener_kontext.h"
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

// One frame through the drawing context.
class TKontextSeite : public Bench::TEngineKontext {
public:
  TKontextSeite() : mK(Quarz_Screen3D::GetZeichenKontext()) {
    mProgramm = mK->ErzeugeObjekt<TBenchProgramm>();
    TInitialInhalt v{const_cast<float*>(kEcken), sizeof(kEcken), 0};
    TInitialInhalt i{const_cast<uint16_t*>(kIndizes), sizeof(kIndizes), 0};
    mVb = mK->ErzeugeVertexBuffer(0, 0, &v);
    mIb = mK->ErzeugeIndexBuffer(0, Quarz_IndexBuffer::INDEX_16, &i);
  }
  ~TKontextSeite() {
    mK->Freigeben(mVb);
    mK->Freigeben(mIb);
    mK->Freigeben(mProgramm);
  }
  TKontextSeite(const TKontextSeite&) = delete;
  TKontextSeite& operator=(const TKontextSeite&) = delete;

  void Bild() {
    // The pixel shader's only constant sits in pixel register 0.
    const uint32_t farbe = 0x000FFF;
    mK->SetProgramm(mProgramm);
    mK->SetVertexBuffer(0, mVb);
    mK->SetIndexBuffer(mIb);
    for (int n = 0; n < kZeichnungen; ++n) {
      mK->SetProgrammKonstante(farbe, static_cast<float>(n & 255) / 255.0f, 0.5f, 0.25f, 1.0f);
      mK->ZeichneIndexElemente(0, 2);
    }
    glFinish();
    mK->NulleZaehler();
  }

  // A figure for draws that drew nothing would be worthless.
  bool HatGezeichnet() {
    std::vector<uint32_t> bild(64 * 64, 0);
    TBereich ziel;
    ziel.mPixel = reinterpret_cast<uint8_t*>(bild.data());
    ziel.mFormat = Quarz::PF_A8R8G8B8;
    ziel.mBreite = ziel.mHoehe = 64;
    ziel.mPitch = 64 * 4;
    mK->LiesBildschirmInhalt(ziel);
    return (bild[0] & 0x00FFFFFFu) != 0;
  }

private:
  Quarz_ZeichenKontext* mK;
  TBenchProgramm* mProgramm = nullptr;
  Quarz_VertexBuffer* mVb = nullptr;
  Quarz_IndexBuffer* mIb = nullptr;
};

// The same frame straight to OpenGL, in a hidden window's context of its own, into 64 x 64
// pixels of RGBA8 as the back buffer has.
class TDirektSeite : public Bench::TEigenerKontext {
public:
  TDirektSeite() : TEigenerKontext(64, 64) {
    if (!Bereit()) return;
    const char* vs = "#version 330 core\nlayout(location = 0) in vec3 p;\n"
                     "void main() { gl_Position = vec4(p, 1.0); }\n";
    const char* fs = "#version 330 core\nuniform vec4 farbe; out vec4 f;\n"
                     "void main() { f = farbe; }\n";
    mProgramm.emplace(vs, fs);
    mOrt = glGetUniformLocation(mProgramm->mProgramm, "farbe");
    mNetz.emplace(kEcken, sizeof(kEcken), kIndizes, sizeof(kIndizes));
    glGenTextures(1, &mZiel);
    glBindTexture(GL_TEXTURE_2D, mZiel);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 64, 64, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glGenFramebuffers(1, &mFbo);
    glBindFramebuffer(GL_FRAMEBUFFER, mFbo);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, mZiel, 0);
    glViewport(0, 0, 64, 64);
    glUseProgram(mProgramm->mProgramm);
    Verlasse();
  }
  ~TDirektSeite() {
    if (!Bereit()) return;
    Betrete();
    glDeleteFramebuffers(1, &mFbo);
    glDeleteTextures(1, &mZiel);
    mNetz.reset();
    mProgramm.reset();
    Verlasse();
  }

  void Bild() {
    for (int n = 0; n < kZeichnungen; ++n) {
      glUniform4f(mOrt, static_cast<float>(n & 255) / 255.0f, 0.5f, 0.25f, 1.0f);
      glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_SHORT, nullptr);
    }
    glFinish();
  }

  // The quad covers the two top rows of pixels, which OpenGL counts from the bottom.
  bool HatGezeichnet() {
    uint32_t pixel = 0;
    glReadPixels(0, 63, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, &pixel);
    return (pixel & 0x00FFFFFFu) != 0;
  }

private:
  std::optional<Bench::TGlProgramm> mProgramm;
  std::optional<Bench::TGlNetz> mNetz;
  GLint mOrt = -1;
  GLuint mZiel = 0, mFbo = 0;
};

TKontextSeite* gKontext = nullptr;
TDirektSeite* gDirekt = nullptr;

void ZeichenKontext(benchmark::State& state) { Bench::MissSeite(state, *gKontext, kZeichnungen); }
void DirektesGL(benchmark::State& state) { Bench::MissSeite(state, *gDirekt, kZeichnungen); }

void VergleicheRunden(int runden) {
  const Bench::TRunden r = Bench::VergleicheSeiten(runden, *gKontext, *gDirekt);
  std::printf("Kontext/GL over %d rounds: min %.2fx  median %.2fx  max %.2fx  "
              "(median frame %.1f ms against %.1f ms)\n",
              runden, r.mMin, r.mMedian, r.mMax, r.mA, r.mB);
}

}  // namespace

BENCHMARK(ZeichenKontext)->Unit(benchmark::kMillisecond);
BENCHMARK(DirektesGL)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  gTimer.Starte();
  if (!Quarz_Screen3D::Init(Quarz_Screen3D::Modus{64, 64, 0, 0}, Quarz_Screen3D::FLAG_ANWENDUNG)) return 1;
  const int ergebnis = Bench::LaufeMitSeiten(gKontext, gDirekt, [] {
    VergleicheRunden(20);
    return true;
  });
  Quarz_Screen3D::Beenden();
  benchmark::Shutdown();
  return ergebnis;
}
