#include "quarzklassen/grafik/bild/crc32.h"

const uint32_t* ErzeugeCrc32Tabelle() {
  // A function-local static is built once, also when two threads ask at the same time.
  static const struct TTabelle {
    uint32_t werte[256];
    TTabelle() {
      for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        werte[n] = c;
      }
    }
  } tabelle;
  return tabelle.werte;
}

uint32_t Crc32Weiter(uint32_t reg, const uint8_t* daten, uint64_t laenge) {
  const uint32_t* tabelle = ErzeugeCrc32Tabelle();
  for (uint64_t i = 0; i < laenge; ++i) reg = tabelle[(reg ^ daten[i]) & 0xFF] ^ (reg >> 8);
  return reg;
}

uint32_t Crc32Register(const uint8_t* daten, int32_t laenge) {
  if (laenge < 1) return 0xFFFFFFFFu;
  return Crc32Weiter(0xFFFFFFFFu, daten, static_cast<uint64_t>(laenge));
}

uint32_t BerechneCrc32(const uint8_t* daten, int32_t laenge) {
  if (laenge < 1) return 0;
  return Crc32Register(daten, laenge) ^ 0xFFFFFFFFu;
}
