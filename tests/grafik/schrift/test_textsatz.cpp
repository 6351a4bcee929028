// Text width and line breaking, read back from the queued glyph instances (no device needed:
// the batch keeps its queue while drawing at once is off).
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "quarzklassen/grafik/sprite/quarz_blockgfx3d.h"
#include "tests/grafik/gemeinsam/grafik_testhilfe.h"
#include "tests/grafik/schrift/schrift_testhilfe.h"

TEST(TextSatz, TextBreite) {
  Quarz_Font3D schrift;
  BaueTestSchrift(schrift);
  // A graphic beyond the glyph table (ids from a damaged or older file) counts as no glyph.
  std::vector<uint32_t> pixel(4, 0xFFFFFFFFu);
  schrift.mBatch->AddGrafik(5000, {reinterpret_cast<uint8_t*>(pixel.data()), 0, 2, 2, 8}, 0, 0, 2, 2);
  const struct {
    const char* mText;
    float mGroesse, mAbstand, mBreite;
  } faelle[] = {
      {"", 24, 0.1f, 0},
      {"a b", 24, 0.1f, 10 + 2.4f + 7.2f + 10 + 2.4f},  // advance + spacing, 0.3 x size for the space
      {"a b", 48, 0.1f, 20 + 4.8f + 14.4f + 20 + 4.8f},  // scaled by size / file size
      {"ab", 12, 0, 10},
      {"\xC3\xA4.", 24, 0, 11 + 4},
      {"=|", 24, 0, 2 * 7.2f},        // glyph-less code points
      {"\xE1\x8E\x88", 24, 0, 7.2f},  // U+1388: graphic 5000 lies beyond the table
      {"a\xC3", 24, 0, 10 + 7.2f},    // truncated: U+0003, no glyph
  };
  for (const auto& f : faelle) {
    SCOPED_TRACE(f.mText);
    schrift.SetGroesse(f.mGroesse);
    schrift.mAbstand = f.mAbstand;
    EXPECT_FLOAT_EQ(schrift.TextBreite(f.mText), f.mBreite);
  }
}

namespace {

// The lines of queued text: y -> (x of the first glyph, the glyphs as characters).
struct TZeile {
  float mX = 0;
  std::string mText;
};
std::map<float, TZeile> Zeilen(const Quarz_BlockGfx3D& batch) {
  std::map<float, TZeile> zeilen;
  for (const TSpriteInstanz& i : batch.mWarteschlange) {
    // The test font's glyphs have offset y 8 ('.' 17, 'ä' -3): back to the line's pen.
    const float breite = i.mGrafik[2], hoehe = i.mGrafik[3];
    const float versatz = hoehe == 3 ? 17 : hoehe == 15 ? -3 : 8;
    TZeile& z = zeilen[i.mZielPos[1] - versatz];
    if (z.mText.empty()) z.mX = i.mZielPos[0];
    z.mText += hoehe == 3 ? '.' : breite == 10 && hoehe == 12 ? 'a' : '?';
  }
  return zeilen;
}

}  // namespace

TEST(TextSatz, Umbrechen) {
  Quarz_Font3D schrift;
  BaueTestSchrift(schrift);
  // Glyphs advance 10, a space 7.2, "..." 12; lines 24 high plus one pixel. Lines are given as
  // their glyphs ('a' for any letter); their pen y is -4 + n x 25.
  const struct {
    const char* mName;
    const char* mText;
    float mBreite, mHoehe;
    uint32_t mH, mV;
    std::vector<std::pair<float, std::string>> mZeilen;  // x of the first glyph, glyphs
  } faelle[] = {
      {"passt in eine Zeile", "abc def", 100, 100, 0, 0, {{0, "aaaaaa"}}},
      {"Umbruch am Leerzeichen", "abc def", 50, 100, 0, 0, {{0, "aaa"}, {0, "aaa"}}},
      {"Zeilenende", "ab\ncd", 500, 100, 0, 0, {{0, "aa"}, {0, "aa"}}},
      {"Wort breiter als die Zeile", "abcdefghij", 35, 200, 0, 0,
       {{0, "aaa"}, {0, "aaa"}, {0, "aaa"}, {0, "a"}}},
      {"zu viele Zeilen: Punkte passen noch", "abc def ghi", 50, 49, 0, 0, {{0, "aaa"}, {0, "aaa..."}}},
      {"Höhe unter einer Zeile gibt eine Zeile", "abc def", 50, 5, 0, 0, {{0, "aaa..."}}},
      {"Glyphe breiter als die Zeile kommt trotzdem voran", "abc", 5, 200, 0, 0,
       {{0, "a"}, {0, "a"}, {0, "a"}}},
      {"rechtsbündig", "ab", 100, 100, 2, 0, {{80, "aa"}}},
      {"zentriert", "ab cd", 33, 100, 1, 0, {{6.5f, "aa"}, {6.5f, "aa"}}},
  };
  for (const auto& f : faelle) {
    SCOPED_TRACE(f.mName);
    schrift.mBatch->mWarteschlange.clear();
    schrift.SetAusrichtung(f.mH, f.mV);
    schrift.ZeichneUmbrochen(0, 0, f.mBreite, f.mHoehe, "%s", f.mText);
    const std::map<float, TZeile> zeilen = Zeilen(*schrift.mBatch);
    ASSERT_EQ(zeilen.size(), f.mZeilen.size());
    size_t i = 0;
    for (const auto& [y, z] : zeilen) {
      EXPECT_FLOAT_EQ(y, -4.0f + 25.0f * static_cast<float>(i)) << i;
      EXPECT_FLOAT_EQ(z.mX, f.mZeilen[i].first) << i;
      EXPECT_EQ(z.mText, f.mZeilen[i].second) << i;
      ++i;
    }
  }
}

TEST(TextSatz, VertikaleAusrichtungUndRotation) {
  Quarz_Font3D schrift;
  BaueTestSchrift(schrift);
  // Two lines (49 pixels) in 100: middle adds 25.5, bottom 51.
  for (const auto& [v, y] : {std::pair(4u, 25.5f), std::pair(8u, 51.0f)}) {
    schrift.mBatch->mWarteschlange.clear();
    schrift.SetAusrichtung(0, v);
    schrift.ZeichneUmbrochen(0, 0, 50, 100, "abc def");
    EXPECT_FLOAT_EQ(schrift.mBatch->mWarteschlange.front().mZielPos[1], y - 4 + 8);
  }
  // Turned by 90 degrees the pen walks down; offsets are not turned.
  schrift.mBatch->mWarteschlange.clear();
  schrift.SetAusrichtung(0, 0);
  schrift.mRotation = 1.5707964f;
  schrift.Zeichne(100, 100, "ab");
  ASSERT_EQ(schrift.mBatch->mWarteschlange.size(), 2u);
  EXPECT_NEAR(schrift.mBatch->mWarteschlange[1].mZielPos[0], 100, 1e-4);
  EXPECT_NEAR(schrift.mBatch->mWarteschlange[1].mZielPos[1], 100 - 4 + 8 + 10, 1e-4);
  EXPECT_FLOAT_EQ(schrift.mBatch->mWarteschlange[1].mParam[0], 1.5707964f);
}

TEST(TextSatz, PunkteAmPufferEndeBleibenImPuffer) {
  TLogFaenger log;
  Quarz_Font3D schrift;
  BaueTestSchrift(schrift);
  // One line that ends after a newline at byte 9997 with text behind it: the dots must move
  // back into the 10,000-byte buffer.
  std::string text(9997, 'a');
  text += "\nb";
  schrift.ZeichneUmbrochen(0, 0, 1e9f, 24, "%s", text.c_str());
  const auto& q = schrift.mBatch->mWarteschlange;
  ASSERT_GE(q.size(), 3u);
  EXPECT_EQ(q.size(), 9996u + 3u);
  EXPECT_EQ(q.back().mGrafik[3], 3.0f);
  // Formatting cuts at 9,999 bytes.
  schrift.mBatch->mWarteschlange.clear();
  schrift.ZeichneFormatiert(0, 0, "%s%s", std::string(9990, 'a').c_str(), std::string(50, 'b').c_str());
  EXPECT_EQ(schrift.mBatch->mWarteschlange.size(), 9999u);
}
