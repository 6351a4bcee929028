#pragma once
// Compiles HLSL through the D3DX functions, as the engine does, and hands back what came out.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "plattform/d3d9/d3d9_shadercode.h"
#include "plattform/hlsl/d3dx_shader.h"

namespace HlslTest {

struct TFreigabe {
  void operator()(IUnknown* objekt) const { objekt->Release(); }
};
using TTabelle = std::unique_ptr<ID3DXConstantTable, TFreigabe>;

struct TUebersetzt {
  HRESULT Ergebnis = E_FAIL;
  std::string Meldungen;
  std::optional<Plattform::TShaderCode> Code;
  TTabelle Tabelle;
};

inline TUebersetzt Uebersetze(const std::string& hlsl, const char* profil,
                              const std::vector<D3DXMACRO>& definitionen = {}) {
  std::vector<D3DXMACRO> liste = definitionen;
  liste.push_back({nullptr, nullptr});
  LPD3DXBUFFER code = nullptr, meldungen = nullptr;
  LPD3DXCONSTANTTABLE tabelle = nullptr;
  TUebersetzt t;
  t.Ergebnis = D3DXCompileShader(hlsl.data(), static_cast<UINT>(hlsl.size()), liste.data(),
                                 nullptr, "main", profil, 0, &code, &meldungen, &tabelle);
  if (meldungen) {
    t.Meldungen = static_cast<const char*>(meldungen->GetBufferPointer());
    meldungen->Release();
  }
  if (code) {
    t.Code = Plattform::TShaderCode::Deserialisiere(code->GetBufferPointer(), code->GetBufferSize());
    code->Release();
  }
  t.Tabelle.reset(tabelle);
  return t;
}

// A vertex shader that only passes a position through, for tests about the pixel stage.
inline const char* const DurchreichVS =
    "void main(float3 p : POSITION0, out float4 o : POSITION0) { o = float4(p, 1); }\n";

}  // namespace HlslTest
