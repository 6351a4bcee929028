#pragma once
// A shader program: a vertex input layout, a vertex shader and a pixel shader, with the copies
// the drawing context binds and the packed register lookups by constant and sampler name.
//
// The copies are taken at construction and hold references of their own, so a shader compiled
// again later (or a layout closed again) is not seen by programs built before, and the objects
// they bind stay valid as long as the program lives.
#include <cstdint>
#include <string>

#include "plattform/d3d9/d3d9.h"
#include "quarzklassen/grafik/geraet/quarz_basisobjekt.h"

class Quarz_VertexEingabe;
class Quarz_VertexShader;
class Quarz_PixelShader;

class Quarz_Programm : public Quarz_NichtVideoObjekt {
public:
  // Absent parts of the packed indices.
  static constexpr uint32_t kKeineKonstante = 0xFFF;
  static constexpr uint32_t kKeinSampler = 0xFF;

  Quarz_Programm(Quarz_VertexEingabe* eingabe, Quarz_VertexShader* vs, Quarz_PixelShader* ps);
  ~Quarz_Programm() override;

  // Packed constant index: vertex register in bits 0-11, pixel register in bits 12-23, 0xFFF
  // where a stage lacks the name.
  uint32_t GetKonstantenIndex(const std::string& name) const;
  // Packed sampler index: vertex sampler in bits 8-15, pixel sampler in bits 0-7, 0xFF absent.
  uint32_t GetSamplerIndex(const std::string& name) const;

  uint32_t mFlags = 0;
  Quarz_VertexEingabe* mVertexEingabe = nullptr;
  Quarz_VertexShader* mVertexShader = nullptr;
  Quarz_PixelShader* mPixelShader = nullptr;
  // Copies taken at construction.
  uint64_t mStromAnzahl = 0;      // streams the layout uses (highest index + 1)
  uint64_t mInstanzMaske = 0;     // bit per stream that carries per-instance data
  uint16_t mSchrittweiten[4] = {0, 0, 0, 0};
  IDirect3DVertexDeclaration9* mDeklaration = nullptr;
  IDirect3DVertexShader9* mD3DVertexShader = nullptr;
  IDirect3DPixelShader9* mD3DPixelShader = nullptr;

protected:
  // For programs assembled from ready device objects, which fill the copies themselves; the
  // destructor releases whatever copies are still set.
  Quarz_Programm() = default;
};
