#include "plattform/hlsl/intern/d3dx_globalpruefung.h"

#include <cctype>
#include <set>
#include <vector>

namespace Plattform {

namespace {

struct TZeichen {
  bool Name;         // an identifier, else one character of punctuation
  std::string Text;
};

bool NamensAnfang(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool NamensZeichen(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// Identifiers and punctuation; numbers, strings and directive lines drop out.
std::vector<TZeichen> Zerlege(const std::string& text) {
  std::vector<TZeichen> zeichen;
  size_t i = 0;
  bool zeilenAnfang = true;
  while (i < text.size()) {
    const char c = text[i];
    if (c == '\n') { zeilenAnfang = true; ++i; continue; }
    if (std::isspace(static_cast<unsigned char>(c))) { ++i; continue; }
    if (c == '#' && zeilenAnfang) {
      while (i < text.size() && text[i] != '\n') ++i;
      continue;
    }
    zeilenAnfang = false;
    if (NamensAnfang(c)) {
      const size_t anfang = i;
      while (i < text.size() && NamensZeichen(text[i])) ++i;
      zeichen.push_back({true, text.substr(anfang, i - anfang)});
    } else if (std::isdigit(static_cast<unsigned char>(c))) {
      while (i < text.size() && (NamensZeichen(text[i]) || text[i] == '.')) ++i;
    } else if (c == '"') {
      for (++i; i < text.size() && text[i] != '"' && text[i] != '\n'; ++i)
        if (text[i] == '\\') ++i;
      ++i;
    } else {
      zeichen.push_back({false, std::string(1, c)});
      ++i;
    }
  }
  return zeichen;
}

bool Ist(const std::vector<TZeichen>& z, size_t i, char c) {
  return i < z.size() && !z[i].Name && z[i].Text[0] == c;
}

}  // namespace

std::string TGlobalPruefung::DoppelteGlobale(const std::string& vorverarbeitet) {
  const std::vector<TZeichen> z = Zerlege(vorverarbeitet);
  enum { Deklaration, Initialisierer, Semantik } modus = Deklaration;
  int geschweift = 0, rund = 0, spitz = 0, eckig = 0;
  std::set<std::string> namen;
  for (size_t i = 0; i < z.size(); ++i) {
    const bool global = geschweift == 0 && rund == 0 && spitz == 0 && eckig == 0;
    if (z[i].Name) {
      // A declared name is followed by what may follow a declarator.
      if (global && modus == Deklaration &&
          (Ist(z, i + 1, ';') || Ist(z, i + 1, ',') || Ist(z, i + 1, '[') ||
           Ist(z, i + 1, ':') || Ist(z, i + 1, '=')) &&
          !namen.insert(z[i].Text).second)
        return z[i].Text;
      continue;
    }
    const char c = z[i].Text[0];
    switch (c) {
      case '{': ++geschweift; if (modus == Semantik) modus = Deklaration; break;
      case '}': if (geschweift > 0) --geschweift; break;
      case '(': ++rund; break;
      case ')': if (rund > 0) --rund; break;
      case '[': if (modus == Deklaration) ++eckig; break;
      case ']': if (modus == Deklaration && eckig > 0) --eckig; break;
      case '<': if (modus == Deklaration && geschweift == 0 && rund == 0) ++spitz; break;
      case '>': if (modus == Deklaration && spitz > 0) --spitz; break;
      case '=': if (global && modus == Deklaration) modus = Initialisierer; break;
      case ':': if (global && modus == Deklaration) modus = Semantik; break;
      case ',':
      case ';':
        if (global) modus = Deklaration;
        break;
      default: break;
    }
  }
  return {};
}

}  // namespace Plattform
