#pragma once
// How each Direct3D 9 format of the layer is stored in OpenGL.
#include <epoxy/gl.h>

#include "plattform/d3d9/d3d9.h"

namespace Plattform {

struct TGlFormat {
  GLenum Intern = 0;          // internal format
  GLenum Format = 0;          // upload/readback format (0 for compressed formats)
  GLenum Typ = 0;             // upload/readback type
  UINT BytesProEinheit = 0;   // bytes per pixel, or per 4x4 block
  bool Block = false;         // DXT: sizes count in 4x4 blocks
  bool Tiefe = false;         // depth format
  GLint Swizzle[4] = {GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA};
};

// null for formats the layer does not know.
const TGlFormat* GlFormat(D3DFORMAT format);

// Bytes of one row (for DXT: of one row of blocks) and of a whole level.
UINT ZeilenBytes(const TGlFormat& f, UINT breite);
uint64_t StufenBytes(const TGlFormat& f, UINT breite, UINT hoehe);
// Number of rows (for DXT: rows of blocks).
UINT Zeilen(const TGlFormat& f, UINT hoehe);
// Levels of a full mip chain.
UINT VolleKette(UINT breite, UINT hoehe);

}  // namespace Plattform
