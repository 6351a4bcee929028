#pragma once
// Runs glslang (HLSL to SPIR-V) for the compiler, in a child process while this process has a
// single thread. glslang as Debian ships it crashes on a good many malformed sources instead of
// reporting them; in a child such a crash (or a hang) becomes a compile error of that source.
// A process with more threads (a GL driver's, once the device exists) cannot fork safely, so
// there glslang runs in this process.
#include <cstdint>
#include <string>
#include <vector>

#include "plattform/hlsl/intern/d3dx_kompiler.h"

namespace Plattform {

class TGlslangLauf {
 public:
  struct TExpliziterRegister {
    std::string Name;
    char Satz = 'c';
    uint32_t Index = 0;
  };
  struct TErgebnis {
    bool Erfolg = false;
    std::string Meldungen;
    std::vector<uint32_t> Spirv;
    std::vector<std::string> Reihenfolge;  // global symbols in declaration order
    // Registers the source asks for with register(cN) or register(sN): name, 'c' or 's', N.
    std::vector<TExpliziterRegister> Register;
  };

  // Longest a compile may take before it counts as hung.
  static constexpr int GrenzeMillisekunden = 30000;

  static TErgebnis Fuehre(const THlslKompiler::TAuftrag& auftrag);

  // The same work in this process, without protection; the child runs this.
  static TErgebnis FuehreHier(const THlslKompiler::TAuftrag& auftrag);

  // The result as bytes for the pipe, and back; false for a damaged record.
  static std::string Verpacke(const TErgebnis& ergebnis);
  static bool Entpacke(const std::string& bytes, TErgebnis& ergebnis);
};

}  // namespace Plattform
