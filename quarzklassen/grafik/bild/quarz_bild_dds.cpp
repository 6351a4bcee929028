// DirectDraw Surface files: 2D images and cube maps with their levels, in the block, float and
// 16-bit formats the engine has, and uncompressed files described by channel masks, which
// become A8R8G8B8.
#include <algorithm>
#include <bit>
#include <cstring>

#include "quarzklassen/grafik/bild/quarz_bild.h"
#include "quarzklassen/kern/quarz_log.h"
#include "quarzklassen/kern/tspeicher.h"

namespace {

constexpr uint64_t kKopfBytes = 128;

uint32_t LiesLE(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

constexpr uint32_t Code(const char (&t)[5]) {
  return uint32_t(uint8_t(t[0])) | uint32_t(uint8_t(t[1])) << 8 | uint32_t(uint8_t(t[2])) << 16 |
         uint32_t(uint8_t(t[3])) << 24;
}

bool FormatAusCode(uint32_t code, Quarz_Pixelformat& format) {
  switch (code) {
    case 111: format = Quarz::PF_R16F; return true;
    case 112: format = Quarz::PF_G16R16F; return true;
    case 113: format = Quarz::PF_A16B16G16R16F; return true;
    case 114: format = Quarz::PF_R32F; return true;
    case 115: format = Quarz::PF_G32R32F; return true;
    case 116: format = Quarz::PF_A32B32G32R32F; return true;
    case 34: format = Quarz::PF_G16R16; return true;
    case 36: format = Quarz::PF_A16B16G16R16; return true;
    case Code("DXT1"): format = Quarz::PF_DXT1; return true;
    case Code("DXT3"): format = Quarz::PF_DXT3; return true;
    case Code("DXT5"): format = Quarz::PF_DXT5; return true;
    default: return false;
  }
}

// One channel of a masked file: its mask and the shift that puts the mask's top bit onto the
// top bit of the channel's byte in an A8R8G8B8 pixel.
struct TKanal {
  uint32_t maske = 0;
  int verschiebung = 0;
  uint32_t oberstesBit = 0;

  TKanal(uint32_t m, int ziel) : maske(m), oberstesBit(static_cast<uint32_t>(ziel)) {
    // A zero mask has no top bit; its channel stays 0 (no shift by the full width).
    if (m) verschiebung = ziel - (31 - std::countl_zero(m));
  }
  uint32_t Wert(uint32_t pixel) const {
    const uint64_t bits = pixel & maske;
    const uint64_t geschoben = verschiebung >= 0 ? bits << verschiebung : bits >> -verschiebung;
    return static_cast<uint32_t>(geschoben & (uint64_t{0xFF} << (oberstesBit - 7)));
  }
};

void Melde(const char* text) { gLog.Schreibe("!Quarz_Bild::LadeDDS(): %s", text); }

}  // namespace

bool Quarz_Bild::LadeDDS(TSpeicher& speicher) {
  const uint8_t* kopf = speicher.Daten() + speicher.Position();
  const uint64_t rest = speicher.Rest();
  if (rest < 4 || (std::memcmp(kopf, "DDS ", 4) != 0 && std::memcmp(kopf, "KRVD", 4) != 0)) {
    Melde("Datei ist keine DDS-Datei.");
    return false;
  }
  const auto feld = [&](uint64_t versatz) { return LiesLE(kopf + versatz); };
  if (rest < kKopfBytes || feld(4) != 124 || (feld(8) & 0x1007) == 0) {
    Melde("Ungültiger DDS-Header.");
    return false;
  }
  const uint32_t flags = feld(8), hoehe = feld(12), breite = feld(16), mipFeld = feld(28);
  const uint32_t pfFlags = feld(80), code = feld(84), bits = feld(88);
  const uint32_t caps = feld(108), caps2 = feld(112);
  const bool wuerfel = (caps & 0x8) && (caps2 & 0x200) && (caps2 & 0xFC00) == 0xFC00;
  // Sizes a reader can hold: no empty images, nothing a small file could blow up, and square
  // cube faces.
  if (breite == 0 || hoehe == 0 || breite > kMaxDateiKante || hoehe > kMaxDateiKante ||
      (wuerfel && breite != hoehe)) {
    Melde("Ungültiger DDS-Header.");
    return false;
  }
  speicher.Springe(kKopfBytes);
  // Counts beyond the full chain are cut to it by SetMipStufen.
  const uint64_t mips = (mipFeld != 0 && (flags & 0x20000) && (caps & 0x400000)) ? mipFeld : 1;

  Quarz_Pixelformat format = Quarz::PF_A8R8G8B8;
  const bool maskiert = (pfFlags & 0x4) == 0;
  if (!maskiert && !FormatAusCode(code, format)) {
    gLog.Schreibe("!Quarz_Bild::LadeDDS(): Pixelformat %08x wird nicht unterstützt.", code);
    return false;
  }
  const uint64_t pixelBytes = bits / 8;
  if (maskiert && (bits % 8 != 0 || pixelBytes < 1 || pixelBytes > 4)) {
    gLog.Schreibe("!Quarz_Bild::LadeDDS(): %u Bits pro Pixel werden nicht unterstützt.", bits);
    return false;
  }
  const TKanal rot(feld(92), 23), gruen(feld(96), 15), blau(feld(100), 7), alpha(feld(104), 31);
  const bool standard = maskiert && bits == 32 && rot.maske == 0xFF0000 && gruen.maske == 0xFF00 &&
                        blau.maske == 0xFF && alpha.maske == 0xFF000000u;

  // A file too short for what its header promises is refused before the image is sized: a
  // few hundred bytes must not make the reader take gigabytes first.
  const uint64_t stufen = std::min<uint64_t>(mips, std::bit_width(std::max(breite, hoehe)));
  uint64_t noetig = 0;
  for (uint64_t l = 0; l < stufen; ++l) {
    const uint64_t w = std::max<uint64_t>(1, breite >> l), h = std::max<uint64_t>(1, hoehe >> l);
    noetig += maskiert ? w * h * (standard ? 4 : pixelBytes) : Quarz::GetBildBytes(format, w, h);
  }
  if (speicher.Rest() < noetig * (wuerfel ? 6 : 1)) {
    Melde("DDS-Datei ist abgeschnitten.");
    speicher.Springe(static_cast<int64_t>(speicher.Rest()));
    return false;
  }

  if (wuerfel)
    SetCubeMapGroesse(breite, format, mips);
  else
    SetGroesse(breite, hoehe, format, mips);
  if (mBreite != breite || mHoehe != hoehe) return false;  // reported by SetGroesse

  // The file's faces +X, -X, +Y, -Y, +Z, -Z in the engine's face slots.
  const int kSlots[6] = {2, 3, 0, 1, 4, 5};
  for (int f = 0; f < (wuerfel ? 6 : 1); ++f) {
    Quarz_Bild* seite = wuerfel ? mSeiten[kSlots[f]] : this;
    for (uint64_t l = 0; l < mMipAnzahl; ++l) {
      Quarz_Bild* stufe = GetMipStufe(seite, l);
      if (!stufe) break;
      const uint64_t w = stufe->mBreite, h = stufe->mHoehe;
      const uint64_t bytes =
          maskiert ? w * h * (standard ? 4 : pixelBytes) : Quarz::GetBildBytes(format, w, h);
      if (speicher.Rest() < bytes) {
        Melde("DDS-Datei ist abgeschnitten.");
        speicher.Springe(static_cast<int64_t>(speicher.Rest()));
        return false;
      }
      const uint8_t* quelle = speicher.Daten() + speicher.Position();
      if (!maskiert || standard) {
        std::memcpy(stufe->mPixel, quelle, bytes);
      } else {
        for (uint64_t y = 0; y < h; ++y) {
          uint8_t* ziel = stufe->mPixel + y * stufe->mPitch;
          for (uint64_t x = 0; x < w; ++x, quelle += pixelBytes, ziel += 4) {
            uint32_t wert = 0;
            for (uint64_t b = 0; b < pixelBytes; ++b) wert |= uint32_t{quelle[b]} << (8 * b);
            const uint32_t a = alpha.maske ? alpha.Wert(wert) : 0xFF000000u;
            const uint32_t argb = a | rot.Wert(wert) | gruen.Wert(wert) | blau.Wert(wert);
            std::memcpy(ziel, &argb, 4);
          }
        }
      }
      speicher.Springe(static_cast<int64_t>(bytes));
    }
  }
  return true;
}
