#pragma once
// Base of every input device. Devices are owned by the input system; a device's id is its
// position in the system's device list.
#include <cstdint>
#include <string>

namespace ORVIS {

class InputSystem;

class Device {
 public:
  explicit Device(InputSystem* owner) : mOwner(owner) {}
  virtual ~Device() = default;
  Device(const Device&) = delete;
  Device& operator=(const Device&) = delete;

  virtual uint32_t GetButtonCount() const { return 0; }
  virtual std::string GetButtonText(uint32_t) const { return {}; }
  virtual uint32_t GetAxisCount() const { return 0; }
  virtual std::string GetAxisText(uint32_t) const { return {}; }
  virtual bool IsButtonDown(uint32_t) const { return false; }
  // Went down (up) in this frame. Keys and mouse buttons count the frame's own events, so a
  // press and release within one frame are a press in it and a release in the next; controller
  // buttons compare the state with the previous frame's.
  virtual bool WasButtonPressed(uint32_t) const { return false; }
  virtual bool WasButtonReleased(uint32_t) const { return false; }
  virtual float GetAxisAbsolute(uint32_t) const { return 0.0f; }
  virtual float GetAxisDifference(uint32_t) const { return 0.0f; }

  uint64_t mId = 0;
  uint64_t mIndex = 0;   // index within its kind; 0 is the kind's primary
  uint8_t mNew = 1;      // until the end of its first frame
  uint8_t mActive = 0;   // has delivered input
  InputSystem* mOwner;
};

}  // namespace ORVIS
