#include "quarzklassen/grafik/geraet/quarz_pixelformat.h"

#include "quarzklassen/kern/quarz_ausnahme.h"
#include "quarzklassen/kern/quarz_log.h"

namespace {

struct TFormatZeile {
  D3DFORMAT d3d;
  uint32_t bits;
};

const TFormatZeile kFormate[Quarz::PF_ANZAHL] = {
    {D3DFMT_A8R8G8B8, 32},     {D3DFMT_R5G6B5, 16},       {D3DFMT_A2B10G10R10, 32},
    {D3DFMT_R16F, 16},         {D3DFMT_G16R16F, 32},      {D3DFMT_A16B16G16R16F, 64},
    {D3DFMT_R32F, 32},         {D3DFMT_G32R32F, 64},      {D3DFMT_A32B32G32R32F, 128},
    {D3DFMT_G16R16, 32},       {D3DFMT_A16B16G16R16, 64}, {D3DFMT_DXT1, 4},
    {D3DFMT_DXT3, 8},          {D3DFMT_DXT5, 8},          {D3DFMT_A8, 8},
};

// Engine face order +Y, -Y, +X, -X, +Z, -Z.
const D3DCUBEMAP_FACES kSeiten[6] = {
    D3DCUBEMAP_FACE_POSITIVE_Y, D3DCUBEMAP_FACE_NEGATIVE_Y, D3DCUBEMAP_FACE_POSITIVE_X,
    D3DCUBEMAP_FACE_NEGATIVE_X, D3DCUBEMAP_FACE_POSITIVE_Z, D3DCUBEMAP_FACE_NEGATIVE_Z,
};

uint64_t AufVier(uint64_t n) { return (n + 3) / 4 * 4; }

}  // namespace

namespace Quarz {

uint32_t GetBitsProPixel(Quarz_Pixelformat id) { return id < PF_ANZAHL ? kFormate[id].bits : 0; }

bool IstBlockFormat(Quarz_Pixelformat id) { return id >= PF_DXT1 && id <= PF_DXT5; }

D3DFORMAT GetD3DPixelFormat(Quarz_Pixelformat id) {
  if (id >= PF_ANZAHL) {
    QUARZ_MELDE("Invalides Pixelformat", "Quarz::GetD3DPixelFormat");
    return D3DFMT_A8R8G8B8;
  }
  return kFormate[id].d3d;
}

D3DCUBEMAP_FACES GetD3DSeite(uint32_t seite) {
  if (seite >= 6) {
    gLog.Schreibe("!Quarz_WuerfelTextur::GetD3DSeite( %d): Ungültige CubeMap-Seite.",
                  static_cast<int>(seite));
    QUARZ_MELDE("Ungültige CubeMap-Seite.", "Quarz::GetD3DSeite");
    return D3DCUBEMAP_FACE_POSITIVE_X;
  }
  return kSeiten[seite];
}

uint64_t GetZeilenBytes(Quarz_Pixelformat id, uint64_t breite) {
  if (breite == 0) return 0;
  if (IstBlockFormat(id)) breite = AufVier(breite);
  return GetBitsProPixel(id) * breite / 8;
}

uint64_t GetBildBytes(Quarz_Pixelformat id, uint64_t breite, uint64_t hoehe) {
  if (breite == 0 || hoehe == 0) return 0;
  if (IstBlockFormat(id)) hoehe = AufVier(hoehe);
  return GetZeilenBytes(id, breite) * hoehe;
}

}  // namespace Quarz
