// A packer state from arbitrary bytes, then placements into it: loaded lists must never make
// a placement leave the bin or crash.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "quarzklassen/grafik/sprite/trechteckpacker.h"
#include "quarzklassen/kern/tspeicher.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t groesse) {
  TSpeicher puffer;
  puffer.SchreibeMem(daten, groesse);
  puffer.ZurueckZumAnfang();
  TRechteckPacker packer;
  packer.Init(256, 256, 0);
  packer.Laden(puffer);
  // Loaded bins can be huge; the placements only need to stay inside them.
  for (uint64_t i = 1; i < 8; ++i) {
    uint64_t x = 0, y = 0;
    if (packer.Einfuegen(i * 5, i * 3, x, y) &&
        (x + i * 5 > packer.mBinBreite || y + i * 3 > packer.mBinHoehe))
      std::abort();
  }
  TSpeicher zurueck;
  packer.Speichern(zurueck);
  return 0;
}
