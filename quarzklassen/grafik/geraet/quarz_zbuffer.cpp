#include "quarzklassen/grafik/geraet/quarz_zbuffer.h"

#include "quarzklassen/kern/quarz_ausnahme.h"
#include "quarzklassen/grafik/geraet/quarz_internhelfer.h"
#include "quarzklassen/kern/quarz_log.h"

Quarz_ZBuffer::Quarz_ZBuffer(uint64_t breite, uint64_t hoehe) : mBreite(breite), mHoehe(hoehe) {
  mZustand = FREIGEGEBEN;
  Benutzen();
}

Quarz_ZBuffer::~Quarz_ZBuffer() {
  if (mZustand == VORHANDEN) Plattform::SicherFreigeben(mOberflaeche);
}

void Quarz_ZBuffer::Benutzen() {
  Quarz_BasisObjekt::Benutzen();
  if (mZustand != FREIGEGEBEN) return;
  IDirect3DDevice9* geraet = Quarz::Intern::Geraet();
  if (!geraet) return;
  const D3DFORMAT format = Quarz::Intern::TiefenFormat();
  const HRESULT hr = Quarz::Intern::ErzeugeMitPlatz(
      [&] {
        return geraet->CreateDepthStencilSurface(static_cast<UINT>(mBreite),
                                                 static_cast<UINT>(mHoehe), format,
                                                 D3DMULTISAMPLE_NONE, 0, TRUE, &mOberflaeche,
                                                 nullptr);
      },
      true);
  if (FAILED(hr)) {
    mOberflaeche = nullptr;
    gLog.Schreibe("!Quarz_ZBuffer::Benutzen( %d, %d): Failed to create zbuffer of these properties.",
                  static_cast<int>(mBreite), static_cast<int>(mHoehe));
    QUARZ_MELDE("Failed to create zbuffer.", "Quarz_ZBuffer::Benutzen");
    return;
  }
  mZustand = VORHANDEN;
}

void Quarz_ZBuffer::VorZuruecksetzen() {
  if (mZustand != VORHANDEN) return;
  Plattform::SicherFreigeben(mOberflaeche);
  mZustand = FREIGEGEBEN;
}
