#include "plattform/d3d9/intern/d3d9_geraet.h"

#include <GLFW/glfw3.h>
#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace Plattform {

#if defined(__SANITIZE_ADDRESS__)
TLeckPruefungAus::TLeckPruefungAus() { __lsan_disable(); }
TLeckPruefungAus::~TLeckPruefungAus() { __lsan_enable(); }
#else
TLeckPruefungAus::TLeckPruefungAus() = default;
TLeckPruefungAus::~TLeckPruefungAus() = default;
#endif

namespace {

TD3D9Geraet* gAktuell = nullptr;

// Render states in the order of the shadow array.
constexpr D3DRENDERSTATETYPE kRenderStates[TD3D9Geraet::RenderZustaende] = {
    D3DRS_ZENABLE,          D3DRS_ZWRITEENABLE,  D3DRS_ZFUNC,
    D3DRS_ALPHABLENDENABLE, D3DRS_BLENDOP,       D3DRS_SRCBLEND,
    D3DRS_DESTBLEND,        D3DRS_SEPARATEALPHABLENDENABLE, D3DRS_BLENDOPALPHA,
    D3DRS_SRCBLENDALPHA,    D3DRS_DESTBLENDALPHA, D3DRS_COLORWRITEENABLE,
    D3DRS_CULLMODE};
enum : int { ZEnable, ZWrite, ZFunc, BlendEnable, BlendOp, SrcBlend, DestBlend, SepAlpha,
             BlendOpAlpha, SrcBlendAlpha, DestBlendAlpha, ColorWrite, CullMode };
static_assert(CullMode + 1 == TD3D9Geraet::RenderZustaende, "one shadow per render state");

DWORD RenderStateVorgabe(int i, bool autoTiefe) {
  switch (i) {
    case ZEnable: return autoTiefe ? D3DZB_TRUE : D3DZB_FALSE;
    case ZWrite: return TRUE;
    case ZFunc: return D3DCMP_LESSEQUAL;
    case BlendEnable: return FALSE;
    case BlendOp: case BlendOpAlpha: return D3DBLENDOP_ADD;
    case SrcBlend: case SrcBlendAlpha: return D3DBLEND_ONE;
    case DestBlend: case DestBlendAlpha: return D3DBLEND_ZERO;
    case SepAlpha: return FALSE;
    case ColorWrite: return 0xF;
    case CullMode: return D3DCULL_CCW;
  }
  return 0;
}

DWORD SamplerVorgabe(UINT typ) {
  switch (typ) {
    case D3DSAMP_ADDRESSU: case D3DSAMP_ADDRESSV: case D3DSAMP_ADDRESSW: return D3DTADDRESS_WRAP;
    case D3DSAMP_MAGFILTER: case D3DSAMP_MINFILTER: return D3DTEXF_POINT;
    case D3DSAMP_MIPFILTER: return D3DTEXF_NONE;
    case D3DSAMP_MAXANISOTROPY: return 1;
    default: return 0;
  }
}

GLenum GlVergleich(DWORD f) {
  switch (f) {
    case D3DCMP_NEVER: return GL_NEVER;
    case D3DCMP_LESS: return GL_LESS;
    case D3DCMP_EQUAL: return GL_EQUAL;
    case D3DCMP_LESSEQUAL: return GL_LEQUAL;
    case D3DCMP_GREATER: return GL_GREATER;
    case D3DCMP_NOTEQUAL: return GL_NOTEQUAL;
    case D3DCMP_GREATEREQUAL: return GL_GEQUAL;
    default: return GL_ALWAYS;
  }
}

GLenum GlFaktor(DWORD f) {
  switch (f) {
    case D3DBLEND_ZERO: return GL_ZERO;
    case D3DBLEND_SRCCOLOR: return GL_SRC_COLOR;
    case D3DBLEND_INVSRCCOLOR: return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA: return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA: return GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_DESTALPHA: return GL_DST_ALPHA;
    case D3DBLEND_INVDESTALPHA: return GL_ONE_MINUS_DST_ALPHA;
    case D3DBLEND_DESTCOLOR: return GL_DST_COLOR;
    case D3DBLEND_INVDESTCOLOR: return GL_ONE_MINUS_DST_COLOR;
    default: return GL_ONE;
  }
}

GLenum GlBlendOp(DWORD o) {
  switch (o) {
    case D3DBLENDOP_SUBTRACT: return GL_FUNC_SUBTRACT;
    case D3DBLENDOP_REVSUBTRACT: return GL_FUNC_REVERSE_SUBTRACT;
    case D3DBLENDOP_MIN: return GL_MIN;
    case D3DBLENDOP_MAX: return GL_MAX;
    default: return GL_FUNC_ADD;
  }
}

GLint GlAdresse(DWORD a) {
  switch (a) {
    case D3DTADDRESS_MIRROR: return GL_MIRRORED_REPEAT;
    case D3DTADDRESS_CLAMP: return GL_CLAMP_TO_EDGE;
    case D3DTADDRESS_BORDER: return GL_CLAMP_TO_BORDER;
    default: return GL_REPEAT;
  }
}

// Attribute layout of a declaration type: components, OpenGL type, normalised.
struct TAttributTyp {
  GLint Anzahl;
  GLenum Typ;
  GLboolean Normiert;
};
bool AttributTyp(BYTE typ, TAttributTyp& a) {
  switch (typ) {
    case D3DDECLTYPE_FLOAT1: a = {1, GL_FLOAT, GL_FALSE}; return true;
    case D3DDECLTYPE_FLOAT2: a = {2, GL_FLOAT, GL_FALSE}; return true;
    case D3DDECLTYPE_FLOAT3: a = {3, GL_FLOAT, GL_FALSE}; return true;
    case D3DDECLTYPE_FLOAT4: a = {4, GL_FLOAT, GL_FALSE}; return true;
    case D3DDECLTYPE_D3DCOLOR: a = {GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE}; return true;
    case D3DDECLTYPE_UBYTE4: a = {4, GL_UNSIGNED_BYTE, GL_FALSE}; return true;
    case D3DDECLTYPE_UBYTE4N: a = {4, GL_UNSIGNED_BYTE, GL_TRUE}; return true;
    case D3DDECLTYPE_SHORT2: a = {2, GL_SHORT, GL_FALSE}; return true;
    case D3DDECLTYPE_SHORT4: a = {4, GL_SHORT, GL_FALSE}; return true;
    case D3DDECLTYPE_SHORT2N: a = {2, GL_SHORT, GL_TRUE}; return true;
    case D3DDECLTYPE_SHORT4N: a = {4, GL_SHORT, GL_TRUE}; return true;
    case D3DDECLTYPE_USHORT2N: a = {2, GL_UNSIGNED_SHORT, GL_TRUE}; return true;
    case D3DDECLTYPE_USHORT4N: a = {4, GL_UNSIGNED_SHORT, GL_TRUE}; return true;
    case D3DDECLTYPE_FLOAT16_2: a = {2, GL_HALF_FLOAT, GL_FALSE}; return true;
    case D3DDECLTYPE_FLOAT16_4: a = {4, GL_HALF_FLOAT, GL_FALSE}; return true;
    default: return false;
  }
}

// Attribute locations the layer drives (OpenGL guarantees 16).
constexpr int kAttributOrte = 16;

// A stream of stride 0 gives every vertex (and every instance) the same element; OpenGL reads
// stride 0 as tightly packed. Stepping per instance with a divisor above any instance count
// Direct3D 9 can ask for (30 bits) never moves past the first element.
constexpr GLuint kNieWeiter = 1u << 30;

// Attribute location of an element: POSITIONk is k, TEXCOORDn is n + 1; -1 for the rest.
int AttributOrt(const D3DVERTEXELEMENT9& e) {
  if (e.Usage == D3DDECLUSAGE_POSITION) return e.UsageIndex;
  if (e.Usage == D3DDECLUSAGE_TEXCOORD) return e.UsageIndex + 1;
  return -1;
}

template <class T, class U>
void Tausche(T*& ziel, U* neu) {
  if (ziel == neu) return;
  if (neu) neu->AddRef();
  T* alt = ziel;
  ziel = neu;
  if (alt) alt->Release();
}

template <class T>
HRESULT Abgeben(T* objekt, T** aus) {
  if (!aus) return D3DERR_INVALIDCALL;
  *aus = objekt;
  if (objekt) objekt->AddRef();
  return D3D_OK;
}

// The last step of every create call: the object's OpenGL side, or out of video memory.
template <class T, class I>
HRESULT Liefere(T* neu, I** aus) {
  if (!neu->Anlegen()) {
    neu->Release();
    return D3DERR_OUTOFVIDEOMEMORY;
  }
  *aus = neu;
  return D3D_OK;
}

uint64_t TexturBytes(const TGlFormat& f, UINT breite, UINT hoehe, UINT stufen, UINT seiten) {
  uint64_t summe = 0;
  for (UINT s = 0; s < stufen; ++s)
    summe += StufenBytes(f, std::max(1u, breite >> s), std::max(1u, hoehe >> s));
  return summe * seiten;
}

}  // namespace

TD3D9Geraet* AktuellesGeraet() { return gAktuell; }

// ---------------------------------------------------------------------------------------------
// Creation, reset, presentation
// ---------------------------------------------------------------------------------------------

HRESULT TD3D9Geraet::Erzeuge(GLFWwindow* fenster, const D3DPRESENT_PARAMETERS& parameter,
                             TD3D9Geraet** geraet) {
  *geraet = nullptr;
  if (gAktuell) return D3DERR_INVALIDCALL;
  if (glfwGetWindowAttrib(fenster, GLFW_CLIENT_API) == GLFW_NO_API) return D3DERR_NOTAVAILABLE;
  glfwMakeContextCurrent(fenster);
  if (epoxy_gl_version() < 33) return D3DERR_NOTAVAILABLE;
  TD3D9Geraet* neu = new TD3D9Geraet(fenster);
  if (!neu->Starte(parameter)) {
    neu->Release();
    return D3DERR_NOTAVAILABLE;
  }
  *geraet = neu;
  return D3D_OK;
}

TD3D9Geraet::TD3D9Geraet(GLFWwindow* fenster) : mFenster(fenster) {
  gAktuell = this;
  HalteTreiberSpeicher();
}

// Mesa's software rasteriser takes the memory of each batch of draws from the heap and frees
// it when the batch is done. With glibc's default the freed top of the heap goes back to the
// kernel every time, and the next batch faults each page in again, zeroed: with many small
// draws a frame takes up to three times as long, depending on where the heap's top happens to
// lie. So the heap keeps what it has (up to 64 MiB free at its top).
void TD3D9Geraet::HalteTreiberSpeicher() {
  static const bool einmal = [] { return mallopt(M_TRIM_THRESHOLD, 64 << 20) == 1; }();
  (void)einmal;
}

bool TD3D9Geraet::Starte(const D3DPRESENT_PARAMETERS& parameter) {
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &mMaxTexturGroesse);
  glGetIntegerv(GL_MAX_DRAW_BUFFERS, &mMaxZiele);
  mMaxZiele = std::min<GLint>(mMaxZiele, Ziele);
  mTexturSpeicher = epoxy_gl_version() >= 42 || epoxy_has_gl_extension("GL_ARB_texture_storage");
  mTeilLesen = epoxy_gl_version() >= 45;
  if (epoxy_gl_version() >= 46 || epoxy_has_gl_extension("GL_EXT_texture_filter_anisotropic") ||
      epoxy_has_gl_extension("GL_ARB_texture_filter_anisotropic"))
    glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &mMaxAnisotropie);

  glGenVertexArrays(1, &mVao);
  glBindVertexArray(mVao);
  glGenFramebuffers(1, &mZielFbo);
  glGenFramebuffers(1, &mLeseFbo);
  glBindFramebuffer(GL_FRAMEBUFFER, mZielFbo);
  glGenSamplers(SamplerStufen, mSampler.data());
  for (UINT i = 0; i < SamplerStufen; ++i) glBindSampler(i, mSampler[i]);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  // The scissor always equals the viewport, so that Clear stays inside it.
  glEnable(GL_SCISSOR_TEST);
  // Rows are stored top-down, which mirrors the winding: Direct3D's clockwise is OpenGL's
  // counter-clockwise.
  glFrontFace(GL_CCW);
  if (!LegeSwapKetteAn(parameter)) return false;
  SetzeZustaendeZurueck();
  return glGetError() == GL_NO_ERROR;
}

bool TD3D9Geraet::LegeSwapKetteAn(const D3DPRESENT_PARAMETERS& p) {
  mParameter = p;
  int fb = 0, fh = 0;
  glfwGetFramebufferSize(mFenster, &fb, &fh);
  if (mParameter.BackBufferWidth == 0) mParameter.BackBufferWidth = static_cast<UINT>(std::max(fb, 1));
  if (mParameter.BackBufferHeight == 0) mParameter.BackBufferHeight = static_cast<UINT>(std::max(fh, 1));
  if (mParameter.BackBufferFormat == D3DFMT_UNKNOWN) mParameter.BackBufferFormat = D3DFMT_X8R8G8B8;
  const D3DFORMAT f = mParameter.BackBufferFormat;
  if (f != D3DFMT_X8R8G8B8 && f != D3DFMT_A8R8G8B8 && f != D3DFMT_R5G6B5) return false;
  mRueckPuffer = new TD3D9Oberflaeche(this, TD3D9Oberflaeche::Art::TexturStufe, f,
                                      mParameter.BackBufferWidth, mParameter.BackBufferHeight,
                                      D3DPOOL_DEFAULT, D3DUSAGE_RENDERTARGET, 0);
  mRueckPuffer->SetGeraeteEigen();
  if (!mRueckPuffer->Anlegen()) return false;
  if (mParameter.EnableAutoDepthStencil) {
    const TGlFormat* t = GlFormat(mParameter.AutoDepthStencilFormat);
    if (!t || !t->Tiefe) return false;
    mAutoTiefe = new TD3D9Oberflaeche(this, TD3D9Oberflaeche::Art::Tiefe,
                                      mParameter.AutoDepthStencilFormat, mParameter.BackBufferWidth,
                                      mParameter.BackBufferHeight, D3DPOOL_DEFAULT,
                                      D3DUSAGE_DEPTHSTENCIL, 0);
    mAutoTiefe->SetGeraeteEigen();
    if (!mAutoTiefe->Anlegen()) return false;
  }
  glfwSwapInterval(mParameter.PresentationInterval == D3DPRESENT_INTERVAL_IMMEDIATE ? 0 : 1);
  return true;
}

void TD3D9Geraet::LoeseAlleBindungen() {
  for (auto& z : mZiele) Tausche(z, static_cast<TD3D9Oberflaeche*>(nullptr));
  Tausche(mTiefe, static_cast<TD3D9Oberflaeche*>(nullptr));
  for (UINT i = 0; i < SamplerStufen; ++i) {
    if (mTexturKern[i]) {
      glActiveTexture(GL_TEXTURE0 + i);
      glBindTexture(mTexturKern[i]->GlZiel(), 0);
    }
    mTexturKern[i] = nullptr;
    Tausche(mTexturen[i], static_cast<IDirect3DBaseTexture9*>(nullptr));
  }
  for (auto& s : mStroeme) {
    Tausche(s.Puffer, static_cast<TD3D9VertexPuffer*>(nullptr));
    s.Versatz = s.Schritt = 0;
  }
  Tausche(mIndexPuffer, static_cast<TD3D9IndexPuffer*>(nullptr));
  mGebundenerIndexPuffer = 0;
  Tausche(mDeklaration, static_cast<TD3D9Deklaration*>(nullptr));
  Tausche(mVertexShader, static_cast<TD3D9VertexShader*>(nullptr));
  Tausche(mPixelShader, static_cast<TD3D9PixelShader*>(nullptr));
  mProgramm = nullptr;
  mProgrammVeraltet = true;
  mAttributeVeraltet = true;
  mFboVeraltet = true;
}

void TD3D9Geraet::SetzeZustaendeZurueck() {
  Tausche(mZiele[0], mRueckPuffer);
  Tausche(mTiefe, mAutoTiefe);
  mFboVeraltet = true;
  if (mRueckPuffer)
    SetzeViewportIntern({0, 0, mRueckPuffer->Breite(), mRueckPuffer->Hoehe(), 0.0f, 1.0f});
  for (int i = 0; i < static_cast<int>(RenderZustaende); ++i)
    mRenderState[static_cast<size_t>(i)] = RenderStateVorgabe(i, mAutoTiefe != nullptr);
  // Apply every state once, whatever the shadows said before.
  glDepthFunc(GlVergleich(mRenderState[ZFunc]));
  if (mRenderState[ZEnable]) glEnable(GL_DEPTH_TEST); else glDisable(GL_DEPTH_TEST);
  glEnable(GL_CULL_FACE);
  glCullFace(GL_BACK);
  SetzeMasken();
  WendeBlendAn();
  for (UINT s = 0; s < SamplerStufen; ++s)
    for (UINT t = 1; t < SamplerZustaende; ++t) {
      mSamplerState[s][t] = SamplerVorgabe(t);
      WendeSamplerAn(s, static_cast<D3DSAMPLERSTATETYPE>(t));
    }
  mFrequenz.fill(1);
  mInstanzStroeme = 0;
  std::memset(mVertexKonst, 0, sizeof(mVertexKonst));
  std::memset(mPixelKonst, 0, sizeof(mPixelKonst));
  ++mVertexStand;
  ++mPixelStand;
  mSzeneOffen = false;
}

TD3D9Geraet::~TD3D9Geraet() {
  glfwMakeContextCurrent(mFenster);
  LoeseAlleBindungen();
  SicherFreigeben(mRueckPuffer);
  SicherFreigeben(mAutoTiefe);
  // Objects the caller still holds lose their OpenGL objects with the context.
  for (TD3D9Ressource* r : std::vector<TD3D9Ressource*>(mRessourcen.begin(), mRessourcen.end()))
    r->Verwaise();
  mRessourcen.clear();
  for (auto& [schluessel, p] : mProgramme)
    if (p.Programm) glDeleteProgram(p.Programm);
  mProgramme.clear();
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glDeleteFramebuffers(1, &mZielFbo);
  glDeleteFramebuffers(1, &mLeseFbo);
  glDeleteSamplers(SamplerStufen, mSampler.data());
  glBindVertexArray(0);
  glDeleteVertexArrays(1, &mVao);
  if (gAktuell == this) gAktuell = nullptr;
}

HRESULT TD3D9Geraet::TestCooperativeLevel() { return mVerloren ? D3DERR_DEVICENOTRESET : D3D_OK; }

UINT TD3D9Geraet::GetAvailableTextureMem() {
  const uint64_t budget = GetVideoRAMBudget();
  const uint64_t frei = budget > mBelegt ? budget - mBelegt : 0;
  return static_cast<UINT>(std::min<uint64_t>(frei, 0xFFF00000u));
}

HRESULT TD3D9Geraet::GetDeviceCaps(D3DCAPS9* caps) {
  IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
  const HRESULT hr = d3d->GetDeviceCaps(0, D3DDEVTYPE_HAL, caps);
  d3d->Release();
  return hr;
}

HRESULT TD3D9Geraet::Reset(D3DPRESENT_PARAMETERS* parameter) {
  if (!parameter) return D3DERR_INVALIDCALL;
  mSzeneOffen = false;
  LoeseAlleBindungen();
  // As on Direct3D 9: every default-pool object (and every reference to the swap chain's
  // surfaces) must be released first.
  bool blockiert = (mRueckPuffer && mRueckPuffer->Referenzen() > 1) ||
                   (mAutoTiefe && mAutoTiefe->Referenzen() > 1);
  for (TD3D9Ressource* r : mRessourcen) blockiert = blockiert || r->BlockiertReset();
  if (blockiert) {
    mVerloren = true;
    return D3DERR_INVALIDCALL;
  }
  SicherFreigeben(mRueckPuffer);
  SicherFreigeben(mAutoTiefe);
  if (!LegeSwapKetteAn(*parameter)) {
    mVerloren = true;
    return D3DERR_INVALIDCALL;
  }
  parameter->BackBufferWidth = mParameter.BackBufferWidth;
  parameter->BackBufferHeight = mParameter.BackBufferHeight;
  SetzeZustaendeZurueck();
  mVerloren = false;
  return D3D_OK;
}

HRESULT TD3D9Geraet::Present(const RECT*, const RECT*, HWND, const void*) {
  if (HoleErzwungenenVerlust()) mVerloren = true;
  if (mVerloren) return D3DERR_DEVICELOST;
  if (!mRueckPuffer) return D3DERR_INVALIDCALL;
  int fb = 0, fh = 0;
  glfwGetFramebufferSize(mFenster, &fb, &fh);
  const GLint b = static_cast<GLint>(mRueckPuffer->Breite()), h = static_cast<GLint>(mRueckPuffer->Hoehe());
  glBindFramebuffer(GL_READ_FRAMEBUFFER, mLeseFbo);
  glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, mRueckPuffer->GlTextur(), 0);
  glReadBuffer(GL_COLOR_ATTACHMENT0);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
  glDisable(GL_SCISSOR_TEST);
  {
    TLeckPruefungAus aus;
    // Row 0 is the top row: the window's framebuffer has it at the bottom.
    glBlitFramebuffer(0, 0, b, h, 0, fh, fb, 0, GL_COLOR_BUFFER_BIT,
                      (b == fb && h == fh) ? GL_NEAREST : GL_LINEAR);
    glEnable(GL_SCISSOR_TEST);
    glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, 0, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, mZielFbo);
    glfwSwapBuffers(mFenster);
  }
  return D3D_OK;
}

HRESULT TD3D9Geraet::GetBackBuffer(UINT swapChain, UINT puffer, D3DBACKBUFFER_TYPE typ,
                                   IDirect3DSurface9** oberflaeche) {
  if (!oberflaeche) return D3DERR_INVALIDCALL;
  *oberflaeche = nullptr;
  if (swapChain != 0 || puffer != 0 || typ != D3DBACKBUFFER_TYPE_MONO || !mRueckPuffer)
    return D3DERR_INVALIDCALL;
  mRueckPuffer->AddRef();
  *oberflaeche = mRueckPuffer;
  return D3D_OK;
}

// ---------------------------------------------------------------------------------------------
// Resources
// ---------------------------------------------------------------------------------------------

void TD3D9Geraet::Melde(TD3D9Ressource* r) { mRessourcen.insert(r); }
void TD3D9Geraet::Vergiss(TD3D9Ressource* r) { mRessourcen.erase(r); }

bool TD3D9Geraet::BelegeSpeicher(uint64_t bytes) {
  const uint64_t budget = GetVideoRAMBudget();
  if (bytes > budget || mBelegt > budget - bytes) return false;
  mBelegt += bytes;
  return true;
}

void TD3D9Geraet::BindeWerkbank(GLenum ziel, GLuint textur) {
  glActiveTexture(GL_TEXTURE0 + WerkbankEinheit);
  glBindTexture(ziel, textur);
}

HRESULT TD3D9Geraet::CreateTexture(UINT breite, UINT hoehe, UINT stufen, DWORD usage,
                                   D3DFORMAT format, D3DPOOL pool, IDirect3DTexture9** textur,
                                   HANDLE* geteilt) {
  if (!textur) return D3DERR_INVALIDCALL;
  *textur = nullptr;
  const TGlFormat* f = GlFormat(format);
  const UINT grenze = static_cast<UINT>(mMaxTexturGroesse);
  if (geteilt || !f || f->Tiefe || breite == 0 || hoehe == 0 || breite > grenze || hoehe > grenze)
    return D3DERR_INVALIDCALL;
  if ((usage & D3DUSAGE_RENDERTARGET) && (f->Block || pool != D3DPOOL_DEFAULT)) return D3DERR_INVALIDCALL;
  const bool wirdGezaehlt = pool == D3DPOOL_DEFAULT || pool == D3DPOOL_MANAGED;
  const UINT voll = VolleKette(breite, hoehe);
  const UINT glStufen = (stufen == 0 || stufen > voll || (usage & D3DUSAGE_AUTOGENMIPMAP)) ? voll : stufen;
  const uint64_t bytes = wirdGezaehlt ? TexturBytes(*f, breite, hoehe, glStufen, 1) : 0;
  if (!BelegeSpeicher(bytes)) return D3DERR_OUTOFVIDEOMEMORY;
  auto* neu = new TD3D9Textur2D(this, false, breite, hoehe, stufen, usage, format, pool, bytes);
  return Liefere(neu, textur);
}

HRESULT TD3D9Geraet::CreateCubeTexture(UINT kante, UINT stufen, DWORD usage, D3DFORMAT format,
                                       D3DPOOL pool, IDirect3DCubeTexture9** textur,
                                       HANDLE* geteilt) {
  if (!textur) return D3DERR_INVALIDCALL;
  *textur = nullptr;
  const TGlFormat* f = GlFormat(format);
  if (geteilt || !f || f->Tiefe || kante == 0 || kante > static_cast<UINT>(mMaxTexturGroesse))
    return D3DERR_INVALIDCALL;
  if ((usage & D3DUSAGE_RENDERTARGET) && (f->Block || pool != D3DPOOL_DEFAULT)) return D3DERR_INVALIDCALL;
  const bool wirdGezaehlt = pool == D3DPOOL_DEFAULT || pool == D3DPOOL_MANAGED;
  const UINT voll = VolleKette(kante, kante);
  const UINT glStufen = (stufen == 0 || stufen > voll || (usage & D3DUSAGE_AUTOGENMIPMAP)) ? voll : stufen;
  const uint64_t bytes = wirdGezaehlt ? TexturBytes(*f, kante, kante, glStufen, 6) : 0;
  if (!BelegeSpeicher(bytes)) return D3DERR_OUTOFVIDEOMEMORY;
  auto* neu = new TD3D9WuerfelTextur(this, true, kante, kante, stufen, usage, format, pool, bytes);
  return Liefere(neu, textur);
}

HRESULT TD3D9Geraet::CreateVertexBuffer(UINT laenge, DWORD usage, DWORD, D3DPOOL pool,
                                        IDirect3DVertexBuffer9** puffer, HANDLE* geteilt) {
  if (!puffer) return D3DERR_INVALIDCALL;
  *puffer = nullptr;
  if (geteilt || laenge == 0) return D3DERR_INVALIDCALL;
  if (!BelegeSpeicher(laenge)) return D3DERR_OUTOFVIDEOMEMORY;
  auto* neu = new TD3D9VertexPuffer(this, laenge, usage, pool);
  return Liefere(neu, puffer);
}

HRESULT TD3D9Geraet::CreateIndexBuffer(UINT laenge, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                       IDirect3DIndexBuffer9** puffer, HANDLE* geteilt) {
  if (!puffer) return D3DERR_INVALIDCALL;
  *puffer = nullptr;
  if (geteilt || laenge == 0 || (format != D3DFMT_INDEX16 && format != D3DFMT_INDEX32))
    return D3DERR_INVALIDCALL;
  if (!BelegeSpeicher(laenge)) return D3DERR_OUTOFVIDEOMEMORY;
  auto* neu = new TD3D9IndexPuffer(this, laenge, usage, format, pool);
  return Liefere(neu, puffer);
}

HRESULT TD3D9Geraet::CreateRenderTarget(UINT breite, UINT hoehe, D3DFORMAT format,
                                        D3DMULTISAMPLE_TYPE, DWORD, BOOL,
                                        IDirect3DSurface9** oberflaeche, HANDLE* geteilt) {
  if (!oberflaeche) return D3DERR_INVALIDCALL;
  *oberflaeche = nullptr;
  const TGlFormat* f = GlFormat(format);
  if (geteilt || !f || f->Tiefe || f->Block || breite == 0 || hoehe == 0) return D3DERR_INVALIDCALL;
  const uint64_t bytes = StufenBytes(*f, breite, hoehe);
  if (!BelegeSpeicher(bytes)) return D3DERR_OUTOFVIDEOMEMORY;
  auto* neu = new TD3D9Oberflaeche(this, TD3D9Oberflaeche::Art::TexturStufe, format, breite, hoehe,
                                   D3DPOOL_DEFAULT, D3DUSAGE_RENDERTARGET, bytes);
  return Liefere(neu, oberflaeche);
}

HRESULT TD3D9Geraet::CreateDepthStencilSurface(UINT breite, UINT hoehe, D3DFORMAT format,
                                               D3DMULTISAMPLE_TYPE, DWORD, BOOL,
                                               IDirect3DSurface9** oberflaeche, HANDLE* geteilt) {
  if (!oberflaeche) return D3DERR_INVALIDCALL;
  *oberflaeche = nullptr;
  const TGlFormat* f = GlFormat(format);
  if (geteilt || !f || !f->Tiefe || breite == 0 || hoehe == 0) return D3DERR_INVALIDCALL;
  const uint64_t bytes = StufenBytes(*f, breite, hoehe);
  if (!BelegeSpeicher(bytes)) return D3DERR_OUTOFVIDEOMEMORY;
  auto* neu = new TD3D9Oberflaeche(this, TD3D9Oberflaeche::Art::Tiefe, format, breite, hoehe,
                                   D3DPOOL_DEFAULT, D3DUSAGE_DEPTHSTENCIL, bytes);
  return Liefere(neu, oberflaeche);
}

HRESULT TD3D9Geraet::CreateOffscreenPlainSurface(UINT breite, UINT hoehe, D3DFORMAT format,
                                                 D3DPOOL pool, IDirect3DSurface9** oberflaeche,
                                                 HANDLE* geteilt) {
  if (!oberflaeche) return D3DERR_INVALIDCALL;
  *oberflaeche = nullptr;
  const TGlFormat* f = GlFormat(format);
  if (geteilt || !f || f->Tiefe || breite == 0 || hoehe == 0) return D3DERR_INVALIDCALL;
  const uint64_t bytes = pool == D3DPOOL_DEFAULT ? StufenBytes(*f, breite, hoehe) : 0;
  if (!BelegeSpeicher(bytes)) return D3DERR_OUTOFVIDEOMEMORY;
  auto* neu = new TD3D9Oberflaeche(this, TD3D9Oberflaeche::Art::Speicher, format, breite, hoehe,
                                   pool, 0, bytes);
  return Liefere(neu, oberflaeche);
}

HRESULT TD3D9Geraet::UpdateSurface(IDirect3DSurface9* quelle, const RECT* quellRect,
                                   IDirect3DSurface9* ziel, const POINT* zielPunkt) {
  auto* q = static_cast<TD3D9Oberflaeche*>(quelle);
  auto* z = static_cast<TD3D9Oberflaeche*>(ziel);
  if (!q || !z || q->GetArt() != TD3D9Oberflaeche::Art::Speicher ||
      z->GetArt() != TD3D9Oberflaeche::Art::TexturStufe || q->Format() != z->Format())
    return D3DERR_INVALIDCALL;
  const RECT r = quellRect ? *quellRect
                           : RECT{0, 0, static_cast<LONG>(q->Breite()), static_cast<LONG>(q->Hoehe())};
  const POINT p = zielPunkt ? *zielPunkt : POINT{0, 0};
  const TGlFormat& f = q->Gl();
  if (r.left < 0 || r.top < 0 || r.right <= r.left || r.bottom <= r.top ||
      static_cast<UINT>(r.right) > q->Breite() || static_cast<UINT>(r.bottom) > q->Hoehe() || p.x < 0 ||
      p.y < 0)
    return D3DERR_INVALIDCALL;
  const RECT zr{p.x, p.y, p.x + (r.right - r.left), p.y + (r.bottom - r.top)};
  if (static_cast<UINT>(zr.right) > z->Breite() || static_cast<UINT>(zr.bottom) > z->Hoehe())
    return D3DERR_INVALIDCALL;
  if (f.Block && (r.left % 4 || r.top % 4 || p.x % 4 || p.y % 4)) return D3DERR_INVALIDCALL;
  const uint8_t* start = q->Speicher() + static_cast<size_t>(Zeilen(f, static_cast<UINT>(r.top))) * q->Pitch() +
                         ZeilenBytes(f, static_cast<UINT>(r.left));
  return z->Schreibe(zr, start, q->Pitch()) ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT TD3D9Geraet::GetRenderTargetData(IDirect3DSurface9* renderZiel, IDirect3DSurface9* ziel) {
  auto* q = static_cast<TD3D9Oberflaeche*>(renderZiel);
  auto* z = static_cast<TD3D9Oberflaeche*>(ziel);
  if (!q || !z || q->GetArt() != TD3D9Oberflaeche::Art::TexturStufe ||
      z->GetArt() != TD3D9Oberflaeche::Art::Speicher || q->Format() != z->Format() ||
      q->Breite() != z->Breite() || q->Hoehe() != z->Hoehe())
    return D3DERR_INVALIDCALL;
  const RECT r{0, 0, static_cast<LONG>(q->Breite()), static_cast<LONG>(q->Hoehe())};
  return q->Lies(r, z->Speicher(), z->Pitch()) ? D3D_OK : D3DERR_INVALIDCALL;
}

// ---------------------------------------------------------------------------------------------
// Targets, viewport, clearing
// ---------------------------------------------------------------------------------------------

HRESULT TD3D9Geraet::SetRenderTarget(DWORD index, IDirect3DSurface9* oberflaeche) {
  auto* o = static_cast<TD3D9Oberflaeche*>(oberflaeche);
  if (index >= static_cast<DWORD>(mMaxZiele) || (index == 0 && !o)) return D3DERR_INVALIDCALL;
  if (o && (o->GetArt() != TD3D9Oberflaeche::Art::TexturStufe || !o->IstRenderZiel()))
    return D3DERR_INVALIDCALL;
  if (mZiele[index] != o) {
    Tausche(mZiele[index], o);
    mFboVeraltet = true;
  }
  // As on Direct3D 9, target 0 brings the viewport to its full size.
  if (index == 0) SetzeViewportIntern({0, 0, o->Breite(), o->Hoehe(), 0.0f, 1.0f});
  return D3D_OK;
}

HRESULT TD3D9Geraet::GetRenderTarget(DWORD index, IDirect3DSurface9** oberflaeche) {
  if (index >= Ziele) return D3DERR_INVALIDCALL;
  IDirect3DSurface9* o = mZiele[index];
  const HRESULT hr = Abgeben(o, oberflaeche);
  return SUCCEEDED(hr) && !o ? D3DERR_NOTAVAILABLE : hr;
}

HRESULT TD3D9Geraet::SetDepthStencilSurface(IDirect3DSurface9* oberflaeche) {
  auto* o = static_cast<TD3D9Oberflaeche*>(oberflaeche);
  if (o && o->GetArt() != TD3D9Oberflaeche::Art::Tiefe) return D3DERR_INVALIDCALL;
  if (mTiefe != o) {
    Tausche(mTiefe, o);
    mFboVeraltet = true;
  }
  return D3D_OK;
}

HRESULT TD3D9Geraet::GetDepthStencilSurface(IDirect3DSurface9** oberflaeche) {
  IDirect3DSurface9* o = mTiefe;
  const HRESULT hr = Abgeben(o, oberflaeche);
  return SUCCEEDED(hr) && !o ? D3DERR_NOTAVAILABLE : hr;
}

void TD3D9Geraet::BereiteZielVor() {
  if (!mFboVeraltet) return;
  mFboVeraltet = false;
  mZielHatAutoMips = false;
  GLenum puffer[Ziele];
  GLsizei anzahl = 0;
  for (UINT i = 0; i < Ziele; ++i) {
    TD3D9Oberflaeche* o = mZiele[i];
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0 + i, o ? o->GlZiel() : GL_TEXTURE_2D,
                           o ? o->GlTextur() : 0, o ? static_cast<GLint>(o->Stufe()) : 0);
    puffer[i] = o ? GL_COLOR_ATTACHMENT0 + i : GL_NONE;
    if (o) anzahl = static_cast<GLsizei>(i + 1);
    if (o && o->Behaelter() && o->Behaelter()->AutoMips() && o->Stufe() == 0) mZielHatAutoMips = true;
  }
  glDrawBuffers(std::max<GLsizei>(anzahl, 1), puffer);
  const bool stencil = mTiefe && mTiefe->Gl().Format == GL_DEPTH_STENCIL;
  const GLuint rb = mTiefe ? mTiefe->GlRenderbuffer() : 0;
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, rb);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_STENCIL_ATTACHMENT, GL_RENDERBUFFER, stencil ? rb : 0);
}

// Texture levels drawn into are out of date in their lower levels.
void TD3D9Geraet::MarkiereZielMips() {
  if (!mZielHatAutoMips) return;
  for (TD3D9Oberflaeche* o : mZiele)
    if (o && o->Behaelter() && o->Stufe() == 0) o->Behaelter()->SetMipsVeraltet();
}

HRESULT TD3D9Geraet::BeginScene() {
  if (mSzeneOffen) return D3DERR_INVALIDCALL;
  mSzeneOffen = true;
  return D3D_OK;
}

HRESULT TD3D9Geraet::EndScene() {
  if (!mSzeneOffen) return D3DERR_INVALIDCALL;
  mSzeneOffen = false;
  return D3D_OK;
}

void TD3D9Geraet::SetzeMasken() {
  const DWORD m = mRenderState[ColorWrite];
  glColorMask((m & 1) != 0, (m & 2) != 0, (m & 4) != 0, (m & 8) != 0);
  glDepthMask(mRenderState[ZWrite] ? GL_TRUE : GL_FALSE);
}

HRESULT TD3D9Geraet::Clear(DWORD anzahl, const RECT* rects, DWORD flags, D3DCOLOR farbe, float z,
                           DWORD stencil) {
  BereiteZielVor();
  GLbitfield maske = 0;
  if (flags & D3DCLEAR_TARGET) {
    maske |= GL_COLOR_BUFFER_BIT;
    glClearColor(static_cast<float>((farbe >> 16) & 0xFF) / 255.0f,
                 static_cast<float>((farbe >> 8) & 0xFF) / 255.0f,
                 static_cast<float>(farbe & 0xFF) / 255.0f,
                 static_cast<float>((farbe >> 24) & 0xFF) / 255.0f);
  }
  if ((flags & D3DCLEAR_ZBUFFER) && mTiefe) {
    maske |= GL_DEPTH_BUFFER_BIT;
    glClearDepth(std::clamp(z, 0.0f, 1.0f));
  }
  if ((flags & D3DCLEAR_STENCIL) && mTiefe && mTiefe->Gl().Format == GL_DEPTH_STENCIL) {
    maske |= GL_STENCIL_BUFFER_BIT;
    glClearStencil(static_cast<GLint>(stencil));
  }
  if (!maske) return D3D_OK;
  // Clear writes every channel and the depth whatever the write masks say.
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glDepthMask(GL_TRUE);
  glStencilMask(0xFF);
  if (anzahl == 0 || !rects) {
    TLeckPruefungAus aus;
    glClear(maske);
  } else {
    TLeckPruefungAus aus;
    const LONG vx0 = static_cast<LONG>(mViewport.X), vy0 = static_cast<LONG>(mViewport.Y);
    const LONG vx1 = vx0 + static_cast<LONG>(mViewport.Width), vy1 = vy0 + static_cast<LONG>(mViewport.Height);
    for (DWORD i = 0; i < anzahl; ++i) {
      const LONG x0 = std::max(rects[i].left, vx0), y0 = std::max(rects[i].top, vy0);
      const LONG x1 = std::min(rects[i].right, vx1), y1 = std::min(rects[i].bottom, vy1);
      if (x0 >= x1 || y0 >= y1) continue;
      glScissor(x0, y0, x1 - x0, y1 - y0);
      glClear(maske);
    }
    glScissor(static_cast<GLint>(mViewport.X), static_cast<GLint>(mViewport.Y),
              static_cast<GLsizei>(mViewport.Width), static_cast<GLsizei>(mViewport.Height));
  }
  SetzeMasken();
  MarkiereZielMips();
  return D3D_OK;
}

void TD3D9Geraet::SetzeViewportIntern(const D3DVIEWPORT9& v) {
  mViewport = v;
  // Rows are stored top-down, so Direct3D's Y is OpenGL's y without a flip.
  glViewport(static_cast<GLint>(v.X), static_cast<GLint>(v.Y), static_cast<GLsizei>(v.Width),
             static_cast<GLsizei>(v.Height));
  glScissor(static_cast<GLint>(v.X), static_cast<GLint>(v.Y), static_cast<GLsizei>(v.Width),
            static_cast<GLsizei>(v.Height));
  glDepthRange(v.MinZ, v.MaxZ);
}

HRESULT TD3D9Geraet::SetViewport(const D3DVIEWPORT9* v) {
  if (!v || !mZiele[0]) return D3DERR_INVALIDCALL;
  const uint64_t rechts = static_cast<uint64_t>(v->X) + v->Width;
  const uint64_t unten = static_cast<uint64_t>(v->Y) + v->Height;
  if (v->Width == 0 || v->Height == 0 || rechts > mZiele[0]->Breite() || unten > mZiele[0]->Hoehe() ||
      !(v->MinZ >= 0.0f && v->MinZ <= 1.0f && v->MaxZ >= 0.0f && v->MaxZ <= 1.0f))
    return D3DERR_INVALIDCALL;
  SetzeViewportIntern(*v);
  return D3D_OK;
}

HRESULT TD3D9Geraet::GetViewport(D3DVIEWPORT9* v) {
  if (!v) return D3DERR_INVALIDCALL;
  *v = mViewport;
  return D3D_OK;
}

// ---------------------------------------------------------------------------------------------
// Render and sampler states, textures
// ---------------------------------------------------------------------------------------------

int TD3D9Geraet::RenderStateIndex(D3DRENDERSTATETYPE zustand) {
  for (int i = 0; i < static_cast<int>(RenderZustaende); ++i)
    if (kRenderStates[i] == zustand) return i;
  return -1;
}

void TD3D9Geraet::WendeBlendAn() {
  const auto& s = mRenderState;
  if (s[BlendEnable]) glEnable(GL_BLEND); else glDisable(GL_BLEND);
  const bool getrennt = s[SepAlpha] != 0;
  glBlendFuncSeparate(GlFaktor(s[SrcBlend]), GlFaktor(s[DestBlend]),
                      GlFaktor(getrennt ? s[SrcBlendAlpha] : s[SrcBlend]),
                      GlFaktor(getrennt ? s[DestBlendAlpha] : s[DestBlend]));
  glBlendEquationSeparate(GlBlendOp(s[BlendOp]), GlBlendOp(getrennt ? s[BlendOpAlpha] : s[BlendOp]));
}

HRESULT TD3D9Geraet::SetRenderState(D3DRENDERSTATETYPE zustand, DWORD wert) {
  const int i = RenderStateIndex(zustand);
  if (i < 0) return D3DERR_INVALIDCALL;
  if (mRenderState[static_cast<size_t>(i)] == wert) return D3D_OK;
  mRenderState[static_cast<size_t>(i)] = wert;
  switch (i) {
    case ZEnable:
      if (wert != D3DZB_FALSE) glEnable(GL_DEPTH_TEST); else glDisable(GL_DEPTH_TEST);
      break;
    case ZFunc: glDepthFunc(GlVergleich(wert)); break;
    case ZWrite:
    case ColorWrite: SetzeMasken(); break;
    case CullMode:
      // Clockwise (Direct3D's front) is OpenGL's front face here.
      if (wert == D3DCULL_NONE) {
        glDisable(GL_CULL_FACE);
      } else {
        glEnable(GL_CULL_FACE);
        glCullFace(wert == D3DCULL_CW ? GL_FRONT : GL_BACK);
      }
      break;
    default: WendeBlendAn(); break;
  }
  return D3D_OK;
}

HRESULT TD3D9Geraet::GetRenderState(D3DRENDERSTATETYPE zustand, DWORD* wert) {
  const int i = RenderStateIndex(zustand);
  if (i < 0 || !wert) return D3DERR_INVALIDCALL;
  *wert = mRenderState[static_cast<size_t>(i)];
  return D3D_OK;
}

int TD3D9Geraet::SamplerIndex(DWORD stufe) {
  if (stufe < 16) return static_cast<int>(stufe);
  if (stufe >= D3DVERTEXTEXTURESAMPLER0 && stufe <= D3DVERTEXTEXTURESAMPLER3)
    return static_cast<int>(16 + stufe - D3DVERTEXTEXTURESAMPLER0);
  return -1;
}

void TD3D9Geraet::WendeSamplerAn(UINT stufe, D3DSAMPLERSTATETYPE typ) {
  const auto& s = mSamplerState[stufe];
  const GLuint sampler = mSampler[stufe];
  switch (typ) {
    case D3DSAMP_ADDRESSU: glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, GlAdresse(s[typ])); break;
    case D3DSAMP_ADDRESSV: glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, GlAdresse(s[typ])); break;
    case D3DSAMP_ADDRESSW: glSamplerParameteri(sampler, GL_TEXTURE_WRAP_R, GlAdresse(s[typ])); break;
    case D3DSAMP_BORDERCOLOR: {
      const DWORD c = s[typ];
      const float farbe[4] = {static_cast<float>((c >> 16) & 0xFF) / 255.0f,
                              static_cast<float>((c >> 8) & 0xFF) / 255.0f,
                              static_cast<float>(c & 0xFF) / 255.0f,
                              static_cast<float>((c >> 24) & 0xFF) / 255.0f};
      glSamplerParameterfv(sampler, GL_TEXTURE_BORDER_COLOR, farbe);
      break;
    }
    case D3DSAMP_MAGFILTER:
    case D3DSAMP_MINFILTER:
    case D3DSAMP_MIPFILTER:
    case D3DSAMP_MAXANISOTROPY: {
      const DWORD minF = s[D3DSAMP_MINFILTER], magF = s[D3DSAMP_MAGFILTER], mip = s[D3DSAMP_MIPFILTER];
      glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, magF >= D3DTEXF_LINEAR ? GL_LINEAR : GL_NEAREST);
      const bool linear = minF >= D3DTEXF_LINEAR;
      GLint f = linear ? GL_LINEAR : GL_NEAREST;
      if (mip == D3DTEXF_POINT) f = linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
      if (mip >= D3DTEXF_LINEAR) f = linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
      glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, f);
      if (HatAnisotropie()) {
        // OpenGL filters anisotropically whenever the maximum exceeds 1; Direct3D only with
        // the anisotropic filter chosen.
        const bool aniso = minF == D3DTEXF_ANISOTROPIC || magF == D3DTEXF_ANISOTROPIC;
        const float wert = aniso ? std::clamp(static_cast<float>(s[D3DSAMP_MAXANISOTROPY]), 1.0f, mMaxAnisotropie) : 1.0f;
        glSamplerParameterf(sampler, GL_TEXTURE_MAX_ANISOTROPY_EXT, wert);
      }
      break;
    }
    case D3DSAMP_MAXMIPLEVEL:
      glSamplerParameterf(sampler, GL_TEXTURE_MIN_LOD, static_cast<float>(s[typ]));
      break;
    case D3DSAMP_MIPMAPLODBIAS: {
      float bias = 0.0f;
      std::memcpy(&bias, &s[typ], sizeof(bias));
      glSamplerParameterf(sampler, GL_TEXTURE_LOD_BIAS, bias);
      break;
    }
  }
}

HRESULT TD3D9Geraet::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE typ, DWORD wert) {
  const int i = SamplerIndex(sampler);
  if (i < 0 || typ < 1 || typ >= SamplerZustaende) return D3DERR_INVALIDCALL;
  DWORD& eintrag = mSamplerState[static_cast<size_t>(i)][typ];
  if (eintrag == wert) return D3D_OK;
  eintrag = wert;
  WendeSamplerAn(static_cast<UINT>(i), typ);
  return D3D_OK;
}

HRESULT TD3D9Geraet::GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE typ, DWORD* wert) {
  const int i = SamplerIndex(sampler);
  if (i < 0 || typ < 1 || typ >= SamplerZustaende || !wert) return D3DERR_INVALIDCALL;
  *wert = mSamplerState[static_cast<size_t>(i)][typ];
  return D3D_OK;
}

HRESULT TD3D9Geraet::SetTexture(DWORD stufe, IDirect3DBaseTexture9* textur) {
  const int i = SamplerIndex(stufe);
  if (i < 0) return D3DERR_INVALIDCALL;
  const size_t e = static_cast<size_t>(i);
  if (mTexturen[e] == textur) return D3D_OK;
  TD3D9Textur* kern = textur ? dynamic_cast<TD3D9Textur*>(textur) : nullptr;
  if (textur && !kern) return D3DERR_INVALIDCALL;
  glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(i));
  TD3D9Textur* alt = mTexturKern[e];
  if (alt && (!kern || alt->GlZiel() != kern->GlZiel())) glBindTexture(alt->GlZiel(), 0);
  if (kern) glBindTexture(kern->GlZiel(), kern->GlTextur());
  mTexturKern[e] = kern;
  Tausche(mTexturen[e], textur);
  if (kern && kern->MipsVeraltet()) mAutoMipsPruefen = true;
  return D3D_OK;
}

HRESULT TD3D9Geraet::GetTexture(DWORD stufe, IDirect3DBaseTexture9** textur) {
  const int i = SamplerIndex(stufe);
  if (i < 0) return D3DERR_INVALIDCALL;
  return Abgeben(mTexturen[static_cast<size_t>(i)], textur);
}

void TD3D9Geraet::ErneuereAutoMips() {
  if (!mAutoMipsPruefen) return;
  mAutoMipsPruefen = false;
  for (TD3D9Textur* t : mTexturKern)
    if (t && t->MipsVeraltet()) t->ErneuereMips();
}

// ---------------------------------------------------------------------------------------------
// Vertex input, shaders, constants
// ---------------------------------------------------------------------------------------------

HRESULT TD3D9Geraet::CreateVertexDeclaration(const D3DVERTEXELEMENT9* elemente,
                                             IDirect3DVertexDeclaration9** deklaration) {
  if (!deklaration) return D3DERR_INVALIDCALL;
  *deklaration = nullptr;
  if (!elemente) return D3DERR_INVALIDCALL;
  std::vector<D3DVERTEXELEMENT9> liste;
  for (UINT i = 0; elemente[i].Stream != 0xFF; ++i) {
    if (i >= MAXD3DDECLLENGTH) return D3DERR_INVALIDCALL;
    TAttributTyp a;
    if (elemente[i].Stream >= Stroeme || !AttributTyp(elemente[i].Type, a)) return D3DERR_INVALIDCALL;
    const int ort = AttributOrt(elemente[i]);
    // An element beyond the attribute locations would silently never reach the shader.
    if (ort >= kAttributOrte) return D3DERR_INVALIDCALL;
    // Two elements on one location would silently overwrite each other.
    for (const D3DVERTEXELEMENT9& frueher : liste)
      if (ort >= 0 && AttributOrt(frueher) == ort) return D3DERR_INVALIDCALL;
    liste.push_back(elemente[i]);
  }
  *deklaration = new TD3D9Deklaration(std::move(liste));
  return D3D_OK;
}

HRESULT TD3D9Geraet::SetVertexDeclaration(IDirect3DVertexDeclaration9* deklaration) {
  auto* d = static_cast<TD3D9Deklaration*>(deklaration);
  if (d != mDeklaration) {
    Tausche(mDeklaration, d);
    mAttributeVeraltet = true;
  }
  return D3D_OK;
}

HRESULT TD3D9Geraet::GetVertexDeclaration(IDirect3DVertexDeclaration9** deklaration) {
  IDirect3DVertexDeclaration9* d = mDeklaration;
  return Abgeben(d, deklaration);
}

namespace {
// The record carries no length of its own: it ends where its last field ends.
std::optional<TShaderCode> LiesShaderCode(const DWORD* funktion, uint32_t stufe) {
  if (!funktion) return std::nullopt;
  auto code = TShaderCode::Deserialisiere(funktion, size_t{1} << 30);
  if (!code || code->Stufe != stufe) return std::nullopt;
  return code;
}
}  // namespace

HRESULT TD3D9Geraet::CreateVertexShader(const DWORD* funktion, IDirect3DVertexShader9** shader) {
  if (!shader) return D3DERR_INVALIDCALL;
  *shader = nullptr;
  auto code = LiesShaderCode(funktion, TShaderCode::Vertex);
  if (!code) return D3DERR_INVALIDCALL;
  auto* neu = new TD3D9VertexShader(this, std::move(*code));
  if (!neu->Anlegen()) {
    std::fprintf(stderr, "Vertex-Shader: %s\n", neu->Meldung().c_str());
    neu->Release();
    return D3DERR_INVALIDCALL;
  }
  *shader = neu;
  return D3D_OK;
}

HRESULT TD3D9Geraet::CreatePixelShader(const DWORD* funktion, IDirect3DPixelShader9** shader) {
  if (!shader) return D3DERR_INVALIDCALL;
  *shader = nullptr;
  auto code = LiesShaderCode(funktion, TShaderCode::Pixel);
  if (!code) return D3DERR_INVALIDCALL;
  auto* neu = new TD3D9PixelShader(this, std::move(*code));
  if (!neu->Anlegen()) {
    std::fprintf(stderr, "Pixel-Shader: %s\n", neu->Meldung().c_str());
    neu->Release();
    return D3DERR_INVALIDCALL;
  }
  *shader = neu;
  return D3D_OK;
}

HRESULT TD3D9Geraet::SetVertexShader(IDirect3DVertexShader9* shader) {
  auto* s = static_cast<TD3D9VertexShader*>(shader);
  if (s != mVertexShader) {
    Tausche(mVertexShader, s);
    mProgrammVeraltet = true;
  }
  return D3D_OK;
}

HRESULT TD3D9Geraet::SetPixelShader(IDirect3DPixelShader9* shader) {
  auto* s = static_cast<TD3D9PixelShader*>(shader);
  if (s != mPixelShader) {
    Tausche(mPixelShader, s);
    mProgrammVeraltet = true;
  }
  return D3D_OK;
}

HRESULT TD3D9Geraet::GetVertexShader(IDirect3DVertexShader9** shader) {
  IDirect3DVertexShader9* s = mVertexShader;
  return Abgeben(s, shader);
}

HRESULT TD3D9Geraet::GetPixelShader(IDirect3DPixelShader9** shader) {
  IDirect3DPixelShader9* s = mPixelShader;
  return Abgeben(s, shader);
}

HRESULT TD3D9Geraet::SetVertexShaderConstantF(UINT start, const float* werte, UINT anzahl) {
  if (!werte || start > VertexRegister || anzahl > VertexRegister - start) return D3DERR_INVALIDCALL;
  std::memcpy(mVertexKonst[start], werte, sizeof(float) * 4 * anzahl);
  ++mVertexStand;
  return D3D_OK;
}

HRESULT TD3D9Geraet::GetVertexShaderConstantF(UINT start, float* werte, UINT anzahl) {
  if (!werte || start > VertexRegister || anzahl > VertexRegister - start) return D3DERR_INVALIDCALL;
  std::memcpy(werte, mVertexKonst[start], sizeof(float) * 4 * anzahl);
  return D3D_OK;
}

HRESULT TD3D9Geraet::SetPixelShaderConstantF(UINT start, const float* werte, UINT anzahl) {
  if (!werte || start > PixelRegister || anzahl > PixelRegister - start) return D3DERR_INVALIDCALL;
  std::memcpy(mPixelKonst[start], werte, sizeof(float) * 4 * anzahl);
  ++mPixelStand;
  return D3D_OK;
}

HRESULT TD3D9Geraet::GetPixelShaderConstantF(UINT start, float* werte, UINT anzahl) {
  if (!werte || start > PixelRegister || anzahl > PixelRegister - start) return D3DERR_INVALIDCALL;
  std::memcpy(werte, mPixelKonst[start], sizeof(float) * 4 * anzahl);
  return D3D_OK;
}

HRESULT TD3D9Geraet::SetStreamSource(UINT strom, IDirect3DVertexBuffer9* puffer, UINT versatz,
                                     UINT schritt) {
  if (strom >= Stroeme) return D3DERR_INVALIDCALL;
  auto* p = static_cast<TD3D9VertexPuffer*>(puffer);
  TStrom& s = mStroeme[strom];
  if (s.Puffer == p && s.Versatz == versatz && s.Schritt == schritt) return D3D_OK;
  Tausche(s.Puffer, p);
  s.Versatz = versatz;
  s.Schritt = schritt;
  mAttributeVeraltet = true;
  return D3D_OK;
}

HRESULT TD3D9Geraet::SetStreamSourceFreq(UINT strom, UINT einstellung) {
  if (strom >= Stroeme) return D3DERR_INVALIDCALL;
  // Instance data on stream 0, or indexed data elsewhere, have no meaning.
  if ((strom == 0 && (einstellung & D3DSTREAMSOURCE_INSTANCEDATA)) ||
      ((einstellung & D3DSTREAMSOURCE_INSTANCEDATA) && (einstellung & D3DSTREAMSOURCE_INDEXEDDATA)))
    return D3DERR_INVALIDCALL;
  mFrequenz[strom] = einstellung;
  ErneuereInstanzStroeme();
  return D3D_OK;
}

// Kept up to date here rather than worked out again on every draw.
void TD3D9Geraet::ErneuereInstanzStroeme() {
  // Per-instance streams advance per instance only while stream 0 carries indexed data.
  uint32_t instanzStroeme = 0;
  if (mFrequenz[0] & D3DSTREAMSOURCE_INDEXEDDATA)
    for (UINT s = 1; s < Stroeme; ++s)
      if (mFrequenz[s] & D3DSTREAMSOURCE_INSTANCEDATA) instanzStroeme |= 1u << s;
  if (instanzStroeme == mInstanzStroeme) return;
  mInstanzStroeme = instanzStroeme;
  mAttributeVeraltet = true;
}

HRESULT TD3D9Geraet::GetStreamSourceFreq(UINT strom, UINT* einstellung) {
  if (strom >= Stroeme || !einstellung) return D3DERR_INVALIDCALL;
  *einstellung = mFrequenz[strom];
  return D3D_OK;
}

HRESULT TD3D9Geraet::SetIndices(IDirect3DIndexBuffer9* puffer) {
  if (mIndexPuffer != puffer) mGebundenerIndexPuffer = 0;
  Tausche(mIndexPuffer, static_cast<TD3D9IndexPuffer*>(puffer));
  return D3D_OK;
}

// ---------------------------------------------------------------------------------------------
// Drawing
// ---------------------------------------------------------------------------------------------

void TD3D9Geraet::VergissProgramme(uint64_t kennung) {
  for (auto it = mProgramme.begin(); it != mProgramme.end();) {
    if (it->first.first == kennung || it->first.second == kennung) {
      if (&it->second == mProgramm) {
        mProgramm = nullptr;
        mProgrammVeraltet = true;
      }
      if (it->second.Programm) glDeleteProgram(it->second.Programm);
      it = mProgramme.erase(it);
    } else {
      ++it;
    }
  }
}

TD3D9Geraet::TProgramm* TD3D9Geraet::HoleProgramm() {
  const auto schluessel = std::make_pair(mVertexShader->Kennung(), mPixelShader->Kennung());
  auto it = mProgramme.find(schluessel);
  if (it != mProgramme.end()) return it->second.Programm ? &it->second : nullptr;
  TProgramm& p = mProgramme[schluessel];  // a failed link stays cached as 0
  GLuint prog = glCreateProgram();
  glAttachShader(prog, mVertexShader->GlShader());
  glAttachShader(prog, mPixelShader->GlShader());
  glLinkProgram(prog);
  GLint ok = GL_FALSE;
  glGetProgramiv(prog, GL_LINK_STATUS, &ok);
  if (!ok) {
    char meldung[2048] = {};
    glGetProgramInfoLog(prog, sizeof(meldung), nullptr, meldung);
    std::fprintf(stderr, "Shader-Programm: %s\n", meldung);
    glDeleteProgram(prog);
    return nullptr;
  }
  p.Programm = prog;
  glUseProgram(prog);
  const TD3D9ShaderKern* stufen[2] = {mVertexShader, mPixelShader};
  for (GLuint bindung = 0; bindung < 2; ++bindung) {
    const TShaderCode& code = stufen[bindung]->Code();
    if (!code.BlockName.empty()) {
      const GLuint block = glGetUniformBlockIndex(prog, code.BlockName.c_str());
      if (block != GL_INVALID_INDEX) glUniformBlockBinding(prog, block, bindung);
    }
    // Pixel sampler n on unit n, vertex sampler n on unit 16 + n.
    for (const TShaderCode::Sampler& s : code.Samplers) {
      const GLint ort = glGetUniformLocation(prog, s.Name.c_str());
      if (ort >= 0) glUniform1i(ort, static_cast<GLint>(s.Register + (bindung == 0 ? 16 : 0)));
    }
  }
  p.HalbpixelOrt = glGetUniformLocation(prog, "weilerbau_halbpixel");
  return &p;
}

void TD3D9Geraet::SetzeAttribute() {
  mAttributeVeraltet = false;
  uint32_t orte = 0;
  for (const D3DVERTEXELEMENT9& e : mDeklaration->Elemente()) {
    const int ort = AttributOrt(e);
    const TStrom& s = mStroeme[e.Stream];
    TAttributTyp a;
    if (ort < 0 || ort >= kAttributOrte || !s.Puffer || !AttributTyp(e.Type, a)) continue;
    const GLuint o = static_cast<GLuint>(ort);
    glBindBuffer(GL_ARRAY_BUFFER, s.Puffer->GlPuffer());
    glVertexAttribPointer(o, a.Anzahl, a.Typ, a.Normiert, static_cast<GLsizei>(s.Schritt),
                          reinterpret_cast<const void*>(static_cast<uintptr_t>(s.Versatz + e.Offset)));
    glVertexAttribDivisor(o, s.Schritt == 0 ? kNieWeiter : (mInstanzStroeme >> e.Stream) & 1u);
    if (!(mAktiveOrte & (1u << o))) glEnableVertexAttribArray(o);
    orte |= 1u << o;
  }
  for (GLuint o = 0; o < static_cast<GLuint>(kAttributOrte); ++o)
    if ((mAktiveOrte & ~orte) & (1u << o)) glDisableVertexAttribArray(o);
  mAktiveOrte = orte;
}

bool TD3D9Geraet::BereiteZeichnenVor() {
  BereiteZielVor();
  if (mProgrammVeraltet || !mProgramm) {
    mProgramm = HoleProgramm();
    if (!mProgramm) return false;
    glUseProgram(mProgramm->Programm);
    // Binding a block also sets the general binding.
    if (mVertexShader->GlUniformPuffer()) {
      glBindBufferBase(GL_UNIFORM_BUFFER, 0, mVertexShader->GlUniformPuffer());
      mUniformPuffer = mVertexShader->GlUniformPuffer();
    }
    if (mPixelShader->GlUniformPuffer()) {
      glBindBufferBase(GL_UNIFORM_BUFFER, 1, mPixelShader->GlUniformPuffer());
      mUniformPuffer = mPixelShader->GlUniformPuffer();
    }
    mProgrammVeraltet = false;
  }
  const float halb[2] = {1.0f / static_cast<float>(mViewport.Width), 1.0f / static_cast<float>(mViewport.Height)};
  if (mProgramm->HalbpixelOrt >= 0 && (mProgramm->Halbpixel[0] != halb[0] || mProgramm->Halbpixel[1] != halb[1])) {
    glUniform2f(mProgramm->HalbpixelOrt, halb[0], halb[1]);
    mProgramm->Halbpixel[0] = halb[0];
    mProgramm->Halbpixel[1] = halb[1];
  }
  mVertexShader->Aktualisiere(mVertexKonst, mVertexStand);
  mPixelShader->Aktualisiere(mPixelKonst, mPixelStand);
  if (mAttributeVeraltet) SetzeAttribute();
  // SetIndices clears the shadow, so a buffer name reused after a deletion is bound again.
  if (mGebundenerIndexPuffer != mIndexPuffer->GlPuffer()) {
    mGebundenerIndexPuffer = mIndexPuffer->GlPuffer();
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, mGebundenerIndexPuffer);
  }
  ErneuereAutoMips();
  return true;
}

HRESULT TD3D9Geraet::DrawIndexedPrimitive(D3DPRIMITIVETYPE typ, INT basisVertex, UINT, UINT,
                                          UINT startIndex, UINT primitivAnzahl) {
  if (!mSzeneOffen || !mIndexPuffer || !mDeklaration || !mVertexShader || !mPixelShader)
    return D3DERR_INVALIDCALL;
  GLenum modus;
  uint64_t indizes;
  switch (typ) {
    case D3DPT_POINTLIST: modus = GL_POINTS; indizes = primitivAnzahl; break;
    case D3DPT_LINELIST: modus = GL_LINES; indizes = 2ull * primitivAnzahl; break;
    case D3DPT_LINESTRIP: modus = GL_LINE_STRIP; indizes = primitivAnzahl + 1ull; break;
    case D3DPT_TRIANGLELIST: modus = GL_TRIANGLES; indizes = 3ull * primitivAnzahl; break;
    case D3DPT_TRIANGLESTRIP: modus = GL_TRIANGLE_STRIP; indizes = primitivAnzahl + 2ull; break;
    case D3DPT_TRIANGLEFAN: modus = GL_TRIANGLE_FAN; indizes = primitivAnzahl + 2ull; break;
    default: return D3DERR_INVALIDCALL;
  }
  if (primitivAnzahl == 0) return D3D_OK;
  const uint64_t indexBytes = mIndexPuffer->IndexBytes();
  if ((startIndex + indizes) * indexBytes > mIndexPuffer->Groesse()) return D3DERR_INVALIDCALL;
  if (!BereiteZeichnenVor()) return D3DERR_INVALIDCALL;
  const void* versatz = reinterpret_cast<const void*>(static_cast<uintptr_t>(startIndex * indexBytes));
  const GLsizei anzahl = static_cast<GLsizei>(indizes);
  const GLenum indexTyp = mIndexPuffer->GlTyp();
  {
    // The driver compiles its shader variants inside the first draws.
    TLeckPruefungAus aus;
    if (mFrequenz[0] & D3DSTREAMSOURCE_INDEXEDDATA) {
      const GLsizei instanzen = static_cast<GLsizei>(std::max<UINT>(1, mFrequenz[0] & 0x3FFFFFFFu));
      glDrawElementsInstancedBaseVertex(modus, anzahl, indexTyp, versatz, instanzen, basisVertex);
    } else if (basisVertex != 0) {
      glDrawElementsBaseVertex(modus, anzahl, indexTyp, versatz, basisVertex);
    } else {
      glDrawElements(modus, anzahl, indexTyp, versatz);
    }
  }
  MarkiereZielMips();
  return D3D_OK;
}

}  // namespace Plattform
