// UTF-16 and wide (UTF-32) text to UTF-8, and the lossless way of Linux paths through wide
// strings.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "quarzklassen/kern/textkodierung.h"

TEST(Textkodierung, Utf16NachUtf8)
{
    const struct
    {
        std::u16string ein;
        std::string aus;
    } faelle[] = {
        {{0x7F}, "\x7F"},
        {{0x80}, "\xC2\x80"},
        {{0x7FF}, "\xDF\xBF"},
        {{0x800}, "\xE0\xA0\x80"},
        {{0xFFFF}, "\xEF\xBF\xBF"},
        {{0xD83D, 0xDE00}, "\xF0\x9F\x98\x80"},
        {{u'a', 0xD83D}, "a"},                                      // a high surrogate at the end is dropped
        {{0xD83D, u'x'}, "\xEF\xBF\xBDx"},                          // unpaired high: U+FFFD, the unit is kept
        {{0xD83D, 0xD83D, 0xDE00}, "\xEF\xBF\xBD\xF0\x9F\x98\x80"}, // a pair right after a broken one
        {{0xDE00, u'z'}, "\xEF\xBF\xBDz"},                          // a lone low surrogate
        {{u'a', 0, u'b'}, "ab"},                                    // code point 0 adds nothing
    };
    for (const auto& f : faelle)
        EXPECT_EQ(WandleUtf16NachUtf8(f.ein), f.aus) << f.aus;
}

TEST(Textkodierung, WeitNachUtf8)
{
    EXPECT_EQ(WandleUtf32NachUtf8(L"/home/gr\u00FC\u00DF/\u65E5"), "/home/gr\xC3\xBC\xC3\x9F/\xE6\x97\xA5");
    EXPECT_EQ(WandleUtf32NachUtf8(std::wstring{wchar_t(0x1F600), wchar_t(0x110000), wchar_t(0xD800)}),
              "\xF0\x9F\x98\x80\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(WandleUtf8NachUtf32("a\xC3\xA4\xF0\x9F\x98\x80"), (std::wstring{L'a', 0xE4, wchar_t(0x1F600)}));
    // Each malformed byte becomes U+FFFD, well-formed sequences stay as they are.
    EXPECT_EQ(GueltigesUtf8("a\xC3\xA4\xE2\x82\xFF\xED\xA0\x80z\xF0"),
              "a\xC3\xA4\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBDz\xEF\xBF\xBD");
}

// Any byte string, valid UTF-8 or not, comes back unchanged from a wide string: overlong
// forms, encoded surrogates and cut sequences become stand-ins for their bytes.
TEST(Textkodierung, PfadeUeberlebenDenWegDurchWeiteStrings)
{
    for (const std::string f : {"\xC0\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE6\x97", "\xFF\xFE", "a\x80z"})
    {
        const std::wstring weit = WandleUtf8NachUtf32(f);
        EXPECT_EQ(WandleUtf32NachUtf8(weit), f);
        EXPECT_EQ(weit.find(wchar_t(0xFFFD)), std::wstring::npos);
    }
    std::mt19937 zufall(42);
    for (int runde = 0; runde < 2000; ++runde)
    {
        std::string bytes(zufall() % 24, 'x');
        for (char& c : bytes) // mostly bytes of the UTF-8 lead and continuation ranges
            if (const uint32_t z = zufall(); z % 8 != 0)
                c = static_cast<char>(0x80 + (z >> 8) % 0x78);
        ASSERT_EQ(WandleUtf32NachUtf8(WandleUtf8NachUtf32(bytes)), bytes) << runde;
    }
}

TEST(Textkodierung, Utf8PfadSetztGenauEinenSchraegstrich)
{
    const struct
    {
        std::wstring ordner, datei;
        std::string aus;
    } faelle[] = {
        {L"/a/b", L"log.txt", "/a/b/log.txt"},
        {L"/a/b/", L"log.txt", "/a/b/log.txt"},
        {L"", L"log.txt", "log.txt"},
        {L"/", L"x", "/x"},
        {std::wstring{L'/', L'r', wchar_t(0xDCFF)}, L"\u00E4", "/r\xFF/\xC3\xA4"}, // a raw byte survives
    };
    for (const auto& f : faelle)
        EXPECT_EQ(Utf8Pfad(f.ordner, f.datei), f.aus) << f.aus;
}
