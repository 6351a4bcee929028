// DDS reading: ImageMagick's DXT1, DXT5 and uncompressed files, and files written here for
// what ImageMagick does not write (DXT3 from libsquish, channel masks, float and 16-bit
// formats, cube maps), damaged headers and truncated data.
#include <gtest/gtest.h>
#include <squish.h>

#include <cstring>
#include <string>
#include <vector>

#include "quarzklassen/grafik/bild/quarz_bild.h"
#include "quarzklassen/kern/tspeicher.h"
#include "tests/grafik/bild/bild_testhilfe.h"
#include "tests/grafik/gemeinsam/grafik_testhilfe.h"

using namespace BildTest;

namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint32_t kMitMips = 0x20000, kCapsMips = 0x400000 | 0x8 | 0x1000;

struct TDdsKopf {
  uint32_t breite = 4, hoehe = 4;
  uint32_t flags = 0x1007;
  uint32_t mips = 0;
  uint32_t pfFlags = 0x4;
  uint32_t code = 0;
  uint32_t bits = 0;
  uint32_t masken[4] = {};  // red, green, blue, alpha
  uint32_t caps = 0x1000, caps2 = 0;
  uint32_t kopfGroesse = 124;
};

uint32_t Code(const char* t) { return uint32_t(uint8_t(t[0])) | uint32_t(uint8_t(t[1])) << 8 | uint32_t(uint8_t(t[2])) << 16 | uint32_t(uint8_t(t[3])) << 24; }

Bytes BaueDds(const TDdsKopf& k, const Bytes& daten, const char* magie = "DDS ") {
  Bytes d(128, 0);
  std::memcpy(d.data(), magie, 4);
  const auto setze = [&](size_t ort, uint32_t w) { std::memcpy(&d[ort], &w, 4); };
  setze(4, k.kopfGroesse);
  setze(8, k.flags);
  setze(12, k.hoehe);
  setze(16, k.breite);
  setze(28, k.mips);
  setze(76, 32);
  setze(80, k.pfFlags);
  setze(84, k.code);
  setze(88, k.bits);
  for (int i = 0; i < 4; ++i) setze(92 + 4 * i, k.masken[i]);
  setze(108, k.caps);
  setze(112, k.caps2);
  d.insert(d.end(), daten.begin(), daten.end());
  return d;
}

bool Lade(Quarz_Bild& bild, const Bytes& datei) {
  TSpeicher s;
  s.SchreibeMem(datei.data(), datei.size());
  s.ZurueckZumAnfang();
  return bild.LadeBildAusSpeicher(s);
}

// Bytes of one level as the file stores it.
uint64_t StufenBytes(Quarz_Pixelformat f, uint64_t w, uint64_t h, uint64_t pixelBytes) {
  if (Quarz::IstBlockFormat(f)) return (w + 3) / 4 * ((h + 3) / 4) * (f == Quarz::PF_DXT1 ? 8 : 16);
  return w * h * pixelBytes;
}

Bytes BytesDerStufe(const Quarz_Bild* stufe) {
  return Bytes(stufe->mPixel, stufe->mPixel + Quarz::GetBildBytes(stufe->mFormat, stufe->mBreite, stufe->mHoehe));
}

// The image's level 0 as RGBA bytes, through the engine's own conversion.
Bytes AlsRgbaDekodiert(const Quarz_Bild& bild) {
  Quarz_Bild argb(bild.mBreite, bild.mHoehe, Quarz::PF_A8R8G8B8, 1);
  bild.KopiereIn(argb);
  return AlsRgba(argb.mPixel, argb.mBreite, argb.mHoehe, argb.mPitch);
}

int GroessteAbweichung(const Bytes& a, const Bytes& b) {
  if (a.size() != b.size()) return 1000;
  int m = 0;
  for (size_t i = 0; i < a.size(); ++i) m = std::max(m, std::abs(int(a[i]) - int(b[i])));
  return m;
}

TEST(DDS, LiestImageMagicksDateien) {
  const struct {
    const char* kompression;
    int kanaele;
    uint32_t w, h;
    const char* mips;  // ImageMagick's count of levels below the first
    Quarz_Pixelformat format;
    uint64_t stufen;
    uint64_t pixelBytes;  // of the uncompressed files
    int toleranz;
  } faelle[] = {
      {"dxt1", 3, 256, 128, "8", Quarz::PF_DXT1, 9, 0, 2},
      {"dxt5", 4, 256, 128, "8", Quarz::PF_DXT5, 9, 0, 2},
      {"dxt5", 4, 37, 21, "0", Quarz::PF_DXT5, 1, 0, 2},
      {"dxt1", 3, 16, 4, "4", Quarz::PF_DXT1, 5, 0, 2},
      {"none", 4, 33, 17, "0", Quarz::PF_A8R8G8B8, 1, 4, 0},
      {"none", 4, 64, 32, "6", Quarz::PF_A8R8G8B8, 7, 4, 0},
      {"none", 3, 33, 17, "0", Quarz::PF_A8R8G8B8, 1, 3, 0},
  };
  for (const auto& f : faelle) {
    SCOPED_TRACE(testing::Message() << f.kompression << " " << f.w << "x" << f.h << " levels " << f.stufen);
    SchreibeDatei("quelle.raw", Muster(f.w, f.h, f.kanaele, f.w));
    ASSERT_TRUE(Magick("-size " + std::to_string(f.w) + "x" + std::to_string(f.h) + " -depth 8 " +
                       (f.kanaele == 3 ? "rgb" : "rgba") + ":quelle.raw -define dds:compression=" +
                       f.kompression + " -define dds:mipmaps=" + f.mips + " f.dds"));
    const Bytes datei = LiesDatei("f.dds");
    TLogFaenger log;
    Quarz_Bild bild;
    ASSERT_TRUE(Lade(bild, datei)) << log.Alle();
    EXPECT_EQ(bild.mFormat, f.format);
    EXPECT_EQ(bild.mBreite, f.w);
    EXPECT_EQ(bild.mHoehe, f.h);
    ASSERT_EQ(bild.mMipAnzahl, f.stufen);
    EXPECT_LE(GroessteAbweichung(AlsRgbaDekodiert(bild), MagickRgba("f.dds")), f.toleranz);
    // Every level holds the file's bytes of that level (the uncompressed ones as A8R8G8B8).
    uint64_t ort = 128;
    for (uint64_t l = 0; l < f.stufen; ++l) {
      const Quarz_Bild* stufe = Quarz_Bild::GetMipStufe(&bild, l);
      ASSERT_NE(stufe, nullptr);
      EXPECT_EQ(stufe->mBreite, std::max<uint64_t>(1, f.w >> l));
      EXPECT_EQ(stufe->mHoehe, std::max<uint64_t>(1, f.h >> l));
      const uint64_t n = StufenBytes(f.format, stufe->mBreite, stufe->mHoehe, f.pixelBytes);
      ASSERT_LE(ort + n, datei.size());
      if (f.pixelBytes != 3) {
        EXPECT_EQ(BytesDerStufe(stufe), Bytes(datei.begin() + ort, datei.begin() + ort + n)) << "level " << l;
      }
      ort += n;
    }
    EXPECT_EQ(ort, datei.size());
  }
}

// DXT3 as libsquish writes it, 256 x 128 with its full chain of 9 levels.
TEST(DDS, Dxt3AusLibsquish) {
  Bytes daten;
  for (uint32_t l = 0; l < 9; ++l) {
    const uint32_t w = std::max(1u, 256u >> l), h = std::max(1u, 128u >> l);
    Bytes bloecke(squish::GetStorageRequirements(int(w), int(h), squish::kDxt3));
    squish::CompressImage(Muster(w, h, 4, l).data(), int(w), int(h), bloecke.data(), squish::kDxt3);
    daten.insert(daten.end(), bloecke.begin(), bloecke.end());
  }
  // 64 x 32 blocks down to 4 x 1, then the 2 x 1 and 1 x 1 levels take one block each.
  ASSERT_EQ(daten.size(), (2048u + 512 + 128 + 32 + 8 + 2 + 1 + 1 + 1) * 16);
  Quarz_Bild bild;
  ASSERT_TRUE(Lade(bild, BaueDds({.breite = 256, .hoehe = 128, .flags = 0x1007 | kMitMips, .mips = 9,
                                  .code = Code("DXT3"), .caps = kCapsMips}, daten)));
  EXPECT_EQ(bild.mFormat, Quarz::PF_DXT3);
  ASSERT_EQ(bild.mMipAnzahl, 9u);
  Bytes alle;
  for (uint32_t l = 0; l < 9; ++l) {
    const Bytes stufe = BytesDerStufe(Quarz_Bild::GetMipStufe(&bild, l));
    alle.insert(alle.end(), stufe.begin(), stufe.end());
  }
  EXPECT_EQ(alle, daten);
  // The engine's decode is libsquish's.
  Bytes squishDekodiert(256 * 128 * 4);
  squish::DecompressImage(squishDekodiert.data(), 256, 128, daten.data(), squish::kDxt3);
  EXPECT_EQ(AlsRgbaDekodiert(bild), squishDekodiert);
}

// Pixel values of the masked formats and what they must load as (0xAARRGGBB).
TEST(DDS, MaskierteFormate) {
  const struct {
    const char* name;
    uint32_t bits;
    uint32_t masken[4];
    uint32_t pixel;
    uint32_t argb;
  } faelle[] = {
      {"A8R8G8B8", 32, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, 0x80112233, 0x80112233},
      {"X8R8G8B8", 32, {0xFF0000, 0xFF00, 0xFF, 0}, 0x12345678, 0xFF345678},
      {"A8B8G8R8", 32, {0xFF, 0xFF00, 0xFF0000, 0xFF000000}, 0x40112233, 0x40332211},
      {"R8G8B8", 24, {0xFF0000, 0xFF00, 0xFF, 0}, 0xA1B2C3, 0xFFA1B2C3},
      {"R5G6B5", 16, {0xF800, 0x7E0, 0x1F, 0}, 0xFFFF, 0xFFF8FCF8},
      {"R5G6B5 red", 16, {0xF800, 0x7E0, 0x1F, 0}, 0x8000, 0xFF800000},
      {"A1R5G5B5", 16, {0x7C00, 0x3E0, 0x1F, 0x8000}, 0x83E0, 0x8000F800},
      {"A4R4G4B4", 16, {0xF00, 0xF0, 0xF, 0xF000}, 0x5A3C, 0x50A030C0},
      {"A2R10G10B10", 32, {0x3FF00000, 0xFFC00, 0x3FF, 0xC0000000}, 0xFFFFFFFF, 0xC0FFFFFF},
      {"L8", 8, {0xFF, 0, 0, 0}, 0x9C, 0xFF9C0000},
      {"A8 only", 8, {0, 0, 0, 0xFF}, 0x9C, 0x9C000000},
      {"no masks", 16, {0, 0, 0, 0}, 0xFFFF, 0xFF000000},
  };
  for (const auto& f : faelle) {
    TDdsKopf k{.breite = 3, .hoehe = 2, .pfFlags = 0x40, .bits = f.bits};
    std::copy(std::begin(f.masken), std::end(f.masken), k.masken);
    Bytes daten;
    for (int i = 0; i < 6; ++i)
      for (uint32_t b = 0; b < f.bits / 8; ++b) daten.push_back(uint8_t(f.pixel >> (8 * b)));
    Quarz_Bild bild;
    TLogFaenger log;
    ASSERT_TRUE(Lade(bild, BaueDds(k, daten))) << f.name << log.Alle();
    ASSERT_EQ(bild.mFormat, Quarz::PF_A8R8G8B8);
    for (uint64_t y = 0; y < 2; ++y)
      for (uint64_t x = 0; x < 3; ++x) {
        uint32_t p;
        std::memcpy(&p, bild.mPixel + y * bild.mPitch + x * 4, 4);
        EXPECT_EQ(p, f.argb) << f.name << std::hex << " got " << p;
      }
  }
}

// Every level of a masked file comes from its own place in the file.
TEST(DDS, MaskierteStufenFolgenAufeinander) {
  Bytes daten;
  const uint32_t groessen[4][2] = {{8, 4}, {4, 2}, {2, 1}, {1, 1}};
  for (uint32_t l = 0; l < 4; ++l)
    for (uint32_t i = 0; i < groessen[l][0] * groessen[l][1]; ++i) daten.insert(daten.end(), {uint8_t(i), uint8_t(l), 0x77});
  Quarz_Bild bild;
  ASSERT_TRUE(Lade(bild, BaueDds({.breite = 8, .hoehe = 4, .flags = 0x1007 | kMitMips, .mips = 4, .pfFlags = 0x40,
                                  .bits = 24, .masken = {0xFF0000, 0xFF00, 0xFF}, .caps = kCapsMips}, daten)));
  ASSERT_EQ(bild.mMipAnzahl, 4u);
  for (uint32_t l = 0; l < 4; ++l) {
    const Quarz_Bild* stufe = Quarz_Bild::GetMipStufe(&bild, l);
    for (uint32_t i = 0; i < groessen[l][0] * groessen[l][1]; ++i) {
      uint32_t p;
      std::memcpy(&p, stufe->mPixel + (i / stufe->mBreite) * stufe->mPitch + (i % stufe->mBreite) * 4, 4);
      EXPECT_EQ(p, 0xFF000000u | 0x77u << 16 | l << 8 | i) << "level " << l << " pixel " << i;
    }
  }
}

// Float and 16-bit formats are copied as they are, level by level.
TEST(DDS, FloatUnd16BitFormate) {
  const std::pair<uint32_t, Quarz_Pixelformat> faelle[] = {
      {111, Quarz::PF_R16F}, {112, Quarz::PF_G16R16F}, {113, Quarz::PF_A16B16G16R16F}, {114, Quarz::PF_R32F},
      {115, Quarz::PF_G32R32F}, {116, Quarz::PF_A32B32G32R32F}, {34, Quarz::PF_G16R16}, {36, Quarz::PF_A16B16G16R16}};
  for (const auto& [code, format] : faelle) {
    const uint64_t bpp = Quarz::GetBitsProPixel(format) / 8;
    Bytes daten((15 + 2 + 1) * bpp);  // 5 x 3, 2 x 1, 1 x 1
    for (size_t i = 0; i < daten.size(); ++i) daten[i] = uint8_t(i * 13 + code);
    Quarz_Bild bild;
    ASSERT_TRUE(Lade(bild, BaueDds({.breite = 5, .hoehe = 3, .flags = 0x1007 | kMitMips, .mips = 3, .code = code,
                                    .caps = kCapsMips}, daten))) << code;
    EXPECT_EQ(bild.mFormat, format);
    Bytes alle = BytesDerStufe(&bild), eins = BytesDerStufe(bild.mNaechsteStufe),
          zwei = BytesDerStufe(bild.mNaechsteStufe->mNaechsteStufe);
    alle.insert(alle.end(), eins.begin(), eins.end());
    alle.insert(alle.end(), zwei.begin(), zwei.end());
    EXPECT_EQ(alle, daten) << code;
  }
}

TEST(DDS, WuerfelKarten) {
  // Face i of the file, level l: blocks filled with 16 * i + l.
  Bytes daten;
  for (int i = 0; i < 6; ++i)
    for (int l = 0; l < 2; ++l) daten.insert(daten.end(), l == 0 ? 4 * 8 : 8, uint8_t(16 * i + l));
  TDdsKopf k{.breite = 8, .hoehe = 8, .flags = 0x1007 | kMitMips, .mips = 2, .code = Code("DXT1"),
             .caps = kCapsMips, .caps2 = 0x200 | 0xFC00};
  Quarz_Bild bild;
  ASSERT_TRUE(Lade(bild, BaueDds(k, daten)));
  ASSERT_TRUE(bild.IstCubeMap());
  EXPECT_EQ(bild.mSeiten[3], &bild);  // -X is the base, the image itself
  const int slot[6] = {2, 3, 0, 1, 4, 5};  // +X, -X, +Y, -Y, +Z, -Z in the engine's order
  for (int i = 0; i < 6; ++i)
    for (int l = 0; l < 2; ++l)
      EXPECT_EQ(BytesDerStufe(Quarz_Bild::GetMipStufe(bild.mSeiten[slot[i]], l)), Bytes(l ? 8 : 32, uint8_t(16 * i + l)));
  // Five face bits: a 2D image of the first face.
  k.caps2 = 0x200 | 0x7C00;
  Quarz_Bild flach;
  ASSERT_TRUE(Lade(flach, BaueDds(k, daten)));
  EXPECT_FALSE(flach.IstCubeMap());
  EXPECT_EQ(BytesDerStufe(&flach), Bytes(32, 0));
  EXPECT_EQ(BytesDerStufe(flach.mNaechsteStufe), Bytes(8, 1));
}

TEST(DDS, MipZaehlerGiltNurMitBeidenFlags) {
  const struct {
    uint32_t flags, caps, mips;
    uint64_t stufen;
  } faelle[] = {
      {0x1007 | kMitMips, kCapsMips, 3, 3},
      {0x1007, kCapsMips, 3, 1},
      {0x1007 | kMitMips, 0x1000, 3, 1},
      {0x1007 | kMitMips, kCapsMips, 0, 1},
      {0x1007 | kMitMips, kCapsMips, 0xFFFFFFFF, 3},  // cut to the full chain of a 4 x 4 image
  };
  for (const auto& f : faelle) {
    Quarz_Bild bild;
    ASSERT_TRUE(Lade(bild, BaueDds({.flags = f.flags, .mips = f.mips, .code = Code("DXT5"), .caps = f.caps},
                                   Bytes(48, 0x11))));
    EXPECT_EQ(bild.mMipAnzahl, f.stufen) << f.flags << " " << f.caps << " " << f.mips;
  }
}

TEST(DDS, FehlerhafteDateien) {
  const uint32_t dxt1 = Code("DXT1"), wuerfel = 0x200 | 0xFC00;
  const Bytes block(8, 0);
  Bytes kurzerKopf = BaueDds({.code = dxt1}, {});
  kurzerKopf.resize(100);
  const struct {
    const char* name;
    Bytes datei;
    const char* meldung;
  } faelle[] = {
      {"other magic", BaueDds({.code = dxt1}, block, "DDS!"), "Dateiformat nicht erkennbar."},
      {"header cut short", kurzerKopf, "Ungültiger DDS-Header."},
      {"magic only", Bytes{'D', 'D', 'S', ' '}, "Ungültiger DDS-Header."},
      {"header size 123", BaueDds({.code = dxt1, .kopfGroesse = 123}, block), "Ungültiger DDS-Header."},
      {"no size flags", BaueDds({.flags = 0x20000, .code = dxt1}, block), "Ungültiger DDS-Header."},
      {"width 0", BaueDds({.breite = 0, .code = dxt1}, block), "Ungültiger DDS-Header."},
      {"height 0", BaueDds({.hoehe = 0, .code = dxt1}, block), "Ungültiger DDS-Header."},
      {"huge", BaueDds({.breite = 0x40000000, .code = dxt1}, block), "Ungültiger DDS-Header."},
      {"cube not square", BaueDds({.hoehe = 8, .code = dxt1, .caps = 0x1008, .caps2 = wuerfel}, block),
       "Ungültiger DDS-Header."},
      {"DXT2", BaueDds({.code = Code("DXT2")}, block), "Pixelformat 32545844 wird nicht unterstützt."},
      {"0 bits", BaueDds({.pfFlags = 0x40, .bits = 0}, block), "0 Bits pro Pixel"},
      {"40 bits", BaueDds({.pfFlags = 0x40, .bits = 40}, block), "40 Bits pro Pixel"},
      {"12 bits", BaueDds({.pfFlags = 0x40, .bits = 12}, block), "12 Bits pro Pixel"},
      {"no data", BaueDds({.code = dxt1}, {}), "DDS-Datei ist abgeschnitten."},
      {"first level short", BaueDds({.breite = 8, .code = dxt1}, block), "DDS-Datei ist abgeschnitten."},
      {"last level missing", BaueDds({.flags = 0x1007 | kMitMips, .mips = 3, .code = dxt1, .caps = kCapsMips}, block),
       "DDS-Datei ist abgeschnitten."},
      {"masked short", BaueDds({.pfFlags = 0x40, .bits = 24, .masken = {0xFF}}, Bytes(47, 0)),
       "DDS-Datei ist abgeschnitten."},
      {"largest float image from a few bytes", BaueDds({.breite = 16384, .hoehe = 16384, .code = 116}, Bytes(64, 0)),
       "DDS-Datei ist abgeschnitten."},
      {"cube face missing", BaueDds({.code = dxt1, .caps = 0x1008, .caps2 = wuerfel}, Bytes(5 * 8, 0)),
       "DDS-Datei ist abgeschnitten."},
  };
  for (const auto& f : faelle) {
    TLogFaenger log;
    Quarz_Bild bild;
    EXPECT_FALSE(Lade(bild, f.datei)) << f.name;
    EXPECT_EQ(log.mZeilen.size(), 1u) << f.name << ": " << log.Alle();
    EXPECT_TRUE(log.Enthaelt(f.meldung)) << f.name << ": " << log.Alle();
  }
}

TEST(DDS, ZweiteMagieUndDateiweg) {
  SchreibeDatei("krvd.dds", BaueDds({.code = Code("DXT1")}, Bytes(8, 0x42), "KRVD"));
  SchreibeDatei("kurz.bin", {'D', 'D', 'S'});
  SchreibeDatei("leer.bin", {});
  TLogFaenger log;
  Quarz_Bild bild;
  EXPECT_TRUE(bild.LadeBildAusDatei(L"krvd.dds"));
  EXPECT_EQ(BytesDerStufe(&bild), Bytes(8, 0x42));
  EXPECT_FALSE(bild.LadeBildAusDatei(L"kurz.bin"));
  EXPECT_FALSE(bild.LadeBildAusDatei(L"leer.bin"));
  EXPECT_EQ(log.Zaehle("!Quarz_Bild::LadeBildAusDatei():  Dateiformat nicht erkennbar."), 2);
  EXPECT_FALSE(bild.LadeBildAusDatei(L"fehlt.dds"));
  EXPECT_TRUE(log.Enthaelt("!Quarz_Bild::LadeBildAusDatei( \"fehlt.dds\"):  Datei konnte nicht geladen werden."));
}

}  // namespace
