#pragma once
#include "input/device.h"

namespace ORVIS {

class Joystick : public Device {
 public:
  using Device::Device;
};

}  // namespace ORVIS
