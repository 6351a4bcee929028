#pragma once
// A cube texture (faces in the engine order +Y, -Y, +X, -X, +Z, -Z). It follows the rules of
// the 2D texture: a default-pool Direct3D object made again on use, kept copies of every face's
// levels unless volatile, eviction and reset. No factory of the drawing context makes it; it
// is created with Quarz_ZeichenKontext::ErzeugeObjekt.
#include <cstdint>

#include "plattform/d3d9/d3d9.h"
#include "quarzklassen/grafik/geraet/quarz_basisobjekt.h"
#include "quarzklassen/grafik/geraet/quarz_pixelformat.h"
#include "quarzklassen/grafik/textur/quarz_textur.h"

class Quarz_WuerfelTextur : public Quarz_BasisObjekt {
public:
  static constexpr int kMaxStufen = 16;
  static constexpr int kSeiten = 6;

  // mipAnzahl 0: the full chain. The low byte of flags is the pixel format. `seiten` is null
  // (no content) or six records in the engine's face order; edge 0 takes the size of face 0's
  // level 0.
  Quarz_WuerfelTextur(uint64_t kante, uint64_t mipAnzahl, uint32_t flags, TTexturInhalt* seiten);
  ~Quarz_WuerfelTextur() override;

  void Benutzen() override;
  bool IstVideoRAMResource() const override { return true; }
  void VorZuruecksetzen() override;
  void NachZuruecksetzen() override {}
  void Rauswerfen() override { VorZuruecksetzen(); }

  // Uploads a level of a face (engine face id), or the part from (x, y) to the level's edge or
  // the source's end.
  bool InternSchreibeInhalt(uint32_t seite, uint64_t stufe, uint64_t x, uint64_t y,
                            const TBereich& quelle);
  // Lets the device generate the lower levels of every face from level 0.
  void ErzeugeMipMaps();

  uint64_t StufenKante(uint64_t stufe) const;
  TBereich KopieBereich(uint32_t seite, uint64_t stufe) const;

  uint64_t mFlags = 0;
  uint64_t mKante = 0;
  uint64_t mMipAnzahl = 0;
  Quarz_Pixelformat mFormat = 0;
  uint8_t* mKopien[6][kMaxStufen] = {};
  IDirect3DCubeTexture9* mTextur = nullptr;
  D3DFORMAT mD3DFormat = D3DFMT_UNKNOWN;
  bool mUngueltig = false;  // construction was refused: nothing is created or written

private:
  bool PruefeInhalt(const TTexturInhalt* seiten, uint64_t stufen) const;
};
