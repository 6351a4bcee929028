#pragma once
// Depth test settings made once from a description and bound by pointer.
#include <cstdint>

#include "plattform/d3d9/d3d9.h"
#include "quarzklassen/grafik/geraet/quarz_basisobjekt.h"

struct Quarz_TiefeZustandBeschr {
  uint8_t mTest = 0;
  uint8_t mSchreiben = 0;
  // 0 never, 1 less, 2 less-or-equal, 3 equal, 4 greater, 5 greater-or-equal, 6 not-equal,
  // anything else always.
  int32_t mVergleich = 2;
};

class Quarz_TiefeZustand : public Quarz_NichtVideoObjekt {
public:
  explicit Quarz_TiefeZustand(const Quarz_TiefeZustandBeschr& beschr);
  ~Quarz_TiefeZustand() override = default;

  Quarz_TiefeZustandBeschr mBeschr;
  DWORD mTest = 0;
  DWORD mSchreiben = 0;
  DWORD mVergleich = D3DCMP_LESSEQUAL;
};
