// Every pixel format uploads through both paths (locking and system memory) and samples as
// Direct3D 9 would, missing channels reading 1; DXT data made with libsquish; mip levels.
#include <squish.h>

#include <cstring>

#include "tests/grafik/textur/textur_hilfen.h"

namespace {

// Bytes of plain values in memory order.
template <class T>
std::vector<uint8_t> Bytes(std::initializer_list<T> werte) {
  std::vector<uint8_t> b(werte.size() * sizeof(T));
  if (!b.empty()) std::memcpy(b.data(), std::data(werte), b.size());
  return b;
}

uint16_t Halb(float f) {
  // Enough for the exact values used here (normal numbers with a short mantissa).
  uint32_t bits;
  std::memcpy(&bits, &f, 4);
  return static_cast<uint16_t>(((bits >> 16) & 0x8000) | ((((bits >> 23) & 0xFF) - 112) << 10) |
                               ((bits >> 13) & 0x3FF));
}

struct TFormatFall {
  const char* name;
  Quarz_Pixelformat format;
  std::vector<uint8_t> texel;  // a 2 x 2 level, row 0 first
  std::array<TFarbe, 4> soll;  // sampled colours in the same order
  float toleranz;
};

std::vector<TFormatFall> FormatFaelle() {
  const float n = 1.0f / 255.0f;
  return {
      {"A8R8G8B8",
       Quarz::PF_A8R8G8B8,
       Bytes<uint32_t>({0xFF336699u, 0x80FF0000u, 0x0000FF00u, 0xFF0000FFu}),
       {{{0x33 * n, 0x66 * n, 0x99 * n, 1}, {1, 0, 0, 0x80 * n}, {0, 1, 0, 0}, {0, 0, 1, 1}}},
       0.002f},
      {"R5G6B5",
       Quarz::PF_R5G6B5,
       Bytes<uint16_t>({0xF800, 0x07E0, 0x001F, 0xFFFF}),
       {{{1, 0, 0, 1}, {0, 1, 0, 1}, {0, 0, 1, 1}, {1, 1, 1, 1}}},
       0.002f},
      {"A2B10G10R10",
       Quarz::PF_A2B10G10R10,
       Bytes<uint32_t>({0xC00003FFu, 0x000FFC00u, 0x7FF00000u, 0xFFFFFFFFu}),
       {{{1, 0, 0, 1}, {0, 1, 0, 0}, {0, 0, 1, 1.0f / 3}, {1, 1, 1, 1}}},
       0.002f},
      {"R16F",
       Quarz::PF_R16F,
       Bytes<uint16_t>({Halb(0.5f), Halb(2.0f), Halb(-1.0f), Halb(0.25f)}),
       {{{0.5f, 1, 1, 1}, {2, 1, 1, 1}, {-1, 1, 1, 1}, {0.25f, 1, 1, 1}}},
       0.0f},
      {"G16R16F",
       Quarz::PF_G16R16F,
       Bytes<uint16_t>(
           {Halb(0.5f), Halb(0.25f), Halb(1), Halb(2), Halb(4), Halb(8), Halb(-2), Halb(0.125f)}),
       {{{0.5f, 0.25f, 1, 1}, {1, 2, 1, 1}, {4, 8, 1, 1}, {-2, 0.125f, 1, 1}}},
       0.0f},
      {"A16B16G16R16F",
       Quarz::PF_A16B16G16R16F,
       Bytes<uint16_t>({Halb(1), Halb(2), Halb(3), Halb(4), Halb(0.5f), Halb(0.25f), Halb(0.125f),
                        Halb(-1), Halb(5), Halb(6), Halb(7), Halb(8), Halb(-3), Halb(-4), Halb(-5),
                        Halb(-6)}),
       {{{1, 2, 3, 4}, {0.5f, 0.25f, 0.125f, -1}, {5, 6, 7, 8}, {-3, -4, -5, -6}}},
       0.0f},
      {"R32F",
       Quarz::PF_R32F,
       Bytes<float>({2.5f, -7.0f, 0.1f, 1e6f}),
       {{{2.5f, 1, 1, 1}, {-7, 1, 1, 1}, {0.1f, 1, 1, 1}, {1e6f, 1, 1, 1}}},
       0.0f},
      {"G32R32F",
       Quarz::PF_G32R32F,
       Bytes<float>({1, 2, 3, 4, 5, 6, 7, 8}),
       {{{1, 2, 1, 1}, {3, 4, 1, 1}, {5, 6, 1, 1}, {7, 8, 1, 1}}},
       0.0f},
      {"A32B32G32R32F",
       Quarz::PF_A32B32G32R32F,
       Bytes<float>({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}),
       {{{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}, {13, 14, 15, 16}}},
       0.0f},
      {"G16R16",
       Quarz::PF_G16R16,
       Bytes<uint16_t>({65535, 0, 0, 65535, 32768, 16384, 0, 0}),
       {{{1, 0, 1, 1}, {0, 1, 1, 1}, {32768 / 65535.0f, 16384 / 65535.0f, 1, 1}, {0, 0, 1, 1}}},
       1e-4f},
      {"A16B16G16R16",
       Quarz::PF_A16B16G16R16,
       Bytes<uint16_t>(
           {65535, 0, 0, 65535, 0, 65535, 0, 0, 0, 0, 65535, 65535, 32768, 32768, 32768, 0}),
       {{{1, 0, 0, 1}, {0, 1, 0, 0}, {0, 0, 1, 1}, {0.5f, 0.5f, 0.5f, 0}}},
       1e-4f},
      {"A8",
       Quarz::PF_A8,
       Bytes<uint8_t>({255, 0, 0x80, 0x33}),
       {{{0, 0, 0, 1}, {0, 0, 0, 0}, {0, 0, 0, 0x80 * n}, {0, 0, 0, 0x33 * n}}},
       0.002f},
  };
}

class TexturFormate : public TexturTest {};

TEST_F(TexturFormate, JedesFormatWirdWieUnterDirect3DGelesen) {
  for (uint32_t flags : {0u, static_cast<uint32_t>(FLAG_DYNAMISCH)}) {
    for (TFormatFall& fall : FormatFaelle()) {
      SCOPED_TRACE(std::string(fall.name) + (flags ? " dynamisch" : " statisch"));
      std::vector<std::vector<uint8_t>> stufen{fall.texel};
      TTexturInhalt inhalt = Inhalt(fall.format, stufen, 2, 2);
      auto* textur = mKontext->ErzeugeTextur(2, 2, 1, flags | fall.format, &inhalt);
      mAufraeumen.push_back(textur);
      ASSERT_NE(textur->mTextur, nullptr);
      TZiel ziel = ErzeugeZiel(2, 2);
      Zeichne(ziel, textur, PunktSampler());
      const std::vector<TFarbe> ist = Lies(ziel);
      for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(FarbeGleich(ist[i], fall.soll[i], fall.toleranz)) << i;
      GibFrei(ziel);
    }
  }
}

// An RGBA image of w x h whose 4 x 4 blocks each have one colour of `farben` (in block order).
std::vector<uint8_t> BlockBild(int w, int h, const std::vector<std::array<uint8_t, 4>>& farben) {
  std::vector<uint8_t> rgba(static_cast<size_t>(w) * h * 4);
  const int bloeckeX = (w + 3) / 4;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      std::memcpy(&rgba[(static_cast<size_t>(y) * w + x) * 4],
                  farben[static_cast<size_t>((y / 4) * bloeckeX + x / 4) % farben.size()].data(),
                  4);
  return rgba;
}

TEST_F(TexturFormate, DxtBloeckeAusLibsquishWerdenBlockgenauGelesen) {
  const std::vector<std::array<uint8_t, 4>> farben = {
      {255, 0, 0, 255}, {0, 255, 0, 136}, {0, 0, 255, 0}, {255, 255, 255, 255}};
  const struct {
    Quarz_Pixelformat format;
    int squish;
    bool alpha;  // DXT1 keeps only opaque colours here
  } faelle[] = {{Quarz::PF_DXT1, squish::kDxt1, false},
                {Quarz::PF_DXT3, squish::kDxt3, true},
                {Quarz::PF_DXT5, squish::kDxt5, true}};
  for (uint32_t flags : {0u, static_cast<uint32_t>(FLAG_DYNAMISCH)}) {
    for (const auto& fall : faelle) {
      SCOPED_TRACE(testing::Message() << fall.format << (flags ? " dynamisch" : " statisch"));
      std::vector<std::array<uint8_t, 4>> f = farben;
      if (!fall.alpha)
        for (auto& c : f) c[3] = 255;
      std::vector<uint8_t> rgba = BlockBild(8, 8, f);
      std::vector<std::vector<uint8_t>> stufen{std::vector<uint8_t>(
          static_cast<size_t>(squish::GetStorageRequirements(8, 8, fall.squish)))};
      squish::CompressImage(rgba.data(), 8, 8, stufen[0].data(), fall.squish);
      std::vector<uint8_t> erwartet(rgba.size());
      squish::DecompressImage(erwartet.data(), 8, 8, stufen[0].data(), fall.squish);

      TTexturInhalt inhalt = Inhalt(fall.format, stufen, 8, 8);
      auto* textur = mKontext->ErzeugeTextur(8, 8, 1, flags | fall.format, &inhalt);
      mAufraeumen.push_back(textur);
      EXPECT_TRUE(textur->mFlags & FLAG_MANUELLE_MIPMAPS);
      TZiel ziel = ErzeugeZiel(8, 8);
      Zeichne(ziel, textur, PunktSampler());
      const std::vector<TFarbe> ist = Lies(ziel);
      for (int i = 0; i < 64; ++i) {
        const TFarbe soll{erwartet[i * 4] / 255.0f, erwartet[i * 4 + 1] / 255.0f,
                          erwartet[i * 4 + 2] / 255.0f, erwartet[i * 4 + 3] / 255.0f};
        ASSERT_TRUE(FarbeGleich(ist[static_cast<size_t>(i)], soll, 0.01f)) << "Texel " << i;
      }
      GibFrei(ziel);
    }
  }
}

TEST_F(TexturFormate, ManuelleDxtStufenWerdenEinzelnHochgeladen) {
  // 12 x 12 has levels 12, 6, 3, 1: the odd sizes need whole blocks cut at the edge.
  const std::array<uint8_t, 4> farben[4] = {
      {255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 255, 255}};
  std::vector<std::vector<uint8_t>> stufen;
  for (int s = 0; s < 4; ++s) {
    const int k = std::max(1, 12 >> s);
    std::vector<uint8_t> rgba = BlockBild(k, k, {farben[s]});
    stufen.emplace_back(static_cast<size_t>(squish::GetStorageRequirements(k, k, squish::kDxt1)));
    squish::CompressImage(rgba.data(), k, k, stufen.back().data(), squish::kDxt1);
  }
  TTexturInhalt inhalt = Inhalt(Quarz::PF_DXT1, stufen, 12, 12);
  auto* textur = mKontext->ErzeugeTextur(
      12, 12, 0, uint32_t{Quarz::PF_DXT1} | FLAG_MANUELLE_MIPMAPS, &inhalt);
  mAufraeumen.push_back(textur);
  ASSERT_EQ(textur->mMipAnzahl, 4u);
  for (int s = 0; s < 4; ++s) {
    SCOPED_TRACE(s);
    // The sampler's most detailed level picks the level; the whole target must show it.
    Quarz_SamplerBeschr b;
    b.mAdresse = 0x15;
    b.mMipStufe = static_cast<float>(s);
    auto* sampler = mKontext->ErzeugeSampler(b);
    mAufraeumen.push_back(sampler);
    TZiel ziel = ErzeugeZiel(12, 12);
    Zeichne(ziel, textur, sampler);
    const TFarbe soll{farben[s][0] / 255.0f, farben[s][1] / 255.0f, farben[s][2] / 255.0f, 1};
    for (const TFarbe& t : Lies(ziel)) ASSERT_TRUE(FarbeGleich(t, soll, 0.01f));
    GibFrei(ziel);
  }
}

TEST_F(TexturFormate, AutomatischeMipStufenFolgenStufeNull) {
  // A 4 x 4 black and white checker: its 1 x 1 level is mid grey; after level 0 is rewritten
  // red, the lower levels follow.
  std::vector<uint32_t> schach(16);
  for (int i = 0; i < 16; ++i) schach[i] = ((i / 4 + i % 4) % 2) ? 0xFFFFFFFFu : 0xFF000000u;
  std::vector<std::vector<uint8_t>> stufen{Bytes<uint8_t>({})};
  stufen[0].resize(64);
  std::memcpy(stufen[0].data(), schach.data(), 64);
  TTexturInhalt inhalt = Inhalt(Quarz::PF_A8R8G8B8, stufen, 4, 4);
  auto* textur = mKontext->ErzeugeTextur(4, 4, 0, FLAG_DYNAMISCH, &inhalt);
  mAufraeumen.push_back(textur);
  EXPECT_EQ(textur->mMipAnzahl, 3u);
  Quarz_SamplerBeschr b;
  b.mAdresse = 0x15;
  b.mMipStufe = 2.0f;
  auto* sampler = mKontext->ErzeugeSampler(b);
  mAufraeumen.push_back(sampler);

  TZiel ziel = ErzeugeZiel(2, 2);
  Zeichne(ziel, textur, sampler);
  EXPECT_TRUE(FarbeGleich(Lies(ziel)[0], {0.5f, 0.5f, 0.5f, 1}, 0.02f));

  std::vector<uint32_t> rot(16, 0xFFFF0000u);
  TBereich quelle{reinterpret_cast<uint8_t*>(rot.data()), Quarz::PF_A8R8G8B8, 4, 4, 16};
  textur->SchreibeTeilInhalt(0, 0, quelle);
  Zeichne(ziel, textur, sampler);
  EXPECT_TRUE(FarbeGleich(Lies(ziel)[0], {1, 0, 0, 1}, 0.01f));
  GibFrei(ziel);
}

}  // namespace
