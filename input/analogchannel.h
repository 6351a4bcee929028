#pragma once
// A logical value summed from device controls.
#include <cstdint>
#include <vector>

namespace ORVIS {

class AnalogChannel {
 public:
  enum Kind : uint32_t {
    Axis = 0,            // adds the axis value
    Button = 1,          // adds mValue while the button is down
    AxisThreshold = 2,   // adds axis x mScale when beyond mValue (always when mValue is 0)
  };
  struct Binding {
    uint64_t mDevice = 0;
    uint64_t mControl = 0;
    uint32_t mKind = Axis;
    float mValue = 0.0f;  // the button's value, or the threshold
    float mScale = 1.0f;
  };

  uint64_t mId = 0;
  std::vector<Binding> mBindings;
  float mValue = 0.0f;
  float mDelta = 0.0f;  // change in the current frame
};

}  // namespace ORVIS
