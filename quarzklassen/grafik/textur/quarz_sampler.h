#pragma once
// Sampler settings made once from a description and bound by pointer: the constructor turns
// the description into Direct3D values, and binding only compares and sets them.
#include <cstdint>

#include "plattform/d3d9/d3d9.h"
#include "quarzklassen/grafik/geraet/quarz_basisobjekt.h"

struct Quarz_SamplerBeschr {
  uint64_t mFilter = 0;   // bits 0-1 min, 2-3 mag, 4-5 mip (0 point, else linear), bit 6 aniso
  uint64_t mAdresse = 0;  // bits 0-1 U, 2-3 V, 4-5 W (0 wrap, 1 clamp, 2 border)
  uint32_t mMaxAnisotropie = 0;
  float mRand[4] = {0.0f, 0.0f, 0.0f, 0.0f};  // border colour RGBA
  float mMipStufe = 0.0f;                     // most detailed mip level to use
};

class Quarz_Sampler : public Quarz_NichtVideoObjekt {
public:
  explicit Quarz_Sampler(const Quarz_SamplerBeschr& beschr);
  ~Quarz_Sampler() override = default;

  Quarz_SamplerBeschr mBeschr;  // its filter and address bits are the comparison keys
  DWORD mAdresseU = D3DTADDRESS_WRAP;
  DWORD mAdresseV = D3DTADDRESS_WRAP;
  DWORD mAdresseW = D3DTADDRESS_WRAP;
  DWORD mMinFilter = D3DTEXF_POINT;
  DWORD mMagFilter = D3DTEXF_POINT;
  DWORD mMipFilter = D3DTEXF_POINT;
  uint8_t mNutztRand = 0;
  uint8_t mNutztAnisotropie = 0;
  D3DCOLOR mRandFarbe = 0;
  DWORD mMaxMipStufe = 0;
  DWORD mMaxAnisotropie = 0;
};
