#pragma once
// The plain types of our D3DX stand-in: names, enumerations and records the shader code of
// the engine uses with the HLSL compiler and its constant table. The numbers are the ones the
// engine's code relies on (register sets, parameter classes and types, compile flags).
#include "plattform/d3d9/d3d9_basis.h"

typedef const char* LPCSTR;
typedef const void* LPCVOID;
// A handle into a constant table: either one the table handed out, or a constant's name.
typedef const char* D3DXHANDLE;

// A preprocessor definition handed to the compiler; lists end with a null Name.
struct D3DXMACRO {
  LPCSTR Name;
  LPCSTR Definition;
};
typedef const D3DXMACRO* LPD3DXMACRO_CONST;

// Opens the files named by #include. The engine compiles without one; then an #include is an
// error of the source.
enum D3DXINCLUDE_TYPE : uint32_t { D3DXINC_LOCAL = 0, D3DXINC_SYSTEM = 1 };
struct ID3DXInclude {
  virtual HRESULT Open(D3DXINCLUDE_TYPE art, LPCSTR name, LPCVOID elternDaten, LPCVOID* daten,
                       UINT* bytes) = 0;
  virtual HRESULT Close(LPCVOID daten) = 0;

 protected:
  ~ID3DXInclude() = default;
};
typedef ID3DXInclude* LPD3DXINCLUDE;

// Compile flags.
constexpr DWORD D3DXSHADER_DEBUG = 1u << 0;
constexpr DWORD D3DXSHADER_SKIPVALIDATION = 1u << 1;
constexpr DWORD D3DXSHADER_SKIPOPTIMIZATION = 1u << 2;
constexpr DWORD D3DXSHADER_PACKMATRIX_ROWMAJOR = 1u << 3;
constexpr DWORD D3DXSHADER_PACKMATRIX_COLUMNMAJOR = 1u << 4;

enum D3DXREGISTER_SET : uint32_t {
  D3DXRS_BOOL = 0,
  D3DXRS_INT4 = 1,
  D3DXRS_FLOAT4 = 2,
  D3DXRS_SAMPLER = 3,
};

enum D3DXPARAMETER_CLASS : uint32_t {
  D3DXPC_SCALAR = 0,
  D3DXPC_VECTOR = 1,
  D3DXPC_MATRIX_ROWS = 2,
  D3DXPC_MATRIX_COLUMNS = 3,
  D3DXPC_OBJECT = 4,
  D3DXPC_STRUCT = 5,
};

enum D3DXPARAMETER_TYPE : uint32_t {
  D3DXPT_VOID = 0,
  D3DXPT_BOOL = 1,
  D3DXPT_INT = 2,
  D3DXPT_FLOAT = 3,
  D3DXPT_STRING = 4,
  D3DXPT_TEXTURE = 5,
  D3DXPT_TEXTURE1D = 6,
  D3DXPT_TEXTURE2D = 7,
  D3DXPT_TEXTURE3D = 8,
  D3DXPT_TEXTURECUBE = 9,
  D3DXPT_SAMPLER = 10,
  D3DXPT_SAMPLER1D = 11,
  D3DXPT_SAMPLER2D = 12,
  D3DXPT_SAMPLER3D = 13,
  D3DXPT_SAMPLERCUBE = 14,
};

// One constant as the table describes it. Register indices are absolute: a structure member's
// is that of the member in the first element of its parent, an element's that of the element.
struct D3DXCONSTANT_DESC {
  LPCSTR Name;
  D3DXREGISTER_SET RegisterSet;
  UINT RegisterIndex;
  UINT RegisterCount;
  D3DXPARAMETER_CLASS Class;
  D3DXPARAMETER_TYPE Type;
  UINT Rows;
  UINT Columns;
  UINT Elements;
  UINT StructMembers;
  UINT Bytes;
  LPCVOID DefaultValue;
};

struct D3DXCONSTANTTABLE_DESC {
  LPCSTR Creator;
  DWORD Version;
  UINT Constants;
};
