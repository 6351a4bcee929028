#pragma once
// A window, a device and a small shader pair for the layer's pixel tests. The shaders are
// written by hand in the shape our HLSL compiler gives: Direct3D clip space flipped and
// moved to OpenGL's depth range, then the half-pixel epilogue.
#include <epoxy/gl.h>
// (epoxy before GLFW)
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "plattform/d3d9/d3d9.h"
#include "plattform/d3d9/d3d9_shadercode.h"
#include "tests/grafik/gemeinsam/grafik_testhilfe.h"

namespace D3D9Test {

constexpr UINT B = 64, H = 64;

// Registers 0-3: the matrix rows (pixel position -> clip space); register 4: an offset in
// pixels added to every vertex. Inputs: POSITION0 (pixel x, y, depth), TEXCOORD0 (uv),
// TEXCOORD1 (extra offset, per instance or per vertex).
inline const char* kVertexGlsl = R"(#version 330 core
layout(std140) uniform QuarzVSKonst { vec4 reg[5]; } vsk;
uniform vec2 weilerbau_halbpixel;
layout(location = 0) in vec3 pos;
layout(location = 1) in vec2 uv;
layout(location = 2) in vec2 versatz;
out vec2 quarz_TEXCOORD0;
void main() {
  vec4 p = vec4(pos.xy + versatz + vsk.reg[4].xy, pos.z, 1.0);
  gl_Position = vec4(dot(vsk.reg[0], p), dot(vsk.reg[1], p), dot(vsk.reg[2], p), dot(vsk.reg[3], p));
  quarz_TEXCOORD0 = uv;
  gl_Position.y = -gl_Position.y;
  gl_Position.z = 2.0 * gl_Position.z - gl_Position.w;
  gl_Position.xy += weilerbau_halbpixel * gl_Position.w;
}
)";

// colour = texture * c0 + c1 (an unbound sampler reads (0, 0, 0, 1)); c2.xyz and c3.x are
// packed into one 16-byte slot as a float3 and a float are.
inline const char* kPixelGlsl = R"(#version 330 core
layout(std140) uniform QuarzPSKonst { vec4 mal; vec4 plus; vec3 drei; float eins; } psk;
uniform sampler2D qps_Textur;
in vec2 quarz_TEXCOORD0;
layout(location = 0) out vec4 farbe;
void main() {
  farbe = texture(qps_Textur, quarz_TEXCOORD0) * psk.mal + psk.plus + vec4(psk.drei, psk.eins);
}
)";

struct TVertex {
  float x, y, z, u, v;
};

// A shader record for the layer: stage, GLSL and the uniform block its constants go into.
inline Plattform::TShaderCode Code(uint32_t stufe, std::string glsl, const char* block = "",
                                   uint32_t bytes = 0,
                                   std::vector<Plattform::TShaderCode::Kopie> kopien = {}) {
  Plattform::TShaderCode c;
  c.Stufe = stufe;
  c.Glsl = std::move(glsl);
  c.BlockName = block;
  c.BlockBytes = bytes;
  c.Kopien = std::move(kopien);
  return c;
}

inline std::vector<uint8_t> VertexCode() {
  auto c = Code(Plattform::TShaderCode::Vertex, kVertexGlsl, "QuarzVSKonst", 80, {{0, 0, 80}});
  c.Eingaenge = {{0, "POSITION0"}, {1, "TEXCOORD0"}, {2, "TEXCOORD1"}};
  return c.Serialisiere();
}

inline std::vector<uint8_t> PixelCode() {
  // c0, c1 whole; the float3 in c2 and the float in c3 share the third slot.
  auto c = Code(Plattform::TShaderCode::Pixel, kPixelGlsl, "QuarzPSKonst", 48,
                {{0, 0, 32}, {2, 32, 12}, {3, 44, 4}});
  c.Samplers = {{0, "qps_Textur"}};
  return c.Serialisiere();
}

class D3D9Umgebung : public ::testing::Test {
 protected:
  void SetUp() override {
    Plattform::SetzeVideoRAMBudget(UINT64_MAX);
    ASSERT_TRUE(glfwInit());
    mFenster = OeffneVerstecktesFenster(static_cast<int>(B), static_cast<int>(H), 4, 5);
    ASSERT_NE(mFenster, nullptr);
    mD3D = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(mD3D, nullptr);
    mParameter = Parameter();
    ASSERT_EQ(mD3D->CreateDevice(0, D3DDEVTYPE_HAL, mFenster, 0x52, &mParameter, &mGeraet), D3D_OK);
    ASSERT_EQ(mGeraet->CreateVertexShader(reinterpret_cast<const DWORD*>(mVsCode.data()), &mVs), D3D_OK);
    ASSERT_EQ(mGeraet->CreatePixelShader(reinterpret_cast<const DWORD*>(mPsCode.data()), &mPs), D3D_OK);
    const D3DVERTEXELEMENT9 elemente[] = {
        {0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0},
        {0, 12, D3DDECLTYPE_FLOAT2, 0, D3DDECLUSAGE_TEXCOORD, 0},
        {1, 0, D3DDECLTYPE_FLOAT2, 0, D3DDECLUSAGE_TEXCOORD, 1},
        D3DDECL_END()};
    ASSERT_EQ(mGeraet->CreateVertexDeclaration(elemente, &mDeklaration), D3D_OK);
    const uint16_t indizes[] = {0, 1, 2, 1, 3, 2};
    mIndizes = IndexPuffer(indizes, sizeof(indizes));
    BindeAlles();
    mGeraet->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
  }

  void TearDown() override {
    Plattform::SicherFreigeben(mIndizes);
    Plattform::SicherFreigeben(mDeklaration);
    Plattform::SicherFreigeben(mPs);
    Plattform::SicherFreigeben(mVs);
    if (mGeraet) {
      EXPECT_EQ(mGeraet->Release(), 0u);
    }
    Plattform::SicherFreigeben(mD3D);
    if (mFenster) glfwDestroyWindow(mFenster);
    glfwTerminate();
    Plattform::SetzeVideoRAMBudget(UINT64_MAX);
  }


 public:
  static D3DPRESENT_PARAMETERS Parameter() {
    D3DPRESENT_PARAMETERS p{};
    p.BackBufferFormat = D3DFMT_X8R8G8B8;
    p.SwapEffect = D3DSWAPEFFECT_DISCARD;
    p.Windowed = TRUE;
    p.EnableAutoDepthStencil = TRUE;
    p.AutoDepthStencilFormat = D3DFMT_D24X8;
    p.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;
    p.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    return p;
  }

 protected:
  // Binds shaders, declaration, indices and the pixel matrix for a target of w x h.
  void BindeAlles(UINT w = B, UINT h = H) {
    ASSERT_EQ(mGeraet->SetVertexShader(mVs), D3D_OK);
    ASSERT_EQ(mGeraet->SetPixelShader(mPs), D3D_OK);
    ASSERT_EQ(mGeraet->SetVertexDeclaration(mDeklaration), D3D_OK);
    ASSERT_EQ(mGeraet->SetIndices(mIndizes), D3D_OK);
    SetzeMatrix(w, h);
    Farbe(0, 0, 0, 0, 0, 0, 0, 0);
    const float null4[4] = {0, 0, 0, 0};
    mGeraet->SetVertexShaderConstantF(4, null4, 1);
  }

  void SetzeMatrix(UINT w, UINT h) {
    const float fw = static_cast<float>(w), fh = static_cast<float>(h);
    const float m[16] = {2 / fw, 0, 0, -1, 0, -2 / fh, 0, 1, 0, 0, 1, 0, 0, 0, 0, 1};
    ASSERT_EQ(mGeraet->SetVertexShaderConstantF(0, m, 4), D3D_OK);
  }

  // colour = texture * mal + plus
  void Farbe(float mr, float mg, float mb, float ma, float pr, float pg, float pb, float pa) {
    const float c[8] = {mr, mg, mb, ma, pr, pg, pb, pa};
    ASSERT_EQ(mGeraet->SetPixelShaderConstantF(0, c, 2), D3D_OK);
  }

  IDirect3DVertexBuffer9* VertexPuffer(const void* daten, UINT bytes, DWORD usage = 0) {
    IDirect3DVertexBuffer9* vb = nullptr;
    EXPECT_EQ(mGeraet->CreateVertexBuffer(bytes, usage, 0, D3DPOOL_DEFAULT, &vb, nullptr), D3D_OK);
    void* p = nullptr;
    EXPECT_EQ(vb->Lock(0, 0, &p, 0), D3D_OK);
    std::memcpy(p, daten, bytes);
    EXPECT_EQ(vb->Unlock(), D3D_OK);
    return vb;
  }

  IDirect3DIndexBuffer9* IndexPuffer(const void* daten, UINT bytes) {
    IDirect3DIndexBuffer9* ib = nullptr;
    EXPECT_EQ(mGeraet->CreateIndexBuffer(bytes, 0, D3DFMT_INDEX16, D3DPOOL_DEFAULT, &ib, nullptr), D3D_OK);
    void* p = nullptr;
    EXPECT_EQ(ib->Lock(0, 0, &p, 0), D3D_OK);
    std::memcpy(p, daten, bytes);
    EXPECT_EQ(ib->Unlock(), D3D_OK);
    return ib;
  }

  // A rectangle of pixels [x0, x1) x [y0, y1) placed the Direct3D 9 way (half a pixel up and
  // left), clockwise, with uv 0..1.
  static std::vector<TVertex> Rechteck(float x0, float y0, float x1, float y1, float z = 0.5f) {
    return {{x0 - 0.5f, y0 - 0.5f, z, 0, 0},
            {x1 - 0.5f, y0 - 0.5f, z, 1, 0},
            {x0 - 0.5f, y1 - 0.5f, z, 0, 1},
            {x1 - 0.5f, y1 - 0.5f, z, 1, 1}};
  }

  // Draws the two triangles of four vertices (indices 0 1 2, 1 3 2).
  void Zeichne(const std::vector<TVertex>& v, bool gegenUhrzeiger = false) {
    std::vector<TVertex> ecken = v;
    if (gegenUhrzeiger) std::swap(ecken[1], ecken[2]);
    IDirect3DVertexBuffer9* vb = VertexPuffer(ecken.data(), static_cast<UINT>(ecken.size() * sizeof(TVertex)));
    ASSERT_EQ(mGeraet->SetStreamSource(0, vb, 0, sizeof(TVertex)), D3D_OK);
    ASSERT_EQ(mGeraet->BeginScene(), D3D_OK);
    EXPECT_EQ(mGeraet->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2), D3D_OK);
    ASSERT_EQ(mGeraet->EndScene(), D3D_OK);
    mGeraet->SetStreamSource(0, nullptr, 0, 0);
    vb->Release();
  }

  // The back buffer (or another A8R8G8B8/X8R8G8B8 surface), row 0 on top, as 0xAARRGGBB.
  std::vector<uint32_t> LiesFlaeche(IDirect3DSurface9* o) {
    D3DSURFACE_DESC d{};
    o->GetDesc(&d);
    std::vector<uint32_t> pixel(static_cast<size_t>(d.Width) * d.Height);
    D3DLOCKED_RECT l{};
    EXPECT_EQ(o->LockRect(&l, nullptr, D3DLOCK_READONLY), D3D_OK);
    for (UINT y = 0; y < d.Height; ++y)
      std::memcpy(&pixel[static_cast<size_t>(y) * d.Width], static_cast<uint8_t*>(l.pBits) + y * static_cast<size_t>(l.Pitch),
                  d.Width * 4);
    EXPECT_EQ(o->UnlockRect(), D3D_OK);
    return pixel;
  }

  std::vector<uint32_t> LiesBild() {
    IDirect3DSurface9* rp = nullptr;
    EXPECT_EQ(mGeraet->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &rp), D3D_OK);
    auto pixel = LiesFlaeche(rp);
    rp->Release();
    // X8R8G8B8: the top byte means nothing.
    for (uint32_t& p : pixel) p |= 0xFF000000u;
    return pixel;
  }

  GLFWwindow* mFenster = nullptr;
  IDirect3D9* mD3D = nullptr;
  IDirect3DDevice9* mGeraet = nullptr;
  D3DPRESENT_PARAMETERS mParameter{};
  std::vector<uint8_t> mVsCode = VertexCode();
  std::vector<uint8_t> mPsCode = PixelCode();
  IDirect3DVertexShader9* mVs = nullptr;
  IDirect3DPixelShader9* mPs = nullptr;
  IDirect3DVertexDeclaration9* mDeklaration = nullptr;
  IDirect3DIndexBuffer9* mIndizes = nullptr;
};

inline uint32_t Pixel(const std::vector<uint32_t>& bild, UINT x, UINT y, UINT breite = B) {
  return bild[static_cast<size_t>(y) * breite + x];
}

}  // namespace D3D9Test
