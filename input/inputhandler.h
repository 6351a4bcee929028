#pragma once
// The receiver of every input event. The application derives from it and makes one object the
// input system's handler; each operation returns true when it consumed the event, which stops
// the event from being offered further.
#include <cstdint>

namespace ORVIS {

class Device;
class Mouse;
class Keyboard;
class Joystick;
class DigitalChannel;
class AnalogChannel;

class InputHandler {
 public:
  virtual ~InputHandler() = default;
  // key: DirectInput key code 0..255.
  virtual bool OnKey(Keyboard*, uint32_t /*key*/, bool /*down*/) { return false; }
  // x, y: window client pixels.
  virtual bool OnMouseMoved(Mouse*, float /*x*/, float /*y*/) { return false; }
  virtual bool OnMouseButton(Mouse*, uint32_t /*button*/, bool /*down*/) { return false; }
  virtual bool OnMouseWheel(Mouse*, float /*delta*/) { return false; }
  virtual bool OnJoystickButton(Joystick*, uint32_t /*button*/, bool /*down*/) { return false; }
  virtual bool OnJoystickAxis(Joystick*, uint32_t /*axis*/, float /*value*/) { return false; }
  // codePoint: the Unicode character a key press typed.
  virtual bool OnKeyText(Keyboard*, uint32_t /*codePoint*/) { return false; }
  virtual bool OnDigitalEvent(Device*, uint32_t /*control*/, bool /*down*/) { return false; }
  virtual bool OnAnalogEvent(Device*, uint32_t /*control*/, float /*value*/) { return false; }
  virtual void OnDigitalChannelChanged(const DigitalChannel*) {}
  virtual void OnAnalogChannelChanged(const AnalogChannel*) {}
};

}  // namespace ORVIS
