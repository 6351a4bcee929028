#pragma once
// What 2D and cube textures share: mip-chain arithmetic, the kept copies of their levels in
// main memory and the two upload paths (locking a dynamic level, or a system-memory surface
// copied into a static one).
#include <cstdint>
#include <functional>
#include <string>

#include "plattform/d3d9/d3d9.h"
#include "quarzklassen/grafik/geraet/quarz_basisobjekt.h"
#include "quarzklassen/grafik/geraet/quarz_internhelfer.h"
#include "quarzklassen/grafik/geraet/quarz_pixelformat.h"
#include "quarzklassen/grafik/bild/tbereich.h"

namespace Quarz::Intern::Textur {

// Levels of the full chain: one per halving until both sides reach 0 (256 x 64 gives 9).
uint64_t VolleKette(uint64_t breite, uint64_t hoehe);
// A side of a level: shifted right by the level, at least 1.
uint64_t StufenSeite(uint64_t seite, uint64_t stufe);
// A level buffer of `format` as a region with its tight pitch.
TBereich AlsBereich(uint8_t* pixel, Quarz_Pixelformat format, uint64_t breite, uint64_t hoehe);

// Flags, format and mip count after the construction rules both texture kinds share.
struct TVorgaben {
  uint64_t mFlags = 0;
  Quarz_Pixelformat mFormat = 0;
  uint64_t mMipAnzahl = 0;
};
// Applies those rules to the constructor's arguments: an invalid format is logged and reported
// (false: nothing may be made); a mip count of 0 becomes the full chain and one beyond it is
// cut to it; render-target textures become volatile and block formats get manual mips, each
// with its warning. `klasse` is the constructor's name ("Quarz_Textur::Quarz_Textur") and
// `masse` the size arguments as the log lines show them ("256, 64" or "16").
bool WendeRegelnAn(const char* klasse, const char* masse, uint64_t breite, uint64_t hoehe,
                   uint64_t mipAnzahl, uint32_t flags, TVorgaben& vorgaben);

// Levels and usage with which a texture of these flags and mip count is created: all levels
// (0) with automatic mips, else the count; dynamic, automatic-mip and render-target usage.
struct TErzeugung {
  UINT mStufen = 0;
  DWORD mNutzung = 0;
};
TErzeugung ErzeugungsWerte(uint64_t flags, uint64_t mipAnzahl);

// The functions below serve both texture classes (Quarz_Textur, Quarz_WuerfelTextur) through
// the members they share: mFlags, mMipAnzahl, mFormat, mD3DFormat, mTextur, mUngueltig.

// Takes over flags and mip count after the rules; returns how many levels the content gives:
// none without content, all with manual mips, else level 0 (the device makes the rest).
template <class TTextur>
uint64_t UebernimmVorgaben(TTextur& textur, const TVorgaben& vorgaben, bool mitInhalt) {
  textur.mFlags = vorgaben.mFlags;
  textur.mMipAnzahl = vorgaben.mMipAnzahl;
  if (!mitInhalt) return 0;
  return (textur.mFlags & FLAG_MANUELLE_MIPMAPS) ? textur.mMipAnzahl : 1;
}

// A texture without content can only be filled later, so unless it is a render target it is
// made dynamic. True when that happened (the caller warns).
bool MachDynamisch(uint64_t& flags, bool mitInhalt);

// The end of construction: creates the device object, uploads the given levels (`lade`),
// generates the lower ones unless they are manual and marks the texture present when made.
// A creation that just failed is not retried here (the kept copies bring it on the next use).
template <class TTextur, class TLade>
void ErzeugeUndLade(TTextur& textur, bool mitInhalt, TLade lade) {
  textur.mD3DFormat = Quarz::GetD3DPixelFormat(textur.mFormat);
  textur.Benutzen();
  lade();
  // Lower levels only exist from 2 levels on.
  if (!(textur.mFlags & FLAG_MANUELLE_MIPMAPS) && mitInhalt && textur.mTextur &&
      textur.mMipAnzahl > 1)
    textur.ErzeugeMipMaps();
  if (textur.mTextur) textur.mZustand = Quarz_BasisObjekt::VORHANDEN;
}

// Makes the device object of a released, valid texture again through
// `erzeuge(geraet, erzeugung)`, with room made in video memory. False when nothing was due
// (present, refused or no device); else `hr` is the creation's result and the texture pointer
// is null when it failed.
template <class TTextur, class TErzeuge>
bool ErzeugeNeu(TTextur& textur, HRESULT& hr, TErzeuge erzeuge) {
  if (textur.mZustand != Quarz_BasisObjekt::FREIGEGEBEN || textur.mUngueltig) return false;
  IDirect3DDevice9* geraet = Quarz::Intern::Geraet();
  if (!geraet) return false;
  const TErzeugung e = ErzeugungsWerte(textur.mFlags, textur.mMipAnzahl);
  hr = Quarz::Intern::ErzeugeMitPlatz([&] { return erzeuge(geraet, e); }, true);
  if (FAILED(hr)) textur.mTextur = nullptr;
  return true;
}

// Releases the device object before a reset or an eviction.
template <class TTextur>
void GibGeraeteObjektFrei(TTextur& textur) {
  if (textur.mZustand != Quarz_BasisObjekt::VORHANDEN) return;
  Plattform::SicherFreigeben(textur.mTextur);
  textur.mZustand = Quarz_BasisObjekt::FREIGEGEBEN;
}

// A kept copy of a level from the region: with `uebergabe` the region's memory is taken over
// when it is laid out as a tight level buffer (the region is then cleared); otherwise a
// buffer is allocated and filled from the region, or with zeros when the region is absent.
uint8_t* BehalteStufe(TBereich& quelle, bool uebergabe, Quarz_Pixelformat format, uint64_t breite,
                      uint64_t hoehe);
// Frees handed-over pixel memory of a region and clears it.
void GibFrei(TBereich& bereich);

// The rectangle of a level that an upload of `quelle` at (x, y) covers: to the level's edge or
// the source's end, block formats rounded out to whole blocks. False when (x, y) lies outside.
bool ZielRechteck(uint64_t stufenBreite, uint64_t stufenHoehe, uint64_t x, uint64_t y,
                  const TBereich& quelle, RECT& rechteck);

// The device operations one upload needs, for a level of a 2D texture or a cube face.
struct TStufenZugriff {
  std::function<HRESULT(D3DLOCKED_RECT*, const RECT*, DWORD)> mSperre;
  std::function<HRESULT()> mEntsperre;
  std::function<HRESULT(IDirect3DSurface9**)> mOberflaeche;
};

// Outcome of an upload: which step failed.
enum class Ergebnis { OK, SPERREN, TEMPORAER, ZUGRIFF };

// Dynamic levels: lock (with discard when the rectangle is the whole level) and copy.
Ergebnis SchreibeGesperrt(const TStufenZugriff& zugriff, const RECT& rechteck, bool ganz,
                          Quarz_Pixelformat format, const TBereich& quelle);
// Static levels: through a system-memory surface and UpdateSurface.
Ergebnis SchreibeUeberSpeicher(IDirect3DDevice9* geraet, const TStufenZugriff& zugriff,
                               const RECT& rechteck, D3DFORMAT d3dFormat, Quarz_Pixelformat format,
                               const TBereich& quelle);

// One upload by the path the flags choose (locking with FLAG_DYNAMISCH, else a system-memory
// surface). A failure is reported in `funktion`; a temporary surface that could not be made
// also logs `temporaerZeile` first.
bool Lade(const TStufenZugriff& zugriff, const RECT& rechteck, bool ganz, uint64_t flags,
          D3DFORMAT d3dFormat, Quarz_Pixelformat format, const TBereich& quelle,
          const char* funktion, const std::string& temporaerZeile);

}  // namespace Quarz::Intern::Textur
