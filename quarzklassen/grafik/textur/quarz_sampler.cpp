#include "quarzklassen/grafik/textur/quarz_sampler.h"

#include <algorithm>
#include <cmath>

#include "quarzklassen/grafik/geraet/quarz_zeichenkontext.h"

namespace {

DWORD Adresse(uint64_t modus) {
  switch (modus) {
    case 1:
      return D3DTADDRESS_CLAMP;
    case 2:
      return D3DTADDRESS_BORDER;
    default:
      return D3DTADDRESS_WRAP;  // 0, and 3, which has no meaning of its own
  }
}

DWORD Filter(uint64_t bits) { return bits ? D3DTEXF_LINEAR : D3DTEXF_POINT; }

// Channel x 255 + 0.51, truncated, after clamping to [0, 1] (a negative value, and NaN,
// count as 0).
DWORD Kanal(float wert) {
  const float w = wert > 0.0f ? std::min(wert, 1.0f) : 0.0f;
  return static_cast<DWORD>(w * 255.0f + 0.51f);
}

}  // namespace

Quarz_Sampler::Quarz_Sampler(const Quarz_SamplerBeschr& beschr) : mBeschr(beschr) {
  mAdresseU = Adresse(beschr.mAdresse & 3);
  mAdresseV = Adresse((beschr.mAdresse >> 2) & 3);
  mAdresseW = Adresse((beschr.mAdresse >> 4) & 3);
  mNutztRand = (mAdresseU == D3DTADDRESS_BORDER || mAdresseV == D3DTADDRESS_BORDER ||
                mAdresseW == D3DTADDRESS_BORDER)
                   ? 1
                   : 0;
  mNutztAnisotropie = (beschr.mFilter & 0x40) ? 1 : 0;
  if (mNutztAnisotropie) {
    mMinFilter = D3DTEXF_ANISOTROPIC;
    mMagFilter = D3DTEXF_LINEAR;
    mMipFilter = D3DTEXF_LINEAR;
  } else {
    mMinFilter = Filter(beschr.mFilter & 3);
    mMagFilter = Filter((beschr.mFilter >> 2) & 3);
    mMipFilter = Filter((beschr.mFilter >> 4) & 3);
  }
  mRandFarbe = D3DCOLOR_ARGB(Kanal(beschr.mRand[3]), Kanal(beschr.mRand[0]), Kanal(beschr.mRand[1]),
                             Kanal(beschr.mRand[2]));
  // A NaN level would turn into an arbitrary integer; it counts as 0 like a negative one.
  const float stufe = std::ceil(beschr.mMipStufe);
  mMaxMipStufe = stufe > 0.0f ? static_cast<DWORD>(std::min(stufe, 15.0f)) : 0;
  mMaxAnisotropie = beschr.mMaxAnisotropie;
}

Quarz_Sampler* Quarz_ZeichenKontext::ErzeugeSampler(const Quarz_SamplerBeschr& beschr) {
  return ErzeugeObjekt<Quarz_Sampler>(beschr);
}
