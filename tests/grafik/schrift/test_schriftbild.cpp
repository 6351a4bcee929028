// A line of text from "calibrib.ttf" on a real window: every pixel as a CPU rendering of the
// glyphs from the atlas gives it (premultiplied white over black).
#include <gtest/gtest.h>

#include <cmath>

#include "quarzklassen/grafik/schrift/quarz_utf8.h"
#include "quarzklassen/grafik/sprite/quarz_blockgfx3d.h"

#include "tests/grafik/gemeinsam/grafik_testhilfe.h"
#include "tests/grafik/schrift/schrift_testhilfe.h"
#include "tests/grafik/sprite/sprite_zeichnen.h"

namespace {

class SchriftBildTest : public BildschirmTest {
protected:
  void TearDown() override {
    delete mSchrift;
    if (mKontext) mKontext->Freigeben(mSampler);
    BildschirmTest::TearDown();
  }
  Quarz_Font3D* mSchrift = nullptr;
  Quarz_Sampler* mSampler = nullptr;
};

}  // namespace

TEST_F(SchriftBildTest, TextzeileTexelGenau) {
  mSchrift = Quarz_Font3D::ErzeugeAusTrueType(BauDaten("calibrib.ttf"));
  ASSERT_NE(mSchrift, nullptr);
  Quarz_Font3D& s = *mSchrift;
  s.mAbstand = 0;  // whole-pixel pens: every glyph lands texel for texel
  s.mSofortZeichnen = 0;
  const char* text = "Bäu!";
  const float x0 = 2, y0 = 10;
  mKontext->Leeren(3, 0, 0, 0, 1);
  s.Zeichne(x0, y0, text);
  ZeichneTrilinear(mKontext, *s.mBatch, mSampler);

  // The CPU rendering: coverage c of each glyph "over" what lies below, in glyph order.
  std::vector<float> soll(kBreite * kHoehe, 0.0f);
  float stift = x0;
  const TSpriteAtlas& atlas = s.mBatch->mAtlas;
  for (const char* p = text; uint32_t c = Quarz::LiesCodepunkt(p);) {
    const TGlyphe* g = s.Glyphe(c);
    ASSERT_TRUE(g) << c;
    const TGrafikSlot& slot = atlas.mGrafiken[c];
    const int gx = static_cast<int>(stift) + g->mVersatzX, gy = static_cast<int>(y0) - 4 + g->mVersatzY;
    for (uint64_t y = 0; y < slot.mHoehe; ++y)
      for (uint64_t x = 0; x < slot.mBreite; ++x) {
        const int px = gx + static_cast<int>(x), py = gy + static_cast<int>(y);
        if (px < 0 || py < 0 || px >= kBreite || py >= kHoehe) continue;
        const float a = static_cast<float>(atlas.mPixel[(slot.mY + y) * atlas.mBreite + slot.mX + x] >> 24) / 255.0f;
        float& d = soll[py * kBreite + px];
        d = a + d * (1 - a);
      }
    stift += static_cast<float>(g->mVorschub);
  }
  const std::vector<uint32_t> bild = Bild();
  int falsch = 0, bedeckt = 0;
  for (int i = 0; i < kBreite * kHoehe; ++i) {
    const uint32_t grau = static_cast<uint32_t>(std::lround(soll[i] * 255.0f));
    const uint32_t erwartet = 0xFF000000u | grau << 16 | grau << 8 | grau;
    bedeckt += grau > 0;
    if (!FarbeNahe(bild[i] | 0xFF000000u, erwartet) && ++falsch <= 5)
      ADD_FAILURE() << "Pixel (" << i % kBreite << ", " << i / kBreite << "): " << std::hex
                    << bild[i] << " statt " << erwartet;
  }
  EXPECT_EQ(falsch, 0);
  EXPECT_GT(bedeckt, 100);
}
