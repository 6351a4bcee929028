// The shader C preprocessor: one run per call, configured by a tag list, reading and writing
// only through callbacks. The caller owns the state record; the run zeroes it and frees
// everything it allocated before it returns.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <cstdio>

#include "preprocessor/preprocessor_state.h"

// One entry of the tag list; tag 0 ends the list. The value is a number, a flag (non-zero =
// on), a string pointer or a function pointer, depending on the tag.
struct PreprocessorTag {
  uint32_t tag;
  uint64_t value;
};

enum PreprocessorTagNummer : uint32_t {
  PPTAG_ENDE = 0,
  PPTAG_KOMMENTARE_BEHALTEN = 1,     // flag
  PPTAG_DEFINIERE = 2,               // "name=value" or "name"
  PPTAG_FEHLER_IGNORIEREN = 3,       // errors do not make the result 1
  PPTAG_INCLUDE_VERZEICHNIS = 4,     // string
  PPTAG_KEINE_VORDEFINIERTEN = 5,    // flag
  PPTAG_KEINE_EINGEBAUTEN = 6,       // flag
  PPTAG_KEINE_ZEILENKOMMENTARE = 7,  // flag: "//" is no comment
  PPTAG_GROESSEN = 8,                // string: sizes for sizeof in #if
  PPTAG_UNDEFINIERE = 9,             // string
  PPTAG_MAKROS_AUSGEBEN = 10,        // counter
  PPTAG_EINGABE_NAME = 11,           // string
  PPTAG_EINGABE = 12,                // PreprocessorEingabeFn
  PPTAG_AUSGABE = 13,                // PreprocessorAusgabeFn
  PPTAG_NUTZERDATEN = 14,            // pointer
  PPTAG_ZEILENANGABEN = 15,          // flag: write line directives
  PPTAG_FEHLERMELDUNG = 16,          // PreprocessorFehlerFn
  PPTAG_WARNE_UNBEKANNT = 17,        // flag: warn about unknown directives
  PPTAG_ZEILE_SCHLUESSELWORT = 18,   // flag: "#line N" instead of "# N"
  PPTAG_BANNER = 19,                 // flag
  PPTAG_MELDE_INCLUDES = 20,         // flag
  PPTAG_WARNE_KLAMMERN = 21,         // flag
  PPTAG_EINRUECKUNG_BEHALTEN = 22,   // flag
  PPTAG_VERSCHACHTELTE_KOMMENTARE = 23,
  PPTAG_WARNE_KOMMENTARSCHACHTELUNG = 24,
  PPTAG_WARNE_FEHLENDES_INCLUDE = 25,
  PPTAG_AUSGABE_AN = 26,
  PPTAG_VORAB_INCLUDE = 27,          // string
  PPTAG_VORAB_INCLUDE_LOKAL = 28,    // string
  PPTAG_PASTE_EXPANDIEREN = 29,      // flag
  PPTAG_INIT_TEXT = 30,              // string
  PPTAG_INIT_AUSNAHME = 31,          // string
  PPTAG_MELDE_FUNKTIONEN = 32,       // flag
  PPTAG_ANFUEHRUNG_IGNORIEREN = 33,  // flag
  PPTAG_LOKAL_ZUERST = 34,           // flag
  PPTAG_INCLUDE_OEFFNEN = 35,        // PreprocessorOeffneFn
};

// The callback types (PreprocessorEingabeFn, PreprocessorAusgabeFn, PreprocessorFehlerFn,
// PreprocessorOeffneFn) are declared with the state record.

// Runs the preprocessor. Returns 1 when an error was reported (and tag 3 was not given), else 0.
int PreprocessorEntry(const PreprocessorTag* tags, PreprocessorState* state);

// Applies a tag list to a state; returns 0, or 17/18 when an include list overflowed.
int PreprocessorSetTags(PreprocessorState* state, const PreprocessorTag* tags);

// Helpers to put pointers into a tag value.
template <typename T>
inline uint64_t PreprocessorWert(T* zeiger) {
  return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(zeiger));
}
