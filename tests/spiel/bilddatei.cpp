#include "tests/spiel/bilddatei.h"

#include <gtest/gtest.h>

#include <cstring>

#include "quarzklassen/grafik/bild/quarz_bild.h"
#include "quarzklassen/kern/textkodierung.h"

namespace Spiel::Test {

void SchreibeBild(const std::string& pfadOhneEndung, const std::vector<uint32_t>& pixel, int breite, int hoehe)
{
    Quarz_Bild bild(static_cast<uint64_t>(breite), static_cast<uint64_t>(hoehe), Quarz::PF_A8R8G8B8, 1);
    for (int y = 0; y < hoehe; ++y)
        std::memcpy(bild.mPixel + static_cast<uint64_t>(y) * bild.mPitch, pixel.data() + y * breite,
                    static_cast<size_t>(breite) * 4);
    EXPECT_TRUE(bild.SpeicherePNG(WandleUtf8NachUtf32(pfadOhneEndung + ".png")));
}

}  // namespace Spiel::Test
