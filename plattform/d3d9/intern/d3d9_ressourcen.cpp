#include "plattform/d3d9/intern/d3d9_ressourcen.h"

#include <algorithm>
#include <cmath>
#include <atomic>
#include <cstring>

#include "plattform/d3d9/intern/d3d9_geraet.h"

namespace Plattform {

namespace {

// Pixel rows of a rectangle between two memory areas of different pitch.
void KopiereZeilen(uint8_t* ziel, UINT zielPitch, const uint8_t* quelle, UINT quellPitch,
                   UINT zeilenBytes, UINT zeilen) {
  for (UINT y = 0; y < zeilen; ++y)
    std::memcpy(ziel + static_cast<size_t>(y) * zielPitch,
                quelle + static_cast<size_t>(y) * quellPitch, zeilenBytes);
}

// A rectangle inside a surface; for DXT formats its corners lie on blocks, except where it
// reaches the surface's edge.
bool RectGueltig(const RECT& r, UINT breite, UINT hoehe, const TGlFormat& f) {
  if (r.left < 0 || r.top < 0 || r.left >= r.right || r.top >= r.bottom) return false;
  if (static_cast<UINT>(r.right) > breite || static_cast<UINT>(r.bottom) > hoehe) return false;
  if (f.Block) {
    if (r.left % 4 || r.top % 4) return false;
    if (r.right % 4 && static_cast<UINT>(r.right) != breite) return false;
    if (r.bottom % 4 && static_cast<UINT>(r.bottom) != hoehe) return false;
  }
  return true;
}

HRESULT GeraetAbgeben(TD3D9Geraet* geraet, IDirect3DDevice9** aus) {
  if (!aus) return D3DERR_INVALIDCALL;
  *aus = geraet;
  if (!geraet) return D3DERR_INVALIDCALL;
  geraet->AddRef();
  return D3D_OK;
}

std::atomic<uint64_t> gShaderKennung{1};

}  // namespace

// ---------------------------------------------------------------------------------------------
// TD3D9Ressource
// ---------------------------------------------------------------------------------------------

TD3D9Ressource::TD3D9Ressource(TD3D9Geraet* geraet, D3DPOOL pool, uint64_t bytes)
    : mGeraet(geraet), mPool(pool), mBytes(bytes) {
  if (mGeraet) mGeraet->Melde(this);
}

TD3D9Ressource::~TD3D9Ressource() { Abmelden(); }

void TD3D9Ressource::Abmelden() {
  if (!mGeraet) return;
  mGeraet->GibSpeicherFrei(mBytes);
  mGeraet->Vergiss(this);
  mGeraet = nullptr;
}

// ---------------------------------------------------------------------------------------------
// TD3D9Oberflaeche
// ---------------------------------------------------------------------------------------------

TD3D9Oberflaeche::TD3D9Oberflaeche(TD3D9Geraet* geraet, TD3D9Textur* behaelter, GLenum ziel,
                                   UINT stufe, UINT breite, UINT hoehe)
    : TD3D9Ressource(geraet, D3DPOOL_DEFAULT, 0),
      mArt(Art::TexturStufe),
      mFormat(behaelter->Format()),
      mGl(GlFormat(behaelter->Format())),
      mBreite(breite),
      mHoehe(hoehe),
      mUsage(behaelter->Usage() & (D3DUSAGE_RENDERTARGET | D3DUSAGE_DYNAMIC)),
      mBehaelter(behaelter),
      mZiel(ziel),
      mStufe(stufe) {
  // The texture holds the memory and blocks a reset, not its levels.
  SetGeraeteEigen();
}

TD3D9Oberflaeche::TD3D9Oberflaeche(TD3D9Geraet* geraet, Art art, D3DFORMAT format, UINT breite,
                                   UINT hoehe, D3DPOOL pool, DWORD usage, uint64_t bytes)
    : TD3D9Ressource(geraet, pool, bytes),
      mArt(art),
      mFormat(format),
      mGl(GlFormat(format)),
      mBreite(breite),
      mHoehe(hoehe),
      mUsage(usage) {}

bool TD3D9Oberflaeche::Anlegen() {
  if (!mGl || !mGeraet) return false;
  while (glGetError() != GL_NO_ERROR) {
  }
  switch (mArt) {
    case Art::Speicher:
      mSpeicher.assign(StufenBytes(*mGl, mBreite, mHoehe), 0);
      return true;
    case Art::Tiefe:
      glGenRenderbuffers(1, &mRenderbuffer);
      glBindRenderbuffer(GL_RENDERBUFFER, mRenderbuffer);
      glRenderbufferStorage(GL_RENDERBUFFER, mGl->Intern, static_cast<GLsizei>(mBreite),
                            static_cast<GLsizei>(mHoehe));
      break;
    case Art::TexturStufe:
      glGenTextures(1, &mEigeneTextur);
      mGeraet->BindeWerkbank(GL_TEXTURE_2D, mEigeneTextur);
      if (mGeraet->HatTexturSpeicher()) {
        glTexStorage2D(GL_TEXTURE_2D, 1, mGl->Intern, static_cast<GLsizei>(mBreite),
                       static_cast<GLsizei>(mHoehe));
      } else {
        glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(mGl->Intern),
                     static_cast<GLsizei>(mBreite), static_cast<GLsizei>(mHoehe), 0,
                     mGl->Format, mGl->Typ, nullptr);
      }
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
      glTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_RGBA, mGl->Swizzle);
      break;
  }
  return glGetError() == GL_NO_ERROR;
}

TD3D9Oberflaeche::~TD3D9Oberflaeche() { LoescheGl(); }

void TD3D9Oberflaeche::LoescheGl() {
  if (mEigeneTextur) glDeleteTextures(1, &mEigeneTextur);
  if (mRenderbuffer) glDeleteRenderbuffers(1, &mRenderbuffer);
  mEigeneTextur = mRenderbuffer = 0;
}

void TD3D9Oberflaeche::Verwaise() {
  LoescheGl();
  mGeraet = nullptr;
}

ULONG TD3D9Oberflaeche::AddRef() {
  return mBehaelter ? mBehaelter->TexturAddRef() : TReferenzGezaehlt::AddRef();
}

ULONG TD3D9Oberflaeche::Release() {
  return mBehaelter ? mBehaelter->TexturRelease() : TReferenzGezaehlt::Release();
}

HRESULT TD3D9Oberflaeche::GetDevice(IDirect3DDevice9** geraet) { return GeraetAbgeben(mGeraet, geraet); }

GLuint TD3D9Oberflaeche::GlTextur() const {
  return mBehaelter ? mBehaelter->GlTextur() : mEigeneTextur;
}

bool TD3D9Oberflaeche::IstRenderZiel() const { return (mUsage & D3DUSAGE_RENDERTARGET) != 0; }

HRESULT TD3D9Oberflaeche::GetDesc(D3DSURFACE_DESC* b) {
  if (!b) return D3DERR_INVALIDCALL;
  b->Format = mFormat;
  b->Type = D3DRTYPE_SURFACE;
  b->Usage = mUsage;
  b->Pool = mPool;
  b->MultiSampleType = D3DMULTISAMPLE_NONE;
  b->MultiSampleQuality = 0;
  b->Width = mBreite;
  b->Height = mHoehe;
  return D3D_OK;
}

bool TD3D9Oberflaeche::Lies(const RECT& r, uint8_t* ziel, UINT pitch) {
  const UINT x0 = static_cast<UINT>(r.left), y0 = static_cast<UINT>(r.top);
  const UINT w = static_cast<UINT>(r.right - r.left), h = static_cast<UINT>(r.bottom - r.top);
  const UINT zeilenBytes = ZeilenBytes(*mGl, w), zeilen = Zeilen(*mGl, h);
  const UINT versatz = ZeilenBytes(*mGl, x0);
  if (mArt == Art::Speicher) {
    KopiereZeilen(ziel, pitch, mSpeicher.data() + static_cast<size_t>(Zeilen(*mGl, y0)) * Pitch() + versatz,
                  Pitch(), zeilenBytes, zeilen);
    return true;
  }
  if (mArt != Art::TexturStufe || !mGeraet) return false;
  if (mGeraet->HatTeilLesen()) {
    // Only the rectangle comes back; a cube face is layer `face` of its texture.
    const GLint schicht = mBehaelter && mBehaelter->Wuerfel()
                              ? static_cast<GLint>(mZiel - GL_TEXTURE_CUBE_MAP_POSITIVE_X)
                              : 0;
    const GLsizei bytes = static_cast<GLsizei>(static_cast<size_t>(pitch) * zeilen);
    if (mGl->Block && pitch == zeilenBytes) {
      glGetCompressedTextureSubImage(GlTextur(), static_cast<GLint>(mStufe), static_cast<GLint>(x0),
                                     static_cast<GLint>(y0), schicht, static_cast<GLsizei>(w),
                                     static_cast<GLsizei>(h), 1, bytes, ziel);
      return true;
    }
    if (!mGl->Block) {
      glPixelStorei(GL_PACK_ROW_LENGTH, static_cast<GLint>(pitch / mGl->BytesProEinheit));
      glGetTextureSubImage(GlTextur(), static_cast<GLint>(mStufe), static_cast<GLint>(x0),
                           static_cast<GLint>(y0), schicht, static_cast<GLsizei>(w),
                           static_cast<GLsizei>(h), 1, mGl->Format, mGl->Typ, bytes, ziel);
      glPixelStorei(GL_PACK_ROW_LENGTH, 0);
      return true;
    }
  }
  // The whole level comes back; the rectangle is cut out of it.
  std::vector<uint8_t> stufe(StufenBytes(*mGl, mBreite, mHoehe));
  mGeraet->BindeWerkbank(mBehaelter ? mBehaelter->GlZiel() : GL_TEXTURE_2D, GlTextur());
  if (mGl->Block)
    glGetCompressedTexImage(mZiel, static_cast<GLint>(mStufe), stufe.data());
  else
    glGetTexImage(mZiel, static_cast<GLint>(mStufe), mGl->Format, mGl->Typ, stufe.data());
  KopiereZeilen(ziel, pitch, stufe.data() + static_cast<size_t>(Zeilen(*mGl, y0)) * Pitch() + versatz,
                Pitch(), zeilenBytes, zeilen);
  return true;
}

bool TD3D9Oberflaeche::Schreibe(const RECT& r, const uint8_t* quelle, UINT pitch) {
  const UINT x0 = static_cast<UINT>(r.left), y0 = static_cast<UINT>(r.top);
  const UINT w = static_cast<UINT>(r.right - r.left), h = static_cast<UINT>(r.bottom - r.top);
  const UINT zeilenBytes = ZeilenBytes(*mGl, w), zeilen = Zeilen(*mGl, h);
  if (mArt == Art::Speicher) {
    KopiereZeilen(mSpeicher.data() + static_cast<size_t>(Zeilen(*mGl, y0)) * Pitch() + ZeilenBytes(*mGl, x0),
                  Pitch(), quelle, pitch, zeilenBytes, zeilen);
    return true;
  }
  if (mArt != Art::TexturStufe || !mGeraet) return false;
  mGeraet->BindeWerkbank(mBehaelter ? mBehaelter->GlZiel() : GL_TEXTURE_2D, GlTextur());
  if (mGl->Block) {
    // Compressed uploads take whole rows of blocks without a pitch of their own.
    std::vector<uint8_t> dicht;
    const uint8_t* daten = quelle;
    if (pitch != zeilenBytes) {
      dicht.resize(static_cast<size_t>(zeilenBytes) * zeilen);
      KopiereZeilen(dicht.data(), zeilenBytes, quelle, pitch, zeilenBytes, zeilen);
      daten = dicht.data();
    }
    glCompressedTexSubImage2D(mZiel, static_cast<GLint>(mStufe), static_cast<GLint>(x0),
                              static_cast<GLint>(y0), static_cast<GLsizei>(w),
                              static_cast<GLsizei>(h), mGl->Intern,
                              static_cast<GLsizei>(zeilenBytes * zeilen), daten);
  } else {
    glPixelStorei(GL_UNPACK_ROW_LENGTH, static_cast<GLint>(pitch / mGl->BytesProEinheit));
    glTexSubImage2D(mZiel, static_cast<GLint>(mStufe), static_cast<GLint>(x0),
                    static_cast<GLint>(y0), static_cast<GLsizei>(w), static_cast<GLsizei>(h),
                    mGl->Format, mGl->Typ, quelle);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  }
  if (mBehaelter && mStufe == 0) mBehaelter->SetMipsVeraltet();
  return true;
}

HRESULT TD3D9Oberflaeche::LockRect(D3DLOCKED_RECT* gesperrt, const RECT* rect, DWORD flags) {
  if (!gesperrt || mGesperrt || !mGl) return D3DERR_INVALIDCALL;
  if (mArt == Art::Tiefe) return D3DERR_INVALIDCALL;
  if (mArt != Art::Speicher && !mGeraet) return D3DERR_INVALIDCALL;
  const RECT r = rect ? *rect : RECT{0, 0, static_cast<LONG>(mBreite), static_cast<LONG>(mHoehe)};
  if (!RectGueltig(r, mBreite, mHoehe, *mGl)) return D3DERR_INVALIDCALL;
  if (mArt == Art::Speicher) {
    // Memory surfaces hand out their own bytes.
    gesperrt->Pitch = static_cast<INT>(Pitch());
    gesperrt->pBits = mSpeicher.data() + static_cast<size_t>(Zeilen(*mGl, static_cast<UINT>(r.top))) * Pitch() +
                      ZeilenBytes(*mGl, static_cast<UINT>(r.left));
  } else {
    const UINT w = static_cast<UINT>(r.right - r.left), h = static_cast<UINT>(r.bottom - r.top);
    const UINT pitch = ZeilenBytes(*mGl, w);
    mSperrPuffer.resize(static_cast<size_t>(pitch) * Zeilen(*mGl, h));
    // Without discard the caller sees what is there and keeps what it does not write; the
    // whole rectangle goes back on unlock.
    if (!(flags & D3DLOCK_DISCARD) && !Lies(r, mSperrPuffer.data(), pitch)) return D3DERR_INVALIDCALL;
    gesperrt->Pitch = static_cast<INT>(pitch);
    gesperrt->pBits = mSperrPuffer.data();
  }
  mGesperrt = true;
  mSperrRect = r;
  mSperrFlags = flags;
  return D3D_OK;
}

HRESULT TD3D9Oberflaeche::UnlockRect() {
  if (!mGesperrt) return D3DERR_INVALIDCALL;
  mGesperrt = false;
  if (mArt == Art::Speicher || (mSperrFlags & D3DLOCK_READONLY)) return D3D_OK;
  const UINT w = static_cast<UINT>(mSperrRect.right - mSperrRect.left);
  return Schreibe(mSperrRect, mSperrPuffer.data(), ZeilenBytes(*mGl, w)) ? D3D_OK
                                                                         : D3DERR_INVALIDCALL;
}

// ---------------------------------------------------------------------------------------------
// TD3D9Textur
// ---------------------------------------------------------------------------------------------

TD3D9Textur::TD3D9Textur(TD3D9Geraet* geraet, bool wuerfel, UINT breite, UINT hoehe, UINT stufen,
                         DWORD usage, D3DFORMAT format, D3DPOOL pool, uint64_t bytes)
    : TD3D9Ressource(geraet, pool, bytes),
      mWuerfel(wuerfel),
      mBreite(breite),
      mHoehe(hoehe),
      mUsage(usage),
      mFormat(format),
      mGl(GlFormat(format)) {
  const UINT voll = VolleKette(breite, hoehe);
  mAutoMips = (usage & D3DUSAGE_AUTOGENMIPMAP) != 0 && voll > 1 && stufen != 1;
  mStufen = (stufen == 0 || stufen > voll || mAutoMips) ? voll : stufen;
  mOberflaechen.assign(static_cast<size_t>(wuerfel ? 6 : 1) * mStufen, nullptr);
}

bool TD3D9Textur::Anlegen() {
  if (!mGl || !mGeraet) return false;
  while (glGetError() != GL_NO_ERROR) {
  }
  glGenTextures(1, &mTextur);
  const GLenum ziel = GlZiel();
  mGeraet->BindeWerkbank(ziel, mTextur);
  const GLsizei b = static_cast<GLsizei>(mBreite), h = static_cast<GLsizei>(mHoehe);
  if (mGeraet->HatTexturSpeicher()) {
    glTexStorage2D(ziel, static_cast<GLsizei>(mStufen), mGl->Intern, b, h);
  } else {
    for (UINT s = 0; s < mStufen; ++s) {
      const GLsizei sb = std::max<GLsizei>(1, b >> s), sh = std::max<GLsizei>(1, h >> s);
      for (UINT seite = 0; seite < (mWuerfel ? 6u : 1u); ++seite) {
        const GLenum teil = mWuerfel ? GL_TEXTURE_CUBE_MAP_POSITIVE_X + seite : GL_TEXTURE_2D;
        if (mGl->Block)
          glCompressedTexImage2D(teil, static_cast<GLint>(s), mGl->Intern, sb, sh, 0,
                                 static_cast<GLsizei>(StufenBytes(*mGl, static_cast<UINT>(sb),
                                                                  static_cast<UINT>(sh))),
                                 nullptr);
        else
          glTexImage2D(teil, static_cast<GLint>(s), static_cast<GLint>(mGl->Intern), sb, sh, 0,
                       mGl->Format, mGl->Typ, nullptr);
      }
    }
  }
  // Every texture names its last level, so that fewer levels than a full chain still sample.
  glTexParameteri(ziel, GL_TEXTURE_BASE_LEVEL, 0);
  glTexParameteri(ziel, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(mStufen - 1));
  glTexParameteriv(ziel, GL_TEXTURE_SWIZZLE_RGBA, mGl->Swizzle);
  return glGetError() == GL_NO_ERROR;
}

TD3D9Textur::~TD3D9Textur() {
  for (TD3D9Oberflaeche*& o : mOberflaechen) {
    delete o;
    o = nullptr;
  }
  if (mTextur && mGeraet) glDeleteTextures(1, &mTextur);
}

void TD3D9Textur::Verwaise() {
  if (mTextur) glDeleteTextures(1, &mTextur);
  mTextur = 0;
  mGeraet = nullptr;
}

void TD3D9Textur::SetMipsVeraltet() {
  if (!mAutoMips || !mGeraet) return;
  mMipsVeraltet = true;
  mGeraet->AutoMipsVeraltet();
}

void TD3D9Textur::ErneuereMips() {
  if (!mMipsVeraltet) return;
  ErzeugeMips();
}

void TD3D9Textur::ErzeugeMips() {
  mMipsVeraltet = false;
  if (!mGeraet || mStufen < 2 || mGl->Block) return;
  mGeraet->BindeWerkbank(GlZiel(), mTextur);
  TLeckPruefungAus aus;  // the driver draws the levels
  glGenerateMipmap(GlZiel());
}

HRESULT TD3D9Textur::StufenBeschreibung(UINT stufe, D3DSURFACE_DESC* b) const {
  if (!b || stufe >= SichtbareStufen()) return D3DERR_INVALIDCALL;
  b->Format = mFormat;
  b->Type = D3DRTYPE_SURFACE;
  b->Usage = mUsage;
  b->Pool = mPool;
  b->MultiSampleType = D3DMULTISAMPLE_NONE;
  b->MultiSampleQuality = 0;
  b->Width = std::max(1u, mBreite >> stufe);
  b->Height = std::max(1u, mHoehe >> stufe);
  return D3D_OK;
}

HRESULT TD3D9Textur::Oberflaeche(UINT seite, UINT stufe, IDirect3DSurface9** o) {
  if (!o) return D3DERR_INVALIDCALL;
  *o = nullptr;
  if (!mGeraet || stufe >= SichtbareStufen() || seite >= (mWuerfel ? 6u : 1u))
    return D3DERR_INVALIDCALL;
  TD3D9Oberflaeche*& eintrag = mOberflaechen[static_cast<size_t>(seite) * mStufen + stufe];
  if (!eintrag) {
    const GLenum ziel = mWuerfel ? GL_TEXTURE_CUBE_MAP_POSITIVE_X + seite : GL_TEXTURE_2D;
    eintrag = new TD3D9Oberflaeche(mGeraet, this, ziel, stufe, std::max(1u, mBreite >> stufe),
                                   std::max(1u, mHoehe >> stufe));
  }
  eintrag->AddRef();
  *o = eintrag;
  return D3D_OK;
}

HRESULT TD3D9Textur::Sperre(UINT seite, UINT stufe, D3DLOCKED_RECT* g, const RECT* r, DWORD flags) {
  IDirect3DSurface9* o = nullptr;
  HRESULT hr = Oberflaeche(seite, stufe, &o);
  if (FAILED(hr)) return hr;
  hr = o->LockRect(g, r, flags);
  o->Release();
  return hr;
}

HRESULT TD3D9Textur::Entsperre(UINT seite, UINT stufe) {
  if (stufe >= SichtbareStufen() || seite >= (mWuerfel ? 6u : 1u)) return D3DERR_INVALIDCALL;
  TD3D9Oberflaeche* o = mOberflaechen[static_cast<size_t>(seite) * mStufen + stufe];
  return o ? o->UnlockRect() : D3DERR_INVALIDCALL;
}

HRESULT TD3D9Textur2D::GetDevice(IDirect3DDevice9** geraet) { return GeraetAbgeben(mGeraet, geraet); }
HRESULT TD3D9WuerfelTextur::GetDevice(IDirect3DDevice9** geraet) { return GeraetAbgeben(mGeraet, geraet); }

// ---------------------------------------------------------------------------------------------
// Buffers
// ---------------------------------------------------------------------------------------------

TD3D9Puffer::TD3D9Puffer(TD3D9Geraet* geraet, UINT groesse, DWORD usage, D3DPOOL pool)
    : TD3D9Ressource(geraet, pool, groesse), mGroesse(groesse), mUsage(usage) {}

static GLenum PufferNutzung(DWORD usage) {
  return (usage & D3DUSAGE_DYNAMIC) ? GL_DYNAMIC_DRAW : GL_STATIC_DRAW;
}

bool TD3D9Puffer::Anlegen() {
  if (!mGeraet) return false;
  while (glGetError() != GL_NO_ERROR) {
  }
  glGenBuffers(1, &mPuffer);
  mInhalt.assign(mGroesse, 0);
  // The copy target keeps the vertex array's index binding untouched.
  glBindBuffer(GL_COPY_WRITE_BUFFER, mPuffer);
  glBufferData(GL_COPY_WRITE_BUFFER, mGroesse, mInhalt.data(), PufferNutzung(mUsage));
  return glGetError() == GL_NO_ERROR;
}

TD3D9Puffer::~TD3D9Puffer() {
  if (mPuffer && mGeraet) glDeleteBuffers(1, &mPuffer);
}

void TD3D9Puffer::Verwaise() {
  if (mPuffer) glDeleteBuffers(1, &mPuffer);
  mPuffer = 0;
  mGeraet = nullptr;
}

HRESULT TD3D9Puffer::Sperre(UINT versatz, UINT groesse, void** daten, DWORD flags) {
  if (!daten) return D3DERR_INVALIDCALL;
  *daten = nullptr;
  if (!mGeraet || mGesperrt || versatz > mGroesse) return D3DERR_INVALIDCALL;
  if (groesse == 0) groesse = mGroesse - versatz;
  if (groesse > mGroesse - versatz || groesse == 0) return D3DERR_INVALIDCALL;
  // The buffer's own copy in memory: a lock sees the current contents and keeps what the
  // caller leaves alone, with nothing read back from OpenGL.
  mGesperrt = true;
  mSperrVersatz = versatz;
  mSperrGroesse = groesse;
  mSperrFlags = flags;
  *daten = mInhalt.data() + versatz;
  return D3D_OK;
}

HRESULT TD3D9Puffer::Entsperre() {
  if (!mGesperrt) return D3DERR_INVALIDCALL;
  mGesperrt = false;
  if (!mGeraet) return D3DERR_INVALIDCALL;
  if (mSperrFlags & D3DLOCK_READONLY) return D3D_OK;
  glBindBuffer(GL_COPY_WRITE_BUFFER, mPuffer);
  // Discard gives the buffer new storage, so draws still using the old one need not wait.
  // Outside the locked range its contents are undefined after a discard, as on Direct3D 9.
  if (mSperrFlags & D3DLOCK_DISCARD)
    glBufferData(GL_COPY_WRITE_BUFFER, mGroesse, nullptr, PufferNutzung(mUsage));
  glBufferSubData(GL_COPY_WRITE_BUFFER, mSperrVersatz, mSperrGroesse, mInhalt.data() + mSperrVersatz);
  return D3D_OK;
}

HRESULT TD3D9VertexPuffer::GetDevice(IDirect3DDevice9** geraet) { return GeraetAbgeben(mGeraet, geraet); }

HRESULT TD3D9VertexPuffer::GetDesc(D3DVERTEXBUFFER_DESC* b) {
  if (b) b->FVF = 0;
  return Beschreibe(b, D3DFMT_UNKNOWN, D3DRTYPE_VERTEXBUFFER);
}

HRESULT TD3D9IndexPuffer::GetDevice(IDirect3DDevice9** geraet) { return GeraetAbgeben(mGeraet, geraet); }

HRESULT TD3D9IndexPuffer::GetDesc(D3DINDEXBUFFER_DESC* b) {
  return Beschreibe(b, mFormat, D3DRTYPE_INDEXBUFFER);
}

// ---------------------------------------------------------------------------------------------
// Declarations and shaders
// ---------------------------------------------------------------------------------------------

HRESULT TD3D9Deklaration::GetDeclaration(D3DVERTEXELEMENT9* elemente, UINT* anzahl) {
  if (!anzahl) return D3DERR_INVALIDCALL;
  const UINT n = static_cast<UINT>(mElemente.size()) + 1;
  if (elemente) {
    std::copy(mElemente.begin(), mElemente.end(), elemente);
    elemente[n - 1] = D3DVERTEXELEMENT9 D3DDECL_END();
  }
  *anzahl = n;
  return D3D_OK;
}

TD3D9ShaderKern::TD3D9ShaderKern(TD3D9Geraet* geraet, TShaderCode code)
    : TD3D9Ressource(geraet, D3DPOOL_MANAGED, 0), mCode(std::move(code)), mKennung(gShaderKennung++) {}

bool TD3D9ShaderKern::Anlegen() {
  if (!mGeraet) return false;
  // The copy list must stay inside the register file and the block.
  const uint64_t registerBytes =
      16ull * (mCode.Stufe == TShaderCode::Vertex ? TD3D9Geraet::VertexRegister : TD3D9Geraet::PixelRegister);
  for (const TShaderCode::Kopie& k : mCode.Kopien) {
    if (16ull * k.Register + k.Bytes > registerBytes ||
        static_cast<uint64_t>(k.Versatz) + k.Bytes > mCode.BlockBytes ||
        (k.Umwandlung != TShaderCode::Kopie::Kopieren && (k.Bytes % 4 != 0 || k.Bytes > 16))) {
      mMeldung = "copy list outside the register file or the uniform block";
      return false;
    }
  }
  mShader = glCreateShader(mCode.Stufe == TShaderCode::Vertex ? GL_VERTEX_SHADER : GL_FRAGMENT_SHADER);
  const char* text = mCode.Glsl.c_str();
  glShaderSource(mShader, 1, &text, nullptr);
  glCompileShader(mShader);
  GLint ok = GL_FALSE;
  glGetShaderiv(mShader, GL_COMPILE_STATUS, &ok);
  if (!ok) {
    GLint laenge = 0;
    glGetShaderiv(mShader, GL_INFO_LOG_LENGTH, &laenge);
    mMeldung.assign(static_cast<size_t>(std::max(laenge, 1)), '\0');
    glGetShaderInfoLog(mShader, laenge, nullptr, mMeldung.data());
    return false;
  }
  if (mCode.BlockBytes > 0) {
    mBlock.assign(mCode.BlockBytes, 0);
    glGenBuffers(1, &mUniformPuffer);
    mGeraet->BindeUniformPuffer(mUniformPuffer);
    glBufferData(GL_UNIFORM_BUFFER, mCode.BlockBytes, mBlock.data(), GL_DYNAMIC_DRAW);
  }
  return true;
}

TD3D9ShaderKern::~TD3D9ShaderKern() {
  if (mGeraet) {
    mGeraet->VergissProgramme(mKennung);
    mGeraet->VergissUniformPuffer(mUniformPuffer);
    if (mShader) glDeleteShader(mShader);
    if (mUniformPuffer) glDeleteBuffers(1, &mUniformPuffer);
  }
}

void TD3D9ShaderKern::Verwaise() {
  if (mShader) glDeleteShader(mShader);
  if (mUniformPuffer) glDeleteBuffers(1, &mUniformPuffer);
  mShader = mUniformPuffer = 0;
  mGeraet = nullptr;
}

namespace {

// Direct3D 9 keeps integer and bool constants in float registers; the block holds them as
// 32-bit integers: truncated toward zero and clamped to the target's range.
uint32_t AlsGanzzahl(float f, uint32_t art) {
  if (std::isnan(f)) return 0;
  const double t = std::trunc(static_cast<double>(f));
  if (art == TShaderCode::Kopie::NachUint)
    return static_cast<uint32_t>(std::clamp(t, 0.0, 4294967295.0));
  return static_cast<uint32_t>(static_cast<int32_t>(std::clamp(t, -2147483648.0, 2147483647.0)));
}

}  // namespace

void TD3D9ShaderKern::Aktualisiere(const float (*register_)[4], uint64_t stand) {
  if (stand == mStand || !mUniformPuffer || !mGeraet) return;
  mStand = stand;
  size_t von = SIZE_MAX, bis = 0;
  const uint8_t* quelle = reinterpret_cast<const uint8_t*>(register_);
  uint8_t umgewandelt[16];
  for (const TShaderCode::Kopie& k : mCode.Kopien) {
    uint8_t* ziel = mBlock.data() + k.Versatz;
    const uint8_t* q = quelle + 16ull * k.Register;
    if (k.Umwandlung != TShaderCode::Kopie::Kopieren) {
      for (uint32_t i = 0; i < k.Bytes / 4; ++i) {
        float f;
        std::memcpy(&f, q + 4 * i, 4);
        const uint32_t w = AlsGanzzahl(f, k.Umwandlung);
        std::memcpy(umgewandelt + 4 * i, &w, 4);
      }
      q = umgewandelt;
    }
    // Register by register, so that one changed row of a matrix uploads 16 bytes, not 64.
    for (uint32_t teil = 0; teil < k.Bytes; teil += 16) {
      const uint32_t n = std::min<uint32_t>(16, k.Bytes - teil);
      if (std::memcmp(ziel + teil, q + teil, n) == 0) continue;
      std::memcpy(ziel + teil, q + teil, n);
      von = std::min<size_t>(von, k.Versatz + teil);
      bis = std::max<size_t>(bis, k.Versatz + teil + n);
    }
  }
  if (von >= bis) return;
  mGeraet->BindeUniformPuffer(mUniformPuffer);
  glBufferSubData(GL_UNIFORM_BUFFER, static_cast<GLintptr>(von), static_cast<GLsizeiptr>(bis - von),
                  mBlock.data() + von);
}

}  // namespace Plattform
