// Atlas bookkeeping without a device: growth and re-packing keep every graphic's pixels, the
// growth stops at the limit, and "FX3D" blocks load whole or not at all.
#include <gtest/gtest.h>

#include <functional>

#include "quarzklassen/grafik/sprite/tspriteatlas.h"
#include "quarzklassen/kern/tspeicher.h"
#include "tests/grafik/gemeinsam/grafik_testhilfe.h"
#include "tests/grafik/sprite/sprite_testhilfe.h"

namespace {

// Every graphic's atlas pixels equal its source rectangle.
void PruefePixel(const TSpriteAtlas& atlas, uint64_t id, const TTestBild& quelle, uint64_t qx,
                 uint64_t qy) {
  ASSERT_TRUE(atlas.mGrafiken.Belegt(id));
  const TGrafikSlot& s = atlas.mGrafiken[id];
  for (uint64_t y = 0; y < s.mHoehe; ++y)
    for (uint64_t x = 0; x < s.mBreite; ++x)
      ASSERT_EQ(atlas.mPixel[(s.mY + y) * atlas.mBreite + s.mX + x], quelle.Pixel(qx + x, qy + y))
          << "Grafik " << id << " bei (" << x << ", " << y << ")";
}

}  // namespace

TEST(SpriteAtlas, WachstumUndNeuPackenBehaltenDiePixel) {
  TLogFaenger log;
  TTestBild bild(700, 300, 1);
  TSpriteAtlas atlas;
  // Each step: id, source rectangle, the atlas edge afterwards, the graphic's corner.
  struct TSchritt {
    uint64_t mId, mX, mY, mBreite, mHoehe, mKante, mZielX, mZielY;
  };
  const TSchritt schritte[] = {
      {5, 0, 0, 100, 50, 512, 0, 0},     // no atlas yet: 512
      {2, 10, 20, 300, 200, 512, 100, 0},
      {9, 3, 4, 400, 250, 512, 0, 200},  // below the others, still in 512
      // 600 wide fits only a 1024 atlas: all are packed anew in id order (2, 5, 9, then 7
      // below them).
      {7, 0, 0, 600, 10, 1024, 0, 250},
  };
  for (const TSchritt& s : schritte) {
    ASSERT_TRUE(atlas.Add(s.mId, bild.mBereich, s.mX, s.mY, s.mBreite, s.mHoehe)) << s.mId;
    EXPECT_EQ(atlas.mBreite, s.mKante);
    EXPECT_EQ(atlas.mHoehe, s.mKante);
    EXPECT_EQ(atlas.mGrafiken[s.mId].mX, s.mZielX) << s.mId;
    EXPECT_EQ(atlas.mGrafiken[s.mId].mY, s.mZielY) << s.mId;
  }
  // Id order after the re-pack: 2 at the top left, 5 beside it, 9 below.
  const uint64_t ecken[][3] = {{2, 0, 0}, {5, 300, 0}, {9, 400, 0}};
  for (const auto& e : ecken) {
    EXPECT_EQ(atlas.mGrafiken[e[0]].mX, e[1]) << e[0];
    EXPECT_EQ(atlas.mGrafiken[e[0]].mY, e[2]) << e[0];
  }
  for (const TSchritt& s : schritte) PruefePixel(atlas, s.mId, bild, s.mX, s.mY);
  // The texture rectangle follows the new atlas size.
  EXPECT_FLOAT_EQ(atlas.mGrafiken[5].mU, (300 + 0.02f) / 1024);
  EXPECT_FLOAT_EQ(atlas.mGrafiken[5].mUBreite, (100 - 0.02f) / 1024);
  // Nothing placed stays zero.
  EXPECT_EQ(atlas.mPixel[1023 * 1024 + 1023], 0u);
  EXPECT_FALSE(log.Enthaelt("!"));
}

// Each graphic's edge is repeated into the free texels around it, corners included; another
// graphic's texels and the texels further out keep what they hold.
TEST(SpriteAtlas, DieKanteUmrandetJedeGrafikImFreienPlatz) {
  TTestBild bild(40, 40, 5);
  TSpriteAtlas atlas;
  ASSERT_TRUE(atlas.Add(1, bild.mBereich, 0, 0, 4, 3));
  ASSERT_TRUE(atlas.Add(2, bild.mBereich, 10, 10, 5, 5));
  ASSERT_EQ(atlas.mGrafiken[2].mX, 4u);  // right beside graphic 1
  const struct {
    uint64_t x, y;
    uint32_t soll;
  } faelle[] = {
      {0, 3, bild.Pixel(0, 2)},    {2, 3, bild.Pixel(2, 2)},    // below graphic 1
      {4, 2, bild.Pixel(10, 12)},                               // graphic 2 itself
      {9, 0, bild.Pixel(14, 10)},  {9, 4, bild.Pixel(14, 14)},  // right of graphic 2
      {6, 5, bild.Pixel(12, 14)},  {9, 5, bild.Pixel(14, 14)},  // below it and its corner
      {0, 4, 0u},                  {10, 0, 0u},                 // two texels out
  };
  for (const auto& f : faelle)
    EXPECT_EQ(atlas.mPixel[f.y * atlas.mBreite + f.x], f.soll) << f.x << ", " << f.y;
}

TEST(SpriteAtlas, WachstumEndetAnDerGrenze) {
  TLogFaenger log;
  TTestBild bild(2100, 20, 2);
  TSpriteAtlas atlas;
  atlas.mMaxKante = 1024;
  ASSERT_TRUE(atlas.Add(1, bild.mBereich, 0, 0, 30, 20));
  const std::vector<uint32_t> vorher = atlas.mPixel;
  EXPECT_FALSE(atlas.Add(2, bild.mBereich, 0, 0, 2000, 10));
  EXPECT_TRUE(log.Enthaelt("!Quarz_BlockGfx3D::PlatziereGrafik( 2, 2000, 10)"));
  EXPECT_EQ(atlas.mBreite, 512u);
  EXPECT_FALSE(atlas.mGrafiken.Belegt(2));
  EXPECT_EQ(atlas.mPixel, vorher);
  EXPECT_EQ(atlas.mPacker.mBelegt.size(), 1u);
}

TEST(SpriteAtlas, RechteckAusserhalbDerQuelleWirdAbgewiesen) {
  TLogFaenger log;
  TTestBild bild(32, 16, 3);
  TSpriteAtlas atlas;
  const struct {
    uint64_t x, y, w, h;
    bool ok;
  } faelle[] = {{16, 0, 16, 16, true}, {0, 0, 15, 15, true}, {17, 0, 16, 16, false},
                {0, 1, 32, 16, false}, {40, 0, 1, 1, false}, {0, 0, ~uint64_t(0), 1, false}};
  uint64_t id = 0;
  for (const auto& f : faelle) {
    EXPECT_EQ(atlas.Add(id, bild.mBereich, f.x, f.y, f.w, f.h), f.ok) << id;
    EXPECT_EQ(atlas.mGrafiken.Belegt(id), f.ok) << id;
    ++id;
  }
  EXPECT_EQ(log.Zaehle("außerhalb der Quellgrafik"), 4);
}

TEST(SpriteAtlas, BlockHinUndZurueck) {
  TTestBild bild(64, 64, 4);
  TSpriteAtlas quelle;
  quelle.mMaxInstanzen = 77;
  quelle.mZentriert = 1;
  quelle.mFlags = 1;
  for (uint64_t id : {3u, 1u, 70u}) ASSERT_TRUE(quelle.Add(id, bild.mBereich, id % 7, id % 5, 20 + id % 9, 10));
  TSpeicher puffer;
  quelle.Speichern(puffer);
  puffer.ZurueckZumAnfang();
  TSpriteAtlas ziel;
  ASSERT_TRUE(ziel.Laden(puffer));
  EXPECT_EQ(puffer.Rest(), 0u);
  EXPECT_EQ(ziel.mMaxInstanzen, 77u);
  EXPECT_EQ(ziel.mZentriert, 1);
  EXPECT_EQ(ziel.mFlags, 1u);
  EXPECT_EQ(ziel.mBreite, 512u);
  EXPECT_EQ(ziel.mPixel, quelle.mPixel);
  EXPECT_EQ(ziel.mPacker.mBelegt, quelle.mPacker.mBelegt);
  EXPECT_EQ(ziel.mPacker.mFrei, quelle.mPacker.mFrei);
  for (uint64_t id = 0; id < 128; ++id) {
    ASSERT_EQ(ziel.mGrafiken.Belegt(id), quelle.mGrafiken.Belegt(id)) << id;
    if (ziel.mGrafiken.Belegt(id)) {
      EXPECT_EQ(ziel.mGrafiken[id], quelle.mGrafiken[id]);
    }
  }
}

// A graphic without area takes no room in a loaded block either: placing one where a free
// rectangle spans it records it and leaves the free list as it was.
TEST(SpriteAtlas, GrafikOhneFlaecheBelegtNichts) {
  TTestBild bild(512, 16, 6);
  TSpeicher block;
  {
    TSpriteAtlas a;
    ASSERT_TRUE(a.Add(0, bild.mBereich, 0, 0, 8, 8));
    // A loose free list, as a block may carry one: a strip beside graphic 0, the bin below
    // it, and a strip down the right edge across both.
    a.mPacker.mFrei = {{8, 0, 400, 8}, {0, 8, 512, 504}, {500, 0, 12, 512}};
    a.Speichern(block);
  }
  const TGrafikSlot faelle[] = {{8, 0, 0, 16}, {0, 8, 510, 0}};
  for (const TGrafikSlot& f : faelle) {
    SCOPED_TRACE(testing::Message() << f.mBreite << " x " << f.mHoehe);
    block.ZurueckZumAnfang();
    TSpriteAtlas atlas;
    ASSERT_TRUE(atlas.Laden(block));
    const std::vector<TRechteck> frei = atlas.mPacker.mFrei;
    ASSERT_TRUE(atlas.Add(1, bild.mBereich, 0, 0, f.mBreite, f.mHoehe));
    EXPECT_TRUE(atlas.mGrafiken.Belegt(1));
    EXPECT_EQ(atlas.mPacker.mBelegt.back(), (TRechteck{f.mX, f.mY, f.mBreite, f.mHoehe}));
    EXPECT_EQ(atlas.mPacker.mFrei, frei);
  }
}

namespace {

// A block of an older version by hand: one 1 x 1 graphic and a w x h atlas.
TSpeicher AlterBlock(uint32_t version, uint32_t breite, uint32_t hoehe) {
  TSpeicher p;
  SchreibeU32BE(p, TSpriteAtlas::kKennung);
  SchreibeU32BE(p, version);
  if (version < 261) {
    SchreibeU32BE(p, 0xDEADBEEFu);
    SchreibeU32BE(p, 0xDEADBEEFu);
  }
  SchreibeU32BE(p, 10);
  p.SchreibeU8(0);
  if (version >= 258) SchreibeU32BE(p, 0);
  SchreibeU32BE(p, 0);
  SchreibeU32BE(p, 1);
  p.SchreibeU8(1);
  for (uint32_t w : {1u, 1u, 1u, 1u, 0u, 0u, 0u, 0u}) SchreibeU32BE(p, w);
  SchreibeU32BE(p, 0);  // older packer form: ignored word, no free rectangles
  SchreibeU32BE(p, 0);
  SchreibeU32BE(p, 0);
  SchreibeU32BE(p, breite);
  if (version >= 259) SchreibeU32BE(p, hoehe);
  const uint32_t h = version >= 259 ? hoehe : breite;
  for (uint32_t i = 0; i < breite * h; ++i) SchreibeU32BE(p, 0xFF000000u + i);
  p.ZurueckZumAnfang();
  return p;
}

}  // namespace

TEST(SpriteAtlas, AeltereVersionen) {
  const struct {
    uint32_t version, breite, hoehe, erwarteteHoehe;
  } faelle[] = {{256, 4, 0, 4}, {258, 8, 0, 8}, {259, 8, 2, 2}, {260, 2, 8, 8}, {261, 4, 4, 4},
                {261, 4, 0, 0}};
  for (const auto& f : faelle) {
    SCOPED_TRACE(f.version);
    TSpeicher p = AlterBlock(f.version, f.breite, f.hoehe);
    TSpriteAtlas atlas;
    ASSERT_TRUE(atlas.Laden(p));
    EXPECT_EQ(p.Rest(), 0u);
    EXPECT_EQ(atlas.mMaxInstanzen, 10u);
    EXPECT_TRUE(atlas.mGrafiken.Belegt(0));
    EXPECT_EQ(atlas.mHoehe, f.erwarteteHoehe);
    EXPECT_EQ(atlas.mPacker.mBinBreite, f.breite);
    EXPECT_EQ(atlas.mPacker.mBinHoehe, f.erwarteteHoehe);
    if (f.erwarteteHoehe) {
      EXPECT_EQ(atlas.mPixel.back(), 0xFF000000u + f.breite * f.erwarteteHoehe - 1);
    }
  }
}

TEST(SpriteAtlas, BeschaedigteBloeckeLassenDenAtlasUnveraendert) {
  TLogFaenger log;
  TTestBild bild(16, 16, 5);
  TSpeicher gut;
  {
    TSpriteAtlas a;
    ASSERT_TRUE(a.Add(0, bild.mBereich, 0, 0, 16, 16));
    a.Speichern(gut);
  }
  const uint64_t ende = gut.Groesse();
  // Damage: where, what, the expected line (empty: none).
  struct TSchaden {
    const char* mName;
    std::function<void(TSpeicher&)> mMach;
    const char* mZeile;
  };
  auto Wort = [](uint64_t pos, uint32_t wert) {
    return [=](TSpeicher& p) {
      p.SetPosition(pos);
      SchreibeU32BE(p, wert);
    };
  };
  const TSchaden schaeden[] = {
      {"falsche Kennung", Wort(0, 0x46583345u), nullptr},
      {"abgeschnittene Pixel", [&](TSpeicher& p) { p.SetGroesse(ende - 1); }, "Atlaspixel fehlen"},
      {"riesige Instanzanzahl", Wort(8, 0x7FFFFFFFu), "Instanzanzahl"},
      {"riesige Grafikanzahl", Wort(21, 0x7FFFFFFFu), "Grafikanzahl"},
      {"Grafik außerhalb des Atlas", Wort(26, 500), "außerhalb des Atlas"},
      {"riesiger Atlas", [&](TSpeicher& p) {
         // The atlas width and height are the last two words before the pixels.
         Wort(ende - 512 * 512 * 4 - 8, 0x00100000u)(p);
       }, "Atlasgröße"},
  };
  for (const TSchaden& s : schaeden) {
    SCOPED_TRACE(s.mName);
    TSpeicher p;
    p.SchreibeMem(gut.Daten(), gut.Groesse());
    s.mMach(p);
    p.ZurueckZumAnfang();
    TSpriteAtlas atlas;
    ASSERT_TRUE(atlas.Add(4, bild.mBereich, 1, 1, 5, 5));
    const std::vector<uint32_t> vorher = atlas.mPixel;
    log.mZeilen.clear();
    EXPECT_FALSE(atlas.Laden(p));
    if (s.mZeile) EXPECT_TRUE(log.Enthaelt(s.mZeile)) << log.Alle();
    else EXPECT_TRUE(log.mZeilen.empty()) << log.Alle();
    EXPECT_EQ(atlas.mPixel, vorher);
    EXPECT_TRUE(atlas.mGrafiken.Belegt(4));
    EXPECT_FALSE(atlas.mGrafiken.Belegt(0));
  }
}
