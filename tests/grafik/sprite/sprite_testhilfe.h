#pragma once
// Source images for the sprite tests: every pixel tells where it came from.
#include <cstdint>
#include <vector>

#include "quarzklassen/grafik/bild/tbereich.h"

struct TTestBild {
  TTestBild(uint64_t breite, uint64_t hoehe, uint32_t saat) : mPixel(breite * hoehe) {
    for (uint64_t y = 0; y < hoehe; ++y)
      for (uint64_t x = 0; x < breite; ++x)
        mPixel[y * breite + x] = 0xFF000000u | (saat * 40503u + static_cast<uint32_t>(x * 7 + y * 131)) % 0xFFFFFFu;
    mBereich = {reinterpret_cast<uint8_t*>(mPixel.data()), 0, breite, hoehe, breite * 4};
  }
  uint32_t Pixel(uint64_t x, uint64_t y) const { return mPixel[y * mBereich.mBreite + x]; }
  std::vector<uint32_t> mPixel;
  TBereich mBereich;
};
