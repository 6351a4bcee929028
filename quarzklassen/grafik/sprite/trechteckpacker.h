#pragma once
// Places rectangles into a bin (the atlas of a sprite batch). It keeps the placed rectangles
// and a list of free ones; the free ones only serve as candidate corners, and every candidate
// is checked against the placed rectangles, so the free list may describe the free space
// loosely. Its state travels inside the sprite block "FX3D" as a "PLTZ" segment.
#include <cstdint>
#include <vector>

class TSpeicher;

struct TRechteck {
  uint64_t mX = 0;
  uint64_t mY = 0;
  uint64_t mBreite = 0;
  uint64_t mHoehe = 0;

  // Touching edges do not overlap.
  bool Ueberlappt(const TRechteck& b) const {
    return mX < b.mX + b.mBreite && mX + mBreite > b.mX && mY < b.mY + b.mHoehe &&
           mY + mHoehe > b.mY;
  }
  bool operator==(const TRechteck&) const = default;
};

class TRechteckPacker {
public:
  static constexpr uint32_t kKennung = 0x504C545Au;  // "PLTZ"
  static constexpr uint32_t kVersion = 258;

  // Sets the bin size; reserves room for n rectangles when the used list holds fewer.
  void Init(uint64_t breite, uint64_t hoehe, uint64_t n);
  // Empties both lists; the bin size stays.
  void Leeren();
  // Places a w x h rectangle at the top-most free corner (the first in the free list wins a
  // tie). False when it fits nowhere; nothing changes then.
  bool Einfuegen(uint64_t breite, uint64_t hoehe, uint64_t& x, uint64_t& y);
  // Carves a placed rectangle out of the free list; one of zero width or height carves nothing.
  void Belegen(const TRechteck& r);
  // Adds a free rectangle, merged with the first neighbour that shares a whole edge.
  void FreiHinzufuegen(const TRechteck& n);
  // Replaces the state from the buffer's position: a "PLTZ" segment, or the older form
  // without header whose rectangles become free rectangles. Counts that the remaining bytes
  // cannot hold are cut to what they can.
  void Laden(TSpeicher& puffer);
  // Writes the state as a "PLTZ" segment (the form Laden reads).
  void Speichern(TSpeicher& puffer) const;

  uint64_t mBinBreite = 0;
  uint64_t mBinHoehe = 0;
  std::vector<TRechteck> mBelegt;
  std::vector<TRechteck> mFrei;
};

// Big-endian words of the engine's data blocks.
uint32_t LiesU32BE(TSpeicher& puffer);
void SchreibeU32BE(TSpeicher& puffer, uint32_t wert);
