// The console drawn on a real window with the generated console font: the background strip,
// coloured log lines by their message's first character, and the input line.
#include <gtest/gtest.h>

#include <algorithm>

#include "quarzklassen/grafik/geraet/quarz_zeichenkontext.h"
#include "quarzklassen/grafik/konsole/quarz_konsolestandardanzeige.h"
#include "quarzklassen/grafik/schrift/quarz_font3d.h"
#include "quarzklassen/kern/quarz_log.h"
#include "tests/grafik/gemeinsam/grafik_testhilfe.h"
#include "tests/grafik/schrift/schrift_testhilfe.h"

namespace {

// Pixels of the top rows that a colour rule picks.
int Zaehle(const std::vector<uint32_t>& bild, int breite, int zeilen, bool (*regel)(int r, int g, int b)) {
  int n = 0;
  for (int i = 0; i < breite * zeilen; ++i)
    n += regel(bild[i] >> 16 & 0xFF, bild[i] >> 8 & 0xFF, bild[i] & 0xFF);
  return n;
}

}  // namespace

TEST_F(BildschirmTest, KonsoleZeichnetHintergrundUndFarbigeZeilen) {
  Quarz_KonsoleStandardAnzeige konsole(BauDaten("calibrib.fnt"));
  ASSERT_GT(konsole.mSchrift->mDateiGroesse, 0.0f);
  // 400 pixels of lines from the bottom up: the lines near the top of this small screen are
  // the oldest shown. Errors through the log (with its time prefix), and plain ones.
  for (int i = 0; i < 30; ++i) gLog.Schreibe("!WWWWWWWWWW %d", i);
  mKontext->Leeren(3, 0, 0, 0, 1);
  konsole.Zeichne();  // invisible: nothing
  EXPECT_EQ(Pixel(kBreite - 1, 1), 0xFF000000u);
  konsole.mSichtbar = 1;
  konsole.Zeichne();
  const std::vector<uint32_t> bild = Bild();
  // The background: white at alpha 128 tinted (0.2, 0.3, 0.5, 0.5), premultiplied over black.
  EXPECT_TRUE(FarbeNahe(bild[kBreite - 1] | 0xFF000000u, 0xFF0D1320u)) << std::hex << bild[kBreite - 1];
  // Red text, and no white or green one.
  EXPECT_GT(Zaehle(bild, kBreite, kHoehe, [](int r, int g, int b) { return r > 120 && g < 60 && b < 60; }), 20);
  EXPECT_EQ(Zaehle(bild, kBreite, kHoehe, [](int r, int g, int b) { return g > 120 && r > 120 && b > 120; }), 0);

  // Plain lines are white.
  for (int i = 0; i < 30; ++i) gLog.Schreibe("WWWWWWWWWW %d", i);
  mKontext->Leeren(3, 0, 0, 0, 1);
  konsole.Zeichne();
  const std::vector<uint32_t> weiss = Bild();
  EXPECT_GT(Zaehle(weiss, kBreite, kHoehe, [](int r, int g, int b) { return g > 120 && r > 120 && b > 120; }), 20);
}
