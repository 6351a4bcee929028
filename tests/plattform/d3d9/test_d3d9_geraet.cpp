// The device's life: capabilities, references, lost devices and resets, the video-memory
// budget, formats, mip levels and locks.
#include <cmath>

#include "tests/plattform/d3d9/d3d9_testumgebung.h"

namespace D3D9Test {
namespace {

using Geraet = D3D9Umgebung;

TEST_F(Geraet, FaehigkeitenUndFormate) {
  D3DCAPS9 caps{};
  ASSERT_EQ(mGeraet->GetDeviceCaps(&caps), D3D_OK);
  EXPECT_GE(caps.MaxTextureWidth, 2048u);
  EXPECT_GE(caps.NumSimultaneousRTs, 1u);
  EXPECT_LE(caps.NumSimultaneousRTs, 4u);
  EXPECT_EQ(caps.PixelShaderVersion, D3DPS_VERSION(3, 0));
  D3DADAPTER_IDENTIFIER9 kennung{};
  ASSERT_EQ(mD3D->GetAdapterIdentifier(0, 0, &kennung), D3D_OK);
  EXPECT_GT(std::strlen(kennung.Description), 0u);
  EXPECT_EQ(mD3D->GetAdapterIdentifier(1, 0, &kennung), D3DERR_INVALIDCALL);

  struct TFall {
    DWORD Usage;
    D3DRESOURCETYPE Typ;
    D3DFORMAT Format;
    HRESULT Soll;
  };
  const TFall faelle[] = {
      {D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE, D3DFMT_D16, D3D_OK},
      {D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE, D3DFMT_D24X8, D3D_OK},
      {D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE, D3DFMT_A8R8G8B8, D3DERR_NOTAVAILABLE},
      {D3DUSAGE_RENDERTARGET, D3DRTYPE_TEXTURE, D3DFMT_A16B16G16R16F, D3D_OK},
      {D3DUSAGE_RENDERTARGET, D3DRTYPE_TEXTURE, D3DFMT_DXT1, D3DERR_NOTAVAILABLE},
      {0, D3DRTYPE_TEXTURE, D3DFMT_DXT5, D3D_OK},
      {0, D3DRTYPE_TEXTURE, static_cast<D3DFORMAT>(4711), D3DERR_NOTAVAILABLE},
  };
  for (const TFall& f : faelle)
    EXPECT_EQ(mD3D->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, f.Usage, f.Typ, f.Format), f.Soll)
        << "Format " << f.Format;
}

// Bound objects hold a reference; a texture's levels count with the texture.
TEST_F(Geraet, GebundeneObjekteHaltenEineReferenz) {
  IDirect3DTexture9* t = nullptr;
  ASSERT_EQ(mGeraet->CreateTexture(8, 8, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &t, nullptr), D3D_OK);
  EXPECT_EQ(t->GetLevelCount(), 4u);
  ASSERT_EQ(mGeraet->SetTexture(D3DVERTEXTEXTURESAMPLER2, t), D3D_OK);
  EXPECT_EQ(t->AddRef(), 3u);
  IDirect3DSurface9* stufe = nullptr;
  ASSERT_EQ(t->GetSurfaceLevel(2, &stufe), D3D_OK);
  EXPECT_EQ(t->Release(), 3u);  // the level's reference belongs to the texture
  D3DSURFACE_DESC d{};
  stufe->GetDesc(&d);
  EXPECT_EQ(d.Width, 2u);
  EXPECT_EQ(stufe->Release(), 2u);
  EXPECT_EQ(t->Release(), 1u);  // only the binding is left
  IDirect3DBaseTexture9* gebunden = nullptr;
  ASSERT_EQ(mGeraet->GetTexture(D3DVERTEXTEXTURESAMPLER2, &gebunden), D3D_OK);
  EXPECT_EQ(gebunden, t);
  gebunden->Release();
  EXPECT_EQ(mGeraet->SetTexture(261, t), D3DERR_INVALIDCALL);
  EXPECT_EQ(mGeraet->SetTexture(D3DVERTEXTEXTURESAMPLER2, nullptr), D3D_OK);  // frees it
  // What is left is the fixture's index buffer of six indices.
  EXPECT_EQ(Plattform::GetBelegterVideoRAM(), 12u) << "a freed texture must give its bytes back";
}

// A forced loss: Present reports it until Reset; Reset waits for the default-pool objects;
// afterwards every state is back at its default and nothing is bound.
TEST_F(Geraet, VerlorenesGeraetUndReset) {
  IDirect3DTexture9* t = nullptr;
  ASSERT_EQ(mGeraet->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &t, nullptr), D3D_OK);
  mGeraet->SetTexture(0, t);
  mGeraet->SetRenderState(D3DRS_ZFUNC, D3DCMP_GREATER);
  mGeraet->SetSamplerState(3, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
  mGeraet->SetStreamSourceFreq(1, D3DSTREAMSOURCE_INSTANCEDATA | 1);
  EXPECT_EQ(mGeraet->TestCooperativeLevel(), D3D_OK);
  Plattform::ErzwingeGeraeteVerlust();
  EXPECT_EQ(mGeraet->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
  EXPECT_EQ(mGeraet->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
  EXPECT_EQ(mGeraet->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);

  D3DPRESENT_PARAMETERS p = Parameter();
  p.BackBufferWidth = 32;
  p.BackBufferHeight = 16;
  EXPECT_EQ(mGeraet->Reset(&p), D3DERR_INVALIDCALL);  // the texture still lives
  EXPECT_EQ(mGeraet->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
  EXPECT_EQ(t->Release(), 0u);  // Reset unbound it
  Plattform::SicherFreigeben(mIndizes);
  IDirect3DSurface9* rp = nullptr;
  mGeraet->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &rp);
  EXPECT_EQ(mGeraet->Reset(&p), D3DERR_INVALIDCALL);  // a reference to the back buffer too
  rp->Release();
  ASSERT_EQ(mGeraet->Reset(&p), D3D_OK);
  EXPECT_EQ(mGeraet->TestCooperativeLevel(), D3D_OK);
  EXPECT_EQ(mGeraet->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);

  DWORD wert = 0;
  mGeraet->GetRenderState(D3DRS_ZFUNC, &wert);
  EXPECT_EQ(wert, static_cast<DWORD>(D3DCMP_LESSEQUAL));
  mGeraet->GetSamplerState(3, D3DSAMP_MAGFILTER, &wert);
  EXPECT_EQ(wert, static_cast<DWORD>(D3DTEXF_POINT));
  UINT frequenz = 0;
  mGeraet->GetStreamSourceFreq(1, &frequenz);
  EXPECT_EQ(frequenz, 1u);
  IDirect3DVertexShader9* vs = reinterpret_cast<IDirect3DVertexShader9*>(1);
  mGeraet->GetVertexShader(&vs);
  EXPECT_EQ(vs, nullptr);
  D3DVIEWPORT9 vp{};
  mGeraet->GetViewport(&vp);
  EXPECT_EQ(vp.Width, 32u);
  EXPECT_EQ(vp.Height, 16u);

  // Recreated objects draw as before.
  const uint16_t indizes[] = {0, 1, 2, 1, 3, 2};
  mIndizes = IndexPuffer(indizes, sizeof(indizes));
  BindeAlles(32, 16);
  Farbe(0, 0, 0, 0, 0, 1, 0, 1);
  mGeraet->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
  Zeichne(Rechteck(0, 0, 32, 16));
  IDirect3DSurface9* neu = nullptr;
  mGeraet->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &neu);
  const auto bild = LiesFlaeche(neu);
  neu->Release();
  ASSERT_EQ(bild.size(), 32u * 16u);
  EXPECT_EQ(bild[15 * 32 + 31] | 0xFF000000u, 0xFF00FF00u);
}

// The 16-bit mode: a R5G6B5 back buffer that reads back as 5/6/5 words.
TEST_F(Geraet, SechzehnBitRueckpuffer) {
  Plattform::SicherFreigeben(mIndizes);
  D3DPRESENT_PARAMETERS p = Parameter();
  p.BackBufferFormat = D3DFMT_R5G6B5;
  ASSERT_EQ(mGeraet->Reset(&p), D3D_OK);
  EXPECT_EQ(p.BackBufferWidth, B);  // a window's size is filled in
  ASSERT_EQ(mGeraet->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFF0000u, 1.0f, 0), D3D_OK);
  const RECT unten{0, 32, 64, 64};
  ASSERT_EQ(mGeraet->Clear(1, &unten, D3DCLEAR_TARGET, 0xFF0000FFu, 1.0f, 0), D3D_OK);
  IDirect3DSurface9* rp = nullptr;
  ASSERT_EQ(mGeraet->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &rp), D3D_OK);
  D3DSURFACE_DESC d{};
  rp->GetDesc(&d);
  EXPECT_EQ(d.Format, D3DFMT_R5G6B5);
  D3DLOCKED_RECT l{};
  ASSERT_EQ(rp->LockRect(&l, nullptr, D3DLOCK_READONLY), D3D_OK);
  EXPECT_EQ(l.Pitch, 128);
  EXPECT_EQ(static_cast<const uint16_t*>(l.pBits)[0], 0xF800u);
  EXPECT_EQ(reinterpret_cast<const uint16_t*>(static_cast<const uint8_t*>(l.pBits) + 40 * l.Pitch)[5], 0x001Fu);
  rp->UnlockRect();
  rp->Release();
}

// A window made without an OpenGL context cannot carry a device.
TEST(GeraetOhneKontext, WirdAbgelehnt) {
  ASSERT_TRUE(glfwInit());
  glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
  glfwWindowHint(GLFW_CLIENT_API, GLFW_NO_API);
  GLFWwindow* fenster = glfwCreateWindow(32, 32, "Weilerbau", nullptr, nullptr);
  ASSERT_NE(fenster, nullptr);
  IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
  EXPECT_EQ(Direct3DCreate9(31), nullptr);
  D3DPRESENT_PARAMETERS p = D3D9Umgebung::Parameter();
  IDirect3DDevice9* geraet = reinterpret_cast<IDirect3DDevice9*>(1);
  EXPECT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, fenster, 0x52, &p, &geraet), D3DERR_NOTAVAILABLE);
  EXPECT_EQ(geraet, nullptr);
  d3d->Release();
  glfwDestroyWindow(fenster);
  glfwTerminate();
}

TEST_F(Geraet, VideoRAMBudgetMeldetSpeichermangel) {
  const uint64_t vorher = Plattform::GetBelegterVideoRAM();
  Plattform::SetzeVideoRAMBudget(vorher + 64 * 64 * 4 + 100);
  IDirect3DTexture9* a = nullptr;
  IDirect3DTexture9* b = nullptr;
  ASSERT_EQ(mGeraet->CreateTexture(64, 64, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &a, nullptr), D3D_OK);
  EXPECT_EQ(Plattform::GetBelegterVideoRAM(), vorher + 64 * 64 * 4);
  EXPECT_EQ(mGeraet->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &b, nullptr), D3DERR_OUTOFVIDEOMEMORY);
  EXPECT_EQ(b, nullptr);
  IDirect3DVertexBuffer9* vb = nullptr;
  EXPECT_EQ(mGeraet->CreateVertexBuffer(200, 0, 0, D3DPOOL_DEFAULT, &vb, nullptr), D3DERR_OUTOFVIDEOMEMORY);
  IDirect3DSurface9* tiefe = nullptr;
  EXPECT_EQ(mGeraet->CreateDepthStencilSurface(16, 16, D3DFMT_D16, D3DMULTISAMPLE_NONE, 0, TRUE, &tiefe, nullptr),
            D3DERR_OUTOFVIDEOMEMORY);
  // System memory does not count.
  IDirect3DSurface9* speicher = nullptr;
  EXPECT_EQ(mGeraet->CreateOffscreenPlainSurface(64, 64, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &speicher, nullptr), D3D_OK);
  speicher->Release();
  // Freeing makes room again; a full mip chain counts every level.
  a->Release();
  EXPECT_EQ(Plattform::GetBelegterVideoRAM(), vorher);
  ASSERT_EQ(mGeraet->CreateTexture(32, 32, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &b, nullptr), D3D_OK);
  EXPECT_EQ(Plattform::GetBelegterVideoRAM(), vorher + 4 * (1024 + 256 + 64 + 16 + 4 + 1));
  b->Release();
}

// The pitch of a DXT lock counts rows of 4 x 4 blocks; rectangles must lie on blocks.
TEST_F(Geraet, DxtSperreZaehltBlockzeilen) {
  IDirect3DTexture9* t = nullptr;
  ASSERT_EQ(mGeraet->CreateTexture(12, 8, 1, D3DUSAGE_DYNAMIC, D3DFMT_DXT5, D3DPOOL_DEFAULT, &t, nullptr), D3D_OK);
  D3DLOCKED_RECT l{};
  ASSERT_EQ(t->LockRect(0, &l, nullptr, 0), D3D_OK);
  EXPECT_EQ(l.Pitch, 3 * 16);
  std::memset(l.pBits, 0, 2 * 3 * 16);
  EXPECT_EQ(t->UnlockRect(0), D3D_OK);
  const RECT gut{4, 4, 8, 8}, schief{2, 4, 6, 8};
  ASSERT_EQ(t->LockRect(0, &l, &gut, 0), D3D_OK);
  EXPECT_EQ(l.Pitch, 16);
  t->UnlockRect(0);
  EXPECT_EQ(t->LockRect(0, &l, &schief, 0), D3DERR_INVALIDCALL);
  t->Release();
}

// Automatic mip levels follow level 0; the lowest level of a black-and-white checkerboard is
// grey, of a white level 0 white.
TEST_F(Geraet, AutomatischeMipStufenFolgenStufeNull) {
  IDirect3DTexture9* t = nullptr;
  ASSERT_EQ(mGeraet->CreateTexture(16, 16, 0, D3DUSAGE_AUTOGENMIPMAP, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &t, nullptr), D3D_OK);
  EXPECT_EQ(t->GetLevelCount(), 1u);
  auto fuelle = [&](bool schach) {
    D3DLOCKED_RECT l{};
    ASSERT_EQ(t->LockRect(0, &l, nullptr, 0), D3D_OK);
    for (UINT y = 0; y < 16; ++y)
      for (UINT x = 0; x < 16; ++x)
        reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(l.pBits) + y * l.Pitch)[x] =
            (!schach || (x + y) % 2) ? 0xFFFFFFFFu : 0xFF000000u;
    t->UnlockRect(0);
  };
  fuelle(true);
  mGeraet->SetTexture(0, t);
  mGeraet->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_POINT);
  mGeraet->SetSamplerState(0, D3DSAMP_MAXMIPLEVEL, 4);  // only the 1 x 1 level
  Farbe(1, 1, 1, 1, 0, 0, 0, 0);
  Zeichne(Rechteck(0, 0, 16, 16));
  uint32_t p = Pixel(LiesBild(), 5, 5);
  EXPECT_NEAR(static_cast<int>(p & 0xFF), 128, 2);
  fuelle(false);
  Zeichne(Rechteck(0, 0, 16, 16));
  p = Pixel(LiesBild(), 5, 5);
  EXPECT_EQ(p, 0xFFFFFFFFu);
  mGeraet->SetTexture(0, nullptr);
  t->Release();
}

// Each cube face is its own surface: written, cleared as a render target and read back
// without touching the others.
TEST_F(Geraet, WuerfelSeitenSindGetrennt) {
  IDirect3DCubeTexture9* w = nullptr;
  ASSERT_EQ(mGeraet->CreateCubeTexture(8, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &w, nullptr), D3D_OK);
  EXPECT_EQ(Plattform::GetBelegterVideoRAM(), 12u + 6u * 8u * 8u * 4u);
  D3DLOCKED_RECT l{};
  ASSERT_EQ(w->LockRect(D3DCUBEMAP_FACE_NEGATIVE_Y, 0, &l, nullptr, 0), D3D_OK);
  for (int i = 0; i < 64; ++i) static_cast<uint32_t*>(l.pBits)[i] = 0xFF00FF00u;
  w->UnlockRect(D3DCUBEMAP_FACE_NEGATIVE_Y, 0);
  IDirect3DSurface9* plusZ = nullptr;
  ASSERT_EQ(w->GetCubeMapSurface(D3DCUBEMAP_FACE_POSITIVE_Z, 0, &plusZ), D3D_OK);
  ASSERT_EQ(mGeraet->SetRenderTarget(0, plusZ), D3D_OK);
  mGeraet->SetDepthStencilSurface(nullptr);
  ASSERT_EQ(mGeraet->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFF0000u, 1.0f, 0), D3D_OK);
  IDirect3DSurface9* kopie = nullptr;
  mGeraet->CreateOffscreenPlainSurface(8, 8, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &kopie, nullptr);
  ASSERT_EQ(mGeraet->GetRenderTargetData(plusZ, kopie), D3D_OK);
  EXPECT_EQ(LiesFlaeche(kopie)[63], 0xFFFF0000u);
  IDirect3DSurface9* minusY = nullptr;
  w->GetCubeMapSurface(D3DCUBEMAP_FACE_NEGATIVE_Y, 0, &minusY);
  ASSERT_EQ(mGeraet->GetRenderTargetData(minusY, kopie), D3D_OK);
  EXPECT_EQ(LiesFlaeche(kopie)[63], 0xFF00FF00u);
  IDirect3DSurface9* keine = nullptr;
  EXPECT_EQ(w->GetCubeMapSurface(static_cast<D3DCUBEMAP_FACES>(6), 0, &keine), D3DERR_INVALIDCALL);
  IDirect3DSurface9* rp = nullptr;
  mGeraet->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &rp);
  mGeraet->SetRenderTarget(0, rp);
  rp->Release();
  minusY->Release();
  plusZ->Release();
  kopie->Release();
  EXPECT_EQ(w->Release(), 0u);
}

TEST_F(Geraet, PufferSperrenMitVerwerfenUndLesen) {
  IDirect3DVertexBuffer9* vb = nullptr;
  ASSERT_EQ(mGeraet->CreateVertexBuffer(64, D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, 0, D3DPOOL_DEFAULT, &vb, nullptr), D3D_OK);
  void* p = nullptr;
  ASSERT_EQ(vb->Lock(0, 0, &p, D3DLOCK_DISCARD), D3D_OK);
  for (int i = 0; i < 64; ++i) static_cast<uint8_t*>(p)[i] = static_cast<uint8_t>(i);
  EXPECT_EQ(vb->Lock(0, 0, &p, 0), D3DERR_INVALIDCALL);  // already locked
  ASSERT_EQ(vb->Unlock(), D3D_OK);
  ASSERT_EQ(vb->Lock(16, 8, &p, D3DLOCK_NOOVERWRITE), D3D_OK);
  std::memset(p, 0xAB, 8);
  vb->Unlock();
  ASSERT_EQ(vb->Lock(12, 16, &p, D3DLOCK_READONLY), D3D_OK);
  const uint8_t* b = static_cast<const uint8_t*>(p);
  EXPECT_EQ(b[0], 12);
  EXPECT_EQ(b[4], 0xAB);
  EXPECT_EQ(b[11], 0xAB);
  EXPECT_EQ(b[12], 24);
  vb->Unlock();
  EXPECT_EQ(vb->Lock(60, 8, &p, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(p, nullptr);
  D3DVERTEXBUFFER_DESC d{};
  vb->GetDesc(&d);
  EXPECT_EQ(d.Size, 64u);
  vb->Release();
}

// Damaged shader records and declarations that would put two inputs on one location are
// refused instead of drawing garbage.
TEST_F(Geraet, FehlerhafteShaderUndDeklarationenWerdenAbgelehnt) {
  IDirect3DVertexShader9* vs = nullptr;
  const DWORD muell[4] = {1, 2, 3, 4};
  EXPECT_EQ(mGeraet->CreateVertexShader(muell, &vs), D3DERR_INVALIDCALL);
  // A pixel record given as a vertex shader.
  EXPECT_EQ(mGeraet->CreateVertexShader(reinterpret_cast<const DWORD*>(mPsCode.data()), &vs), D3DERR_INVALIDCALL);
  auto c = Code(Plattform::TShaderCode::Pixel, "#version 330 core\nvoid main() { kaputt }\n");
  auto bytes = c.Serialisiere();
  IDirect3DPixelShader9* ps = nullptr;
  EXPECT_EQ(mGeraet->CreatePixelShader(reinterpret_cast<const DWORD*>(bytes.data()), &ps), D3DERR_INVALIDCALL);
  // A copy list reaching past the 224 pixel registers.
  c.Glsl = kPixelGlsl;
  c.BlockName = "QuarzPSKonst";
  c.BlockBytes = 48;
  c.Kopien = {{223, 0, 32}};
  bytes = c.Serialisiere();
  EXPECT_EQ(mGeraet->CreatePixelShader(reinterpret_cast<const DWORD*>(bytes.data()), &ps), D3DERR_INVALIDCALL);
  EXPECT_EQ(ps, nullptr);

  const D3DVERTEXELEMENT9 doppelt[] = {{0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 1},
                                       {0, 12, D3DDECLTYPE_FLOAT2, 0, D3DDECLUSAGE_TEXCOORD, 0},
                                       D3DDECL_END()};
  IDirect3DVertexDeclaration9* d = nullptr;
  EXPECT_EQ(mGeraet->CreateVertexDeclaration(doppelt, &d), D3DERR_INVALIDCALL);
  // TEXCOORD15 would need location 16, which is never fed; TEXCOORD14 takes the last one.
  for (BYTE index : {BYTE{15}, BYTE{14}}) {
    const D3DVERTEXELEMENT9 weit[] = {{0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0},
                                      {0, 12, D3DDECLTYPE_FLOAT2, 0, D3DDECLUSAGE_TEXCOORD, index},
                                      D3DDECL_END()};
    EXPECT_EQ(mGeraet->CreateVertexDeclaration(weit, &d), index == 15 ? D3DERR_INVALIDCALL : D3D_OK);
    Plattform::SicherFreigeben(d);
  }
  UINT anzahl = 0;
  ASSERT_EQ(mDeklaration->GetDeclaration(nullptr, &anzahl), D3D_OK);
  EXPECT_EQ(anzahl, 4u);
}

// A lock without discard shows what the surface holds and keeps what the caller does not
// write: a rectangle or the whole level, of a texture level, a cube face or a render target.
TEST_F(Geraet, FlaechenSperreOhneVerwerfenBehaeltWasNichtGeschriebenWird) {
  IDirect3DTexture9* t = nullptr;
  IDirect3DCubeTexture9* w = nullptr;
  IDirect3DSurface9* z = nullptr;
  ASSERT_EQ(mGeraet->CreateTexture(8, 8, 2, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &t, nullptr), D3D_OK);
  ASSERT_EQ(mGeraet->CreateCubeTexture(8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &w, nullptr), D3D_OK);
  ASSERT_EQ(mGeraet->CreateRenderTarget(8, 8, D3DFMT_A8R8G8B8, D3DMULTISAMPLE_NONE, 0, TRUE, &z, nullptr), D3D_OK);
  IDirect3DSurface9 *stufe0 = nullptr, *stufe1 = nullptr, *seite = nullptr;
  t->GetSurfaceLevel(0, &stufe0);
  t->GetSurfaceLevel(1, &stufe1);
  w->GetCubeMapSurface(D3DCUBEMAP_FACE_NEGATIVE_Y, 0, &seite);
  const RECT rechteck{1, 1, 3, 4};
  struct Fall {
    const char* Name;
    IDirect3DSurface9* Flaeche;
    const RECT* Rechteck;  // null: the whole surface
  } faelle[] = {{"level 0, whole", stufe0, nullptr}, {"level 1, rectangle", stufe1, &rechteck},
                {"cube face, rectangle", seite, &rechteck}, {"render target, rectangle", z, &rechteck},
                {"render target, whole", z, nullptr}};
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.Name);
    D3DSURFACE_DESC d{};
    f.Flaeche->GetDesc(&d);
    // The pattern arrives the way default-pool surfaces are filled: from system memory.
    IDirect3DSurface9* speicher = nullptr;
    ASSERT_EQ(mGeraet->CreateOffscreenPlainSurface(d.Width, d.Height, D3DFMT_A8R8G8B8,
                                                   D3DPOOL_SYSTEMMEM, &speicher, nullptr), D3D_OK);
    D3DLOCKED_RECT l{};
    ASSERT_EQ(speicher->LockRect(&l, nullptr, 0), D3D_OK);
    for (UINT y = 0; y < d.Height; ++y)
      for (UINT x = 0; x < d.Width; ++x)
        reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(l.pBits) + y * l.Pitch)[x] = 0xFF000000u | y << 8 | x;
    ASSERT_EQ(speicher->UnlockRect(), D3D_OK);
    ASSERT_EQ(mGeraet->UpdateSurface(speicher, nullptr, f.Flaeche, nullptr), D3D_OK);
    speicher->Release();
    // One texel written at (1, 2) of the lock; the lock shows the texel at (0, 0) of it.
    ASSERT_EQ(f.Flaeche->LockRect(&l, f.Rechteck, 0), D3D_OK);
    const UINT x0 = f.Rechteck ? 1 : 0, y0 = f.Rechteck ? 1 : 0;
    EXPECT_EQ(*static_cast<uint32_t*>(l.pBits), 0xFF000000u | y0 << 8 | x0);
    reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(l.pBits) + 2 * l.Pitch)[1] = 0xFFABCDEFu;
    ASSERT_EQ(f.Flaeche->UnlockRect(), D3D_OK);
    const auto pixel = LiesFlaeche(f.Flaeche);
    int falsch = 0;
    for (UINT y = 0; y < d.Height; ++y)
      for (UINT x = 0; x < d.Width; ++x) {
        const uint32_t soll = x == x0 + 1 && y == y0 + 2 ? 0xFFABCDEFu : 0xFF000000u | y << 8 | x;
        if (pixel[y * d.Width + x] != soll && ++falsch <= 3)
          ADD_FAILURE() << x << "," << y << ": " << std::hex << pixel[y * d.Width + x];
      }
    EXPECT_EQ(falsch, 0);
  }
  for (auto* o : {stufe0, stufe1, seite, z}) o->Release();
  t->Release();
  w->Release();
}

}  // namespace
}  // namespace D3D9Test
