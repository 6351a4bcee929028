// The main loop: copies text to the output line by line, expands macros, pastes tokens,
// keeps output line numbers in step with the input and follows function bodies.
#include "preprocessor/preprocessor_intern.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kNamensLaenge = 50;

// Writes a character of a token, with the space owed before it.
void Ausgabe(PreprocessorState* s, int c) {
  if (s->mLeerzeichen) {
    s->mLeerzeichen = false;
    if (s->mLetztesZeichen != '\n' && s->mLetztesZeichen != 0) PreprocessorPut(s, ' ');
  }
  PreprocessorPut(s, c);
}

void AusgabeText(PreprocessorState* s, const char* text) {
  if (!*text) return;
  Ausgabe(s, static_cast<unsigned char>(*text++));
  while (*text) PreprocessorPut(s, static_cast<unsigned char>(*text++));
}

bool InitAusgenommen(const PreprocessorState* s, const char* name) {
  for (int i = 0; i < s->mInitAusnahmeAnzahl; ++i)
    if (std::strcmp(s->mInitAusnahmen[i], name) == 0) return true;
  return false;
}

void FunktionsStart(PreprocessorState* s) {
  std::memcpy(s->mFunktion, s->mFktKandidat, sizeof(s->mFunktion));
  s->mFunktionZeile = s->mZeile;
  if (s->mMeldeFunktionen)
    PreprocessorMelde(s, "#> Function defined at line %d: %s <#\n", s->mFunktionZeile, s->mFunktion);
  if (s->mInitText && !InitAusgenommen(s, s->mFunktion)) {
    // Read next: the init text, then an inner "{" that the body's own "}" closes.
    PreprocessorPushText(s, "{", 1, "__brace__", 0);
    PreprocessorPushText(s, s->mInitText, static_cast<int>(std::strlen(s->mInitText)),
                         "__init_func__", 0);
    s->mInitKlammer = true;
  }
}

// Follows brackets and recognises a function start: name ( ... ) { at brace depth 0.
void Verfolge(PreprocessorState* s, int c) {
  switch (c) {
    case '(':
      if (s->mFktZustand == 1 && s->mRund == 0) s->mFktZustand = 2;
      else if (s->mFktZustand != 2) s->mFktZustand = 0;
      s->mRund++;
      break;
    case ')':
      s->mRund--;
      if (s->mFktZustand == 2 && s->mRund == 0) s->mFktZustand = 3;
      break;
    case '[': s->mEckig++; if (s->mFktZustand != 2) s->mFktZustand = 0; break;
    case ']': s->mEckig--; if (s->mFktZustand != 2) s->mFktZustand = 0; break;
    case '{':
      s->mGeschweift++;
      if (s->mFktZustand == 3 && s->mGeschweift == 1) FunktionsStart(s);
      s->mFktZustand = 0;
      break;
    case '}':
      s->mGeschweift--;
      if (s->mInitKlammer && s->mGeschweift == 1) {
        s->mInitKlammer = false;
        PreprocessorPut(s, '}');
        s->mGeschweift = 0;
      }
      if (s->mGeschweift == 0) s->mFunktion[0] = 0;
      s->mFktZustand = 0;
      break;
    default:
      if (s->mFktZustand != 2) s->mFktZustand = 0;
      break;
  }
}

void VerfolgeName(PreprocessorState* s, const char* name) {
  if (s->mGeschweift == 0 && s->mRund == 0) {
    s->mFktZustand = 1;
    std::snprintf(s->mFktKandidat, sizeof(s->mFktKandidat), "%.*s", kNamensLaenge, name);
  } else if (s->mFktZustand != 2) {
    s->mFktZustand = 0;
  }
}

void Zeichen(PreprocessorState* s, int c) {
  Ausgabe(s, c);
  Verfolge(s, c);
}

// Is the next character a paste marker? Only macro texts carry markers (the reader drops them
// from files), so the search never enters a file.
bool FolgtPaste(const PreprocessorState* s) {
  if (s->mZurueckAnzahl) return false;
  for (const PreprocessorInput* e = s->mEingabe; e && !e->mIstDatei; e = e->mEltern)
    if (e->mPos < e->mEnde) return static_cast<unsigned char>(*e->mPos) == PP_PASTE;
  return false;
}

int SchiebeZurueck(PreprocessorState* s, const char* text, int verschachtelung = 0) {
  return PreprocessorPushText(s, text, static_cast<int>(std::strlen(text)), "", verschachtelung)
             ? PP_OK
             : PP_SPEICHER;
}

// name ## right: the joined text is read again. The right operand comes from the same macro
// text; at its end there is none and the left token stays alone.
int Paste(PreprocessorState* s, bool links_markiert) {
  char links[PP_PUFFER + 1];
  int n = 0;
  if (links_markiert) links[n++] = static_cast<char>(PP_KEIN_MAKRO);
  std::snprintf(links + n, sizeof(links) - static_cast<size_t>(n), "%s", s->mToken);
  PreprocessorGetChar(s);  // the paste marker
  int c = PreprocessorPeekToken(s);
  while (c >= 0 && PPIstLeer(c)) {
    PreprocessorRawChar(s);
    c = PreprocessorPeekToken(s);
  }
  if (c < 0) return SchiebeZurueck(s, links);
  bool markiert = c == PP_KEIN_MAKRO;
  if (markiert) {
    PreprocessorRawChar(s);
    c = PreprocessorPeekToken(s);
  }
  const char* rechts = nullptr;
  const PreprocessorSymbol* expandiert = nullptr;
  if (PPIstName(c) && c != PP_KEIN_MAKRO) {
    PreprocessorRawChar(s);
    PreprocessorLiesName(s, c);
    rechts = s->mToken;
    if (s->mPasteExpandieren && !markiert) {
      PreprocessorSymbol* sym = PreprocessorFind(s, s->mToken);
      if (sym && sym->mParameter == -1 && sym->mText) {
        rechts = sym->mText;
        expandiert = sym;
      }
    }
  } else if (PPIstZiffer(c) || c == '.') {
    PreprocessorRawChar(s);
    PreprocessorLiesZahl(s, c);
    rechts = s->mToken;
  }
  if (!rechts) {
    if (c > 0 && c < 127 && std::isprint(c)) PreprocessorError(s, 33, nullptr, nullptr, c);
    else PreprocessorError(s, 34, nullptr, nullptr, c);
    return SchiebeZurueck(s, links);
  }
  const char* ohneMarke = links_markiert ? links + 1 : links;
  size_t laenge = std::strlen(ohneMarke) + std::strlen(rechts);
  if (laenge >= PP_PUFFER) {
    PreprocessorError(s, 63, ohneMarke);
    return PP_UEBERLAUF;
  }
  char verbunden[PP_PUFFER];
  size_t linksLaenge = std::strlen(ohneMarke);
  std::memcpy(verbunden, ohneMarke, linksLaenge);
  std::memcpy(verbunden + linksLaenge, rechts, laenge - linksLaenge);
  verbunden[laenge] = 0;
  // The right operand's text is an expansion like any other: macros pasting each other's texts
  // in a cycle would otherwise go on without end.
  int verschachtelung = 0;
  if (expandiert) {
    verschachtelung = PreprocessorZaehleExpansion(s, expandiert->mName);
    if (verschachtelung == 0) return PP_OK;
  }
  return SchiebeZurueck(s, verbunden, verschachtelung);
}

int Bezeichner(PreprocessorState* s, int c) {
  bool markiert = c == PP_KEIN_MAKRO;
  if (markiert) {
    c = PreprocessorPeekToken(s);
    if (!PPIstName(c) || c == PP_KEIN_MAKRO) return PP_OK;  // a lone marker
    PreprocessorRawChar(s);
  }
  int n = PreprocessorLiesName(s, c);
  if (n >= PP_PUFFER - 1 && PPIstNameFolge(PreprocessorPeekToken(s))) {
    // Longer than any macro name: copied as it is.
    AusgabeText(s, s->mToken);
    while (PPIstNameFolge(PreprocessorPeekToken(s))) PreprocessorPut(s, PreprocessorRawChar(s));
    Verfolge(s, 0);
    return PP_OK;
  }
  if (FolgtPaste(s)) return Paste(s, markiert);
  if (!markiert) {
    if (PreprocessorSymbol* sym = PreprocessorFind(s, s->mToken)) {
      s->mVorher = s->mLeerzeichen ? ' ' : s->mLetztesZeichen;
      int ergebnis = PreprocessorExpand(s, sym);
      if (ergebnis >= 0) return ergebnis;
      AusgabeText(s, sym->mName);
      VerfolgeName(s, sym->mName);
      return PP_OK;
    }
  }
  AusgabeText(s, s->mToken);
  VerfolgeName(s, s->mToken);
  return PP_OK;
}

int Zahl(PreprocessorState* s, int c) {
  PreprocessorLiesZahl(s, c);
  if (FolgtPaste(s)) return Paste(s, false);
  const char* t = s->mToken;
  if (!s->mAnfuehrungIgnorieren && t[0] == '0' && PPIstZiffer(t[1]) && !std::strpbrk(t, ".eExX")) {
    for (const char* p = t; PPIstZiffer(*p); ++p) {
      if (*p == '8' || *p == '9') {
        PreprocessorError(s, 46);
        break;
      }
    }
  }
  AusgabeText(s, t);
  Verfolge(s, 0);
  return PP_OK;
}

int Literal(PreprocessorState* s, int quote) {
  Ausgabe(s, quote);
  for (;;) {
    int c = PreprocessorRawChar(s);
    if (c == quote) break;
    if (c == '\n' || c == 0) {
      PreprocessorError(s, 26);
      return PP_STRING;
    }
    PreprocessorPut(s, c);
    if (c == '\\') {
      c = PreprocessorRawChar(s);
      if (c == '\n' || c == 0) {
        PreprocessorError(s, 26);
        return PP_STRING;
      }
      PreprocessorPut(s, c);
    }
  }
  PreprocessorPut(s, quote);
  Verfolge(s, 0);
  return PP_OK;
}

void ZeilenEnde(PreprocessorState* s) {
  s->mLeerzeichen = false;
  PreprocessorPut(s, '\n');
  PPAusZeileWeiter(s);
}

// The characters of one output line, up to its newline.
int Zeile(PreprocessorState* s, int c) {
  for (;;) {
    int ergebnis = PP_OK;
    switch (gPreprocessorKlasse[c & 255]) {
      case PK_NUL:
        ZeilenEnde(s);
        return PP_OK;
      case PK_LEER:
        s->mLeerzeichen = true;
        break;
      case PK_NAME:
        ergebnis = Bezeichner(s, c);
        break;
      case PK_ZIFFER:
        ergebnis = Zahl(s, c);
        break;
      case PK_PUNKT:
        if (PPIstZiffer(PreprocessorPeekToken(s))) ergebnis = Zahl(s, c);
        else Zeichen(s, c);
        break;
      case PK_ANFUEHRUNG:
        if (s->mAnfuehrungIgnorieren) Zeichen(s, c);
        else ergebnis = Literal(s, c);
        break;
      default:
        if (c == '\n') {
          ZeilenEnde(s);
          return PP_OK;
        }
        // Markers of macro texts never reach the output; the escape byte read from a file is text.
        if (s->mAusDatei || (c != PP_PASTE && c != PP_STRINGIZE && c != PP_ESCAPE)) Zeichen(s, c);
        break;
    }
    if (ergebnis != PP_OK) return ergebnis;
    c = PreprocessorGetChar(s);
  }
}

// Skips a line of a false branch; literals are passed over so that a quoted "/*" starts nothing.
void UeberspringeZeile(PreprocessorState* s, int c) {
  while (c != '\n' && c != 0) {
    if ((c == '"' || c == '\'') && !s->mAnfuehrungIgnorieren) {
      int quote = c;
      do {
        c = PreprocessorRawChar(s);
        if (c == '\\') c = PreprocessorRawChar(s) ? 1 : 0;
      } while (c != quote && c != '\n' && c != 0);
      if (c != quote) continue;
    }
    c = PreprocessorGetChar(s);
  }
}

}  // namespace

void PreprocessorPut(PreprocessorState* s, int c) {
  s->mLetztesZeichen = c;
  if (!s->mAusgabeAn) return;
  if (s->mSchreibe) s->mSchreibe(c, s->mNutzer);
  else std::putchar(c);
}

void PreprocessorSyncZeile(PreprocessorState* s) {
  if (!s->mZeilenAngaben) return;
  const int zeile = s->mZeile;
  // The gap in a wider type: the two counts may lie the whole int range apart. Up to four
  // missing lines are caught up with newlines, anything else takes a line directive.
  const long long luecke = static_cast<long long>(zeile) - s->mAusZeile;
  if (s->mResync || luecke >= 5 || luecke < 0) {
    if (s->mKommentareBehalten) PreprocessorPut(s, '\n');
    char text[PP_PUFFER + 40];
    std::snprintf(text, sizeof(text), s->mZeileSchluesselwort ? "#line %d" : "# %d", zeile);
    for (const char* p = text; *p; ++p) PreprocessorPut(s, static_cast<unsigned char>(*p));
    const char* name = PreprocessorDateiName(s);
    if (name && (!s->mLetzterName || std::strcmp(name, s->mLetzterName) != 0)) {
      PreprocessorPut(s, ' ');
      PreprocessorPut(s, '"');
      for (const char* p = name; *p; ++p) PreprocessorPut(s, static_cast<unsigned char>(*p));
      PreprocessorPut(s, '"');
      std::free(s->mLetzterName);
      s->mLetzterName = strdup(name);
    }
    PreprocessorPut(s, '\n');
    s->mAusZeile = zeile;
  } else {
    for (long long i = 0; i < luecke; ++i) {
      PreprocessorPut(s, '\n');
      PPAusZeileWeiter(s);
    }
  }
  s->mResync = false;
}

int PreprocessorMainLoop(PreprocessorState* s) {
  if (s->mBanner) PreprocessorMelde(s, "lumocpp shader preprocessor 1.0, built %s\n", __DATE__);
  int ergebnis = PP_OK;
  char einrueckung[PP_PUFFER];
  int zeilen = 0;
  while (ergebnis == PP_OK) {
    int n = 0;
    int c = PreprocessorGetChar(s);
    while (PPIstLeer(c)) {
      if (n < PP_PUFFER - 1) einrueckung[n++] = static_cast<char>(c == PP_TRENNER ? ' ' : c);
      c = PreprocessorGetChar(s);
    }
    if (c == 0) break;
    if (c == '#') {
      ergebnis = PreprocessorDirective(s, &zeilen);
      continue;
    }
    if (c == '\n') continue;
    PreprocessorWaechterZeile(s);
    if (!s->mAusgabe) {
      UeberspringeZeile(s, c);
      continue;
    }
    PreprocessorSyncZeile(s);
    if (s->mEinrueckungBehalten)
      for (int i = 0; i < n; ++i) PreprocessorPut(s, static_cast<unsigned char>(einrueckung[i]));
    s->mLeerzeichen = false;
    ergebnis = Zeile(s, c);
  }
  if (s->mWarneKlammern) {
    if (s->mEckig) PreprocessorError(s, 49, nullptr, nullptr, s->mEckig);
    if (s->mRund) PreprocessorError(s, 50, nullptr, nullptr, s->mRund);
    if (s->mGeschweift) PreprocessorError(s, 51, nullptr, nullptr, s->mGeschweift);
  }
  if (s->mMakrosAusgeben) PreprocessorDumpMacros(s);
  return ergebnis;
}
