// Internal interfaces shared by the parts of the preprocessor.
#pragma once

#include "preprocessor/preprocessor.h"

// A macro. The name is stored right after the record.
struct PreprocessorSymbol {
  PreprocessorSymbol* mNaechster;
  char* mText;        // encoded replacement list; may be null
  unsigned mHash;     // sum of the name's bytes
  int mParameter;     // -1 object-like, >= 0 function-like, -2..-5 builtins
  bool mSystem;       // predefined name or builtin (left out of a single macro dump)
  char* mName;
};

// One open file or macro text.
struct PreprocessorInput {
  char* mPos;
  char* mEnde;          // end of the valid text; *mEnde is always 0
  int mZeile;           // a file's line while an inner file is read
  FILE* mStrom;
  PreprocessorInput* mEltern;
  char* mName;
  char* mZeilenName;    // name set by #line
  int mVerschachtelung; // expansions this record stands for
  bool mIstDatei;
  bool mIstHaupt;       // the callback-fed main input
  bool mStromSchliessen;
  bool mAmEnde;
  bool mOhneZeilenende;  // the file's last character so far was not a newline
  bool mAbgeschlossen;   // the closing newline of such a file has been given
  char* mText;
  // Include guard: while an include file is read with its guard macro defined, this follows
  // whether the whole file lies inside that one #ifndef (see PreprocessorWaechterAmEnde).
  int mWaechterPhase;        // 0 before the first directive, 1 inside, 2 closed, -1 no guard
  int mWaechterTiefe;        // the conditional depth the file started at
  int mWaechterSchachtelung; // deepest conditional nesting of the file's own, above that depth
  int mWaechterMeldungen;    // messages when the file was opened
  char* mWaechterMakro;
};

// A file found to be wholly inside #ifndef MAKRO ... #endif, read once already with MAKRO
// defined, without output or messages: while MAKRO stays defined, including it again changes
// nothing but the report of the include, so it is not read again (a caller's open callback is
// still asked whether it opens), unless its own nesting would carry the conditional stack past
// its limit where it is included now.
struct PreprocessorWaechter {
  PreprocessorWaechter* mNaechster;
  char* mMakro;
  char* mPfad;
  int mSchachtelung;  // the file's own conditional nesting depth
};

// Result codes
enum : int {
  PP_OK = 0, PP_SPEICHER = 1, PP_SCHACHTELUNG = 2, PP_NAME_ZU_LANG = 3, PP_NICHT_GEFUNDEN = 4,
  PP_NICHT_GEOEFFNET = 5, PP_ZU_VIELE_ARGUMENTE = 6, PP_UEBERLAUF = 7, PP_FALSCHES_MAKRO = 8,
  PP_EOF_ARGUMENT = 9, PP_TEXT_ZU_LANG = 10, PP_SIZEOF = 15, PP_STRING = 16,
  PP_VERZEICHNISSE = 17, PP_VORAB = 18,
};

// Internal marker bytes
constexpr unsigned char PP_STRINGIZE = 28;
constexpr unsigned char PP_KEIN_MAKRO = 29;
constexpr unsigned char PP_PASTE = 30;
constexpr unsigned char PP_TRENNER = 31;   // white space that keeps tokens apart
constexpr unsigned char PP_ESCAPE = 27;    // the next byte of a macro body is literal
constexpr unsigned char PP_PARAM0 = 127;
constexpr unsigned char PP_LITERAL_PARAM = 159;

// Character classes
enum : uint8_t {
  PK_ANDERES = 0, PK_ZIFFER, PK_NAME, PK_OPERATOR, PK_ANFUEHRUNG, PK_PUNKT, PK_LEER,
  PK_BACKSLASH, PK_NUL,
};
extern const uint8_t gPreprocessorKlasse[256];
inline bool PPIstName(int c) { return c >= 0 && gPreprocessorKlasse[c & 255] == PK_NAME; }
inline bool PPIstNameFolge(int c) {
  return c >= 0 && c != PP_KEIN_MAKRO &&
         (gPreprocessorKlasse[c & 255] == PK_NAME || gPreprocessorKlasse[c & 255] == PK_ZIFFER);
}
inline bool PPIstLeer(int c) { return c >= 0 && gPreprocessorKlasse[c & 255] == PK_LEER; }
inline bool PPIstZiffer(int c) { return c >= '0' && c <= '9'; }

// Messages
void PreprocessorError(PreprocessorState* s, int nummer, const char* text = nullptr,
                       const char* text2 = nullptr, int zahl = 0);
void PreprocessorMelde(PreprocessorState* s, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

// Reader
int PreprocessorGetChar(PreprocessorState* s);
int PreprocessorUeberspringeLeer(PreprocessorState* s);  // returns the first non-blank character
void PreprocessorUeberspringeZeile(PreprocessorState* s, int c);  // c: the line's current character
int PreprocessorRawChar(PreprocessorState* s);  // no comments recognised
void PreprocessorUnget(PreprocessorState* s, int c);
int PreprocessorPeekToken(PreprocessorState* s);  // next char of the current token, -1 at a text's end
int PreprocessorPeekPastEnd(PreprocessorState* s);
int PreprocessorLiesName(PreprocessorState* s, int erstes);  // into mToken; returns length
int PreprocessorLiesZahl(PreprocessorState* s, int erstes);  // into mToken; returns length
bool PreprocessorPushFile(PreprocessorState* s, FILE* strom, const char* name, bool haupt);
bool PreprocessorPushText(PreprocessorState* s, const char* text, int laenge, const char* name,
                          int verschachtelung);
void PreprocessorPop(PreprocessorState* s);
void PreprocessorFreeInput(PreprocessorState* s);
bool PreprocessorInMakro(const PreprocessorState* s);
const char* PreprocessorDateiName(const PreprocessorState* s);

// Main loop, output and directives
int PreprocessorMainLoop(PreprocessorState* s);
int PreprocessorDirective(PreprocessorState* s, int* zeilen);
int PreprocessorEvalIf(PreprocessorState* s, int* wert);
int PreprocessorExpandLine(PreprocessorState* s, char* aus, int kapazitaet, bool defined);
void PreprocessorPut(PreprocessorState* s, int c);
void PreprocessorSyncZeile(PreprocessorState* s);
int PreprocessorEvalText(PreprocessorState* s, const char* text, int* wert);

// Macros
PreprocessorSymbol* PreprocessorFind(PreprocessorState* s, const char* name);
PreprocessorSymbol* PreprocessorLookup(PreprocessorState* s, const char* name, bool loeschen);
int PreprocessorDefine(PreprocessorState* s);
int PreprocessorDefineText(PreprocessorState* s, const char* name, const char* wert, bool system);
int PreprocessorExpand(PreprocessorState* s, PreprocessorSymbol* sym);  // -1: not expanded
// Counts an expansion of the macro name for the recursion guard, before its text is pushed;
// returns the nesting that text's record stands for, or 0 when the guard stopped it.
int PreprocessorZaehleExpansion(PreprocessorState* s, const char* name);
void PreprocessorFreeMacros(PreprocessorState* s);
void PreprocessorDumpMacros(PreprocessorState* s);
bool PreprocessorVerbindet(int a, int b);  // would a and b glue into one token?

// Includes
int PreprocessorInclude(PreprocessorState* s);
// Include guards: a text line or directive of the current file; the end of an include file.
void PreprocessorWaechterZeile(PreprocessorState* s);
void PreprocessorWaechterDirektive(PreprocessorState* s, PreprocessorInput* datei,
                                   const char* name, int tiefeVorher);
void PreprocessorWaechterAmEnde(PreprocessorState* s, PreprocessorInput* datei);
void PreprocessorFreeWaechter(PreprocessorState* s);
int PreprocessorOpenInclude(PreprocessorState* s, const char* name, bool lokal);
