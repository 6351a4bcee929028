#pragma once
// A look over preprocessed HLSL before glslang parses it: a global declared twice is an error
// in HLSL, and glslang (as Debian ships it) crashes on some such sources instead of reporting
// them, for example "int n; float n;". So we report it ourselves first.
#include <string>

namespace Plattform {

class TGlobalPruefung {
 public:
  // The first global name declared a second time, or "" when there is none.
  static std::string DoppelteGlobale(const std::string& vorverarbeitet);
};

}  // namespace Plattform
