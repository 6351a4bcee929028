#include "quarzklassen/grafik/schrift/quarz_utf8.h"

namespace Quarz {

namespace {
bool IstFolgebyte(unsigned char c) { return (c & 0xC0) == 0x80; }
}  // namespace

uint32_t LiesCodepunkt(const char*& p) {
  const unsigned char erstes = static_cast<unsigned char>(*p);
  if (erstes == 0) return 0;
  ++p;
  int folgende = 0;
  uint32_t wert = erstes;
  if (erstes >= 0xF0) {
    folgende = 3;
    wert = erstes & 0x07;
  } else if (erstes >= 0xE0) {
    folgende = 2;
    wert = erstes & 0x0F;
  } else if (erstes >= 0xC0) {
    folgende = 1;
    wert = erstes & 0x1F;
  }
  // A truncated sequence stops at the terminator instead of reading past it.
  for (; folgende > 0 && *p; --folgende, ++p) wert = wert << 6 | (static_cast<unsigned char>(*p) & 0x3F);
  return wert;
}

std::string CodepunktNachUtf8(uint64_t c) {
  std::string s;
  if (c == 0) return s;
  if (c < 0x80) {
    s += static_cast<char>(c);
  } else if (c < 0x800) {
    s += static_cast<char>(0xC0 | c >> 6);
    s += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    s += static_cast<char>(0xE0 | c >> 12);
    s += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    s += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    s += static_cast<char>(0xF0 | (c >> 18 & 0x07));
    s += static_cast<char>(0x80 | (c >> 12 & 0x3F));
    s += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    s += static_cast<char>(0x80 | (c & 0x3F));
  }
  return s;
}

size_t VorigerCodepunkt(const std::string& text, size_t pos) {
  if (pos > text.size()) pos = text.size();
  if (pos == 0) return 0;
  --pos;
  while (pos > 0 && IstFolgebyte(static_cast<unsigned char>(text[pos]))) --pos;
  return pos;
}

size_t NaechsterCodepunkt(const std::string& text, size_t pos) {
  if (pos >= text.size()) return text.size();
  ++pos;
  while (pos < text.size() && IstFolgebyte(static_cast<unsigned char>(text[pos]))) ++pos;
  return pos;
}

}  // namespace Quarz
