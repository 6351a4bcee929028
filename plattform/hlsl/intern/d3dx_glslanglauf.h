#pragma once
// Runs glslang (HLSL to SPIR-V) for the compiler in a process of its own, the program
// weilerbau_glslang: glslang as Debian ships it crashes on a good many malformed sources,
// overflows its stack on deeply nested ones and takes minutes on some long ones. There that ends
// only the glslang process, and the compile of that source fails with a message saying so.
//
// One glslang process serves the whole run, one job after another, so that glslang sets up its
// tables once; it is started at the first compile (posix_spawn, which a process with threads
// may call safely, unlike fork) and again after it has died or been killed for taking too long.
#include "plattform/hlsl/intern/d3dx_glslangsatz.h"
#include "plattform/hlsl/intern/d3dx_kompiler.h"

namespace Plattform {

class TGlslangLauf {
 public:
  // The program's file name. It lies beside the program that compiles, or, for programs built
  // into a folder of their own (the tests), in the folder bin64 beside theirs.
  static constexpr const char* Programm = "weilerbau_glslang";

  static TGlslangSatz::TErgebnis Fuehre(const THlslKompiler::TAuftrag& auftrag);
};

}  // namespace Plattform
