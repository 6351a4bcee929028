#pragma once
// The input system: one per process. Owns every input device, updates them once a frame,
// turns their changes into events, repeats held keys, follows the window focus, grabs the
// cursor on request, evaluates the logical channels and offers every event to one handler.
#include <cstdint>
#include <map>
#include <vector>

#include "input/analogchannel.h"
#include "input/digitalchannel.h"
#include "input/inputhandler.h"

struct GLFWwindow;
namespace Plattform {
class EingabeSchicht;
}

namespace ORVIS {

class Device;
class Mouse;
class Keyboard;
class Joystick;

// The window the input system serves.
using HWND = GLFWwindow*;

// Receives every log line of the library; null means silence.
using LogFunction = void (*)(const char*);
extern LogFunction LogCallback;

class InputSystem {
 public:
  static InputSystem* Instance;

  // startTick: the millisecond clock at construction.
  explicit InputSystem(uint32_t startTick);
  virtual ~InputSystem();
  InputSystem(const InputSystem&) = delete;
  InputSystem& operator=(const InputSystem&) = delete;

  // Once a frame, before anything reads input.
  virtual void Update();
  // Right after the window system has dispatched its events (the frame's event poll): the
  // records it queued reach the devices and the handler in the same frame, as window messages
  // do when they are dispatched.
  virtual void ProcessQueuedEvents() {}
  virtual void OnFocusChanged(bool hasFocus) = 0;
  virtual void SetCursorGrab(bool grab) = 0;

  // printf-style, at most 1023 characters, to LogCallback.
  static void Log(const char* format, ...) __attribute__((format(printf, 1, 2)));

  void SetHandler(InputHandler* handler) { mHandler = handler; }
  InputHandler* GetHandler() const { return mHandler; }

  void SetFocus(bool hasFocus);
  void UpdateMouseGrab();
  void RegisterDevice(Device* device);

  Mouse* GetMouse(uint64_t n) const;
  Keyboard* GetKeyboard(uint64_t n) const;
  Device* GetDevice(uint64_t id) const { return id < mDevices.size() ? mDevices[id] : nullptr; }

  void RaiseKey(Keyboard* keyboard, uint32_t key, uint32_t codePoint, bool down);
  void RaiseMouseMove(Mouse* mouse, float x, float y, float dx, float dy);
  void RaiseMouseButton(Mouse* mouse, uint32_t button, bool down);
  void RaiseMouseWheel(Mouse* mouse, float delta);
  void RaiseJoystickButton(Joystick* joystick, uint32_t button, bool down);
  void RaiseJoystickAxis(Joystick* joystick, uint32_t axis, float value);
  void RaiseDigital(Device* device, uint32_t control, bool down);
  void RaiseAnalog(Device* device, uint32_t control, float value);
  void DispatchChannels(Device* device, uint64_t control, bool analog);

  // Key repeat bookkeeping for a real key change.
  void NoteKeyChange(Keyboard* keyboard, uint32_t key, uint32_t codePoint, bool down);

  std::vector<Device*> mDevices;  // owned; a device's id is its position
  Mouse* mPrimaryMouse = nullptr;
  Keyboard* mPrimaryKeyboard = nullptr;
  Joystick* mPrimaryJoystick = nullptr;
  uint64_t mMouseCount = 0;
  uint64_t mKeyboardCount = 0;
  uint64_t mJoystickCount = 0;
  InputHandler* mHandler = nullptr;  // not owned
  uint8_t mHasFocus = 1;
  uint8_t mMultiDevice = 0;  // 1: every mouse and keyboard reports on its own
  uint8_t mGrabWanted = 0;
  uint8_t mGrabActive = 0;
  uint8_t mKeyRepeat = 1;
  float mRepeatDelay = 0.7f;
  float mRepeatInterval = 0.1f;
  Keyboard* mRepeatKeyboard = nullptr;
  uint32_t mRepeatKey = 0;
  uint32_t mRepeatText = 0;
  uint32_t mLastTick;
  float mRepeatCountdown = 0.0f;  // seconds to the next repeat; <= 0 means none pending
  std::map<uint64_t, DigitalChannel> mDigitalChannels;
  std::map<uint64_t, AnalogChannel> mAnalogChannels;

 protected:
  // The monotonic millisecond clock that drives key repeat.
  virtual uint32_t CurrentTick() = 0;

 private:
  void UpdateDigitalChannel(DigitalChannel& channel);
  void UpdateAnalogChannel(AnalogChannel& channel);
};

}  // namespace ORVIS

// Creates the input system for the window. schicht: the platform layer to use (not owned);
// null means the GLFW layer of the window. False when creation failed (logged).
bool CreateInputSystem(ORVIS::HWND window, Plattform::EingabeSchicht* schicht = nullptr);
void DestroyInputSystem();
