#include "tests/praeprozessor/pp_lauf.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <memory>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

thread_local PPLauf* gLauf = nullptr;
thread_local size_t gPos = 0;

char* Lies(char* puffer, int groesse, void* nutzer, FILE*) {
  auto* lauf = static_cast<PPLauf*>(nutzer);
  if (gPos >= lauf->eingabe.size()) return nullptr;
  size_t n = std::min({lauf->stueck, static_cast<size_t>(groesse - 1), lauf->eingabe.size() - gPos});
  std::memcpy(puffer, lauf->eingabe.data() + gPos, n);
  puffer[n] = 0;
  gPos += n;
  return puffer;
}

// Thrown through the preprocessor to end a run that writes without end before it fills the
// memory; what the run allocated is lost.
struct AusgabeZuLang {};

void Schreibe(int c, void* nutzer) {
  auto* lauf = static_cast<PPLauf*>(nutzer);
  if (lauf->ausgabe.size() >= lauf->ausgabeGrenze) throw AusgabeZuLang{};
  lauf->ausgabe += static_cast<char>(c);
}

void Melde(void* nutzer, const char* format, va_list argumente) {
  char text[2048];
  std::vsnprintf(text, sizeof(text), format, argumente);
  static_cast<PPLauf*>(nutzer)->meldungen += text;
}

// An include file's stream over its text in the table; it notes the first read and its close.
struct Strom {
  PPLauf* lauf;
  const std::string* name;
  const std::string* text;
  size_t pos;
  bool gelesen;
};

ssize_t StromLies(void* zeiger, char* puffer, size_t groesse) {
  auto* s = static_cast<Strom*>(zeiger);
  if (!s->gelesen) s->lauf->gelesen.push_back(*s->name);
  s->gelesen = true;
  size_t n = std::min(groesse, s->text->size() - s->pos);
  std::memcpy(puffer, s->text->data() + s->pos, n);
  s->pos += n;
  return static_cast<ssize_t>(n);
}

int StromSchliesse(void* zeiger) {
  auto* s = static_cast<Strom*>(zeiger);
  s->lauf->offen--;
  delete s;
  return 0;
}

FILE* Oeffne(const char* name, const char* modus) {
  gLauf->geoeffnet.emplace_back(name);
  auto it = gLauf->dateien.find(name);
  if (it == gLauf->dateien.end()) return nullptr;
  if (std::count(gLauf->geoeffnet.begin(), gLauf->geoeffnet.end(), it->first) > gLauf->oeffnungenJeName)
    return nullptr;
  auto* s = new Strom{gLauf, &it->first, &it->second, 0, false};
  FILE* f = fopencookie(s, modus, {&StromLies, nullptr, nullptr, &StromSchliesse});
  if (!f) {
    delete s;
    return nullptr;
  }
  gLauf->offen++;
  return f;
}

}  // namespace

int PPLauf::Starte() {
  gLauf = this;
  gPos = 0;
  std::vector<PreprocessorTag> alle = {
      {PPTAG_EINGABE_NAME, PreprocessorWert("Lesetext")},
      {PPTAG_EINGABE, PreprocessorWert(&Lies)},
      {PPTAG_AUSGABE, PreprocessorWert(&Schreibe)},
      {PPTAG_FEHLERMELDUNG, PreprocessorWert(&Melde)},
      {PPTAG_NUTZERDATEN, PreprocessorWert(this)},
      {PPTAG_ZEILENANGABEN, zeilenAngaben ? 1u : 0u},
      {PPTAG_BANNER, 0},
      {PPTAG_INCLUDE_OEFFNEN, PreprocessorWert(&Oeffne)},
  };
  alle.insert(alle.end(), tags.begin(), tags.end());
  alle.push_back({PPTAG_ENDE, 0});
  auto zustand = std::make_unique<PreprocessorState>();
  try {
    ergebnis = PreprocessorEntry(alle.data(), zustand.get());
  } catch (const AusgabeZuLang&) {
    ergebnis = -2;
  }
  gLauf = nullptr;
  return ergebnis;
}

PPLauf PPLaufe(const std::string& text, std::vector<PreprocessorTag> tags,
               std::map<std::string, std::string> dateien) {
  PPLauf l;
  l.eingabe = text;
  l.tags = std::move(tags);
  l.dateien = std::move(dateien);
  l.Starte();
  return l;
}

void PPPruefe(const PPFall& f, std::vector<PreprocessorTag> tags) {
  PPLauf l = PPLaufe(f.text, std::move(tags), f.dateien);
  EXPECT_EQ(l.ausgabe, f.ausgabe) << f.name;
  if (!f.meldung) return;
  if (*f.meldung == 0) EXPECT_EQ(l.meldungen, "") << f.name;
  else EXPECT_NE(l.meldungen.find(f.meldung), std::string::npos) << f.name << "\n" << l.meldungen;
}

std::vector<std::string> PPTokens(const std::string& text) {
  static const char* const kMehrfach[] = {"...", "<<=", ">>=", "->", "++", "--", "<<", ">>", "<=",
                                          ">=", "==", "!=", "&&", "||", "*=", "/=", "%=", "+=",
                                          "-=", "&=", "^=", "|=", "##"};
  std::vector<std::string> tokens;
  size_t i = 0;
  auto name = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$'; };
  while (i < text.size()) {
    char c = text[i];
    if (std::isspace(static_cast<unsigned char>(c))) { ++i; continue; }
    size_t start = i;
    if (std::isdigit(static_cast<unsigned char>(c)) || (c == '.' && i + 1 < text.size() && std::isdigit(static_cast<unsigned char>(text[i + 1])))) {
      ++i;
      while (i < text.size() && (name(text[i]) || text[i] == '.' ||
                                 ((text[i] == '+' || text[i] == '-') && std::strchr("eEpP", text[i - 1]))))
        ++i;
    } else if (name(c)) {
      while (i < text.size() && name(text[i])) ++i;
    } else if (c == '"' || c == '\'') {
      ++i;
      while (i < text.size() && text[i] != c && text[i] != '\n') i += text[i] == '\\' ? 2 : 1;
      i = std::min(i + 1, text.size());
    } else {
      size_t laenge = 1;
      for (const char* m : kMehrfach)
        if (text.compare(i, std::strlen(m), m) == 0) { laenge = std::strlen(m); break; }
      i += laenge;
    }
    tokens.push_back(text.substr(start, i - start));
  }
  return tokens;
}

std::string PPLiesDatei(const std::string& pfad) {
  std::ifstream datei(pfad, std::ios::binary);
  std::stringstream inhalt;
  inhalt << datei.rdbuf();
  return inhalt.str();
}

std::string PPGccCpp(const std::string& pfad, const std::string& optionen) {
  std::string befehl = "cpp -P -undef -nostdinc -std=c99 -Dlumocpp=1 " + optionen + " '" + pfad + "' 2>/dev/null";
  std::string aus;
  FILE* p = popen(befehl.c_str(), "r");
  if (!p) return aus;
  std::array<char, 4096> puffer;
  size_t n;
  while ((n = std::fread(puffer.data(), 1, puffer.size(), p)) > 0) aus.append(puffer.data(), n);
  pclose(p);
  return aus;
}
