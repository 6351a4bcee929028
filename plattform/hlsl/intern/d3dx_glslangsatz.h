#pragma once
// What the compiler and its glslang process (the program weilerbau_glslang) say to each other:
// a compile job one way, glslang's result the other, each as one frame (a length word, then
// the record) through the stream socket that is the glslang process's standard input and
// output.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "plattform/hlsl/intern/d3dx_kompiler.h"

namespace Plattform {

class TGlslangSatz {
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

  // The records as bytes, and back; false for a damaged record.
  static std::string Verpacke(const THlslKompiler::TAuftrag& auftrag);
  static bool Entpacke(const std::string& bytes, THlslKompiler::TAuftrag& auftrag);
  static std::string Verpacke(const TErgebnis& ergebnis);
  static bool Entpacke(const std::string& bytes, TErgebnis& ergebnis);

  // A line of the compiler's messages about this job: "ERROR: <source name>: <text>".
  static std::string Fehlerzeile(const THlslKompiler::TAuftrag& auftrag, const std::string& text);

  // One frame through a stream socket. A socket that would block is waited for until `ende`
  // (none: as long as it takes). Ende: the other side closed before the frame began; Kaputt:
  // it closed or failed within the frame, or the frame is longer than any record can be.
  enum class TStand { Gut, Ende, Kaputt, Zeit };
  using TZeitpunkt = std::chrono::steady_clock::time_point;
  static TStand SchreibeRahmen(int fd, const std::string& satz,
                               const std::optional<TZeitpunkt>& ende);
  static TStand LiesRahmen(int fd, std::string& satz, const std::optional<TZeitpunkt>& ende);
};

}  // namespace Plattform
