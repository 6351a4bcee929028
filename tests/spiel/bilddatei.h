#pragma once
// Writes a frame read back from the screen to a file a person can open.
#include <cstdint>
#include <string>
#include <vector>

namespace Spiel::Test {

// Pixels 0xAARRGGBB in rows, row 0 on top; the file name gets its extension here.
void SchreibeBild(const std::string& pfadOhneEndung, const std::vector<uint32_t>& pixel, int breite, int hoehe);

}  // namespace Spiel::Test
