#pragma once
// Shared pieces of the graphics tests: a log catcher, a screen fixture (a real window under
// Xvfb) and a program assembled straight from HLSL.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plattform/d3d9.h"
#include "quarzklassen/quarz_konsolebasisanzeige.h"
#include "quarzklassen/quarz_programm.h"
#include "quarzklassen/quarz_screen3d.h"
#include "quarzklassen/quarz_zeichenkontext.h"

// Collects every log line.
class TLogFang : public Quarz_KonsoleBasisAnzeige {
public:
  void ZeigeZeile(const char* zeile) override { mZeilen.emplace_back(zeile); }
  int Zaehle(const std::string& teil) const {
    int n = 0;
    for (const auto& z : mZeilen) n += z.find(teil) != std::string::npos;
    return n;
  }
  bool Enthaelt(const std::string& teil) const { return Zaehle(teil) > 0; }
  std::string Alle() const {
    std::string s;
    for (const auto& z : mZeilen) s += z;
    return s;
  }
  std::vector<std::string> mZeilen;
};

// A program from HLSL source, with one vertex stream of float3 positions.
class TTestProgramm : public Quarz_Programm {
public:
  TTestProgramm(const char* vs, const char* ps, bool instanziert = false);
  ~TTestProgramm() override;
  // Register of a constant in the vertex (or pixel) shader, or 0xFFF.
  uint32_t Register(const char* name, bool pixel) const;
  // Packed constant index over both stages.
  uint32_t Index(const char* name) const { return Register(name, false) | (Register(name, true) << 12); }

  std::string mMeldungen;

private:
  struct ID3DXConstantTable* mTabellen[2] = {nullptr, nullptr};
};

// A windowed screen of 64 x 48 pixels with its drawing context; the log is started and caught.
class GrafikTest : public ::testing::Test {
protected:
  static constexpr int kBreite = 64;
  static constexpr int kHoehe = 48;
  void SetUp() override;
  void TearDown() override;

  // Pixel (x, y) of the back buffer as 0xAARRGGBB.
  uint32_t Pixel(int x, int y);
  // Whole back buffer.
  std::vector<uint32_t> Bild();

  // A quad covering [x0, x1] x [y0, y1] in clip space, as vertex and index buffers.
  void ErzeugeQuad(float x0, float y0, float x1, float y1, uint32_t flags = 0);
  // Draws the quad with the colour (r, g, b, a) through the test program.
  void ZeichneQuad(float r, float g, float b, float a);

  TLogFang mLog;
  Quarz_ZeichenKontext* mKontext = nullptr;
  TTestProgramm* mProgramm = nullptr;
  Quarz_VertexBuffer* mVb = nullptr;
  Quarz_IndexBuffer* mIb = nullptr;
};

// Shader sources used by several tests.
extern const char* const kQuadVS;
extern const char* const kFarbePS;
