#pragma once
// A logical on/off input fed by any number of device controls (the library evaluates channels,
// the application fills them in).
#include <cstdint>
#include <vector>

namespace ORVIS {

class DigitalChannel {
 public:
  struct Binding {
    uint64_t mDevice = 0;
    uint64_t mControl = 0;
    uint8_t mAnalog = 0;       // the control is an axis tested against the threshold
    float mThreshold = 0.0f;   // above a non-negative threshold, below a negative one
  };

  uint64_t mId = 0;
  std::vector<Binding> mBindings;
  uint8_t mState = 0;
  uint8_t mChanged = 0;  // changed in the current frame
};

}  // namespace ORVIS
