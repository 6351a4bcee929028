#pragma once
// Shared helpers of the core-service tests: a fake performance counter and a console
// display that collects the log's lines.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "plattform/system/system_linux.h"
#include "quarzklassen/kern/quarz_konsolebasisanzeige.h"
#include "quarzklassen/kern/quarz_log.h"

namespace testhilfe {

inline int64_t gFalscheZeit = 0;
inline int64_t FalscheUhr() { return gFalscheZeit; }

// Puts the counter on a clock the test moves by hand, for the life of the object.
struct FalscheUhrAn {
  explicit FalscheUhrAn(int64_t start = 1000) {
    gFalscheZeit = start;
    Plattform::SetzeZaehlerQuelle(&FalscheUhr);
  }
  ~FalscheUhrAn() { Plattform::SetzeZaehlerQuelle(nullptr); }
  void Vor(int64_t ticks) { gFalscheZeit += ticks; }
};

// Collects every line the log shows on its display.
struct Sammler : Quarz_KonsoleBasisAnzeige {
  std::vector<std::string> zeilen;
  void ZeigeZeile(const char* zeile) override { zeilen.emplace_back(zeile); }
  // The lines without their prefix "SSSS:UUUUUU (tXXXX): " and newline.
  std::vector<std::string> Texte() const {
    std::vector<std::string> texte;
    for (const std::string& z : zeilen) {
      const size_t pos = z.find("): ");
      std::string t = pos == std::string::npos ? z : z.substr(pos + 3);
      if (!t.empty() && t.back() == '\n') t.pop_back();
      texte.push_back(t);
    }
    return texte;
  }
  // Every text, one a line.
  std::string Alle() const {
    std::string alle;
    for (const std::string& t : Texte()) alle += t + "\n";
    return alle;
  }
  bool Enthaelt(const std::string& text) const {
    for (const std::string& t : Texte())
      if (t == text) return true;
    return false;
  }
};

// Starts the log in the working directory (a fresh one per test) and stops it at the end.
struct LaufendesLog {
  LaufendesLog() { gLog.Starte(L".", L"spiel.log"); }
  ~LaufendesLog() { gLog.Beende(); }
};

// A test that types console lines and looks at what the log showed for each.
class KonsolenTest : public ::testing::Test {
protected:
  Sammler sammler;
  LaufendesLog log;
  // The texts shown while executing the line, its echo first.
  std::vector<std::string> Fuehre(const std::string& zeile) {
    sammler.zeilen.clear();
    Quarz_KonsoleBasisAnzeige::FuehreAus(zeile);
    return sammler.Texte();
  }
};

inline std::string LiesDatei(const std::string& pfad) {
  std::ifstream datei(pfad, std::ios::binary);
  std::stringstream inhalt;
  inhalt << datei.rdbuf();
  return inhalt.str();
}

inline void SchreibeDatei(const std::string& pfad, const std::string& inhalt) {
  std::ofstream datei(pfad, std::ios::binary);
  datei << inhalt;
}

}  // namespace testhilfe
