// IDirect3D9: the adapter (the OpenGL context of the game window) and device creation.
// epoxy must come before GLFW's own GL header.
#include <epoxy/gl.h>
// (keep this order)
#include <GLFW/glfw3.h>

#include <atomic>
#include <cstdio>
#include <cstring>

#include "plattform/d3d9/d3d9.h"
#include "plattform/d3d9/intern/d3d9_formate.h"
#include "plattform/d3d9/intern/d3d9_geraet.h"

namespace Plattform {

namespace {

std::atomic<uint64_t> gBudget{UINT64_MAX};
std::atomic<bool> gVerlustErzwungen{false};

bool HatKontext() { return glfwGetCurrentContext() != nullptr; }

// Whether a surface of this format can be rendered to (colour) or used as depth, by trying
// it on a small framebuffer of the current context.
bool FramebufferNimmt(const TGlFormat& f) {
  GLint altesFbo = 0;
  glGetIntegerv(GL_FRAMEBUFFER_BINDING, &altesFbo);
  GLuint fbo = 0, rb[2] = {0, 0};
  glGenFramebuffers(1, &fbo);
  glGenRenderbuffers(2, rb);
  glBindFramebuffer(GL_FRAMEBUFFER, fbo);
  glBindRenderbuffer(GL_RENDERBUFFER, rb[0]);
  glRenderbufferStorage(GL_RENDERBUFFER, f.Intern, 4, 4);
  const GLenum anhang = !f.Tiefe ? GL_COLOR_ATTACHMENT0
                        : f.Format == GL_DEPTH_STENCIL ? GL_DEPTH_STENCIL_ATTACHMENT
                                                       : GL_DEPTH_ATTACHMENT;
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, anhang, GL_RENDERBUFFER, rb[0]);
  if (f.Tiefe) {
    glBindRenderbuffer(GL_RENDERBUFFER, rb[1]);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, 4, 4);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, rb[1]);
  }
  const bool ok = glGetError() == GL_NO_ERROR &&
                  glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
  glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(altesFbo));
  glDeleteRenderbuffers(2, rb);
  glDeleteFramebuffers(1, &fbo);
  return ok;
}

class TD3D9 final : public TReferenzGezaehlt<IDirect3D9> {
 public:
  UINT GetAdapterCount() override { return 1; }

  HRESULT GetAdapterIdentifier(UINT adapter, DWORD, D3DADAPTER_IDENTIFIER9* kennung) override {
    if (adapter != 0 || !kennung) return D3DERR_INVALIDCALL;
    std::memset(kennung, 0, sizeof(*kennung));
    std::snprintf(kennung->Driver, sizeof(kennung->Driver), "OpenGL");
    const char* renderer =
        HatKontext() ? reinterpret_cast<const char*>(glGetString(GL_RENDERER)) : nullptr;
    std::snprintf(kennung->Description, sizeof(kennung->Description), "%s",
                  renderer ? renderer : "OpenGL");
    std::snprintf(kennung->DeviceName, sizeof(kennung->DeviceName), "\\\\.\\DISPLAY1");
    return D3D_OK;
  }

  HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE, D3DCAPS9* caps) override {
    if (adapter != 0 || !caps || !HatKontext()) return D3DERR_INVALIDCALL;
    std::memset(caps, 0, sizeof(*caps));
    GLint groesse = 0, ziele = 1;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &groesse);
    glGetIntegerv(GL_MAX_DRAW_BUFFERS, &ziele);
    caps->DeviceType = D3DDEVTYPE_HAL;
    caps->MaxTextureWidth = caps->MaxTextureHeight = static_cast<DWORD>(groesse);
    caps->NumSimultaneousRTs = static_cast<DWORD>(ziele < 4 ? ziele : 4);
    caps->TextureFilterCaps = caps->CubeTextureFilterCaps =
        D3DPTFILTERCAPS_MINFPOINT | D3DPTFILTERCAPS_MINFLINEAR | D3DPTFILTERCAPS_MAGFPOINT |
        D3DPTFILTERCAPS_MAGFLINEAR;
    caps->MaxAnisotropy = 1;
    if (epoxy_gl_version() >= 46 || epoxy_has_gl_extension("GL_EXT_texture_filter_anisotropic") ||
        epoxy_has_gl_extension("GL_ARB_texture_filter_anisotropic")) {
      GLfloat aniso = 1.0f;
      glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &aniso);
      caps->MaxAnisotropy = static_cast<DWORD>(aniso);
      if (caps->MaxAnisotropy > 1) {
        caps->TextureFilterCaps |= D3DPTFILTERCAPS_MINFANISOTROPIC;
        caps->CubeTextureFilterCaps |= D3DPTFILTERCAPS_MINFANISOTROPIC;
      }
    }
    caps->MaxStreams = TD3D9Geraet::Stroeme;
    caps->VertexShaderVersion = D3DVS_VERSION(3, 0);
    caps->MaxVertexShaderConst = TD3D9Geraet::VertexRegister;
    caps->PixelShaderVersion = D3DPS_VERSION(3, 0);
    return D3D_OK;
  }

  HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE, D3DFORMAT, DWORD usage,
                            D3DRESOURCETYPE, D3DFORMAT format) override {
    if (adapter != 0) return D3DERR_INVALIDCALL;
    const TGlFormat* f = GlFormat(format);
    if (!f) return D3DERR_NOTAVAILABLE;
    const bool tiefeVerlangt = (usage & D3DUSAGE_DEPTHSTENCIL) != 0;
    if (tiefeVerlangt != f->Tiefe) return D3DERR_NOTAVAILABLE;
    const bool zielVerlangt = (usage & D3DUSAGE_RENDERTARGET) != 0;
    if (tiefeVerlangt || zielVerlangt) {
      if (f->Block) return D3DERR_NOTAVAILABLE;
      if (!HatKontext()) return D3DERR_NOTAVAILABLE;
      return FramebufferNimmt(*f) ? D3D_OK : D3DERR_NOTAVAILABLE;
    }
    return D3D_OK;
  }

  HRESULT CreateDevice(UINT adapter, D3DDEVTYPE, HWND fenster, DWORD,
                       D3DPRESENT_PARAMETERS* parameter, IDirect3DDevice9** geraet) override {
    if (!geraet) return D3DERR_INVALIDCALL;
    *geraet = nullptr;
    if (adapter != 0 || !fenster || !parameter) return D3DERR_INVALIDCALL;
    TD3D9Geraet* neu = nullptr;
    const HRESULT hr = TD3D9Geraet::Erzeuge(static_cast<GLFWwindow*>(fenster), *parameter, &neu);
    if (FAILED(hr)) return hr;
    *geraet = neu;
    return D3D_OK;
  }

 protected:
  ~TD3D9() override = default;
};

}  // namespace

void SetzeVideoRAMBudget(uint64_t bytes) { gBudget = bytes; }
uint64_t GetVideoRAMBudget() { return gBudget; }
uint64_t GetBelegterVideoRAM() {
  TD3D9Geraet* g = AktuellesGeraet();
  return g ? g->Belegt() : 0;
}
void ErzwingeGeraeteVerlust() { gVerlustErzwungen = true; }
bool HoleErzwungenenVerlust() { return gVerlustErzwungen.exchange(false); }

}  // namespace Plattform

IDirect3D9* Direct3DCreate9(UINT sdkVersion) {
  if (sdkVersion != D3D_SDK_VERSION) return nullptr;
  return new Plattform::TD3D9();
}
