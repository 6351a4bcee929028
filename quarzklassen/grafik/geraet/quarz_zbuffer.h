#pragma once
// A depth buffer for render targets. Its content is never kept (always FLAG_FLUECHTIG); after a
// device reset it is created again at once.
#include <cstdint>

#include "plattform/d3d9/d3d9.h"
#include "quarzklassen/grafik/geraet/quarz_basisobjekt.h"

class Quarz_ZBuffer : public Quarz_BasisObjekt {
public:
  Quarz_ZBuffer(uint64_t breite, uint64_t hoehe);
  ~Quarz_ZBuffer() override;

  void Benutzen() override;
  bool IstVideoRAMResource() const override { return true; }
  void VorZuruecksetzen() override;
  void NachZuruecksetzen() override { Benutzen(); }
  void Rauswerfen() override { VorZuruecksetzen(); }

  uint32_t mFlags = FLAG_FLUECHTIG;
  uint64_t mBreite = 0;
  uint64_t mHoehe = 0;
  IDirect3DSurface9* mOberflaeche = nullptr;
};
