#include "quarzklassen/grafik/bild/tbereich.h"

#include <algorithm>
#include <cstring>

#include "quarzklassen/kern/quarz_log.h"

namespace {

// Bytes of one 4 x 4 block of a DXT format.
uint64_t BlockBytes(Quarz_Pixelformat format) { return format == Quarz::PF_DXT1 ? 8 : 16; }

}  // namespace

TBereich TBereich::LockSubBereich(uint64_t x, uint64_t y, uint64_t breite, uint64_t hoehe) const {
  TBereich teil = *this;
  teil.mBreite = breite;
  teil.mHoehe = hoehe;
  if (!mPixel) return teil;
  if (Quarz::IstBlockFormat(mFormat)) {
    if (x % 4 || y % 4)
      gLog.Schreibe(
          "!TBereich::LockSubBereich( %d, %d, %d, %d): Unterbereiche in einem "
          "DXT-komprimierten Bereich müssen durch 4 teilbare Position haben.",
          static_cast<int>(x), static_cast<int>(y), static_cast<int>(breite),
          static_cast<int>(hoehe));
    // A block row is four pixel rows; within it each block takes BlockBytes.
    teil.mPixel = mPixel + (y / 4) * 4 * mPitch + (x / 4) * BlockBytes(mFormat);
  } else {
    teil.mPixel = mPixel + y * mPitch + x * (Quarz::GetBitsProPixel(mFormat) / 8);
  }
  return teil;
}

void TBereich::KopiereIn(TBereich& ziel) const {
  if (!mPixel || !ziel.mPixel) return;
  if (mFormat != ziel.mFormat) {
    gLog.Schreibe(
        "!TBereich::KopiereIn(): Pixelformat %d kann nicht in Pixelformat %d kopiert "
        "werden.",
        static_cast<int>(mFormat), static_cast<int>(ziel.mFormat));
    return;
  }
  const uint64_t breite = std::min(mBreite, ziel.mBreite);
  const uint64_t hoehe = std::min(mHoehe, ziel.mHoehe);
  if (breite == 0 || hoehe == 0) return;
  if (Quarz::IstBlockFormat(mFormat)) {
    // A partial block at the right edge holds pixels too (a level 6 wide has two blocks).
    const uint64_t bloecke = (breite + 3) / 4;
    const uint64_t blockZeilen = (hoehe + 3) / 4;
    for (uint64_t z = 0; z < blockZeilen; ++z)
      std::memcpy(ziel.mPixel + z * 4 * ziel.mPitch, mPixel + z * 4 * mPitch,
                  bloecke * BlockBytes(mFormat));
    return;
  }
  const uint64_t zeile = Quarz::GetBitsProPixel(mFormat) * breite / 8;
  for (uint64_t y = 0; y < hoehe; ++y)
    std::memcpy(ziel.mPixel + y * ziel.mPitch, mPixel + y * mPitch, zeile);
}
