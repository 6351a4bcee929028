#pragma once
// Blend settings made once from a description and bound by pointer. Only entry 0 of the
// description takes effect; binding compares and sets the prepared Direct3D values.
#include <cstdint>

#include "plattform/d3d9/d3d9.h"
#include "quarzklassen/grafik/geraet/quarz_basisobjekt.h"

struct Quarz_AlphaZustandBeschr {
  struct Eintrag {
    uint8_t mAktiv = 0;
    int32_t mFarbOp = 0;      // 0 add, 1 subtract, 2 reverse subtract, 3 min, 4 max
    int32_t mFarbQuelle = 1;  // blend factor ids 0 to 9
    int32_t mFarbZiel = 0;
    int32_t mAlphaOp = 0;
    int32_t mAlphaQuelle = 1;
    int32_t mAlphaZiel = 0;
    uint32_t mSchreibMaske = 15;  // bit 0 red, 1 green, 2 blue, 3 alpha
  };
  // Every entry disabled, add with one and zero, full write mask.
  Quarz_AlphaZustandBeschr() = default;
  // Entry 0 enabled with the given source and destination factors for colour and alpha.
  Quarz_AlphaZustandBeschr(int32_t unbenutzt, int32_t quelle, int32_t ziel);

  Eintrag mEintraege[8];
};

class Quarz_AlphaZustand : public Quarz_NichtVideoObjekt {
public:
  explicit Quarz_AlphaZustand(const Quarz_AlphaZustandBeschr& beschr);
  ~Quarz_AlphaZustand() override = default;

  Quarz_AlphaZustandBeschr mBeschr;
  DWORD mBlendAktiv = 0;
  DWORD mBlendOp = D3DBLENDOP_ADD;
  DWORD mQuellBlend = D3DBLEND_ONE;
  DWORD mZielBlend = D3DBLEND_ZERO;
  DWORD mAlphaGetrennt = 0;
  DWORD mAlphaBlendOp = D3DBLENDOP_ADD;
  DWORD mAlphaQuellBlend = D3DBLEND_ONE;
  DWORD mAlphaZielBlend = D3DBLEND_ZERO;
  DWORD mSchreibMaske = 15;
};
