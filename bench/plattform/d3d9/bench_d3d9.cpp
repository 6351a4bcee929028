// A frame of 10,000 small indexed draws with one constant change each: through our
// Direct3D 9 layer, and the same draws issued straight to OpenGL in the same context.
// Needs a display (run under xvfb-run).
#include <epoxy/gl.h>
// (epoxy before GLFW)
#include <GLFW/glfw3.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "bench/gl_vergleich.h"
#include "tests/gemeinsam/verstecktes_fenster.h"
#include "plattform/d3d9/d3d9.h"
#include "plattform/d3d9/d3d9_shadercode.h"

namespace {

constexpr int kZeichnungen = 10000;
constexpr UINT kSeite = 256;

const char* kVertexGlsl = R"(#version 330 core
layout(std140) uniform BankVS { vec4 reg[5]; } vsk;
uniform vec2 weilerbau_halbpixel;
layout(location = 0) in vec3 pos;
void main() {
  vec4 p = vec4(pos.xy + vsk.reg[4].xy, pos.z, 1.0);
  gl_Position = vec4(dot(vsk.reg[0], p), dot(vsk.reg[1], p), dot(vsk.reg[2], p), dot(vsk.reg[3], p));
  gl_Position.y = -gl_Position.y;
  gl_Position.z = 2.0 * gl_Position.z - gl_Position.w;
  gl_Position.xy += weilerbau_halbpixel * gl_Position.w;
}
)";
const char* kPixelGlsl = R"(#version 330 core
layout(std140) uniform BankPS { vec4 farbe; } psk;
layout(location = 0) out vec4 farbe;
void main() { farbe = psk.farbe; }
)";

// The record built in a function of its own: inlined into the set-up at -O3, g++ 12 warns
// falsely about the vector growth inside the serialisation.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wstringop-overflow"
[[gnu::noinline]] std::vector<uint8_t> Serialisiert(const Plattform::TShaderCode& c) { return c.Serialisiere(); }
#pragma GCC diagnostic pop

const float kMatrix[16] = {2.0f / kSeite, 0, 0, -1, 0, -2.0f / kSeite, 0, 1, 0, 0, 1, 0, 0, 0, 0, 1};
const float kQuad[12] = {0, 0, 0.5f, 4, 0, 0.5f, 0, 4, 0.5f, 4, 4, 0.5f};
const uint16_t kIndizes[6] = {0, 1, 2, 1, 3, 2};

float Versatz(int i, int achse) { return static_cast<float>(achse == 0 ? (i * 4) % 252 : (i / 63 * 4) % 252); }

struct TUmgebung {
  GLFWwindow* Fenster = nullptr;
  IDirect3D9* D3D = nullptr;
  IDirect3DDevice9* Geraet = nullptr;
  IDirect3DVertexShader9* Vs = nullptr;
  IDirect3DPixelShader9* Ps = nullptr;
  IDirect3DVertexDeclaration9* Dekl = nullptr;
  IDirect3DVertexBuffer9* Vb = nullptr;
  IDirect3DIndexBuffer9* Ib = nullptr;
  bool Ok = false;

  TUmgebung() {
    if (!glfwInit()) return;
    Fenster = OeffneVerstecktesFenster(kSeite, kSeite);
    if (!Fenster) return;
    D3D = Direct3DCreate9(D3D_SDK_VERSION);
    D3DPRESENT_PARAMETERS p{};
    p.BackBufferFormat = D3DFMT_X8R8G8B8;
    p.Windowed = TRUE;
    p.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    if (FAILED(D3D->CreateDevice(0, D3DDEVTYPE_HAL, Fenster, 0x52, &p, &Geraet))) return;
    Plattform::TShaderCode vs;
    vs.Stufe = Plattform::TShaderCode::Vertex;
    vs.Glsl = kVertexGlsl;
    vs.BlockName = "BankVS";
    vs.BlockBytes = 80;
    vs.Kopien = {{0, 0, 80}};
    Plattform::TShaderCode ps;
    ps.Stufe = Plattform::TShaderCode::Pixel;
    ps.Glsl = kPixelGlsl;
    ps.BlockName = "BankPS";
    ps.BlockBytes = 16;
    ps.Kopien = {{0, 0, 16}};
    const auto vsBytes = Serialisiert(vs), psBytes = Serialisiert(ps);
    Geraet->CreateVertexShader(reinterpret_cast<const DWORD*>(vsBytes.data()), &Vs);
    Geraet->CreatePixelShader(reinterpret_cast<const DWORD*>(psBytes.data()), &Ps);
    const D3DVERTEXELEMENT9 e[] = {{0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0}, D3DDECL_END()};
    Geraet->CreateVertexDeclaration(e, &Dekl);
    void* z = nullptr;
    Geraet->CreateVertexBuffer(sizeof(kQuad), 0, 0, D3DPOOL_DEFAULT, &Vb, nullptr);
    Vb->Lock(0, 0, &z, 0);
    std::memcpy(z, kQuad, sizeof(kQuad));
    Vb->Unlock();
    Geraet->CreateIndexBuffer(sizeof(kIndizes), 0, D3DFMT_INDEX16, D3DPOOL_DEFAULT, &Ib, nullptr);
    Ib->Lock(0, 0, &z, 0);
    std::memcpy(z, kIndizes, sizeof(kIndizes));
    Ib->Unlock();
    Ok = Vs && Ps && Dekl;
    // The same state for both variants: no culling, the back buffer cleared (which also
    // attaches it to the layer's framebuffer, into which the direct variant draws too).
    Geraet->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    Geraet->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
  }

  ~TUmgebung() {
    for (IUnknown* o : std::initializer_list<IUnknown*>{Ib, Vb, Dekl, Ps, Vs, Geraet, D3D})
      if (o) o->Release();
    if (Fenster) glfwDestroyWindow(Fenster);
    glfwTerminate();
  }
};

TUmgebung& Umgebung() {
  static TUmgebung u;
  return u;
}

// False (the benchmark skipped) when there is no device to measure.
bool Bereit(const TUmgebung& u, benchmark::State& state) {
  if (!u.Ok) state.SkipWithError("no OpenGL device");
  return u.Ok;
}

// Nanoseconds per draw, the figure both variants are compared by.
void ZaehleZeichnungen(benchmark::State& state) {
  state.counters["ns_pro_zeichnung"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * kZeichnungen, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_DurchDieSchicht(benchmark::State& state) {
  TUmgebung& u = Umgebung();
  if (!Bereit(u, state)) return;
  IDirect3DDevice9* g = u.Geraet;
  g->SetVertexShader(u.Vs);
  g->SetPixelShader(u.Ps);
  g->SetVertexDeclaration(u.Dekl);
  g->SetStreamSource(0, u.Vb, 0, 12);
  g->SetIndices(u.Ib);
  g->SetVertexShaderConstantF(0, kMatrix, 4);
  const float farbe[4] = {1, 0.5f, 0, 1};
  g->SetPixelShaderConstantF(0, farbe, 1);
  for (auto _ : state) {
    g->BeginScene();
    for (int i = 0; i < kZeichnungen; ++i) {
      const float v[4] = {Versatz(i, 0), Versatz(i, 1), 0, 0};
      g->SetVertexShaderConstantF(4, v, 1);
      g->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2);
    }
    g->EndScene();
    glFinish();
  }
  ZaehleZeichnungen(state);
}
BENCHMARK(BM_DurchDieSchicht)->Unit(benchmark::kMillisecond);

// The same frame straight to OpenGL: own program, vertex array and uniform buffers, the
// constant written into the uniform buffer before each draw. The layer's bindings are put
// back afterwards.
void BM_DirektOpenGL(benchmark::State& state) {
  TUmgebung& u = Umgebung();
  if (!Bereit(u, state)) return;
  GLint altVao = 0, altProg = 0, altUbo0 = 0, altUbo1 = 0;
  glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &altVao);
  glGetIntegerv(GL_CURRENT_PROGRAM, &altProg);
  glGetIntegeri_v(GL_UNIFORM_BUFFER_BINDING, 0, &altUbo0);
  glGetIntegeri_v(GL_UNIFORM_BUFFER_BINDING, 1, &altUbo1);

  const Bench::TGlProgramm gl(kVertexGlsl, kPixelGlsl);
  const GLuint prog = gl.mProgramm;
  glUniformBlockBinding(prog, glGetUniformBlockIndex(prog, "BankVS"), 0);
  glUniformBlockBinding(prog, glGetUniformBlockIndex(prog, "BankPS"), 1);
  glUseProgram(prog);
  glUniform2f(glGetUniformLocation(prog, "weilerbau_halbpixel"), 1.0f / kSeite, 1.0f / kSeite);
  const Bench::TGlNetz netz(kQuad, sizeof(kQuad), kIndizes, sizeof(kIndizes));
  GLuint ubo[2] = {};
  glGenBuffers(2, ubo);
  float vsBlock[20] = {};
  std::memcpy(vsBlock, kMatrix, sizeof(kMatrix));
  glBindBuffer(GL_UNIFORM_BUFFER, ubo[0]);
  glBufferData(GL_UNIFORM_BUFFER, sizeof(vsBlock), vsBlock, GL_DYNAMIC_DRAW);
  glBindBufferBase(GL_UNIFORM_BUFFER, 0, ubo[0]);
  const float farbe[4] = {1, 0.5f, 0, 1};
  glBindBuffer(GL_UNIFORM_BUFFER, ubo[1]);
  glBufferData(GL_UNIFORM_BUFFER, sizeof(farbe), farbe, GL_DYNAMIC_DRAW);
  glBindBufferBase(GL_UNIFORM_BUFFER, 1, ubo[1]);
  glBindBuffer(GL_UNIFORM_BUFFER, ubo[0]);
  for (auto _ : state) {
    for (int i = 0; i < kZeichnungen; ++i) {
      const float v[4] = {Versatz(i, 0), Versatz(i, 1), 0, 0};
      glBufferSubData(GL_UNIFORM_BUFFER, 64, 16, v);
      glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_SHORT, nullptr);
    }
    glFinish();
  }
  ZaehleZeichnungen(state);

  glBindVertexArray(static_cast<GLuint>(altVao));
  glUseProgram(static_cast<GLuint>(altProg));
  glBindBufferBase(GL_UNIFORM_BUFFER, 0, static_cast<GLuint>(altUbo0));
  glBindBufferBase(GL_UNIFORM_BUFFER, 1, static_cast<GLuint>(altUbo1));
  glDeleteBuffers(2, ubo);
}
BENCHMARK(BM_DirektOpenGL)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
