#pragma once
// Renders the default glyph set of a TrueType face through FreeType at 24 pixels, as fonts
// made from TrueType files get it. It needs no drawing device: the font hands each glyph to its
// sprite batch, the font file generator to a TSchriftDatei, with the same pixels and records.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "quarzklassen/grafik/bild/tbereich.h"
#include "quarzklassen/grafik/schrift/tschriftdatei.h"

class TTrueTypeGlyphen {
public:
  static constexpr int kGroesse = 24;   // pixels
  static constexpr int kKratzKante = 48;  // edge of the scratch image a glyph must fit

  // Receives one glyph: code point, the scratch image, the glyph's rectangle in it, its record.
  using TZiel = std::function<void(uint32_t codepunkt, const TBereich& quelle, uint64_t x,
                                   uint64_t y, uint64_t breite, uint64_t hoehe, const TGlyphe& glyphe)>;

  // The 230 code points of the default set, in rendering order.
  static const std::vector<uint32_t>& StandardSatz();

  // Opens the file and hands every glyph of the default set that renders and fits to `ziel`.
  // `vorGlyphen` runs once the face is usable, before the first glyph (the font is made
  // there). False with a log line when the file or face cannot be used.
  static bool Rendere(const std::wstring& pfad, const std::function<void()>& vorGlyphen,
                      const TZiel& ziel);
};
