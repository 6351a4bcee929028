#pragma once
// A move-only handle to one sprite of a sprite batch, owning the batch or not.
#include <cstdint>

#include "gui/taste.h"
#include "quarzklassen/kern/bvektor.h"

class Quarz_BlockGfx3D;

namespace Gui {

class GrafikVerweis {
public:
  GrafikVerweis() = default;
  GrafikVerweis(Quarz_BlockGfx3D* batch, uint64_t index, bool besitzt)
      : mBatch(batch), mIndex(index), mBesitzt(besitzt ? 1 : 0) {}
  GrafikVerweis(GrafikVerweis&& quelle) noexcept;
  GrafikVerweis& operator=(GrafikVerweis&& quelle) noexcept;
  GrafikVerweis(const GrafikVerweis&) = delete;
  GrafikVerweis& operator=(const GrafikVerweis&) = delete;
  ~GrafikVerweis();

  // Width and height of the sprite in the batch's atlas; (0, 0) without one.
  BVektor<float> SpriteGroesse() const;

  Quarz_BlockGfx3D* mBatch = nullptr;
  uint64_t mIndex = KEINE_ID;
  uint8_t mBesitzt = 0;

private:
  void Uebernimm(GrafikVerweis& quelle);
  void Freigeben();
};

}  // namespace Gui
