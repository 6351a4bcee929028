// Arbitrary text through the shader dialect translation. The first byte picks the shader kind
// and whether a define pair is passed; the rest is the source.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "quarzklassen/grafik/shader/quarz_shaderdialekt.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t groesse) {
  if (groesse == 0) return 0;
  const uint8_t wahl = daten[0];
  std::string quelle(reinterpret_cast<const char*>(daten + 1), groesse - 1);
  quelle.resize(std::strlen(quelle.c_str()));  // the source ends at its first NUL
  Quarz::TShaderDefinitionen definitionen;
  if (wahl & 2) definitionen.emplace_back("SCHATTEN", "1");
  TSpeicher ergebnis;
  Quarz::UebersetzeShaderDialekt(ergebnis, quelle.c_str(), definitionen, wahl & 1);
  // The result is always NUL-terminated inside the buffer.
  if (ergebnis.Groesse() == 0 || ergebnis.Daten()[ergebnis.Groesse() - 1] != 0) __builtin_trap();
  return 0;
}
