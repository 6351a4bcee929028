#pragma once
// What the graphics benchmarks' direct-OpenGL comparison runs share: a program from two
// source texts and an indexed mesh with positions at attribute 0 (both need a current
// context), and the rounds that time the two sides side by side.
#include <benchmark/benchmark.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <chrono>
#include <cstddef>
#include <functional>
#include <vector>

#include "bench/median.h"

namespace Bench {

// A linked program with its two shader objects; all three deleted together.
struct TGlProgramm {
  GLuint mProgramm = 0, mVertex = 0, mFragment = 0;

  TGlProgramm(const char* vertexText, const char* fragmentText)
      : mProgramm(glCreateProgram()),
        mVertex(Stufe(GL_VERTEX_SHADER, vertexText)),
        mFragment(Stufe(GL_FRAGMENT_SHADER, fragmentText)) {
    glAttachShader(mProgramm, mVertex);
    glAttachShader(mProgramm, mFragment);
    glLinkProgram(mProgramm);
  }
  ~TGlProgramm() {
    glDeleteProgram(mProgramm);
    glDeleteShader(mVertex);
    glDeleteShader(mFragment);
  }
  TGlProgramm(const TGlProgramm&) = delete;
  TGlProgramm& operator=(const TGlProgramm&) = delete;

  // A failed compile shows in the figures (nothing drawn), so it is not checked here.
  static GLuint Stufe(GLenum art, const char* text) {
    GLuint s = glCreateShader(art);
    glShaderSource(s, 1, &text, nullptr);
    glCompileShader(s);
    return s;
  }
};

// A vertex array with a static vertex buffer (three floats per vertex at attribute 0) and a
// static index buffer; left bound. All deleted together.
struct TGlNetz {
  GLuint mVao = 0, mPuffer[2] = {};

  TGlNetz(const void* ecken, size_t eckenBytes, const void* indizes, size_t indexBytes) {
    glGenVertexArrays(1, &mVao);
    glBindVertexArray(mVao);
    glGenBuffers(2, mPuffer);
    glBindBuffer(GL_ARRAY_BUFFER, mPuffer[0]);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(eckenBytes), ecken, GL_STATIC_DRAW);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 12, nullptr);
    glEnableVertexAttribArray(0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, mPuffer[1]);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indexBytes), indizes,
                 GL_STATIC_DRAW);
  }
  ~TGlNetz() {
    glDeleteBuffers(2, mPuffer);
    glDeleteVertexArrays(1, &mVao);
  }
  TGlNetz(const TGlNetz&) = delete;
  TGlNetz& operator=(const TGlNetz&) = delete;
};

// The ratio of side a to side b over rounds: its spread, and each side's median frame.
struct TRunden {
  double mMin = 0, mMedian = 0, mMax = 0;
  double mA = 0, mB = 0;  // milliseconds
};

// Rounds of three frames on each side, one after the other, so that both meet the same load
// of the machine; the ratio of each round's medians. Each call of a side draws one frame.
inline TRunden VergleicheRunden(int runden, const std::function<void()>& a,
                                const std::function<void()>& b) {
  const auto dauer = [](const std::function<void()>& bild) {
    const auto t = std::chrono::steady_clock::now();
    bild();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t).count();
  };
  std::vector<double> verhaeltnisse, zeitenA, zeitenB;
  for (int r = 0; r < runden; ++r) {
    std::vector<double> ra, rb;
    for (int n = 0; n < 3; ++n) {
      ra.push_back(dauer(a));
      rb.push_back(dauer(b));
    }
    zeitenA.push_back(Median(ra));
    zeitenB.push_back(Median(rb));
    verhaeltnisse.push_back(zeitenA.back() / zeitenB.back());
  }
  const auto [min, max] = std::minmax_element(verhaeltnisse.begin(), verhaeltnisse.end());
  return {*min, Median(verhaeltnisse), *max, Median(zeitenA), Median(zeitenB)};
}

// One side's benchmark: a frame per iteration in the side's context, then one frame read back;
// a side that drew nothing gets no figure. A side has Betrete, Bild, HatGezeichnet, Verlasse.
template <typename Seite>
void MissSeite(benchmark::State& state, Seite& seite, int64_t jeBild) {
  seite.Betrete();
  for (auto _ : state) seite.Bild();
  state.SetItemsProcessed(state.iterations() * jeBild);
  if (!seite.HatGezeichnet()) state.SkipWithError("nothing was drawn");
  seite.Verlasse();
}

// The rounds for two such sides.
template <typename A, typename B>
TRunden VergleicheSeiten(int runden, A& a, B& b) {
  const auto bild = [](auto& seite) {
    seite.Betrete();
    seite.Bild();
    seite.Verlasse();
  };
  return VergleicheRunden(runden, [&] { bild(a); }, [&] { bild(b); });
}

// Whether a side draws: one frame read back in its own context.
template <typename Seite>
bool Zeichnet(Seite& seite) {
  seite.Betrete();
  const bool ja = seite.HatGezeichnet();
  seite.Verlasse();
  return ja;
}

// Makes both sides (the engine's screen is open), points the benchmarks' pointers at them,
// runs the registered benchmarks and then `runden` (true when both sides drew); 1 when the
// direct side B has no window or a side drew nothing.
template <typename A, typename B, typename Runden>
int LaufeMitSeiten(A*& zeigerA, B*& zeigerB, Runden runden) {
  A a;
  B b;
  zeigerA = &a;
  zeigerB = &b;
  int ergebnis = 0;
  if (!b.Bereit()) {
    std::fprintf(stderr, "no window for the direct comparison\n");
    ergebnis = 1;
  } else {
    benchmark::RunSpecifiedBenchmarks();
    if (!runden()) ergebnis = 1;
  }
  zeigerA = nullptr;
  zeigerB = nullptr;
  return ergebnis;
}

}  // namespace Bench
