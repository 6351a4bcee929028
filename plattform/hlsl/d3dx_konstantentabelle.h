#pragma once
// ID3DXConstantTable: the constants of a compiled shader with their Direct3D 9 registers, as
// the compiler laid them out. Handles are the table's own entries; wherever a handle is taken,
// a constant's name ("a", "s.m", "a[2]", "a[1].m") may stand instead.
#include <unordered_set>
#include <vector>

#include "plattform/hlsl/d3dx_konstante.h"
#include "plattform/hlsl/d3dx_typen.h"

struct ID3DXConstantTable : IUnknown {
  virtual HRESULT GetDesc(D3DXCONSTANTTABLE_DESC* beschreibung) = 0;
  // Fills up to *anzahl descriptions (one for a constant) and sets *anzahl to the count.
  virtual HRESULT GetConstantDesc(D3DXHANDLE konstante, D3DXCONSTANT_DESC* beschreibung,
                                  UINT* anzahl) = 0;
  // The sampler register of a sampler constant, or (UINT)-1.
  virtual UINT GetSamplerIndex(D3DXHANDLE sampler) = 0;
  // The index-th top-level constant (no parent) or member of a structure.
  virtual D3DXHANDLE GetConstant(D3DXHANDLE eltern, UINT index) = 0;
  virtual D3DXHANDLE GetConstantByName(D3DXHANDLE eltern, LPCSTR name) = 0;
  virtual D3DXHANDLE GetConstantElement(D3DXHANDLE konstante, UINT index) = 0;
};
typedef ID3DXConstantTable* LPD3DXCONSTANTTABLE;

namespace Plattform {

class TD3DXKonstantenTabelle final : public TReferenzGezaehlt<ID3DXConstantTable> {
 public:
  explicit TD3DXKonstantenTabelle(std::vector<TKonstante> konstanten);

  HRESULT GetDesc(D3DXCONSTANTTABLE_DESC* beschreibung) override;
  HRESULT GetConstantDesc(D3DXHANDLE konstante, D3DXCONSTANT_DESC* beschreibung,
                          UINT* anzahl) override;
  UINT GetSamplerIndex(D3DXHANDLE sampler) override;
  D3DXHANDLE GetConstant(D3DXHANDLE eltern, UINT index) override;
  D3DXHANDLE GetConstantByName(D3DXHANDLE eltern, LPCSTR name) override;
  D3DXHANDLE GetConstantElement(D3DXHANDLE konstante, UINT index) override;

 private:
  void MerkeHandles(const TKonstante& k);
  // The entry a handle stands for: one of ours, else a name looked up from the top level.
  const TKonstante* Eintrag(D3DXHANDLE handle) const;
  // Looks a path ("a", "a[2]", "s.m") up below the given entries.
  const TKonstante* SuchePfad(const std::vector<TKonstante>& ebene, const char* pfad) const;
  static D3DXHANDLE Handle(const TKonstante* k) { return reinterpret_cast<D3DXHANDLE>(k); }

  std::vector<TKonstante> mKonstanten;
  std::unordered_set<const void*> mHandles;
};

}  // namespace Plattform
