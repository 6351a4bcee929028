// PNG files: the reader takes 8-bit RGB and RGBA without interlacing, the writer writes 8-bit
// RGB from A8R8G8B8 images.
#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "quarzklassen/grafik/bild/crc32.h"
#include "quarzklassen/grafik/bild/quarz_bild.h"
#include "quarzklassen/kern/quarz_log.h"
#include "quarzklassen/kern/textkodierung.h"
#include "quarzklassen/kern/tspeicher.h"

namespace {

constexpr uint32_t kSignatur1 = 0x89504E47u;
constexpr uint32_t kSignatur2 = 0x0D0A1A0Au;

uint32_t LiesBE(const uint8_t* p) {
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

void SchreibeBE(TSpeicher& s, uint32_t wert) {
  const uint8_t b[4] = {static_cast<uint8_t>(wert >> 24), static_cast<uint8_t>(wert >> 16),
                        static_cast<uint8_t>(wert >> 8), static_cast<uint8_t>(wert)};
  s.SchreibeMem(b, 4);
}

bool IstTyp(const uint8_t* p, const char* typ) { return std::memcmp(p, typ, 4) == 0; }

void Fehler(const char* text) { gLog.Schreibe("!Quarz_Bild::LadePNG():%s", text); }

constexpr const char* kPasstNicht = "\n  Picture data doesn't fit picture size.";

// The data of the file's "IDAT" chunks, in file order, inflated piece by piece straight to
// where it is needed (the pieces form one zlib stream; nothing is copied to join them).
class TDatenStrom {
 public:
  std::vector<std::pair<const uint8_t*, uint64_t>> teile;

  ~TDatenStrom() {
    if (mGestartet) inflateEnd(&mZ);
  }

  bool Starte() {
    mGestartet = inflateInit(&mZ) == Z_OK;
    if (!mGestartet) ZLib_MeldeStartFehler();
    return mGestartet;
  }

  // Bytes inflated so far.
  uint64_t Ausgabe() const { return mAusgabe; }

  // Whether inflate found the data itself corrupt (an invalid code or distance, or a check
  // value that does not match), as opposed to the data merely running out before the end.
  // Such a stream may still inflate to exactly the image's size, with wrong pixels.
  bool Verdorben() const { return mVerdorben; }

  // Inflates n bytes into `ziel`, fewer once the stream has ended or broken off; true when all
  // n came. A break (bad data, or the data running out before the stream's end) is logged
  // where it happens, as the zlib unpacking logs it.
  bool Fuelle(uint8_t* ziel, uint64_t n) {
    mZ.next_out = ziel;
    mZ.avail_out = static_cast<uInt>(n);
    while (mZ.avail_out > 0 && mLaeuft) {
      if (mZ.avail_in == 0 && mNaechstes < teile.size()) {
        const auto& [daten, laenge] = teile[mNaechstes++];
        mZ.next_in = const_cast<Bytef*>(daten);
        mZ.avail_in = static_cast<uInt>(laenge);
      }
      // With no input left inflate still hands out what it holds back, and then reports
      // that it can make no progress: the stream is cut.
      const int ergebnis = inflate(&mZ, Z_NO_FLUSH);
      if (ergebnis == Z_OK) continue;
      mLaeuft = false;
      mVerdorben = ergebnis == Z_DATA_ERROR;
      if (ergebnis != Z_STREAM_END) ZLib_MeldeEntpackFehler();
    }
    mAusgabe += n - mZ.avail_out;
    return mZ.avail_out == 0;
  }

  // Inflates n bytes, or up to the stream's end or break, into nowhere.
  void Verwerfe(uint64_t n) {
    uint8_t ablage[16384];
    while (n > 0 && mLaeuft) {
      const uint64_t stueck = std::min<uint64_t>(n, sizeof ablage);
      Fuelle(ablage, stueck);
      n -= stueck;
    }
  }

 private:
  z_stream mZ{};
  size_t mNaechstes = 0;
  uint64_t mAusgabe = 0;
  bool mGestartet = false;
  bool mLaeuft = true;
  bool mVerdorben = false;
};

inline uint8_t Paeth(int a, int b, int c) {
  const int pa = std::abs(b - c);
  const int pb = std::abs(a - c);
  const int pc = std::abs(a + b - 2 * c);
  if (pa <= pb && pa <= pc) return static_cast<uint8_t>(a);
  return static_cast<uint8_t>(pb <= pc ? b : c);
}

// Undoes one row's filter in place. `zeile` and `oben` point behind the leading pixel of
// zeros, so the left neighbours of the first bytes are those zeros.
template <int bpp>
bool Entfiltere(uint8_t* zeile, const uint8_t* oben, uint64_t laenge, uint8_t filter) {
  const uint8_t* links = zeile - bpp;
  const uint8_t* obenLinks = oben - bpp;
  switch (filter) {
    case 0: return true;
    case 1:
      for (uint64_t i = 0; i < laenge; ++i) zeile[i] = static_cast<uint8_t>(zeile[i] + links[i]);
      return true;
    case 2:
      for (uint64_t i = 0; i < laenge; ++i) zeile[i] = static_cast<uint8_t>(zeile[i] + oben[i]);
      return true;
    case 3:
      for (uint64_t i = 0; i < laenge; ++i)
        zeile[i] = static_cast<uint8_t>(zeile[i] + ((links[i] + oben[i]) >> 1));
      return true;
    case 4:
      for (uint64_t i = 0; i < laenge; ++i)
        zeile[i] = static_cast<uint8_t>(zeile[i] + Paeth(links[i], oben[i], obenLinks[i]));
      return true;
    default: return false;
  }
}

// One row as A8R8G8B8 pixels (B, G, R, A in memory).
template <int bpp>
void SpeichereZeile(const uint8_t* zeile, uint64_t breite, uint8_t* ziel) {
  for (uint64_t x = 0; x < breite; ++x, zeile += bpp, ziel += 4) {
    ziel[0] = zeile[2];
    ziel[1] = zeile[1];
    ziel[2] = zeile[0];
    ziel[3] = bpp == 4 ? zeile[3] : 0xFF;
  }
}

// Inflates the rest of the stream up to one byte past the image's data, where nothing reads
// it, and compares the count with the image's size.
bool GroessePasst(TDatenStrom& strom, uint64_t bedarf) {
  strom.Verwerfe(bedarf + 1 - strom.Ausgabe());
  if (strom.Ausgabe() == bedarf) return true;
  Fehler(kPasstNicht);
  return false;
}

// Rows are unfiltered while they are inflated; a wrong size is still reported before an
// unknown filter, so the rows behind one are inflated only to be counted.
template <int bpp>
bool DekodiereZeilen(TDatenStrom& strom, Quarz_Bild& bild) {
  const uint64_t laenge = bpp * bild.mBreite;
  // Two rows, each behind one pixel of zeros; the filter byte lands in the last byte of that
  // pixel and is cleared again once read.
  std::vector<uint8_t> puffer(2 * (laenge + bpp), 0);
  bool filterBekannt = true;
  uint8_t filter = 0;
  for (uint64_t y = 0; y < bild.mHoehe && filterBekannt; ++y) {
    uint8_t* zeile = puffer.data() + (y % 2) * (laenge + bpp) + bpp;
    const uint8_t* oben = puffer.data() + ((y + 1) % 2) * (laenge + bpp) + bpp;
    if (!strom.Fuelle(zeile - 1, laenge + 1)) break;
    filter = zeile[-1];
    zeile[-1] = 0;
    filterBekannt = Entfiltere<bpp>(zeile, oben, laenge, filter);
    if (filterBekannt) SpeichereZeile<bpp>(zeile, bild.mBreite, bild.mPixel + y * bild.mPitch);
  }
  if (!GroessePasst(strom, (laenge + 1) * bild.mHoehe)) return false;
  if (!filterBekannt)
    gLog.Schreibe("!Quarz_Bild::LadePNG():\n  Unknown filter type %d.\n",
                  static_cast<int>(static_cast<int8_t>(filter)));
  return filterBekannt && !strom.Verdorben();
}

}  // namespace

bool Quarz_Bild::LadePNG(TSpeicher& speicher) {
  const uint8_t* daten = speicher.Daten() + speicher.Position();
  const uint64_t groesse = speicher.Rest();
  if (groesse < 8 || LiesBE(daten) != kSignatur1 || LiesBE(daten + 4) != kSignatur2) {
    Fehler(" Datei ist kein PNG-Bild.");
    return false;
  }
  // Signature, IHDR's length, type, 13 bytes of data and CRC.
  if (groesse < 8 + 8 + 13 + 4 || LiesBE(daten + 8) != 13 || !IstTyp(daten + 12, "IHDR")) {
    Fehler(" PNG-Header ist ungültig.");
    return false;
  }
  const uint8_t* kopf = daten + 16;
  const uint32_t breite = LiesBE(kopf);
  const uint32_t hoehe = LiesBE(kopf + 4);
  const uint8_t tiefe = kopf[8], farbtyp = kopf[9];
  if (tiefe != 8 || (farbtyp != 2 && farbtyp != 6) || kopf[10] != 0 || kopf[11] != 0 ||
      kopf[12] != 0) {
    Fehler(" PNG-Datei enthält nicht unterstützte Merkmale.");
    return false;
  }
  if (breite > kMaxDateiKante || hoehe > kMaxDateiKante) {
    // A few bytes of header must not claim gigabytes.
    gLog.Schreibe("!Quarz_Bild::LadePNG(): PNG-Bild ist zu groß (%u x %u).", breite, hoehe);
    return false;
  }

  // Walk the chunks to the end of the data. Fewer bytes than a length and a type behind the
  // last whole chunk (a newline added in transfer) end the walk; a chunk (data and CRC) that
  // runs past the end is a truncated file.
  TDatenStrom strom;
  uint64_t pos = 8 + 8 + 13 + 4;
  while (groesse - pos >= 8) {
    const uint32_t laenge = LiesBE(daten + pos);
    if (uint64_t{laenge} + 12 > groesse - pos) {
      Fehler(" PNG-Datei ist abgeschnitten.");
      speicher.Springe(static_cast<int64_t>(groesse));
      return false;
    }
    if (IstTyp(daten + pos + 4, "IDAT") && laenge > 0) strom.teile.emplace_back(daten + pos + 8, laenge);
    pos += 12 + uint64_t{laenge};
  }
  speicher.Springe(static_cast<int64_t>(groesse));
  if (!strom.Starte()) return false;
  // Deflate packs at most 1032 bytes into one: image data that cannot come out of this much
  // input is refused before the image takes its memory. The size check still inflates the
  // stream (it cannot pass), so that a broken one is reported as such.
  uint64_t gepackt = 0;
  for (const auto& teil : strom.teile) gepackt += teil.second;
  const uint64_t bedarf = (uint64_t{farbtyp == 2 ? 3u : 4u} * breite + 1) * hoehe;
  if (bedarf > 1032 * gepackt + 1032) {
    GroessePasst(strom, bedarf);
    return false;
  }

  SetGroesse(breite, hoehe, Quarz::PF_A8R8G8B8, 1);
  if (mBreite != breite || mHoehe != hoehe) return false;  // reported by SetGroesse
  return farbtyp == 2 ? DekodiereZeilen<3>(strom, *this) : DekodiereZeilen<4>(strom, *this);
}

bool Quarz_Bild::SpeicherePNG(const std::wstring& pfad) const {
  const std::string name = WandleUtf32NachUtf8(pfad);
  const auto fehler = [&](const char* text) {
    gLog.Schreibe("!Quarz_Bild::SpeicherePNG( \"%s\"): %s", name.c_str(), text);
    return false;
  };
  if (mFormat != Quarz::PF_A8R8G8B8 || !mPixel || mBreite == 0 || mHoehe == 0)
    return fehler("Nur nicht leere Bilder im Format A8R8G8B8 können gespeichert werden.");
  if (mBreite > 0x7FFFFFFFu || mHoehe > 0x7FFFFFFFu)
    return fehler("Das Bild ist für eine PNG-Datei zu groß.");

  // Raw rows: filter byte 0, then R, G, B of each pixel.
  TSpeicher roh((1 + 3 * mBreite) * mHoehe);
  std::vector<uint8_t> zeile(1 + 3 * mBreite, 0);
  for (uint64_t y = 0; y < mHoehe; ++y) {
    const uint8_t* p = mPixel + y * mPitch;
    for (uint64_t x = 0; x < mBreite; ++x, p += 4) {
      zeile[1 + 3 * x] = p[2];
      zeile[2 + 3 * x] = p[1];
      zeile[3 + 3 * x] = p[0];
    }
    roh.SchreibeMem(zeile.data(), zeile.size());
  }
  TSpeicher gepackt;  // ZLib_Packen makes room for deflate's worst case
  if (!ZLib_Packen(roh, gepackt)) return fehler("Die Bilddaten konnten nicht gepackt werden.");
  if (gepackt.Groesse() > 0x7FFFFFFFu) return fehler("Das Bild ist für eine PNG-Datei zu groß.");

  TSpeicher datei(gepackt.Groesse() + 64);
  SchreibeBE(datei, kSignatur1);
  SchreibeBE(datei, kSignatur2);
  const auto chunk = [&](const char* typ, const uint8_t* inhalt, uint64_t laenge) {
    SchreibeBE(datei, static_cast<uint32_t>(laenge));
    const uint64_t anfang = datei.Position();
    datei.SchreibeMem(typ, 4);
    if (laenge) datei.SchreibeMem(inhalt, laenge);
    SchreibeBE(datei, Crc32Weiter(0xFFFFFFFFu, datei.Daten() + anfang, 4 + laenge) ^ 0xFFFFFFFFu);
  };
  uint8_t kopf[13] = {};
  for (int i = 0; i < 4; ++i) {
    kopf[i] = static_cast<uint8_t>(mBreite >> (24 - 8 * i));
    kopf[4 + i] = static_cast<uint8_t>(mHoehe >> (24 - 8 * i));
  }
  kopf[8] = 8;  // bit depth
  kopf[9] = 2;  // RGB
  chunk("IHDR", kopf, sizeof kopf);
  chunk("IDAT", gepackt.Daten(), gepackt.Groesse());
  chunk("IEND", nullptr, 0);

  std::FILE* f = std::fopen(name.c_str(), "wb");
  if (!f) return fehler("Die Datei kann nicht geöffnet werden.");
  const bool ganz = std::fwrite(datei.Daten(), 1, datei.Groesse(), f) == datei.Groesse();
  if (std::fclose(f) != 0 || !ganz) {
    // A cut-off picture must not stand where the caller expects a good one.
    // Only a file of our own goes; a device or a link stays where it is.
    std::error_code ignoriert;
    if (std::filesystem::is_regular_file(std::filesystem::symlink_status(name, ignoriert)))
      std::filesystem::remove(name, ignoriert);
    return fehler("Die Datei konnte nicht vollständig geschrieben werden.");
  }
  return true;
}
