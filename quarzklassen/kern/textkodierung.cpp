#include "quarzklassen/kern/textkodierung.h"

namespace
{
constexpr uint32_t kErsatzzeichen = 0xFFFD;

bool IstHoheSurrogate(uint32_t e) { return e >= 0xD800 && e <= 0xDBFF; }
bool IstTiefeSurrogate(uint32_t e) { return e >= 0xDC00 && e <= 0xDFFF; }

// Stand-ins for the bytes of a path that is not valid UTF-8.
constexpr uint32_t kRohbyteBasis = 0xDC00;
bool IstRohbyte(uint32_t c) { return c >= 0xDC80 && c <= 0xDCFF; }

// Length of the well-formed UTF-8 sequence at text[i] and its code point, or 0 when the
// bytes there do not form one (overlong forms, surrogates and values past U+10FFFF included).
std::size_t LiesSequenz(std::string_view text, std::size_t i, uint32_t& codepunkt)
{
    const auto b = [&](std::size_t k) { return static_cast<uint8_t>(text[k]); };
    const uint8_t erstes = b(i);
    const std::size_t laenge = Utf8Laenge(erstes);
    if (laenge == 1)
    {
        codepunkt = erstes;
        return 1;
    }
    if (laenge == 0 || i + laenge > text.size())
        return 0;
    // The lead byte keeps 7 - laenge bits of the code point.
    uint32_t c = erstes & (0x7Fu >> laenge);
    for (std::size_t k = 1; k < laenge; ++k)
    {
        if ((b(i + k) & 0xC0) != 0x80)
            return 0;
        c = c << 6 | (b(i + k) & 0x3F);
    }
    const uint32_t minimum = laenge == 2 ? 0x80 : laenge == 3 ? 0x800 : 0x10000;
    if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return 0;
    codepunkt = c;
    return laenge;
}
// Walks a byte string: each well-formed UTF-8 sequence goes to gut (code point and bytes),
// each byte outside one to schlecht.
template <typename Gut, typename Schlecht>
void DurchlaufeUtf8(std::string_view text, Gut gut, Schlecht schlecht)
{
    std::size_t i = 0;
    while (i < text.size())
    {
        uint32_t codepunkt = 0;
        const std::size_t laenge = LiesSequenz(text, i, codepunkt);
        if (laenge == 0)
        {
            schlecht(static_cast<uint8_t>(text[i]));
            ++i;
        }
        else
        {
            gut(codepunkt, text.substr(i, laenge));
            i += laenge;
        }
    }
}
} // namespace

std::size_t Utf8Laenge(uint8_t erstes)
{
    if (erstes < 0x80)
        return 1;
    if ((erstes & 0xE0) == 0xC0)
        return 2;
    if ((erstes & 0xF0) == 0xE0)
        return 3;
    if ((erstes & 0xF8) == 0xF0)
        return 4;
    return 0;
}

std::size_t KodiereUtf8(uint32_t c, char* ziel)
{
    if (c == 0)
        return 0;
    if (c <= 0x7F)
    {
        ziel[0] = static_cast<char>(c);
        return 1;
    }
    if (c <= 0x7FF)
    {
        ziel[0] = static_cast<char>(0xC0 | c >> 6);
        ziel[1] = static_cast<char>(0x80 | (c & 0x3F));
        return 2;
    }
    if (c <= 0xFFFF)
    {
        ziel[0] = static_cast<char>(0xE0 | c >> 12);
        ziel[1] = static_cast<char>(0x80 | (c >> 6 & 0x3F));
        ziel[2] = static_cast<char>(0x80 | (c & 0x3F));
        return 3;
    }
    ziel[0] = static_cast<char>(0xF0 | (c >> 18 & 0x07));
    ziel[1] = static_cast<char>(0x80 | (c >> 12 & 0x3F));
    ziel[2] = static_cast<char>(0x80 | (c >> 6 & 0x3F));
    ziel[3] = static_cast<char>(0x80 | (c & 0x3F));
    return 4;
}

void HaengeUtf8An(std::string& ziel, uint32_t c)
{
    char bytes[4];
    ziel.append(bytes, KodiereUtf8(c, bytes));
}

std::string WandleUtf16NachUtf8(const char16_t* anfang, const char16_t* ende)
{
    std::string ergebnis;
    ergebnis.reserve(static_cast<std::size_t>(ende - anfang));
    for (const char16_t* p = anfang; p != ende; ++p)
    {
        const uint32_t einheit = *p;
        uint32_t codepunkt = einheit;
        if (IstHoheSurrogate(einheit))
        {
            if (p + 1 == ende)
                break; // a text cut inside a pair loses the half pair
            const uint32_t naechste = p[1];
            if (IstTiefeSurrogate(naechste))
            {
                codepunkt = 0x10000 + ((einheit & 0x3FF) << 10) + (naechste & 0x3FF);
                ++p;
            }
            else
                codepunkt = kErsatzzeichen; // the next unit is converted on its own
        }
        else if (IstTiefeSurrogate(einheit))
            codepunkt = kErsatzzeichen; // a surrogate code point is not valid in UTF-8
        HaengeUtf8An(ergebnis, codepunkt);
    }
    return ergebnis;
}

std::string WandleUtf16NachUtf8(std::u16string_view text)
{
    return WandleUtf16NachUtf8(text.data(), text.data() + text.size());
}

std::string WandleUtf32NachUtf8(const wchar_t* anfang, const wchar_t* ende)
{
    std::string ergebnis;
    ergebnis.reserve(static_cast<std::size_t>(ende - anfang));
    for (const wchar_t* p = anfang; p != ende; ++p)
    {
        const uint32_t c = static_cast<uint32_t>(*p);
        if (IstRohbyte(c))
            ergebnis += static_cast<char>(c - kRohbyteBasis);
        else if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            HaengeUtf8An(ergebnis, kErsatzzeichen);
        else
            HaengeUtf8An(ergebnis, c);
    }
    return ergebnis;
}

std::string WandleUtf32NachUtf8(std::wstring_view text)
{
    return WandleUtf32NachUtf8(text.data(), text.data() + text.size());
}

std::string Utf8Pfad(std::wstring_view ordner, std::wstring_view datei)
{
    std::string pfad = WandleUtf32NachUtf8(ordner);
    if (!pfad.empty() && pfad.back() != '/')
        pfad += '/';
    return pfad + WandleUtf32NachUtf8(datei);
}

std::wstring WandleUtf8NachUtf32(std::string_view text)
{
    std::wstring ergebnis;
    ergebnis.reserve(text.size());
    DurchlaufeUtf8(
        text, [&](uint32_t codepunkt, std::string_view) { ergebnis += static_cast<wchar_t>(codepunkt); },
        [&](uint8_t byte) { ergebnis += static_cast<wchar_t>(kRohbyteBasis + byte); });
    return ergebnis;
}

std::string GueltigesUtf8(std::string_view text)
{
    std::string ergebnis;
    ergebnis.reserve(text.size());
    DurchlaufeUtf8(
        text, [&](uint32_t, std::string_view sequenz) { ergebnis.append(sequenz); },
        [&](uint8_t) { HaengeUtf8An(ergebnis, kErsatzzeichen); });
    return ergebnis;
}
