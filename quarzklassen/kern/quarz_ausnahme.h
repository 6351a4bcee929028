#pragma once
// The engine's two answers to an error the caller cannot repair on the spot:
//  - Quarz_Ausnahme: an unrecoverable failure, thrown by value up to the program entry;
//  - Quarz_Ausnahme::Melde: a violated precondition, reported as one "!" log line (and a
//    break when a debugger is attached); the operation then goes on.
#include <cstdint>
#include <string>

class Quarz_Ausnahme {
public:
  Quarz_Ausnahme(const std::string& meldung, const std::string& funktion,
                 const std::string& datei, int64_t zeile);

  // Builds the exception from the four values and throws it; never returns.
  [[noreturn]] static void Wirf(const std::string& meldung, const std::string& funktion,
                                const std::string& datei, int64_t zeile);

  // The precondition report: logs
  //   !Ausnahme "<meldung>" aufgetreten in Funktion <funktion> (<datei>:<zeile>).
  // then breaks into the debugger when one is attached, and returns.
  static void Melde(const std::string& meldung, const std::string& funktion,
                    const std::string& datei, int64_t zeile);

  std::string mMeldung;   // what went wrong
  std::string mFunktion;  // "Class::Method" of the thrower
  std::string mDatei;     // source file name of the thrower
  int64_t mZeile;         // source line of the throw
};

// The file name of a __FILE__ path, without its directories (what reports and exceptions show).
constexpr const char* Quarz_DateiName(const char* pfad) {
  const char* name = pfad;
  for (const char* p = pfad; *p; ++p)
    if (*p == '/' || *p == '\\') name = p + 1;
  return name;
}

// Convenience forms that fill in the current source file and line.
#define QUARZ_WIRF(meldung, funktion) \
  Quarz_Ausnahme::Wirf((meldung), (funktion), Quarz_DateiName(__FILE__), __LINE__)
#define QUARZ_MELDE(meldung, funktion) \
  Quarz_Ausnahme::Melde((meldung), (funktion), Quarz_DateiName(__FILE__), __LINE__)
