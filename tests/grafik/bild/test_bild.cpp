// Image sizes, mip chains, cube maps and the regions handed to texture creation.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "quarzklassen/grafik/bild/quarz_bild.h"
#include "tests/grafik/gemeinsam/grafik_testhilfe.h"

namespace {

TEST(QuarzBild, GroesseUndMipKette) {
  const struct {
    uint64_t breite, hoehe;
    Quarz_Pixelformat format;
    uint64_t mips, pitch, bytes;  // bytes of level 0's buffer
    std::vector<std::pair<uint64_t, uint64_t>> stufen;
  } faelle[] = {
      {5, 3, Quarz::PF_A8R8G8B8, 0, 20, 60, {{5, 3}, {2, 1}, {1, 1}}},
      {6, 6, Quarz::PF_DXT1, 1, 4, 32, {{6, 6}}},
      {16, 4, Quarz::PF_DXT5, 0, 16, 64, {{16, 4}, {8, 2}, {4, 1}, {2, 1}, {1, 1}}},
      {4, 4, Quarz::PF_A8, 12, 4, 16, {{4, 4}, {2, 2}, {1, 1}}},  // beyond the full chain
      {3, 7, Quarz::PF_A16B16G16R16F, 2, 24, 168, {{3, 7}, {1, 3}}},
      {0, 9, Quarz::PF_A8R8G8B8, 0, 0, 0, {{0, 9}}},  // empty: one level, no buffer
      {7, 0, Quarz::PF_DXT3, 3, 8, 0, {{7, 0}}},
  };
  for (const auto& f : faelle) {
    SCOPED_TRACE(testing::Message() << f.breite << "x" << f.hoehe << " format " << f.format);
    Quarz_Bild bild(f.breite, f.hoehe, f.format, f.mips);
    EXPECT_EQ(bild.mPitch, f.pitch);
    EXPECT_EQ(bild.mPixel != nullptr, f.bytes > 0);
    if (f.bytes) bild.mPixel[f.bytes - 1] = 1;  // the whole buffer is there (ASan checks)
    ASSERT_EQ(bild.mMipAnzahl, f.stufen.size());
    for (uint64_t k = 0; k < f.stufen.size(); ++k) {
      const Quarz_Bild* stufe = Quarz_Bild::GetMipStufe(&bild, k);
      ASSERT_NE(stufe, nullptr);
      EXPECT_EQ(std::make_pair(stufe->mBreite, stufe->mHoehe), f.stufen[k]);
      EXPECT_EQ(stufe->mMipAnzahl, f.stufen.size() - k);
      EXPECT_EQ(stufe->IstMipStufe(), k > 0);
    }
    EXPECT_EQ(Quarz_Bild::GetMipStufe(&bild, f.stufen.size()), nullptr);
  }
}

TEST(QuarzBild, UnhaltbareGroesseGibtLeeresBild) {
  const struct {
    uint64_t breite, hoehe;
    Quarz_Pixelformat format;
  } faelle[] = {
      {uint64_t{1} << 62, 4, Quarz::PF_A32B32G32R32F},             // the pitch overflows
      {uint64_t{1} << 40, uint64_t{1} << 40, Quarz::PF_A8R8G8B8},  // pitch x height overflows
      {~uint64_t{0}, 4, Quarz::PF_DXT1},                           // whole blocks overflow
      {4, 4, 15},                                                  // no such format
  };
  for (const auto& f : faelle) {
    TLogFaenger log;
    Quarz_Bild bild(8, 8, Quarz::PF_A8R8G8B8, 0);
    bild.SetGroesse(f.breite, f.hoehe, f.format, 0);
    EXPECT_EQ(log.Zaehle("!Quarz_Bild::SetGroesse("), 1) << f.breite;
    EXPECT_TRUE(bild.mBreite == 0 && bild.mHoehe == 0 && !bild.mPixel && !bild.mNaechsteStufe);
  }
}

// Every face and level points at the six faces of its own level.
void PruefeWuerfel(const Quarz_Bild& basis, uint64_t kante, uint64_t stufen) {
  ASSERT_TRUE(basis.IstCubeMap());
  ASSERT_EQ(basis.mSeiten[Quarz_Bild::kBasisSeite], &basis);
  for (uint64_t k = 0; k <= stufen; ++k) {
    const Quarz_Bild* ebene[6];
    for (int s = 0; s < 6; ++s) ebene[s] = Quarz_Bild::GetMipStufe(basis.mSeiten[s], k);
    for (int s = 0; s < 6; ++s) {
      ASSERT_EQ(ebene[s] != nullptr, k < stufen) << "face " << s << " level " << k;
      if (k == stufen) continue;
      EXPECT_EQ(ebene[s]->mBreite, std::max<uint64_t>(1, kante >> k));
      EXPECT_TRUE(ebene[s]->IstCubeMap());
      for (int t = 0; t < 6; ++t) EXPECT_EQ(ebene[s]->mSeiten[t], ebene[t]) << s << " " << t;
    }
  }
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

// Mip levels and faces other than the base refuse to be resized; a second base face inside a
// cube map would be freed twice (AddressSanitizer checks when the scope ends).
TEST(QuarzBild, UmbauNurVonDerBasis) {
  TLogFaenger log;
  Quarz_Bild basis;
  basis.SetCubeMapGroesse(4, Quarz::PF_A8R8G8B8, 0);
  for (Quarz_Bild* teil : {basis.mSeiten[2], basis.mNaechsteStufe, basis.mSeiten[0]->mNaechsteStufe}) {
    teil->SetGroesse(16, 16, Quarz::PF_A8, 1);
    teil->SetCubeMapGroesse(16, Quarz::PF_A8, 1);
  }
  EXPECT_EQ(log.Zaehle("!Quarz_Bild::SetGroesse("), 3);
  EXPECT_EQ(log.Zaehle("!Quarz_Bild::SetCubeMapGroesse("), 3);
  PruefeWuerfel(basis, 4, 3);
}

// A face other than the base, deleted on its own, leaves every face table at every level; the
// base then frees only what is left (AddressSanitizer sees any second free).
TEST(QuarzBild, EinzelneSeiteGehtAusAllenTabellen) {
  for (int geloescht : {0, 2, 5}) {
    auto basis = std::make_unique<Quarz_Bild>();
    basis->SetCubeMapGroesse(8, Quarz::PF_A8R8G8B8, 0);
    Quarz_Bild* seite = basis->mSeiten[geloescht];
    const Quarz_Bild* stufen[4];
    for (int k = 0; k < 4; ++k) stufen[k] = Quarz_Bild::GetMipStufe(seite, k);
    delete seite;
    for (int k = 0; k < 4; ++k)
      for (int s = 0; s < 6; ++s) {
        const Quarz_Bild* ebene = s == geloescht ? nullptr : Quarz_Bild::GetMipStufe(basis->mSeiten[s], k);
        ASSERT_EQ(ebene != nullptr, s != geloescht) << s << " " << k;
        if (!ebene) continue;
        for (int t = 0; t < 6; ++t) EXPECT_NE(ebene->mSeiten[t], stufen[k]) << geloescht << " " << s << " " << k;
        EXPECT_EQ(ebene->mSeiten[geloescht], nullptr);
      }
    // The rest of the cube map still changes its chain as one.
    basis->SetMipStufen(2);
    EXPECT_EQ(basis->mSeiten[geloescht], nullptr);
    basis.reset();
  }
}

TEST(QuarzBild, AlleStufenFuerDieTextur) {
  Quarz_Bild bild(1 << 17, 1, Quarz::PF_A8, 0);  // 18 levels, of which a texture takes 16
  const TTexturInhalt inhalt = bild.LockAlleStufen();
  EXPECT_EQ(inhalt.mUebergabe, 0u);
  for (int k = 0; k < TTexturInhalt::kMaxStufen; ++k) {
    const Quarz_Bild* stufe = Quarz_Bild::GetMipStufe(&bild, k);
    EXPECT_EQ(inhalt.mStufen[k].mPixel, stufe->mPixel);
    EXPECT_EQ(inhalt.mStufen[k].mBreite, stufe->mBreite);
    EXPECT_EQ(inhalt.mStufen[k].mPitch, stufe->mPitch);
  }
  Quarz_Bild klein(4, 4, Quarz::PF_DXT5, 0);
  const TTexturInhalt drei = klein.LockAlleStufen();
  EXPECT_TRUE(drei.mStufen[2].IstVorhanden());
  EXPECT_FALSE(drei.mStufen[3].IstVorhanden());
}

}  // namespace
