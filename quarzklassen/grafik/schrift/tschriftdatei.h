#pragma once
// The engine's font file and what a font is made of apart from the GPU: the glyph records
// indexed by code point, the size the glyphs were made at and the atlas of glyph graphics.
// File layout (big-endian): "FNTH", version, size (f32), "GKLB", the sprite block "FX3D", the
// glyph count (from version 258; 256 before), the records (from version 257; before, each
// advance is its graphic's width).
#include <cstdint>
#include <string>
#include <vector>

#include "quarzklassen/grafik/sprite/tspriteatlas.h"

class TSpeicher;

// Offsets (added to the pen position) and advance, in pixels at the file size.
struct TGlyphe {
  int32_t mVersatzX = 0;
  int32_t mVersatzY = 0;
  int32_t mVorschub = 0;
  bool operator==(const TGlyphe&) const = default;
};

class TSchriftDatei {
public:
  static constexpr uint32_t kKennung = 0x464E5448u;  // "FNTH"
  static constexpr uint32_t kAtlasKennung = 0x474B4C42u;  // "GKLB"
  static constexpr uint32_t kVersion = 258;
  // More records than Unicode has code points is no font.
  static constexpr uint32_t kMaxGlyphen = 0x110000;

  // Reads a font file from the buffer's start; `pfad` names it in the log lines. False on any
  // fault; the object is then unchanged.
  bool Lies(TSpeicher& puffer, const std::string& pfad);
  // Writes the newest version.
  void Schreibe(TSpeicher& puffer) const;

  // A glyph as a font made from a TrueType face adds it: the first one fixes the size at 24.
  void AddBuchstabe(uint32_t codepunkt, const TBereich& quelle, uint64_t x, uint64_t y,
                    uint64_t breite, uint64_t hoehe, const TGlyphe& glyphe);
  // Stores a record at c, growing the table to the next power of two above c.
  static void SetzeGlyphe(std::vector<TGlyphe>& glyphen, uint32_t codepunkt, const TGlyphe& glyphe);

  float mGroesse = 0;
  TSpriteAtlas mAtlas;
  std::vector<TGlyphe> mGlyphen;
};
