#pragma once
// An index buffer in video memory, 16- or 32-bit indices. Like the vertex buffer it keeps a
// copy of its content unless FLAG_FLUECHTIG and re-creates itself at the next use.
#include <cstdint>

#include "plattform/d3d9/d3d9.h"
#include "quarzklassen/grafik/geraet/quarz_basisobjekt.h"

class Quarz_IndexBuffer : public Quarz_BasisObjekt {
public:
  enum : uint8_t { INDEX_16 = 1, INDEX_32 = 2 };

  // flags: usage flags with the index format (1 = 16-bit, 2 = 32-bit) in the low byte. The
  // buffer is as large as the content.
  Quarz_IndexBuffer(uint32_t flags, TInitialInhalt* inhalt);
  ~Quarz_IndexBuffer() override;

  void Benutzen() override;
  bool IstVideoRAMResource() const override { return true; }
  void VorZuruecksetzen() override;
  void NachZuruecksetzen() override {}
  void Rauswerfen() override { VorZuruecksetzen(); }

  uint64_t mFlags = 0;    // usage flags without the low byte
  uint64_t mGroesse = 0;  // bytes
  uint8_t mFormat = 0;    // INDEX_16 or INDEX_32
  uint8_t* mKopie = nullptr;
  IDirect3DIndexBuffer9* mBuffer = nullptr;

private:
  bool LadeHoch(const void* daten, uint64_t bytes);
};
