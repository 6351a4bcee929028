#pragma once
// The shader functions of our D3DX stand-in: compiling Direct3D 9 HLSL (from text or from a
// file) for a profile, and the profiles of a device. What comes out as "compiled code" is the
// record of d3d9_shadercode.h, which our device's CreateVertexShader/CreatePixelShader read.
#include "plattform/hlsl/d3dx_konstantentabelle.h"
#include "plattform/hlsl/d3dx_puffer.h"
#include "plattform/hlsl/d3dx_typen.h"

struct IDirect3DDevice9;

// Compiles `bytes` bytes of HLSL for the profile ("vs_..." or "ps_...") with the entry point
// `einstieg`. Fills the code, the messages (errors and warnings, NUL-terminated; only when there
// are any) and the constant table; each out pointer may be null. Failure: E_FAIL with the
// messages; D3DERR_INVALIDCALL for missing text or an unknown profile. An include handler is
// not supported: #include in the source is reported as an error.
HRESULT D3DXCompileShader(LPCSTR quelltext, UINT bytes, const D3DXMACRO* definitionen,
                          LPD3DXINCLUDE include, LPCSTR einstieg, LPCSTR profil, DWORD flags,
                          LPD3DXBUFFER* code, LPD3DXBUFFER* meldungen,
                          LPD3DXCONSTANTTABLE* konstanten);

// The same for the contents of a file; messages name the file.
HRESULT D3DXCompileShaderFromFileA(LPCSTR datei, const D3DXMACRO* definitionen,
                                   LPD3DXINCLUDE include, LPCSTR einstieg, LPCSTR profil,
                                   DWORD flags, LPD3DXBUFFER* code, LPD3DXBUFFER* meldungen,
                                   LPD3DXCONSTANTTABLE* konstanten);

// The best profiles of the device: shader model 3 for both stages.
LPCSTR D3DXGetVertexShaderProfile(IDirect3DDevice9* geraet);
LPCSTR D3DXGetPixelShaderProfile(IDirect3DDevice9* geraet);
