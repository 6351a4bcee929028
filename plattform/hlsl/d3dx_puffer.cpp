#include "plattform/hlsl/d3dx_puffer.h"

#include <string>

namespace Plattform {

TD3DXPuffer* TD3DXPuffer::AusText(const std::string& text) {
  std::vector<uint8_t> daten(text.begin(), text.end());
  daten.push_back(0);
  return new TD3DXPuffer(std::move(daten));
}

TD3DXPuffer* TD3DXPuffer::AusBytes(const void* daten, size_t bytes) {
  const auto* anfang = static_cast<const uint8_t*>(daten);
  return new TD3DXPuffer(std::vector<uint8_t>(anfang, anfang + bytes));
}

}  // namespace Plattform
