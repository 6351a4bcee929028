#pragma once
#include "input/device.h"

namespace ORVIS {

class Mouse : public Device {
 public:
  using Device::Device;
  virtual float GetMouseX() const = 0;
  virtual float GetMouseY() const = 0;
  virtual float GetRelMouseX() const = 0;
  virtual float GetRelMouseY() const = 0;
};

}  // namespace ORVIS
