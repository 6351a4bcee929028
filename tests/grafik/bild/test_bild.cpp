// Image sizes, mip chains, cube maps and the regions handed to texture creation.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "quarzklassen/grafik/bild/quarz_bild.h"
#include "tests/grafik/gemeinsam/grafik_testhilfe.h"

namespace {

struct TGroessenFall {
  uint64_t breite, hoehe;
  Quarz_Pixelformat format;
  uint64_t mips;
  uint64_t pitch;
  uint64_t bytes;  // of level 0's buffer
  std::vector<std::pair<uint64_t, uint64_t>> stufen;
};

TEST(QuarzBild, GroesseUndMipKette) {
  const TGroessenFall faelle[] = {
      {5, 3, Quarz::PF_A8R8G8B8, 0, 20, 60, {{5, 3}, {2, 1}, {1, 1}}},
      {6, 6, Quarz::PF_DXT1, 1, 4, 32, {{6, 6}}},
      {256, 64, Quarz::PF_DXT5, 0, 256, 16384, {{256, 64}, {128, 32}, {64, 16}, {32, 8}, {16, 4},
                                                {8, 2}, {4, 1}, {2, 1}, {1, 1}}},
      // Counts beyond the full chain stop at 1 x 1.
      {4, 4, Quarz::PF_A8, 12, 4, 16, {{4, 4}, {2, 2}, {1, 1}}},
      {1, 1, Quarz::PF_A32B32G32R32F, 5, 16, 16, {{1, 1}}},
      {3, 7, Quarz::PF_A16B16G16R16F, 2, 24, 168, {{3, 7}, {1, 3}}},
      {8, 2, Quarz::PF_R5G6B5, 0, 16, 32, {{8, 2}, {4, 1}, {2, 1}, {1, 1}}},
      // An empty image has one level, and no buffer.
      {0, 9, Quarz::PF_A8R8G8B8, 0, 0, 0, {{0, 9}}},
      {7, 0, Quarz::PF_DXT3, 3, 8, 0, {{7, 0}}},
  };
  for (const auto& f : faelle) {
    SCOPED_TRACE(testing::Message() << f.breite << "x" << f.hoehe << " format " << f.format);
    Quarz_Bild bild(f.breite, f.hoehe, f.format, f.mips);
    EXPECT_EQ(bild.mPitch, f.pitch);
    EXPECT_EQ(bild.mMipAnzahl, f.stufen.size());
    EXPECT_EQ(bild.mPixel != nullptr, f.bytes > 0);
    if (f.bytes) bild.mPixel[f.bytes - 1] = 1;  // the whole buffer is there (ASan checks)
    for (uint64_t k = 0; k < f.stufen.size(); ++k) {
      const Quarz_Bild* stufe = Quarz_Bild::GetMipStufe(&bild, k);
      ASSERT_NE(stufe, nullptr) << "level " << k;
      EXPECT_EQ(stufe->mBreite, f.stufen[k].first);
      EXPECT_EQ(stufe->mHoehe, f.stufen[k].second);
      EXPECT_EQ(stufe->mFormat, f.format);
      EXPECT_EQ(stufe->mMipAnzahl, f.stufen.size() - k);
      EXPECT_EQ(stufe->IstMipStufe(), k > 0);
    }
    EXPECT_EQ(Quarz_Bild::GetMipStufe(&bild, f.stufen.size()), nullptr);
  }
}

TEST(QuarzBild, MipStufenUmbauen) {
  Quarz_Bild bild(16, 8, Quarz::PF_A8R8G8B8, 1);
  const struct {
    uint64_t gegeben, ergebnis;
  } faelle[] = {{3, 3}, {0, 5}, {2, 2}, {6, 5}, {1, 1}, {4, 4}};
  for (const auto& f : faelle) {
    bild.SetMipStufen(f.gegeben);
    EXPECT_EQ(bild.mMipAnzahl, f.ergebnis) << f.gegeben;
    const Quarz_Bild* letzte = Quarz_Bild::GetMipStufe(&bild, f.ergebnis - 1);
    ASSERT_NE(letzte, nullptr);
    EXPECT_EQ(letzte->mNaechsteStufe, nullptr);
    EXPECT_EQ(letzte->mBreite, std::max<uint64_t>(1, 16 >> (f.ergebnis - 1)));
  }
}

TEST(QuarzBild, UnhaltbareGroesseGibtLeeresBild) {
  TLogFaenger log;
  const struct {
    uint64_t breite, hoehe;
    Quarz_Pixelformat format;
  } faelle[] = {
      {uint64_t{1} << 62, 4, Quarz::PF_A32B32G32R32F},  // pitch overflows
      {uint64_t{1} << 40, uint64_t{1} << 40, Quarz::PF_A8R8G8B8},  // pitch x height overflows
      {~uint64_t{0}, 4, Quarz::PF_DXT1},  // rounding up to whole blocks overflows
      {4, 4, 15},  // no such format
  };
  for (const auto& f : faelle) {
    log.mZeilen.clear();
    Quarz_Bild bild(8, 8, Quarz::PF_A8R8G8B8, 0);
    bild.SetGroesse(f.breite, f.hoehe, f.format, 0);
    EXPECT_EQ(log.Zaehle("!Quarz_Bild::SetGroesse("), 1) << f.breite;
    EXPECT_EQ(bild.mBreite, 0u);
    EXPECT_EQ(bild.mHoehe, 0u);
    EXPECT_EQ(bild.mPixel, nullptr);
    EXPECT_EQ(bild.mMipAnzahl, 1u);
    EXPECT_EQ(bild.mNaechsteStufe, nullptr);
  }
}

TEST(QuarzBild, MipStufeLaesstSichNichtUmdimensionieren) {
  TLogFaenger log;
  Quarz_Bild bild(8, 8, Quarz::PF_A8R8G8B8, 0);
  Quarz_Bild* stufe = bild.mNaechsteStufe;
  stufe->SetGroesse(32, 32, Quarz::PF_A8, 1);
  stufe->SetCubeMapGroesse(32, Quarz::PF_A8, 1);
  EXPECT_EQ(log.Zaehle("Umdimensionierung ist für MipMaps nicht zulässig."), 2);
  EXPECT_EQ(stufe->mBreite, 4u);
  EXPECT_EQ(stufe->mFormat, Quarz::PF_A8R8G8B8);
  EXPECT_FALSE(stufe->IstCubeMap());
}

// Every face and level points at the six faces of its own level.
void PruefeWuerfel(const Quarz_Bild& basis, uint64_t kante, uint64_t stufen) {
  ASSERT_TRUE(basis.IstCubeMap());
  ASSERT_EQ(basis.mSeiten[Quarz_Bild::kBasisSeite], &basis);
  for (uint64_t k = 0; k < stufen; ++k) {
    const Quarz_Bild* ebene[6];
    for (int s = 0; s < 6; ++s) {
      ebene[s] = Quarz_Bild::GetMipStufe(basis.mSeiten[s], k);
      ASSERT_NE(ebene[s], nullptr) << "face " << s << " level " << k;
      EXPECT_EQ(ebene[s]->mBreite, std::max<uint64_t>(1, kante >> k));
      EXPECT_EQ(ebene[s]->mMipAnzahl, stufen - k);
    }
    for (int s = 0; s < 6; ++s) {
      EXPECT_TRUE(ebene[s]->IstCubeMap());
      for (int t = 0; t < 6; ++t) EXPECT_EQ(ebene[s]->mSeiten[t], ebene[t]) << s << " " << t;
    }
  }
  for (int s = 0; s < 6; ++s) EXPECT_EQ(Quarz_Bild::GetMipStufe(basis.mSeiten[s], stufen), nullptr);
}

TEST(QuarzBild, WuerfelSeitenUndStufen) {
  Quarz_Bild basis;
  basis.SetCubeMapGroesse(8, Quarz::PF_A8R8G8B8, 0);
  PruefeWuerfel(basis, 8, 4);
  // Changing the chain from the base reaches every face and keeps the links.
  basis.SetMipStufen(2);
  PruefeWuerfel(basis, 8, 2);
  basis.SetMipStufen(3);
  PruefeWuerfel(basis, 8, 3);
  // Back to a 2D image: the other faces go (LeakSanitizer checks that they are freed).
  basis.SetGroesse(4, 4, Quarz::PF_A8, 1);
  EXPECT_FALSE(basis.IstCubeMap());
  for (const Quarz_Bild* s : basis.mSeiten) EXPECT_EQ(s, nullptr);
}

TEST(QuarzBild, NurDieBasisseiteBautDenWuerfelUm) {
  TLogFaenger log;
  Quarz_Bild basis;
  basis.SetCubeMapGroesse(4, Quarz::PF_A8R8G8B8, 1);
  Quarz_Bild* seite = basis.mSeiten[2];
  seite->SetGroesse(16, 16, Quarz::PF_A8R8G8B8, 1);
  seite->SetCubeMapGroesse(16, Quarz::PF_A8R8G8B8, 1);
  EXPECT_EQ(log.Zaehle("!Quarz_Bild::SetGroesse("), 1);
  EXPECT_EQ(log.Zaehle("!Quarz_Bild::SetCubeMapGroesse("), 1);
  EXPECT_EQ(seite->mBreite, 4u);
  EXPECT_EQ(seite->mSeiten[Quarz_Bild::kBasisSeite], &basis);
  PruefeWuerfel(basis, 4, 1);
  // Leaving the scope frees every face once (AddressSanitizer checks).
}

TEST(QuarzBild, AlleStufenFuerDieTextur) {
  Quarz_Bild bild(1 << 17, 1, Quarz::PF_A8, 0);  // 18 levels, of which a texture takes 16
  ASSERT_EQ(bild.mMipAnzahl, 18u);
  const TTexturInhalt inhalt = bild.LockAlleStufen();
  EXPECT_EQ(inhalt.mUebergabe, 0u);
  for (int k = 0; k < TTexturInhalt::kMaxStufen; ++k) {
    const Quarz_Bild* stufe = Quarz_Bild::GetMipStufe(&bild, k);
    EXPECT_EQ(inhalt.mStufen[k].mPixel, stufe->mPixel);
    EXPECT_EQ(inhalt.mStufen[k].mBreite, stufe->mBreite);
    EXPECT_EQ(inhalt.mStufen[k].mHoehe, 1u);
    EXPECT_EQ(inhalt.mStufen[k].mPitch, stufe->mPitch);
    EXPECT_TRUE(inhalt.mStufen[k].IstVorhanden());
  }
  Quarz_Bild klein(4, 4, Quarz::PF_DXT5, 0);
  const TTexturInhalt drei = klein.LockAlleStufen();
  EXPECT_TRUE(drei.mStufen[2].IstVorhanden());
  EXPECT_FALSE(drei.mStufen[3].IstVorhanden());
}

}  // namespace
