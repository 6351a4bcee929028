#pragma once
// A rectangular view of image pixels: a pointer, a format, a size and a pitch. It never owns
// its pixels. For DXT formats one pixel row is a quarter of a block row.
#include <cstdint>

#include "quarzklassen/grafik/geraet/quarz_pixelformat.h"

struct TBereich {
  // A view of the sub-rectangle (x, y, breite, hoehe) with the same format and pitch. For DXT
  // formats x and y must be multiples of 4. Keeping the view inside is the caller's duty.
  TBereich LockSubBereich(uint64_t x, uint64_t y, uint64_t breite, uint64_t hoehe) const;

  // Copies the overlapping area (the smaller width times the smaller height) into the target.
  // Regions of the same format are copied row by row (block row by block row for DXT);
  // a copy between different formats is refused with a log line and copies nothing.
  void KopiereIn(TBereich& ziel) const;

  // A region counts as present when it has pixels, a size and a pitch.
  bool IstVorhanden() const { return mPixel && mBreite && mHoehe && mPitch; }

  uint8_t* mPixel = nullptr;
  Quarz_Pixelformat mFormat = 0;
  uint64_t mBreite = 0;
  uint64_t mHoehe = 0;
  uint64_t mPitch = 0;
};
