#include "quarzklassen/kern/quarz_ausnahme.h"

#include "plattform/system/system_linux.h"
#include "quarzklassen/kern/quarz_log.h"

Quarz_Ausnahme::Quarz_Ausnahme(const std::string& meldung, const std::string& funktion,
                               const std::string& datei, int64_t zeile)
    : mMeldung(meldung), mFunktion(funktion), mDatei(datei), mZeile(zeile) {}

void Quarz_Ausnahme::Wirf(const std::string& meldung, const std::string& funktion,
                          const std::string& datei, int64_t zeile) {
  throw Quarz_Ausnahme(meldung, funktion, datei, zeile);
}

void Quarz_Ausnahme::Melde(const std::string& meldung, const std::string& funktion,
                           const std::string& datei, int64_t zeile) {
  // The line is 64-bit: print it as such, a plain %d would read half of it.
  gLog.Schreibe("!Ausnahme \"%s\" aufgetreten in Funktion %s (%s:%lld).", meldung.c_str(),
                funktion.c_str(), datei.c_str(), static_cast<long long>(zeile));
  Plattform::DebuggerAnhalten();
}
