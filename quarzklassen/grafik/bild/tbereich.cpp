#include "quarzklassen/grafik/bild/tbereich.h"

#include <squish.h>

#include <algorithm>
#include <bit>
#include <cstring>

#include "quarzklassen/kern/quarz_log.h"

namespace {

// Bytes of one 4 x 4 block of a DXT format.
uint64_t BlockBytes(Quarz_Pixelformat format) { return format == Quarz::PF_DXT1 ? 8 : 16; }

int SquishFlag(Quarz_Pixelformat format) {
  switch (format) {
    case Quarz::PF_DXT1: return squish::kDxt1;
    case Quarz::PF_DXT3: return squish::kDxt3;
    default: return squish::kDxt5;
  }
}

// [0, 1]; NaN becomes 0, so no integer conversion below sees a value it cannot hold.
float Klemme01(float wert) {
  if (!(wert >= 0.0f)) return 0.0f;
  return wert > 1.0f ? 1.0f : wert;
}

// Channel scaling: truncation after the clamp, as the integer formats store their channels.
uint8_t Auf8Bit(float wert) { return static_cast<uint8_t>(Klemme01(wert) * 255.0f); }
uint16_t Auf16Bit(float wert) { return static_cast<uint16_t>(Klemme01(wert) * 65535.0f); }
// A division, not a product with a rounded reciprocal: k / 255 must come back as exactly the
// float that k / 255 is, or a round trip through float loses a step.
float Von8Bit(uint32_t k) { return static_cast<float>(k) / 255.0f; }
float Von16Bit(uint32_t k) { return static_cast<float>(k) / 65535.0f; }
// Narrow channels (5 and 6 bits) round to the nearest step: truncating would lose up to a
// whole step, which at these widths is plainly visible.
uint16_t AufBits(float wert, uint32_t groesster) {
  return static_cast<uint16_t>(Klemme01(wert) * static_cast<float>(groesster) + 0.5f);
}
float VonBits(uint32_t k, uint32_t groesster) { return static_cast<float>(k) / static_cast<float>(groesster); }

template <typename T>
T Lies(const uint8_t* p) {
  T wert;
  std::memcpy(&wert, p, sizeof wert);
  return wert;
}

template <typename T>
void Schreibe(uint8_t* p, T wert) {
  std::memcpy(p, &wert, sizeof wert);
}

// Bytes per pixel of the formats addressed pixel by pixel (not the DXT formats).
uint64_t PixelBytes(Quarz_Pixelformat format) { return Quarz::GetBitsProPixel(format) / 8; }

// The 16 RGBA bytes of a DXT block, gathered from the area (repeating it where the block
// overhangs), compressed into the target block.
void KomprimiereBlock(const TBereich& quelle, uint64_t breite, uint64_t hoehe, uint64_t bx,
                      uint64_t by, uint8_t* block, Quarz_Pixelformat format) {
  uint8_t rgba[16 * 4];
  for (uint64_t r = 0; r < 4; ++r)
    for (uint64_t c = 0; c < 4; ++c) {
      const TAlphaFarbe f = quelle.LiesPixel((bx + c) % breite, (by + r) % hoehe);
      uint8_t* p = rgba + (r * 4 + c) * 4;
      p[0] = Auf8Bit(f.r);
      p[1] = Auf8Bit(f.g);
      p[2] = Auf8Bit(f.b);
      p[3] = Auf8Bit(f.a);
    }
  squish::CompressMasked(rgba, 0xFFFF, block, SquishFlag(format));
}

}  // namespace

namespace Quarz {

float HalbNachFloat(uint16_t h) {
  const uint32_t vorzeichen = static_cast<uint32_t>(h & 0x8000) << 16;
  if ((h & 0x7C00) == 0) return std::bit_cast<float>(vorzeichen);
  return std::bit_cast<float>(((static_cast<uint32_t>(h & 0x7FFF) + 0x1C000) << 13) | vorzeichen);
}

uint16_t FloatNachHalb(float f) {
  const uint32_t bits = std::bit_cast<uint32_t>(f);
  const uint16_t vorzeichen = static_cast<uint16_t>(bits >> 16 & 0x8000);
  const uint32_t exponent = bits >> 23 & 0xFF;
  const uint32_t mantisse = bits & 0x7FFFFF;
  if (exponent == 0xFF && mantisse != 0) return 0;  // NaN
  if (exponent < 113) return vorzeichen;              // below the smallest normal half
  if (exponent > 142) return vorzeichen | 0x7BFF;     // beyond the largest half
  return static_cast<uint16_t>(vorzeichen | (exponent - 112) << 10 | mantisse >> 13);
}

}  // namespace Quarz

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
    teil.mPixel = mPixel + y * mPitch + x * PixelBytes(mFormat);
  }
  return teil;
}

void TBereich::KopiereIn(TBereich& ziel) const {
  if (!mPixel || !ziel.mPixel) return;
  const uint64_t breite = std::min(mBreite, ziel.mBreite);
  const uint64_t hoehe = std::min(mHoehe, ziel.mHoehe);
  if (breite == 0 || hoehe == 0) return;
  const bool zielBlock = Quarz::IstBlockFormat(ziel.mFormat);
  if (mFormat == ziel.mFormat && zielBlock) {
    // A partial block at the right edge holds pixels too (a level 6 wide has two blocks).
    const uint64_t bloecke = (breite + 3) / 4;
    const uint64_t blockZeilen = (hoehe + 3) / 4;
    for (uint64_t z = 0; z < blockZeilen; ++z)
      std::memcpy(ziel.mPixel + z * 4 * ziel.mPitch, mPixel + z * 4 * mPitch,
                  bloecke * BlockBytes(mFormat));
    return;
  }
  if (mFormat == ziel.mFormat) {
    const uint64_t zeile = Quarz::GetBitsProPixel(mFormat) * breite / 8;
    for (uint64_t y = 0; y < hoehe; ++y)
      std::memcpy(ziel.mPixel + y * ziel.mPitch, mPixel + y * mPitch, zeile);
    return;
  }
  if (zielBlock) {
    const uint64_t bytes = BlockBytes(ziel.mFormat);
    for (uint64_t by = 0; by < hoehe; by += 4)
      for (uint64_t bx = 0; bx < breite; bx += 4)
        KomprimiereBlock(*this, breite, hoehe, bx, by,
                         ziel.mPixel + (by / 4) * 4 * ziel.mPitch + (bx / 4) * bytes,
                         ziel.mFormat);
    return;
  }
  for (uint64_t y = 0; y < hoehe; ++y)
    for (uint64_t x = 0; x < breite; ++x) ziel.SchreibePixel(x, y, LiesPixel(x, y));
}

void TBereich::SchreibeInBereich(TBereich& ziel, uint64_t x, uint64_t y) const {
  if (x >= ziel.mBreite || y >= ziel.mHoehe) {
    // Going on would take a sub-region of negative size (a wrapped width) and copy past it.
    gLog.Schreibe(
        "!TBereich::SchreibeInBereich( ..., %d, %d): Kopierbereich liegt außerhalb des "
        "Quellbereiches",
        static_cast<int>(x), static_cast<int>(y));
    return;
  }
  TBereich teil = ziel.LockSubBereich(x, y, ziel.mBreite - x, ziel.mHoehe - y);
  KopiereIn(teil);
}

TAlphaFarbe TBereich::LiesPixel(uint64_t x, uint64_t y) const {
  const TAlphaFarbe schwarz(0.0f, 0.0f, 0.0f, 1.0f);
  if (x >= mBreite || y >= mHoehe || !mPixel) return schwarz;
  if (Quarz::IstBlockFormat(mFormat)) {
    const uint8_t* block = mPixel + mPitch * (y & ~uint64_t{3}) + (x / 4) * BlockBytes(mFormat);
    uint8_t rgba[16 * 4];
    squish::Decompress(rgba, block, SquishFlag(mFormat));
    const uint8_t* p = rgba + ((y % 4) * 4 + x % 4) * 4;
    return TAlphaFarbe(Von8Bit(p[0]), Von8Bit(p[1]), Von8Bit(p[2]), Von8Bit(p[3]));
  }
  const uint8_t* p = mPixel + y * mPitch + x * PixelBytes(mFormat);
  switch (mFormat) {
    case Quarz::PF_A8R8G8B8: {
      const uint32_t w = Lies<uint32_t>(p);
      return TAlphaFarbe(Von8Bit(w >> 16 & 0xFF), Von8Bit(w >> 8 & 0xFF), Von8Bit(w & 0xFF),
                         Von8Bit(w >> 24));
    }
    case Quarz::PF_R16F:
      return TAlphaFarbe(Quarz::HalbNachFloat(Lies<uint16_t>(p)), 0.0f, 0.0f, 1.0f);
    case Quarz::PF_G16R16F:
      return TAlphaFarbe(Quarz::HalbNachFloat(Lies<uint16_t>(p)),
                         Quarz::HalbNachFloat(Lies<uint16_t>(p + 2)), 0.0f, 1.0f);
    case Quarz::PF_A16B16G16R16F:
      return TAlphaFarbe(
          Quarz::HalbNachFloat(Lies<uint16_t>(p)), Quarz::HalbNachFloat(Lies<uint16_t>(p + 2)),
          Quarz::HalbNachFloat(Lies<uint16_t>(p + 4)), Quarz::HalbNachFloat(Lies<uint16_t>(p + 6)));
    case Quarz::PF_R32F: return TAlphaFarbe(Lies<float>(p), 0.0f, 0.0f, 1.0f);
    case Quarz::PF_G32R32F: return TAlphaFarbe(Lies<float>(p), Lies<float>(p + 4), 0.0f, 1.0f);
    case Quarz::PF_A32B32G32R32F:
      return TAlphaFarbe(Lies<float>(p), Lies<float>(p + 4), Lies<float>(p + 8),
                         Lies<float>(p + 12));
    case Quarz::PF_G16R16: {
      const uint32_t w = Lies<uint32_t>(p);
      return TAlphaFarbe(Von16Bit(w & 0xFFFF), Von16Bit(w >> 16), 0.0f, 1.0f);
    }
    case Quarz::PF_A16B16G16R16: {
      const uint64_t w = Lies<uint64_t>(p);
      return TAlphaFarbe(Von16Bit(w & 0xFFFF), Von16Bit(w >> 16 & 0xFFFF),
                         Von16Bit(w >> 32 & 0xFFFF), Von16Bit(w >> 48));
    }
    case Quarz::PF_A8: return TAlphaFarbe(Von8Bit(*p), 0.0f, 0.0f, 1.0f);
    case Quarz::PF_R5G6B5: {
      const uint16_t w = Lies<uint16_t>(p);
      return TAlphaFarbe(VonBits(w >> 11, 31), VonBits(w >> 5 & 63, 63), VonBits(w & 31, 31), 1.0f);
    }
    default: return schwarz;  // A2B10G10R10: no per-pixel reads
  }
}

void TBereich::SchreibePixel(uint64_t x, uint64_t y, const TAlphaFarbe& f) {
  if (x >= mBreite || y >= mHoehe || !mPixel || Quarz::IstBlockFormat(mFormat)) return;
  uint8_t* p = mPixel + y * mPitch + x * PixelBytes(mFormat);
  switch (mFormat) {
    case Quarz::PF_A8R8G8B8:
      Schreibe<uint32_t>(p, FarbeNachARGB(TAlphaFarbe(Klemme01(f.r), Klemme01(f.g),
                                                      Klemme01(f.b), Klemme01(f.a))));
      break;
    case Quarz::PF_R16F: Schreibe(p, Quarz::FloatNachHalb(f.r)); break;
    case Quarz::PF_G16R16F:
      Schreibe(p, Quarz::FloatNachHalb(f.r));
      Schreibe(p + 2, Quarz::FloatNachHalb(f.g));
      break;
    case Quarz::PF_A16B16G16R16F:
      Schreibe(p, Quarz::FloatNachHalb(f.r));
      Schreibe(p + 2, Quarz::FloatNachHalb(f.g));
      Schreibe(p + 4, Quarz::FloatNachHalb(f.b));
      Schreibe(p + 6, Quarz::FloatNachHalb(f.a));
      break;
    case Quarz::PF_R32F: Schreibe(p, f.r); break;
    case Quarz::PF_G32R32F:
      Schreibe(p, f.r);
      Schreibe(p + 4, f.g);
      break;
    case Quarz::PF_A32B32G32R32F:
      Schreibe(p, f.r);
      Schreibe(p + 4, f.g);
      Schreibe(p + 8, f.b);
      Schreibe(p + 12, f.a);
      break;
    case Quarz::PF_G16R16:
      Schreibe<uint32_t>(p, uint32_t{Auf16Bit(f.g)} << 16 | Auf16Bit(f.r));
      break;
    case Quarz::PF_A16B16G16R16:
      Schreibe<uint64_t>(p, uint64_t{Auf16Bit(f.a)} << 48 | uint64_t{Auf16Bit(f.b)} << 32 |
                                uint64_t{Auf16Bit(f.g)} << 16 | Auf16Bit(f.r));
      break;
    case Quarz::PF_A8: *p = Auf8Bit(f.r); break;
    case Quarz::PF_R5G6B5:
      Schreibe<uint16_t>(p, static_cast<uint16_t>(AufBits(f.r, 31) << 11 | AufBits(f.g, 63) << 5 | AufBits(f.b, 31)));
      break;
    default: break;  // A2B10G10R10: no per-pixel writes
  }
}
