#pragma once
// The objects of our Direct3D 9 stand-in: surfaces, textures, buffers, vertex declarations and
// shaders, each backed by OpenGL objects of the device's context.
#include <epoxy/gl.h>

#include <array>
#include <cstdint>
#include <vector>

#include "plattform/d3d9/d3d9.h"
#include "plattform/d3d9/intern/d3d9_formate.h"
#include "plattform/d3d9/d3d9_shadercode.h"

namespace Plattform {

class TD3D9Geraet;

// What every object holding OpenGL objects or video memory shares: the device it belongs to
// and the bytes it holds. When the device goes first, the object is orphaned: its OpenGL
// objects are deleted and every further call fails.
class TD3D9Ressource {
 public:
  TD3D9Ressource(TD3D9Geraet* geraet, D3DPOOL pool, uint64_t bytes);
  virtual ~TD3D9Ressource();
  TD3D9Ressource(const TD3D9Ressource&) = delete;
  TD3D9Ressource& operator=(const TD3D9Ressource&) = delete;

  // The device ends: delete the OpenGL objects.
  virtual void Verwaise() = 0;

  TD3D9Geraet* Geraet() const { return mGeraet; }
  D3DPOOL Pool() const { return mPool; }
  uint64_t Bytes() const { return mBytes; }
  // Default-pool objects must be gone before the device can be reset.
  bool BlockiertReset() const { return mPool == D3DPOOL_DEFAULT && !mGeraeteEigen; }
  void SetGeraeteEigen() { mGeraeteEigen = true; }

 protected:
  void Abmelden();
  TD3D9Geraet* mGeraet;
  D3DPOOL mPool;
  uint64_t mBytes;
  bool mGeraeteEigen = false;
};

class TD3D9Textur;

// A surface: a level (and face) of a texture, the back buffer, a depth-stencil surface
// (a renderbuffer) or a plain surface in system memory.
class TD3D9Oberflaeche final : public TReferenzGezaehlt<IDirect3DSurface9>, public TD3D9Ressource {
 public:
  enum class Art { TexturStufe, Tiefe, Speicher };

  // A level of a texture: counts references together with it.
  TD3D9Oberflaeche(TD3D9Geraet* geraet, TD3D9Textur* behaelter, GLenum ziel, UINT stufe,
                   UINT breite, UINT hoehe);
  // A surface with its own OpenGL texture (back buffer, render target) or renderbuffer
  // (depth), or with memory only.
  TD3D9Oberflaeche(TD3D9Geraet* geraet, Art art, D3DFORMAT format, UINT breite, UINT hoehe,
                   D3DPOOL pool, DWORD usage, uint64_t bytes);
  bool Anlegen();  // creates the OpenGL object; false when the format cannot be had

  ULONG AddRef() override;
  ULONG Release() override;
  HRESULT GetDevice(IDirect3DDevice9** geraet) override;
  D3DRESOURCETYPE GetType() override { return D3DRTYPE_SURFACE; }
  HRESULT GetDesc(D3DSURFACE_DESC* beschreibung) override;
  HRESULT LockRect(D3DLOCKED_RECT* gesperrt, const RECT* rect, DWORD flags) override;
  HRESULT UnlockRect() override;
  void Verwaise() override;

  Art GetArt() const { return mArt; }
  D3DFORMAT Format() const { return mFormat; }
  const TGlFormat& Gl() const { return *mGl; }
  UINT Breite() const { return mBreite; }
  UINT Hoehe() const { return mHoehe; }
  GLuint GlTextur() const;
  GLenum GlZiel() const { return mZiel; }
  UINT Stufe() const { return mStufe; }
  GLuint GlRenderbuffer() const { return mRenderbuffer; }
  TD3D9Textur* Behaelter() const { return mBehaelter; }
  bool IstRenderZiel() const;
  uint8_t* Speicher() { return mSpeicher.data(); }
  UINT Pitch() const { return ZeilenBytes(*mGl, mBreite); }
  friend class TD3D9Textur;

  // Pixels of a rectangle (blocks for DXT) between OpenGL and memory with the given pitch.
  bool Lies(const RECT& r, uint8_t* ziel, UINT pitch);
  bool Schreibe(const RECT& r, const uint8_t* quelle, UINT pitch);

 protected:
  ~TD3D9Oberflaeche() override;

 private:
  void LoescheGl();
  Art mArt;
  D3DFORMAT mFormat;
  const TGlFormat* mGl;
  UINT mBreite, mHoehe;
  DWORD mUsage;
  TD3D9Textur* mBehaelter = nullptr;
  GLuint mEigeneTextur = 0;
  GLuint mRenderbuffer = 0;
  GLenum mZiel = GL_TEXTURE_2D;
  UINT mStufe = 0;
  std::vector<uint8_t> mSpeicher;
  // The lock in progress.
  bool mGesperrt = false;
  RECT mSperrRect{};
  DWORD mSperrFlags = 0;
  std::vector<uint8_t> mSperrPuffer;
};

// 2D and cube textures share everything but the face argument.
class TD3D9Textur : public TD3D9Ressource {
 public:
  TD3D9Textur(TD3D9Geraet* geraet, bool wuerfel, UINT breite, UINT hoehe, UINT stufen,
              DWORD usage, D3DFORMAT format, D3DPOOL pool, uint64_t bytes);
  bool Anlegen();
  void Verwaise() override;

  virtual ULONG TexturAddRef() = 0;
  virtual ULONG TexturRelease() = 0;

  GLuint GlTextur() const { return mTextur; }
  GLenum GlZiel() const { return mWuerfel ? GL_TEXTURE_CUBE_MAP : GL_TEXTURE_2D; }
  bool AutoMips() const { return mAutoMips; }
  bool MipsVeraltet() const { return mMipsVeraltet; }
  void SetMipsVeraltet();
  void ErneuereMips();  // on the device's scratch unit
  DWORD Usage() const { return mUsage; }
  D3DFORMAT Format() const { return mFormat; }
  bool Wuerfel() const { return mWuerfel; }

 protected:
  ~TD3D9Textur() override;
  DWORD SichtbareStufen() const { return mAutoMips ? 1 : mStufen; }
  HRESULT StufenBeschreibung(UINT stufe, D3DSURFACE_DESC* b) const;
  HRESULT Oberflaeche(UINT seite, UINT stufe, IDirect3DSurface9** o);
  HRESULT Sperre(UINT seite, UINT stufe, D3DLOCKED_RECT* g, const RECT* r, DWORD flags);
  HRESULT Entsperre(UINT seite, UINT stufe);
  void ErzeugeMips();

  bool mWuerfel;
  UINT mBreite, mHoehe, mStufen;
  DWORD mUsage;
  D3DFORMAT mFormat;
  const TGlFormat* mGl;
  bool mAutoMips;
  bool mMipsVeraltet = false;
  GLuint mTextur = 0;
  // Surfaces per face and level, made on first request, owned by the texture.
  std::vector<TD3D9Oberflaeche*> mOberflaechen;
};

class TD3D9Textur2D final : public TReferenzGezaehlt<IDirect3DTexture9>, public TD3D9Textur {
 public:
  using TD3D9Textur::TD3D9Textur;
  ULONG TexturAddRef() override { return AddRef(); }
  ULONG TexturRelease() override { return Release(); }
  HRESULT GetDevice(IDirect3DDevice9** geraet) override;
  D3DRESOURCETYPE GetType() override { return D3DRTYPE_TEXTURE; }
  DWORD GetLevelCount() override { return SichtbareStufen(); }
  void GenerateMipSubLevels() override { ErzeugeMips(); }
  HRESULT GetLevelDesc(UINT stufe, D3DSURFACE_DESC* b) override { return StufenBeschreibung(stufe, b); }
  HRESULT GetSurfaceLevel(UINT stufe, IDirect3DSurface9** o) override { return Oberflaeche(0, stufe, o); }
  HRESULT LockRect(UINT stufe, D3DLOCKED_RECT* g, const RECT* r, DWORD flags) override {
    return Sperre(0, stufe, g, r, flags);
  }
  HRESULT UnlockRect(UINT stufe) override { return Entsperre(0, stufe); }

 protected:
  ~TD3D9Textur2D() override = default;
};

class TD3D9WuerfelTextur final : public TReferenzGezaehlt<IDirect3DCubeTexture9>, public TD3D9Textur {
 public:
  using TD3D9Textur::TD3D9Textur;
  ULONG TexturAddRef() override { return AddRef(); }
  ULONG TexturRelease() override { return Release(); }
  HRESULT GetDevice(IDirect3DDevice9** geraet) override;
  D3DRESOURCETYPE GetType() override { return D3DRTYPE_CUBETEXTURE; }
  DWORD GetLevelCount() override { return SichtbareStufen(); }
  void GenerateMipSubLevels() override { ErzeugeMips(); }
  HRESULT GetLevelDesc(UINT stufe, D3DSURFACE_DESC* b) override { return StufenBeschreibung(stufe, b); }
  HRESULT GetCubeMapSurface(D3DCUBEMAP_FACES seite, UINT stufe, IDirect3DSurface9** o) override {
    return Oberflaeche(seite, stufe, o);
  }
  HRESULT LockRect(D3DCUBEMAP_FACES seite, UINT stufe, D3DLOCKED_RECT* g, const RECT* r,
                   DWORD flags) override {
    return Sperre(seite, stufe, g, r, flags);
  }
  HRESULT UnlockRect(D3DCUBEMAP_FACES seite, UINT stufe) override { return Entsperre(seite, stufe); }

 protected:
  ~TD3D9WuerfelTextur() override = default;
};

// Vertex and index buffers: an OpenGL buffer and its contents in memory, which locks hand
// out and Unlock sends on.
class TD3D9Puffer : public TD3D9Ressource {
 public:
  TD3D9Puffer(TD3D9Geraet* geraet, UINT groesse, DWORD usage, D3DPOOL pool);
  bool Anlegen();
  void Verwaise() override;
  GLuint GlPuffer() const { return mPuffer; }
  UINT Groesse() const { return mGroesse; }

 protected:
  ~TD3D9Puffer() override;
  HRESULT Sperre(UINT versatz, UINT groesse, void** daten, DWORD flags);
  HRESULT Entsperre();
  // Fills what vertex and index buffer descriptions share.
  template <class TBeschreibung>
  HRESULT Beschreibe(TBeschreibung* b, D3DFORMAT format, D3DRESOURCETYPE typ) const {
    if (!b) return D3DERR_INVALIDCALL;
    b->Format = format;
    b->Type = typ;
    b->Usage = mUsage;
    b->Pool = mPool;
    b->Size = mGroesse;
    return D3D_OK;
  }
  UINT mGroesse;
  DWORD mUsage;
  GLuint mPuffer = 0;
  bool mGesperrt = false;
  UINT mSperrVersatz = 0, mSperrGroesse = 0;
  DWORD mSperrFlags = 0;
  std::vector<uint8_t> mInhalt;
};

class TD3D9VertexPuffer final : public TReferenzGezaehlt<IDirect3DVertexBuffer9>, public TD3D9Puffer {
 public:
  using TD3D9Puffer::TD3D9Puffer;
  HRESULT GetDevice(IDirect3DDevice9** geraet) override;
  D3DRESOURCETYPE GetType() override { return D3DRTYPE_VERTEXBUFFER; }
  HRESULT Lock(UINT v, UINT g, void** d, DWORD f) override { return Sperre(v, g, d, f); }
  HRESULT Unlock() override { return Entsperre(); }
  HRESULT GetDesc(D3DVERTEXBUFFER_DESC* b) override;

 protected:
  ~TD3D9VertexPuffer() override = default;
};

class TD3D9IndexPuffer final : public TReferenzGezaehlt<IDirect3DIndexBuffer9>, public TD3D9Puffer {
 public:
  TD3D9IndexPuffer(TD3D9Geraet* geraet, UINT groesse, DWORD usage, D3DFORMAT format, D3DPOOL pool)
      : TD3D9Puffer(geraet, groesse, usage, pool), mFormat(format) {}
  HRESULT GetDevice(IDirect3DDevice9** geraet) override;
  D3DRESOURCETYPE GetType() override { return D3DRTYPE_INDEXBUFFER; }
  HRESULT Lock(UINT v, UINT g, void** d, DWORD f) override { return Sperre(v, g, d, f); }
  HRESULT Unlock() override { return Entsperre(); }
  HRESULT GetDesc(D3DINDEXBUFFER_DESC* b) override;
  D3DFORMAT Format() const { return mFormat; }
  GLenum GlTyp() const { return mFormat == D3DFMT_INDEX32 ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT; }
  UINT IndexBytes() const { return mFormat == D3DFMT_INDEX32 ? 4 : 2; }

 protected:
  ~TD3D9IndexPuffer() override = default;

 private:
  D3DFORMAT mFormat;
};

// A vertex declaration: its elements, turned into attribute pointers at draw time.
class TD3D9Deklaration final : public TReferenzGezaehlt<IDirect3DVertexDeclaration9> {
 public:
  explicit TD3D9Deklaration(std::vector<D3DVERTEXELEMENT9> elemente) : mElemente(std::move(elemente)) {}
  HRESULT GetDeclaration(D3DVERTEXELEMENT9* elemente, UINT* anzahl) override;
  // Without the end element.
  const std::vector<D3DVERTEXELEMENT9>& Elemente() const { return mElemente; }

 protected:
  ~TD3D9Deklaration() override = default;

 private:
  std::vector<D3DVERTEXELEMENT9> mElemente;
};

// The part of a shader the device works with: the compiled OpenGL shader, its uniform buffer
// and the copy list that fills it from the device's register file.
class TD3D9ShaderKern : public TD3D9Ressource {
 public:
  TD3D9ShaderKern(TD3D9Geraet* geraet, TShaderCode code);
  // false (with the driver's message in Meldung) when the GLSL does not compile.
  bool Anlegen();
  void Verwaise() override;
  const TShaderCode& Code() const { return mCode; }
  GLuint GlShader() const { return mShader; }
  GLuint GlUniformPuffer() const { return mUniformPuffer; }
  uint64_t Kennung() const { return mKennung; }
  const std::string& Meldung() const { return mMeldung; }
  // Replays the copy list when the register file changed since the last time (stand counts
  // the device's writes); uploads the block when its bytes changed.
  void Aktualisiere(const float (*register_)[4], uint64_t stand);

 protected:
  ~TD3D9ShaderKern() override;

 private:
  TShaderCode mCode;
  GLuint mShader = 0;
  GLuint mUniformPuffer = 0;
  std::vector<uint8_t> mBlock;
  uint64_t mStand = UINT64_MAX;
  uint64_t mKennung;
  std::string mMeldung;
};

class TD3D9VertexShader final : public TReferenzGezaehlt<IDirect3DVertexShader9>, public TD3D9ShaderKern {
 public:
  using TD3D9ShaderKern::TD3D9ShaderKern;

 protected:
  ~TD3D9VertexShader() override = default;
};

class TD3D9PixelShader final : public TReferenzGezaehlt<IDirect3DPixelShader9>, public TD3D9ShaderKern {
 public:
  using TD3D9ShaderKern::TD3D9ShaderKern;

 protected:
  ~TD3D9PixelShader() override = default;
};

}  // namespace Plattform
