#pragma once
// The engine's own pixel format ids, their Direct3D 9 formats and byte counts, and the engine's
// order of cube-map faces (+Y, -Y, +X, -X, +Z, -Z).
#include <cstdint>

#include "plattform/d3d9/d3d9.h"

// Pixel format id, 0 to 14. Ids 11 to 13 are the DXT block formats (4 x 4 pixel blocks).
using Quarz_Pixelformat = uint32_t;

namespace Quarz {

enum : Quarz_Pixelformat {
  PF_A8R8G8B8 = 0,
  PF_R5G6B5 = 1,
  PF_A2B10G10R10 = 2,
  PF_R16F = 3,
  PF_G16R16F = 4,
  PF_A16B16G16R16F = 5,
  PF_R32F = 6,
  PF_G32R32F = 7,
  PF_A32B32G32R32F = 8,
  PF_G16R16 = 9,
  PF_A16B16G16R16 = 10,
  PF_DXT1 = 11,
  PF_DXT3 = 12,
  PF_DXT5 = 13,
  PF_A8 = 14,
  PF_ANZAHL = 15
};

// Bits per pixel of each id.
uint32_t GetBitsProPixel(Quarz_Pixelformat id);
bool IstBlockFormat(Quarz_Pixelformat id);

// The Direct3D format of an id; an id of 15 or more is reported and gives A8R8G8B8.
D3DFORMAT GetD3DPixelFormat(Quarz_Pixelformat id);
// The Direct3D cube face of an engine face id; 6 or more is reported and gives positive X.
D3DCUBEMAP_FACES GetD3DSeite(uint32_t seite);
// Bytes of one pixel row (block formats count their width in whole blocks).
uint64_t GetZeilenBytes(Quarz_Pixelformat id, uint64_t breite);
// Bytes of a whole image (block formats count width and height in whole blocks).
uint64_t GetBildBytes(Quarz_Pixelformat id, uint64_t breite, uint64_t hoehe);

}  // namespace Quarz
