#include "quarzklassen/grafik/geraet/quarz_alphazustand.h"

namespace {

DWORD Faktor(int32_t id) {
  static const DWORD kFaktoren[10] = {
      D3DBLEND_ZERO,     D3DBLEND_ONE,         D3DBLEND_SRCALPHA,  D3DBLEND_SRCCOLOR,
      D3DBLEND_INVSRCALPHA, D3DBLEND_INVSRCCOLOR, D3DBLEND_DESTALPHA, D3DBLEND_DESTCOLOR,
      D3DBLEND_INVDESTALPHA, D3DBLEND_INVDESTCOLOR};
  return id >= 0 && id < 10 ? kFaktoren[id] : D3DBLEND_ONE;
}

DWORD Operation(int32_t id) {
  return id >= 0 && id < 5 ? static_cast<DWORD>(D3DBLENDOP_ADD + id) : D3DBLENDOP_ADD;
}

}  // namespace

Quarz_AlphaZustandBeschr::Quarz_AlphaZustandBeschr(int32_t, int32_t quelle, int32_t ziel) {
  Eintrag& e = mEintraege[0];
  e.mAktiv = 1;
  e.mFarbQuelle = e.mAlphaQuelle = quelle;
  e.mFarbZiel = e.mAlphaZiel = ziel;
}

Quarz_AlphaZustand::Quarz_AlphaZustand(const Quarz_AlphaZustandBeschr& beschr) : mBeschr(beschr) {
  const Quarz_AlphaZustandBeschr::Eintrag& e = beschr.mEintraege[0];
  mBlendAktiv = e.mAktiv ? 1 : 0;
  mBlendOp = Operation(e.mFarbOp);
  mQuellBlend = Faktor(e.mFarbQuelle);
  mZielBlend = Faktor(e.mFarbZiel);
  const bool gleich = e.mAlphaOp == e.mFarbOp && e.mAlphaQuelle == e.mFarbQuelle &&
                      e.mAlphaZiel == e.mFarbZiel;
  mAlphaGetrennt = gleich ? 0 : 1;
  mAlphaBlendOp = gleich ? D3DBLENDOP_ADD : Operation(e.mAlphaOp);
  mAlphaQuellBlend = gleich ? D3DBLEND_ONE : Faktor(e.mAlphaQuelle);
  mAlphaZielBlend = gleich ? D3DBLEND_ZERO : Faktor(e.mAlphaZiel);
  mSchreibMaske = e.mSchreibMaske;
}
