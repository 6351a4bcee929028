#pragma once
// A line built in a fixed buffer without allocation or locale, for use inside a signal handler.
#include <cstddef>
#include <cstdint>

namespace Plattform {

class AbsturzText {
public:
  static constexpr size_t Groesse = 4096;

  AbsturzText& Text(const char* text);
  AbsturzText& Text(const char* text, size_t laenge);
  // Upper-case hexadecimal with at least `stellen` digits.
  AbsturzText& Hex(uint64_t wert, int stellen);
  AbsturzText& Dez(int64_t wert, int stellen = 1);
  AbsturzText& Zeichen(char c, size_t anzahl = 1);
  void Leeren() { mLaenge = 0; mPuffer[0] = '\0'; }

  const char* Daten() const { return mPuffer; }
  size_t Laenge() const { return mLaenge; }

private:
  char mPuffer[Groesse] = {};
  size_t mLaenge = 0;
};

}  // namespace Plattform
