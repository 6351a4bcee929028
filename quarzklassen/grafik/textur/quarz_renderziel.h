#pragma once
// A render target: the level-0 surfaces of up to eight colour textures (2D, or a face of a
// cube texture) and a borrowed depth buffer. The textures and the depth buffer stay separate
// registered resources that must outlive the target.
#include <cstdint>

#include "plattform/d3d9/d3d9.h"
#include "quarzklassen/grafik/geraet/quarz_basisobjekt.h"

class Quarz_Textur;
class Quarz_ZBuffer;

struct Quarz_RenderzielBeschr {
  Quarz_RenderzielBeschr() = default;
  // One colour texture (its size becomes the target's) and a depth buffer or none; a depth
  // buffer smaller than the texture is reported.
  explicit Quarz_RenderzielBeschr(Quarz_Textur* textur, Quarz_ZBuffer* zbuffer = nullptr);

  uint64_t mFarbAnzahl = 0;
  Quarz_BasisObjekt* mFarben[8] = {};  // Quarz_Textur or Quarz_WuerfelTextur
  uint32_t mSeiten[8] = {};            // cube face ids (engine order) of cube colour resources
  Quarz_ZBuffer* mZBuffer = nullptr;
  uint64_t mBreite = 0;
  uint64_t mHoehe = 0;
};

class Quarz_Renderziel : public Quarz_BasisObjekt {
public:
  explicit Quarz_Renderziel(const Quarz_RenderzielBeschr& beschr);
  ~Quarz_Renderziel() override;
  // Fetches the colour surfaces and borrows the depth surface.
  void ErzeugeDaten();

  void Benutzen() override;
  bool IstVideoRAMResource() const override { return true; }
  void VorZuruecksetzen() override;
  void NachZuruecksetzen() override { ErzeugeDaten(); }
  void Rauswerfen() override { VorZuruecksetzen(); }

  uint32_t mFlags = 0;
  Quarz_RenderzielBeschr mBeschr;
  IDirect3DSurface9* mFarbOberflaechen[8] = {};
  IDirect3DSurface9* mTiefenOberflaeche = nullptr;  // borrowed from the depth buffer

private:
  void GibDatenFrei();
  // True when a colour texture or the depth buffer lost its device object since the surfaces
  // were fetched (evicted on its own): the surfaces then belong to a released object.
  bool DatenVeraltet() const;
  IDirect3DBaseTexture9* mQuellen[8] = {};  // device objects the surfaces were taken from
};
