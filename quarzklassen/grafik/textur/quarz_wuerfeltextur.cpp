#include "quarzklassen/grafik/textur/quarz_wuerfeltextur.h"

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

constexpr const char* kKonstruktor = "Quarz_WuerfelTextur::Quarz_WuerfelTextur";

void GibAllesFrei(TTexturInhalt* seiten) {
  if (!seiten) return;
  for (int f = 0; f < Quarz_WuerfelTextur::kSeiten; ++f)
    if (seiten[f].mUebergabe == 1)
      for (TBereich& b : seiten[f].mStufen) T::GibFrei(b);
}

}  // namespace

Quarz_WuerfelTextur::Quarz_WuerfelTextur(uint64_t kante, uint64_t mipAnzahl, uint32_t flags,
                                         TTexturInhalt* seiten)
    : mFlags(flags & ~0xFFu), mFormat(flags & 0xFFu) {
  const bool mitInhalt = seiten && seiten[0].mStufen[0].IstVorhanden();
  if (kante == 0 && mitInhalt) kante = seiten[0].mStufen[0].mBreite;
  mKante = kante;
  mZustand = FREIGEGEBEN;
  const auto stopp = [&] {
    mUngueltig = true;
    GibAllesFrei(seiten);
  };

  T::TVorgaben vorgaben;
  const std::string masse = std::to_string(static_cast<int>(kante));
  if (!T::WendeRegelnAn(kKonstruktor, masse.c_str(), kante, kante, mipAnzahl, flags, vorgaben)) {
    stopp();
    return;
  }
  const uint64_t gegeben = T::UebernimmVorgaben(*this, vorgaben, mitInhalt);
  if (mitInhalt && !PruefeInhalt(seiten, gegeben)) {
    stopp();
    return;
  }
  if (T::MachDynamisch(mFlags, mitInhalt))
    gLog.Schreibe(
        "!Quarz_WuerfelTextur::Quarz_WuerfelTextur( %d, ...): Textur ohne Initialinhalt "
        "muss dynamisch sein",
        static_cast<int>(kante));
  Quarz_ZeichenKontext* kontext = Quarz::Intern::Kontext();
  if (kante == 0 ||
      (kontext && kante > std::min(kontext->mMaxTexturBreite, kontext->mMaxTexturHoehe))) {
    gLog.Schreibe("!Quarz_WuerfelTextur::Quarz_WuerfelTextur( %d, ...): Ungültige Texturgröße.",
                  static_cast<int>(kante));
    QUARZ_MELDE("Ungültige Texturgröße.", kKonstruktor);
    stopp();
    return;
  }

  T::ErzeugeUndLade(*this, mitInhalt, [&] {
    for (uint32_t f = 0; f < kSeiten && mitInhalt; ++f)
      for (uint64_t s = 0; s < gegeben; ++s)
        InternSchreibeInhalt(f, s, 0, 0, seiten[f].mStufen[s]);
  });

  if (!(mFlags & FLAG_FLUECHTIG)) {
    for (uint32_t f = 0; f < kSeiten; ++f) {
      TBereich leer;
      for (uint64_t s = 0; s < gegeben; ++s)
        mKopien[f][s] = T::BehalteStufe(seiten[f].mStufen[s], seiten[f].mUebergabe == 1, mFormat,
                                        StufenKante(s), StufenKante(s));
      // As with 2D textures: a dynamic cube made empty keeps its zeroed level 0.
      if (gegeben == 0 && (mFlags & FLAG_DYNAMISCH))
        mKopien[f][0] = T::BehalteStufe(leer, false, mFormat, mKante, mKante);
    }
  }
  GibAllesFrei(seiten);
}

bool Quarz_WuerfelTextur::PruefeInhalt(const TTexturInhalt* seiten, uint64_t stufen) const {
  for (uint32_t f = 0; f < kSeiten; ++f)
    for (uint64_t s = 0; s < stufen; ++s) {
      const TBereich& b = seiten[f].mStufen[s];
      if (b.IstVorhanden() && b.mBreite == StufenKante(s) && b.mHoehe == StufenKante(s) &&
          b.mFormat == mFormat)
        continue;
      gLog.Schreibe(
          "!Quarz_WuerfelTextur::Quarz_WuerfelTextur( %d, ...): Vorgabegrafik für Seite "
          "%d, Mip-Stufe %d ist ungültig",
          static_cast<int>(mKante), static_cast<int>(f), static_cast<int>(s));
      QUARZ_MELDE("Ungültige Vorgabedaten", kKonstruktor);
      return false;
    }
  return true;
}

Quarz_WuerfelTextur::~Quarz_WuerfelTextur() {
  Plattform::SicherFreigeben(mTextur);
  for (auto& seite : mKopien)
    for (uint8_t*& k : seite) {
      std::free(k);
      k = nullptr;
    }
}

uint64_t Quarz_WuerfelTextur::StufenKante(uint64_t stufe) const {
  return T::StufenSeite(mKante, stufe);
}

TBereich Quarz_WuerfelTextur::KopieBereich(uint32_t seite, uint64_t stufe) const {
  if (seite >= kSeiten || stufe >= kMaxStufen || !mKopien[seite][stufe]) return TBereich{};
  return T::AlsBereich(mKopien[seite][stufe], mFormat, StufenKante(stufe), StufenKante(stufe));
}

void Quarz_WuerfelTextur::Benutzen() {
  Quarz_BasisObjekt::Benutzen();
  HRESULT hr = D3D_OK;
  const bool erzeugt = T::ErzeugeNeu(*this, hr, [&](IDirect3DDevice9* g, const T::TErzeugung& e) {
    return g->CreateCubeTexture(static_cast<UINT>(mKante), e.mStufen, e.mNutzung, mD3DFormat,
                                D3DPOOL_DEFAULT, &mTextur, nullptr);
  });
  if (!erzeugt) return;
  if (!mTextur) {
    gLog.Schreibe("!Quarz_WuerfelTextur::Benutzen(): Erzeugung der CubeMap gescheitert.");
    QUARZ_MELDE("CubeMap-Erzeugung gescheitert.", "Quarz_WuerfelTextur::Benutzen");
    return;
  }
  mZustand = VORHANDEN;
  if (mFlags & FLAG_FLUECHTIG) return;
  for (uint32_t f = 0; f < kSeiten; ++f)
    for (uint64_t s = 0; s < mMipAnzahl && s < kMaxStufen; ++s)
      if (mKopien[f][s]) InternSchreibeInhalt(f, s, 0, 0, KopieBereich(f, s));
}

void Quarz_WuerfelTextur::VorZuruecksetzen() { T::GibGeraeteObjektFrei(*this); }

bool Quarz_WuerfelTextur::InternSchreibeInhalt(uint32_t seite, uint64_t stufe, uint64_t x,
                                               uint64_t y, const TBereich& quelle) {
  RECT rechteck{};
  if (!mTextur || stufe >= mMipAnzahl ||
      !T::ZielRechteck(StufenKante(stufe), StufenKante(stufe), x, y, quelle, rechteck))
    return false;
  const D3DCUBEMAP_FACES d3dSeite = Quarz::GetD3DSeite(seite);
  const UINT st = static_cast<UINT>(stufe);
  T::TStufenZugriff zugriff{
      [&](D3DLOCKED_RECT* g, const RECT* r, DWORD f) {
        return mTextur->LockRect(d3dSeite, st, g, r, f);
      },
      [&] { return mTextur->UnlockRect(d3dSeite, st); },
      [&](IDirect3DSurface9** o) { return mTextur->GetCubeMapSurface(d3dSeite, st, o); }};
  const uint64_t k = StufenKante(stufe);
  const bool ganz = x == 0 && y == 0 && static_cast<uint64_t>(rechteck.right) == k &&
                    static_cast<uint64_t>(rechteck.bottom) == k;
  char zeile[160];
  std::snprintf(zeile, sizeof zeile,
                "!Quarz_WuerfelTextur::InternSchreibeInhalt( %d, %d, %d, %d, ...): Erzeugen der "
                "temporären Textur gescheitert.",
                static_cast<int>(seite), static_cast<int>(stufe), static_cast<int>(x),
                static_cast<int>(y));
  return T::Lade(zugriff, rechteck, ganz, mFlags, mD3DFormat, mFormat, quelle,
                 "Quarz_WuerfelTextur::InternSchreibeInhalt", zeile);
}

void Quarz_WuerfelTextur::ErzeugeMipMaps() {
  Benutzen();
  if (mTextur) mTextur->GenerateMipSubLevels();
}
