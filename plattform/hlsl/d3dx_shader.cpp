#include "plattform/hlsl/d3dx_shader.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "plattform/hlsl/intern/d3dx_kompiler.h"

namespace {

using Plattform::THlslKompiler;
using Plattform::TShaderCode;

void Setze(LPD3DXBUFFER* ziel, LPD3DXBUFFER wert) {
  if (ziel) *ziel = wert;
  else if (wert) wert->Release();
}

// "vs_2_0", "vs_3_0", "ps_2_a", ...: the first two letters give the stage.
bool StufeAusProfil(LPCSTR profil, uint32_t& stufe) {
  if (!profil) return false;
  if (std::strncmp(profil, "vs_", 3) == 0) stufe = TShaderCode::Vertex;
  else if (std::strncmp(profil, "ps_", 3) == 0) stufe = TShaderCode::Pixel;
  else return false;
  return true;
}

HRESULT Uebersetze(std::string text, std::string name, const D3DXMACRO* definitionen,
                   LPCSTR einstieg, LPCSTR profil, DWORD flags, LPD3DXBUFFER* code,
                   LPD3DXBUFFER* meldungen, LPD3DXCONSTANTTABLE* konstanten) {
  if (code) *code = nullptr;
  if (meldungen) *meldungen = nullptr;
  if (konstanten) *konstanten = nullptr;
  THlslKompiler::TAuftrag auftrag;
  if (!StufeAusProfil(profil, auftrag.Stufe)) {
    Setze(meldungen, Plattform::TD3DXPuffer::AusText(
                         "ERROR: invalid profile '" + std::string(profil ? profil : "") + "'\n"));
    return D3DERR_INVALIDCALL;
  }
  auftrag.Quelltext = std::move(text);
  auftrag.QuellName = std::move(name);
  auftrag.Einstieg = einstieg && *einstieg ? einstieg : "main";
  auftrag.ZeilenweiseMatrizen = (flags & D3DXSHADER_PACKMATRIX_ROWMAJOR) != 0;
  for (const D3DXMACRO* d = definitionen; d && d->Name; ++d)
    auftrag.Definitionen.emplace_back(d->Name, d->Definition ? d->Definition : "");

  THlslKompiler::TErgebnis ergebnis = THlslKompiler::Uebersetze(auftrag);
  if (!ergebnis.Meldungen.empty())
    Setze(meldungen, Plattform::TD3DXPuffer::AusText(ergebnis.Meldungen));
  if (!ergebnis.Erfolg) return E_FAIL;
  const std::vector<uint8_t> bytes = ergebnis.Code.Serialisiere();
  Setze(code, Plattform::TD3DXPuffer::AusBytes(bytes.data(), bytes.size()));
  if (konstanten)
    *konstanten = new Plattform::TD3DXKonstantenTabelle(std::move(ergebnis.Konstanten));
  return D3D_OK;
}

}  // namespace

HRESULT D3DXCompileShader(LPCSTR quelltext, UINT bytes, const D3DXMACRO* definitionen,
                          LPD3DXINCLUDE /*include*/, LPCSTR einstieg, LPCSTR profil, DWORD flags,
                          LPD3DXBUFFER* code, LPD3DXBUFFER* meldungen,
                          LPD3DXCONSTANTTABLE* konstanten) {
  if (!quelltext) {
    if (code) *code = nullptr;
    if (meldungen) *meldungen = nullptr;
    if (konstanten) *konstanten = nullptr;
    return D3DERR_INVALIDCALL;
  }
  return Uebersetze(std::string(quelltext, bytes), std::string(), definitionen, einstieg, profil,
                    flags, code, meldungen, konstanten);
}

HRESULT D3DXCompileShaderFromFileA(LPCSTR datei, const D3DXMACRO* definitionen,
                                   LPD3DXINCLUDE /*include*/, LPCSTR einstieg, LPCSTR profil,
                                   DWORD flags, LPD3DXBUFFER* code, LPD3DXBUFFER* meldungen,
                                   LPD3DXCONSTANTTABLE* konstanten) {
  if (code) *code = nullptr;
  if (meldungen) *meldungen = nullptr;
  if (konstanten) *konstanten = nullptr;
  if (!datei) return D3DERR_INVALIDCALL;
  std::ifstream ein(datei, std::ios::binary);
  if (!ein) {
    Setze(meldungen, Plattform::TD3DXPuffer::AusText(std::string("ERROR: ") + datei +
                                                      ": cannot open file\n"));
    return E_FAIL;
  }
  std::string text((std::istreambuf_iterator<char>(ein)), std::istreambuf_iterator<char>());
  return Uebersetze(std::move(text), datei, definitionen, einstieg, profil, flags, code, meldungen,
                    konstanten);
}

LPCSTR D3DXGetVertexShaderProfile(IDirect3DDevice9* /*geraet*/) { return "vs_3_0"; }
LPCSTR D3DXGetPixelShaderProfile(IDirect3DDevice9* /*geraet*/) { return "ps_3_0"; }
