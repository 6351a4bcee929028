// A sprite block from arbitrary bytes; a loaded atlas then takes a new graphic (which may
// re-pack every loaded one into a larger atlas) and is written again.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "quarzklassen/grafik/sprite/tspriteatlas.h"
#include "quarzklassen/kern/tspeicher.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t groesse) {
  TSpeicher puffer;
  puffer.SchreibeMem(daten, groesse);
  puffer.ZurueckZumAnfang();
  TSpriteAtlas atlas;
  atlas.mMaxKante = 256;  // keeps the re-packed atlases small enough for many runs
  if (!atlas.Laden(puffer)) return 0;
  std::vector<uint32_t> pixel(40 * 40, 0x80FFFFFFu);
  const TBereich quelle{reinterpret_cast<uint8_t*>(pixel.data()), 0, 40, 40, 160};
  atlas.Add(7, quelle, 0, 0, 40, 40);
  atlas.Add(300, quelle, 3, 5, 30, 2);
  TSpeicher zurueck;
  atlas.Speichern(zurueck);
  zurueck.ZurueckZumAnfang();
  TSpriteAtlas wieder;
  wieder.mMaxKante = 256;
  wieder.Laden(zurueck);
  return 0;
}
