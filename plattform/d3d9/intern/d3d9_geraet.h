#pragma once
// The device of our Direct3D 9 stand-in: Direct3D 9's state machine kept in shadows and
// carried onto one OpenGL context, with Direct3D's conventions (row order, winding, depth
// range, half-pixel rule, viewport clipping) reproduced.
#include <epoxy/gl.h>

#include <array>
#include <cstdint>
#include <map>
#include <unordered_set>
#include <utility>

#include "plattform/d3d9/d3d9.h"
#include "plattform/d3d9/intern/d3d9_ressourcen.h"

struct GLFWwindow;

namespace Plattform {

class TD3D9Geraet final : public TReferenzGezaehlt<IDirect3DDevice9> {
 public:
  static constexpr UINT VertexRegister = 256;
  static constexpr UINT PixelRegister = 224;
  static constexpr UINT Stroeme = 8;
  static constexpr UINT Ziele = 4;
  static constexpr UINT SamplerStufen = 20;   // 16 pixel samplers, then 4 vertex samplers
  static constexpr GLuint WerkbankEinheit = 20;  // texture unit for uploads
  static constexpr UINT SamplerZustaende = 11;
  static constexpr UINT RenderZustaende = 13;  // the render states the layer knows

  // Makes the window's context current and builds the device on it.
  static HRESULT Erzeuge(GLFWwindow* fenster, const D3DPRESENT_PARAMETERS& parameter,
                         TD3D9Geraet** geraet);

  // ---- IDirect3DDevice9 ----
  HRESULT TestCooperativeLevel() override;
  UINT GetAvailableTextureMem() override;
  HRESULT GetDeviceCaps(D3DCAPS9* caps) override;
  HRESULT Reset(D3DPRESENT_PARAMETERS* parameter) override;
  HRESULT Present(const RECT*, const RECT*, HWND, const void*) override;
  HRESULT GetBackBuffer(UINT swapChain, UINT puffer, D3DBACKBUFFER_TYPE typ,
                        IDirect3DSurface9** oberflaeche) override;
  HRESULT CreateTexture(UINT breite, UINT hoehe, UINT stufen, DWORD usage, D3DFORMAT format,
                        D3DPOOL pool, IDirect3DTexture9** textur, HANDLE* geteilt) override;
  HRESULT CreateCubeTexture(UINT kante, UINT stufen, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                            IDirect3DCubeTexture9** textur, HANDLE* geteilt) override;
  HRESULT CreateVertexBuffer(UINT laenge, DWORD usage, DWORD fvf, D3DPOOL pool,
                             IDirect3DVertexBuffer9** puffer, HANDLE* geteilt) override;
  HRESULT CreateIndexBuffer(UINT laenge, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                            IDirect3DIndexBuffer9** puffer, HANDLE* geteilt) override;
  HRESULT CreateRenderTarget(UINT breite, UINT hoehe, D3DFORMAT format, D3DMULTISAMPLE_TYPE,
                             DWORD, BOOL, IDirect3DSurface9** oberflaeche, HANDLE* geteilt) override;
  HRESULT CreateDepthStencilSurface(UINT breite, UINT hoehe, D3DFORMAT format,
                                    D3DMULTISAMPLE_TYPE, DWORD, BOOL,
                                    IDirect3DSurface9** oberflaeche, HANDLE* geteilt) override;
  HRESULT CreateOffscreenPlainSurface(UINT breite, UINT hoehe, D3DFORMAT format, D3DPOOL pool,
                                      IDirect3DSurface9** oberflaeche, HANDLE* geteilt) override;
  HRESULT UpdateSurface(IDirect3DSurface9* quelle, const RECT* quellRect, IDirect3DSurface9* ziel,
                        const POINT* zielPunkt) override;
  HRESULT GetRenderTargetData(IDirect3DSurface9* renderZiel, IDirect3DSurface9* ziel) override;
  HRESULT SetRenderTarget(DWORD index, IDirect3DSurface9* oberflaeche) override;
  HRESULT GetRenderTarget(DWORD index, IDirect3DSurface9** oberflaeche) override;
  HRESULT SetDepthStencilSurface(IDirect3DSurface9* oberflaeche) override;
  HRESULT GetDepthStencilSurface(IDirect3DSurface9** oberflaeche) override;
  HRESULT BeginScene() override;
  HRESULT EndScene() override;
  HRESULT Clear(DWORD anzahl, const RECT* rects, DWORD flags, D3DCOLOR farbe, float z,
                DWORD stencil) override;
  HRESULT SetViewport(const D3DVIEWPORT9* viewport) override;
  HRESULT GetViewport(D3DVIEWPORT9* viewport) override;
  HRESULT SetRenderState(D3DRENDERSTATETYPE zustand, DWORD wert) override;
  HRESULT GetRenderState(D3DRENDERSTATETYPE zustand, DWORD* wert) override;
  HRESULT SetTexture(DWORD stufe, IDirect3DBaseTexture9* textur) override;
  HRESULT GetTexture(DWORD stufe, IDirect3DBaseTexture9** textur) override;
  HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE typ, DWORD wert) override;
  HRESULT GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE typ, DWORD* wert) override;
  HRESULT CreateVertexDeclaration(const D3DVERTEXELEMENT9* elemente,
                                  IDirect3DVertexDeclaration9** deklaration) override;
  HRESULT SetVertexDeclaration(IDirect3DVertexDeclaration9* deklaration) override;
  HRESULT GetVertexDeclaration(IDirect3DVertexDeclaration9** deklaration) override;
  HRESULT CreateVertexShader(const DWORD* funktion, IDirect3DVertexShader9** shader) override;
  HRESULT SetVertexShader(IDirect3DVertexShader9* shader) override;
  HRESULT GetVertexShader(IDirect3DVertexShader9** shader) override;
  HRESULT CreatePixelShader(const DWORD* funktion, IDirect3DPixelShader9** shader) override;
  HRESULT SetPixelShader(IDirect3DPixelShader9* shader) override;
  HRESULT GetPixelShader(IDirect3DPixelShader9** shader) override;
  HRESULT SetVertexShaderConstantF(UINT start, const float* werte, UINT anzahl) override;
  HRESULT GetVertexShaderConstantF(UINT start, float* werte, UINT anzahl) override;
  HRESULT SetPixelShaderConstantF(UINT start, const float* werte, UINT anzahl) override;
  HRESULT GetPixelShaderConstantF(UINT start, float* werte, UINT anzahl) override;
  HRESULT SetStreamSource(UINT strom, IDirect3DVertexBuffer9* puffer, UINT versatz,
                          UINT schritt) override;
  HRESULT SetStreamSourceFreq(UINT strom, UINT einstellung) override;
  HRESULT GetStreamSourceFreq(UINT strom, UINT* einstellung) override;
  HRESULT SetIndices(IDirect3DIndexBuffer9* puffer) override;
  HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE typ, INT basisVertex, UINT minIndex,
                               UINT vertexAnzahl, UINT startIndex, UINT primitivAnzahl) override;

  // ---- for the objects of the layer ----
  void Melde(TD3D9Ressource* r);
  void Vergiss(TD3D9Ressource* r);
  bool BelegeSpeicher(uint64_t bytes);
  void GibSpeicherFrei(uint64_t bytes) { mBelegt -= bytes; }
  uint64_t Belegt() const { return mBelegt; }
  // Binds a texture on the scratch unit, for uploads and mip generation.
  void BindeWerkbank(GLenum ziel, GLuint textur);
  void AutoMipsVeraltet() { mAutoMipsPruefen = true; }
  bool HatTexturSpeicher() const { return mTexturSpeicher; }
  // Parts of a texture level can be read back on their own (OpenGL 4.5).
  bool HatTeilLesen() const { return mTeilLesen; }
  // The general uniform-buffer binding, shadowed: constant uploads bind their shader's
  // buffer only when another one is bound. Vergiss... clears it when that buffer goes.
  void BindeUniformPuffer(GLuint puffer) {
    if (mUniformPuffer == puffer) return;
    mUniformPuffer = puffer;
    glBindBuffer(GL_UNIFORM_BUFFER, puffer);
  }
  void VergissUniformPuffer(GLuint puffer) {
    if (mUniformPuffer == puffer) mUniformPuffer = 0;
  }
  bool HatAnisotropie() const { return mMaxAnisotropie > 1; }
  GLFWwindow* Fenster() const { return mFenster; }
  // A shader goes: the linked programs that use it go too.
  void VergissProgramme(uint64_t kennung);

 protected:
  ~TD3D9Geraet() override;

 private:
  struct TStrom {
    TD3D9VertexPuffer* Puffer = nullptr;
    UINT Versatz = 0;
    UINT Schritt = 0;
  };
  struct TProgramm {
    GLuint Programm = 0;
    GLint HalbpixelOrt = -1;
    float Halbpixel[2] = {-1.0f, -1.0f};
  };

  TD3D9Geraet(GLFWwindow* fenster);
  static void HalteTreiberSpeicher();
  bool Starte(const D3DPRESENT_PARAMETERS& parameter);
  bool LegeSwapKetteAn(const D3DPRESENT_PARAMETERS& parameter);
  void SetzeZustaendeZurueck();
  void LoeseAlleBindungen();
  void WendeBlendAn();
  void WendeSamplerAn(UINT stufe, D3DSAMPLERSTATETYPE typ);
  void SetzeViewportIntern(const D3DVIEWPORT9& v);
  void BereiteZielVor();
  void MarkiereZielMips();
  void SetzeMasken();
  bool BereiteZeichnenVor();
  TProgramm* HoleProgramm();
  void SetzeAttribute();
  void ErneuereInstanzStroeme();
  void ErneuereAutoMips();
  static int SamplerIndex(DWORD stufe);
  static int RenderStateIndex(D3DRENDERSTATETYPE zustand);

  GLFWwindow* mFenster;
  D3DPRESENT_PARAMETERS mParameter{};
  bool mVerloren = false;
  bool mSzeneOffen = false;
  uint64_t mBelegt = 0;
  std::unordered_set<TD3D9Ressource*> mRessourcen;

  // Capabilities read once.
  GLint mMaxTexturGroesse = 0;
  GLint mMaxZiele = 1;
  float mMaxAnisotropie = 1.0f;
  bool mTexturSpeicher = false;
  bool mTeilLesen = false;
  GLuint mUniformPuffer = 0;

  // OpenGL objects of the device.
  GLuint mVao = 0;
  GLuint mZielFbo = 0;
  GLuint mLeseFbo = 0;
  std::array<GLuint, SamplerStufen> mSampler{};

  // Swap chain.
  TD3D9Oberflaeche* mRueckPuffer = nullptr;
  TD3D9Oberflaeche* mAutoTiefe = nullptr;

  // Targets: the bound surfaces hold a reference; the framebuffer follows lazily.
  std::array<TD3D9Oberflaeche*, Ziele> mZiele{};
  TD3D9Oberflaeche* mTiefe = nullptr;
  bool mFboVeraltet = true;
  bool mZielHatAutoMips = false;
  D3DVIEWPORT9 mViewport{};

  // Render and sampler states.
  std::array<DWORD, RenderZustaende> mRenderState{};
  std::array<std::array<DWORD, SamplerZustaende>, SamplerStufen> mSamplerState{};
  std::array<IDirect3DBaseTexture9*, SamplerStufen> mTexturen{};
  std::array<TD3D9Textur*, SamplerStufen> mTexturKern{};
  bool mAutoMipsPruefen = false;

  // Vertex input.
  TD3D9Deklaration* mDeklaration = nullptr;
  std::array<TStrom, Stroeme> mStroeme{};
  std::array<UINT, Stroeme> mFrequenz{};
  TD3D9IndexPuffer* mIndexPuffer = nullptr;
  GLuint mGebundenerIndexPuffer = 0;
  bool mAttributeVeraltet = true;
  uint32_t mAktiveOrte = 0;
  uint32_t mInstanzStroeme = 0;

  // Shaders and constants.
  TD3D9VertexShader* mVertexShader = nullptr;
  TD3D9PixelShader* mPixelShader = nullptr;
  bool mProgrammVeraltet = true;
  TProgramm* mProgramm = nullptr;
  std::map<std::pair<uint64_t, uint64_t>, TProgramm> mProgramme;
  float mVertexKonst[VertexRegister][4] = {};
  float mPixelKonst[PixelRegister][4] = {};
  uint64_t mVertexStand = 0;
  uint64_t mPixelStand = 0;
};

// Mesa's shader compiler keeps a few small blocks per draw variant that leak-checking builds
// report with stacks no suppression can name (the driver has no frame pointers); while this
// lives, LeakSanitizer ignores new allocations. Nothing in release builds.
class TLeckPruefungAus {
 public:
  TLeckPruefungAus();
  ~TLeckPruefungAus();
  TLeckPruefungAus(const TLeckPruefungAus&) = delete;
  TLeckPruefungAus& operator=(const TLeckPruefungAus&) = delete;
};

// The device currently alive (the layer runs one at a time), for the test switches.
TD3D9Geraet* AktuellesGeraet();
bool HoleErzwungenenVerlust();

}  // namespace Plattform
