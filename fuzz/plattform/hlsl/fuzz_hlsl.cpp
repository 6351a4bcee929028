// Arbitrary shader source through our HLSL compiler: it must answer with code or messages,
// never crash. The first byte picks the stage; a compiled shader's table and record are read
// back in full.
#include <cstddef>
#include <cstdint>
#include <string>

#include "plattform/d3d9/d3d9_shadercode.h"
#include "plattform/hlsl/d3dx_shader.h"

namespace {

void Durchlaufe(ID3DXConstantTable* tabelle, D3DXHANDLE h, int tiefe) {
  D3DXCONSTANT_DESC d{};
  if (!h || tiefe > 8 || tabelle->GetConstantDesc(h, &d, nullptr) != D3D_OK) return;
  tabelle->GetSamplerIndex(h);
  tabelle->GetConstantByName(nullptr, d.Name);
  for (UINT e = 0; e < d.Elements && e < 64; ++e) {
    D3DXHANDLE element = tabelle->GetConstantElement(h, e);
    for (UINT m = 0; m < d.StructMembers; ++m) Durchlaufe(tabelle, tabelle->GetConstant(element, m), tiefe + 1);
  }
}

}  // namespace

// glslang runs in the compiler's glslang process (bin64/weilerbau_glslang beside this target):
// what crashes or hangs glslang is a compile error here, and what this target finds lies in our
// own code around it.

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t bytes) {
  if (bytes < 1 || bytes > 64 * 1024) return 0;
  const char* profil = (daten[0] & 1) ? "ps_3_0" : "vs_3_0";
  const std::string quelle(reinterpret_cast<const char*>(daten + 1), bytes - 1);
  LPD3DXBUFFER code = nullptr, meldungen = nullptr;
  LPD3DXCONSTANTTABLE tabelle = nullptr;
  const HRESULT hr = D3DXCompileShader(quelle.data(), static_cast<UINT>(quelle.size()), nullptr,
                                       nullptr, "main", profil, 0, &code, &meldungen, &tabelle);
  if (SUCCEEDED(hr)) {
    if (!code || !tabelle ||
        !Plattform::TShaderCode::Deserialisiere(code->GetBufferPointer(), code->GetBufferSize()))
      __builtin_trap();
    D3DXCONSTANTTABLE_DESC d{};
    tabelle->GetDesc(&d);
    for (UINT i = 0; i < d.Constants; ++i) Durchlaufe(tabelle, tabelle->GetConstant(nullptr, i), 0);
  }
  if (code) code->Release();
  if (meldungen) meldungen->Release();
  if (tabelle) tabelle->Release();
  return 0;
}
