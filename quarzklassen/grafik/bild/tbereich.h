#pragma once
// A rectangular view of image pixels: a pointer, a format, a size and a pitch. It never owns
// its pixels. For DXT formats one pixel row is a quarter of a block row.
#include <cstdint>

#include "quarzklassen/grafik/geraet/quarz_pixelformat.h"
#include "quarzklassen/kern/talphafarbe.h"

struct TBereich {
  // A view of the sub-rectangle (x, y, breite, hoehe) with the same format and pitch. For DXT
  // formats x and y must be multiples of 4. Keeping the view inside is the caller's duty.
  TBereich LockSubBereich(uint64_t x, uint64_t y, uint64_t breite, uint64_t hoehe) const;

  // Copies the overlapping area (the smaller width times the smaller height) into the target.
  // Equal formats are copied row by row (block row by block row for DXT); other pairs go
  // through float RGBA per pixel, and a DXT target is compressed block by block.
  void KopiereIn(TBereich& ziel) const;

  // Copies this region into the target at (x, y), clipped at the target's right and bottom
  // edges. A position outside the target is reported and nothing is copied.
  void SchreibeInBereich(TBereich& ziel, uint64_t x, uint64_t y) const;

  // One pixel as float RGBA; outside the region, or in a format without per-pixel reads
  // (A2B10G10R10), opaque black.
  TAlphaFarbe LiesPixel(uint64_t x, uint64_t y) const;
  // Writes one pixel from float RGBA; integer channels are clamped to [0, 1] first (and
  // rounded to the nearest step in R5G6B5). Nothing is written outside the region or in
  // A2B10G10R10 and the DXT formats.
  void SchreibePixel(uint64_t x, uint64_t y, const TAlphaFarbe& farbe);

  // A region counts as present when it has pixels, a size and a pitch.
  bool IstVorhanden() const { return mPixel && mBreite && mHoehe && mPitch; }

  uint8_t* mPixel = nullptr;
  Quarz_Pixelformat mFormat = 0;
  uint64_t mBreite = 0;
  uint64_t mHoehe = 0;
  uint64_t mPitch = 0;
};

namespace Quarz {
// Half-float conversions of the engine: denormal halves read as zero, exponent 31 has no
// special meaning; floats below the half range write a signed zero, above it the largest half.
float HalbNachFloat(uint16_t h);
uint16_t FloatNachHalb(float f);
}  // namespace Quarz
