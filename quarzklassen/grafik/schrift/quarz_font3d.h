#pragma once
// Draws UTF-8 text as sprites: every glyph is a graphic of the font's own sprite batch whose id
// is the glyph's code point, plus a record with its offsets and advance. A font comes from the
// engine's font file (Laden) or from a TrueType file rendered through FreeType at 24 pixels
// (ErzeugeAusTrueType); drawing at other sizes scales the sprites.
#include <cstdarg>
#include <cstdint>
#include <string>
#include <vector>

#include "quarzklassen/grafik/schrift/tschriftdatei.h"
#include "quarzklassen/kern/talphafarbe.h"

class Quarz_BlockGfx3D;

class Quarz_Font3D {
public:
  static constexpr size_t kTextPuffer = 10000;

  Quarz_Font3D();
  ~Quarz_Font3D();
  Quarz_Font3D(const Quarz_Font3D&) = delete;
  Quarz_Font3D& operator=(const Quarz_Font3D&) = delete;

  // Loads an engine font file; the font stays as it was when the file is not sound.
  bool Laden(const std::wstring& pfad);
  // A new font from a TrueType file, or null (with a log line); the caller owns it.
  static Quarz_Font3D* ErzeugeAusTrueType(const std::wstring& pfad);
  void AddBuchstabe(uint32_t codepunkt, const TBereich& quelle, uint64_t x, uint64_t y,
                    uint64_t breite, uint64_t hoehe, const TGlyphe& glyphe);

  void SetGroesse(float groesse);
  void SetAusrichtung(uint32_t horizontal, uint32_t vertikal);
  // Size = file size, scale 1, spacing 0.1, white, aligned top-left, no rotation.
  void Zuruecksetzen();

  // Aligned drawing; flushed at once when mSofortZeichnen is set.
  void Zeichne(float x, float y, const char* text);
  void ZeichneFormatiert(float x, float y, const char* format, ...) __attribute__((format(printf, 4, 5)));
  // Breaks the text into lines of at most `breite` pixels (at spaces and newlines, inside a
  // word only when it alone is too wide) and at most as many lines as `hoehe` holds; a cut text
  // ends in "...".
  void ZeichneUmbrochen(float x, float y, float breite, float hoehe, const char* format, ...)
      __attribute__((format(printf, 6, 7)));
  // Queues the glyphs only, from the pen position (x, y).
  void ZeichneText(float x, float y, const char* text);
  float TextBreite(const char* text) const;

  // Top-left pivots, then the batch is drawn.
  void Ausgeben();
  void AktualisiereMips();

  // The record of a code point the batch holds a graphic for, or null (such code points
  // advance 0.3 x size and draw nothing).
  const TGlyphe* Glyphe(uint32_t codepunkt) const;

  float mDateiGroesse = 0;  // 0: no glyphs yet
  float mGroesse = 0;
  float mSkalierung = 1.0f;
  float mAbstand = 0.1f;
  TAlphaFarbe mFarbe{1, 1, 1, 1};
  uint32_t mAusrichtungH = 0;  // 0 left, 1 centre, 2 right
  uint32_t mAusrichtungV = 0;  // 0 top, 4 middle, 8 bottom
  float mRotation = 0;
  std::vector<TGlyphe> mGlyphen;
  uint8_t mSofortZeichnen = 1;
  Quarz_BlockGfx3D* mBatch;
  std::vector<char> mTextPuffer;

private:
  // The pen advance of one code point at the current size.
  float Vorschub(uint32_t codepunkt) const;
  void Formatiere(const char* format, va_list argumente) __attribute__((format(printf, 2, 0)));
  void Spuele();
};
