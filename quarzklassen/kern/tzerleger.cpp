#include "quarzklassen/kern/tzerleger.h"

#include <cstdlib>

namespace {
const std::string gLeer;
}

TZerleger::TZerleger(const std::string& text) {
  const size_t n = text.size();
  size_t i = 0;
  size_t start = 0;
  bool zitiert = false;
  while (i < n) {
    const char c = text[i];
    if (zitiert) {
      if (c == '"') {
        mTokens.push_back(text.substr(start, i - start));
        zitiert = false;
        // A comma right after the closing quote only ends this token.
        i += (i + 1 < n && text[i + 1] == ',') ? 2 : 1;
        start = i;
      } else {
        ++i;
      }
    } else if (c == '"') {
      zitiert = true;
      start = i = i + 1;
    } else if (c != ' ' && c != ',') {
      ++i;
    } else if (i == start && c == ' ') {
      start = i = i + 1;  // blanks before a token are skipped
    } else {
      mTokens.push_back(text.substr(start, i - start));
      start = i = i + 1;
    }
  }
  if (start < n) mTokens.push_back(text.substr(start));

  mWerte.reserve(mTokens.size());
  // strtof reads the leading number and gives 0 when there is none (the C locale's point).
  for (const std::string& t : mTokens) mWerte.push_back(std::strtof(t.c_str(), nullptr));
}

const std::string& TZerleger::Token(size_t i) const {
  return i < mTokens.size() ? mTokens[i] : gLeer;
}
