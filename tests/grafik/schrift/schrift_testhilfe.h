#pragma once
// Fonts for the tests: the data folder's files from the build, and a small font built by hand
// whose glyphs are solid boxes of known widths.
#include <cstdint>
#include <string>
#include <vector>

#include "quarzklassen/grafik/schrift/quarz_font3d.h"
#include "quarzklassen/kern/textkodierung.h"

inline std::wstring BauDaten(const char* datei) {
  return WandleUtf8NachUtf32(std::string(WEILERBAU_BAU) + "/Daten/" + datei);
}

// Glyphs 'a' to 'z' (10 x 12 pixels, advance 10), '.' (3 x 3, advance 4) and 'ä' (10 x 15,
// advance 11, offsets 1 and -3); size 24, spacing 0.
inline void BaueTestSchrift(Quarz_Font3D& schrift) {
  std::vector<uint32_t> pixel(16 * 16, 0xFFFFFFFFu);
  const TBereich quelle{reinterpret_cast<uint8_t*>(pixel.data()), 0, 16, 16, 64};
  for (uint32_t c = 'a'; c <= 'z'; ++c) schrift.AddBuchstabe(c, quelle, 0, 0, 10, 12, {0, 8, 10});
  schrift.AddBuchstabe('.', quelle, 0, 0, 3, 3, {0, 17, 4});
  schrift.AddBuchstabe(0xE4, quelle, 0, 0, 10, 15, {1, -3, 11});
  schrift.mAbstand = 0;
  schrift.mSofortZeichnen = 0;
}
