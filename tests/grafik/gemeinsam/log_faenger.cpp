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
