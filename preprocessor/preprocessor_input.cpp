// The input stack and the character reader: refills, line splices, CR LF, comments, pushback.
#include "preprocessor/preprocessor_intern.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr int kDateiPuffer = 2 * PP_PUFFER;  // room for a refill plus unread lookahead

struct KlassenTabelle {
  uint8_t k[256];
  constexpr KlassenTabelle() : k() {
    for (int c = '0'; c <= '9'; ++c) k[c] = PK_ZIFFER;
    for (int c = 'A'; c <= 'Z'; ++c) k[c] = PK_NAME;
    for (int c = 'a'; c <= 'z'; ++c) k[c] = PK_NAME;
    k[int{'_'}] = k[int{'$'}] = k[PP_KEIN_MAKRO] = PK_NAME;
    for (const char* p = "+-*/%&|^=<>?:!~()"; *p; ++p) k[static_cast<unsigned char>(*p)] = PK_OPERATOR;
    k[int{'"'}] = k[int{'\''}] = PK_ANFUEHRUNG;
    k[int{'.'}] = PK_PUNKT;
    k[int{'\t'}] = k[int{'\r'}] = k[PP_TRENNER] = k[int{' '}] = PK_LEER;
    k[int{'\\'}] = PK_BACKSLASH;
    k[0] = PK_NUL;
  }
};
constexpr KlassenTabelle kKlassen;

// Reads more of a file record, keeping the unread rest at the front of the buffer.
bool FuelleNach(PreprocessorState* s, PreprocessorInput* e) {
  if (e->mPos > e->mText) e->mOhneZeilenende = e->mPos[-1] != '\n';
  if (e->mAmEnde) return false;
  size_t rest = static_cast<size_t>(e->mEnde - e->mPos);
  std::memmove(e->mText, e->mPos, rest);
  e->mPos = e->mText;
  e->mEnde = e->mText + rest;
  size_t neu = 0;
  if (e->mIstHaupt && s->mLies) {
    char* stueck = s->mLies(s->mStueck, PP_PUFFER, s->mNutzer, e->mStrom);
    if (stueck) {
      neu = strnlen(stueck, PP_PUFFER - 1);
      std::memcpy(e->mEnde, stueck, neu);
    }
  } else if (e->mStrom) {
    neu = std::fread(e->mEnde, 1, PP_PUFFER - 1, e->mStrom);
    // A NUL would read as the end of all input.
    for (size_t i = 0; i < neu; ++i)
      if (e->mEnde[i] == 0) e->mEnde[i] = ' ';
  }
  if (neu == 0) e->mAmEnde = true;
  e->mEnde += neu;
  *e->mEnde = 0;
  return neu > 0;
}

// Makes sure n characters are readable in a file record; false at its end.
inline bool Sichere(PreprocessorState* s, PreprocessorInput* e, int n) {
  while (e->mEnde - e->mPos < n)
    if (!FuelleNach(s, e)) return false;
  return true;
}

// The marker bytes of macro texts. Read from a file they are dropped: no shader text holds
// these control characters, and taken as markers they would paste tokens or hide names wherever
// they stand, even inside the literals of a macro body, where no self-reference is marked (with
// quotes not special, such pastes multiplied the text without bound).
inline bool IstMarke(unsigned char c) {
  return c == PP_STRINGIZE || c == PP_KEIN_MAKRO || c == PP_PASTE;
}

// Removes line splices (backslash + LF or CR LF) and stray marker bytes at the read position of
// a file.
void UeberspringeSplices(PreprocessorState* s, PreprocessorInput* e) {
  for (;;) {
    if (!Sichere(s, e, 1)) return;
    unsigned char c = static_cast<unsigned char>(*e->mPos);
    if (IstMarke(c)) { e->mPos++; continue; }
    if (c != '\\') return;
    if (!Sichere(s, e, 2)) return;
    if (e->mPos[1] == '\n') {
      e->mPos += 2;
    } else if (e->mPos[1] == '\r' && Sichere(s, e, 3) && e->mPos[2] == '\n') {
      e->mPos += 3;
    } else {
      return;
    }
    PPZeileWeiter(s);
    s->mResync = true;
  }
}

// The next character of a file as the reader would return it, without consuming it; 0 at its end.
int PeekDatei(PreprocessorState* s, PreprocessorInput* e) {
  UeberspringeSplices(s, e);
  if (!Sichere(s, e, 1)) return 0;
  unsigned char c = static_cast<unsigned char>(*e->mPos);
  if (c == '\r' && Sichere(s, e, 2) && e->mPos[1] == '\n') return '\n';
  return c;
}

// Next character of one file record with splices and CR LF handled; -1 at its end.
int DateiZeichen(PreprocessorState* s, PreprocessorInput* e) {
  for (;;) {
    if (e->mPos >= e->mEnde && !FuelleNach(s, e)) return -1;
    unsigned char c = static_cast<unsigned char>(*e->mPos++);
    switch (c) {
      case '\n':
        PPZeileWeiter(s);
        return '\n';
      case '\r':
        if (Sichere(s, e, 1) && *e->mPos == '\n') continue;
        return '\r';
      case '\\':
        if (Sichere(s, e, 1)) {
          if (*e->mPos == '\n') {
            e->mPos++;
            PPZeileWeiter(s);
            s->mResync = true;
            continue;
          }
          if (*e->mPos == '\r' && Sichere(s, e, 2) && e->mPos[1] == '\n') {
            e->mPos += 2;
            PPZeileWeiter(s);
            s->mResync = true;
            continue;
          }
        }
        return '\\';
      case PP_STRINGIZE:
      case PP_KEIN_MAKRO:
      case PP_PASTE:
        continue;  // only macro texts may carry markers
      default:
        return c;
    }
  }
}

// Reads a comment whose opening "/" is consumed; returns what stands in its place.
int Kommentar(PreprocessorState* s, PreprocessorInput* e, bool zeile) {
  int art = DateiZeichen(s, e);  // '*' or '/'
  // Kept comments belong to output lines only, not to false branches or control lines.
  const bool behalten = s->mKommentareBehalten && s->mAusgabe && !s->mInSteuerzeile;
  if (behalten) {
    if (s->mLeerzeichen && s->mLetztesZeichen != '\n' && s->mLetztesZeichen != 0) PreprocessorPut(s, ' ');
    s->mLeerzeichen = false;
    PreprocessorPut(s, '/');
    PreprocessorPut(s, art);
  }
  if (zeile) {
    for (;;) {
      int c = DateiZeichen(s, e);
      if (c < 0) return '\n';
      if (c == '\n') return '\n';
      if (behalten) PreprocessorPut(s, c);
    }
  }
  int tiefe = 1;
  for (;;) {
    int c = DateiZeichen(s, e);
    if (c < 0) {
      PreprocessorError(s, 27);
      return ' ';
    }
    if (behalten) PreprocessorPut(s, c);
    if (c == '\n') {
      s->mResync = true;
    } else if (c == '*' && PeekDatei(s, e) == '/') {
      DateiZeichen(s, e);
      if (behalten) PreprocessorPut(s, '/');
      if (--tiefe == 0) break;
    } else if (c == '/' && PeekDatei(s, e) == '*') {
      if (s->mWarneKommentarSchachtelung) PreprocessorError(s, 52);
      if (s->mVerschachtelteKommentare) {
        DateiZeichen(s, e);
        if (behalten) PreprocessorPut(s, '*');
        ++tiefe;
      }
    }
  }
  int naechstes = PeekDatei(s, e);
  if (naechstes == '\n' || PPIstLeer(naechstes)) return -1;  // nothing in its place
  return ' ';
}

}  // namespace

const uint8_t gPreprocessorKlasse[256] = {
#define K(i) kKlassen.k[i]
#define K8(i) K(i), K(i + 1), K(i + 2), K(i + 3), K(i + 4), K(i + 5), K(i + 6), K(i + 7)
#define K64(i) K8(i), K8(i + 8), K8(i + 16), K8(i + 24), K8(i + 32), K8(i + 40), K8(i + 48), K8(i + 56)
    K64(0), K64(64), K64(128), K64(192)
#undef K64
#undef K8
#undef K
};

bool PreprocessorInMakro(const PreprocessorState* s) {
  return s->mEingabe && !s->mEingabe->mIstDatei;
}

const char* PreprocessorDateiName(const PreprocessorState* s) {
  if (!s->mDatei) return nullptr;
  return s->mDatei->mZeilenName ? s->mDatei->mZeilenName : s->mDatei->mName;
}

bool PreprocessorPushFile(PreprocessorState* s, FILE* strom, const char* name, bool haupt) {
  size_t laenge = std::strlen(name);
  auto* e = static_cast<PreprocessorInput*>(
      std::calloc(1, sizeof(PreprocessorInput) + kDateiPuffer + 1 + laenge + 1));
  if (!e) {
    PreprocessorError(s, 65);
    return false;
  }
  e->mText = reinterpret_cast<char*>(e + 1);
  e->mName = e->mText + kDateiPuffer + 1;
  std::memcpy(e->mName, name, laenge + 1);
  e->mPos = e->mEnde = e->mText;
  e->mStrom = strom;
  e->mIstDatei = true;
  e->mIstHaupt = haupt;
  e->mStromSchliessen = !haupt;
  if (s->mDatei) s->mDatei->mZeile = s->mZeile;
  e->mEltern = s->mEingabe;
  s->mEingabe = e;
  s->mDatei = e;
  s->mZeile = 1;
  s->mResync = true;
  if (!haupt) s->mIncludeTiefe++;
  return true;
}

bool PreprocessorPushText(PreprocessorState* s, const char* text, int laenge, const char* name,
                          int verschachtelung) {
  // Pushed-back characters were read before this text and come after it: keep them in order.
  if (s->mZurueckAnzahl) {
    char zurueck[PP_ZURUECK];
    int n = 0;
    while (s->mZurueckAnzahl) {
      --s->mZurueckAnzahl;
      if (s->mZurueck[s->mZurueckAnzahl] == '\n' && s->mZurueckDatei[s->mZurueckAnzahl])
        PPZeileWeiter(s);  // read again from text, it no longer counts as a file line
      zurueck[n++] = static_cast<char>(s->mZurueck[s->mZurueckAnzahl]);
    }
    if (!PreprocessorPushText(s, zurueck, n, "", 0)) return false;
  }
  size_t namenLaenge = std::strlen(name);
  auto* e = static_cast<PreprocessorInput*>(
      std::malloc(sizeof(PreprocessorInput) + static_cast<size_t>(laenge) + 1 + namenLaenge + 1));
  if (!e) {
    PreprocessorError(s, 65);
    return false;
  }
  std::memset(e, 0, sizeof(PreprocessorInput));
  e->mText = reinterpret_cast<char*>(e + 1);
  std::memcpy(e->mText, text, static_cast<size_t>(laenge));
  e->mText[laenge] = 0;
  e->mName = e->mText + laenge + 1;
  std::memcpy(e->mName, name, namenLaenge + 1);
  e->mPos = e->mText;
  e->mEnde = e->mText + laenge;
  e->mVerschachtelung = verschachtelung;
  e->mEltern = s->mEingabe;
  s->mEingabe = e;
  s->mTiefe += verschachtelung;
  return true;
}

void PreprocessorPop(PreprocessorState* s) {
  PreprocessorInput* e = s->mEingabe;
  if (!e) return;
  s->mEingabe = e->mEltern;
  if (e->mIstDatei) {
    if (e->mStrom && e->mStromSchliessen) std::fclose(e->mStrom);
    if (!e->mIstHaupt) {
      s->mIncludeTiefe--;
      PreprocessorWaechterAmEnde(s, e);
    }
    PreprocessorInput* d = e->mEltern;
    while (d && !d->mIstDatei) d = d->mEltern;
    s->mDatei = d;
    if (d) s->mZeile = d->mZeile;
    s->mResync = true;
    std::free(e->mZeilenName);
  } else {
    s->mTiefe -= e->mVerschachtelung;
    if (s->mTiefe < 0) s->mTiefe = 0;
  }
  std::free(e);
}

void PreprocessorFreeInput(PreprocessorState* s) {
  while (s->mEingabe) PreprocessorPop(s);
  s->mZurueckAnzahl = 0;
}

int PreprocessorRawChar(PreprocessorState* s) {
  if (s->mZurueckAnzahl) {
    --s->mZurueckAnzahl;
    s->mAusDatei = s->mZurueckDatei[s->mZurueckAnzahl];
    int c = s->mZurueck[s->mZurueckAnzahl];
    if (c == '\n' && s->mAusDatei) PPZeileWeiter(s);
    return c;
  }
  for (;;) {
    PreprocessorInput* e = s->mEingabe;
    if (!e) return 0;
    if (!e->mIstDatei) {
      if (e->mPos < e->mEnde) {
        s->mAusDatei = false;
        return static_cast<unsigned char>(*e->mPos++);
      }
    } else {
      int c = DateiZeichen(s, e);
      if (c >= 0) {
        s->mAusDatei = true;
        return c;
      }
      if (e->mOhneZeilenende && !e->mAbgeschlossen) {
        // A file ends its last line, so its last token cannot join the including file's next one.
        e->mAbgeschlossen = true;
        s->mAusDatei = true;
        return '\n';
      }
    }
    PreprocessorPop(s);
  }
}

int PreprocessorGetChar(PreprocessorState* s) {
  for (;;) {
    // Fast path: an ordinary character of the innermost record.
    PreprocessorInput* e = s->mEingabe;
    if (!s->mZurueckAnzahl && e) {
      unsigned char c = static_cast<unsigned char>(*e->mPos);
      if (c > '\\' || (c >= ' ' && c != '/' && c != '\\')) {
        if (c != PP_KEIN_MAKRO && c < 127) {
          e->mPos++;
          s->mAusDatei = e->mIstDatei;
          return c;
        }
      }
    }
    int c = PreprocessorRawChar(s);
    if (c == '/' && s->mAusDatei && s->mEingabe && s->mEingabe->mIstDatei) {
      int naechstes = PeekDatei(s, s->mEingabe);
      if (naechstes == '*' || (naechstes == '/' && !s->mKeineZeilenKommentare)) {
        int ersatz = Kommentar(s, s->mEingabe, naechstes == '/');
        if (ersatz < 0) continue;
        s->mAusDatei = true;
        return ersatz;
      }
    }
    if (c == '\v' || c == '\f') return ' ';
    return c;
  }
}

// Skips spaces and tabs of a control line; returns the first other character.
int PreprocessorUeberspringeLeer(PreprocessorState* s) {
  int c = PreprocessorGetChar(s);
  while (PPIstLeer(c)) c = PreprocessorGetChar(s);
  return c;
}

void PreprocessorUeberspringeZeile(PreprocessorState* s, int c) {
  while (c != '\n' && c != 0) c = PreprocessorGetChar(s);
}

void PreprocessorUnget(PreprocessorState* s, int c) {
  if (c == 0) return;  // the end of input stays the end
  if (s->mZurueckAnzahl >= PP_ZURUECK) {
    PreprocessorError(s, 66);
    return;
  }
  if (c == '\n' && s->mAusDatei) s->mZeile--;
  s->mZurueckDatei[s->mZurueckAnzahl] = s->mAusDatei;
  s->mZurueck[s->mZurueckAnzahl++] = c;
}

int PreprocessorPeekToken(PreprocessorState* s) {
  if (s->mZurueckAnzahl) return s->mZurueck[s->mZurueckAnzahl - 1];
  PreprocessorInput* e = s->mEingabe;
  if (!e) return -1;
  if (!e->mIstDatei) return e->mPos < e->mEnde ? static_cast<unsigned char>(*e->mPos) : -1;
  return PeekDatei(s, e);
}

int PreprocessorPeekPastEnd(PreprocessorState* s) {
  if (s->mZurueckAnzahl) return s->mZurueck[s->mZurueckAnzahl - 1];
  for (PreprocessorInput* e = s->mEingabe; e; e = e->mEltern) {
    if (!e->mIstDatei) {
      if (e->mPos < e->mEnde) return static_cast<unsigned char>(*e->mPos);
      continue;
    }
    int c = PeekDatei(s, e);
    if (c) return c;
    return 0;  // the file's end: what follows is not known yet
  }
  return 0;
}

int PreprocessorLiesName(PreprocessorState* s, int erstes) {
  int n = 0;
  s->mToken[n++] = static_cast<char>(erstes);
  for (;;) {
    PreprocessorInput* e = s->mEingabe;
    if (!s->mZurueckAnzahl && e) {
      const char* p = e->mPos;
      while (n < PP_PUFFER - 1 && PPIstNameFolge(static_cast<unsigned char>(*p)))
        s->mToken[n++] = *p++;
      e->mPos = const_cast<char*>(p);
    }
    if (n >= PP_PUFFER - 1) break;
    int c = PreprocessorPeekToken(s);
    if (!PPIstNameFolge(c)) break;
    PreprocessorRawChar(s);
    s->mToken[n++] = static_cast<char>(c);
  }
  s->mToken[n] = 0;
  return n;
}

int PreprocessorLiesZahl(PreprocessorState* s, int erstes) {
  // A number token: digits, letters, dots, and a sign right after an exponent letter.
  int n = 0;
  s->mToken[n++] = static_cast<char>(erstes);
  int vorher = erstes;
  while (n < PP_PUFFER - 1) {
    int c = PreprocessorPeekToken(s);
    bool exponent = (c == '+' || c == '-') &&
                    (vorher == 'e' || vorher == 'E' || vorher == 'p' || vorher == 'P');
    if (!(PPIstNameFolge(c) || c == '.' || exponent) || c == '$') break;
    PreprocessorRawChar(s);
    s->mToken[n++] = static_cast<char>(c);
    vorher = c;
  }
  s->mToken[n] = 0;
  return n;
}
