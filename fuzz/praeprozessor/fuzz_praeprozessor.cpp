// Arbitrary text through the preprocessor with the shader translation's tags. The first byte
// picks the piece size of the input callback and a few further options; a small include file
// is reachable as "klein.h".
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "preprocessor/preprocessor.h"

namespace {

struct Lauf {
  const char* text;
  size_t laenge;
  size_t pos;
  size_t stueck;
  size_t ausgabe;
};

const char kKlein[] =
    "#ifndef KLEIN_H\n#define KLEIN_H\n#define KLEIN(x, y) x##y #x \"y\"\n"
    "KLEIN(a, 1) __FILE__ __LINE__ /* k */\n#include \"leer.h\"\n#endif\n";

char* Lies(char* puffer, int groesse, void* nutzer, FILE*) {
  auto* l = static_cast<Lauf*>(nutzer);
  if (l->pos >= l->laenge) return nullptr;
  size_t n = l->laenge - l->pos;
  if (n > l->stueck) n = l->stueck;
  if (n > static_cast<size_t>(groesse - 1)) n = static_cast<size_t>(groesse - 1);
  std::memcpy(puffer, l->text + l->pos, n);
  puffer[n] = 0;
  l->pos += n;
  return puffer;
}

void Schreibe(int, void* nutzer) { static_cast<Lauf*>(nutzer)->ausgabe++; }

void Melde(void*, const char* format, va_list argumente) {
  char text[256];
  std::vsnprintf(text, sizeof(text), format, argumente);
}

FILE* Oeffne(const char* name, const char* modus) {
  const char* basis = std::strrchr(name, '/');
  basis = basis ? basis + 1 : name;
  if (std::strcmp(basis, "klein.h") == 0)
    return fmemopen(const_cast<char*>(kKlein), sizeof(kKlein) - 1, modus);
  if (std::strcmp(basis, "leer.h") == 0) return fmemopen(const_cast<char*>("\n"), 1, modus);
  return nullptr;
}

// Macros can multiply text without bound (a macro naming another twice, nested calls): such
// inputs are legal but only measure patience, so they are left out.
bool Zulaessig(const std::string& text) {
  int namen = 0;
  for (size_t p = text.find("define"); p != std::string::npos; p = text.find("define", p + 1)) {
    for (size_t i = p + 6; i < text.size() && !(text[i] == '\n' && text[i - 1] != '\\'); ++i) {
      bool anfang = std::isalpha(static_cast<unsigned char>(text[i])) || text[i] == '_';
      bool vorher = i > 0 && (std::isalnum(static_cast<unsigned char>(text[i - 1])) || text[i - 1] == '_');
      if (anfang && !vorher) ++namen;
    }
  }
  int tiefe = 0, hoechste = 0;
  for (char c : text) {
    if (c == '(') hoechste = std::max(hoechste, ++tiefe);
    if (c == ')') --tiefe;
  }
  return namen <= 24 && hoechste <= 8;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t groesse) {
  if (groesse == 0 || groesse > 4096) return 0;
  uint8_t optionen = daten[0];
  std::string text(reinterpret_cast<const char*>(daten + 1), groesse - 1);
  if (!Zulaessig(text)) return 0;
  static const size_t kStuecke[] = {511, 1, 7, 64};
  Lauf lauf{text.c_str(), text.size(), 0, kStuecke[optionen & 3], 0};
  PreprocessorTag tags[] = {
      {11, PreprocessorWert("Lesetext")},
      {12, PreprocessorWert(&Lies)},
      {13, PreprocessorWert(&Schreibe)},
      {16, PreprocessorWert(&Melde)},
      {14, PreprocessorWert(&lauf)},
      {15, 0},
      {19, 0},
      {35, PreprocessorWert(&Oeffne)},
      // Further options from the first byte; tag 0 entries end the list early.
      {static_cast<uint32_t>(optionen & 4 ? 15 : 0), 1},
      {static_cast<uint32_t>(optionen & 8 ? 1 : 0), 1},
      {static_cast<uint32_t>(optionen & 16 ? 22 : 0), 1},
      {static_cast<uint32_t>(optionen & 32 ? 23 : 0), 1},
      {static_cast<uint32_t>(optionen & 64 ? 33 : 0), 1},
      {static_cast<uint32_t>(optionen & 128 ? 29 : 0), 1},
      {0, 0},
  };
  // Tags left at 0 would end the list: move the chosen ones together.
  size_t n = 8;
  for (size_t i = 8; i < 14; ++i)
    if (tags[i].tag) tags[n++] = tags[i];
  tags[n] = {0, 0};
  auto zustand = std::make_unique<PreprocessorState>();
  PreprocessorEntry(tags, zustand.get());
  return 0;
}

// Undefined behaviour is a finding like a crash, also when run through tools/fuzz.
extern "C" const char* __ubsan_default_options() { return "halt_on_error=1:print_stacktrace=1"; }
