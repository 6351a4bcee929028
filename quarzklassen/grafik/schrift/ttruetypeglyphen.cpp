#include "quarzklassen/grafik/schrift/ttruetypeglyphen.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstring>

#include "quarzklassen/grafik/bild/quarz_bild.h"
#include "quarzklassen/kern/quarz_log.h"
#include "quarzklassen/kern/textkodierung.h"
#include "quarzklassen/kern/tspeicher.h"

namespace {

// Frees the face and the library on every way out.
struct TFreeType {
  FT_Library mBibliothek = nullptr;
  FT_Face mSchrift = nullptr;
  ~TFreeType() {
    if (mSchrift) FT_Done_Face(mSchrift);
    if (mBibliothek) FT_Done_FreeType(mBibliothek);
  }
};

}  // namespace

const std::vector<uint32_t>& TTrueTypeGlyphen::StandardSatz() {
  static const std::vector<uint32_t> satz = [] {
    const uint32_t bereiche[][2] = {
        {0x0027, 0x0027}, {0x0021, 0x0026}, {0x0028, 0x003C}, {0x003E, 0x005F}, {0x0061, 0x007A},
        {0x007E, 0x007E}, {0x00A1, 0x00A1}, {0x00A7, 0x00A7}, {0x00B0, 0x00B0}, {0x00BF, 0x00C7},
        {0x00C9, 0x00CA}, {0x00CD, 0x00CD}, {0x00D1, 0x00D1}, {0x00D3, 0x00D6}, {0x00D8, 0x00D8},
        {0x00DA, 0x00DA}, {0x00DC, 0x00DC}, {0x00DF, 0x00E7}, {0x00E9, 0x00EA}, {0x00ED, 0x00ED},
        {0x00F1, 0x00F1}, {0x00F3, 0x00F6}, {0x00F8, 0x00F8}, {0x00FA, 0x00FA}, {0x00FC, 0x00FD},
        {0x0104, 0x0107}, {0x010D, 0x010D}, {0x010F, 0x010F}, {0x0118, 0x0119}, {0x011B, 0x011B},
        {0x011E, 0x011F}, {0x0130, 0x0131}, {0x0141, 0x0144}, {0x0148, 0x0148}, {0x0159, 0x015B},
        {0x015E, 0x015F}, {0x0161, 0x0161}, {0x0165, 0x0165}, {0x016F, 0x016F}, {0x0179, 0x017C},
        {0x017E, 0x017E}, {0x0401, 0x0401}, {0x0410, 0x044F}, {0x0451, 0x0451}};
    std::vector<uint32_t> s;
    for (const auto& b : bereiche)
      for (uint32_t c = b[0]; c <= b[1]; ++c) s.push_back(c);
    return s;
  }();
  return satz;
}

bool TTrueTypeGlyphen::Rendere(const std::wstring& pfad, const std::function<void()>& vorGlyphen,
                               const TZiel& ziel) {
  const std::string name = WandleUtf32NachUtf8(pfad);
  TFreeType ft;
  if (const FT_Error e = FT_Init_FreeType(&ft.mBibliothek)) {
    ft.mBibliothek = nullptr;
    gLog.Schreibe("!FreeType konnte nicht gestartet werden (Fehlercode %d).", static_cast<int>(e));
    return false;
  }
  // FreeType reads the face from this buffer as long as the face lives.
  TSpeicher datei;
  if (!datei.LadeDatei(pfad, 0)) {
    gLog.Schreibe("!Kann Schriftart \"%s\" nicht öffnen.", name.c_str());
    return false;
  }
  if (const FT_Error e = FT_New_Memory_Face(ft.mBibliothek, datei.Daten(),
                                            static_cast<FT_Long>(datei.Groesse()), 0, &ft.mSchrift)) {
    ft.mSchrift = nullptr;
    gLog.Schreibe("!Schriftart \"%s\" nicht lesbar mit Fehlercode %d.", name.c_str(), static_cast<int>(e));
    return false;
  }
  if (!FT_IS_SCALABLE(ft.mSchrift)) {
    gLog.Schreibe("?Schriftart \"%s\" ist nicht frei skalierbar.", name.c_str());
    return false;
  }
  FT_Set_Char_Size(ft.mSchrift, kGroesse * 64, kGroesse * 64, 0, 0);
  if (vorGlyphen) vorGlyphen();

  Quarz_Bild kratz(kKratzKante, kKratzKante, Quarz::PF_A8R8G8B8, 1);
  for (uint32_t c : StandardSatz()) {
    if (FT_Load_Char(ft.mSchrift, c, FT_LOAD_RENDER)) continue;
    const FT_GlyphSlot g = ft.mSchrift->glyph;
    const FT_Bitmap& b = g->bitmap;
    // Only 8-bit coverage is understood; anything else is left out like a failed glyph.
    if (b.width == 0 || b.rows == 0 || b.pixel_mode != FT_PIXEL_MODE_GRAY || !b.buffer) continue;
    const uint64_t x0 = static_cast<uint64_t>(std::max(0, g->bitmap_left));
    const uint64_t y0 = static_cast<uint64_t>(std::max(0, kGroesse - static_cast<int>(b.rows)));
    if (x0 + b.width > kKratzKante || y0 + b.rows > kKratzKante) continue;
    std::memset(kratz.mPixel, 0, kratz.mPitch * kratz.mHoehe);
    for (uint64_t zeile = 0; zeile < b.rows; ++zeile) {
      // Rows are pitch bytes apart (negative pitch: bottom-up).
      const unsigned char* quelle = b.buffer + static_cast<int64_t>(zeile) * b.pitch;
      uint32_t* ziel32 = reinterpret_cast<uint32_t*>(kratz.mPixel + (y0 + zeile) * kratz.mPitch) + x0;
      for (uint64_t spalte = 0; spalte < b.width; ++spalte)
        ziel32[spalte] = 0x00FFFFFFu | static_cast<uint32_t>(quelle[spalte]) << 24;
    }
    TGlyphe glyphe;
    glyphe.mVersatzX = static_cast<int32_t>(g->metrics.horiBearingX / 64);
    glyphe.mVersatzY = std::max<int32_t>(0, kGroesse - static_cast<int32_t>(g->metrics.horiBearingY / 64));
    glyphe.mVorschub = static_cast<int32_t>(g->metrics.horiAdvance >> 6);
    ziel(c, kratz, x0, y0, b.width, b.rows, glyphe);
  }
  return true;
}
