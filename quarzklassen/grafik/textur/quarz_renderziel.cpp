#include "quarzklassen/grafik/textur/quarz_renderziel.h"

#include <typeinfo>

#include "quarzklassen/kern/quarz_ausnahme.h"
#include "quarzklassen/grafik/geraet/quarz_pixelformat.h"
#include "quarzklassen/grafik/textur/quarz_textur.h"
#include "quarzklassen/grafik/textur/quarz_wuerfeltextur.h"
#include "quarzklassen/grafik/geraet/quarz_zbuffer.h"
#include "quarzklassen/grafik/geraet/quarz_zeichenkontext.h"

Quarz_RenderzielBeschr::Quarz_RenderzielBeschr(Quarz_Textur* textur, Quarz_ZBuffer* zbuffer)
    : mFarbAnzahl(1), mZBuffer(zbuffer) {
  mFarben[0] = textur;
  mBreite = textur ? textur->mBreite : 0;
  mHoehe = textur ? textur->mHoehe : 0;
  if (zbuffer && (zbuffer->mBreite < mBreite || zbuffer->mHoehe < mHoehe))
    QUARZ_MELDE("ZBuffer zu klein für Renderziel",
                "Quarz_RenderzielBeschr::Quarz_RenderzielBeschr");
}

Quarz_Renderziel::Quarz_Renderziel(const Quarz_RenderzielBeschr& beschr) : mBeschr(beschr) {
  mZustand = FREIGEGEBEN;
  ErzeugeDaten();
}

Quarz_Renderziel::~Quarz_Renderziel() { GibDatenFrei(); }

void Quarz_Renderziel::GibDatenFrei() {
  for (int i = 0; i < 8; ++i) {
    Plattform::SicherFreigeben(mFarbOberflaechen[i]);
    mQuellen[i] = nullptr;
  }
  mTiefenOberflaeche = nullptr;
}

void Quarz_Renderziel::ErzeugeDaten() {
  GibDatenFrei();
  const uint64_t anzahl = mBeschr.mFarbAnzahl < 8 ? mBeschr.mFarbAnzahl : 8;
  if (anzahl == 0 && !mBeschr.mZBuffer) {
    mZustand = VORHANDEN;
    return;
  }
  for (uint64_t i = 0; i < anzahl; ++i) {
    Quarz_BasisObjekt* farbe = mBeschr.mFarben[i];
    if (!farbe) continue;
    farbe->Benutzen();
    if (auto* textur = dynamic_cast<Quarz_Textur*>(farbe)) {
      if (textur->mTextur && SUCCEEDED(textur->mTextur->GetSurfaceLevel(0, &mFarbOberflaechen[i])))
        mQuellen[i] = textur->mTextur;
    } else if (auto* wuerfel = dynamic_cast<Quarz_WuerfelTextur*>(farbe)) {
      // The face the description names for this slot.
      const D3DCUBEMAP_FACES seite = Quarz::GetD3DSeite(mBeschr.mSeiten[i]);
      if (wuerfel->mTextur &&
          SUCCEEDED(wuerfel->mTextur->GetCubeMapSurface(seite, 0, &mFarbOberflaechen[i])))
        mQuellen[i] = wuerfel->mTextur;
    } else {
      QUARZ_MELDE("Renderziel-FarbBuffer ist keine Textur", "Quarz_Renderziel::ErzeugeDaten");
    }
  }
  if (mBeschr.mZBuffer) {
    mBeschr.mZBuffer->Benutzen();
    mTiefenOberflaeche = mBeschr.mZBuffer->mOberflaeche;
  }
  mZustand = VORHANDEN;
}

bool Quarz_Renderziel::DatenVeraltet() const {
  const uint64_t anzahl = mBeschr.mFarbAnzahl < 8 ? mBeschr.mFarbAnzahl : 8;
  for (uint64_t i = 0; i < anzahl; ++i) {
    Quarz_BasisObjekt* farbe = mBeschr.mFarben[i];
    if (!farbe || !mFarbOberflaechen[i]) continue;
    IDirect3DBaseTexture9* jetzt = nullptr;
    if (auto* t = dynamic_cast<Quarz_Textur*>(farbe))
      jetzt = t->mTextur;
    else if (auto* w = dynamic_cast<Quarz_WuerfelTextur*>(farbe))
      jetzt = w->mTextur;
    if (farbe->mZustand != VORHANDEN || jetzt != mQuellen[i]) return true;
  }
  const Quarz_ZBuffer* z = mBeschr.mZBuffer;
  return z && (z->mZustand != VORHANDEN || z->mOberflaeche != mTiefenOberflaeche);
}

void Quarz_Renderziel::Benutzen() {
  Quarz_BasisObjekt::Benutzen();
  if (mZustand == FREIGEGEBEN || DatenVeraltet()) ErzeugeDaten();
}

void Quarz_Renderziel::VorZuruecksetzen() {
  GibDatenFrei();
  mZustand = FREIGEGEBEN;
}

Quarz_Renderziel* Quarz_ZeichenKontext::ErzeugeRenderziel(const Quarz_RenderzielBeschr& beschr) {
  return ErzeugeObjekt<Quarz_Renderziel>(beschr);
}
