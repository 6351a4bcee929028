#pragma once
// The layout record of a container: one row or one column, and where slack space goes.
#include <cstdint>

#include "quarzklassen/kern/bvektor.h"

namespace Gui {

class VaterBasis;

class Anordnung {
public:
  enum Art : uint32_t { ZEILE = 0, SPALTE = 1 };
  Anordnung(uint32_t art, float horizontal, float vertikal)
      : mArt(art), mHorizontal(horizontal), mVertikal(vertikal) {}
  // A column with the given horizontal alignment, centred vertically.
  explicit Anordnung(float horizontal) : Anordnung(SPALTE, horizontal, 0.5f) {}

  // The size the children need, visible or not, with the spacing.
  BVektor<float> Groesse(VaterBasis& behaelter) const;
  // Sizes and places the visible children inside the container's stored size.
  void Platziere(VaterBasis& behaelter) const;

  uint32_t mArt;
  float mHorizontal;  // 0 left, 0.5 centre, 1 right
  float mVertikal;    // 0 top, 0.5 centre, 1 bottom
};

}  // namespace Gui
