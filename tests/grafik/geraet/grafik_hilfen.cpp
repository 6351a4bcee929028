#include "tests/grafik/geraet/grafik_hilfen.h"

#include <cstring>

#include "plattform/hlsl/d3dx_shader.h"
#include "quarzklassen/grafik/geraet/quarz_indexbuffer.h"
#include "quarzklassen/kern/quarz_log.h"
#include "quarzklassen/grafik/geraet/quarz_vertexbuffer.h"
#include "quarzklassen/kern/tmatrix4.h"

const char* const kQuadVS = R"(
float4x4 gMatrix;
void main(float3 pos : POSITION0, out float4 position : POSITION0) {
  position = mul(gMatrix, float4(pos, 1.0));
}
)";

const char* const kFarbePS = R"(
float3 gFarbe;
float gAlpha;
float4 main() : COLOR0 { return float4(gFarbe, gAlpha); }
)";

TTestProgramm::TTestProgramm(const char* vs, const char* ps, bool instanziert) {
  IDirect3DDevice9* geraet = Quarz_Screen3D::GetZeichenKontext()->mImpl->mGeraet;
  const char* quellen[2] = {vs, ps};
  const char* profile[2] = {D3DXGetVertexShaderProfile(geraet), D3DXGetPixelShaderProfile(geraet)};
  for (int i = 0; i < 2; ++i) {
    LPD3DXBUFFER code = nullptr, meldungen = nullptr;
    const HRESULT hr =
        D3DXCompileShader(quellen[i], static_cast<UINT>(std::strlen(quellen[i])), nullptr, nullptr,
                          "main", profile[i], 0, &code, &meldungen, &mTabellen[i]);
    if (meldungen) {
      mMeldungen += static_cast<const char*>(meldungen->GetBufferPointer());
      meldungen->Release();
    }
    if (FAILED(hr) || !code) continue;
    const auto* funktion = static_cast<const DWORD*>(code->GetBufferPointer());
    if (i == 0) geraet->CreateVertexShader(funktion, &mD3DVertexShader);
    else geraet->CreatePixelShader(funktion, &mD3DPixelShader);
    code->Release();
  }
  const D3DVERTEXELEMENT9 elemente[] = {
      {0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
      {1, 0, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
      D3DDECL_END()};
  if (instanziert) {
    geraet->CreateVertexDeclaration(elemente, &mDeklaration);
    mStromAnzahl = 2;
    mInstanzMaske = 2;
    mSchrittweiten[1] = 8;
  } else {
    const D3DVERTEXELEMENT9 nurPosition[] = {elemente[0], D3DDECL_END()};
    geraet->CreateVertexDeclaration(nurPosition, &mDeklaration);
    mStromAnzahl = 1;
  }
  mSchrittweiten[0] = 12;
}

TTestProgramm::~TTestProgramm() {
  Plattform::SicherFreigeben(mD3DVertexShader);
  Plattform::SicherFreigeben(mD3DPixelShader);
  Plattform::SicherFreigeben(mDeklaration);
  for (auto*& t : mTabellen) Plattform::SicherFreigeben(t);
}

uint32_t TTestProgramm::Register(const char* name, bool pixel) const {
  ID3DXConstantTable* tabelle = mTabellen[pixel ? 1 : 0];
  if (!tabelle) return 0xFFF;
  D3DXHANDLE h = tabelle->GetConstantByName(nullptr, name);
  if (!h) return 0xFFF;
  D3DXCONSTANT_DESC beschreibung{};
  UINT anzahl = 1;
  if (FAILED(tabelle->GetConstantDesc(h, &beschreibung, &anzahl))) return 0xFFF;
  return beschreibung.RegisterIndex;
}

void GrafikTest::SetUp() {
  BildschirmTest::SetUp();
  if (HasFatalFailure()) return;
  mProgramm = mKontext->ErzeugeObjekt<TTestProgramm>(kQuadVS, kFarbePS);
  ASSERT_NE(mProgramm->mD3DVertexShader, nullptr) << mProgramm->mMeldungen;
  ASSERT_NE(mProgramm->mD3DPixelShader, nullptr) << mProgramm->mMeldungen;
}

void GrafikTest::TearDown() {
  if (mKontext && Quarz_Screen3D::mInitialisiert) mKontext->Freigeben(mProgramm);
  BildschirmTest::TearDown();
}

void GrafikTest::ZeichneQuad(float r, float g, float b, float a, const TMatrix4& matrix) {
  // What a frame sets: after a device reset none of it counts as set.
  mKontext->SetRueckseite(0);
  mKontext->SetTiefeZustand(nullptr);
  mKontext->SetAlphaZustand(nullptr);
  mKontext->SetProgramm(mProgramm);
  mKontext->SetVertexBuffer(0, mVb);
  mKontext->SetIndexBuffer(mIb);
  mKontext->SetProgrammKonstante(mProgramm->Index("gMatrix"), matrix);
  mKontext->SetProgrammKonstante(mProgramm->Index("gFarbe"), r, g, b);
  mKontext->SetProgrammKonstante(mProgramm->Index("gAlpha"), a, 0.0f, 0.0f, 0.0f);
  mKontext->ZeichneIndexElemente(0, 2);
}
