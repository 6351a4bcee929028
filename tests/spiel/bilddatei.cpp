#include "tests/spiel/bilddatei.h"

#include <fstream>

namespace Spiel::Test {

void SchreibeBild(const std::string& pfadOhneEndung, const std::vector<uint32_t>& pixel, int breite, int hoehe)
{
    std::ofstream datei(pfadOhneEndung + ".ppm", std::ios::binary);
    datei << "P6\n" << breite << " " << hoehe << "\n255\n";
    for (uint32_t p : pixel)
    {
        const char rgb[3] = {static_cast<char>(p >> 16), static_cast<char>(p >> 8), static_cast<char>(p)};
        datei.write(rgb, 3);
    }
}

}  // namespace Spiel::Test
