// Directives, the conditional stack and #if expressions.
#include <gtest/gtest.h>

#include "tests/praeprozessor/pp_lauf.h"

namespace {

TEST(PraeprozessorBedingungen, Verschachtelung) {
  std::string einunddreissig, zweiunddreissig;
  for (int i = 0; i < 31; ++i) einunddreissig += "#if 1\n";
  einunddreissig += "tief\n";
  for (int i = 0; i < 31; ++i) einunddreissig += "#endif\n";
  zweiunddreissig = "#if 1\n" + einunddreissig + "#endif\n";
  const PPFall faelle[] = {
      {"if else", "#if 0\na\n#else\nb\n#endif\n", "b\n", ""},
      {"elif-Kette", "#if 0\na\n#elif 0\nb\n#elif 2\nc\n#elif 1\nd\n#else\ne\n#endif\n", "c\n", ""},
      {"ifdef ifndef", "#define X\n#ifdef X\na\n#endif\n#ifndef X\nb\n#endif\n#ifndef Y\nc\n#endif\n", "a\nc\n", ""},
      {"falsche aeussere Ebene", "#if 0\n#if 1\na\n#else\nb\n#endif\n#elif 1\nc\n#endif\n", "c\n", ""},
      {"Direktiven im falschen Zweig wirken nicht", "#if 0\n#define X 1\n#error nein\n#endif\nX\n", "X\n", ""},
      {"Literal im falschen Zweig", "#if 0\n\"/*\"\n#else\nja\n#endif\n", "ja\n", ""},
      {"31 Ebenen", einunddreissig, "tief\n", ""},
      {"32 Ebenen", zweiunddreissig, "", "Fatal: Too many nested #if statements"},
      {"else doppelt", "#if 0\n#else\na\n#else\nb\n#endif\n", "a\n", "#else may not follow #else"},
      {"elif nach else", "#if 0\n#else\na\n#elif 1\nb\n#endif\n", "a\nb\n", "#elif may not follow #else"},
      {"endif ohne if", "#endif\na\n", "a\n", "#endif must be in an #if"},
      {"else ohne if", "#else\n", "", "#else must be in an #if"},
      {"offenes if", "#if 1\na\n", "a\n", "Inside #ifdef block at end of input, depth = 1"},
      {"ifdef ohne Namen", "#ifdef\na\n#endif\n", "", "#if, #ifdef, or #ifndef without an argument"},
      {"Text nach endif", "#if 1\na\n#endif x\n", "a\n", "Unexpected text in #control line ignored"},
  };
  for (const PPFall& f : faelle) PPPruefe(f);
}

TEST(PraeprozessorAusdruecke, WerteUndVorrang) {
  struct Ausdruck { const char* text; bool wahr; };
  const Ausdruck faelle[] = {
      {"1 | 2 ^ 3", true},            // 1 | (2 ^ 3)
      {"(2 ^ 3 & 1) == 3", true},     // 2 ^ (3 & 1)
      {"2 + 3 * 4 == 14", true},
      {"(2 + 3) * 4 == 20", true},
      {"10 - 4 - 3 == 3", true},      // left to right
      {"100 / 10 / 5 == 2", true},
      {"-3 / 2 == -1 && -3 % 2 == -1", true},
      {"1 << 4 >> 2 == 4", true},
      {"1 < 2 == 1", true},
      {"!0 && ~0 == -1", true},
      {"0 || 0", false},
      {"1 ? 2 : 3 == 2", true},
      {"0 ? 1 : 0 ? 2 : 3", true},
      {"1 ? 0 ? 5 : 6 : 7", true},
      {"(1, 0)", false},
      {"0x10 == 16 && 010 == 8 && 10u == 10 && 5L == 5", true},
      {"'A' == 65 && '\\n' == 10 && '\\x41' == 65 && '\\101' == 65 && '\\'' == 39", true},
      {"0x7fffffff + 1 < 0", true},   // signed 32-bit wrap
      {"-2147483647 - 1 == 0x80000000", true},
      {"(-2147483647 - 1) / -1 != 0", true},
      {"1 << 40", false},
      {"UNBEKANNT", false},
      {"UNBEKANNT + 1", true},
      {"defined X", true},
      {"defined(X) && !defined(Y) && defined ( X )", true},
      {"X == 3", true},
      {"sizeof(int) == 4 && sizeof(char) == 1 && sizeof(double) == 8", true},
      {"sizeof(unsigned long) == 4 && sizeof(short int) == 2", true},
      {"sizeof(char *) == 8 && sizeof(int (*)()) == 8", true},
  };
  for (const Ausdruck& a : faelle) {
    PPPruefe({a.text, std::string("#define X 3\n#if ") + a.text + "\nja\n#else\nnein\n#endif\n",
            a.wahr ? "ja\n" : "nein\n", ""});
  }
}

// Any error makes the condition true after its message; a sizeof error ends the run.
TEST(PraeprozessorAusdruecke, Fehler) {
  const PPFall faelle[] = {
      {"Division durch null", "#if 1/0\na\n#endif\nb\n", "b\n", "Warning: divide by zero in #if, zero result assumed"},
      {"Rest durch null", "#if 1%0\na\n#endif\n", "", "mod by zero in #if"},
      {"Text", "#if \"a\"\na\n#endif\n", "a\n", "Can't use a string in an #if"},
      {"einfaches =", "#if 1 = 1\na\n#endif\n", "a\n", "= not allowed in #if"},
      {"Backslash", "#if 1 \\ 2\na\n#endif\n", "a\n", "Unexpected \\ in #if"},
      {"Zeichen", "#if 1 @ 2\na\n#endif\n", "a\n", "illegal character '@' in #if"},
      {"zwei Werte", "#if 1 2\na\n#endif\n", "a\n", "misplaced constant in #if"},
      {"Operator am Anfang", "#if * 2\na\n#endif\n", "a\n", "Operator * in incorrect context"},
      {"Operator am Ende", "#if 2 +\na\n#endif\n", "a\n", "Operator end of expression in incorrect context"},
      {"offene Klammer", "#if (1\na\n#endif\n", "a\n", "unbalanced paren's, op is \"end of expression\""},
      {"zu viele Klammern zu", "#if 1)\na\n#endif\n", "a\n", "unbalanced paren's, op is \")\""},
      {"Doppelpunkt ohne Frage", "#if 1 : 2\na\n#endif\n", "a\n", "Misplaced '?' or ':'"},
      {"defined ohne Namen", "#if defined(1)\na\n#endif\n", "a\n", "Bad #if ... defined() syntax"},
      {"Mehrzeichenkonstante", "#if 'ab' == 24930\na\n#endif\n", "a\n", "multi-byte constant 'b' isn't portable"},
      {"leer", "#if\na\n#endif\n", "", "#if, #ifdef, or #ifndef without an argument"},
      {"sizeof unbekannt", "#if sizeof(bool)\na\n#endif\nb\n", "", "#if sizeof, unknown type \"bool\""},
      {"sizeof ohne Typ", "#if sizeof()\n#endif\nb\n", "", "#if sizeof() error, no type specified"},
      {"sizeof Kombination", "#if sizeof(unsigned float)\n#endif\nb\n", "", "#if ... sizeof: illegal type combination"},
      {"sizeof Syntax", "#if sizeof int\n#endif\nb\n", "", "#if ... sizeof() syntax error"},
  };
  for (const PPFall& f : faelle) PPPruefe(f);
}

TEST(PraeprozessorAusdruecke, StapelGrenzen) {
  std::string klammern(130, '(');
  PPPruefe({"Operatorstapel", "#if " + klammern + "1\na\n#endif\n", "a\n", "expression stack overflow at op \"(\""});
  std::string ok = std::string(100, '(') + "1" + std::string(100, ')');
  PPPruefe({"100 Klammern", "#if " + ok + "\na\n#endif\n", "a\n", ""});
}

// "defined X" tests the name itself, even when X is a macro whose text names nothing defined.
TEST(PraeprozessorAusdruecke, DefinedExpandiertDenNamenNicht) {
  const PPFall faelle[] = {
      {"Makro auf Undefiniertes", "#define X Y\n#if defined X && defined(X)\nja\n#endif\n", "ja\n", ""},
      {"Makro auf defined", "#define D defined(Z)\n#define Z\n#if D\nja\n#endif\n", "ja\n", ""},
      {"Makro auf leer", "#define E\n#if defined E\nja\n#endif\n", "ja\n", ""},
  };
  for (const PPFall& f : faelle) PPPruefe(f);
}

TEST(PraeprozessorDirektiven, Weitere) {
  const PPFall faelle[] = {
      {"pragma", "#pragma pack( 4)  x\n", "#pragma pack( 4)  x\n", ""},
      {"version", "#version 300 es\na\n", "#version 300 es\na\n", ""},
      {"extension ohne Rest", "#extension\n", "#extension\n", ""},
      {"error", "#error kaputt\n", "", "Error: #error directive encountered"},
      {"assert wahr", "#assert 1 + 1 == 2\n", "", ""},
      {"assert falsch", "#assert 1 == 2\n", "", "Preprocessor assertion failure"},
      {"undef", "#define A 1\n#undef A\nA\n", "A\n", ""},
      {"undef ohne Namen", "#undef 3\n", "", "Illegal #undef argument"},
      {"leere Direktive", "#\na\n", "a\n", ""},
      {"Einrueckung vor #", "   #  define A 2\nA\n", "2\n", ""},
  };
  for (const PPFall& f : faelle) PPPruefe(f);
  PPPruefe({"unbekannt mit Warnung", "#foo bar\n", "#foo bar\n", "Warning: Illegal # command \"foo\""},
         {{PPTAG_WARNE_UNBEKANNT, 1}});
}

// Only integer constants are octal; a leading 0 in a floating constant is fine.
TEST(PraeprozessorZahlen, OktalpruefungNurFuerGanzeZahlen) {
  const PPFall faelle[] = {
      {"Gleitkomma mit 0", "09.5 0.9f 09e1 00.5 0x19 0 07 1e09\n", "09.5 0.9f 09e1 00.5 0x19 0 07 1e09\n", ""},
      {"Ziffer 9", "x = 09;\n", "x = 09;\n", "Warning: Illegal digit in octal number"},
      {"Ziffer 8 mit Endung", "018L\n", "018L\n", "Illegal digit in octal number"},
  };
  for (const PPFall& f : faelle) PPPruefe(f);
}

TEST(PraeprozessorDirektiven, Klammerbilanz) {
  PPPruefe({"offen", "f( a[ { \n", "f( a[ {\n", "Illegal bracket '[]' balance, depth = 1"}, {{PPTAG_WARNE_KLAMMERN, 1}});
  PPPruefe({"ausgeglichen", "f( a[1]) { }\n", "f( a[1]) { }\n", ""}, {{PPTAG_WARNE_KLAMMERN, 1}});
}

}  // namespace
