#pragma once
// Splits a console line into tokens at blanks and commas; text in double quotes stays one
// token. Every token also carries its leading floating-point number (0 when it has none).
#include <string>
#include <vector>

class TZerleger {
public:
  explicit TZerleger(const std::string& text);

  size_t Anzahl() const { return mTokens.size(); }
  // Token i; the empty text for an index out of range.
  const std::string& Token(size_t i) const;
  // Float value of token i; 0 for an index out of range.
  float Wert(size_t i) const { return i < mWerte.size() ? mWerte[i] : 0.0f; }

  std::vector<std::string> mTokens;
  std::vector<float> mWerte;
};
