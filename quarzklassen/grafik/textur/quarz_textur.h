#pragma once
// A 2D texture with optional mip levels. Its Direct3D texture lives in the default pool and is
// made again on use after a device reset or an eviction; unless the texture is volatile
// (FLAG_FLUECHTIG) it keeps a copy of its levels in main memory for that.
#include <cstdint>

#include "plattform/d3d9/d3d9.h"
#include "quarzklassen/grafik/geraet/quarz_basisobjekt.h"
#include "quarzklassen/grafik/geraet/quarz_pixelformat.h"
#include "quarzklassen/grafik/bild/tbereich.h"
#include "quarzklassen/grafik/bild/ttexturinhalt.h"

class Quarz_Textur : public Quarz_BasisObjekt {
public:
  static constexpr int kMaxStufen = 16;

  // mipAnzahl 0: the full chain. The low byte of flags is the pixel format. Width or height 0
  // takes the size of level 0's region.
  Quarz_Textur(uint64_t breite, uint64_t hoehe, uint64_t mipAnzahl, uint32_t flags,
               TTexturInhalt* inhalt);
  ~Quarz_Textur() override;

  void Benutzen() override;
  bool IstVideoRAMResource() const override { return true; }
  void VorZuruecksetzen() override;
  void NachZuruecksetzen() override {}
  void Rauswerfen() override { VorZuruecksetzen(); }

  // Rewrites part of level 0 (dynamic textures only). With uebergabe 1 the source's pixel
  // memory is freed afterwards and the region cleared.
  void SchreibeTeilInhalt(uint64_t x, uint64_t y, TBereich& quelle, uint32_t uebergabe = 0);
  // Lets the device generate the lower levels from level 0.
  void ErzeugeMipMaps();
  // Uploads a level, or the part of it from (x, y) to the level's edge or the source's end.
  bool InternSchreibeInhalt(uint64_t stufe, uint64_t x, uint64_t y, const TBereich& quelle);

  // The size of a level (at least 1).
  uint64_t StufenBreite(uint64_t stufe) const;
  uint64_t StufenHoehe(uint64_t stufe) const;
  // The kept copy of a level as a region (empty when there is none).
  TBereich KopieBereich(uint64_t stufe) const;

  uint64_t mFlags = 0;  // usage flags; the low byte of the flags argument is the format
  uint64_t mBreite = 0;
  uint64_t mHoehe = 0;
  uint64_t mMipAnzahl = 0;
  Quarz_Pixelformat mFormat = 0;
  uint8_t* mKopien[kMaxStufen] = {};  // kept levels, level 0 first
  IDirect3DTexture9* mTextur = nullptr;
  D3DFORMAT mD3DFormat = D3DFMT_UNKNOWN;
  // Construction was refused (bad format, size or content): nothing is created or written.
  bool mUngueltig = false;

private:
  bool PruefeInhalt(const TTexturInhalt* inhalt, uint64_t stufen) const;
  void BehalteKopien(TTexturInhalt* inhalt, uint64_t stufen);
};
