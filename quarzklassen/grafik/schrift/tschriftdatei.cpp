#include "quarzklassen/grafik/schrift/tschriftdatei.h"

#include <bit>
#include <cmath>
#include <utility>

#include "quarzklassen/kern/quarz_log.h"
#include "quarzklassen/kern/tspeicher.h"

bool TSchriftDatei::Lies(TSpeicher& puffer, const std::string& pfad) {
  puffer.ZurueckZumAnfang();
  if (LiesU32BE(puffer) != kKennung) {
    gLog.Schreibe("!Quarz_Font3D::Laden( \"%s\"): Header ist ungültig.", pfad.c_str());
    return false;
  }
  TSchriftDatei neu;
  neu.mAtlas.mMaxKante = mAtlas.mMaxKante;
  const uint32_t version = LiesU32BE(puffer);
  neu.mGroesse = std::bit_cast<float>(LiesU32BE(puffer));
  // Scales divide by the size: it must be a real, positive number.
  if (!std::isfinite(neu.mGroesse) || neu.mGroesse <= 0) {
    gLog.Schreibe("!Quarz_Font3D::Laden( \"%s\"): Schriftgröße ist ungültig.", pfad.c_str());
    return false;
  }
  if (LiesU32BE(puffer) != kAtlasKennung) return false;
  if (!neu.mAtlas.Laden(puffer)) return false;
  const uint32_t anzahl = version >= 258 ? LiesU32BE(puffer) : 256;
  if (anzahl > kMaxGlyphen || (version >= 257 && uint64_t(anzahl) * 12 > puffer.Rest())) {
    gLog.Schreibe("!Quarz_Font3D::Laden( \"%s\"): Glyphentabelle ist beschädigt.", pfad.c_str());
    return false;
  }
  neu.mGlyphen.resize(anzahl);
  for (uint32_t c = 0; c < anzahl; ++c) {
    TGlyphe& g = neu.mGlyphen[c];
    if (version >= 257) {
      g.mVersatzX = static_cast<int32_t>(LiesU32BE(puffer));
      g.mVersatzY = static_cast<int32_t>(LiesU32BE(puffer));
      g.mVorschub = static_cast<int32_t>(LiesU32BE(puffer));
    } else if (neu.mAtlas.mGrafiken.Belegt(c)) {
      g.mVorschub = static_cast<int32_t>(neu.mAtlas.mGrafiken[c].mBreite);
    }
  }
  std::swap(*this, neu);
  return true;
}

void TSchriftDatei::Schreibe(TSpeicher& puffer) const {
  SchreibeU32BE(puffer, kKennung);
  SchreibeU32BE(puffer, kVersion);
  SchreibeU32BE(puffer, std::bit_cast<uint32_t>(mGroesse));
  SchreibeU32BE(puffer, kAtlasKennung);
  mAtlas.Speichern(puffer);
  SchreibeU32BE(puffer, static_cast<uint32_t>(mGlyphen.size()));
  for (const TGlyphe& g : mGlyphen) {
    SchreibeU32BE(puffer, static_cast<uint32_t>(g.mVersatzX));
    SchreibeU32BE(puffer, static_cast<uint32_t>(g.mVersatzY));
    SchreibeU32BE(puffer, static_cast<uint32_t>(g.mVorschub));
  }
}

void TSchriftDatei::AddBuchstabe(uint32_t codepunkt, const TBereich& quelle, uint64_t x, uint64_t y,
                                 uint64_t breite, uint64_t hoehe, const TGlyphe& glyphe) {
  if (mGroesse == 0) mGroesse = 24;
  mAtlas.Add(codepunkt, quelle, x, y, breite, hoehe);
  SetzeGlyphe(mGlyphen, codepunkt, glyphe);
}

void TSchriftDatei::SetzeGlyphe(std::vector<TGlyphe>& glyphen, uint32_t codepunkt, const TGlyphe& glyphe) {
  if (codepunkt >= glyphen.size()) glyphen.resize(std::bit_ceil(uint64_t(codepunkt) + 1));
  glyphen[codepunkt] = glyphe;
}
