// The macro table, #define with its encoded replacement lists, expansion with arguments,
// stringizing, the builtins, the recursion guard and the macro dump.
#include "preprocessor/preprocessor_intern.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr int kMaxParameter = 31;
constexpr int kMaxRekursion = 1000;

PreprocessorSymbol gGeloescht{};  // answer of a delete that found the name

unsigned NamensSumme(const char* name, size_t* laenge) {
  unsigned summe = 0;
  const char* p = name;
  for (; *p; ++p) summe += static_cast<unsigned char>(*p);
  *laenge = static_cast<size_t>(p - name);
  return summe;
}

unsigned Eimer(unsigned summe, size_t laenge) {
  return (summe + static_cast<unsigned>(laenge)) % PP_MAKRO_EIMER;
}

void FreiSymbol(PreprocessorSymbol* sym) {
  std::free(sym->mText);
  std::free(sym);
}

// Collects the encoded replacement list.
struct Kodierer {
  char* aus = nullptr;
  int n = 0;
  bool voll = false;
  bool funktion = false;

  void Byte(int b) {
    if (n >= PP_PUFFER - 1) {
      voll = true;
      return;
    }
    aus[n++] = static_cast<char>(b);
  }
  // Bytes that the expansion would read as markers are escaped in a function-like body.
  void Zeichen(int c) {
    unsigned char b = static_cast<unsigned char>(c);
    if (funktion && (b == PP_ESCAPE || b == PP_STRINGIZE || b == PP_PASTE ||
                     (b >= PP_PARAM0 && b <= PP_LITERAL_PARAM)))
      Byte(PP_ESCAPE);
    Byte(b);
  }
  void Text(const char* t) {
    while (*t) Zeichen(*t++);
  }
};

int ParameterNummer(const char* name, const char* const* parameter, int anzahl) {
  for (int i = 0; i < anzahl; ++i)
    if (std::strcmp(name, parameter[i]) == 0) return i;
  return -1;
}

// Puts a stringized argument into the expansion buffer.
void Stringize(const char* arg, Kodierer& k) {
  k.Byte('"');
  for (const char* p = arg; *p; ++p) {
    unsigned char c = static_cast<unsigned char>(*p);
    if (c == PP_KEIN_MAKRO) continue;
    if (c == PP_TRENNER) c = ' ';
    if (c == '"' || c == '\\') k.Byte('\\');
    k.Byte(c);
  }
  k.Byte('"');
}

}  // namespace

bool PreprocessorVerbindet(int a, int b) {
  if (a <= 0 || b <= 0) return false;
  auto wort = [](int c) { return PPIstNameFolge(c) || c == PP_KEIN_MAKRO; };
  auto op = [](int c) { return c < 128 && std::strchr("+-*/%&|^=<>!:#.", c) != nullptr; };
  // A dot continues a number on either side; otherwise it is an operator character.
  if ((PPIstZiffer(a) && b == '.') || (a == '.' && PPIstZiffer(b))) return true;
  return (wort(a) && wort(b)) || (op(a) && op(b));
}

PreprocessorSymbol* PreprocessorFind(PreprocessorState* s, const char* name) {
  size_t laenge;
  unsigned summe = NamensSumme(name, &laenge);
  for (PreprocessorSymbol* sym = s->mMakros[Eimer(summe, laenge)]; sym; sym = sym->mNaechster)
    if (sym->mHash == summe && std::strcmp(sym->mName, name) == 0) return sym;
  return nullptr;
}

PreprocessorSymbol* PreprocessorLookup(PreprocessorState* s, const char* name, bool loeschen) {
  size_t laenge;
  unsigned summe = NamensSumme(name, &laenge);
  PreprocessorSymbol** kette = &s->mMakros[Eimer(summe, laenge)];
  bool gefunden = false;
  while (*kette) {
    int vergleich = std::strcmp((*kette)->mName, name);
    if (vergleich == 0) {
      PreprocessorSymbol* alt = *kette;
      *kette = alt->mNaechster;
      FreiSymbol(alt);
      gefunden = true;
      continue;
    }
    if (vergleich > 0) break;
    kette = &(*kette)->mNaechster;
  }
  if (loeschen) return gefunden ? &gGeloescht : nullptr;

  auto* sym = static_cast<PreprocessorSymbol*>(std::calloc(1, sizeof(PreprocessorSymbol) + laenge + 1));
  if (!sym) {
    PreprocessorError(s, 65);
    return nullptr;
  }
  sym->mName = reinterpret_cast<char*>(sym + 1);
  std::memcpy(sym->mName, name, laenge + 1);
  sym->mHash = summe;
  sym->mParameter = -1;
  sym->mNaechster = *kette;
  *kette = sym;
  return sym;
}

namespace {

constexpr int kSyntax = -1;  // a syntax error, reported and its line skipped

struct Definition {
  char name[PP_PUFFER];
  const char* parameter[kMaxParameter + 1];
  int anzahl = -1;  // -1 object-like
};

// The parameter list after "(": names separated by commas, kept in the parameter area.
int LiesParameter(PreprocessorState* s, Definition& d) {
  d.anzahl = 0;
  int belegt = 0;
  int c = PreprocessorUeberspringeLeer(s);
  if (c == ')') return PP_OK;
  for (;;) {
    if (!PPIstName(c) || c == PP_KEIN_MAKRO) {
      PreprocessorError(s, 6);
      PreprocessorUeberspringeZeile(s, c);
      return kSyntax;
    }
    int laenge = PreprocessorLiesName(s, c);
    if (d.anzahl >= kMaxParameter) {
      PreprocessorError(s, 58);
      return PP_ZU_VIELE_ARGUMENTE;
    }
    if (belegt + laenge + 1 > PP_PARAMETERBEREICH) {
      PreprocessorError(s, 59);
      return PP_UEBERLAUF;
    }
    std::memcpy(s->mParameter + belegt, s->mToken, static_cast<size_t>(laenge) + 1);
    d.parameter[d.anzahl++] = s->mParameter + belegt;
    belegt += laenge + 1;
    c = PreprocessorUeberspringeLeer(s);
    if (c == ')') return PP_OK;
    if (c != ',') {
      PreprocessorError(s, 6);
      PreprocessorUeberspringeZeile(s, c);
      return kSyntax;
    }
    c = PreprocessorUeberspringeLeer(s);
  }
}

void KodiereName(const Definition& d, const char* name, Kodierer& k) {
  int nummer = ParameterNummer(name, d.parameter, d.anzahl);
  if (nummer >= 0) {
    k.Byte(PP_PARAM0 + nummer);
    return;
  }
  if (std::strcmp(name, d.name) == 0) k.Byte(PP_KEIN_MAKRO);  // never expands itself again
  k.Text(name);
}

// "#": "##" pastes; in a function-like macro "#" before a parameter stringizes it.
void KodiereRaute(PreprocessorState* s, const Definition& d, Kodierer& k) {
  if (PreprocessorPeekToken(s) == '#') {
    PreprocessorGetChar(s);
    if (k.n > 0 && k.aus[k.n - 1] == ' ') k.n--;
    k.Byte(PP_PASTE);
    return;
  }
  if (!k.funktion) {
    k.Byte('#');
    return;
  }
  int c = PreprocessorUeberspringeLeer(s);
  if (!PPIstName(c)) {
    k.Byte('#');
    PreprocessorUnget(s, c);
    return;
  }
  PreprocessorLiesName(s, c);
  int nummer = ParameterNummer(s->mToken, d.parameter, d.anzahl);
  if (nummer >= 0) {
    k.Byte(PP_STRINGIZE);
    k.Byte(PP_PARAM0 + nummer);
    return;
  }
  k.Byte('#');
  k.Byte(' ');
  KodiereName(d, s->mToken, k);
}

// A literal is copied whole; one whose whole content is a parameter name takes the argument.
// Returns the character that ended an unterminated literal, or -1 when it was closed.
int KodiereLiteral(PreprocessorState* s, int quote, const Definition& d, Kodierer& k) {
  char inhalt[PP_PUFFER];
  int n = 0;
  int c = PreprocessorRawChar(s);
  bool zu = false;
  while (c != 0 && c != '\n') {
    if (c == quote) {
      zu = true;
      break;
    }
    if (n < PP_PUFFER - 2) inhalt[n++] = static_cast<char>(c);
    if (c == '\\') {
      c = PreprocessorRawChar(s);
      if (c == 0 || c == '\n') break;
      if (n < PP_PUFFER - 2) inhalt[n++] = static_cast<char>(c);
    }
    c = PreprocessorRawChar(s);
  }
  inhalt[n] = 0;
  int nummer = zu ? ParameterNummer(inhalt, d.parameter, d.anzahl) : -1;
  k.Byte(quote);
  if (nummer >= 0) {
    k.Byte(PP_LITERAL_PARAM);
    k.Byte(PP_PARAM0 + nummer);
  } else {
    k.Text(inhalt);
  }
  if (!zu) return c;
  k.Byte(quote);
  return -1;
}

// Encodes the replacement list up to the end of the line; returns the character that ended it.
int Kodiere(PreprocessorState* s, int c, const Definition& d, Kodierer& k) {
  bool leer = false;
  while (PPIstLeer(c)) c = PreprocessorGetChar(s);
  while (c != '\n' && c != 0 && !k.voll) {
    if (PPIstLeer(c)) {
      leer = true;
      c = PreprocessorGetChar(s);
      continue;
    }
    if (leer && k.n > 0 && static_cast<unsigned char>(k.aus[k.n - 1]) != PP_PASTE) k.Byte(' ');
    leer = false;
    if (PPIstName(c)) {
      PreprocessorLiesName(s, c);
      KodiereName(d, s->mToken, k);
    } else if (PPIstZiffer(c) || (c == '.' && PPIstZiffer(PreprocessorPeekToken(s)))) {
      PreprocessorLiesZahl(s, c);  // a number is one token: "1e5" holds no parameter "e"
      k.Text(s->mToken);
    } else if (c == '#') {
      KodiereRaute(s, d, k);
    } else if (c == '"' || c == '\'') {
      int ende = KodiereLiteral(s, c, d, k);
      if (ende >= 0) {
        c = ende;
        continue;
      }
    } else if (c == '\\') {
      k.Byte('\\');
      int naechstes = PreprocessorRawChar(s);
      if (naechstes == 0 || naechstes == '\n') {
        c = naechstes;
        continue;
      }
      k.Zeichen(naechstes);
    } else {
      k.Zeichen(c);
    }
    c = PreprocessorGetChar(s);
  }
  return c;
}

// Stores the definition; the old text is compared before the new one replaces it.
int Speichere(PreprocessorState* s, const Definition& d, const Kodierer& k) {
  char* text = static_cast<char*>(std::malloc(static_cast<size_t>(k.n) + 1));
  if (!text) {
    PreprocessorError(s, 65);
    return PP_SPEICHER;
  }
  std::memcpy(text, k.aus, static_cast<size_t>(k.n));
  text[k.n] = 0;
  PreprocessorSymbol* sym = PreprocessorFind(s, d.name);
  if (sym) {
    if (sym->mParameter != d.anzahl || !sym->mText || std::strcmp(sym->mText, text) != 0)
      PreprocessorError(s, 7, d.name);
    std::free(sym->mText);
  } else {
    sym = PreprocessorLookup(s, d.name, false);
    if (!sym) {
      std::free(text);
      return PP_SPEICHER;
    }
  }
  sym->mText = text;
  sym->mParameter = d.anzahl;
  return PP_OK;
}

}  // namespace

int PreprocessorDefine(PreprocessorState* s) {
  int c = PreprocessorUeberspringeLeer(s);
  if (!PPIstName(c) || c == PP_KEIN_MAKRO) {
    PreprocessorError(s, 6);
    PreprocessorUeberspringeZeile(s, c);
    return PP_OK;
  }
  PreprocessorLiesName(s, c);
  Definition d;
  std::memcpy(d.name, s->mToken, sizeof(d.name));

  c = PreprocessorGetChar(s);
  if (c == '(') {  // a parameter list only right after the name
    int ergebnis = LiesParameter(s, d);
    if (ergebnis == kSyntax) return PP_OK;
    if (ergebnis != PP_OK) return ergebnis;
    c = PreprocessorGetChar(s);
  }

  Kodierer k;
  k.aus = s->mArbeit;
  k.funktion = d.anzahl >= 0;
  c = Kodiere(s, c, d, k);
  if (k.voll) {
    PreprocessorError(s, 64);
    PreprocessorUeberspringeZeile(s, c);
    return PP_UEBERLAUF;
  }
  while (k.n > 0 && k.aus[k.n - 1] == ' ') k.n--;
  // The newline is read after the messages, so they carry this line's number.
  PreprocessorUnget(s, c);
  int ergebnis = Speichere(s, d, k);
  PreprocessorUeberspringeZeile(s, PreprocessorGetChar(s));
  return ergebnis;
}

int PreprocessorDefineText(PreprocessorState* s, const char* name, const char* wert, bool system) {
  // The definition is read like a control line from a short text of its own.
  size_t nl = std::strlen(name), wl = std::strlen(wert);
  char* zeile = static_cast<char*>(std::malloc(nl + wl + 3));
  if (!zeile) {
    PreprocessorError(s, 65);
    return PP_SPEICHER;
  }
  std::memcpy(zeile, name, nl);
  zeile[nl] = ' ';
  std::memcpy(zeile + nl + 1, wert, wl);
  zeile[nl + 1 + wl] = '\n';
  PreprocessorInput* vorher = s->mEingabe;
  bool ok = PreprocessorPushText(s, zeile, static_cast<int>(nl + wl + 2), "", 0);
  std::free(zeile);
  if (!ok) return PP_SPEICHER;
  PreprocessorInput* eigen = s->mEingabe;
  int ergebnis = PreprocessorDefine(s);
  // Drop what is left of the text (only it, nothing below).
  for (PreprocessorInput* e = s->mEingabe; e && e != vorher; e = s->mEingabe) {
    bool letzter = e == eigen;
    PreprocessorPop(s);
    if (letzter) break;
  }
  s->mZurueckAnzahl = 0;
  if (ergebnis == PP_OK && system) {
    if (PreprocessorSymbol* sym = PreprocessorFind(s, name)) sym->mSystem = true;
  }
  return ergebnis;
}

namespace {

// Collects the arguments of a function-like macro into the parameter area.
int SammleArgumente(PreprocessorState* s, const char** args, int* anzahl) {
  int belegt = 0, tiefe = 0, n = 0;
  args[0] = s->mParameter;
  auto hinzu = [&](int c) {
    if (belegt >= PP_PARAMETERBEREICH - 1) return false;
    s->mParameter[belegt++] = static_cast<char>(c);
    return true;
  };
  auto leerAmEnde = [&]() {
    return belegt == static_cast<int>(args[n] - s->mParameter) || s->mParameter[belegt - 1] == ' ';
  };
  for (;;) {
    int c = PreprocessorGetChar(s);
    if (c == 0) {
      PreprocessorError(s, 10);
      return PP_EOF_ARGUMENT;
    }
    if (c == '\n') {
      if (s->mImDirektiv) {
        PreprocessorUnget(s, c);
        PreprocessorError(s, 10);
        break;
      }
      s->mResync = true;
      c = ' ';
    }
    if (PPIstLeer(c)) {
      if (!leerAmEnde() && !hinzu(' ')) goto ueberlauf;
      continue;
    }
    if (c == '(') {
      tiefe++;
    } else if (c == ')') {
      if (tiefe == 0) break;
      tiefe--;
    } else if (c == ',' && tiefe == 0) {
      while (belegt > args[n] - s->mParameter && s->mParameter[belegt - 1] == ' ') belegt--;
      if (!hinzu(0)) goto ueberlauf;
      if (++n >= 32) {
        PreprocessorError(s, 61);
        return PP_ZU_VIELE_ARGUMENTE;
      }
      args[n] = s->mParameter + belegt;
      continue;
    } else if (c == '"' || c == '\'') {
      if (!hinzu(c)) goto ueberlauf;
      int d = PreprocessorRawChar(s);
      while (d != 0 && d != '\n' && d != c) {
        if (!hinzu(d)) goto ueberlauf;
        if (d == '\\') {
          d = PreprocessorRawChar(s);
          if (d == 0 || d == '\n') break;
          if (!hinzu(d)) goto ueberlauf;
        }
        d = PreprocessorRawChar(s);
      }
      if (d == c) {
        if (!hinzu(c)) goto ueberlauf;
      } else {
        PreprocessorUnget(s, d);
      }
      continue;
    } else if (c == '\\') {
      if (!hinzu(c)) goto ueberlauf;
      c = PreprocessorRawChar(s);
      if (c == 0 || c == '\n') {
        PreprocessorUnget(s, c);
        continue;
      }
    }
    if (!hinzu(c)) goto ueberlauf;
  }
  while (belegt > args[n] - s->mParameter && s->mParameter[belegt - 1] == ' ') belegt--;
  if (!hinzu(0)) goto ueberlauf;
  *anzahl = n + 1;
  return PP_OK;
ueberlauf:
  PreprocessorError(s, 59);
  return PP_UEBERLAUF;
}

// Builds a function-like macro's expansion into aus (at most 511 characters).
int BaueText(PreprocessorState* s, PreprocessorSymbol* sym, const char* const* args, int anzahl,
             char* aus, int* laenge) {
  Kodierer k;
  k.aus = aus;
  k.funktion = false;
  bool nachArgument = false;
  auto arg = [&](unsigned char b) -> const char* {
    int i = b - PP_PARAM0;
    return i < anzahl ? args[i] : "";
  };
  auto fuegeArgumentEin = [&](const char* a) {
    if (*a && k.n > 0 && PreprocessorVerbindet(static_cast<unsigned char>(k.aus[k.n - 1]),
                                               static_cast<unsigned char>(*a)))
      k.Byte(PP_TRENNER);
    while (*a) k.Byte(*a++);
    nachArgument = true;
  };
  const unsigned char* p = reinterpret_cast<const unsigned char*>(sym->mText ? sym->mText : "");
  while (*p && !k.voll) {
    unsigned char b = *p;
    if (b == PP_ESCAPE && p[1]) {
      k.Byte(p[1]);
      p += 2;
      nachArgument = false;
    } else if (b >= PP_PARAM0 && b < PP_PARAM0 + 31) {
      fuegeArgumentEin(arg(b));
      p++;
    } else if (b == PP_STRINGIZE && p[1] >= PP_PARAM0 && p[1] < PP_PARAM0 + 31) {
      Stringize(arg(p[1]), k);
      p += 2;
      nachArgument = false;
    } else if (b == PP_LITERAL_PARAM && p[1] >= PP_PARAM0 && p[1] < PP_PARAM0 + 31) {
      const char* a = arg(p[1]);
      unsigned char quote = k.n > 0 ? static_cast<unsigned char>(k.aus[k.n - 1]) : 0;
      p += 2;
      if (*a && static_cast<unsigned char>(*a) == quote) {
        // The argument brings its own quotes.
        k.n--;
        while (*a) k.Byte(*a++);
        if (*p == quote) p++;
      } else {
        while (*a) k.Byte(*a++);
      }
      nachArgument = false;
    } else {
      if (nachArgument && k.n > 0 &&
          PreprocessorVerbindet(static_cast<unsigned char>(k.aus[k.n - 1]), b))
        k.Byte(PP_TRENNER);
      k.Byte(b);
      p++;
      nachArgument = false;
    }
  }
  if (k.voll) {
    PreprocessorError(s, 62, sym->mName);
    return PP_TEXT_ZU_LANG;
  }
  *laenge = k.n;
  return PP_OK;
}

}  // namespace

int PreprocessorZaehleExpansion(PreprocessorState* s, const char* name) {
  // Texts that ended right before this name are finished: their expansions chain into this one,
  // so a cycle of macros keeps growing the depth until the guard stops it.
  if (s->mTiefe == 0) std::snprintf(s->mErstesMakro, sizeof(s->mErstesMakro), "%s", name);
  int verschachtelung = 1;
  while (!s->mZurueckAnzahl && s->mEingabe && !s->mEingabe->mIstDatei &&
         s->mEingabe->mPos >= s->mEingabe->mEnde) {
    verschachtelung += s->mEingabe->mVerschachtelung;
    PreprocessorPop(s);
  }
  if (s->mTiefe + verschachtelung >= kMaxRekursion) {
    PreprocessorError(s, 9, name, s->mErstesMakro);
    while (s->mEingabe && !s->mEingabe->mIstDatei) PreprocessorPop(s);
    s->mTiefe = 0;
    return 0;
  }
  return verschachtelung;
}

int PreprocessorExpand(PreprocessorState* s, PreprocessorSymbol* sym) {
  char puffer[PP_PUFFER + 2];
  const char* text = puffer;
  int laenge = 0;
  int vorher = s->mVorher;

  if (sym->mParameter >= 0) {
    int c = PreprocessorGetChar(s);
    bool zeilenende = false, leer = false;
    while (PPIstLeer(c) || c == '\n') {
      if (c == '\n') {
        if (s->mImDirektiv) break;
        zeilenende = true;
        s->mResync = true;
      }
      leer = true;
      c = PreprocessorGetChar(s);
    }
    if (c != '(') {
      // Not a call: the name stays as it is, and so does the line structure after it.
      PreprocessorUnget(s, c);
      if (zeilenende) {
        s->mAusDatei = true;
        PreprocessorUnget(s, '\n');
      } else if (leer) {
        PreprocessorUnget(s, ' ');
      }
      PreprocessorError(s, 43, sym->mName);
      return -1;
    }
    const char* args[33];
    int anzahl = 0;
    int ergebnis = SammleArgumente(s, args, &anzahl);
    if (ergebnis != PP_OK) return ergebnis;
    if (anzahl == 1 && args[0][0] == 0 && sym->mParameter == 0) anzahl = 0;
    if (anzahl != sym->mParameter) PreprocessorError(s, 44, sym->mName);
    ergebnis = BaueText(s, sym, args, anzahl, puffer, &laenge);
    if (ergebnis != PP_OK) return ergebnis;
  } else if (sym->mParameter == -1) {
    text = sym->mText ? sym->mText : "";
    laenge = static_cast<int>(std::strlen(text));
  } else {
    const char* datei = PreprocessorDateiName(s);
    switch (sym->mParameter) {
      case -2: laenge = std::snprintf(puffer, sizeof(puffer), "%d", s->mZeile); break;
      case -3: laenge = std::snprintf(puffer, sizeof(puffer), "\"%.500s\"", datei ? datei : ""); break;
      case -4:
        laenge = s->mFunktion[0]
                     ? std::snprintf(puffer, sizeof(puffer), "\"%s\"", s->mFunktion)
                     : std::snprintf(puffer, sizeof(puffer), "\"<unknown function>\"");
        break;
      case -5: laenge = std::snprintf(puffer, sizeof(puffer), "%d", s->mFunktionZeile); break;
      default:
        PreprocessorError(s, 60, sym->mName);
        return PP_FALSCHES_MAKRO;
    }
  }

  int verschachtelung = PreprocessorZaehleExpansion(s, sym->mName);
  if (verschachtelung == 0) return PP_OK;

  // Keep the expansion from gluing onto its neighbours.
  char* voll = static_cast<char*>(std::malloc(static_cast<size_t>(laenge) + 3));
  if (!voll) {
    PreprocessorError(s, 65);
    return PP_SPEICHER;
  }
  int n = 0;
  if (laenge > 0 && PreprocessorVerbindet(vorher, static_cast<unsigned char>(text[0])))
    voll[n++] = static_cast<char>(PP_TRENNER);
  std::memcpy(voll + n, text, static_cast<size_t>(laenge));
  n += laenge;
  if (laenge > 0 && PreprocessorVerbindet(static_cast<unsigned char>(text[laenge - 1]),
                                          PreprocessorPeekPastEnd(s)))
    voll[n++] = static_cast<char>(PP_TRENNER);
  // An empty expansion still stands between its neighbours: "x/EMPTY/y" must not become a
  // comment, nor "-EMPTY-" a decrement.
  if (laenge == 0 && PreprocessorVerbindet(vorher, PreprocessorPeekPastEnd(s)))
    voll[n++] = static_cast<char>(PP_TRENNER);
  bool ok = PreprocessorPushText(s, voll, n, sym->mName, 0);
  std::free(voll);
  if (!ok) return PP_SPEICHER;
  s->mEingabe->mVerschachtelung = verschachtelung;
  s->mTiefe += verschachtelung;
  return PP_OK;
}

void PreprocessorFreeMacros(PreprocessorState* s) {
  for (auto& eimer : s->mMakros) {
    while (eimer) {
      PreprocessorSymbol* naechster = eimer->mNaechster;
      FreiSymbol(eimer);
      eimer = naechster;
    }
  }
}

void PreprocessorDumpMacros(PreprocessorState* s) {
  auto schreibe = [s](const char* t) {
    while (*t) PreprocessorPut(s, static_cast<unsigned char>(*t++));
  };
  char zahl[16];
  for (PreprocessorSymbol* eimer : s->mMakros) {
    for (PreprocessorSymbol* sym = eimer; sym; sym = sym->mNaechster) {
      if (sym->mSystem && s->mMakrosAusgeben < 2) continue;
      schreibe("#define ");
      schreibe(sym->mName);
      if (sym->mParameter > 0) {
        PreprocessorPut(s, '(');
        for (int i = 1; i <= sym->mParameter; ++i) {
          std::snprintf(zahl, sizeof(zahl), i > 1 ? ",__%d" : "__%d", i);
          schreibe(zahl);
        }
        PreprocessorPut(s, ')');
      } else if (sym->mParameter == 0) {
        schreibe("()");
      }
      if (sym->mText) {
        PreprocessorPut(s, '\t');
        bool funktion = sym->mParameter >= 0;
        for (const unsigned char* p = reinterpret_cast<const unsigned char*>(sym->mText); *p; ++p) {
          unsigned char b = *p;
          bool woertlich = false;
          if (funktion && b == PP_ESCAPE && p[1]) {
            b = *++p;
            woertlich = true;
          }
          if (!woertlich && funktion && b >= PP_PARAM0 && b < PP_PARAM0 + 31) {
            std::snprintf(zahl, sizeof(zahl), "__%d", b - PP_PARAM0 + 1);
            schreibe(zahl);
          } else if (!woertlich && b == PP_STRINGIZE) {
            PreprocessorPut(s, '#');
          } else if (!woertlich && b == PP_PASTE) {
            schreibe("##");
          } else if (!woertlich && b == PP_TRENNER) {
            PreprocessorPut(s, ' ');
          } else if (!woertlich && (b == PP_KEIN_MAKRO || b == PP_LITERAL_PARAM)) {
          } else if ((b >= ' ' && b < 127) || b == '\t' || b == '\n') {
            PreprocessorPut(s, b);
          } else {
            std::snprintf(zahl, sizeof(zahl), "\\0%o", b);
            schreibe(zahl);
          }
        }
      }
      PreprocessorPut(s, '\n');
    }
  }
}
