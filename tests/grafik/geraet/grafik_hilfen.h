#pragma once
// The engine graphics tests' screen fixture with a program assembled straight from HLSL.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plattform/d3d9/d3d9.h"
#include "quarzklassen/kern/quarz_konsolebasisanzeige.h"
#include "quarzklassen/grafik/shader/quarz_programm.h"
#include "quarzklassen/grafik/geraet/quarz_screen3d.h"
#include "quarzklassen/grafik/geraet/quarz_zeichenkontext.h"
#include "quarzklassen/kern/tmatrix4.h"
#include "tests/grafik/gemeinsam/grafik_testhilfe.h"

using TLogFang = TLogFaenger;

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

// The shared screen fixture with a program drawing quads of one colour.
class GrafikTest : public BildschirmTest {
protected:
  void SetUp() override;
  void TearDown() override;

  // A quad covering [x0, x1] x [y0, y1] in clip space, positions only.
  void ErzeugeQuad(float x0, float y0, float x1, float y1, uint32_t flags = 0) {
    BildschirmTest::ErzeugeQuad(x0, y0, x1, y1, flags, false);
  }
  // Draws the quad with the colour (r, g, b, a) through the test program, moved by `matrix`.
  void ZeichneQuad(float r, float g, float b, float a,
                   const TMatrix4& matrix = TMatrix4::Einheit());

  TTestProgramm* mProgramm = nullptr;
};

// Shader sources used by several tests.
extern const char* const kQuadVS;
extern const char* const kFarbePS;
