#pragma once
// A vertex buffer in video memory. Unless FLAG_FLUECHTIG, it keeps a copy of its content in
// system memory and re-creates itself from it at the next use after a reset or an eviction.
#include <cstdint>

#include "plattform/d3d9/d3d9.h"
#include "quarzklassen/grafik/geraet/quarz_basisobjekt.h"

class Quarz_VertexBuffer : public Quarz_BasisObjekt {
public:
  // groesse 0 takes the content's byte count. Without FLAG_DYNAMISCH the content must fill the
  // buffer exactly, since it cannot be written later.
  Quarz_VertexBuffer(uint64_t groesse, uint32_t flags, TInitialInhalt* inhalt);
  ~Quarz_VertexBuffer() override;

  // Rewrites the content of a dynamic buffer (from byte 0). With the hand-over flag the
  // content's memory is freed afterwards.
  void SchreibeInhalt(TInitialInhalt* inhalt);

  void Benutzen() override;
  bool IstVideoRAMResource() const override { return true; }
  void VorZuruecksetzen() override;
  void NachZuruecksetzen() override {}
  void Rauswerfen() override { VorZuruecksetzen(); }

  uint32_t mFlags = 0;
  uint64_t mGroesse = 0;
  uint8_t* mKopie = nullptr;  // kept content (std::malloc), or null
  IDirect3DVertexBuffer9* mBuffer = nullptr;

private:
  // Copies `bytes` bytes to the start of the device buffer; false on a lock failure.
  bool LadeHoch(const void* daten, uint64_t bytes);
};
