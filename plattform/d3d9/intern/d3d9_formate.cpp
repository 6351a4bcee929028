#include "plattform/d3d9/intern/d3d9_formate.h"

namespace Plattform {

namespace {

TGlFormat Farbe(GLenum intern, GLenum format, GLenum typ, UINT bytes) {
  TGlFormat f;
  f.Intern = intern;
  f.Format = format;
  f.Typ = typ;
  f.BytesProEinheit = bytes;
  return f;
}

// A format without green and blue (or without colour at all) samples the missing channels
// as Direct3D 9 does: 1 for missing colour channels and alpha, 0 colour for alpha-only.
TGlFormat MitSwizzle(TGlFormat f, GLint r, GLint g, GLint b, GLint a) {
  f.Swizzle[0] = r;
  f.Swizzle[1] = g;
  f.Swizzle[2] = b;
  f.Swizzle[3] = a;
  return f;
}

TGlFormat Block(GLenum intern, UINT bytes) {
  TGlFormat f;
  f.Intern = intern;
  f.BytesProEinheit = bytes;
  f.Block = true;
  return f;
}

TGlFormat Tiefe(GLenum intern, GLenum typ, UINT bytes) {
  TGlFormat f = Farbe(intern, GL_DEPTH_COMPONENT, typ, bytes);
  f.Tiefe = true;
  return f;
}

}  // namespace

const TGlFormat* GlFormat(D3DFORMAT format) {
  // A8R8G8B8 lies in memory as the 32-bit word 0xAARRGGBB.
  static const TGlFormat a8r8g8b8 = Farbe(GL_RGBA8, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, 4);
  static const TGlFormat x8r8g8b8 =
      MitSwizzle(Farbe(GL_RGB8, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, 4), GL_RED, GL_GREEN,
                 GL_BLUE, GL_ONE);
  static const TGlFormat r5g6b5 = Farbe(GL_RGB565, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, 2);
  static const TGlFormat a2b10g10r10 =
      Farbe(GL_RGB10_A2, GL_RGBA, GL_UNSIGNED_INT_2_10_10_10_REV, 4);
  static const TGlFormat r16f =
      MitSwizzle(Farbe(GL_R16F, GL_RED, GL_HALF_FLOAT, 2), GL_RED, GL_ONE, GL_ONE, GL_ONE);
  static const TGlFormat g16r16f =
      MitSwizzle(Farbe(GL_RG16F, GL_RG, GL_HALF_FLOAT, 4), GL_RED, GL_GREEN, GL_ONE, GL_ONE);
  static const TGlFormat a16b16g16r16f = Farbe(GL_RGBA16F, GL_RGBA, GL_HALF_FLOAT, 8);
  static const TGlFormat r32f =
      MitSwizzle(Farbe(GL_R32F, GL_RED, GL_FLOAT, 4), GL_RED, GL_ONE, GL_ONE, GL_ONE);
  static const TGlFormat g32r32f =
      MitSwizzle(Farbe(GL_RG32F, GL_RG, GL_FLOAT, 8), GL_RED, GL_GREEN, GL_ONE, GL_ONE);
  static const TGlFormat a32b32g32r32f = Farbe(GL_RGBA32F, GL_RGBA, GL_FLOAT, 16);
  static const TGlFormat g16r16 = MitSwizzle(Farbe(GL_RG16, GL_RG, GL_UNSIGNED_SHORT, 4),
                                             GL_RED, GL_GREEN, GL_ONE, GL_ONE);
  static const TGlFormat a16b16g16r16 = Farbe(GL_RGBA16, GL_RGBA, GL_UNSIGNED_SHORT, 8);
  static const TGlFormat dxt1 = Block(GL_COMPRESSED_RGBA_S3TC_DXT1_EXT, 8);
  static const TGlFormat dxt3 = Block(GL_COMPRESSED_RGBA_S3TC_DXT3_EXT, 16);
  static const TGlFormat dxt5 = Block(GL_COMPRESSED_RGBA_S3TC_DXT5_EXT, 16);
  static const TGlFormat a8 =
      MitSwizzle(Farbe(GL_R8, GL_RED, GL_UNSIGNED_BYTE, 1), GL_ZERO, GL_ZERO, GL_ZERO, GL_RED);
  static const TGlFormat d16 = Tiefe(GL_DEPTH_COMPONENT16, GL_UNSIGNED_SHORT, 2);
  static const TGlFormat d24x8 = Tiefe(GL_DEPTH_COMPONENT24, GL_UNSIGNED_INT, 4);
  static const TGlFormat d32 = Tiefe(GL_DEPTH_COMPONENT32, GL_UNSIGNED_INT, 4);
  static const TGlFormat d24s8 = [] {
    TGlFormat f = Tiefe(GL_DEPTH24_STENCIL8, GL_UNSIGNED_INT_24_8, 4);
    f.Format = GL_DEPTH_STENCIL;
    return f;
  }();
  switch (format) {
    case D3DFMT_A8R8G8B8: return &a8r8g8b8;
    case D3DFMT_X8R8G8B8: return &x8r8g8b8;
    case D3DFMT_R5G6B5: return &r5g6b5;
    case D3DFMT_A2B10G10R10: return &a2b10g10r10;
    case D3DFMT_R16F: return &r16f;
    case D3DFMT_G16R16F: return &g16r16f;
    case D3DFMT_A16B16G16R16F: return &a16b16g16r16f;
    case D3DFMT_R32F: return &r32f;
    case D3DFMT_G32R32F: return &g32r32f;
    case D3DFMT_A32B32G32R32F: return &a32b32g32r32f;
    case D3DFMT_G16R16: return &g16r16;
    case D3DFMT_A16B16G16R16: return &a16b16g16r16;
    case D3DFMT_DXT1: return &dxt1;
    case D3DFMT_DXT3: return &dxt3;
    case D3DFMT_DXT5: return &dxt5;
    case D3DFMT_A8: return &a8;
    case D3DFMT_D16: return &d16;
    case D3DFMT_D24X8: return &d24x8;
    case D3DFMT_D32: return &d32;
    case D3DFMT_D24S8: return &d24s8;
    default: return nullptr;
  }
}

UINT ZeilenBytes(const TGlFormat& f, UINT breite) {
  return f.Block ? (breite + 3) / 4 * f.BytesProEinheit : breite * f.BytesProEinheit;
}

UINT Zeilen(const TGlFormat& f, UINT hoehe) { return f.Block ? (hoehe + 3) / 4 : hoehe; }

uint64_t StufenBytes(const TGlFormat& f, UINT breite, UINT hoehe) {
  return static_cast<uint64_t>(ZeilenBytes(f, breite)) * Zeilen(f, hoehe);
}

UINT VolleKette(UINT breite, UINT hoehe) {
  UINT stufen = 1;
  while (breite > 1 || hoehe > 1) {
    breite >>= 1;
    hoehe >>= 1;
    ++stufen;
  }
  return stufen;
}

}  // namespace Plattform
