// The images the build puts into the data folder.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "quarzklassen/grafik/bild/quarz_bild.h"
#include "quarzklassen/kern/textkodierung.h"
#include "tests/grafik/bild/bild_testhilfe.h"

namespace {

const std::string kDaten = std::string(WEILERBAU_BAU) + "/Daten/";

// The sprite sheet: the GUI tints graphic 0 (16, 0, 16 x 16) by multiplying, and graphic 1
// (0, 0, 15 x 15) feeds the atlas mips: both must be opaque white, and the sheet large enough.
TEST(Daten, GrafikPngIstWeiss) {
  const std::string pfad = kDaten + "grafik.png";
  Quarz_Bild bild;
  ASSERT_TRUE(bild.LadeBildAusDatei(WandleUtf8NachUtf32(pfad)));
  EXPECT_GE(bild.mBreite, 32u);
  EXPECT_GE(bild.mHoehe, 16u);
  int andere = 0;
  for (uint64_t y = 0; y < bild.mHoehe; ++y)
    for (uint64_t x = 0; x < bild.mBreite; ++x) {
      uint32_t p;
      std::memcpy(&p, bild.mPixel + y * bild.mPitch + x * 4, 4);
      andere += p != 0xFFFFFFFFu;
    }
  EXPECT_EQ(andere, 0);
  const std::vector<uint8_t> rgba = BildTest::MagickRgba(pfad);
  EXPECT_EQ(rgba, std::vector<uint8_t>(bild.mBreite * bild.mHoehe * 4, 0xFF));
}

}  // namespace
