// Arbitrary text as an effect file "filter.fuzz.xml". No drawing context exists, so every
// pass is refused once its inputs, output and divisor are read; textures and parameters load.
#include <cstddef>
#include <cstdint>
#include <string>

#include "spiel/darstellung/filterverwaltung.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t groesse) {
  static FilterVerwaltung* verwaltung = new FilterVerwaltung(L"/nicht/vorhanden");
  const std::string text(reinterpret_cast<const char*>(daten), groesse);  // ends at its first NUL
  verwaltung->mEffekte.clear();
  verwaltung->mEffekte.reserve(1);
  verwaltung->LadeEffektAusText(text.c_str(), "/Daten/filter.fuzz.xml");
  if (verwaltung->mEffekte.size() > 1) __builtin_trap();
  if (!verwaltung->mEffekte.empty() && !verwaltung->mEffekte[0].mFilter.empty()) __builtin_trap();
  return 0;
}
