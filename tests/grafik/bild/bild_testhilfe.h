#pragma once
// Shared pieces of the image tests: files, ImageMagick as the independent reference, and
// patterns the tests can recompute.
#include <cstdint>
#include <string>
#include <vector>

namespace BildTest {

std::vector<uint8_t> LiesDatei(const std::string& pfad);
void SchreibeDatei(const std::string& pfad, const std::vector<uint8_t>& daten);

// Runs ImageMagick's convert with the arguments; true on exit code 0.
bool Magick(const std::string& argumente);
// The file's pixels as ImageMagick decodes them: 8-bit RGBA, rows from the top.
std::vector<uint8_t> MagickRgba(const std::string& pfad);

// A reproducible pattern of w x h pixels with `kanaele` bytes each (3 or 4), with smooth and
// noisy parts so that every PNG filter has something to predict.
std::vector<uint8_t> Muster(uint64_t w, uint64_t h, int kanaele, uint32_t saat);

// An A8R8G8B8 image's pixels as RGBA bytes (as ImageMagick writes them).
std::vector<uint8_t> AlsRgba(const uint8_t* argb, uint64_t w, uint64_t h, uint64_t pitch);

}  // namespace BildTest
