// The state record of one preprocessor run. The caller provides the memory; the entry zeroes it.
#pragma once

#include <cstdarg>
#include <climits>
#include <cstdint>
#include <cstdio>

struct PreprocessorSymbol;
struct PreprocessorInput;
struct PreprocessorWaechter;

// Input: fills the buffer with the next piece of the main input (at most size - 1 characters,
// NUL-terminated) and returns it, or null at the end.
using PreprocessorEingabeFn = char* (*)(char* puffer, int groesse, void* nutzer, FILE* strom);
// Output: receives every output character.
using PreprocessorAusgabeFn = void (*)(int zeichen, void* nutzer);
// Messages: every piece of message text, printf-style.
using PreprocessorFehlerFn = void (*)(void* nutzer, const char* format, va_list argumente);
// Include files: opens a file, or returns null.
using PreprocessorOeffneFn = FILE* (*)(const char* name, const char* modus);

constexpr int PP_PUFFER = 512;            // work buffer, token buffer, file buffers
constexpr int PP_PARAMETERBEREICH = 1024;  // parameter names and argument texts
constexpr int PP_MAX_VERZEICHNISSE = 20;
constexpr int PP_MAX_BEDINGUNGEN = 31;
constexpr int PP_MAKRO_EIMER = 64;
constexpr int PP_ZURUECK = 8;

struct PreprocessorState {
  // Position
  int mZeile;             // line of the innermost file
  bool mResync;           // next output line needs a line directive
  bool mAusDatei;         // the last character came from a file
  PreprocessorInput* mEingabe;  // innermost record
  PreprocessorInput* mDatei;    // innermost file record
  int mTiefe;             // expansion depth (recursion guard)
  int mIncludeTiefe;
  PreprocessorInput* mLokalBasis;  // folder for local includes before the input is read
  char mErstesMakro[PP_PUFFER];

  // Pushed-back characters (and whether each came from a file)
  int mZurueck[PP_ZURUECK];
  bool mZurueckDatei[PP_ZURUECK];
  int mZurueckAnzahl;

  char mToken[PP_PUFFER];
  char mFunktion[52];
  int mFunktionZeile;

  int mFehler;
  int mMeldungen;           // messages so far (errors, warnings, notes)
  int mErgebnisCode;       // a run-ending code raised deep inside the reader

  // Options
  bool mKommentareBehalten, mFehlerIgnorieren, mKeineVordefinierten, mKeineEingebauten;
  bool mKeineZeilenKommentare, mZeilenAngaben, mWarneUnbekannt, mZeileSchluesselwort;
  bool mBanner, mMeldeIncludes, mWarneKlammern, mEinrueckungBehalten;
  bool mVerschachtelteKommentare, mWarneKommentarSchachtelung, mWarneFehlendesInclude;
  bool mAusgabeAn, mPasteExpandieren, mMeldeFunktionen, mAnfuehrungIgnorieren, mLokalZuerst;
  int mMakrosAusgeben;

  // Input name, user data and callbacks
  char* mEingabeName;
  void* mNutzer;
  PreprocessorEingabeFn mLies;
  PreprocessorAusgabeFn mSchreibe;
  PreprocessorFehlerFn mMelde;
  PreprocessorOeffneFn mOeffne;

  char* mVerzeichnisse[PP_MAX_VERZEICHNISSE];
  int mVerzeichnisAnzahl;
  char* mVorab[PP_MAX_VERZEICHNISSE];
  bool mVorabLokal[PP_MAX_VERZEICHNISSE];
  int mVorabAnzahl;

  // Conditional stack: entry bits 1 = enclosing level on, 2 = #else seen, 4 = branch taken
  uint8_t mBedingung[PP_MAX_BEDINGUNGEN + 1];
  int mBedingungTiefe;
  bool mAusgabe;  // the current branch produces output

  PreprocessorSymbol* mMakros[PP_MAKRO_EIMER];
  // Include files known to be wholly inside an #ifndef guard, with their guard macro.
  PreprocessorWaechter* mWaechter;

  char mArbeit[PP_PUFFER];
  char mParameter[PP_PARAMETERBEREICH];

  char** mInitAusnahmen;
  int mInitAusnahmeAnzahl;
  char* mInitText;

  // sizeof in #if: char, short, int, long, float, double; then the pointer sizes
  int mGroesse[6];
  int mZeigerGroesse[6];

  // Output side
  int mAusZeile;          // input line the next output line stands for
  char* mLetzterName;     // file name of the last line directive
  int mLetztesZeichen;    // last character written
  bool mLeerzeichen;      // a space is owed before the next token
  int mVorher;            // character before an expansion (to keep tokens apart)
  bool mImDirektiv;       // reading a control line: macro arguments end at the newline
  bool mInSteuerzeile;    // any control line is being read (its comments are not output)
  int mRund, mEckig, mGeschweift;
  int mFktZustand;
  char mFktKandidat[52];
  bool mInitKlammer;
  char mStueck[PP_PUFFER];  // the input callback's buffer
};

// One more input line. The counter stops at its largest value instead of overflowing (a line
// directive may set it close to that).
inline void PPZeileWeiter(PreprocessorState* s) {
  if (s->mZeile < INT_MAX) s->mZeile++;
}

// One more output line; stops at the same largest value as the input count it follows.
inline void PPAusZeileWeiter(PreprocessorState* s) {
  if (s->mAusZeile < INT_MAX) s->mAusZeile++;
}
