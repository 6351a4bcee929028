#include "quarzklassen/grafik/textur/quarz_textur.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "quarzklassen/kern/quarz_ausnahme.h"
#include "quarzklassen/grafik/geraet/quarz_internhelfer.h"
#include "quarzklassen/kern/quarz_log.h"
#include "quarzklassen/grafik/textur/quarz_texturhelfer.h"
#include "quarzklassen/grafik/geraet/quarz_zeichenkontext.h"

namespace T = Quarz::Intern::Textur;

namespace {

constexpr const char* kKonstruktor = "Quarz_Textur::Quarz_Textur";

bool HatInhalt(const TTexturInhalt* inhalt) { return inhalt && inhalt->mStufen[0].IstVorhanden(); }

}  // namespace

Quarz_Textur::Quarz_Textur(uint64_t breite, uint64_t hoehe, uint64_t mipAnzahl, uint32_t flags,
                           TTexturInhalt* inhalt)
    : mFlags(flags & ~0xFFu), mFormat(flags & 0xFFu) {
  const bool mitInhalt = HatInhalt(inhalt);
  if ((breite == 0 || hoehe == 0) && mitInhalt) {
    breite = inhalt->mStufen[0].mBreite;
    hoehe = inhalt->mStufen[0].mHoehe;
  }
  mBreite = breite;
  mHoehe = hoehe;
  mZustand = FREIGEGEBEN;
  const auto stopp = [&] {
    // A texture that cannot be made stays without a device object and keeps nothing: going
    // on would read the content with a size or format it does not have.
    mUngueltig = true;
    if (inhalt && inhalt->mUebergabe == 1)
      for (TBereich& b : inhalt->mStufen) T::GibFrei(b);
  };

  const std::string masse = std::to_string(static_cast<int>(breite)) + ", " +
                            std::to_string(static_cast<int>(hoehe));
  T::TVorgaben vorgaben;
  if (!T::WendeRegelnAn(kKonstruktor, masse.c_str(), breite, hoehe, mipAnzahl, flags, vorgaben)) {
    stopp();
    return;
  }
  const uint64_t gegeben = T::UebernimmVorgaben(*this, vorgaben, mitInhalt);
  if (mitInhalt && !PruefeInhalt(inhalt, gegeben)) {
    stopp();
    return;
  }
  if (T::MachDynamisch(mFlags, mitInhalt))
    gLog.Schreibe(
        "!Quarz_Textur::QuarzTextur( %d, %d, ...): Textur ohne Initialinhalt muss "
        "dynamisch sein",
        static_cast<int>(breite), static_cast<int>(hoehe));

  Quarz_ZeichenKontext* kontext = Quarz::Intern::Kontext();
  const bool zuGross =
      kontext && (breite > kontext->mMaxTexturBreite || hoehe > kontext->mMaxTexturHoehe);
  if (breite == 0 || hoehe == 0 || zuGross) {
    gLog.Schreibe("!Quarz_Textur::QuarzTextur( %d, %d, ...): Ungültige Texturgröße.",
                  static_cast<int>(breite), static_cast<int>(hoehe));
    QUARZ_MELDE("Ungültige Texturgröße.", kKonstruktor);
    stopp();
    return;
  }

  T::ErzeugeUndLade(*this, mitInhalt, [&] {
    for (uint64_t s = 0; s < gegeben; ++s) InternSchreibeInhalt(s, 0, 0, inhalt->mStufen[s]);
  });

  if (!(mFlags & FLAG_FLUECHTIG)) BehalteKopien(inhalt, gegeben);
  if (inhalt && inhalt->mUebergabe == 1)
    for (TBereich& b : inhalt->mStufen) T::GibFrei(b);
}

bool Quarz_Textur::PruefeInhalt(const TTexturInhalt* inhalt, uint64_t stufen) const {
  for (uint64_t s = 0; s < stufen; ++s) {
    const TBereich& b = inhalt->mStufen[s];
    if (b.IstVorhanden() && b.mBreite == StufenBreite(s) && b.mHoehe == StufenHoehe(s) &&
        b.mFormat == mFormat)
      continue;
    gLog.Schreibe(
        "!Quarz_Textur::QuarzTextur( %d, %d, ...): Vorgabegrafik für Mip-Stufe %d ist "
        "ungültig",
        static_cast<int>(mBreite), static_cast<int>(mHoehe), static_cast<int>(s));
    QUARZ_MELDE("Ungültige Vorgabedaten", kKonstruktor);
    return false;
  }
  return true;
}

void Quarz_Textur::BehalteKopien(TTexturInhalt* inhalt, uint64_t stufen) {
  const bool uebergabe = inhalt && inhalt->mUebergabe == 1;
  for (uint64_t s = 0; s < stufen; ++s)
    mKopien[s] =
        T::BehalteStufe(inhalt->mStufen[s], uebergabe, mFormat, StufenBreite(s), StufenHoehe(s));
  // A dynamic texture made without content is written later through SchreibeTeilInhalt; its
  // level 0 is kept too (zeroed until then), or what was written would not survive a device
  // reset.
  if (stufen == 0 && (mFlags & FLAG_DYNAMISCH)) {
    TBereich leer;
    mKopien[0] = T::BehalteStufe(leer, false, mFormat, mBreite, mHoehe);
  }
}

Quarz_Textur::~Quarz_Textur() {
  Plattform::SicherFreigeben(mTextur);
  for (uint8_t*& k : mKopien) {
    std::free(k);
    k = nullptr;
  }
}

uint64_t Quarz_Textur::StufenBreite(uint64_t stufe) const { return T::StufenSeite(mBreite, stufe); }
uint64_t Quarz_Textur::StufenHoehe(uint64_t stufe) const { return T::StufenSeite(mHoehe, stufe); }

TBereich Quarz_Textur::KopieBereich(uint64_t stufe) const {
  if (stufe >= kMaxStufen || !mKopien[stufe]) return TBereich{};
  return T::AlsBereich(mKopien[stufe], mFormat, StufenBreite(stufe), StufenHoehe(stufe));
}

void Quarz_Textur::Benutzen() {
  Quarz_BasisObjekt::Benutzen();
  HRESULT hr = D3D_OK;
  const bool erzeugt = T::ErzeugeNeu(*this, hr, [&](IDirect3DDevice9* g, const T::TErzeugung& e) {
    return g->CreateTexture(static_cast<UINT>(mBreite), static_cast<UINT>(mHoehe), e.mStufen,
                            e.mNutzung, mD3DFormat, D3DPOOL_DEFAULT, &mTextur, nullptr);
  });
  if (!erzeugt) return;
  if (!mTextur) {
    gLog.Schreibe("!Quarz_Textur::Benutzen(): Erzeugung der Textur gescheitert. Rückgabewert: %ld",
                  static_cast<long>(hr));
    QUARZ_MELDE("Textur-Erzeugung gescheitert.", "Quarz_Textur::Benutzen");
    return;
  }
  mZustand = VORHANDEN;
  if (mFlags & FLAG_FLUECHTIG) return;
  for (uint64_t s = 0; s < mMipAnzahl && s < kMaxStufen; ++s)
    if (mKopien[s]) InternSchreibeInhalt(s, 0, 0, KopieBereich(s));
}

void Quarz_Textur::VorZuruecksetzen() { T::GibGeraeteObjektFrei(*this); }

bool Quarz_Textur::InternSchreibeInhalt(uint64_t stufe, uint64_t x, uint64_t y,
                                        const TBereich& quelle) {
  RECT rechteck{};
  if (!mTextur || stufe >= mMipAnzahl ||
      !T::ZielRechteck(StufenBreite(stufe), StufenHoehe(stufe), x, y, quelle, rechteck))
    return false;
  const UINT st = static_cast<UINT>(stufe);
  T::TStufenZugriff zugriff{
      [&](D3DLOCKED_RECT* g, const RECT* r, DWORD f) { return mTextur->LockRect(st, g, r, f); },
      [&] { return mTextur->UnlockRect(st); },
      [&](IDirect3DSurface9** o) { return mTextur->GetSurfaceLevel(st, o); }};
  const bool ganz = x == 0 && y == 0 &&
                    static_cast<uint64_t>(rechteck.right) == StufenBreite(stufe) &&
                    static_cast<uint64_t>(rechteck.bottom) == StufenHoehe(stufe);
  char zeile[160];
  std::snprintf(zeile, sizeof zeile,
                "!Quarz_Textur::InternSchreibeInhalt( %d, %d, %d, ...): Erzeugen der temporären "
                "Textur gescheitert.",
                static_cast<int>(stufe), static_cast<int>(x), static_cast<int>(y));
  return T::Lade(zugriff, rechteck, ganz, mFlags, mD3DFormat, mFormat, quelle,
                 "Quarz_Textur::InternSchreibeInhalt", zeile);
}

void Quarz_Textur::SchreibeTeilInhalt(uint64_t x, uint64_t y, TBereich& quelle,
                                      uint32_t uebergabe) {
  const char* funktion = "Quarz_Textur::SchreibeTeilInhalt";
  if (mUngueltig) return;
  if (!(mFlags & FLAG_DYNAMISCH)) {
    QUARZ_MELDE("Statische Textur kann nachträglich nicht mehr beschrieben werden.", funktion);
    return;
  }
  if (mMipAnzahl == 0) {
    QUARZ_MELDE("Ungültige MipMap-Stufe", funktion);
    return;
  }
  if (Quarz::IstBlockFormat(mFormat) && (x % 4 || y % 4)) {
    gLog.Schreibe(
        "!Quarz_Textur::SchreibeTeilInhalt( %d, %d, %d, ...): Der Zugriffsbereich auf "
        "einer DXT-komprimierten Textur muss durch vier teilbare Koordinaten haben.",
        0, static_cast<int>(x), static_cast<int>(y));
    QUARZ_MELDE("Ungültiger Teilbereich", funktion);
    return;
  }
  if (x >= mBreite || y >= mHoehe) {
    QUARZ_MELDE("Ungültige Zielkoordinaten", funktion);
    return;
  }
  if (mKopien[0]) {
    TBereich kopie = KopieBereich(0).LockSubBereich(x, y, mBreite - x, mHoehe - y);
    quelle.KopiereIn(kopie);
  }
  Benutzen();
  InternSchreibeInhalt(0, x, y, quelle);
  if (uebergabe == 1) T::GibFrei(quelle);
}

void Quarz_Textur::ErzeugeMipMaps() {
  Benutzen();
  if (mTextur) mTextur->GenerateMipSubLevels();
}

Quarz_Textur* Quarz_ZeichenKontext::ErzeugeTextur(uint64_t breite, uint64_t hoehe,
                                                  uint64_t mipAnzahl, uint32_t flags,
                                                  TTexturInhalt* inhalt) {
  return ErzeugeObjekt<Quarz_Textur>(breite, hoehe, mipAnzahl, flags, inhalt);
}
