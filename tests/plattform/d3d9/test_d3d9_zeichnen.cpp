// Pixel tests of the layer: what is drawn must land where Direct3D 9 would put it.
#include <cmath>
#include <string>

#include "tests/plattform/d3d9/d3d9_testumgebung.h"

namespace D3D9Test {
namespace {

using Zeichnen = D3D9Umgebung;

constexpr uint32_t kRot = 0xFFFF0000u, kGruen = 0xFF00FF00u, kBlau = 0xFF0000FFu, kSchwarz = 0xFF000000u;

// Counts pixels of a colour inside [x0, x1) x [y0, y1) and outside it.
struct TZaehlung {
  int innen = 0, aussen = 0;
};
TZaehlung Zaehle(const std::vector<uint32_t>& bild, uint32_t farbe, UINT x0, UINT y0, UINT x1, UINT y1) {
  TZaehlung z;
  for (UINT y = 0; y < H; ++y)
    for (UINT x = 0; x < B; ++x)
      if (Pixel(bild, x, y) == farbe) (x >= x0 && x < x1 && y >= y0 && y < y1 ? z.innen : z.aussen)++;
  return z;
}

TEST_F(Zeichnen, ClearPacktDieFarbeBitgenau) {
  for (D3DCOLOR farbe : {0xFF102030u, 0xFF000001u, 0xFFFEFDFCu, 0xFF7F8081u}) {
    ASSERT_EQ(mGeraet->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, farbe, 1.0f, 0), D3D_OK);
    const auto bild = LiesBild();
    EXPECT_EQ(Pixel(bild, 0, 0), farbe);
    EXPECT_EQ(Pixel(bild, B - 1, H - 1), farbe);
  }
}

TEST_F(Zeichnen, ClearUndZeichnenBleibenImViewport) {
  mGeraet->Clear(0, nullptr, D3DCLEAR_TARGET, kSchwarz, 1.0f, 0);
  const D3DVIEWPORT9 vp{10, 20, 16, 8, 0.0f, 1.0f};
  ASSERT_EQ(mGeraet->SetViewport(&vp), D3D_OK);
  ASSERT_EQ(mGeraet->Clear(0, nullptr, D3DCLEAR_TARGET, kRot, 1.0f, 0), D3D_OK);
  TZaehlung z = Zaehle(LiesBild(), kRot, 10, 20, 26, 28);
  EXPECT_EQ(z.innen, 16 * 8);
  EXPECT_EQ(z.aussen, 0);
  // A quad over the whole target drawn into the viewport covers exactly the viewport.
  SetzeMatrix(16, 8);
  Farbe(0, 0, 0, 0, 0, 1, 0, 1);
  Zeichne(Rechteck(-10, -10, 100, 100));
  z = Zaehle(LiesBild(), kGruen, 10, 20, 26, 28);
  EXPECT_EQ(z.innen, 16 * 8);
  EXPECT_EQ(z.aussen, 0);
  // Rectangles of Clear are cut to the viewport too.
  const RECT r{0, 0, 12, 22};
  ASSERT_EQ(mGeraet->Clear(1, &r, D3DCLEAR_TARGET, kBlau, 1.0f, 0), D3D_OK);
  z = Zaehle(LiesBild(), kBlau, 10, 20, 12, 22);
  EXPECT_EQ(z.innen, 4);
  EXPECT_EQ(z.aussen, 0);
  // A viewport beyond the target is refused; render target 0 restores the full viewport.
  const D3DVIEWPORT9 zuGross{60, 0, 8, 8, 0.0f, 1.0f};
  EXPECT_EQ(mGeraet->SetViewport(&zuGross), D3DERR_INVALIDCALL);
  IDirect3DSurface9* rp = nullptr;
  mGeraet->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &rp);
  ASSERT_EQ(mGeraet->SetRenderTarget(0, rp), D3D_OK);
  rp->Release();
  D3DVIEWPORT9 jetzt{};
  mGeraet->GetViewport(&jetzt);
  EXPECT_EQ(jetzt.X, 0u);
  EXPECT_EQ(jetzt.Width, B);
  EXPECT_EQ(jetzt.Height, H);
}

// A 16 x 16 texture drawn on 16 x 16 pixels with linear filtering: every pixel shows its
// texel, unblurred and unshifted.
TEST_F(Zeichnen, TexturErscheintTexelGenau) {
  IDirect3DTexture9* t = nullptr;
  ASSERT_EQ(mGeraet->CreateTexture(16, 16, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &t, nullptr), D3D_OK);
  D3DLOCKED_RECT l{};
  ASSERT_EQ(t->LockRect(0, &l, nullptr, 0), D3D_OK);
  for (UINT y = 0; y < 16; ++y)
    for (UINT x = 0; x < 16; ++x)
      reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(l.pBits) + y * l.Pitch)[x] =
          0xFF000000u | (x * 16) << 16 | (y * 16) << 8 | 0x40;
  ASSERT_EQ(t->UnlockRect(0), D3D_OK);
  mGeraet->SetTexture(0, t);
  mGeraet->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
  mGeraet->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
  mGeraet->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
  mGeraet->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
  mGeraet->Clear(0, nullptr, D3DCLEAR_TARGET, kSchwarz, 1.0f, 0);
  Farbe(1, 1, 1, 1, 0, 0, 0, 0);
  Zeichne(Rechteck(8, 8, 24, 24));
  const auto bild = LiesBild();
  int falsch = 0;
  for (UINT y = 0; y < H; ++y)
    for (UINT x = 0; x < B; ++x) {
      const bool innen = x >= 8 && x < 24 && y >= 8 && y < 24;
      const uint32_t soll = innen ? 0xFF000000u | ((x - 8) * 16) << 16 | ((y - 8) * 16) << 8 | 0x40 : kSchwarz;
      falsch += Pixel(bild, x, y) != soll;
    }
  EXPECT_EQ(falsch, 0);
  mGeraet->SetTexture(0, nullptr);
  t->Release();
}

// Drawn into a texture and read back, the top of the picture is row 0; drawn from that
// texture onto the screen, it stays on top.
TEST_F(Zeichnen, RenderZielHinUndZurueckOhneSpiegelung) {
  IDirect3DTexture9* ziel = nullptr;
  ASSERT_EQ(mGeraet->CreateTexture(32, 32, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &ziel, nullptr), D3D_OK);
  IDirect3DSurface9* flaeche = nullptr;
  ASSERT_EQ(ziel->GetSurfaceLevel(0, &flaeche), D3D_OK);
  ASSERT_EQ(mGeraet->SetRenderTarget(0, flaeche), D3D_OK);
  mGeraet->SetDepthStencilSurface(nullptr);
  mGeraet->Clear(0, nullptr, D3DCLEAR_TARGET, kBlau, 1.0f, 0);
  SetzeMatrix(32, 32);
  Farbe(0, 0, 0, 0, 1, 0, 0, 1);
  Zeichne(Rechteck(0, 0, 32, 4));  // the top four rows red
  IDirect3DSurface9* kopie = nullptr;
  ASSERT_EQ(mGeraet->CreateOffscreenPlainSurface(32, 32, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &kopie, nullptr), D3D_OK);
  ASSERT_EQ(mGeraet->GetRenderTargetData(flaeche, kopie), D3D_OK);
  const auto zielBild = LiesFlaeche(kopie);
  EXPECT_EQ(zielBild[0], kRot);
  EXPECT_EQ(zielBild[3 * 32 + 31], kRot);
  EXPECT_EQ(zielBild[4 * 32], kBlau);
  EXPECT_EQ(zielBild[31 * 32], kBlau);
  kopie->Release();

  IDirect3DSurface9* rp = nullptr;
  mGeraet->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &rp);
  mGeraet->SetRenderTarget(0, rp);
  rp->Release();
  mGeraet->SetTexture(0, ziel);
  SetzeMatrix(B, H);
  Farbe(1, 1, 1, 1, 0, 0, 0, 0);
  mGeraet->Clear(0, nullptr, D3DCLEAR_TARGET, kSchwarz, 1.0f, 0);
  Zeichne(Rechteck(0, 0, 32, 32));
  const auto bild = LiesBild();
  EXPECT_EQ(Pixel(bild, 5, 0), kRot);
  EXPECT_EQ(Pixel(bild, 5, 3), kRot);
  EXPECT_EQ(Pixel(bild, 5, 4), kBlau);
  EXPECT_EQ(Pixel(bild, 5, 31), kBlau);
  mGeraet->SetTexture(0, nullptr);
  flaeche->Release();
  ziel->Release();
}

// Depth runs from 0 at the near plane: z = 0 is drawn, z < 0 is clipped, LESS keeps the
// nearer of two.
TEST_F(Zeichnen, TiefeBeginntBeiNull) {
  mGeraet->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
  mGeraet->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESS);
  mGeraet->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kSchwarz, 1.0f, 0);
  Farbe(0, 0, 0, 0, 1, 0, 0, 1);
  Zeichne(Rechteck(0, 0, 8, 8, 0.0f));
  Zeichne(Rechteck(8, 0, 16, 8, -0.01f));
  Farbe(0, 0, 0, 0, 0, 1, 0, 1);
  Zeichne(Rechteck(16, 0, 24, 8, 0.5f));
  Farbe(0, 0, 0, 0, 0, 0, 1, 1);
  Zeichne(Rechteck(16, 0, 24, 8, 0.6f));  // behind: hidden
  Zeichne(Rechteck(24, 0, 32, 8, 0.999f));
  const auto bild = LiesBild();
  EXPECT_EQ(Pixel(bild, 4, 4), kRot);
  EXPECT_EQ(Pixel(bild, 12, 4), kSchwarz);
  EXPECT_EQ(Pixel(bild, 20, 4), kGruen);
  EXPECT_EQ(Pixel(bild, 28, 4), kBlau);
  // With writes off the depth stays: the blue quad at 0.6 still fails against 0.5.
  mGeraet->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
  Farbe(0, 0, 0, 0, 1, 1, 1, 1);
  Zeichne(Rechteck(16, 0, 24, 8, 0.4f));
  Farbe(0, 0, 0, 0, 0, 0, 1, 1);
  Zeichne(Rechteck(16, 0, 24, 8, 0.45f));
  EXPECT_EQ(Pixel(LiesBild(), 20, 4), kBlau);
}

// Direct3D's front faces are clockwise on screen.
TEST_F(Zeichnen, RueckseitenNachDirect3DUmlaufsinn) {
  struct TFall {
    DWORD Modus;
    bool Uhrzeiger, Sichtbar;
  };
  const TFall faelle[] = {{D3DCULL_NONE, true, true},  {D3DCULL_NONE, false, true},
                          {D3DCULL_CCW, true, true},   {D3DCULL_CCW, false, false},
                          {D3DCULL_CW, true, false},   {D3DCULL_CW, false, true}};
  Farbe(0, 0, 0, 0, 1, 0, 0, 1);
  for (const TFall& f : faelle) {
    mGeraet->Clear(0, nullptr, D3DCLEAR_TARGET, kSchwarz, 1.0f, 0);
    mGeraet->SetRenderState(D3DRS_CULLMODE, f.Modus);
    Zeichne(Rechteck(4, 4, 12, 12), !f.Uhrzeiger);
    EXPECT_EQ(Pixel(LiesBild(), 8, 8) == kRot, f.Sichtbar) << "Modus " << f.Modus << " Uhrzeiger " << f.Uhrzeiger;
  }
}

TEST_F(Zeichnen, VormultipliziertesBlendenUndSchreibmaske) {
  mGeraet->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF808080u, 1.0f, 0);
  mGeraet->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  mGeraet->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
  mGeraet->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  // Premultiplied red at half coverage over grey: (0.5 + 0.5 * 0.502, 0.5 * 0.502, ...).
  Farbe(0, 0, 0, 0, 0.5f, 0, 0, 0.5f);
  Zeichne(Rechteck(0, 0, 8, 8));
  const uint32_t p = Pixel(LiesBild(), 4, 4);
  EXPECT_NEAR(static_cast<int>((p >> 16) & 0xFF), 192, 1);
  EXPECT_NEAR(static_cast<int>((p >> 8) & 0xFF), 64, 1);
  EXPECT_NEAR(static_cast<int>(p & 0xFF), 64, 1);
  // Only green may be written.
  mGeraet->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
  mGeraet->SetRenderState(D3DRS_COLORWRITEENABLE, D3DCOLORWRITEENABLE_GREEN);
  Farbe(0, 0, 0, 0, 1, 1, 1, 1);
  Zeichne(Rechteck(8, 0, 16, 8));
  EXPECT_EQ(Pixel(LiesBild(), 12, 4), 0xFF80FF80u);
  // Clear ignores the mask.
  mGeraet->Clear(0, nullptr, D3DCLEAR_TARGET, kBlau, 1.0f, 0);
  EXPECT_EQ(Pixel(LiesBild(), 12, 4), kBlau);
}

// A float3 and a float in one 16-byte slot each come from their own register.
TEST_F(Zeichnen, GepackteKonstantenKommenAusIhrenRegistern) {
  mGeraet->Clear(0, nullptr, D3DCLEAR_TARGET, kSchwarz, 1.0f, 0);
  const float drei[4] = {0.0f, 1.0f, 0.0f, 99.0f};  // only xyz reach the shader
  const float eins[4] = {1.0f, 55.0f, 55.0f, 55.0f};
  ASSERT_EQ(mGeraet->SetPixelShaderConstantF(2, drei, 1), D3D_OK);
  ASSERT_EQ(mGeraet->SetPixelShaderConstantF(3, eins, 1), D3D_OK);
  Zeichne(Rechteck(0, 0, 8, 8));
  EXPECT_EQ(Pixel(LiesBild(), 4, 4), kGruen);
  // Changing one register between draws reaches the next draw.
  const float rot[4] = {1.0f, 0.0f, 0.0f, 0.0f};
  ASSERT_EQ(mGeraet->SetPixelShaderConstantF(2, rot, 1), D3D_OK);
  Zeichne(Rechteck(8, 0, 16, 8));
  const auto bild = LiesBild();
  EXPECT_EQ(Pixel(bild, 4, 4), kGruen);
  EXPECT_EQ(Pixel(bild, 12, 4), kRot);
  EXPECT_EQ(mGeraet->SetPixelShaderConstantF(223, rot, 2), D3DERR_INVALIDCALL);
  EXPECT_EQ(mGeraet->SetVertexShaderConstantF(255, rot, 1), D3D_OK);
}

// A pixel shader with two outputs writes render targets 0 and 1; a target left empty
// afterwards takes nothing.
TEST_F(Zeichnen, ZweiRenderZieleZugleich) {
  D3DCAPS9 caps{};
  mGeraet->GetDeviceCaps(&caps);
  if (caps.NumSimultaneousRTs < 2) GTEST_SKIP() << "one render target only";
  const auto bytes = Code(Plattform::TShaderCode::Pixel, R"(#version 330 core
layout(location = 0) out vec4 farbe0;
layout(location = 1) out vec4 farbe1;
void main() { farbe0 = vec4(1.0, 0.0, 0.0, 1.0); farbe1 = vec4(0.0, 0.0, 1.0, 1.0); }
)").Serialisiere();
  IDirect3DPixelShader9* ps = nullptr;
  ASSERT_EQ(mGeraet->CreatePixelShader(reinterpret_cast<const DWORD*>(bytes.data()), &ps), D3D_OK);
  IDirect3DTexture9* t[2] = {};
  IDirect3DSurface9* f[2] = {};
  for (int i = 0; i < 2; ++i) {
    ASSERT_EQ(mGeraet->CreateTexture(8, 8, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &t[i], nullptr), D3D_OK);
    t[i]->GetSurfaceLevel(0, &f[i]);
    ASSERT_EQ(mGeraet->SetRenderTarget(static_cast<DWORD>(i), f[i]), D3D_OK);
  }
  EXPECT_EQ(mGeraet->SetRenderTarget(0, nullptr), D3DERR_INVALIDCALL);
  mGeraet->SetDepthStencilSurface(nullptr);
  mGeraet->Clear(0, nullptr, D3DCLEAR_TARGET, kSchwarz, 1.0f, 0);
  mGeraet->SetPixelShader(ps);
  SetzeMatrix(8, 8);
  Zeichne(Rechteck(0, 0, 8, 8));
  IDirect3DSurface9* kopie = nullptr;
  mGeraet->CreateOffscreenPlainSurface(8, 8, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &kopie, nullptr);
  mGeraet->GetRenderTargetData(f[0], kopie);
  EXPECT_EQ(LiesFlaeche(kopie)[9], kRot);
  mGeraet->GetRenderTargetData(f[1], kopie);
  EXPECT_EQ(LiesFlaeche(kopie)[9], kBlau);
  // Without target 1 the second output goes nowhere.
  ASSERT_EQ(mGeraet->SetRenderTarget(1, nullptr), D3D_OK);
  mGeraet->Clear(0, nullptr, D3DCLEAR_TARGET, kGruen, 1.0f, 0);  // clears target 0 only
  mGeraet->GetRenderTargetData(f[1], kopie);
  EXPECT_EQ(LiesFlaeche(kopie)[9], kBlau);
  mGeraet->SetPixelShader(mPs);
  kopie->Release();
  IDirect3DSurface9* rp = nullptr;
  mGeraet->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &rp);
  mGeraet->SetRenderTarget(0, rp);
  rp->Release();
  for (int i = 0; i < 2; ++i) {
    f[i]->Release();
    EXPECT_EQ(t[i]->Release(), 0u);
  }
  ps->Release();
}

// Integer constants live in float registers: the layer truncates toward zero and clamps
// to the integer type on the way into the uniform block.
TEST_F(Zeichnen, GanzzahlKonstantenWerdenUmgewandelt) {
  using K = Plattform::TShaderCode::Kopie;
  const auto bytes = Code(Plattform::TShaderCode::Pixel, R"(#version 330 core
layout(std140) uniform QuarzPSKonst { int n; uint u; uint gross; } psk;
layout(location = 0) out vec4 farbe;
void main() {
  farbe = vec4(psk.n == -2 ? 1.0 : 0.0, psk.u == 0u ? 1.0 : 0.0, psk.gross == 4294967295u ? 1.0 : 0.0, 1.0);
}
)", "QuarzPSKonst", 16, {{0, 0, 4, K::NachInt}, {1, 4, 4, K::NachUint}, {2, 8, 4, K::NachUint}})
                         .Serialisiere();
  IDirect3DPixelShader9* ps = nullptr;
  ASSERT_EQ(mGeraet->CreatePixelShader(reinterpret_cast<const DWORD*>(bytes.data()), &ps), D3D_OK);
  mGeraet->SetPixelShader(ps);
  const float werte[12] = {-2.7f, 0, 0, 0, -5.0f, 0, 0, 0, 1e20f, 0, 0, 0};
  mGeraet->SetPixelShaderConstantF(0, werte, 3);
  mGeraet->Clear(0, nullptr, D3DCLEAR_TARGET, kSchwarz, 1.0f, 0);
  Zeichne(Rechteck(0, 0, 8, 8));
  EXPECT_EQ(Pixel(LiesBild(), 4, 4), 0xFFFFFFFFu);
  mGeraet->SetPixelShader(mPs);
  ps->Release();
}

// Three instances, then an ordinary draw: the per-instance stream becomes per-vertex data
// again as soon as stream 0 no longer carries indexed data.
TEST_F(Zeichnen, DreiInstanzenDannEinGewoehnlicherAufruf) {
  mGeraet->Clear(0, nullptr, D3DCLEAR_TARGET, kSchwarz, 1.0f, 0);
  Farbe(0, 0, 0, 0, 1, 0, 0, 1);
  const auto quad = Rechteck(4, 4, 12, 12);
  const float instanzen[] = {0, 0, 20, 0, 40, 0};
  IDirect3DVertexBuffer9* vb = VertexPuffer(quad.data(), static_cast<UINT>(quad.size() * sizeof(TVertex)));
  IDirect3DVertexBuffer9* ib = VertexPuffer(instanzen, sizeof(instanzen));
  mGeraet->SetStreamSource(0, vb, 0, sizeof(TVertex));
  mGeraet->SetStreamSource(1, ib, 0, 8);
  ASSERT_EQ(mGeraet->SetStreamSourceFreq(0, D3DSTREAMSOURCE_INDEXEDDATA | 3), D3D_OK);
  ASSERT_EQ(mGeraet->SetStreamSourceFreq(1, D3DSTREAMSOURCE_INSTANCEDATA | 1), D3D_OK);
  mGeraet->BeginScene();
  EXPECT_EQ(mGeraet->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2), D3D_OK);
  auto bild = LiesBild();
  EXPECT_EQ(Pixel(bild, 8, 8), kRot);
  EXPECT_EQ(Pixel(bild, 28, 8), kRot);
  EXPECT_EQ(Pixel(bild, 48, 8), kRot);
  EXPECT_EQ(Pixel(bild, 18, 8), kSchwarz);

  // All four corners at one point; stream 1 spreads them per vertex. Drawn per instance,
  // the quad would collapse to nothing.
  const auto punkt = Rechteck(4, 40, 4, 40);
  const float ecken[] = {0, 0, 8, 0, 0, 8, 8, 8};
  IDirect3DVertexBuffer9* vb2 = VertexPuffer(punkt.data(), static_cast<UINT>(punkt.size() * sizeof(TVertex)));
  IDirect3DVertexBuffer9* ib2 = VertexPuffer(ecken, sizeof(ecken));
  mGeraet->SetStreamSource(0, vb2, 0, sizeof(TVertex));
  mGeraet->SetStreamSource(1, ib2, 0, 8);
  ASSERT_EQ(mGeraet->SetStreamSourceFreq(0, 1), D3D_OK);
  Farbe(0, 0, 0, 0, 0, 1, 0, 1);
  EXPECT_EQ(mGeraet->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2), D3D_OK);
  mGeraet->EndScene();
  bild = LiesBild();
  const TZaehlung z = Zaehle(bild, kGruen, 4, 40, 12, 48);
  EXPECT_EQ(z.innen, 64);
  EXPECT_EQ(z.aussen, 0);
  mGeraet->SetStreamSource(0, nullptr, 0, 0);
  mGeraet->SetStreamSource(1, nullptr, 0, 0);
  for (auto* p : {vb, ib, vb2, ib2}) p->Release();
}

TEST_F(Zeichnen, ZeichnenAusserhalbDerSzeneOderOhneShaderWirdAbgelehnt) {
  const auto quad = Rechteck(0, 0, 4, 4);
  IDirect3DVertexBuffer9* vb = VertexPuffer(quad.data(), static_cast<UINT>(quad.size() * sizeof(TVertex)));
  mGeraet->SetStreamSource(0, vb, 0, sizeof(TVertex));
  EXPECT_EQ(mGeraet->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2), D3DERR_INVALIDCALL);
  mGeraet->BeginScene();
  EXPECT_EQ(mGeraet->BeginScene(), D3DERR_INVALIDCALL);
  // Six indices hold two triangles, not three.
  EXPECT_EQ(mGeraet->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 3), D3DERR_INVALIDCALL);
  mGeraet->SetPixelShader(nullptr);
  EXPECT_EQ(mGeraet->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2), D3DERR_INVALIDCALL);
  mGeraet->EndScene();
  EXPECT_EQ(mGeraet->EndScene(), D3DERR_INVALIDCALL);
  mGeraet->SetStreamSource(0, nullptr, 0, 0);
  vb->Release();
}

// Vertex sampler n reads the texture bound at stage 257 + n, not a pixel stage's and not
// another vertex stage's: here the texel of vertex sampler 1 moves the quad by (8, 4) pixels.
TEST_F(Zeichnen, VertexSamplerLiestSeineEigeneStufe) {
  std::string glsl = kVertexGlsl;
  const std::string alt = "vsk.reg[4].xy";
  glsl.insert(glsl.find("uniform vec2"), "uniform sampler2D weilerbau_vs_verschiebung;\n");
  glsl.replace(glsl.find(alt), alt.size(),
               "floor(textureLod(weilerbau_vs_verschiebung, vec2(0.5), 0.0).xy * 255.0 + 0.5)");
  auto c = Code(Plattform::TShaderCode::Vertex, glsl, "QuarzVSKonst", 80, {{0, 0, 80}});
  c.Samplers = {{1, "weilerbau_vs_verschiebung"}};
  const std::vector<uint8_t> code = c.Serialisiere();
  IDirect3DVertexShader9* vs = nullptr;
  ASSERT_EQ(mGeraet->CreateVertexShader(reinterpret_cast<const DWORD*>(code.data()), &vs), D3D_OK);

  // One texel each: red = x shift, green = y shift, in pixels.
  auto texel = [&](uint32_t argb) {
    IDirect3DTexture9* t = nullptr;
    EXPECT_EQ(mGeraet->CreateTexture(1, 1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &t, nullptr), D3D_OK);
    D3DLOCKED_RECT l{};
    EXPECT_EQ(t->LockRect(0, &l, nullptr, 0), D3D_OK);
    std::memcpy(l.pBits, &argb, 4);
    EXPECT_EQ(t->UnlockRect(0), D3D_OK);
    return t;
  };
  IDirect3DTexture9* richtig = texel(0xFF080400u);
  IDirect3DTexture9* nachbar = texel(0xFF141400u);
  IDirect3DTexture9* pixelStufe = texel(0xFF000000u);
  ASSERT_EQ(mGeraet->SetTexture(D3DVERTEXTEXTURESAMPLER1, richtig), D3D_OK);
  ASSERT_EQ(mGeraet->SetTexture(D3DVERTEXTEXTURESAMPLER0, nachbar), D3D_OK);
  ASSERT_EQ(mGeraet->SetTexture(1, pixelStufe), D3D_OK);
  ASSERT_EQ(mGeraet->SetVertexShader(vs), D3D_OK);
  mGeraet->Clear(0, nullptr, D3DCLEAR_TARGET, kSchwarz, 1.0f, 0);
  Farbe(0, 0, 0, 0, 0, 1, 0, 1);
  Zeichne(Rechteck(0, 0, 8, 8));
  const TZaehlung z = Zaehle(LiesBild(), kGruen, 8, 4, 16, 12);
  EXPECT_EQ(z.innen, 64);
  EXPECT_EQ(z.aussen, 0);

  mGeraet->SetVertexShader(mVs);
  vs->Release();
  for (DWORD stufe : {D3DVERTEXTEXTURESAMPLER1, D3DVERTEXTEXTURESAMPLER0, DWORD{1}})
    mGeraet->SetTexture(stufe, nullptr);
  for (IDirect3DTexture9* t : {richtig, nachbar, pixelStufe}) EXPECT_EQ(t->Release(), 0u);
}

// Present shows the back buffer the right way up in the window.
TEST_F(Zeichnen, PresentZeigtZeileNullOben) {
  const RECT oben{0, 0, static_cast<LONG>(B), 8};
  mGeraet->Clear(0, nullptr, D3DCLEAR_TARGET, kBlau, 1.0f, 0);
  mGeraet->Clear(1, &oben, D3DCLEAR_TARGET, kRot, 1.0f, 0);
  ASSERT_EQ(mGeraet->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  GLint altesFbo = 0;
  glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &altesFbo);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
  // Mesa's software driver swaps by copying: the window's back buffer still holds the frame.
  glReadBuffer(GL_BACK);
  int fb = 0, fh = 0;
  glfwGetFramebufferSize(mFenster, &fb, &fh);
  uint8_t obenPixel[4] = {}, untenPixel[4] = {};
  glReadPixels(2, fh - 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, obenPixel);  // OpenGL's top row
  glReadPixels(2, 1, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, untenPixel);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(altesFbo));
  EXPECT_EQ(obenPixel[0], 255);
  EXPECT_EQ(obenPixel[2], 0);
  EXPECT_EQ(untenPixel[0], 0);
  EXPECT_EQ(untenPixel[2], 255);
}

// Stride 0 gives every vertex, and every instance, the same element of the stream.
TEST_F(Zeichnen, StromMitSchrittNullGibtJederEckeDasselbeElement) {
  const auto quad = Rechteck(4, 4, 12, 12);
  // Read as packed elements, the corners (and instances) would spread over the picture.
  const float versaetze[] = {20, 8, 40, 8, 0, 30, 30, 30};
  IDirect3DVertexBuffer9* vb = VertexPuffer(quad.data(), static_cast<UINT>(quad.size() * sizeof(TVertex)));
  IDirect3DVertexBuffer9* vv = VertexPuffer(versaetze, sizeof(versaetze));
  Farbe(0, 0, 0, 0, 0, 1, 0, 1);
  for (UINT instanzen : {0u, 3u}) {
    SCOPED_TRACE(instanzen);
    mGeraet->Clear(0, nullptr, D3DCLEAR_TARGET, kSchwarz, 1.0f, 0);
    mGeraet->SetStreamSource(0, vb, 0, sizeof(TVertex));
    mGeraet->SetStreamSource(1, vv, 0, 0);
    mGeraet->SetStreamSourceFreq(0, instanzen ? D3DSTREAMSOURCE_INDEXEDDATA | instanzen : 1);
    mGeraet->SetStreamSourceFreq(1, instanzen ? D3DSTREAMSOURCE_INSTANCEDATA | 1 : 1);
    mGeraet->BeginScene();
    EXPECT_EQ(mGeraet->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2), D3D_OK);
    mGeraet->EndScene();
    const TZaehlung z = Zaehle(LiesBild(), kGruen, 24, 12, 32, 20);
    EXPECT_EQ(z.innen, 64);
    EXPECT_EQ(z.aussen, 0);
  }
  mGeraet->SetStreamSourceFreq(0, 1);
  mGeraet->SetStreamSourceFreq(1, 1);
  mGeraet->SetStreamSource(0, nullptr, 0, 0);
  mGeraet->SetStreamSource(1, nullptr, 0, 0);
  vb->Release();
  vv->Release();
}

// A lock without discard from the second element on that writes one value keeps the rest of
// the buffer as it was.
TEST_F(Zeichnen, PufferSperreOhneVerwerfenBehaeltDenRest) {
  for (bool indexPuffer : {false, true}) {
    SCOPED_TRACE(indexPuffer);
    mGeraet->Clear(0, nullptr, D3DCLEAR_TARGET, kSchwarz, 1.0f, 0);
    const auto quad = Rechteck(4, 4, 12, 12);
    IDirect3DVertexBuffer9* vb = VertexPuffer(quad.data(), static_cast<UINT>(quad.size() * sizeof(TVertex)));
    void* p = nullptr;
    if (indexPuffer) {
      ASSERT_EQ(mIndizes->Lock(2, 0, &p, 0), D3D_OK);
      static_cast<uint16_t*>(p)[0] = 1;  // the value it had
      ASSERT_EQ(mIndizes->Unlock(), D3D_OK);
    } else {
      ASSERT_EQ(vb->Lock(sizeof(TVertex), 0, &p, 0), D3D_OK);
      static_cast<TVertex*>(p)[0].z = 0.5f;  // the value it had
      ASSERT_EQ(vb->Unlock(), D3D_OK);
    }
    Farbe(0, 0, 0, 0, 0, 0, 1, 1);
    mGeraet->SetStreamSource(0, vb, 0, sizeof(TVertex));
    mGeraet->BeginScene();
    EXPECT_EQ(mGeraet->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2), D3D_OK);
    mGeraet->EndScene();
    const TZaehlung z = Zaehle(LiesBild(), kBlau, 4, 4, 12, 12);
    EXPECT_EQ(z.innen, 64);
    EXPECT_EQ(z.aussen, 0);
    mGeraet->SetStreamSource(0, nullptr, 0, 0);
    vb->Release();
  }
}

}  // namespace
}  // namespace D3D9Test
