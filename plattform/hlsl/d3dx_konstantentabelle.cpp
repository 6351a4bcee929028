#include "plattform/hlsl/d3dx_konstantentabelle.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>

namespace Plattform {

TD3DXKonstantenTabelle::TD3DXKonstantenTabelle(std::vector<TKonstante> konstanten)
    : mKonstanten(std::move(konstanten)) {
  for (const auto& k : mKonstanten) MerkeHandles(k);
}

void TD3DXKonstantenTabelle::MerkeHandles(const TKonstante& k) {
  mHandles.insert(&k);
  for (const auto& m : k.Mitglieder) MerkeHandles(m);
  for (const auto& e : k.Einzelne) MerkeHandles(e);
}

const TKonstante* TD3DXKonstantenTabelle::Eintrag(D3DXHANDLE handle) const {
  if (!handle) return nullptr;
  // Our handles are addresses of entries, so they are compared before being read as text.
  if (mHandles.count(handle)) return reinterpret_cast<const TKonstante*>(handle);
  return SuchePfad(mKonstanten, handle);
}

const TKonstante* TD3DXKonstantenTabelle::SuchePfad(const std::vector<TKonstante>& ebene,
                                                    const char* pfad) const {
  const size_t laenge = std::strcspn(pfad, ".[");
  const TKonstante* k = nullptr;
  for (const auto& kandidat : ebene)
    if (kandidat.Name.size() == laenge && kandidat.Name.compare(0, laenge, pfad, laenge) == 0) {
      k = &kandidat;
      break;
    }
  if (!k) return nullptr;
  const char* rest = pfad + laenge;
  if (*rest == '[') {
    char* ende = nullptr;
    if (!std::isdigit(static_cast<unsigned char>(rest[1]))) return nullptr;
    const unsigned long index = std::strtoul(rest + 1, &ende, 10);
    if (*ende != ']' || index >= k->Elemente) return nullptr;
    if (!k->Einzelne.empty()) k = &k->Einzelne[index];
    rest = ende + 1;
  }
  if (*rest == 0) return k;
  if (*rest != '.') return nullptr;
  return SuchePfad(k->Mitglieder, rest + 1);
}

HRESULT TD3DXKonstantenTabelle::GetDesc(D3DXCONSTANTTABLE_DESC* beschreibung) {
  if (!beschreibung) return D3DERR_INVALIDCALL;
  beschreibung->Creator = "Weilerbau HLSL";
  beschreibung->Version = 0xFFFE0300;  // the shader model the profiles name: 3.0
  beschreibung->Constants = static_cast<UINT>(mKonstanten.size());
  return D3D_OK;
}

HRESULT TD3DXKonstantenTabelle::GetConstantDesc(D3DXHANDLE konstante,
                                                D3DXCONSTANT_DESC* beschreibung, UINT* anzahl) {
  const TKonstante* k = Eintrag(konstante);
  if (!k) return D3DERR_INVALIDCALL;
  if (beschreibung && (!anzahl || *anzahl >= 1)) {
    D3DXCONSTANT_DESC& d = *beschreibung;
    d.Name = k->Name.c_str();
    d.RegisterSet = k->RegisterSatz;
    d.RegisterIndex = k->RegisterIndex;
    d.RegisterCount = k->RegisterAnzahl;
    d.Class = k->Klasse;
    d.Type = k->Typ;
    d.Rows = k->Zeilen;
    d.Columns = k->Spalten;
    d.Elements = k->Elemente;
    d.StructMembers = static_cast<UINT>(k->Mitglieder.size());
    d.Bytes = k->Bytes;
    d.DefaultValue = nullptr;
  }
  if (anzahl) *anzahl = 1;
  return D3D_OK;
}

UINT TD3DXKonstantenTabelle::GetSamplerIndex(D3DXHANDLE sampler) {
  const TKonstante* k = Eintrag(sampler);
  if (!k || k->RegisterSatz != D3DXRS_SAMPLER) return static_cast<UINT>(-1);
  return k->RegisterIndex;
}

D3DXHANDLE TD3DXKonstantenTabelle::GetConstant(D3DXHANDLE eltern, UINT index) {
  if (!eltern) return index < mKonstanten.size() ? Handle(&mKonstanten[index]) : nullptr;
  const TKonstante* k = Eintrag(eltern);
  if (!k || index >= k->Mitglieder.size()) return nullptr;
  return Handle(&k->Mitglieder[index]);
}

D3DXHANDLE TD3DXKonstantenTabelle::GetConstantByName(D3DXHANDLE eltern, LPCSTR name) {
  if (!name) return nullptr;
  if (!eltern) return Handle(SuchePfad(mKonstanten, name));
  const TKonstante* k = Eintrag(eltern);
  return k ? Handle(SuchePfad(k->Mitglieder, name)) : nullptr;
}

D3DXHANDLE TD3DXKonstantenTabelle::GetConstantElement(D3DXHANDLE konstante, UINT index) {
  const TKonstante* k = Eintrag(konstante);
  if (!k || index >= k->Elemente) return nullptr;
  // A constant that is no array is its own only element.
  return k->Einzelne.empty() ? Handle(k) : Handle(&k->Einzelne[index]);
}

}  // namespace Plattform
