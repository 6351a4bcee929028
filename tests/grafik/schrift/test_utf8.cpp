// UTF-8 stepping as text drawing and console editing use it.
#include <gtest/gtest.h>

#include <vector>

#include "quarzklassen/grafik/schrift/quarz_utf8.h"

TEST(Utf8, LesenSchreibenSchreiten) {
  const struct {
    const char* mText;
    std::vector<uint32_t> mCodepunkte;
  } faelle[] = {
      {"ab", {'a', 'b'}},
      {"\xC3\xA4x", {0xE4, 'x'}},
      {"\xE2\x82\xAC", {0x20AC}},
      {"\xF0\x9F\x98\x80!", {0x1F600, '!'}},
      {"\x80z", {0x80, 'z'}},  // a stray continuation byte stands for itself
      // Truncated sequences end at the terminator instead of reading past it.
      {"\xC3", {0x03}},
      {"a\xE2\x82", {'a', 0x0082}},
      {"\xF0\x9F", {0x1F}},
  };
  for (const auto& f : faelle) {
    SCOPED_TRACE(f.mText);
    std::vector<uint32_t> gelesen;
    const char* p = f.mText;
    while (uint32_t c = Quarz::LiesCodepunkt(p)) gelesen.push_back(c);
    EXPECT_EQ(gelesen, f.mCodepunkte);
    EXPECT_EQ(*p, '\0');
  }
  for (uint32_t c : {0x41u, 0x7Fu, 0x80u, 0x7FFu, 0x800u, 0xFFFFu, 0x10000u, 0x10FFFFu}) {
    const std::string s = Quarz::CodepunktNachUtf8(c);
    EXPECT_EQ(s.size(), c < 0x80 ? 1u : c < 0x800 ? 2u : c < 0x10000 ? 3u : 4u);
    const char* p = s.c_str();
    EXPECT_EQ(Quarz::LiesCodepunkt(p), c);
  }
  EXPECT_EQ(Quarz::CodepunktNachUtf8(0), "");

  const std::string text = "a\xC3\xA4\xE2\x82\xAC" "b";  // a ä € b: bytes 0, 1-2, 3-5, 6
  const size_t vor[][2] = {{0, 0}, {1, 0}, {3, 1}, {6, 3}, {7, 6}, {99, 6}};
  for (const auto& v : vor) EXPECT_EQ(Quarz::VorigerCodepunkt(text, v[0]), v[1]) << v[0];
  const size_t nach[][2] = {{0, 1}, {1, 3}, {3, 6}, {6, 7}, {7, 7}};
  for (const auto& n : nach) EXPECT_EQ(Quarz::NaechsterCodepunkt(text, n[0]), n[1]) << n[0];
}
