#pragma once
// Lays out a shader's constants the Direct3D 9 way over the uniform block that glslang made
// of the global constants: every constant the shader reads gets float4 registers (one per
// scalar or vector, one per stored row of a matrix, per array element, structures member by
// member), and each register a copy from the device's register file into the block. As
// Direct3D 9's compiler does, a constant never read gets no register and stays out of the
// table, one with register(cN) starts at cN, and the others fill the lowest free registers in
// declaration order. Samplers likewise. The block itself is laid out anew by the std140 rules,
// so that GLSL 3.30 can state it without offsets.
#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include <spirv_cross/spirv_glsl.hpp>

#include "plattform/d3d9/d3d9_shadercode.h"
#include "plattform/hlsl/d3dx_konstante.h"

namespace Plattform {

class TKonstantenBelegung {
 public:
  explicit TKonstantenBelegung(spirv_cross::CompilerGLSL& compiler) : mCompiler(compiler) {}

  // Registers asked for by name (register(cN) or register(sN)).
  using TFesteRegister = std::map<std::string, uint32_t>;

  // Registers for the members of the block type that `benutzt` marks (by member index);
  // false with a message when the constants do not fit below `registerGrenze`, two fixed
  // registers overlap, or a constant has a type Direct3D 9 cannot hold.
  bool BelegeBlock(uint32_t blockTypId, uint32_t registerGrenze, const std::vector<bool>& benutzt,
                   const TFesteRegister& fest, std::string& fehler);
  // Sampler registers, in the given order; a sampler array takes one per element. False with a
  // message when they do not fit below `grenze` or fixed ones overlap.
  bool BelegeSampler(const std::vector<spirv_cross::Resource>& sampler,
                     const std::vector<std::string>& glslNamen, uint32_t grenze,
                     const TFesteRegister& fest, std::string& fehler);

  const std::vector<TKonstante>& Konstanten() const { return mKonstanten; }
  const std::vector<TShaderCode::Kopie>& Kopien() const { return mKopien; }
  const std::vector<TShaderCode::Sampler>& Sampler() const { return mSampler; }
  uint32_t BlockBytes() const { return mBlockBytes; }

 private:
  struct TMass {
    uint32_t Ausrichtung;
    uint32_t Groesse;
  };
  // std140 alignment and size of a type; sets the offsets and strides of structures and arrays
  // inside it on the way.
  TMass LegeAus(uint32_t typId, bool zeilenweise);
  TMass LegeStrukturAus(uint32_t typId);
  // Registers and copies for a constant of the given type at a block offset.
  TKonstante Beschreibe(uint32_t typId, const std::string& name, uint32_t strukturTyp,
                        uint32_t mitglied, uint32_t versatz, std::string& fehler);
  TKonstante BeschreibeEinzeln(uint32_t typId, const std::string& name, uint32_t strukturTyp,
                               uint32_t mitglied, uint32_t versatz, std::string& fehler);
  void FuegeKopieHinzu(uint32_t reg, uint32_t versatz, uint32_t bytes, uint32_t umwandlung);
  // Block offsets of the elements of an array type, outermost index first.
  std::vector<uint32_t> ElementVersaetze(uint32_t typId) const;
  uint32_t ElementTyp(uint32_t typId) const;
  bool ZeilenweiseGespeichert(uint32_t strukturTyp, uint32_t mitglied) const;
  // Registers a constant of the type takes (above the limit once it cannot fit anyway).
  uint64_t RegisterBedarf(uint32_t typId, bool zeilenweise) const;

  spirv_cross::CompilerGLSL& mCompiler;
  std::unordered_map<uint32_t, TMass> mStrukturMasse;
  std::unordered_map<uint32_t, uint32_t> mSchrittweiten;  // array type -> element stride
  std::vector<TKonstante> mKonstanten;
  std::vector<TShaderCode::Kopie> mKopien;
  std::vector<TShaderCode::Sampler> mSampler;
  uint32_t mBlockBytes = 0;
  uint32_t mNaechstesRegister = 0;
  uint32_t mGrenze = 0;
};

}  // namespace Plattform
