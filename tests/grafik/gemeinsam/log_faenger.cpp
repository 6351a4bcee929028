#include "quarzklassen/kern/quarz_log.h"
#include "tests/grafik/gemeinsam/grafik_testhilfe.h"

TLogFaenger::TLogFaenger() {
  if (!gLog.IstGestartet()) gLog.Starte(L".", L"test.log");
  mZeilen.clear();  // "Log-Start" is not the test's business
}

int TLogFaenger::Zaehle(const std::string& teil) const {
  int n = 0;
  for (const auto& z : mZeilen) n += z.find(teil) != std::string::npos;
  return n;
}

std::string TLogFaenger::Alle() const {
  std::string s;
  for (const auto& z : mZeilen) s += z;
  return s;
}

bool FarbeNahe(uint32_t a, uint32_t b) {
  for (int s = 0; s < 32; s += 8) {
    const int d = static_cast<int>((a >> s) & 0xFF) - static_cast<int>((b >> s) & 0xFF);
    if (d < -1 || d > 1) return false;
  }
  return true;
}
