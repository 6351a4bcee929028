// Writes the engine font file for a TrueType face: the default glyph set rendered at 24 pixels
// and packed into the atlas exactly as a font made from that face at run time has it.
//   erzeuge_schriftdatei <face.ttf> <font.fnt>
#include <cstdio>

#include "quarzklassen/grafik/schrift/tschriftdatei.h"
#include "quarzklassen/grafik/schrift/ttruetypeglyphen.h"
#include "quarzklassen/kern/textkodierung.h"
#include "quarzklassen/kern/tspeicher.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "Aufruf: %s <schrift.ttf> <schrift.fnt>\n", argv[0]);
    return 2;
  }
  TSchriftDatei datei;
  const bool gelesen = TTrueTypeGlyphen::Rendere(
      WandleUtf8NachUtf32(argv[1]), nullptr,
      [&](uint32_t c, const TBereich& quelle, uint64_t x, uint64_t y, uint64_t w, uint64_t h,
          const TGlyphe& g) { datei.AddBuchstabe(c, quelle, x, y, w, h, g); });
  if (!gelesen || datei.mGlyphen.empty()) {
    std::fprintf(stderr, "%s: keine Glyphen aus %s\n", argv[0], argv[1]);
    return 1;
  }
  TSpeicher ausgabe;
  datei.Schreibe(ausgabe);
  if (!ausgabe.SpeichereDatei(WandleUtf8NachUtf32(argv[2]), 0)) {
    std::fprintf(stderr, "%s: %s nicht geschrieben\n", argv[0], argv[2]);
    return 1;
  }
  return 0;
}
