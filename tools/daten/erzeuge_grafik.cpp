// Writes the game's sprite sheet "grafik.png": 32 x 16, uniform opaque white. The GUI draws
// every rectangle with graphic 0 (x 16, y 0, 16 x 16) tinted by its colour, so it must be
// white; graphic 1 (x 0, y 0, 15 x 15) is white as well, so the atlas mips stay clean.
//   erzeuge_grafik <target path>
#include <cstdio>
#include <cstring>

#include "quarzklassen/grafik/bild/quarz_bild.h"
#include "quarzklassen/kern/textkodierung.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "Aufruf: erzeuge_grafik <Zieldatei>\n");
    return 2;
  }
  Quarz_Bild bild(32, 16, Quarz::PF_A8R8G8B8, 1);
  std::memset(bild.mPixel, 0xFF, bild.mPitch * bild.mHoehe);
  if (!bild.SpeicherePNG(WandleUtf8NachUtf32(argv[1]))) {
    std::fprintf(stderr, "erzeuge_grafik: %s konnte nicht geschrieben werden.\n", argv[1]);
    return 1;
  }
  return 0;
}
