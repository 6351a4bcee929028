#pragma once
// Our Direct3D 9 stand-in over OpenGL: the subset of the interface that the graphics engine
// calls, with Direct3D 9's operation names, so that the engine's code reads as it would on
// Direct3D 9. Underneath is an OpenGL 4.5 core context (3.3 accepted) on the GLFW window.
//
// Conventions kept from Direct3D 9 (the engine and its shaders rely on them):
// - every surface is stored with row 0 at the top; Present shows the back buffer the right
//   way up;
// - front faces are clockwise; the default cull mode culls counter-clockwise faces;
// - the viewport also clips Clear; setting render target 0 resets the viewport;
// - depth runs 0 (near) to 1 (far);
// - formats without a channel sample it as 1 (alpha-only formats give colour 0);
// - Reset fails while default-pool resources still exist, then returns every state to
//   its default.
// Shaders are the records of plattform/d3d9_shadercode.h that our HLSL compiler produces.
// Before each draw the device sets the vertex shader's uniform `vec2 weilerbau_halbpixel`
// to (1 / viewport width, 1 / viewport height) for the half-pixel epilogue, binds the vertex
// shader's uniform block to binding 0 and the pixel shader's to binding 1, pixel sampler n
// to texture unit n and vertex sampler n to unit 16 + n.
#include <cstdint>

#include "plattform/d3d9/d3d9_basis.h"

// ---------------------------------------------------------------------------------------------
// Geometry and colour
// ---------------------------------------------------------------------------------------------

struct RECT {
  LONG left, top, right, bottom;
};
struct POINT {
  LONG x, y;
};

typedef DWORD D3DCOLOR;
#define D3DCOLOR_ARGB(a, r, g, b)                                                     \
  (static_cast<D3DCOLOR>(((static_cast<DWORD>(a) & 0xFF) << 24) |                   \
                         ((static_cast<DWORD>(r) & 0xFF) << 16) |                   \
                         ((static_cast<DWORD>(g) & 0xFF) << 8) | (static_cast<DWORD>(b) & 0xFF)))
#define D3DCOLOR_XRGB(r, g, b) D3DCOLOR_ARGB(0xFF, r, g, b)

#define MAKEFOURCC(a, b, c, d)                                                     \
  (static_cast<DWORD>(static_cast<BYTE>(a)) | (static_cast<DWORD>(static_cast<BYTE>(b)) << 8) | \
   (static_cast<DWORD>(static_cast<BYTE>(c)) << 16) | (static_cast<DWORD>(static_cast<BYTE>(d)) << 24))

// ---------------------------------------------------------------------------------------------
// Enumerations
// ---------------------------------------------------------------------------------------------

enum D3DFORMAT : DWORD {
  D3DFMT_UNKNOWN = 0,
  D3DFMT_A8R8G8B8 = 21,
  D3DFMT_X8R8G8B8 = 22,
  D3DFMT_R5G6B5 = 23,
  D3DFMT_A8 = 28,
  D3DFMT_A2B10G10R10 = 31,
  D3DFMT_G16R16 = 34,
  D3DFMT_A16B16G16R16 = 36,
  D3DFMT_D32 = 71,
  D3DFMT_D24S8 = 75,
  D3DFMT_D24X8 = 77,
  D3DFMT_D16 = 80,
  D3DFMT_INDEX16 = 101,
  D3DFMT_INDEX32 = 102,
  D3DFMT_R16F = 111,
  D3DFMT_G16R16F = 112,
  D3DFMT_A16B16G16R16F = 113,
  D3DFMT_R32F = 114,
  D3DFMT_G32R32F = 115,
  D3DFMT_A32B32G32R32F = 116,
  D3DFMT_DXT1 = MAKEFOURCC('D', 'X', 'T', '1'),
  D3DFMT_DXT3 = MAKEFOURCC('D', 'X', 'T', '3'),
  D3DFMT_DXT5 = MAKEFOURCC('D', 'X', 'T', '5'),
};

enum D3DDEVTYPE : DWORD { D3DDEVTYPE_HAL = 1, D3DDEVTYPE_REF = 2 };

enum D3DRESOURCETYPE : DWORD {
  D3DRTYPE_SURFACE = 1,
  D3DRTYPE_VOLUME = 2,
  D3DRTYPE_TEXTURE = 3,
  D3DRTYPE_VOLUMETEXTURE = 4,
  D3DRTYPE_CUBETEXTURE = 5,
  D3DRTYPE_VERTEXBUFFER = 6,
  D3DRTYPE_INDEXBUFFER = 7,
};

enum D3DPOOL : DWORD {
  D3DPOOL_DEFAULT = 0,
  D3DPOOL_MANAGED = 1,
  D3DPOOL_SYSTEMMEM = 2,
  D3DPOOL_SCRATCH = 3,
};

enum D3DMULTISAMPLE_TYPE : DWORD { D3DMULTISAMPLE_NONE = 0 };

enum D3DSWAPEFFECT : DWORD {
  D3DSWAPEFFECT_DISCARD = 1,
  D3DSWAPEFFECT_FLIP = 2,
  D3DSWAPEFFECT_COPY = 3,
};

enum D3DBACKBUFFER_TYPE : DWORD { D3DBACKBUFFER_TYPE_MONO = 0 };

enum D3DCUBEMAP_FACES : DWORD {
  D3DCUBEMAP_FACE_POSITIVE_X = 0,
  D3DCUBEMAP_FACE_NEGATIVE_X = 1,
  D3DCUBEMAP_FACE_POSITIVE_Y = 2,
  D3DCUBEMAP_FACE_NEGATIVE_Y = 3,
  D3DCUBEMAP_FACE_POSITIVE_Z = 4,
  D3DCUBEMAP_FACE_NEGATIVE_Z = 5,
};

enum D3DPRIMITIVETYPE : DWORD {
  D3DPT_POINTLIST = 1,
  D3DPT_LINELIST = 2,
  D3DPT_LINESTRIP = 3,
  D3DPT_TRIANGLELIST = 4,
  D3DPT_TRIANGLESTRIP = 5,
  D3DPT_TRIANGLEFAN = 6,
};

// The render states the engine sets.
enum D3DRENDERSTATETYPE : DWORD {
  D3DRS_ZENABLE = 7,
  D3DRS_ZWRITEENABLE = 14,
  D3DRS_SRCBLEND = 19,
  D3DRS_DESTBLEND = 20,
  D3DRS_CULLMODE = 22,
  D3DRS_ZFUNC = 23,
  D3DRS_ALPHABLENDENABLE = 27,
  D3DRS_COLORWRITEENABLE = 168,
  D3DRS_BLENDOP = 171,
  D3DRS_SEPARATEALPHABLENDENABLE = 206,
  D3DRS_SRCBLENDALPHA = 207,
  D3DRS_DESTBLENDALPHA = 208,
  D3DRS_BLENDOPALPHA = 209,
};

enum D3DZBUFFERTYPE : DWORD { D3DZB_FALSE = 0, D3DZB_TRUE = 1 };

enum D3DBLEND : DWORD {
  D3DBLEND_ZERO = 1,
  D3DBLEND_ONE = 2,
  D3DBLEND_SRCCOLOR = 3,
  D3DBLEND_INVSRCCOLOR = 4,
  D3DBLEND_SRCALPHA = 5,
  D3DBLEND_INVSRCALPHA = 6,
  D3DBLEND_DESTALPHA = 7,
  D3DBLEND_INVDESTALPHA = 8,
  D3DBLEND_DESTCOLOR = 9,
  D3DBLEND_INVDESTCOLOR = 10,
};

enum D3DBLENDOP : DWORD {
  D3DBLENDOP_ADD = 1,
  D3DBLENDOP_SUBTRACT = 2,
  D3DBLENDOP_REVSUBTRACT = 3,
  D3DBLENDOP_MIN = 4,
  D3DBLENDOP_MAX = 5,
};

enum D3DCMPFUNC : DWORD {
  D3DCMP_NEVER = 1,
  D3DCMP_LESS = 2,
  D3DCMP_EQUAL = 3,
  D3DCMP_LESSEQUAL = 4,
  D3DCMP_GREATER = 5,
  D3DCMP_NOTEQUAL = 6,
  D3DCMP_GREATEREQUAL = 7,
  D3DCMP_ALWAYS = 8,
};

enum D3DCULL : DWORD { D3DCULL_NONE = 1, D3DCULL_CW = 2, D3DCULL_CCW = 3 };

constexpr DWORD D3DCOLORWRITEENABLE_RED = 1;
constexpr DWORD D3DCOLORWRITEENABLE_GREEN = 2;
constexpr DWORD D3DCOLORWRITEENABLE_BLUE = 4;
constexpr DWORD D3DCOLORWRITEENABLE_ALPHA = 8;

enum D3DSAMPLERSTATETYPE : DWORD {
  D3DSAMP_ADDRESSU = 1,
  D3DSAMP_ADDRESSV = 2,
  D3DSAMP_ADDRESSW = 3,
  D3DSAMP_BORDERCOLOR = 4,
  D3DSAMP_MAGFILTER = 5,
  D3DSAMP_MINFILTER = 6,
  D3DSAMP_MIPFILTER = 7,
  D3DSAMP_MIPMAPLODBIAS = 8,
  D3DSAMP_MAXMIPLEVEL = 9,
  D3DSAMP_MAXANISOTROPY = 10,
};

enum D3DTEXTUREADDRESS : DWORD {
  D3DTADDRESS_WRAP = 1,
  D3DTADDRESS_MIRROR = 2,
  D3DTADDRESS_CLAMP = 3,
  D3DTADDRESS_BORDER = 4,
};

enum D3DTEXTUREFILTERTYPE : DWORD {
  D3DTEXF_NONE = 0,
  D3DTEXF_POINT = 1,
  D3DTEXF_LINEAR = 2,
  D3DTEXF_ANISOTROPIC = 3,
};

// Sampler stages: pixel samplers 0 to 15, vertex-texture samplers from 257 on.
constexpr DWORD D3DDMAPSAMPLER = 256;
constexpr DWORD D3DVERTEXTEXTURESAMPLER0 = 257;
constexpr DWORD D3DVERTEXTEXTURESAMPLER1 = 258;
constexpr DWORD D3DVERTEXTEXTURESAMPLER2 = 259;
constexpr DWORD D3DVERTEXTEXTURESAMPLER3 = 260;

// Stream frequencies: stream 0 with INDEXEDDATA | n draws n instances; streams with
// INSTANCEDATA | 1 advance once per instance.
constexpr UINT D3DSTREAMSOURCE_INDEXEDDATA = 0x40000000u;
constexpr UINT D3DSTREAMSOURCE_INSTANCEDATA = 0x80000000u;

// Usage, lock, clear, create and present flags.
constexpr DWORD D3DUSAGE_RENDERTARGET = 0x1;
constexpr DWORD D3DUSAGE_DEPTHSTENCIL = 0x2;
constexpr DWORD D3DUSAGE_WRITEONLY = 0x8;
constexpr DWORD D3DUSAGE_DYNAMIC = 0x200;
constexpr DWORD D3DUSAGE_AUTOGENMIPMAP = 0x400;

constexpr DWORD D3DLOCK_READONLY = 0x10;
constexpr DWORD D3DLOCK_NOSYSLOCK = 0x800;
constexpr DWORD D3DLOCK_NOOVERWRITE = 0x1000;
constexpr DWORD D3DLOCK_DISCARD = 0x2000;

constexpr DWORD D3DCLEAR_TARGET = 0x1;
constexpr DWORD D3DCLEAR_ZBUFFER = 0x2;
constexpr DWORD D3DCLEAR_STENCIL = 0x4;

constexpr DWORD D3DCREATE_FPU_PRESERVE = 0x02;
constexpr DWORD D3DCREATE_MULTITHREADED = 0x04;
constexpr DWORD D3DCREATE_PUREDEVICE = 0x10;
constexpr DWORD D3DCREATE_SOFTWARE_VERTEXPROCESSING = 0x20;
constexpr DWORD D3DCREATE_HARDWARE_VERTEXPROCESSING = 0x40;

constexpr DWORD D3DPRESENTFLAG_LOCKABLE_BACKBUFFER = 0x1;
constexpr UINT D3DPRESENT_INTERVAL_DEFAULT = 0;
constexpr UINT D3DPRESENT_INTERVAL_ONE = 1;
constexpr UINT D3DPRESENT_INTERVAL_IMMEDIATE = 0x80000000u;

constexpr UINT D3DADAPTER_DEFAULT = 0;
constexpr UINT D3D_SDK_VERSION = 32;

constexpr DWORD D3DPTFILTERCAPS_MINFPOINT = 0x100;
constexpr DWORD D3DPTFILTERCAPS_MINFLINEAR = 0x200;
constexpr DWORD D3DPTFILTERCAPS_MINFANISOTROPIC = 0x400;
constexpr DWORD D3DPTFILTERCAPS_MAGFPOINT = 0x1000000;
constexpr DWORD D3DPTFILTERCAPS_MAGFLINEAR = 0x2000000;

#define D3DVS_VERSION(major, minor) (0xFFFE0000u | ((major) << 8) | (minor))
#define D3DPS_VERSION(major, minor) (0xFFFF0000u | ((major) << 8) | (minor))

// Vertex declarations.
enum D3DDECLTYPE : BYTE {
  D3DDECLTYPE_FLOAT1 = 0,
  D3DDECLTYPE_FLOAT2 = 1,
  D3DDECLTYPE_FLOAT3 = 2,
  D3DDECLTYPE_FLOAT4 = 3,
  D3DDECLTYPE_D3DCOLOR = 4,
  D3DDECLTYPE_UBYTE4 = 5,
  D3DDECLTYPE_SHORT2 = 6,
  D3DDECLTYPE_SHORT4 = 7,
  D3DDECLTYPE_UBYTE4N = 8,
  D3DDECLTYPE_SHORT2N = 9,
  D3DDECLTYPE_SHORT4N = 10,
  D3DDECLTYPE_USHORT2N = 11,
  D3DDECLTYPE_USHORT4N = 12,
  D3DDECLTYPE_FLOAT16_2 = 15,
  D3DDECLTYPE_FLOAT16_4 = 16,
  D3DDECLTYPE_UNUSED = 17,
};

enum D3DDECLMETHOD : BYTE { D3DDECLMETHOD_DEFAULT = 0 };

// Only POSITION and TEXCOORD reach a shader: POSITIONk is attribute location k, TEXCOORDn
// location n + 1 (the engine numbers its inputs so that these never collide).
enum D3DDECLUSAGE : BYTE {
  D3DDECLUSAGE_POSITION = 0,
  D3DDECLUSAGE_BLENDWEIGHT = 1,
  D3DDECLUSAGE_BLENDINDICES = 2,
  D3DDECLUSAGE_NORMAL = 3,
  D3DDECLUSAGE_PSIZE = 4,
  D3DDECLUSAGE_TEXCOORD = 5,
  D3DDECLUSAGE_TANGENT = 6,
  D3DDECLUSAGE_BINORMAL = 7,
  D3DDECLUSAGE_COLOR = 10,
};

struct D3DVERTEXELEMENT9 {
  WORD Stream;
  WORD Offset;
  BYTE Type;
  BYTE Method;
  BYTE Usage;
  BYTE UsageIndex;
};
#define D3DDECL_END() {0xFF, 0, D3DDECLTYPE_UNUSED, 0, 0, 0}
constexpr UINT MAXD3DDECLLENGTH = 64;

// ---------------------------------------------------------------------------------------------
// Structures
// ---------------------------------------------------------------------------------------------

struct D3DPRESENT_PARAMETERS {
  UINT BackBufferWidth;   // 0 in a window: the window's size
  UINT BackBufferHeight;
  D3DFORMAT BackBufferFormat;  // X8R8G8B8 or R5G6B5
  UINT BackBufferCount;
  D3DMULTISAMPLE_TYPE MultiSampleType;
  DWORD MultiSampleQuality;
  D3DSWAPEFFECT SwapEffect;
  HWND hDeviceWindow;
  BOOL Windowed;
  BOOL EnableAutoDepthStencil;
  D3DFORMAT AutoDepthStencilFormat;
  DWORD Flags;
  UINT FullScreen_RefreshRateInHz;
  UINT PresentationInterval;
};

struct D3DADAPTER_IDENTIFIER9 {
  char Driver[512];
  char Description[512];
  char DeviceName[32];
  uint64_t DriverVersion;
  DWORD VendorId;
  DWORD DeviceId;
  DWORD SubSysId;
  DWORD Revision;
  DWORD WHQLLevel;
};

// The capabilities the engine reads.
struct D3DCAPS9 {
  D3DDEVTYPE DeviceType;
  UINT AdapterOrdinal;
  DWORD TextureFilterCaps;
  DWORD CubeTextureFilterCaps;
  DWORD MaxTextureWidth;
  DWORD MaxTextureHeight;
  DWORD MaxAnisotropy;
  DWORD NumSimultaneousRTs;
  DWORD MaxStreams;
  DWORD VertexShaderVersion;
  DWORD MaxVertexShaderConst;
  DWORD PixelShaderVersion;
};

struct D3DVIEWPORT9 {
  DWORD X;
  DWORD Y;
  DWORD Width;
  DWORD Height;
  float MinZ;
  float MaxZ;
};

struct D3DLOCKED_RECT {
  INT Pitch;  // bytes per row; for DXT formats bytes per row of 4x4 blocks
  void* pBits;
};

struct D3DSURFACE_DESC {
  D3DFORMAT Format;
  D3DRESOURCETYPE Type;
  DWORD Usage;
  D3DPOOL Pool;
  D3DMULTISAMPLE_TYPE MultiSampleType;
  DWORD MultiSampleQuality;
  UINT Width;
  UINT Height;
};

struct D3DVERTEXBUFFER_DESC {
  D3DFORMAT Format;
  D3DRESOURCETYPE Type;
  DWORD Usage;
  D3DPOOL Pool;
  UINT Size;
  DWORD FVF;
};

struct D3DINDEXBUFFER_DESC {
  D3DFORMAT Format;
  D3DRESOURCETYPE Type;
  DWORD Usage;
  D3DPOOL Pool;
  UINT Size;
};

// ---------------------------------------------------------------------------------------------
// Interfaces
// ---------------------------------------------------------------------------------------------

struct IDirect3DDevice9;

struct IDirect3DResource9 : IUnknown {
  virtual HRESULT GetDevice(IDirect3DDevice9** geraet) = 0;
  virtual D3DRESOURCETYPE GetType() = 0;
};

struct IDirect3DSurface9 : IDirect3DResource9 {
  virtual HRESULT GetDesc(D3DSURFACE_DESC* beschreibung) = 0;
  // rect null: the whole surface. Without D3DLOCK_READONLY the bytes are written back at
  // UnlockRect; their content before writing is undefined unless the lock is read-only.
  virtual HRESULT LockRect(D3DLOCKED_RECT* gesperrt, const RECT* rect, DWORD flags) = 0;
  virtual HRESULT UnlockRect() = 0;
};

struct IDirect3DBaseTexture9 : IDirect3DResource9 {
  // With D3DUSAGE_AUTOGENMIPMAP a texture shows one level; the lower ones follow level 0.
  virtual DWORD GetLevelCount() = 0;
  virtual void GenerateMipSubLevels() = 0;
};

struct IDirect3DTexture9 : IDirect3DBaseTexture9 {
  virtual HRESULT GetLevelDesc(UINT stufe, D3DSURFACE_DESC* beschreibung) = 0;
  virtual HRESULT GetSurfaceLevel(UINT stufe, IDirect3DSurface9** oberflaeche) = 0;
  virtual HRESULT LockRect(UINT stufe, D3DLOCKED_RECT* gesperrt, const RECT* rect, DWORD flags) = 0;
  virtual HRESULT UnlockRect(UINT stufe) = 0;
};

struct IDirect3DCubeTexture9 : IDirect3DBaseTexture9 {
  virtual HRESULT GetLevelDesc(UINT stufe, D3DSURFACE_DESC* beschreibung) = 0;
  virtual HRESULT GetCubeMapSurface(D3DCUBEMAP_FACES seite, UINT stufe,
                                    IDirect3DSurface9** oberflaeche) = 0;
  virtual HRESULT LockRect(D3DCUBEMAP_FACES seite, UINT stufe, D3DLOCKED_RECT* gesperrt,
                           const RECT* rect, DWORD flags) = 0;
  virtual HRESULT UnlockRect(D3DCUBEMAP_FACES seite, UINT stufe) = 0;
};

struct IDirect3DVertexBuffer9 : IDirect3DResource9 {
  // groesse 0: to the end of the buffer. D3DLOCK_DISCARD gives the buffer fresh storage.
  virtual HRESULT Lock(UINT versatz, UINT groesse, void** daten, DWORD flags) = 0;
  virtual HRESULT Unlock() = 0;
  virtual HRESULT GetDesc(D3DVERTEXBUFFER_DESC* beschreibung) = 0;
};

struct IDirect3DIndexBuffer9 : IDirect3DResource9 {
  virtual HRESULT Lock(UINT versatz, UINT groesse, void** daten, DWORD flags) = 0;
  virtual HRESULT Unlock() = 0;
  virtual HRESULT GetDesc(D3DINDEXBUFFER_DESC* beschreibung) = 0;
};

struct IDirect3DVertexDeclaration9 : IUnknown {
  // elemente null: only the count (the end element included) is returned.
  virtual HRESULT GetDeclaration(D3DVERTEXELEMENT9* elemente, UINT* anzahl) = 0;
};

struct IDirect3DVertexShader9 : IUnknown {};
struct IDirect3DPixelShader9 : IUnknown {};

struct IDirect3DDevice9 : IUnknown {
  // Device state and presentation.
  virtual HRESULT TestCooperativeLevel() = 0;
  virtual UINT GetAvailableTextureMem() = 0;
  virtual HRESULT GetDeviceCaps(D3DCAPS9* caps) = 0;
  virtual HRESULT Reset(D3DPRESENT_PARAMETERS* parameter) = 0;
  virtual HRESULT Present(const RECT* quelle, const RECT* ziel, HWND fenster,
                          const void* dirtyRegion) = 0;
  virtual HRESULT GetBackBuffer(UINT swapChain, UINT puffer, D3DBACKBUFFER_TYPE typ,
                                IDirect3DSurface9** oberflaeche) = 0;

  // Resource creation. geteilt (shared handle) must be null.
  virtual HRESULT CreateTexture(UINT breite, UINT hoehe, UINT stufen, DWORD usage,
                                D3DFORMAT format, D3DPOOL pool, IDirect3DTexture9** textur,
                                HANDLE* geteilt) = 0;
  virtual HRESULT CreateCubeTexture(UINT kante, UINT stufen, DWORD usage, D3DFORMAT format,
                                    D3DPOOL pool, IDirect3DCubeTexture9** textur,
                                    HANDLE* geteilt) = 0;
  virtual HRESULT CreateVertexBuffer(UINT laenge, DWORD usage, DWORD fvf, D3DPOOL pool,
                                     IDirect3DVertexBuffer9** puffer, HANDLE* geteilt) = 0;
  virtual HRESULT CreateIndexBuffer(UINT laenge, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                    IDirect3DIndexBuffer9** puffer, HANDLE* geteilt) = 0;
  virtual HRESULT CreateRenderTarget(UINT breite, UINT hoehe, D3DFORMAT format,
                                     D3DMULTISAMPLE_TYPE multisample, DWORD qualitaet,
                                     BOOL sperrbar, IDirect3DSurface9** oberflaeche,
                                     HANDLE* geteilt) = 0;
  virtual HRESULT CreateDepthStencilSurface(UINT breite, UINT hoehe, D3DFORMAT format,
                                            D3DMULTISAMPLE_TYPE multisample, DWORD qualitaet,
                                            BOOL verwerfen, IDirect3DSurface9** oberflaeche,
                                            HANDLE* geteilt) = 0;
  virtual HRESULT CreateOffscreenPlainSurface(UINT breite, UINT hoehe, D3DFORMAT format,
                                              D3DPOOL pool, IDirect3DSurface9** oberflaeche,
                                              HANDLE* geteilt) = 0;

  // Copies between surfaces: system memory -> default pool, render target -> system memory.
  virtual HRESULT UpdateSurface(IDirect3DSurface9* quelle, const RECT* quellRect,
                                IDirect3DSurface9* ziel, const POINT* zielPunkt) = 0;
  virtual HRESULT GetRenderTargetData(IDirect3DSurface9* renderZiel,
                                      IDirect3DSurface9* ziel) = 0;

  // Targets, viewport, clearing, scenes.
  virtual HRESULT SetRenderTarget(DWORD index, IDirect3DSurface9* oberflaeche) = 0;
  virtual HRESULT GetRenderTarget(DWORD index, IDirect3DSurface9** oberflaeche) = 0;
  virtual HRESULT SetDepthStencilSurface(IDirect3DSurface9* oberflaeche) = 0;
  virtual HRESULT GetDepthStencilSurface(IDirect3DSurface9** oberflaeche) = 0;
  virtual HRESULT BeginScene() = 0;
  virtual HRESULT EndScene() = 0;
  virtual HRESULT Clear(DWORD anzahl, const RECT* rects, DWORD flags, D3DCOLOR farbe, float z,
                        DWORD stencil) = 0;
  virtual HRESULT SetViewport(const D3DVIEWPORT9* viewport) = 0;
  virtual HRESULT GetViewport(D3DVIEWPORT9* viewport) = 0;

  // States.
  virtual HRESULT SetRenderState(D3DRENDERSTATETYPE zustand, DWORD wert) = 0;
  virtual HRESULT GetRenderState(D3DRENDERSTATETYPE zustand, DWORD* wert) = 0;
  virtual HRESULT SetTexture(DWORD stufe, IDirect3DBaseTexture9* textur) = 0;
  virtual HRESULT GetTexture(DWORD stufe, IDirect3DBaseTexture9** textur) = 0;
  virtual HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE typ, DWORD wert) = 0;
  virtual HRESULT GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE typ, DWORD* wert) = 0;

  // Vertex input and shaders. The shader "function" is a serialised Plattform::TShaderCode.
  virtual HRESULT CreateVertexDeclaration(const D3DVERTEXELEMENT9* elemente,
                                          IDirect3DVertexDeclaration9** deklaration) = 0;
  virtual HRESULT SetVertexDeclaration(IDirect3DVertexDeclaration9* deklaration) = 0;
  virtual HRESULT GetVertexDeclaration(IDirect3DVertexDeclaration9** deklaration) = 0;
  virtual HRESULT CreateVertexShader(const DWORD* funktion, IDirect3DVertexShader9** shader) = 0;
  virtual HRESULT SetVertexShader(IDirect3DVertexShader9* shader) = 0;
  virtual HRESULT GetVertexShader(IDirect3DVertexShader9** shader) = 0;
  virtual HRESULT CreatePixelShader(const DWORD* funktion, IDirect3DPixelShader9** shader) = 0;
  virtual HRESULT SetPixelShader(IDirect3DPixelShader9* shader) = 0;
  virtual HRESULT GetPixelShader(IDirect3DPixelShader9** shader) = 0;

  // Float constant registers: 256 vertex, 224 pixel.
  virtual HRESULT SetVertexShaderConstantF(UINT start, const float* werte, UINT anzahl) = 0;
  virtual HRESULT GetVertexShaderConstantF(UINT start, float* werte, UINT anzahl) = 0;
  virtual HRESULT SetPixelShaderConstantF(UINT start, const float* werte, UINT anzahl) = 0;
  virtual HRESULT GetPixelShaderConstantF(UINT start, float* werte, UINT anzahl) = 0;

  // Streams and drawing.
  virtual HRESULT SetStreamSource(UINT strom, IDirect3DVertexBuffer9* puffer, UINT versatz,
                                  UINT schritt) = 0;
  virtual HRESULT SetStreamSourceFreq(UINT strom, UINT einstellung) = 0;
  virtual HRESULT GetStreamSourceFreq(UINT strom, UINT* einstellung) = 0;
  virtual HRESULT SetIndices(IDirect3DIndexBuffer9* puffer) = 0;
  virtual HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE typ, INT basisVertex, UINT minIndex,
                                       UINT vertexAnzahl, UINT startIndex,
                                       UINT primitivAnzahl) = 0;
};

struct IDirect3D9 : IUnknown {
  virtual UINT GetAdapterCount() = 0;
  virtual HRESULT GetAdapterIdentifier(UINT adapter, DWORD flags,
                                       D3DADAPTER_IDENTIFIER9* kennung) = 0;
  virtual HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE typ, D3DCAPS9* caps) = 0;
  // Needs the window's context to be current (it is, once the window exists).
  virtual HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE typ, D3DFORMAT adapterFormat,
                                    DWORD usage, D3DRESOURCETYPE ressourcenTyp,
                                    D3DFORMAT format) = 0;
  // fenster: the GLFWwindow*, created with an OpenGL core context.
  virtual HRESULT CreateDevice(UINT adapter, D3DDEVTYPE typ, HWND fenster, DWORD verhalten,
                               D3DPRESENT_PARAMETERS* parameter,
                               IDirect3DDevice9** geraet) = 0;
};

IDirect3D9* Direct3DCreate9(UINT sdkVersion);

typedef IDirect3D9* LPDIRECT3D9;
typedef IDirect3DDevice9* LPDIRECT3DDEVICE9;
typedef IDirect3DSurface9* LPDIRECT3DSURFACE9;
typedef IDirect3DBaseTexture9* LPDIRECT3DBASETEXTURE9;
typedef IDirect3DTexture9* LPDIRECT3DTEXTURE9;
typedef IDirect3DCubeTexture9* LPDIRECT3DCUBETEXTURE9;
typedef IDirect3DVertexBuffer9* LPDIRECT3DVERTEXBUFFER9;
typedef IDirect3DIndexBuffer9* LPDIRECT3DINDEXBUFFER9;
typedef IDirect3DVertexDeclaration9* LPDIRECT3DVERTEXDECLARATION9;
typedef IDirect3DVertexShader9* LPDIRECT3DVERTEXSHADER9;
typedef IDirect3DPixelShader9* LPDIRECT3DPIXELSHADER9;

// ---------------------------------------------------------------------------------------------
// Test switches (not part of Direct3D 9): OpenGL reports neither lost devices nor exhausted
// video memory, so tests make the layer report them, to drive the engine's reset and
// eviction paths.
// ---------------------------------------------------------------------------------------------
namespace Plattform {

// Bytes of video memory the create calls may use (textures, cube textures, vertex and index
// buffers, depth-stencil surfaces, render targets); beyond it they answer
// D3DERR_OUTOFVIDEOMEMORY. UINT64_MAX (the default) means no limit.
void SetzeVideoRAMBudget(uint64_t bytes);
uint64_t GetVideoRAMBudget();
// Bytes the live resources of the current device hold.
uint64_t GetBelegterVideoRAM();

// The next Present reports D3DERR_DEVICELOST; from then on until a successful Reset,
// Present keeps reporting it and TestCooperativeLevel answers D3DERR_DEVICENOTRESET.
void ErzwingeGeraeteVerlust();

}  // namespace Plattform
