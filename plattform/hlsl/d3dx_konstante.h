#pragma once
// One constant of a compiled shader, as the compiler lays it out in Direct3D 9 registers and
// the constant table hands it out: the description, the members of a structure and, for an
// array, each element as a constant of its own.
#include <string>
#include <vector>

#include "plattform/hlsl/d3dx_typen.h"

namespace Plattform {

struct TKonstante {
  std::string Name;
  D3DXREGISTER_SET RegisterSatz = D3DXRS_FLOAT4;
  uint32_t RegisterIndex = 0;
  uint32_t RegisterAnzahl = 0;  // the whole constant, every element
  D3DXPARAMETER_CLASS Klasse = D3DXPC_SCALAR;
  D3DXPARAMETER_TYPE Typ = D3DXPT_FLOAT;
  uint32_t Zeilen = 1;
  uint32_t Spalten = 1;
  uint32_t Elemente = 1;
  uint32_t Bytes = 0;
  // Members of a structure (of its first element when it is an array), in declaration order.
  std::vector<TKonstante> Mitglieder;
  // Elements of an array with more than one element, each with its own registers and members.
  std::vector<TKonstante> Einzelne;
};

}  // namespace Plattform
