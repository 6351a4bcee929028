#pragma once
// Our HLSL compiler: Direct3D 9 shader model 3 HLSL in, GLSL 3.30 out, together with everything
// the device needs to run that GLSL the Direct3D 9 way (the record of d3d9_shadercode.h) and
// the constants laid out in Direct3D 9 registers for the constant table.
//
// The road: glslang reads the HLSL (Direct3D 9 compatibility, every variable keeps its
// semantic) and writes SPIR-V; SPIRV-Cross writes GLSL from it after we have renamed the
// interface (varyings after their semantic, per-stage names for constants and samplers), set
// the vertex input and pixel output locations from the semantics and laid out the constants.
// The vertex stage ends with Direct3D's conventions: y flipped, depth 0..1, and the half-pixel
// shift by `weilerbau_halbpixel`.
#include <string>
#include <utility>
#include <vector>

#include "plattform/d3d9/d3d9_shadercode.h"
#include "plattform/hlsl/d3dx_konstante.h"

namespace Plattform {

class THlslKompiler {
 public:
  struct TAuftrag {
    std::string Quelltext;
    std::string QuellName;  // shown in messages; empty for text from memory
    std::vector<std::pair<std::string, std::string>> Definitionen;
    uint32_t Stufe = TShaderCode::Vertex;
    std::string Einstieg = "main";
    bool ZeilenweiseMatrizen = false;  // HLSL's row_major packing for every matrix
  };
  struct TErgebnis {
    bool Erfolg = false;
    std::string Meldungen;  // errors and warnings, one per line
    TShaderCode Code;
    std::vector<TKonstante> Konstanten;
  };

  // Constant registers of the two stages, as many as the device has.
  static constexpr uint32_t VertexRegister = 256;
  static constexpr uint32_t PixelRegister = 224;
  static constexpr uint32_t VertexSampler = 4;
  static constexpr uint32_t PixelSampler = 16;

  static TErgebnis Uebersetze(const TAuftrag& auftrag);

  // The HLSL glslang is given: a vertex shader's POSITION0 output semantic becomes POSITION,
  // which glslang's Direct3D 9 mode takes for the position (POSITION0 would stay a varying and
  // nothing would be drawn).
  static std::string BereiteVor(const std::string& quelltext, uint32_t stufe);
};

}  // namespace Plattform
