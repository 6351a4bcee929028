#include "tests/grafik/bild/bild_testhilfe.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace BildTest {

std::vector<uint8_t> LiesDatei(const std::string& pfad) {
  std::ifstream f(pfad, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}

void SchreibeDatei(const std::string& pfad, const std::vector<uint8_t>& daten) {
  std::ofstream f(pfad, std::ios::binary);
  f.write(reinterpret_cast<const char*>(daten.data()), static_cast<std::streamsize>(daten.size()));
}

bool Magick(const std::string& argumente) {
  // The distribution's convert itself, not whatever stands in front of it on the path.
  const std::string programm =
      std::ifstream("/usr/bin/convert").good() ? "/usr/bin/convert" : "convert";
  const int rc = std::system((programm + " " + argumente + " 2>magick.fehler").c_str());
  return rc == 0;
}

std::vector<uint8_t> MagickRgba(const std::string& pfad) {
  EXPECT_TRUE(Magick(pfad + " -depth 8 rgba:magick.rgba")) << pfad;
  return LiesDatei("magick.rgba");
}

std::vector<uint8_t> Muster(uint64_t w, uint64_t h, int kanaele, uint32_t saat) {
  std::vector<uint8_t> d(w * h * kanaele);
  uint32_t z = saat * 2654435761u + 1;
  for (uint64_t y = 0; y < h; ++y)
    for (uint64_t x = 0; x < w; ++x)
      for (int k = 0; k < kanaele; ++k) {
        z = z * 1664525u + 1013904223u;
        // The left half is smooth, the right half noisy; alpha varies slowly.
        const uint32_t glatt = static_cast<uint32_t>(x * 3 + y * 5 + k * 60);
        uint8_t& b = d[(y * w + x) * kanaele + k];
        b = static_cast<uint8_t>(x < w / 2 ? glatt : z >> 24);
        if (k == 3) b = static_cast<uint8_t>(255 - (x + y) % 200);
      }
  return d;
}

std::vector<uint8_t> AlsRgba(const uint8_t* argb, uint64_t w, uint64_t h, uint64_t pitch) {
  std::vector<uint8_t> d;
  d.reserve(w * h * 4);
  for (uint64_t y = 0; y < h; ++y)
    for (uint64_t x = 0; x < w; ++x) {
      const uint8_t* p = argb + y * pitch + x * 4;
      d.insert(d.end(), {p[2], p[1], p[0], p[3]});
    }
  return d;
}

}  // namespace BildTest
