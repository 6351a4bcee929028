// Control lines: the directives, the conditional stack and macro expansion of control lines.
#include "preprocessor/preprocessor_intern.h"

#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

// The rest of a control line must be empty.
void PruefeRest(PreprocessorState* s) {
  int c = PreprocessorUeberspringeLeer(s);
  if (c != '\n' && c != 0) {
    PreprocessorError(s, 38);
    PreprocessorUeberspringeZeile(s, c);
  }
}

int SchiebeBedingung(PreprocessorState* s, const char* name, bool aktiv) {
  if (s->mBedingungTiefe >= PP_MAX_BEDINGUNGEN) {
    PreprocessorError(s, 54, name);
    return PP_SCHACHTELUNG;
  }
  s->mBedingung[++s->mBedingungTiefe] = aktiv ? 1 : 0;
  return PP_OK;
}

// #ifdef / #ifndef: true when the name is (or is not) a macro.
bool IstDefiniert(PreprocessorState* s, bool gesucht) {
  int c = PreprocessorUeberspringeLeer(s);
  if (!PPIstName(c) || c == PP_KEIN_MAKRO) {
    PreprocessorError(s, 4);
    PreprocessorUeberspringeZeile(s, c);
    return false;
  }
  PreprocessorLiesName(s, c);
  bool ergebnis = (PreprocessorFind(s, s->mToken) != nullptr) == gesucht;
  PruefeRest(s);
  return ergebnis;
}

int Bedingung(PreprocessorState* s, const char* name) {
  int ergebnis = SchiebeBedingung(s, name, s->mAusgabe);
  if (ergebnis != PP_OK) return ergebnis;
  if (!s->mAusgabe) {
    PreprocessorUeberspringeZeile(s, PreprocessorGetChar(s));
    return PP_OK;
  }
  bool wahr;
  if (name[2] == 'd') {
    wahr = IstDefiniert(s, true);
  } else if (name[2] == 'n') {
    wahr = IstDefiniert(s, false);
  } else {
    int wert = 0;
    ergebnis = PreprocessorEvalIf(s, &wert);
    wahr = wert != 0;
  }
  s->mAusgabe = wahr;
  if (wahr) s->mBedingung[s->mBedingungTiefe] |= 4;
  return ergebnis;
}

int Elif(PreprocessorState* s) {
  if (s->mBedingungTiefe == 0) {
    PreprocessorError(s, 0, "elif");
    PreprocessorUeberspringeZeile(s, PreprocessorGetChar(s));
    return PP_OK;
  }
  uint8_t& eintrag = s->mBedingung[s->mBedingungTiefe];
  if (eintrag & 2) {
    PreprocessorError(s, 1, "elif");
    PreprocessorUeberspringeZeile(s, PreprocessorGetChar(s));
    return PP_OK;
  }
  if (!(eintrag & 1) || (eintrag & 4)) {
    s->mAusgabe = false;
    PreprocessorUeberspringeZeile(s, PreprocessorGetChar(s));
    return PP_OK;
  }
  int wert = 0;
  int ergebnis = PreprocessorEvalIf(s, &wert);
  s->mAusgabe = wert != 0;
  if (wert) eintrag |= 4;
  return ergebnis;
}

void Else(PreprocessorState* s) {
  if (s->mBedingungTiefe == 0) {
    PreprocessorError(s, 0, "else");
    PreprocessorUeberspringeZeile(s, PreprocessorGetChar(s));
    return;
  }
  uint8_t& eintrag = s->mBedingung[s->mBedingungTiefe];
  if (eintrag & 2) PreprocessorError(s, 1, "else");
  eintrag |= 2;
  if (eintrag & 1) {
    s->mAusgabe = !(eintrag & 4);
    if (s->mAusgabe) eintrag |= 4;
  }
  PruefeRest(s);
}

void Endif(PreprocessorState* s) {
  if (s->mBedingungTiefe == 0) {
    PreprocessorError(s, 0, "endif");
    PreprocessorUeberspringeZeile(s, PreprocessorGetChar(s));
    return;
  }
  // No forced line directive here: up to four missing lines are written as newlines.
  s->mAusgabe = s->mBedingung[s->mBedingungTiefe--] & 1;
  PruefeRest(s);
}

void Undef(PreprocessorState* s) {
  int c = PreprocessorUeberspringeLeer(s);
  if (!PPIstName(c) || c == PP_KEIN_MAKRO) {
    PreprocessorError(s, 8);
    PreprocessorUeberspringeZeile(s, c);
    return;
  }
  PreprocessorLiesName(s, c);
  PreprocessorLookup(s, s->mToken, true);
  PruefeRest(s);
}

int Line(PreprocessorState* s) {
  int ergebnis = PreprocessorExpandLine(s, s->mArbeit, PP_PUFFER, false);
  if (ergebnis != PP_OK) return ergebnis;
  const char* p = s->mArbeit;
  while (*p == ' ') ++p;
  if (!PPIstZiffer(*p)) {
    PreprocessorError(s, 38);
    PreprocessorUeberspringeZeile(s, PreprocessorGetChar(s));
    return PP_OK;
  }
  // The whole number counts; the largest that fits the line counter is the largest C allows
  // (the counter stops there instead of running over).
  long long zeile = 0;
  bool zuGross = false;
  while (PPIstZiffer(*p)) {
    zeile = zeile * 10 + (*p - '0');
    if (zeile > INT_MAX) {
      zuGross = true;
      zeile = 0;
    }
    ++p;
  }
  if (zuGross) {
    PreprocessorError(s, 38);
    PreprocessorUeberspringeZeile(s, PreprocessorGetChar(s));
    return PP_OK;
  }
  while (*p == ' ') ++p;
  if (*p == '"') {
    const char* ende = std::strchr(p + 1, '"');
    if (ende && s->mDatei) {
      std::free(s->mDatei->mZeilenName);
      s->mDatei->mZeilenName = strndup(p + 1, static_cast<size_t>(ende - p - 1));
      p = ende + 1;
    }
    while (*p == ' ') ++p;
  }
  if (*p) PreprocessorError(s, 38);
  PreprocessorUeberspringeZeile(s, PreprocessorGetChar(s));
  s->mZeile = static_cast<int>(zeile);
  s->mResync = true;
  return PP_OK;
}

// #pragma and unknown directives are output lines of their own.
void SchreibeDirektive(PreprocessorState* s, const char* kopf, int c) {
  PreprocessorSyncZeile(s);
  for (const char* p = kopf; *p; ++p) PreprocessorPut(s, static_cast<unsigned char>(*p));
  while (c != '\n' && c != 0) {
    PreprocessorPut(s, c);
    c = PreprocessorGetChar(s);
  }
  PreprocessorPut(s, '\n');
  PPAusZeileWeiter(s);
}

}  // namespace

int PreprocessorExpandLine(PreprocessorState* s, char* aus, int kapazitaet, bool defined) {
  s->mImDirektiv = true;
  int n = 0;
  bool voll = false, leer = false;
  int ergebnis = PP_OK;
  auto hinzu = [&](int c) {
    if (n < kapazitaet - 1) aus[n++] = static_cast<char>(c);
    else voll = true;
  };
  auto hinzuText = [&](const char* t) {
    while (*t) hinzu(static_cast<unsigned char>(*t++));
  };
  int c = PreprocessorGetChar(s);
  while (c != '\n' && c != 0 && !voll) {
    if (PPIstLeer(c)) {
      leer = true;
      c = PreprocessorGetChar(s);
      continue;
    }
    if (leer && n > 0) hinzu(' ');
    leer = false;
    if (PPIstName(c)) {
      bool markiert = c == PP_KEIN_MAKRO;
      if (markiert) {
        c = PreprocessorPeekToken(s);
        if (!PPIstName(c) || c == PP_KEIN_MAKRO) {
          c = PreprocessorGetChar(s);
          continue;
        }
        PreprocessorRawChar(s);
      }
      PreprocessorLiesName(s, c);
      if (!markiert && defined && std::strcmp(s->mToken, "defined") == 0) {
        // The operand of defined is a name, not something to expand.
        hinzuText("defined");
        c = PreprocessorGetChar(s);
        while (PPIstLeer(c)) c = PreprocessorGetChar(s);
        bool klammer = c == '(';
        if (klammer) {
          hinzu('(');
          c = PreprocessorGetChar(s);
          while (PPIstLeer(c)) c = PreprocessorGetChar(s);
        }
        if (c == PP_KEIN_MAKRO) c = PreprocessorRawChar(s);
        if (PPIstName(c) && c != PP_KEIN_MAKRO) {
          PreprocessorLiesName(s, c);
          hinzu(' ');
          hinzuText(s->mToken);
          c = PreprocessorGetChar(s);
          while (PPIstLeer(c)) c = PreprocessorGetChar(s);
        }
        if (klammer && c == ')') {
          hinzu(')');
          c = PreprocessorGetChar(s);
        }
        continue;
      }
      PreprocessorSymbol* sym = markiert ? nullptr : PreprocessorFind(s, s->mToken);
      if (sym) {
        s->mVorher = n > 0 ? static_cast<unsigned char>(aus[n - 1]) : 0;
        int r = PreprocessorExpand(s, sym);
        if (r > 0) {
          ergebnis = r;
          break;
        }
        if (r < 0) hinzuText(sym->mName);
      } else {
        hinzuText(s->mToken);
      }
    } else if (PPIstZiffer(c) || (c == '.' && PPIstZiffer(PreprocessorPeekToken(s)))) {
      PreprocessorLiesZahl(s, c);
      hinzuText(s->mToken);
    } else if (c == '"' || c == '\'') {
      int quote = c;
      hinzu(c);
      c = PreprocessorRawChar(s);
      while (c != quote && c != '\n' && c != 0) {
        hinzu(c);
        if (c == '\\') {
          c = PreprocessorRawChar(s);
          if (c == '\n' || c == 0) break;
          hinzu(c);
        }
        c = PreprocessorRawChar(s);
      }
      if (c != quote) continue;  // unterminated: the newline ends the line
      hinzu(c);
    } else if (c != PP_PASTE && c != PP_STRINGIZE && c != PP_ESCAPE) {
      hinzu(c);
    }
    c = PreprocessorGetChar(s);
  }
  s->mImDirektiv = false;
  aus[n] = 0;
  if (voll) {
    PreprocessorError(s, 64);
    PreprocessorUeberspringeZeile(s, c);
    return PP_UEBERLAUF;
  }
  if (ergebnis != PP_OK) {
    PreprocessorUeberspringeZeile(s, PreprocessorGetChar(s));
    return ergebnis;
  }
  // The newline stays unread, so messages about this line carry its number.
  PreprocessorUnget(s, c);
  return PP_OK;
}

namespace {
int Direktive(PreprocessorState* s);
template <typename Ist>
int Ausfuehren(PreprocessorState* s, const char* name, Ist ist);
}

int PreprocessorDirective(PreprocessorState* s, int* zeilen) {
  int start = s->mZeile;
  s->mInSteuerzeile = true;
  int ergebnis = Direktive(s);
  s->mInSteuerzeile = false;
  if (zeilen) *zeilen = s->mZeile - start;  // input lines the control line took
  return ergebnis;
}

namespace {

int Direktive(PreprocessorState* s) {
  bool ausMakro = !s->mAusDatei;
  int c = PreprocessorUeberspringeLeer(s);
  if (c == '\n' || c == 0) return PP_OK;  // the null directive

  char name[PP_PUFFER];
  name[0] = 0;
  if (PPIstZiffer(c)) {
    PreprocessorUnget(s, c);
    std::strcpy(name, "line");
  } else if (PPIstName(c) && c != PP_KEIN_MAKRO) {
    PreprocessorLiesName(s, c);
    std::memcpy(name, s->mToken, sizeof(name));
  } else {
    PreprocessorUnget(s, c);
  }
  if (ausMakro) PreprocessorError(s, 36, name);

  auto ist = [&](const char* wort) { return std::strcmp(name, wort) == 0; };
  const int tiefeVorher = s->mBedingungTiefe;
  PreprocessorInput* datei = s->mDatei;
  int ergebnis = Ausfuehren(s, name, ist);
  if (!ausMakro) PreprocessorWaechterDirektive(s, datei, name, tiefeVorher);
  return ergebnis;
}

template <typename Ist>
int Ausfuehren(PreprocessorState* s, const char* name, Ist ist) {
  int c;
  int ergebnis = PP_OK;
  if (ist("if") || ist("ifdef") || ist("ifndef")) {
    ergebnis = Bedingung(s, name);
  } else if (ist("elif")) {
    ergebnis = Elif(s);
  } else if (ist("else")) {
    Else(s);
  } else if (ist("endif")) {
    Endif(s);
  } else if (!s->mAusgabe) {
    PreprocessorUeberspringeZeile(s, PreprocessorGetChar(s));
  } else if (ist("define")) {
    ergebnis = PreprocessorDefine(s);
  } else if (ist("undef")) {
    Undef(s);
  } else if (ist("include")) {
    ergebnis = PreprocessorInclude(s);
  } else if (ist("line")) {
    ergebnis = Line(s);
  } else if (ist("pragma")) {
    SchreibeDirektive(s, "#pragma ", PreprocessorUeberspringeLeer(s));
  } else if (ist("error")) {
    PreprocessorError(s, 2);
    PreprocessorUeberspringeZeile(s, PreprocessorGetChar(s));
  } else if (ist("assert")) {
    int wert = 0;
    ergebnis = PreprocessorEvalIf(s, &wert);
    if (ergebnis == PP_OK && !wert) PreprocessorError(s, 3);
  } else {
    // Unknown directives (#version, #extension) pass through for the shader compiler.
    if (s->mWarneUnbekannt) PreprocessorError(s, 37, name);
    char kopf[PP_PUFFER + 3];
    c = PreprocessorUeberspringeLeer(s);
    std::snprintf(kopf, sizeof(kopf), name[0] && c != '\n' && c != 0 ? "#%s " : "#%s", name);
    SchreibeDirektive(s, kopf, c);
  }
  return ergebnis;
}

}  // namespace
