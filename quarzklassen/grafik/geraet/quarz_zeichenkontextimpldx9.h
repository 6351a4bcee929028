#pragma once
// The Direct3D 9 side of the drawing context. It creates the device, keeps a shadow of every
// state it sets (targets, declaration, shaders, render and sampler states, textures, stream
// frequencies, both constant register files), sends only the dirty constant ranges before a
// draw, opens the scene lazily and resets the device.
#include <cstdint>
#include <string>

#include "plattform/d3d9/d3d9.h"

class Quarz_ZeichenKontext;
class Quarz_Renderziel;
class Quarz_Programm;
class Quarz_TiefeZustand;
class Quarz_AlphaZustand;
class Quarz_VertexBuffer;
class Quarz_IndexBuffer;
class Quarz_Sampler;
class Quarz_BasisObjekt;
struct TBereich;

class Quarz_ZeichenKontextImplDX9 {
public:
  static constexpr uint32_t kVertexRegister = 256;
  static constexpr uint32_t kPixelRegister = 224;
  static constexpr uint32_t kLeererBereichNiedrig = 480;
  static constexpr uint32_t kSamplerEintraege = 20;  // 16 pixel stages, 4 vertex-texture stages
  static constexpr uint32_t kUnbelegt = 0x7FFFFFFF;  // shadow value no real setting has

  explicit Quarz_ZeichenKontextImplDX9(Quarz_ZeichenKontext* besitzer);
  ~Quarz_ZeichenKontextImplDX9();
  Quarz_ZeichenKontextImplDX9(const Quarz_ZeichenKontextImplDX9&) = delete;
  Quarz_ZeichenKontextImplDX9& operator=(const Quarz_ZeichenKontextImplDX9&) = delete;

  // Forgets everything set on the device (after creation and after every reset).
  void SetzeSchattenZurueck();
  // Present parameters from the screen's current mode and flags.
  void FuellePraesentationsParameter();

  bool Zuruecksetzen();
  void InternVorZeichenAufruf(uint32_t instanzen);
  void StartZeichnen();
  void SetRenderZiel(Quarz_Renderziel* ziel);
  void SetRenderBereich(uint64_t x, uint64_t y, uint64_t breite, uint64_t hoehe);
  void Leeren(uint32_t was, float r, float g, float b, float a);
  void SetRueckseite(uint32_t modus);
  void SetProgramm(Quarz_Programm* programm);
  // Writes (x, y, z, w) to the registers the packed index names (vertex bits 0-11, pixel
  // bits 12-23, 0xFFF absent).
  void SetProgrammKonstante(uint32_t index, float x, float y, float z, float w);
  // Writes four consecutive registers from 16 floats in register order.
  void SetProgrammKonstante4x4(uint32_t index, const float* werte);
  void SetTiefeZustand(const Quarz_TiefeZustand* zustand);
  void SetAlphaZustand(const Quarz_AlphaZustand* zustand);
  void SetVertexBuffer(uint32_t strom, Quarz_VertexBuffer* puffer, uint32_t schritt);
  void SetIndexBuffer(Quarz_IndexBuffer* puffer);
  // Binds texture and sampler to the stages of the packed sampler index (vertex bits 8-15,
  // pixel bits 0-7, 0xFF absent; 65535 nothing at all).
  void SetTextur(uint32_t index, const Quarz_Sampler* sampler, Quarz_BasisObjekt* textur);
  bool ZeichneIndexElemente(uint32_t primitive);
  bool ZeichneIndexInstanzen(uint32_t instanzen);
  HRESULT Praesentiere();
  bool LiesBildschirmInhalt(TBereich& ziel);

  // A device object of a texture resource (Quarz_Textur or Quarz_WuerfelTextur), else null.
  static IDirect3DBaseTexture9* D3DTexturVon(Quarz_BasisObjekt* textur);

  struct SamplerSchatten {
    IDirect3DBaseTexture9* mTextur = nullptr;
    uint64_t mAdressSchluessel = ~uint64_t(0);
    uint64_t mFilterSchluessel = ~uint64_t(0);
    uint64_t mRandFarbe = ~uint64_t(0);      // above 32 bits: not set
    uint64_t mMaxMipStufe = ~uint64_t(0);
    uint64_t mMaxAnisotropie = ~uint64_t(0);
  };

  Quarz_ZeichenKontext* mBesitzer;
  IDirect3D9* mD3D = nullptr;
  IDirect3DDevice9* mGeraet = nullptr;
  bool mGeraetVerloren = false;
  D3DPRESENT_PARAMETERS mParameter{};
  std::string mVertexProfil;
  std::string mPixelProfil;
  IDirect3DSurface9* mRueckPuffer = nullptr;
  IDirect3DSurface9* mTiefenPuffer = nullptr;
  D3DFORMAT mTiefenFormat = D3DFMT_D16;

  // Shadows of what is set on the device.
  IDirect3DSurface9* mSchattenTiefe = nullptr;
  IDirect3DSurface9* mSchattenFarbe[4] = {};
  IDirect3DVertexDeclaration9* mSchattenDeklaration = nullptr;
  IDirect3DVertexShader9* mSchattenVertexShader = nullptr;
  IDirect3DPixelShader9* mSchattenPixelShader = nullptr;
  float mVertexKonstanten[kVertexRegister * 4];
  float mPixelKonstanten[kPixelRegister * 4];
  uint32_t mVertexNiedrig = kLeererBereichNiedrig, mVertexHoch = 0;  // dirty [low, high)
  uint32_t mPixelNiedrig = kLeererBereichNiedrig, mPixelHoch = 0;
  enum RenderZustand : uint32_t {
    RZ_TIEFE_TEST, RZ_TIEFE_SCHREIBEN, RZ_TIEFE_FUNKTION, RZ_BLEND_AKTIV, RZ_BLEND_OP,
    RZ_QUELL_BLEND, RZ_ZIEL_BLEND, RZ_ALPHA_GETRENNT, RZ_ALPHA_BLEND_OP, RZ_ALPHA_QUELL_BLEND,
    RZ_ALPHA_ZIEL_BLEND, RZ_SCHREIB_MASKE, RZ_ANZAHL
  };
  uint32_t mRenderZustaende[RZ_ANZAHL];
  SamplerSchatten mSampler[kSamplerEintraege];
  uint32_t mStromFrequenz[4] = {0, 0, 0, 0};
  bool mSzeneOffen = false;

private:
  void Erzeugen();
  // Sets a render state when it differs from its shadow; false on failure.
  bool SetzeZustand(RenderZustand schatten, D3DRENDERSTATETYPE typ, DWORD wert);
  void SetzeSamplerStufe(uint32_t eintrag, DWORD stufe, const Quarz_Sampler* sampler,
                         IDirect3DBaseTexture9* textur);
  // Releases everything the device holds for us, before a reset.
  void LoeseBindungen();
  void SendeKonstanten();
  // Writes `anzahl` consecutive registers (4 floats each) to the stages the packed index names.
  void SchreibeKonstanten(uint32_t index, const float* werte, uint32_t anzahl);
  // The draw both drawing operations share; `funktion` names the caller in the failure report.
  bool Zeichne(uint32_t instanzen, uint32_t primitive, const char* funktion);
};
