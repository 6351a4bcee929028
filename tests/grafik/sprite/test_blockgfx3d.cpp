// The sprite batch on a real window: unrotated 1:1 graphics land texel for texel where a CPU
// rendering from the atlas puts them, before and after the atlas grows, in one draw or many.
#include <gtest/gtest.h>

#include <cmath>

#include "quarzklassen/grafik/geraet/quarz_zeichenkontext.h"
#include "quarzklassen/grafik/sprite/quarz_blockgfx3d.h"
#include "quarzklassen/grafik/textur/quarz_textur.h"
#include "quarzklassen/kern/tspeicher.h"
#include "tests/grafik/gemeinsam/grafik_testhilfe.h"
#include "tests/grafik/sprite/sprite_testhilfe.h"
#include "tests/grafik/sprite/sprite_zeichnen.h"

namespace {

// A picture of opaque and fully clear pixels, so premultiplied blending is exact.
struct TMaske : TTestBild {
  TMaske(uint64_t breite, uint64_t hoehe, uint32_t saat) : TTestBild(breite, hoehe, saat) {
    for (uint64_t i = 0; i < mPixel.size(); ++i)
      if ((i * 2654435761u >> 7) % 5 == 0) mPixel[i] = 0x00000000u;
  }
};

class BlockGfx3DTest : public BildschirmTest {
protected:
  // The expected screen: black, with each queued 1:1 graphic copied from the atlas pixels
  // (premultiplied "over": clear texels leave the background).
  struct TErwartung {
    std::vector<uint32_t> mPixel = std::vector<uint32_t>(kBreite * kHoehe, 0xFF000000u);
    void Grafik(const Quarz_BlockGfx3D& batch, uint64_t id, int x0, int y0) {
      const TGrafikSlot& s = batch.Grafik(id);
      for (uint64_t y = 0; y < s.mHoehe; ++y)
        for (uint64_t x = 0; x < s.mBreite; ++x) {
          const int px = x0 + static_cast<int>(x), py = y0 + static_cast<int>(y);
          if (px < 0 || py < 0 || px >= kBreite || py >= kHoehe) continue;
          const uint32_t texel = batch.mAtlas.mPixel[(s.mY + y) * batch.mAtlas.mBreite + s.mX + x];
          if (texel >> 24) mPixel[py * kBreite + px] = texel | 0xFF000000u;
        }
    }
  };

  void Vergleiche(const TErwartung& erwartung) {
    const std::vector<uint32_t> bild = Bild();
    int falsch = 0;
    for (int y = 0; y < kHoehe; ++y)
      for (int x = 0; x < kBreite; ++x) {
        const uint32_t ist = bild[y * kBreite + x] | 0xFF000000u, soll = erwartung.mPixel[y * kBreite + x];
        if (ist != soll && ++falsch <= 5)
          ADD_FAILURE() << "Pixel (" << x << ", " << y << "): " << std::hex << ist << " statt " << soll;
      }
    EXPECT_EQ(falsch, 0);
  }

  void Loesche() { mKontext->Leeren(3, 0, 0, 0, 1); }

  void GibAus(Quarz_BlockGfx3D& batch) { ZeichneTrilinear(mKontext, batch, mSampler); }

  void TearDown() override {
    if (mKontext) mKontext->Freigeben(mSampler);
    BildschirmTest::TearDown();
  }

  Quarz_Sampler* mSampler = nullptr;
};

const TAlphaFarbe kWeiss(1, 1, 1, 1);

}  // namespace

TEST_F(BlockGfx3DTest, EinszueinsTexelGenauAuchNachDemWachsen) {
  TMaske bild(600, 40, 7);
  Quarz_BlockGfx3D batch(0, 100, 0);
  EXPECT_EQ(batch.mTextur, nullptr);
  batch.AddGrafik(1, bild.mBereich, 0, 0, 12, 9);
  batch.AddGrafik(2, bild.mBereich, 30, 5, 7, 20);
  ASSERT_NE(batch.mTextur, nullptr);
  EXPECT_EQ(batch.mAtlas.mBreite, 512u);

  // Own size (0, 0), explicit size, partly off screen, and an unknown id.
  TErwartung e;
  Loesche();
  batch.Zeichne(1, {3, 4, 0.5f}, kWeiss, 0, 0, 0);
  batch.Zeichne(2, {40, 10, 0.5f}, kWeiss, 7, 20, 0);
  batch.Zeichne(1, {58, 44, 0.5f}, kWeiss, 0, 0, 0);
  batch.Zeichne(99, {20, 20, 0.5f}, kWeiss, 0, 0, 0);
  EXPECT_EQ(batch.mWarteschlange.size(), 3u);
  GibAus(batch);
  EXPECT_TRUE(batch.mWarteschlange.empty());
  e.Grafik(batch, 1, 3, 4);
  e.Grafik(batch, 2, 40, 10);
  e.Grafik(batch, 1, 58, 44);
  Vergleiche(e);

  // 550 wide makes the atlas 1024: the texture is made anew and both old graphics keep their
  // pixels at their new places.
  batch.AddGrafik(3, bild.mBereich, 0, 0, 550, 3);
  EXPECT_EQ(batch.mAtlas.mBreite, 1024u);
  TErwartung e2;
  Loesche();
  batch.Zeichne(2, {1, 1, 0.5f}, kWeiss, 0, 0, 0);
  batch.Zeichne(1, {20, 30, 0.5f}, kWeiss, 0, 0, 0);
  batch.Zeichne(3, {-100, 40, 0.5f}, kWeiss, 0, 0, 0);
  GibAus(batch);
  e2.Grafik(batch, 2, 1, 1);
  e2.Grafik(batch, 1, 20, 30);
  e2.Grafik(batch, 3, -100, 40);
  Vergleiche(e2);
  // Their pixels are still the source's.
  const TGrafikSlot& s = batch.Grafik(2);
  EXPECT_EQ(batch.mAtlas.mPixel[s.mY * 1024 + s.mX], bild.Pixel(30, 5));
}

TEST_F(BlockGfx3DTest, MehrInstanzenAlsDerPufferFasstInMehrerenRunden) {
  TMaske bild(8, 8, 9);
  Quarz_BlockGfx3D batch(64, 3, 0);
  batch.AddGrafik(0, bild.mBereich, 0, 0, 4, 4);
  TErwartung e;
  Loesche();
  for (int i = 0; i < 10; ++i) {
    batch.Zeichne(0, {static_cast<float>(i * 6), static_cast<float>(i * 4), 0.5f}, kWeiss, 0, 0, 0);
    e.Grafik(batch, 0, i * 6, i * 4);
  }
  mKontext->NulleZaehler();
  GibAus(batch);
  EXPECT_EQ(mKontext->mZaehler[Quarz_ZeichenKontext::Z_INSTANZ_ZEICHNUNGEN], 4u);
  Vergleiche(e);
}

TEST_F(BlockGfx3DTest, FarbeUndZentriertePivots) {
  // A uniform graphic through the batch's own output and sampler, tinted red.
  std::vector<uint32_t> pixel(4 * 4, 0xFFFFFFFFu);
  TBereich quelle{reinterpret_cast<uint8_t*>(pixel.data()), 0, 4, 4, 16};
  Quarz_BlockGfx3D batch(64, 16, 0);
  batch.AddGrafik(0, quelle, 0, 0, 4, 4);
  batch.mZentriert = 1;
  Loesche();
  batch.Zeichne(0, {10, 10, 0.5f}, TAlphaFarbe(1, 0, 0, 1), 0, 0, 0);
  EXPECT_EQ(batch.mWarteschlange[0].mParam[1], 0.5f);
  batch.Ausgeben();
  // Centred: the 4 x 4 square covers pixels 8..11 (the anisotropic filter of the software
  // rasteriser may soften its outer texels, so the inner ones are compared).
  EXPECT_EQ(Pixel(9, 9), 0xFFFF0000u);
  EXPECT_EQ(Pixel(10, 10), 0xFFFF0000u);
  EXPECT_EQ(Pixel(7, 8), 0xFF000000u);
  EXPECT_EQ(Pixel(12, 11), 0xFF000000u);
}

TEST_F(BlockGfx3DTest, GeladenerAtlasIstBeschreibbar) {
  TMaske bild(32, 32, 11);
  TSpeicher block;
  {
    TSpriteAtlas atlas;
    ASSERT_TRUE(atlas.Add(5, bild.mBereich, 0, 0, 10, 10));
    atlas.mMaxInstanzen = 8;
    atlas.Speichern(block);
  }
  block.ZurueckZumAnfang();
  Quarz_BlockGfx3D batch(0, 0, 0);
  ASSERT_TRUE(batch.Laden(block));
  ASSERT_NE(batch.mTextur, nullptr);
  EXPECT_TRUE(batch.mTextur->mFlags & FLAG_DYNAMISCH);
  batch.AddGrafik(6, bild.mBereich, 10, 10, 9, 9);
  TErwartung e;
  Loesche();
  batch.Zeichne(5, {2, 2, 0.5f}, kWeiss, 0, 0, 0);
  batch.Zeichne(6, {30, 20, 0.5f}, kWeiss, 0, 0, 0);
  GibAus(batch);
  e.Grafik(batch, 5, 2, 2);
  e.Grafik(batch, 6, 30, 20);
  Vergleiche(e);
}

TEST_F(BlockGfx3DTest, OhneAtlasWirdNichtsGezeichnet) {
  TSpeicher block;
  {
    TSpriteAtlas leer;
    leer.Speichern(block);
  }
  block.ZurueckZumAnfang();
  Quarz_BlockGfx3D batch(0, 4, 0);
  ASSERT_TRUE(batch.Laden(block));
  EXPECT_EQ(batch.mTextur, nullptr);
  Loesche();
  batch.Zeichne(0, {1, 1, 0.5f}, kWeiss, 5, 5, 0);
  batch.Ausgeben();
  EXPECT_EQ(Pixel(2, 2), 0xFF000000u);
}

TEST_F(BlockGfx3DTest, OhneInstanzpufferWirdDieWarteschlangeVerworfen) {
  TMaske bild(8, 8, 3);
  Quarz_BlockGfx3D batch(64, 0, 0);
  // The atlas may grow up to the device's texture limit.
  EXPECT_EQ(batch.mAtlas.mMaxKante, mKontext->mMaxTexturBreite);
  batch.AddGrafik(0, bild.mBereich, 0, 0, 4, 4);
  EXPECT_EQ(batch.mInstanzPuffer, nullptr);
  batch.Zeichne(0, {1, 1, 0.5f}, kWeiss, 0, 0, 0);
  // Drawing without the preparation that would make a buffer: the rounds would take nothing
  // and never end, so the queue is dropped with a line.
  batch.ZeichneInstanzen();
  EXPECT_TRUE(batch.mWarteschlange.empty());
  EXPECT_TRUE(mLog.Enthaelt("!Quarz_BlockGfx3D::ZeichneInstanzen(): Kein Instanzpuffer"));
  // The normal output makes a buffer of 512.
  batch.Zeichne(0, {1, 1, 0.5f}, kWeiss, 0, 0, 0);
  batch.Ausgeben();
  EXPECT_EQ(batch.mPufferInstanzen, 512u);
  // Counts beyond the bound are cut to it.
  batch.SetMaxInstanzen(~uint64_t(0));
  EXPECT_EQ(batch.mPufferInstanzen, TSpriteAtlas::kMaxInstanzen);
}

TEST_F(BlockGfx3DTest, GedrehtUndSkaliert) {
  // 8 x 4: the left half red, the right half blue.
  std::vector<uint32_t> pixel(8 * 4);
  for (int i = 0; i < 32; ++i) pixel[static_cast<size_t>(i)] = i % 8 < 4 ? 0xFFFF0000u : 0xFF0000FFu;
  const TBereich quelle{reinterpret_cast<uint8_t*>(pixel.data()), 0, 8, 4, 32};
  Quarz_BlockGfx3D batch(64, 8, 0);
  batch.AddGrafik(0, quelle, 0, 0, 8, 4);
  Loesche();
  // A quarter turn about the top-left corner: x runs down, y runs left (x 16..20, y 10..18).
  batch.Zeichne(0, {20, 10, 0.5f}, kWeiss, 0, 0, 1.5707964f);
  // Twice the size: 16 x 8 from (30, 30).
  batch.Zeichne(0, {30, 30, 0.5f}, kWeiss, 16, 8, 0);
  GibAus(batch);
  const struct {
    int x, y;
    uint32_t farbe;
  } proben[] = {{18, 11, 0xFFFF0000u}, {18, 17, 0xFF0000FFu}, {21, 14, 0xFF000000u},
                {15, 14, 0xFF000000u}, {18, 19, 0xFF000000u}, {32, 33, 0xFFFF0000u},
                {43, 34, 0xFF0000FFu}, {45, 37, 0xFF0000FFu}, {46, 34, 0xFF000000u},
                {35, 38, 0xFF000000u}};
  for (const auto& p : proben)
    EXPECT_TRUE(FarbeNahe(Pixel(p.x, p.y), p.farbe))
        << p.x << ", " << p.y << ": " << std::hex << Pixel(p.x, p.y);
}
