// The packer's placement, carving, merging and loading; placed rectangles never overlap.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <vector>

#include "quarzklassen/grafik/sprite/trechteckpacker.h"
#include "quarzklassen/kern/tspeicher.h"

namespace {

using Liste = std::vector<TRechteck>;

struct TFall {
  const char* mName;
  std::function<void(TRechteckPacker&)> mVorher;  // state before the step
  std::function<void(TRechteckPacker&)> mSchritt;
  Liste mBelegt;
  Liste mFrei;
};

void Einfuegen(TRechteckPacker& p, uint64_t w, uint64_t h, bool erwartet, uint64_t ex = 0,
               uint64_t ey = 0) {
  uint64_t x = 99, y = 99;
  ASSERT_EQ(p.Einfuegen(w, h, x, y), erwartet) << w << " x " << h;
  if (erwartet) {
    EXPECT_EQ(x, ex);
    EXPECT_EQ(y, ey);
  }
}

}  // namespace

TEST(RechteckPacker, Faelle) {
  const TFall faelle[] = {
      {"erstes Rechteck oben links",
       [](TRechteckPacker& p) { p.Init(512, 512, 0); },
       [](TRechteckPacker& p) { Einfuegen(p, 100, 50, true, 0, 0); },
       {{0, 0, 100, 50}},
       {{100, 0, 412, 50}, {0, 50, 512, 462}}},
      {"zu breit: nichts ändert sich",
       [](TRechteckPacker& p) {
         p.Init(512, 512, 0);
         Einfuegen(p, 100, 50, true, 0, 0);
       },
       [](TRechteckPacker& p) { Einfuegen(p, 600, 10, false); },
       {{0, 0, 100, 50}},
       {{100, 0, 412, 50}, {0, 50, 512, 462}}},
      {"gleiches y: der frühere Eintrag gewinnt trotz größerem x",
       [](TRechteckPacker& p) {
         p.Init(512, 512, 0);
         p.mFrei = {{200, 0, 50, 50}, {0, 0, 50, 50}};
       },
       [](TRechteckPacker& p) { Einfuegen(p, 10, 10, true, 200, 0); },
       {{200, 0, 10, 10}},
       {{0, 0, 50, 50}, {210, 0, 40, 10}, {200, 10, 50, 40}}},
      {"das höchste y gewinnt vor der Listenreihenfolge",
       [](TRechteckPacker& p) {
         p.Init(512, 512, 0);
         p.mFrei = {{0, 40, 50, 50}, {300, 5, 50, 50}};
       },
       [](TRechteckPacker& p) { Einfuegen(p, 10, 10, true, 300, 5); },
       {{300, 5, 10, 10}},
       {{0, 40, 50, 50}, {310, 5, 40, 10}, {300, 15, 50, 40}}},
      {"Kandidat über einem belegten Rechteck wird übergangen",
       [](TRechteckPacker& p) {
         p.Init(100, 100, 0);
         p.mBelegt = {{0, 0, 10, 10}};
         p.mFrei = {{5, 0, 95, 100}, {0, 20, 100, 80}};
       },
       [](TRechteckPacker& p) { Einfuegen(p, 10, 10, true, 0, 20); },
       {{0, 0, 10, 10}, {0, 20, 10, 10}},
       // The free list stays loose: a leftover may repeat one already there.
       {{5, 0, 95, 20}, {10, 20, 90, 10}, {5, 30, 95, 70}, {10, 20, 90, 10}, {0, 30, 100, 70}}},
      // A rectangle without area occupies nothing, even where a free rectangle spans it (the
      // second in each list).
      {"Breite 0 belegt nichts",
       [](TRechteckPacker& p) {
         p.Init(100, 100, 0);
         p.mFrei = {{10, 0, 10, 10}, {0, 5, 100, 95}};
       },
       [](TRechteckPacker& p) { Einfuegen(p, 0, 50, true, 10, 0); },
       {{10, 0, 0, 50}},
       {{10, 0, 10, 10}, {0, 5, 100, 95}}},
      {"Höhe 0 belegt nichts",
       [](TRechteckPacker& p) {
         p.Init(100, 100, 0);
         p.mFrei = {{50, 0, 50, 100}, {0, 40, 100, 60}};
       },
       [](TRechteckPacker& p) { Einfuegen(p, 60, 0, true, 0, 40); },
       {{0, 40, 60, 0}},
       {{50, 0, 50, 100}, {0, 40, 100, 60}}},
      {"freies Rechteck darüber verschmilzt",
       [](TRechteckPacker& p) { p.mFrei = {{0, 5, 10, 20}}; },
       [](TRechteckPacker& p) { p.FreiHinzufuegen({0, 0, 10, 5}); },
       {},
       {{0, 0, 10, 25}}},
      {"freies Rechteck darunter, links und rechts verschmilzt",
       [](TRechteckPacker& p) { p.mFrei = {{0, 0, 10, 5}, {20, 0, 5, 7}, {40, 0, 5, 7}}; },
       [](TRechteckPacker& p) {
         p.FreiHinzufuegen({0, 5, 10, 3});
         p.FreiHinzufuegen({15, 0, 5, 7});
         p.FreiHinzufuegen({45, 0, 1, 7});
       },
       {},
       {{0, 0, 10, 8}, {15, 0, 10, 7}, {40, 0, 6, 7}}},
      {"nur eine Verschmelzung je Aufruf, sonst angehängt",
       [](TRechteckPacker& p) { p.mFrei = {{0, 0, 10, 5}, {0, 10, 10, 5}}; },
       [](TRechteckPacker& p) {
         p.FreiHinzufuegen({0, 5, 10, 5});
         p.FreiHinzufuegen({3, 3, 1, 1});
       },
       {},
       {{0, 0, 10, 10}, {0, 10, 10, 5}, {3, 3, 1, 1}}},
  };
  for (const TFall& f : faelle) {
    SCOPED_TRACE(f.mName);
    TRechteckPacker p;
    f.mVorher(p);
    f.mSchritt(p);
    EXPECT_EQ(p.mBelegt, f.mBelegt);
    EXPECT_EQ(p.mFrei, f.mFrei);
  }
}

TEST(RechteckPacker, LadenBeiderFormen) {
  // The older form: a word, a count, rectangles as free ones; the bin size stays.
  TSpeicher alt;
  for (uint32_t w : {7u, 2u, 1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u}) SchreibeU32BE(alt, w);
  alt.ZurueckZumAnfang();
  TRechteckPacker p;
  p.Init(64, 32, 0);
  p.mBelegt = {{1, 1, 1, 1}};
  p.Laden(alt);
  EXPECT_TRUE(p.mBelegt.empty());
  EXPECT_EQ(p.mFrei, (Liste{{1, 2, 3, 4}, {5, 6, 7, 8}}));
  EXPECT_EQ(p.mBinBreite, 64u);

  // A "PLTZ" segment written and read back, followed by further data that stays unread.
  TRechteckPacker quelle;
  quelle.Init(256, 128, 0);
  uint64_t x, y;
  for (uint64_t i = 1; i < 20; ++i) ASSERT_TRUE(quelle.Einfuegen(i * 3, 20 - i, x, y));
  TSpeicher puffer;
  quelle.Speichern(puffer);
  SchreibeU32BE(puffer, 0xABCDEF01u);
  puffer.ZurueckZumAnfang();
  TRechteckPacker ziel;
  ziel.Laden(puffer);
  EXPECT_EQ(ziel.mBinBreite, 256u);
  EXPECT_EQ(ziel.mBinHoehe, 128u);
  EXPECT_EQ(ziel.mBelegt, quelle.mBelegt);
  EXPECT_EQ(ziel.mFrei, quelle.mFrei);
  EXPECT_EQ(LiesU32BE(puffer), 0xABCDEF01u);
}

TEST(RechteckPacker, UnmoeglicheAnzahlenWerdenAufDieDatenBegrenzt) {
  // A count of four billion in a short stream reads only what is there.
  TSpeicher puffer;
  SchreibeU32BE(puffer, 0);
  SchreibeU32BE(puffer, 0xFFFFFFFFu);
  for (uint32_t w : {1u, 2u, 3u, 4u, 9u}) SchreibeU32BE(puffer, w);
  puffer.ZurueckZumAnfang();
  TRechteckPacker p;
  p.Laden(puffer);
  EXPECT_EQ(p.mFrei, (Liste{{1, 2, 3, 4}}));
}

TEST(RechteckPacker, ZufaelligePlatzierungenUeberlappenNieUndBleibenImBin) {
  std::mt19937_64 zufall(12345);
  for (int runde = 0; runde < 40; ++runde) {
    TRechteckPacker p;
    const uint64_t binBreite = 64 + zufall() % 400, binHoehe = 64 + zufall() % 400;
    p.Init(binBreite, binHoehe, 0);
    int fehlschlaege = 0;
    for (int i = 0; i < 300 && fehlschlaege < 40; ++i) {
      const uint64_t w = 1 + zufall() % 40, h = 1 + zufall() % 40;
      uint64_t x, y;
      const size_t vorher = p.mBelegt.size();
      if (!p.Einfuegen(w, h, x, y)) {
        ++fehlschlaege;
        EXPECT_EQ(p.mBelegt.size(), vorher);
        continue;
      }
      const TRechteck neu{x, y, w, h};
      ASSERT_EQ(p.mBelegt.back(), neu);
      ASSERT_LE(x + w, binBreite);
      ASSERT_LE(y + h, binHoehe);
      for (size_t j = 0; j + 1 < p.mBelegt.size(); ++j)
        ASSERT_FALSE(neu.Ueberlappt(p.mBelegt[j])) << "Runde " << runde << ", Rechteck " << i;
      // No free rectangle covers a placed one.
      for (const TRechteck& f : p.mFrei) ASSERT_FALSE(f.Ueberlappt(neu));
    }
    EXPECT_GT(p.mBelegt.size(), 10u);
  }
}
