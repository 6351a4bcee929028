#pragma once
// glslang's part of a compile: HLSL to SPIR-V, with what the rest of the compiler needs to know
// of the source (the globals' order, the registers it asks for). Only the compiler's glslang
// process (the program weilerbau_glslang) runs this: glslang as Debian ships it crashes, runs
// out of stack or takes minutes on some malformed sources, and that must end no other process.
#include "plattform/hlsl/intern/d3dx_glslangsatz.h"
#include "plattform/hlsl/intern/d3dx_kompiler.h"

namespace Plattform {

class TGlslangArbeit {
 public:
  // The job's source as THlslKompiler::BereiteVor left it.
  static TGlslangSatz::TErgebnis Fuehre(const THlslKompiler::TAuftrag& auftrag);
};

}  // namespace Plattform
