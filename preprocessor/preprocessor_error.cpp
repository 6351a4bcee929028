// Messages of the preprocessor: the fixed table, the kind word and the include trail.
#include "preprocessor/preprocessor_intern.h"

#include <cstring>

namespace {

const char* const kMeldungen[67] = {
    "#%s must be in an #if",
    "#%s may not follow #else",
    "#error directive encountered",
    "Preprocessor assertion failure",
    "#if, #ifdef, or #ifndef without an argument",
    "#include syntax error",
    "#define syntax error",
    "Redefining defined variable \"%s\"",
    "Illegal #undef argument",
    "Recursive macro definition of \"%s\"(Defined by \"%s\")",
    "end of file within macro argument",
    "misplaced constant in #if",
    "#if value stack overflow",
    "Illegal #if line",
    "Operator %s in incorrect context",
    "expression stack overflow at op \"%s\"",
    "unbalanced paren's, op is \"%s\"",
    "Misplaced '?' or ':', previous operator is %s",
    "Can't use a string in an #if",
    "Bad #if ... defined() syntax",
    "= not allowed in #if",
    "Unexpected \\ in #if",
    "#if ... sizeof() syntax error",
    "#if sizeof, unknown type \"%s\"",
    "#if ... sizeof: illegal type combination",
    "#if sizeof() error, no type specified",
    "Unterminated string",
    "EOF in comment",
    "Inside #ifdef block at end of input, depth = %d",
    "illegal character '%c' in #if",
    "illegal character (%d decimal) in #if",
    "#if ... sizeof: bug, unknown type code 0x%x",
    "#if bug, operand = %d.",
    "Strange character '%c' after ##",
    "Strange character (%d.) after ##",
    "",
    "Control line \"%s\" within macro expansion",
    "Illegal # command \"%s\"",
    "Unexpected text in #control line ignored",
    "too few values specified to sizeof",
    "too many values specified to sizeof! Not used.",
    "\"%s\" wasn't defined",
    "Internal error!",
    "Macro \"%s\" needs arguments",
    "Wrong number of macro arguments for \"%s\"",
    "%s by zero in #if, zero result assumed",
    "Illegal digit in octal number",
    "multi-byte constant '%c' isn't portable",
    "Cannot open include file \"%s\"",
    "Illegal bracket '[]' balance, depth = %d",
    "Illegal parentheses '()' balance, depth = %d",
    "Illegal brace '{}' balance, depth = %d",
    "Nested comment",
    "",
    "Too many nested #%s statements",
    "Filename work buffer overflow",
    "Too many include directories",
    "Too many include files",
    "Too many arguments for macro",
    "Macro work area overflow",
    "Bug: Illegal __ macro \"%s\"",
    "Too many arguments in macro expansion",
    "Out of space in macro \"%s\" arg expansion",
    "work buffer overflow doing %s ##",
    "Work buffer overflow",
    "Out of memory",
    "Too much pushback",
};

// The argument each text takes: 0 none, 's' one string, 'S' two strings, 'd' a number.
char ArgumentArt(const char* text) {
  const char* p = std::strchr(text, '%');
  if (!p) return 0;
  if (p[1] == 's') return std::strchr(p + 2, '%') ? 'S' : 's';
  return 'd';
}

const char* DateiAnzeigeName(const PreprocessorInput* e) {
  return e->mZeilenName ? e->mZeilenName : e->mName;
}

}  // namespace

void PreprocessorMelde(PreprocessorState* s, const char* format, ...) {
  s->mMeldungen++;
  if (!s->mMelde) return;
  va_list argumente;
  va_start(argumente, format);
  s->mMelde(s->mNutzer, format, argumente);
  va_end(argumente);
}

void PreprocessorError(PreprocessorState* s, int nummer, const char* text, const char* text2,
                       int zahl) {
  if (nummer < 0 || nummer > 66) nummer = 42;
  s->mMeldungen++;
  const char* art = nummer <= 34 ? "Error" : nummer <= 52 ? "Warning" : "Fatal";
  // Fatal messages end the run; they must not leave it looking successful.
  if (nummer <= 34 || nummer >= 53) s->mFehler++;
  if (!s->mMelde) return;

  const char* name = PreprocessorDateiName(s);
  PreprocessorMelde(s, "%s\"%s\", line %d: %s: ", "cpp: ", name ? name : "", s->mZeile, art);
  const char* vorlage = kMeldungen[nummer];
  switch (ArgumentArt(vorlage)) {
    case 's': PreprocessorMelde(s, vorlage, text ? text : ""); break;
    case 'S': PreprocessorMelde(s, vorlage, text ? text : "", text2 ? text2 : ""); break;
    case 'd': PreprocessorMelde(s, vorlage, zahl); break;
    default: PreprocessorMelde(s, "%s", vorlage); break;
  }
  PreprocessorMelde(s, "\n");

  // The include trail: every record outside the innermost file.
  if (!s->mDatei) return;
  for (const PreprocessorInput* e = s->mDatei->mEltern; e; e = e->mEltern) {
    const char* ende = e->mEltern ? "," : ".";
    if (e->mIstDatei)
      PreprocessorMelde(s, " from file %s, line %d%s\n", DateiAnzeigeName(e), e->mZeile, ende);
    else
      PreprocessorMelde(s, " from macro %s%s\n", e->mName, ende);
  }
}
