// Pixel regions: per-pixel reads and writes in every format, copies with and without format
// changes, DXT blocks, and copies into a position of a larger region.
#include <gtest/gtest.h>
#include <squish.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

#include "quarzklassen/grafik/bild/quarz_bild.h"
#include "tests/grafik/bild/bild_testhilfe.h"
#include "tests/grafik/gemeinsam/grafik_testhilfe.h"

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();

TEST(TBereich, PixelSchreibenUndLesen) {
  const struct {
    Quarz_Pixelformat format;
    TAlphaFarbe geschrieben, gelesen;
  } faelle[] = {
      {Quarz::PF_A8R8G8B8, {1, 0, 0.5f, 0.2f}, {1, 0, 128 / 255.0f, 51 / 255.0f}},
      // Channels outside [0, 1] and NaN are clamped before they are scaled.
      {Quarz::PF_A8R8G8B8, {2, -1, kNaN, 7}, {1, 0, 0, 1}},
      {Quarz::PF_A8, {0.5f, 1, 1, 0}, {127 / 255.0f, 0, 0, 1}},
      {Quarz::PF_A8, {1.5f, 0, 0, 0}, {1, 0, 0, 1}},
      {Quarz::PF_A8, {kNaN, 0, 0, 0}, {0, 0, 0, 1}},
      {Quarz::PF_G16R16, {0.25f, 1, 1, 0}, {16383 / 65535.0f, 1, 0, 1}},
      {Quarz::PF_G16R16, {kNaN, 3, 0, 0}, {0, 1, 0, 1}},
      {Quarz::PF_A16B16G16R16, {1e9f, kNaN, 0.5f, -4}, {1, 0, 32767 / 65535.0f, 0}},
      {Quarz::PF_R16F, {1.5f, 7, 7, 7}, {1.5f, 0, 0, 1}},
      {Quarz::PF_G16R16F, {-2, 0.25f, 7, 7}, {-2, 0.25f, 0, 1}},
      {Quarz::PF_A16B16G16R16F, {1, 2, 3, 4}, {1, 2, 3, 4}},
      {Quarz::PF_R32F, {1e20f, 7, 7, 7}, {1e20f, 0, 0, 1}},
      {Quarz::PF_G32R32F, {-3, 0.1f, 7, 7}, {-3, 0.1f, 0, 1}},
      {Quarz::PF_A32B32G32R32F, {0.1f, 0.2f, 0.3f, -0.4f}, {0.1f, 0.2f, 0.3f, -0.4f}},
      // 5, 6 and 5 bits, each rounded to the nearest step; no alpha.
      {Quarz::PF_R5G6B5, {1, 0.5f, 0.2f, 0.3f}, {1, 32 / 63.0f, 6 / 31.0f, 1}},
      {Quarz::PF_R5G6B5, {kNaN, 2, 0.99f, 0}, {0, 1, 1, 1}},
      // No per-pixel access: reads give opaque black, writes change nothing.
      {Quarz::PF_A2B10G10R10, {1, 1, 1, 1}, {0, 0, 0, 1}},
  };
  for (const auto& f : faelle) {
    SCOPED_TRACE(testing::Message() << "format " << f.format << " " << f.geschrieben);
    Quarz_Bild bild(3, 2, f.format, 1);
    std::memset(bild.mPixel, 0, bild.mPitch * 2);
    bild.SchreibePixel(2, 1, f.geschrieben);
    EXPECT_EQ(bild.LiesPixel(2, 1), f.gelesen);
    // The rest stays untouched; outside the region nothing is read or written.
    for (uint64_t i = 0; i < bild.mPitch * 5 / 3; ++i) EXPECT_EQ(bild.mPixel[i], 0);
    EXPECT_EQ(bild.LiesPixel(3, 0), TAlphaFarbe(0, 0, 0, 1));
  }
  // A view inside an image: writing just right of or below it leaves the image alone.
  Quarz_Bild bild(4, 4, Quarz::PF_A8R8G8B8, 1);
  std::memset(bild.mPixel, 0x11, 64);
  TBereich teil = bild.LockSubBereich(1, 1, 2, 2);
  teil.SchreibePixel(2, 0, TAlphaFarbe(1, 1, 1, 1));
  teil.SchreibePixel(0, 2, TAlphaFarbe(1, 1, 1, 1));
  for (int i = 0; i < 64; ++i) ASSERT_EQ(bild.mPixel[i], 0x11) << i;
}

// Reading a value and writing it back gives the same bytes for every value: the scale must be a
// division, not a product with a rounded reciprocal.
TEST(TBereich, KanalwerteUeberlebenDenWegUeberFloat) {
  for (auto [format, groesster] : {std::pair{Quarz::PF_A8, 255u}, {Quarz::PF_G16R16, 65535u},
                                   {Quarz::PF_A16B16G16R16, 65535u}, {Quarz::PF_R5G6B5, 65535u}}) {
    Quarz_Bild bild(1, 1, format, 1);
    int falsch = 0;
    for (uint32_t k = 0; k <= groesster; ++k) {
      std::memset(bild.mPixel, 0, bild.mPitch);
      std::memcpy(bild.mPixel, &k, format == Quarz::PF_A8 ? 1 : 2);
      bild.SchreibePixel(0, 0, bild.LiesPixel(0, 0));
      falsch += std::memcmp(bild.mPixel, &k, format == Quarz::PF_A8 ? 1 : 2) != 0;
    }
    EXPECT_EQ(falsch, 0) << "format " << format;
  }
}

TEST(TBereich, HalbeFloats) {
  const struct {
    float wert;
    uint16_t halb;
    float zurueck;
  } faelle[] = {
      {1.0f, 0x3C00, 1.0f},     {-2.0f, 0xC000, -2.0f},    {65504.0f, 0x7BFF, 65504.0f},
      {1e6f, 0x7BFF, 65504.0f}, {-1e30f, 0xFBFF, -65504.0f}, {1e-8f, 0x0000, 0.0f},
      {-0.0f, 0x8000, -0.0f},   {6.103515625e-05f, 0x0400, 6.103515625e-05f},
      {1.00097f, 0x3C00, 1.0f},  // below one mantissa step: truncated
      {kNaN, 0x0000, 0.0f},
  };
  for (const auto& f : faelle) {
    EXPECT_EQ(Quarz::FloatNachHalb(f.wert), f.halb) << f.wert;
    const float z = Quarz::HalbNachFloat(f.halb);
    EXPECT_EQ(z, f.zurueck) << f.wert;
    EXPECT_EQ(std::signbit(z), std::signbit(f.zurueck)) << f.wert;
  }
  // Denormal halves read as zero; exponent 31 reads as an ordinary number.
  EXPECT_EQ(Quarz::HalbNachFloat(0x0001), 0.0f);
  EXPECT_EQ(Quarz::HalbNachFloat(0x7C00), 65536.0f);
}

uint32_t ArgbBei(const TBereich& b, uint64_t x, uint64_t y) {
  uint32_t w;
  std::memcpy(&w, b.mPixel + y * b.mPitch + x * 4, 4);
  return w;
}

Quarz_Bild* MusterBild(uint64_t w, uint64_t h) {
  auto* bild = new Quarz_Bild(w, h, Quarz::PF_A8R8G8B8, 1);
  const std::vector<uint8_t> muster = BildTest::Muster(w, h, 4, 1);
  std::memcpy(bild->mPixel, muster.data(), muster.size());
  return bild;
}

TEST(TBereich, SchreibeInBereichSchneidetAmRand) {
  std::unique_ptr<Quarz_Bild> quelle(MusterBild(7, 5));
  const struct {
    uint64_t x, y, breite, hoehe;  // the part that lands in the 10 x 6 target
  } faelle[] = {{0, 0, 7, 5}, {3, 1, 7, 5}, {6, 4, 4, 2}, {9, 5, 1, 1},
                {10, 0, 0, 0}, {0, 6, 0, 0}, {99, 99, 0, 0}};  // outside: reported, no copy
  for (const auto& f : faelle) {
    TLogFaenger log;
    Quarz_Bild ziel(10, 6, Quarz::PF_A8R8G8B8, 1);
    std::memset(ziel.mPixel, 0, 10 * 6 * 4);
    quelle->SchreibeInBereich(ziel, f.x, f.y);
    EXPECT_EQ(log.Zaehle("Kopierbereich liegt außerhalb des Quellbereiches"), f.breite == 0);
    for (uint64_t y = 0; y < 6; ++y)
      for (uint64_t x = 0; x < 10; ++x) {
        const bool drin = x >= f.x && y >= f.y && x < f.x + f.breite && y < f.y + f.hoehe;
        EXPECT_EQ(ArgbBei(ziel, x, y), drin ? ArgbBei(*quelle, x - f.x, y - f.y) : 0u)
            << f.x << "," << f.y << " at " << x << "," << y;
      }
  }
}

TEST(TBereich, FormatwechselUeberFloat) {
  std::unique_ptr<Quarz_Bild> quelle(MusterBild(5, 3));
  for (Quarz_Pixelformat format : {Quarz::PF_A32B32G32R32F, Quarz::PF_A16B16G16R16}) {
    Quarz_Bild mitte(5, 3, format, 1), zurueck(5, 3, Quarz::PF_A8R8G8B8, 1);
    quelle->KopiereIn(mitte);
    mitte.KopiereIn(zurueck);
    EXPECT_EQ(0, std::memcmp(zurueck.mPixel, quelle->mPixel, 5 * 3 * 4)) << format;
  }
  Quarz_Bild alpha(5, 3, Quarz::PF_A8, 1);  // A8 keeps red alone
  quelle->KopiereIn(alpha);
  for (uint64_t i = 0; i < 15; ++i) EXPECT_EQ(alpha.mPixel[i], quelle->mPixel[i * 4 + 2]);
}

TEST(TBereich, KleinerBereichFuelltDenDxtBlock) {
  // Four greys on one line through colour space (what one block can hold) at 2 x 2: each
  // quarter of the block repeats them.
  const uint32_t farben[4] = {0xFF000000u, 0xFFFFFFFFu, 0xFF555555u, 0xFFAAAAAAu};
  Quarz_Bild quelle(2, 2, Quarz::PF_A8R8G8B8, 1);
  std::memcpy(quelle.mPixel, farben, 16);
  uint8_t wiederholt[64];
  for (int i = 0; i < 16; ++i) std::memset(wiederholt + 4 * i, farben[(i / 4 % 2) * 2 + i % 2] & 0xFF, 4);
  for (auto [format, flag] : {std::pair{Quarz::PF_DXT1, int{squish::kDxt1}},
                              {Quarz::PF_DXT3, int{squish::kDxt3}}, {Quarz::PF_DXT5, int{squish::kDxt5}}}) {
    Quarz_Bild ziel(4, 4, format, 1);
    quelle.KopiereIn(ziel);
    uint8_t soll[16];
    for (int i = 0; i < 16; ++i) wiederholt[4 * i + 3] = 255;
    squish::CompressMasked(wiederholt, 0xFFFF, soll, flag);
    EXPECT_EQ(0, std::memcmp(ziel.mPixel, soll, format == Quarz::PF_DXT1 ? 8 : 16)) << format;
    for (int i = 0; i < 16; ++i)  // read back through the region, within DXT's precision
      EXPECT_NEAR(ziel.LiesPixel(i % 4, i / 4).g * 255, wiederholt[4 * i], 3) << format << " " << i;
  }
}

// Float channels beyond [0, 1] and NaN are clamped before they become a block's bytes.
TEST(TBereich, DxtBlockAusFloatWirdGeklemmt) {
  Quarz_Bild quelle(4, 4, Quarz::PF_A32B32G32R32F, 1), ziel(4, 4, Quarz::PF_DXT5, 1);
  for (uint64_t i = 0; i < 16; ++i) quelle.SchreibePixel(i % 4, i / 4, TAlphaFarbe(i % 2 ? 7.0f : kNaN, -3, 1e30f, 2));
  quelle.KopiereIn(ziel);
  uint8_t rgba[64], soll[16];
  for (int i = 0; i < 16; ++i) {
    const uint8_t p[4] = {uint8_t(i % 2 ? 255 : 0), 0, 255, 255};
    std::memcpy(rgba + 4 * i, p, 4);
  }
  squish::CompressMasked(rgba, 0xFFFF, soll, squish::kDxt5);
  EXPECT_EQ(0, std::memcmp(ziel.mPixel, soll, 16));
}

TEST(TBereich, DxtKopieBehaeltDenRechtenTeilblock) {
  // 6 pixels wide: a whole block and a partial one per block row; both must arrive.
  Quarz_Bild quelle(6, 6, Quarz::PF_DXT5, 1), ziel(8, 8, Quarz::PF_DXT5, 1);
  for (uint64_t i = 0; i < 64; ++i) quelle.mPixel[i] = static_cast<uint8_t>(i * 7 + 1);
  std::memset(ziel.mPixel, 0, 64);
  quelle.KopiereIn(ziel);
  EXPECT_EQ(0, std::memcmp(ziel.mPixel, quelle.mPixel, 32));
  EXPECT_EQ(0, std::memcmp(ziel.mPixel + 32, quelle.mPixel + 32, 32));
  EXPECT_EQ(ziel.LockSubBereich(4, 4, 4, 4).mPixel, ziel.mPixel + 48);  // block (1, 1)
}

}  // namespace
