// The sprite batch against the same instanced quads issued straight to OpenGL in a context of
// its own (so neither side sees the other's state), text layout and queuing, and the atlas
// build of the default glyph set. Every frame ends with glFinish, so both sprite paths pay for
// their GPU work; each side reads its pixels back to show that the sprites were drawn. After
// the benchmarks, rounds of a few frames each side by side give the ratio's spread within the
// run. Needs a display: run under xvfb-run.
#include <benchmark/benchmark.h>
#include <epoxy/gl.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "bench/eigener_kontext.h"
#include "bench/gl_vergleich.h"
#include "quarzklassen/grafik/geraet/quarz_screen3d.h"
#include "quarzklassen/grafik/geraet/quarz_zeichenkontext.h"
#include "quarzklassen/grafik/schrift/quarz_font3d.h"
#include "quarzklassen/grafik/schrift/ttruetypeglyphen.h"
#include "quarzklassen/grafik/sprite/quarz_blockgfx3d.h"
#include "quarzklassen/kern/quarz_timer.h"
#include "quarzklassen/kern/textkodierung.h"

namespace {

constexpr int kSprites = 20000;
constexpr int kSchirm = 256;

std::wstring Daten(const char* name) {
  return WandleUtf8NachUtf32(std::string(WEILERBAU_BAU) + "/Daten/" + name);
}

// Sprite i: one of 16 graphics at a spot of the screen.
float X(int i) { return static_cast<float>((i * 37) % (kSchirm - 16)); }
float Y(int i) { return static_cast<float>((i * 101) % (kSchirm - 16)); }

// The pixels a frame must have drawn: the inside of every sprite's 16 x 16 square (its edge
// pixels depend on the rasteriser's rule for pixel centres on an edge). Rows from the top.
std::vector<bool> Innenflaechen() {
  std::vector<bool> innen(kSchirm * kSchirm, false);
  for (int i = 0; i < kSprites; ++i)
    for (int y = 1; y < 15; ++y)
      for (int x = 1; x < 15; ++x)
        innen[static_cast<size_t>((static_cast<int>(Y(i)) + y) * kSchirm + static_cast<int>(X(i)) + x)] = true;
  return innen;
}

// True when every pixel inside a sprite has colour: the sprites are orange, so red is never
// 0 where one was drawn over the black background. Pixels as 0xAARRGGBB, rows from the top.
bool SpritesGezeichnet(const std::vector<uint32_t>& bild) {
  static const std::vector<bool> innen = Innenflaechen();
  for (size_t i = 0; i < innen.size(); ++i)
    if (innen[i] && (bild[i] >> 16 & 0xFF) == 0) return false;
  return true;
}

// The sprite batch drawing into the engine's back buffer.
class TBatchSeite : public Bench::TEngineKontext {
public:
  TBatchSeite() : mBatch(512, kSprites, 0) {
    std::vector<uint32_t> pixel(64 * 64, 0xC0FFFFFFu);
    const TBereich quelle{reinterpret_cast<uint8_t*>(pixel.data()), 0, 64, 64, 256};
    for (uint64_t id = 0; id < 16; ++id) mBatch.AddGrafik(id, quelle, id, id, 16, 16);
  }

  void Bild() {
    const TAlphaFarbe farbe(1, 0.5f, 0.25f, 1);
    for (int i = 0; i < kSprites; ++i)
      mBatch.Zeichne(static_cast<uint64_t>(i % 16), {X(i), Y(i), 0.5f}, farbe, 0, 0, 0);
    mBatch.Ausgeben();
    glFinish();
  }

  // One frame on a black back buffer, read back.
  bool HatGezeichnet() {
    Quarz_ZeichenKontext* k = Quarz_Screen3D::GetZeichenKontext();
    k->Leeren(1, 0, 0, 0, 0);
    Bild();
    std::vector<uint32_t> bild(kSchirm * kSchirm, 0);
    TBereich ziel{reinterpret_cast<uint8_t*>(bild.data()), Quarz::PF_A8R8G8B8, kSchirm, kSchirm, kSchirm * 4};
    return k->LiesBildschirmInhalt(ziel) && SpritesGezeichnet(bild);
  }

private:
  Quarz_BlockGfx3D mBatch;
};

const char* const kGlVertex = R"(#version 330 core
layout(location = 0) in vec2 vertexPos;
layout(location = 1) in vec3 instZielPos;
layout(location = 2) in vec2 instGroesse;
layout(location = 3) in vec4 instGrafik;
layout(location = 4) in vec4 instFarbe;
layout(location = 5) in vec2 instParam;
uniform vec4 gQuellGroesse;
uniform vec4 gZielGroesse;
out vec4 farbe;
out vec2 tex;
out vec4 grenz;
void main() {
  float s = sin(instParam.x), c = cos(instParam.x);
  vec2 v = (vertexPos - instParam.y) * instGroesse;
  vec2 e = instZielPos.xy + v.x * vec2(c, s) + v.y * vec2(-s, c) - 0.5;
  gl_Position = vec4(e * gZielGroesse.xy * vec2(2.0, -2.0) + vec2(-1.0, 1.0), instZielPos.z, 1.0);
  farbe = instFarbe;
  tex = (instGrafik.xy + vertexPos * instGrafik.zw) * gQuellGroesse.xy;
  float m = min(abs(instGroesse.x) / instGrafik.z, abs(instGroesse.y) / instGrafik.w);
  m = exp2(floor(log2(m)));
  float r = 0.5 / clamp(m, 1.0 / 16.0, 1.0);
  grenz = vec4(instGrafik.xy + r, instGrafik.xy + instGrafik.zw - r) * gQuellGroesse.xyxy;
})";

const char* const kGlFragment = R"(#version 330 core
uniform sampler2D Textur;
in vec4 farbe;
in vec2 tex;
in vec4 grenz;
out vec4 erg;
void main() {
  vec4 f = texture(Textur, clamp(tex, grenz.xy, grenz.zw)) * farbe;
  f.rgb *= abs(f.a);
  f.a = max(f.a, 0.0);
  erg = f;
})";

// The same quads, records and states straight through OpenGL, in a hidden window's context
// of its own, into kSchirm x kSchirm pixels of RGBA8 as the back buffer has: the records are
// built on the CPU each frame as the batch builds them, and the instance buffer is orphaned
// and refilled.
class TDirektSeite : public Bench::TEigenerKontext {
public:
  TDirektSeite() : TEigenerKontext(kSchirm, kSchirm) {
    if (!Bereit()) return;
    mProgramm.emplace(kGlVertex, kGlFragment);
    glGenVertexArrays(1, &mVao);
    glBindVertexArray(mVao);
    glGenBuffers(3, mPuffer);
    const float ecken[8] = {0, 0, 1, 0, 0, 1, 1, 1};
    const uint16_t indizes[6] = {0, 1, 2, 1, 3, 2};
    glBindBuffer(GL_ARRAY_BUFFER, mPuffer[0]);
    glBufferData(GL_ARRAY_BUFFER, sizeof ecken, ecken, GL_STATIC_DRAW);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 8, nullptr);
    glEnableVertexAttribArray(0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, mPuffer[1]);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, sizeof indizes, indizes, GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, mPuffer[2]);
    const GLint groessen[5] = {3, 2, 4, 4, 2};
    const size_t versaetze[5] = {0, 12, 20, 36, 52};
    for (GLuint a = 1; a <= 5; ++a) {
      glVertexAttribPointer(a, groessen[a - 1], GL_FLOAT, GL_FALSE, 60,
                            reinterpret_cast<const void*>(versaetze[a - 1]));
      glEnableVertexAttribArray(a);
      glVertexAttribDivisor(a, 1);
    }
    std::vector<uint32_t> pixel(512 * 512, 0xC0FFFFFFu);
    glGenTextures(2, mTexturen);
    glBindTexture(GL_TEXTURE_2D, mTexturen[1]);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kSchirm, kSchirm, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glGenFramebuffers(1, &mFbo);
    glBindFramebuffer(GL_FRAMEBUFFER, mFbo);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, mTexturen[1], 0);
    glViewport(0, 0, kSchirm, kSchirm);
    glBindTexture(GL_TEXTURE_2D, mTexturen[0]);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 512, 512, 0, GL_BGRA, GL_UNSIGNED_BYTE, pixel.data());
    glGenerateMipmap(GL_TEXTURE_2D);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY, 16.0f);  // the batch's sampler
    glUseProgram(mProgramm->mProgramm);
    glUniform4f(glGetUniformLocation(mProgramm->mProgramm, "gQuellGroesse"), 1.0f / 512, 1.0f / 512, 0, 1);
    glUniform4f(glGetUniformLocation(mProgramm->mProgramm, "gZielGroesse"), 1.0f / kSchirm, 1.0f / kSchirm, 0, 1);
    glUniform1i(glGetUniformLocation(mProgramm->mProgramm, "Textur"), 0);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    mSatz.reserve(kSprites);
    Verlasse();
  }
  ~TDirektSeite() {
    if (!Bereit()) return;
    Betrete();
    glDeleteFramebuffers(1, &mFbo);
    glDeleteTextures(2, mTexturen);
    glDeleteBuffers(3, mPuffer);
    glDeleteVertexArrays(1, &mVao);
    mProgramm.reset();
    Verlasse();
  }

  void Bild() {
    mSatz.clear();
    for (int i = 0; i < kSprites; ++i) {
      const float g = static_cast<float>(i % 16);
      mSatz.push_back({{X(i), Y(i), 0.5f}, {16, 16}, {g * 16, 0, 16, 16}, {1, 0.5f, 0.25f, 1}, {0, 0}});
    }
    const auto bytes = static_cast<GLsizeiptr>(mSatz.size() * sizeof(TSpriteInstanz));
    glBufferData(GL_ARRAY_BUFFER, bytes, nullptr, GL_STREAM_DRAW);
    glBufferSubData(GL_ARRAY_BUFFER, 0, bytes, mSatz.data());
    glDrawElementsInstanced(GL_TRIANGLES, 6, GL_UNSIGNED_SHORT, nullptr, kSprites);
    glFinish();
  }

  // One frame on black, read back (OpenGL counts rows from the bottom).
  bool HatGezeichnet() {
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    Bild();
    std::vector<uint32_t> bild(kSchirm * kSchirm, 0);
    for (int y = 0; y < kSchirm; ++y)
      glReadPixels(0, kSchirm - 1 - y, kSchirm, 1, GL_BGRA, GL_UNSIGNED_BYTE, &bild[static_cast<size_t>(y * kSchirm)]);
    return glGetError() == GL_NO_ERROR && SpritesGezeichnet(bild);
  }

private:
  std::optional<Bench::TGlProgramm> mProgramm;
  GLuint mVao = 0, mPuffer[3] = {}, mTexturen[2] = {}, mFbo = 0;
  std::vector<TSpriteInstanz> mSatz;
};

TBatchSeite* gBatch = nullptr;
TDirektSeite* gDirekt = nullptr;

void SpriteBatch(benchmark::State& state) { Bench::MissSeite(state, *gBatch, kSprites); }
void DirektGl(benchmark::State& state) { Bench::MissSeite(state, *gDirekt, kSprites); }

// The rounds side by side, then one frame of each side read back. False when a side drew
// nothing.
bool VergleicheRunden(int runden) {
  const Bench::TRunden r = Bench::VergleicheSeiten(runden, *gBatch, *gDirekt);
  const bool batchGezeichnet = Bench::Zeichnet(*gBatch), direktGezeichnet = Bench::Zeichnet(*gDirekt);
  std::printf("Batch/GL over %d rounds: min %.2fx  median %.2fx  max %.2fx  "
              "(median frame %.2f ms against %.2f ms; drawn: %s, %s)\n",
              runden, r.mMin, r.mMedian, r.mMax, r.mA, r.mB, batchGezeichnet ? "yes" : "NO",
              direktGezeichnet ? "yes" : "NO");
  return batchGezeichnet && direktGezeichnet;
}

Quarz_Font3D* gSchrift = nullptr;

// 10,000 glyphs laid out and queued per frame: 100 lines of 100 characters.
void TextZeilen(benchmark::State& state) {
  gSchrift->mSofortZeichnen = 0;
  const std::string zeile = "Weilerbau: Holz 042, Stein 017, Nahrung 123 - der Turm wächst! ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghi";
  for (auto _ : state) {
    for (int i = 0; i < 100; ++i) gSchrift->Zeichne(5, static_cast<float>(i * 10), zeile.c_str());
    benchmark::DoNotOptimize(gSchrift->mBatch->mWarteschlange.data());
    gSchrift->mBatch->mWarteschlange.clear();
  }
  state.SetItemsProcessed(state.iterations() * 100 * static_cast<int64_t>(zeile.size()));
}

// The same amount of text broken into lines of at most 800 pixels.
void TextUmbrochen(benchmark::State& state) {
  gSchrift->mSofortZeichnen = 0;
  std::string text;
  while (text.size() < 9900) text += "Der Holzfaeller bringt Holz, der Steinbruch Stein. ";
  for (auto _ : state) {
    gSchrift->ZeichneUmbrochen(5, 5, 800, 100000, "%s", text.c_str());
    benchmark::DoNotOptimize(gSchrift->mBatch->mWarteschlange.data());
    gSchrift->mBatch->mWarteschlange.clear();
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}

// The default glyph set from "calibrib.ttf": rendered and packed without a device, and as a
// font with its atlas texture.
void AtlasOhneGeraet(benchmark::State& state) {
  for (auto _ : state) {
    TSchriftDatei datei;
    TTrueTypeGlyphen::Rendere(Daten("calibrib.ttf"), nullptr,
                              [&](uint32_t c, const TBereich& q, uint64_t x, uint64_t y, uint64_t w,
                                  uint64_t h, const TGlyphe& g) { datei.AddBuchstabe(c, q, x, y, w, h, g); });
    benchmark::DoNotOptimize(datei.mAtlas.mPixel.data());
  }
}

void SchriftAusTrueType(benchmark::State& state) {
  for (auto _ : state) delete Quarz_Font3D::ErzeugeAusTrueType(Daten("calibrib.ttf"));
}

}  // namespace

BENCHMARK(SpriteBatch)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(DirektGl)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(TextZeilen)->Unit(benchmark::kMicrosecond);
BENCHMARK(TextUmbrochen)->Unit(benchmark::kMicrosecond);
BENCHMARK(AtlasOhneGeraet)->Unit(benchmark::kMillisecond);
BENCHMARK(SchriftAusTrueType)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  gTimer.Starte();
  if (!Quarz_Screen3D::Init(Quarz_Screen3D::Modus{kSchirm, kSchirm, 0, 0}, Quarz_Screen3D::FLAG_ANWENDUNG))
    return 1;
  gSchrift = Quarz_Font3D::ErzeugeAusTrueType(Daten("calibrib.ttf"));
  if (!gSchrift) return 1;
  const int ergebnis = Bench::LaufeMitSeiten(gBatch, gDirekt, [] { return VergleicheRunden(40); });
  delete gSchrift;
  Quarz_Screen3D::Beenden();
  benchmark::Shutdown();
  return ergebnis;
}
