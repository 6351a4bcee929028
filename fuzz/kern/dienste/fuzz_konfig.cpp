// The configuration loader on arbitrary bytes: it must never crash, and every variable must
// keep a canonical text for its type afterwards.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "quarzklassen/kern/quarz_variable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t groesse) {
  Quarz_Variable::LadeKonfigText(std::string(reinterpret_cast<const char*>(daten), groesse));
  // Bool variables only ever show "ja" or "nein".
  for (const auto& [name, variable] : *Quarz_Variable::Variablen())
    if (variable->mTyp == Quarz_Variable::BOOL && variable->mText != "ja" && variable->mText != "nein")
      std::abort();
  return 0;
}
