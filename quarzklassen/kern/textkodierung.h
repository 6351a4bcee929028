#pragma once
// Text encodings. The program keeps UTF-8 narrow strings; file paths are wide strings,
// which are UTF-32 on Linux. No conversion here goes through a locale.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Length of the UTF-8 sequence that this byte announces as its first (1 to 4), or 0 for a
// continuation byte or a byte that starts no sequence.
std::size_t Utf8Laenge(uint8_t erstes);

// Writes the UTF-8 bytes of one code point (at most 4) without allocating; returns how many.
// Code point 0 writes nothing.
std::size_t KodiereUtf8(uint32_t codepunkt, char* ziel);
// Appends the UTF-8 bytes of one code point; code point 0 appends nothing.
void HaengeUtf8An(std::string& ziel, uint32_t codepunkt);

// UTF-16 units to UTF-8. A surrogate pair becomes one code point; a high surrogate as the
// last unit is dropped; a high surrogate not followed by a low one, and a low surrogate
// on its own, become U+FFFD (the unit after the high surrogate is kept and converted).
std::string WandleUtf16NachUtf8(const char16_t* anfang, const char16_t* ende);
std::string WandleUtf16NachUtf8(std::u16string_view text);

// Wide (UTF-32) text to UTF-8, for file paths. The code points U+DC80 to U+DCFF stand for
// the bytes 0x80 to 0xFF of a path that was not valid UTF-8 and turn back into those bytes,
// so any Linux path survives the way through a wide string. Other surrogates and values
// above U+10FFFF become U+FFFD.
std::string WandleUtf32NachUtf8(const wchar_t* anfang, const wchar_t* ende);
std::string WandleUtf32NachUtf8(std::wstring_view text);

// The UTF-8 path of the file `datei` in the folder `ordner`: a slash goes between them unless
// the folder is empty or already ends in one.
std::string Utf8Pfad(std::wstring_view ordner, std::wstring_view datei);

// The text with every byte that is not part of a well-formed UTF-8 sequence replaced by
// U+FFFD; well-formed text comes back unchanged.
std::string GueltigesUtf8(std::string_view text);

// UTF-8 to wide (UTF-32) text, for file paths: the reverse of WandleUtf32NachUtf8. Each
// byte that is not part of a well-formed sequence becomes U+DC00 + byte.
std::wstring WandleUtf8NachUtf32(std::string_view text);
