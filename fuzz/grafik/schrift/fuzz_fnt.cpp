// A font file from arbitrary bytes; a loaded font's glyph table and atlas are then walked as
// text drawing walks them (every code point of the table and beyond it).
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "quarzklassen/grafik/schrift/quarz_utf8.h"
#include "quarzklassen/grafik/schrift/tschriftdatei.h"
#include "quarzklassen/kern/tspeicher.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t groesse) {
  TSpeicher puffer;
  puffer.SchreibeMem(daten, groesse);
  TSchriftDatei datei;
  datei.mAtlas.mMaxKante = 2048;
  if (!datei.Lies(puffer, "fuzz.fnt")) return 0;
  if (!(datei.mGroesse > 0)) std::abort();
  int64_t summe = 0;
  for (uint64_t c = 0; c < datei.mGlyphen.size() + 300; ++c)
    if (c < datei.mGlyphen.size() && datei.mAtlas.mGrafiken.Belegt(c)) summe += datei.mGlyphen[c].mVorschub;
  // The input also read as text, as the fonts and the console step through it.
  std::string text(reinterpret_cast<const char*>(daten), groesse);
  for (const char* p = text.c_str(); uint32_t c = Quarz::LiesCodepunkt(p);) summe += c;
  TSpeicher zurueck;
  datei.Schreibe(zurueck);
  // Keeps the walks from being optimised away.
  asm volatile("" : : "g"(summe) : "memory");
  return 0;
}
