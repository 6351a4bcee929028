// Pixel regions: per-pixel reads and writes in every format, copies with and without format
// changes, DXT blocks, and copies into a position of a larger region.
#include <gtest/gtest.h>
#include <squish.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "quarzklassen/grafik/bild/quarz_bild.h"
#include "tests/grafik/gemeinsam/grafik_testhilfe.h"

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();

struct TPixelFall {
  Quarz_Pixelformat format;
  TAlphaFarbe geschrieben;
  TAlphaFarbe gelesen;
};

TEST(TBereich, PixelSchreibenUndLesen) {
  const TPixelFall faelle[] = {
      {Quarz::PF_A8R8G8B8, {1, 0, 0.5f, 0.2f}, {1, 0, 128 / 255.0f, 51 / 255.0f}},
      // Channels outside [0, 1] and NaN are clamped before they are scaled.
      {Quarz::PF_A8R8G8B8, {2, -1, kNaN, 7}, {1, 0, 0, 1}},
      {Quarz::PF_A8, {0.5f, 1, 1, 0}, {127 / 255.0f, 0, 0, 1}},
      {Quarz::PF_A8, {1.5f, 0, 0, 0}, {1, 0, 0, 1}},
      {Quarz::PF_A8, {-0.5f, 0, 0, 0}, {0, 0, 0, 1}},
      {Quarz::PF_A8, {kNaN, 0, 0, 0}, {0, 0, 0, 1}},
      {Quarz::PF_G16R16, {0.25f, 1, 1, 0}, {16383 / 65535.0f, 1, 0, 1}},
      {Quarz::PF_G16R16, {kNaN, 3, 0, 0}, {0, 1, 0, 1}},
      {Quarz::PF_A16B16G16R16, {0, 1, 0.5f, -4}, {0, 1, 32767 / 65535.0f, 0}},
      {Quarz::PF_A16B16G16R16, {1e9f, kNaN, 1, 1}, {1, 0, 1, 1}},
      {Quarz::PF_R16F, {1.5f, 7, 7, 7}, {1.5f, 0, 0, 1}},
      {Quarz::PF_G16R16F, {-2, 0.25f, 7, 7}, {-2, 0.25f, 0, 1}},
      {Quarz::PF_A16B16G16R16F, {1, 2, 3, 4}, {1, 2, 3, 4}},
      {Quarz::PF_R32F, {1e20f, 7, 7, 7}, {1e20f, 0, 0, 1}},
      {Quarz::PF_G32R32F, {-3, 0.1f, 7, 7}, {-3, 0.1f, 0, 1}},
      {Quarz::PF_A32B32G32R32F, {0.1f, 0.2f, 0.3f, -0.4f}, {0.1f, 0.2f, 0.3f, -0.4f}},
      // No per-pixel access: reads give opaque black, writes change nothing.
      {Quarz::PF_R5G6B5, {1, 1, 1, 1}, {0, 0, 0, 1}},
      {Quarz::PF_A2B10G10R10, {1, 1, 1, 1}, {0, 0, 0, 1}},
  };
  for (const auto& f : faelle) {
    SCOPED_TRACE(testing::Message() << "format " << f.format << " " << f.geschrieben);
    Quarz_Bild bild(3, 2, f.format, 1);
    std::memset(bild.mPixel, 0, bild.mPitch * 2);
    bild.SchreibePixel(2, 1, f.geschrieben);
    const TAlphaFarbe c = bild.LiesPixel(2, 1);
    EXPECT_EQ(c.r, f.gelesen.r);
    EXPECT_EQ(c.g, f.gelesen.g);
    EXPECT_EQ(c.b, f.gelesen.b);
    EXPECT_EQ(c.a, f.gelesen.a);
    // The neighbours stay untouched.
    for (uint64_t i = 0; i < bild.mPitch * 2 - bild.mPitch / 3; ++i) EXPECT_EQ(bild.mPixel[i], 0);
  }
}

// Reading a value and writing it back gives the same bytes for every value: the scale must be a
// division, not a product with a rounded reciprocal.
TEST(TBereich, KanalwerteUeberlebenDenWegUeberFloat) {
  const struct {
    Quarz_Pixelformat format;
    uint32_t groesster;
  } faelle[] = {{Quarz::PF_A8, 255}, {Quarz::PF_G16R16, 65535}, {Quarz::PF_A16B16G16R16, 65535}};
  for (const auto& f : faelle) {
    Quarz_Bild bild(1, 1, f.format, 1);
    int falsch = 0;
    for (uint32_t k = 0; k <= f.groesster; ++k) {
      std::memset(bild.mPixel, 0, bild.mPitch);
      std::memcpy(bild.mPixel, &k, f.format == Quarz::PF_A8 ? 1 : 2);
      bild.SchreibePixel(0, 0, bild.LiesPixel(0, 0));
      uint32_t zurueck = 0;
      std::memcpy(&zurueck, bild.mPixel, f.format == Quarz::PF_A8 ? 1 : 2);
      falsch += zurueck != k;
    }
    EXPECT_EQ(falsch, 0) << "format " << f.format;
  }
  Quarz_Bild argb(1, 1, Quarz::PF_A8R8G8B8, 1);
  for (uint32_t k = 0; k < 256; ++k) {
    const uint32_t wert = k << 24 | (255 - k) << 16 | k << 8 | (k ^ 0x5A);
    std::memcpy(argb.mPixel, &wert, 4);
    argb.SchreibePixel(0, 0, argb.LiesPixel(0, 0));
    uint32_t zurueck;
    std::memcpy(&zurueck, argb.mPixel, 4);
    ASSERT_EQ(zurueck, wert);
  }
}

TEST(TBereich, HalbeFloats) {
  const struct {
    float wert;
    uint16_t halb;
    float zurueck;
  } faelle[] = {
      {1.0f, 0x3C00, 1.0f},         {-2.0f, 0xC000, -2.0f},
      {0.5f, 0x3800, 0.5f},         {65504.0f, 0x7BFF, 65504.0f},
      {1e6f, 0x7BFF, 65504.0f},     {-1e30f, 0xFBFF, -65504.0f},
      {1e-8f, 0x0000, 0.0f},        {-0.0f, 0x8000, -0.0f},
      {6.103515625e-05f, 0x0400, 6.103515625e-05f},  // smallest normal half
      {1.0009765625f, 0x3C01, 1.0009765625f},         // one mantissa step
      {1.00097f, 0x3C00, 1.0f},     // below one step: truncated
      {kNaN, 0x0000, 0.0f},
  };
  for (const auto& f : faelle) {
    EXPECT_EQ(Quarz::FloatNachHalb(f.wert), f.halb) << f.wert;
    const float z = Quarz::HalbNachFloat(f.halb);
    EXPECT_EQ(z, f.zurueck) << f.wert;
    EXPECT_EQ(std::signbit(z), std::signbit(f.zurueck)) << f.wert;
  }
  // Denormal halves read as zero of their sign; exponent 31 reads as an ordinary number.
  EXPECT_EQ(Quarz::HalbNachFloat(0x0001), 0.0f);
  EXPECT_TRUE(std::signbit(Quarz::HalbNachFloat(0x83FF)));
  EXPECT_EQ(Quarz::HalbNachFloat(0x7C00), 65536.0f);
}

TEST(TBereich, AusserhalbLesenUndSchreiben) {
  Quarz_Bild bild(4, 4, Quarz::PF_A8R8G8B8, 1);
  std::memset(bild.mPixel, 0x11, 64);
  // A 2 x 2 view inside: reads beyond it are black, writes beyond it change nothing, even where
  // the memory behind the view belongs to the image.
  TBereich teil = bild.LockSubBereich(1, 1, 2, 2);
  const TAlphaFarbe schwarz(0, 0, 0, 1);
  EXPECT_EQ(teil.LiesPixel(2, 0), schwarz);
  EXPECT_EQ(teil.LiesPixel(0, 2), schwarz);
  teil.SchreibePixel(2, 0, TAlphaFarbe(1, 1, 1, 1));
  teil.SchreibePixel(0, 2, TAlphaFarbe(1, 1, 1, 1));
  for (int i = 0; i < 64; ++i) ASSERT_EQ(bild.mPixel[i], 0x11) << i;
  teil.SchreibePixel(1, 1, TAlphaFarbe(1, 1, 1, 1));
  uint32_t p;
  std::memcpy(&p, bild.mPixel + 2 * 16 + 2 * 4, 4);
  EXPECT_EQ(p, 0xFFFFFFFFu);
}

// An image filled with a pattern the test can recompute.
uint32_t Muster(uint64_t x, uint64_t y) {
  return 0xFF000000u | static_cast<uint32_t>((x * 37 + y * 11) & 0xFF) << 16 |
         static_cast<uint32_t>((x * 5 ^ y * 29) & 0xFF) << 8 | static_cast<uint32_t>(x + y);
}
void FuelleMuster(Quarz_Bild& bild) {
  for (uint64_t y = 0; y < bild.mHoehe; ++y)
    for (uint64_t x = 0; x < bild.mBreite; ++x) {
      const uint32_t w = Muster(x, y);
      std::memcpy(bild.mPixel + y * bild.mPitch + x * 4, &w, 4);
    }
}
uint32_t ArgbBei(const TBereich& b, uint64_t x, uint64_t y) {
  uint32_t w;
  std::memcpy(&w, b.mPixel + y * b.mPitch + x * 4, 4);
  return w;
}

TEST(TBereich, KopieGleichesFormatUndSchreibeInBereich) {
  Quarz_Bild quelle(7, 5, Quarz::PF_A8R8G8B8, 1);
  FuelleMuster(quelle);
  const struct {
    uint64_t x, y;
    uint64_t breite, hoehe;  // the part that lands in the 10 x 6 target
  } faelle[] = {{0, 0, 7, 5}, {3, 1, 7, 5}, {6, 4, 4, 2}, {9, 5, 1, 1}};
  for (const auto& f : faelle) {
    Quarz_Bild ziel(10, 6, Quarz::PF_A8R8G8B8, 1);
    std::memset(ziel.mPixel, 0, 10 * 6 * 4);
    quelle.SchreibeInBereich(ziel, f.x, f.y);
    for (uint64_t y = 0; y < 6; ++y)
      for (uint64_t x = 0; x < 10; ++x) {
        const bool drin = x >= f.x && y >= f.y && x < f.x + f.breite && y < f.y + f.hoehe;
        EXPECT_EQ(ArgbBei(ziel, x, y), drin ? Muster(x - f.x, y - f.y) : 0u)
            << f.x << "," << f.y << " at " << x << "," << y;
      }
  }
}

TEST(TBereich, SchreibeInBereichAusserhalbKopiertNichts) {
  TLogFaenger log;
  Quarz_Bild quelle(4, 4, Quarz::PF_A8R8G8B8, 1);
  FuelleMuster(quelle);
  const uint64_t orte[][2] = {{8, 0}, {0, 8}, {9, 100}};
  for (const auto& o : orte) {
    Quarz_Bild ziel(8, 8, Quarz::PF_A8R8G8B8, 1);
    std::memset(ziel.mPixel, 0, 8 * 8 * 4);
    quelle.SchreibeInBereich(ziel, o[0], o[1]);
    for (int i = 0; i < 8 * 8 * 4; ++i) ASSERT_EQ(ziel.mPixel[i], 0);
  }
  EXPECT_EQ(log.Zaehle("Kopierbereich liegt außerhalb des Quellbereiches"), 3);
}

TEST(TBereich, FormatwechselUeberFloat) {
  Quarz_Bild quelle(5, 3, Quarz::PF_A8R8G8B8, 1);
  FuelleMuster(quelle);
  const Quarz_Pixelformat formate[] = {Quarz::PF_A32B32G32R32F, Quarz::PF_A16B16G16R16};
  for (Quarz_Pixelformat format : formate) {
    Quarz_Bild mitte(5, 3, format, 1);
    Quarz_Bild zurueck(5, 3, Quarz::PF_A8R8G8B8, 1);
    quelle.KopiereIn(mitte);
    mitte.KopiereIn(zurueck);
    for (uint64_t y = 0; y < 3; ++y)
      for (uint64_t x = 0; x < 5; ++x)
        EXPECT_EQ(ArgbBei(zurueck, x, y), Muster(x, y)) << "format " << format;
  }
  // A8 keeps red alone.
  Quarz_Bild alpha(5, 3, Quarz::PF_A8, 1);
  quelle.KopiereIn(alpha);
  for (uint64_t y = 0; y < 3; ++y)
    for (uint64_t x = 0; x < 5; ++x) EXPECT_EQ(alpha.mPixel[y * 5 + x], Muster(x, y) >> 16 & 0xFF);
}

// The 16 pixels libsquish gives for one block.
std::vector<uint8_t> Entpackt(const uint8_t* block, int flag) {
  std::vector<uint8_t> rgba(64);
  squish::Decompress(rgba.data(), block, flag);
  return rgba;
}

TEST(TBereich, KleinerBereichFuelltDenDxtBlock) {
  const struct {
    Quarz_Pixelformat format;
    int flag;
  } faelle[] = {{Quarz::PF_DXT1, squish::kDxt1}, {Quarz::PF_DXT3, squish::kDxt3},
                {Quarz::PF_DXT5, squish::kDxt5}};
  // Four greys on one line through colour space (what one DXT block can hold) at 2 x 2: each
  // quarter of the block repeats them.
  const uint32_t farben[4] = {0xFF000000u, 0xFFFFFFFFu, 0xFF555555u, 0xFFAAAAAAu};
  Quarz_Bild quelle(2, 2, Quarz::PF_A8R8G8B8, 1);
  std::memcpy(quelle.mPixel, farben, 16);
  for (const auto& f : faelle) {
    Quarz_Bild ziel(4, 4, f.format, 1);
    quelle.KopiereIn(ziel);
    uint8_t wiederholt[64];
    for (int i = 0; i < 16; ++i) {
      const uint32_t c = farben[(i / 4 % 2) * 2 + i % 2];
      const uint8_t rgba[4] = {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), uint8_t(c >> 24)};
      std::memcpy(wiederholt + 4 * i, rgba, 4);
    }
    uint8_t soll[16];
    squish::CompressMasked(wiederholt, 0xFFFF, soll, f.flag);
    EXPECT_EQ(0, std::memcmp(ziel.mPixel, soll, f.format == Quarz::PF_DXT1 ? 8 : 16)) << f.format;
    const std::vector<uint8_t> rgba = Entpackt(ziel.mPixel, f.flag);
    for (int r = 0; r < 4; ++r)
      for (int c = 0; c < 4; ++c) {
        const uint32_t farbe = farben[(r % 2) * 2 + c % 2];
        const uint8_t* p = &rgba[(r * 4 + c) * 4];
        EXPECT_NEAR(p[0], farbe & 0xFF, 3) << f.format << " " << c << "," << r;
        EXPECT_EQ(p[3], 255);
        // The engine reads the same pixel back through the region.
        const TAlphaFarbe c8 = ziel.LiesPixel(c, r);
        EXPECT_EQ(c8.r, p[0] / 255.0f);
        EXPECT_EQ(c8.a, 1.0f);
      }
  }
}

TEST(TBereich, DxtKopieBehaeltDenRechtenTeilblock) {
  // 6 pixels wide: a whole block and a partial one per block row; both must arrive.
  Quarz_Bild quelle(6, 6, Quarz::PF_DXT5, 1);
  for (uint64_t i = 0; i < 2 * 4 * quelle.mPitch; ++i) quelle.mPixel[i] = static_cast<uint8_t>(i * 7 + 1);
  Quarz_Bild ziel(8, 8, Quarz::PF_DXT5, 1);
  std::memset(ziel.mPixel, 0, 2 * 4 * ziel.mPitch);
  quelle.KopiereIn(ziel);
  EXPECT_EQ(0, std::memcmp(ziel.mPixel, quelle.mPixel, 32));
  EXPECT_EQ(0, std::memcmp(ziel.mPixel + 4 * ziel.mPitch, quelle.mPixel + 4 * quelle.mPitch, 32));
  // A block-aligned sub-region addresses whole blocks.
  const TBereich teil = ziel.LockSubBereich(4, 4, 4, 4);
  EXPECT_EQ(teil.mPixel, ziel.mPixel + 4 * ziel.mPitch + 16);
}

TEST(TBereich, DxtTeilbereichMussAusgerichtetSein) {
  TLogFaenger log;
  Quarz_Bild bild(8, 8, Quarz::PF_DXT1, 1);
  bild.LockSubBereich(2, 4, 4, 4);
  bild.LockSubBereich(4, 4, 4, 4);
  EXPECT_EQ(log.Zaehle("!TBereich::LockSubBereich( 2, 4, 4, 4)"), 1);
  EXPECT_EQ(log.mZeilen.size(), 1u);
}

}  // namespace
