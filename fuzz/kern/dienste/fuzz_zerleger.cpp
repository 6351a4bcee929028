// The console tokenizer and the "set" command on arbitrary lines.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "quarzklassen/kern/quarz_variable.h"
#include "quarzklassen/kern/tzerleger.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t groesse) {
  const std::string text(reinterpret_cast<const char*>(daten), groesse);
  const TZerleger zerleger(text);
  // Tokens never hold more text than the line, and each has its value.
  size_t summe = 0;
  for (const std::string& t : zerleger.mTokens) summe += t.size();
  if (summe > text.size() || zerleger.mWerte.size() != zerleger.Anzahl()) std::abort();
  if (zerleger.Anzahl() > text.size() + 1) std::abort();
  // The same line as the rest of a "set" command (reads and assigns variables).
  BefehlSet(text);
  return 0;
}
