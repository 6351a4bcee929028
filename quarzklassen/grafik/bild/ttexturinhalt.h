#pragma once
// Initial content of a texture: one region per mip level, level 0 first. With mUebergabe 1
// the texture takes the pixel memory over (it must come from std::malloc) and clears the
// regions.
#include <cstdint>

#include "quarzklassen/grafik/bild/tbereich.h"

struct TTexturInhalt {
  static constexpr int kMaxStufen = 16;
  TBereich mStufen[kMaxStufen];
  uint32_t mUebergabe = 0;
};
