#include "quarzklassen/grafik/textur/quarz_texturhelfer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "quarzklassen/kern/quarz_ausnahme.h"
#include "quarzklassen/grafik/geraet/quarz_basisobjekt.h"
#include "quarzklassen/grafik/geraet/quarz_internhelfer.h"
#include "quarzklassen/kern/quarz_log.h"

namespace Quarz::Intern::Textur {

uint64_t VolleKette(uint64_t breite, uint64_t hoehe) {
  uint64_t stufen = 0;
  while (breite || hoehe) {
    breite >>= 1;
    hoehe >>= 1;
    ++stufen;
  }
  return stufen;
}

uint64_t StufenSeite(uint64_t seite, uint64_t stufe) {
  return stufe >= 64 ? 1 : std::max<uint64_t>(1, seite >> stufe);
}

bool WendeRegelnAn(const char* klasse, const char* masse, uint64_t breite, uint64_t hoehe,
                   uint64_t mipAnzahl, uint32_t flags, TVorgaben& v) {
  v.mFlags = flags & ~0xFFu;
  v.mFormat = flags & 0xFFu;
  if (v.mFormat >= Quarz::PF_ANZAHL) {
    gLog.Schreibe("?%s( %s, %d, 0x%x, ...): Ungültiges Texturformat", klasse, masse,
                  static_cast<int>(mipAnzahl), flags);
    QUARZ_MELDE("Ungültiges Texturformat", klasse);
    return false;
  }
  const uint64_t voll = std::min<uint64_t>(VolleKette(breite, hoehe), 16);
  if (mipAnzahl > voll && voll > 0) {
    gLog.Schreibe("?%s( %s, %d, %d): Zuviele MipMap-Stufen angegeben.", klasse, masse,
                  static_cast<int>(mipAnzahl), static_cast<int>(flags));
    mipAnzahl = voll;
  }
  v.mMipAnzahl = mipAnzahl == 0 ? voll : mipAnzahl;
  if ((v.mFlags & FLAG_RENDERZIEL) && !(v.mFlags & FLAG_FLUECHTIG)) {
    gLog.Schreibe("?%s( %s, %d, 0x%x): Renderziel-Texturen sind immer flüchtig.", klasse, masse,
                  static_cast<int>(mipAnzahl), flags);
    v.mFlags |= FLAG_FLUECHTIG;
  }
  if (Quarz::IstBlockFormat(v.mFormat) && !(v.mFlags & FLAG_MANUELLE_MIPMAPS)) {
    gLog.Schreibe(
        "?%s( %s, %d, 0x%x, ...): Keine automatischen MipMaps für komprimierte Texturformate. "
        "Ich vermute manuelle MipMaps.",
        klasse, masse, static_cast<int>(mipAnzahl), flags);
    v.mFlags |= FLAG_MANUELLE_MIPMAPS;
  }
  return true;
}

bool MachDynamisch(uint64_t& flags, bool mitInhalt) {
  if (mitInhalt || (flags & (FLAG_DYNAMISCH | FLAG_RENDERZIEL))) return false;
  flags |= FLAG_DYNAMISCH;
  return true;
}

TErzeugung ErzeugungsWerte(uint64_t flags, uint64_t mipAnzahl) {
  const bool manuell = (flags & FLAG_MANUELLE_MIPMAPS) != 0;
  TErzeugung e;
  e.mStufen = (manuell || mipAnzahl < 2) ? static_cast<UINT>(mipAnzahl) : 0;
  if (flags & FLAG_DYNAMISCH) e.mNutzung |= D3DUSAGE_DYNAMIC;
  if (mipAnzahl != 1 && !manuell) e.mNutzung |= D3DUSAGE_AUTOGENMIPMAP;
  if (flags & FLAG_RENDERZIEL) e.mNutzung |= D3DUSAGE_RENDERTARGET;
  return e;
}

TBereich AlsBereich(uint8_t* pixel, Quarz_Pixelformat format, uint64_t breite, uint64_t hoehe) {
  TBereich b;
  b.mPixel = pixel;
  b.mFormat = format;
  b.mBreite = breite;
  b.mHoehe = hoehe;
  b.mPitch = Quarz::GetZeilenBytes(format, breite);
  return b;
}

uint8_t* BehalteStufe(TBereich& quelle, bool uebergabe, Quarz_Pixelformat format, uint64_t breite,
                      uint64_t hoehe) {
  const bool dicht = quelle.IstVorhanden() && quelle.mFormat == format &&
                     quelle.mBreite == breite && quelle.mHoehe == hoehe &&
                     quelle.mPitch == Quarz::GetZeilenBytes(format, breite);
  if (uebergabe && dicht) {
    uint8_t* kopie = quelle.mPixel;
    quelle = TBereich{};
    return kopie;
  }
  const uint64_t bytes = Quarz::GetBildBytes(format, breite, hoehe);
  auto* kopie = static_cast<uint8_t*>(std::calloc(std::max<uint64_t>(bytes, 1), 1));
  if (kopie && quelle.IstVorhanden()) {
    TBereich ziel = AlsBereich(kopie, format, breite, hoehe);
    quelle.KopiereIn(ziel);
  }
  return kopie;
}

void GibFrei(TBereich& bereich) {
  std::free(bereich.mPixel);
  bereich = TBereich{};
}

bool ZielRechteck(uint64_t stufenBreite, uint64_t stufenHoehe, uint64_t x, uint64_t y,
                  const TBereich& quelle, RECT& rechteck) {
  if (x >= stufenBreite || y >= stufenHoehe || !quelle.mBreite || !quelle.mHoehe) return false;
  uint64_t rechts = std::min(stufenBreite, x + quelle.mBreite);
  uint64_t unten = std::min(stufenHoehe, y + quelle.mHoehe);
  if (Quarz::IstBlockFormat(quelle.mFormat)) {
    // Block data come in whole 4 x 4 blocks; a block cut by the level's edge ends there.
    rechts = std::min(stufenBreite, (rechts + 3) / 4 * 4);
    unten = std::min(stufenHoehe, (unten + 3) / 4 * 4);
  }
  rechteck = RECT{static_cast<LONG>(x), static_cast<LONG>(y), static_cast<LONG>(rechts),
                  static_cast<LONG>(unten)};
  return true;
}

namespace {

// The locked pixels as a region; the device's DXT pitch counts rows of blocks.
TBereich Gesperrt(const D3DLOCKED_RECT& sperre, Quarz_Pixelformat format, const RECT& r) {
  TBereich ziel;
  ziel.mPixel = static_cast<uint8_t*>(sperre.pBits);
  ziel.mFormat = format;
  ziel.mBreite = static_cast<uint64_t>(r.right - r.left);
  ziel.mHoehe = static_cast<uint64_t>(r.bottom - r.top);
  ziel.mPitch = static_cast<uint64_t>(sperre.Pitch) / (Quarz::IstBlockFormat(format) ? 4 : 1);
  return ziel;
}

}  // namespace

Ergebnis SchreibeGesperrt(const TStufenZugriff& zugriff, const RECT& rechteck, bool ganz,
                          Quarz_Pixelformat format, const TBereich& quelle) {
  D3DLOCKED_RECT sperre{};
  if (FAILED(zugriff.mSperre(&sperre, ganz ? nullptr : &rechteck, ganz ? D3DLOCK_DISCARD : 0)) ||
      !sperre.pBits)
    return Ergebnis::SPERREN;
  TBereich ziel = Gesperrt(sperre, format, rechteck);
  quelle.KopiereIn(ziel);
  zugriff.mEntsperre();
  return Ergebnis::OK;
}

Ergebnis SchreibeUeberSpeicher(IDirect3DDevice9* geraet, const TStufenZugriff& zugriff,
                               const RECT& rechteck, D3DFORMAT d3dFormat, Quarz_Pixelformat format,
                               const TBereich& quelle) {
  const UINT breite = static_cast<UINT>(rechteck.right - rechteck.left);
  const UINT hoehe = static_cast<UINT>(rechteck.bottom - rechteck.top);
  IDirect3DSurface9* temp = nullptr;
  if (FAILED(geraet->CreateOffscreenPlainSurface(breite, hoehe, d3dFormat, D3DPOOL_SYSTEMMEM, &temp,
                                                 nullptr)) ||
      !temp)
    return Ergebnis::TEMPORAER;
  D3DLOCKED_RECT sperre{};
  if (FAILED(temp->LockRect(&sperre, nullptr, D3DLOCK_DISCARD)) || !sperre.pBits) {
    temp->Release();
    return Ergebnis::ZUGRIFF;
  }
  const RECT ganz{0, 0, static_cast<LONG>(breite), static_cast<LONG>(hoehe)};
  TBereich ziel = Gesperrt(sperre, format, ganz);
  quelle.KopiereIn(ziel);
  temp->UnlockRect();
  IDirect3DSurface9* stufe = nullptr;
  Ergebnis ergebnis = Ergebnis::OK;
  if (FAILED(zugriff.mOberflaeche(&stufe)) || !stufe) {
    ergebnis = Ergebnis::ZUGRIFF;
  } else {
    const POINT punkt{rechteck.left, rechteck.top};
    if (FAILED(geraet->UpdateSurface(temp, nullptr, stufe, &punkt))) ergebnis = Ergebnis::ZUGRIFF;
    stufe->Release();
  }
  temp->Release();
  return ergebnis;
}

bool Lade(const TStufenZugriff& zugriff, const RECT& rechteck, bool ganz, uint64_t flags,
          D3DFORMAT d3dFormat, Quarz_Pixelformat format, const TBereich& quelle,
          const char* funktion, const std::string& temporaerZeile) {
  if (flags & FLAG_DYNAMISCH) {
    if (SchreibeGesperrt(zugriff, rechteck, ganz, format, quelle) == Ergebnis::OK) return true;
    QUARZ_MELDE("Texturzugriff gescheitert.", funktion);
    return false;
  }
  IDirect3DDevice9* geraet = Quarz::Intern::Geraet();
  if (!geraet) return false;
  switch (SchreibeUeberSpeicher(geraet, zugriff, rechteck, d3dFormat, format, quelle)) {
    case Ergebnis::OK:
      return true;
    case Ergebnis::TEMPORAER:
      gLog.Schreibe("%s", temporaerZeile.c_str());
      QUARZ_MELDE("Texturzugriff gescheitert.", funktion);
      return false;
    default:
      QUARZ_MELDE("Texturzugriff gescheitert", funktion);
      return false;
  }
}

}  // namespace Quarz::Intern::Textur
