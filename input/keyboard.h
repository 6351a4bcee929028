#pragma once
#include "input/device.h"

namespace ORVIS {

// Keys are DirectInput key codes 0..255 (F1 0x3B, Enter 28, numeric-pad Enter 156).
class Keyboard : public Device {
 public:
  using Device::Device;
  virtual bool IsKeyDown(uint32_t key) const { return IsButtonDown(key); }
  virtual bool WasKeyPressed(uint32_t key) const { return WasButtonPressed(key); }
  virtual bool WasKeyReleased(uint32_t key) const { return WasButtonReleased(key); }
};

}  // namespace ORVIS
