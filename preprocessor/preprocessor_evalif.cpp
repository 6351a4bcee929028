// #if expressions: signed 32-bit values, evaluated with an operator and a value stack.
#include "preprocessor/preprocessor_intern.h"

#include <cctype>
#include <cstring>

namespace {

constexpr int kMaxStapel = 127;

enum Art : uint8_t {
  ENDE, WERT, AUF, ZU, UPLUS, UMINUS, NICHT, KOMPL, MAL, DURCH, REST, PLUS, MINUS, LINKS, RECHTS,
  KLEINER, KLEINERGLEICH, GROESSERGLEICH, GROESSER, GLEICH, UNGLEICH, UND, XODER, ODER,
  UNDUND, ODERODER, FRAGE, DOPPELPUNKT, KOMMA, FEHLER, SIZEOF_FEHLER,
};

const char* const kNamen[] = {
    "end of expression", "val", "(", ")", "unary +", "unary -", "!", "~", "*", "/", "%", "+", "-",
    "<<", ">>", "<", "<=", ">=", ">", "==", "!=", "&", "^", "|", "&&", "||", "?", ":", ",",
    "(none)", "(none)",
};

int Rang(Art a) {
  switch (a) {
    case UPLUS: case UMINUS: case NICHT: case KOMPL: return 14;
    case MAL: case DURCH: case REST: return 13;
    case PLUS: case MINUS: return 12;
    case LINKS: case RECHTS: return 11;
    case KLEINER: case KLEINERGLEICH: case GROESSERGLEICH: case GROESSER: return 10;
    case GLEICH: case UNGLEICH: return 9;
    case UND: return 8;
    case XODER: return 7;
    case ODER: return 6;
    case UNDUND: return 5;
    case ODERODER: return 4;
    case FRAGE: case DOPPELPUNKT: return 3;
    case KOMMA: return 2;
    default: return 0;
  }
}

bool Unaer(Art a) { return a == UPLUS || a == UMINUS || a == NICHT || a == KOMPL; }

struct Auswerter {
  PreprocessorState* s = nullptr;
  const char* p;
  int32_t wert = 0;  // of the last WERT token

  void Leer() {
    while (*p == ' ' || *p == '\t') ++p;
  }

  bool Name(char* aus) {
    Leer();
    if (!PPIstName(static_cast<unsigned char>(*p))) return false;
    int n = 0;
    while (PPIstNameFolge(static_cast<unsigned char>(*p))) {
      if (n < PP_PUFFER - 1) aus[n++] = *p;
      ++p;
    }
    aus[n] = 0;
    return true;
  }

  Art Zahl() {
    uint32_t v = 0;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
      p += 2;
      while (std::isxdigit(static_cast<unsigned char>(*p))) {
        int d = std::isdigit(static_cast<unsigned char>(*p)) ? *p - '0' : (std::tolower(*p) - 'a' + 10);
        v = v * 16 + static_cast<uint32_t>(d);
        ++p;
      }
    } else if (p[0] == '0') {
      while (*p >= '0' && *p <= '7') v = v * 8 + static_cast<uint32_t>(*p++ - '0');
    } else {
      while (PPIstZiffer(*p)) v = v * 10 + static_cast<uint32_t>(*p++ - '0');
    }
    while (*p == 'u' || *p == 'U' || *p == 'l' || *p == 'L') ++p;
    wert = static_cast<int32_t>(v);
    return WERT;
  }

  Art Zeichenkonstante() {
    ++p;  // the quote
    uint32_t v = 0;
    int anzahl = 0;
    while (*p && *p != '\'') {
      uint32_t c;
      if (*p == '\\') {
        ++p;
        switch (*p) {
          case 'a': c = 7; ++p; break;
          case 'b': c = 8; ++p; break;
          case 'f': c = 12; ++p; break;
          case 'n': c = 10; ++p; break;
          case 'r': c = 13; ++p; break;
          case 't': c = 9; ++p; break;
          case 'v': c = 11; ++p; break;
          case 'x': {
            ++p;
            c = 0;
            for (int i = 0; i < 3 && std::isxdigit(static_cast<unsigned char>(*p)); ++i, ++p)
              c = c * 16 + static_cast<uint32_t>(std::isdigit(static_cast<unsigned char>(*p)) ? *p - '0' : std::tolower(*p) - 'a' + 10);
            break;
          }
          default:
            if (*p >= '0' && *p <= '7') {
              c = 0;
              for (int i = 0; i < 3 && *p >= '0' && *p <= '7'; ++i, ++p) c = c * 8 + static_cast<uint32_t>(*p - '0');
            } else if (*p) {
              c = static_cast<unsigned char>(*p++);
            } else {
              c = '\\';
            }
        }
      } else {
        c = static_cast<unsigned char>(*p++);
      }
      if (anzahl++ > 0) PreprocessorError(s, 47, nullptr, nullptr, static_cast<int>(c & 0xFF));
      v = (v << 8) + c;
    }
    if (*p == '\'') ++p;
    wert = static_cast<int32_t>(v);
    return WERT;
  }

  Art Defined() {
    char name[PP_PUFFER];
    Leer();
    bool klammer = *p == '(';
    if (klammer) ++p;
    if (!Name(name)) {
      PreprocessorError(s, 19);
      return FEHLER;
    }
    Leer();
    if (klammer) {
      if (*p != ')') {
        PreprocessorError(s, 19);
        return FEHLER;
      }
      ++p;
    }
    wert = PreprocessorFind(s, name) != nullptr;
    return WERT;
  }

  Art Sizeof() {
    static const char* const kTypen[] = {"char", "short", "int", "long", "float", "double",
                                         "signed", "unsigned"};
    int anzahl[8] = {};
    char name[PP_PUFFER];
    Leer();
    if (*p != '(') {
      PreprocessorError(s, 22);
      return SIZEOF_FEHLER;
    }
    ++p;
    bool typ = false;
    while (Name(name)) {
      int i = 0;
      while (i < 8 && std::strcmp(name, kTypen[i]) != 0) ++i;
      if (i == 8) {
        PreprocessorError(s, 23, name);
        return SIZEOF_FEHLER;
      }
      anzahl[i]++;
      typ = true;
    }
    Leer();
    bool zeiger = false;
    if (*p == '*') {
      zeiger = true;
      ++p;
      Leer();
    }
    if (std::strncmp(p, "(*)", 3) == 0) {
      p += 3;
      Leer();
      if (std::strncmp(p, "()", 2) != 0) {
        PreprocessorError(s, 22);
        return SIZEOF_FEHLER;
      }
      p += 2;
      zeiger = true;
      Leer();
    }
    if (*p != ')') {
      PreprocessorError(s, 22);
      return SIZEOF_FEHLER;
    }
    ++p;
    if (!typ) {
      PreprocessorError(s, 25);
      return SIZEOF_FEHLER;
    }
    int basis = -1, grundtypen = 0;
    for (int i = 0; i < 6; ++i) {
      if (anzahl[i] > 1) {
        PreprocessorError(s, 24);
        return SIZEOF_FEHLER;
      }
      grundtypen += anzahl[i];
    }
    bool vorzeichen = anzahl[6] || anzahl[7];
    bool erlaubt = !(anzahl[6] && anzahl[7]) && anzahl[6] <= 1 && anzahl[7] <= 1;
    if (anzahl[4] || anzahl[5]) {
      erlaubt = erlaubt && grundtypen == 1 && !vorzeichen;
      basis = anzahl[4] ? 4 : 5;
    } else if (anzahl[0]) {
      erlaubt = erlaubt && grundtypen == 1;
      basis = 0;
    } else if (anzahl[1]) {
      erlaubt = erlaubt && !anzahl[3];
      basis = 1;
    } else if (anzahl[3]) {
      basis = 3;
    } else {
      basis = 2;
    }
    if (!erlaubt) {
      PreprocessorError(s, 24);
      return SIZEOF_FEHLER;
    }
    wert = zeiger ? s->mZeigerGroesse[basis] : s->mGroesse[basis];
    return WERT;
  }

  Art Naechstes() {
    Leer();
    unsigned char c = static_cast<unsigned char>(*p);
    if (!c) return ENDE;
    if (PPIstZiffer(c)) return Zahl();
    if (c == '\'') return Zeichenkonstante();
    if (c == '"') {
      PreprocessorError(s, 18);
      return FEHLER;
    }
    if (PPIstName(c)) {
      char name[PP_PUFFER];
      Name(name);
      if (std::strcmp(name, "defined") == 0) return Defined();
      if (std::strcmp(name, "sizeof") == 0) return Sizeof();
      wert = 0;
      return WERT;
    }
    ++p;
    auto folgt = [&](char z) {
      if (*p != z) return false;
      ++p;
      return true;
    };
    switch (c) {
      case '(': return AUF;
      case ')': return ZU;
      case '+': return PLUS;
      case '-': return MINUS;
      case '*': return MAL;
      case '/': return DURCH;
      case '%': return REST;
      case '~': return KOMPL;
      case '^': return XODER;
      case '?': return FRAGE;
      case ':': return DOPPELPUNKT;
      case ',': return KOMMA;
      case '!': return folgt('=') ? UNGLEICH : NICHT;
      case '&': return folgt('&') ? UNDUND : UND;
      case '|': return folgt('|') ? ODERODER : ODER;
      case '<': return folgt('<') ? LINKS : folgt('=') ? KLEINERGLEICH : KLEINER;
      case '>': return folgt('>') ? RECHTS : folgt('=') ? GROESSERGLEICH : GROESSER;
      case '=':
        if (folgt('=')) return GLEICH;
        PreprocessorError(s, 20);
        return FEHLER;
      case '\\':
        PreprocessorError(s, 21);
        return FEHLER;
      default:
        if (c < 127 && std::isprint(c)) PreprocessorError(s, 29, nullptr, nullptr, c);
        else PreprocessorError(s, 30, nullptr, nullptr, c);
        return FEHLER;
    }
  }
};

// Two's-complement arithmetic without undefined behaviour.
int32_t Rechne(PreprocessorState* s, Art op, int32_t a, int32_t b) {
  uint32_t ua = static_cast<uint32_t>(a), ub = static_cast<uint32_t>(b);
  switch (op) {
    case MAL: return static_cast<int32_t>(ua * ub);
    case DURCH:
    case REST:
      if (b == 0) {
        PreprocessorError(s, 45, op == DURCH ? "divide" : "mod");
        return 0;
      }
      if (b == -1) return op == DURCH ? static_cast<int32_t>(0u - ua) : 0;
      return op == DURCH ? a / b : a % b;
    case PLUS: return static_cast<int32_t>(ua + ub);
    case MINUS: return static_cast<int32_t>(ua - ub);
    case LINKS:
      if (b < 0 || b > 31) return 0;
      return static_cast<int32_t>(ua << b);
    case RECHTS:
      if (b < 0 || b > 31) return a < 0 ? -1 : 0;
      return a >> b;
    case KLEINER: return a < b;
    case KLEINERGLEICH: return a <= b;
    case GROESSERGLEICH: return a >= b;
    case GROESSER: return a > b;
    case GLEICH: return a == b;
    case UNGLEICH: return a != b;
    case UND: return a & b;
    case XODER: return a ^ b;
    case ODER: return a | b;
    case UNDUND: return a && b;
    case ODERODER: return a || b;
    case KOMMA: return b;
    default: return 0;
  }
}

struct Stapel {
  PreprocessorState* s = nullptr;
  int32_t werte[kMaxStapel + 1];
  int nw = 0;
  Art ops[kMaxStapel + 1];
  int no = 0;

  // Applies the top operator; false on a malformed expression.
  bool Reduziere() {
    Art op = ops[--no];
    if (op == AUF) {
      PreprocessorError(s, 16, "end of expression");
      return false;
    }
    if (op == FRAGE) {
      PreprocessorError(s, 17, no > 0 ? kNamen[ops[no - 1]] : "(none)");
      return false;
    }
    int braucht = Unaer(op) ? 1 : op == DOPPELPUNKT ? 3 : 2;
    if (nw < braucht) {
      PreprocessorError(s, 13);
      return false;
    }
    int32_t ergebnis;
    if (op == DOPPELPUNKT) {
      nw -= 3;
      ergebnis = werte[nw] ? werte[nw + 1] : werte[nw + 2];
    } else if (Unaer(op)) {
      int32_t a = werte[--nw];
      uint32_t ua = static_cast<uint32_t>(a);
      ergebnis = op == UPLUS ? a : op == UMINUS ? static_cast<int32_t>(0u - ua)
                                : op == NICHT ? !a : static_cast<int32_t>(~ua);
    } else {
      nw -= 2;
      ergebnis = Rechne(s, op, werte[nw], werte[nw + 1]);
    }
    werte[nw++] = ergebnis;
    return true;
  }

  bool SchiebeOp(Art op) {
    if (no >= kMaxStapel) {
      PreprocessorError(s, 15, kNamen[op]);
      return false;
    }
    ops[no++] = op;
    return true;
  }
};

}  // namespace

int PreprocessorEvalText(PreprocessorState* s, const char* text, int* wert) {
  Auswerter a{s, text};
  Stapel st;
  st.s = s;
  bool erwarteWert = true;
  bool leer = true;
  bool fehler = false;
  for (;;) {
    Art t = a.Naechstes();
    if (t == SIZEOF_FEHLER) {
      *wert = 1;
      return PP_SIZEOF;
    }
    if (t == FEHLER) {
      fehler = true;
      break;
    }
    if (t == ENDE && leer) {
      PreprocessorError(s, 4);
      *wert = 0;
      return PP_OK;
    }
    leer = false;
    if (t == WERT) {
      if (!erwarteWert) {
        PreprocessorError(s, 11);
        fehler = true;
        break;
      }
      if (st.nw >= kMaxStapel) {
        PreprocessorError(s, 12);
        fehler = true;
        break;
      }
      st.werte[st.nw++] = a.wert;
      erwarteWert = false;
      continue;
    }
    if (erwarteWert) {
      Art unaer = t == PLUS ? UPLUS : t == MINUS ? UMINUS : t;
      if (unaer == UPLUS || unaer == UMINUS || unaer == NICHT || unaer == KOMPL || unaer == AUF) {
        if (!st.SchiebeOp(unaer)) {
          fehler = true;
          break;
        }
        continue;
      }
      PreprocessorError(s, 14, kNamen[t]);
      fehler = true;
      break;
    }
    if (t == AUF || t == NICHT || t == KOMPL) {
      PreprocessorError(s, 14, kNamen[t]);
      fehler = true;
      break;
    }
    if (t == ZU) {
      while (st.no > 0 && st.ops[st.no - 1] != AUF)
        if (!st.Reduziere()) { fehler = true; break; }
      if (fehler) break;
      if (st.no == 0) {
        PreprocessorError(s, 16, ")");
        fehler = true;
        break;
      }
      st.no--;
      continue;
    }
    if (t == ENDE) {
      while (st.no > 0 && !fehler)
        if (!st.Reduziere()) fehler = true;
      if (!fehler && st.nw != 1) {
        PreprocessorError(s, 13);
        fehler = true;
      }
      break;
    }
    if (t == DOPPELPUNKT) {
      while (st.no > 0 && st.ops[st.no - 1] != FRAGE &&
             (Rang(st.ops[st.no - 1]) > 3 || st.ops[st.no - 1] == DOPPELPUNKT))
        if (!st.Reduziere()) { fehler = true; break; }
      if (fehler) break;
      if (st.no == 0 || st.ops[st.no - 1] != FRAGE) {
        PreprocessorError(s, 17, st.no > 0 ? kNamen[st.ops[st.no - 1]] : "(none)");
        fehler = true;
        break;
      }
      st.ops[st.no - 1] = DOPPELPUNKT;
      erwarteWert = true;
      continue;
    }
    // Binary operators; "?" binds from the right.
    int rang = Rang(t);
    while (st.no > 0 && st.ops[st.no - 1] != AUF &&
           (t == FRAGE ? Rang(st.ops[st.no - 1]) > rang : Rang(st.ops[st.no - 1]) >= rang))
      if (!st.Reduziere()) { fehler = true; break; }
    if (fehler || !st.SchiebeOp(t)) {
      fehler = true;
      break;
    }
    erwarteWert = true;
  }
  *wert = fehler ? 1 : st.werte[0];
  return PP_OK;
}

int PreprocessorEvalIf(PreprocessorState* s, int* wert) {
  int ergebnis = PreprocessorExpandLine(s, s->mArbeit, PP_PUFFER, true);
  if (ergebnis != PP_OK) {
    *wert = 1;
    return ergebnis;
  }
  ergebnis = PreprocessorEvalText(s, s->mArbeit, wert);
  int c = PreprocessorGetChar(s);
  while (c != '\n' && c != 0) c = PreprocessorGetChar(s);
  return ergebnis;
}
