#pragma once
// UTF-8 as the fonts and the console step through it. Nothing is validated: a lead byte below
// 0xC0 is a code point by itself, below 0xE0 it takes one continuation byte, below 0xF0 two,
// otherwise three. A NUL always ends the text, also inside a truncated sequence.
#include <cstddef>
#include <cstdint>
#include <string>

namespace Quarz {

// The code point at p; p moves past it (never past a NUL). 0 at the end of the text.
uint32_t LiesCodepunkt(const char*& p);
// The UTF-8 bytes of one code point (1 byte below 0x80, 2 below 0x800, 3 below 0x10000,
// else 4); code point 0 gives the empty string.
std::string CodepunktNachUtf8(uint64_t codepunkt);
// The start of the code point before byte `pos` (0 at the start), and the byte after the code
// point at `pos` (the size at the end): continuation bytes are stepped over.
size_t VorigerCodepunkt(const std::string& text, size_t pos);
size_t NaechsterCodepunkt(const std::string& text, size_t pos);

}  // namespace Quarz
