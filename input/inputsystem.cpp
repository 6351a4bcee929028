#include "input/inputsystem.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "input/joystick.h"
#include "input/keyboard.h"
#include "input/mouse.h"

namespace ORVIS {

LogFunction LogCallback = nullptr;
InputSystem* InputSystem::Instance = nullptr;

namespace {
// Longest step the repeat countdown takes in one frame, so that a stalled frame does not
// fire a burst of repeats.
constexpr float kMaxRepeatStep = 0.1f;
}  // namespace

InputSystem::InputSystem(uint32_t startTick) : mLastTick(startTick) {
  Instance = this;
  Log("ORVIS instance created.");
}

InputSystem::~InputSystem() {
  Log("ORVIS instance going down.");
  // Only the live instance clears the global pointer: a failed second creation must not
  // orphan the first.
  if (Instance == this) Instance = nullptr;
  mDigitalChannels.clear();
  mAnalogChannels.clear();
  mDevices.clear();
}

void InputSystem::Log(const char* format, ...) {
  if (!LogCallback) return;
  char buffer[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  LogCallback(buffer);
}

void InputSystem::Update() {
  const uint32_t now = CurrentTick();
  const float dt = static_cast<float>(static_cast<int32_t>(now - mLastTick)) * 0.001f;
  mLastTick = now;

  if (mRepeatCountdown > 0.0f) {
    mRepeatCountdown -= std::min(std::max(dt, 0.0f), kMaxRepeatStep);
    if (mRepeatCountdown <= 0.0f) {
      Keyboard* keyboard = mRepeatKeyboard;
      const uint32_t key = mRepeatKey, text = mRepeatText;
      RaiseKey(keyboard, key, text, false);
      RaiseKey(keyboard, key, text, true);
      // The overshoot is carried into the next interval.
      mRepeatCountdown = std::max(mRepeatInterval + mRepeatCountdown, 0.00001f);
    }
  }

  for (auto& [id, channel] : mDigitalChannels) channel.mChanged = 0;
  for (auto& [id, channel] : mAnalogChannels) channel.mDelta = 0.0f;
}

void InputSystem::NoteKeyChange(Keyboard* keyboard, uint32_t key, uint32_t codePoint,
                                bool down) {
  if (down) {
    if (!mKeyRepeat) return;
    mRepeatKeyboard = keyboard;
    mRepeatKey = key;
    mRepeatText = codePoint;
    mRepeatCountdown = mRepeatDelay;
  } else if (keyboard == mRepeatKeyboard && key == mRepeatKey) {
    mRepeatKeyboard = nullptr;
    mRepeatKey = 0;
    mRepeatText = 0;
    mRepeatCountdown = 0.0f;
  }
}

void InputSystem::SetFocus(bool hasFocus) {
  if (static_cast<bool>(mHasFocus) == hasFocus) return;
  Log("ORVIS: %s focus", hasFocus ? "got" : "lost");
  mHasFocus = hasFocus;
  OnFocusChanged(hasFocus);
  UpdateMouseGrab();
}

void InputSystem::UpdateMouseGrab() {
  const bool should = mGrabWanted && mHasFocus && !mMultiDevice;
  if (should == static_cast<bool>(mGrabActive)) return;
  Log("ORVIS: %s mouse", should ? "grabbing" : "releasing");
  mGrabActive = should;
  SetCursorGrab(should);
}

void InputSystem::RegisterDevice(Device* device) {
  mDevices.push_back(device);
  if (auto* mouse = dynamic_cast<Mouse*>(device)) {
    device->mIndex = mMouseCount++;
    if (!mPrimaryMouse) mPrimaryMouse = mouse;
  } else if (auto* keyboard = dynamic_cast<Keyboard*>(device)) {
    device->mIndex = mKeyboardCount++;
    if (!mPrimaryKeyboard) mPrimaryKeyboard = keyboard;
  } else if (auto* joystick = dynamic_cast<Joystick*>(device)) {
    device->mIndex = mJoystickCount++;
    if (!mPrimaryJoystick) mPrimaryJoystick = joystick;
  }
}

Mouse* InputSystem::GetMouse(uint64_t n) const {
  for (Device* d : mDevices)
    if (auto* m = dynamic_cast<Mouse*>(d))
      if (n-- == 0) return m;
  return nullptr;
}

Keyboard* InputSystem::GetKeyboard(uint64_t n) const {
  for (Device* d : mDevices)
    if (auto* k = dynamic_cast<Keyboard*>(d))
      if (n-- == 0) return k;
  return nullptr;
}

// ---- events ------------------------------------------------------------------------------

void InputSystem::RaiseKey(Keyboard* keyboard, uint32_t key, uint32_t codePoint, bool down) {
  if (mHandler) {
    if (mHandler->OnKey(keyboard, key, down)) return;
    if (down && codePoint != 0 && mHandler->OnKeyText(keyboard, codePoint)) return;
    if (mHandler->OnDigitalEvent(keyboard, key, down)) return;
  }
  DispatchChannels(keyboard, key, false);
}

void InputSystem::RaiseMouseMove(Mouse* mouse, float x, float y, float dx, float dy) {
  if (mHandler && mHandler->OnMouseMoved(mouse, x, y)) return;
  // The analog value is the new absolute position; a consumed x part leaves the y part.
  if (dx != 0.0f && !(mHandler && mHandler->OnAnalogEvent(mouse, 0, x)))
    DispatchChannels(mouse, 0, true);
  if (dy != 0.0f && !(mHandler && mHandler->OnAnalogEvent(mouse, 1, y)))
    DispatchChannels(mouse, 1, true);
}

void InputSystem::RaiseMouseButton(Mouse* mouse, uint32_t button, bool down) {
  if (mHandler) {
    if (mHandler->OnMouseButton(mouse, button, down)) return;
    if (mHandler->OnDigitalEvent(mouse, button, down)) return;
  }
  DispatchChannels(mouse, button, false);
}

void InputSystem::RaiseMouseWheel(Mouse* mouse, float delta) {
  if (mHandler) {
    if (mHandler->OnMouseWheel(mouse, delta)) return;
    if (mHandler->OnAnalogEvent(mouse, 2, delta)) return;
  }
  DispatchChannels(mouse, 2, true);
}

void InputSystem::RaiseJoystickButton(Joystick* joystick, uint32_t button, bool down) {
  if (mHandler) {
    if (mHandler->OnJoystickButton(joystick, button, down)) return;
    if (mHandler->OnDigitalEvent(joystick, button, down)) return;
  }
  DispatchChannels(joystick, button, false);
}

void InputSystem::RaiseJoystickAxis(Joystick* joystick, uint32_t axis, float value) {
  if (mHandler) {
    if (mHandler->OnJoystickAxis(joystick, axis, value)) return;
    if (mHandler->OnAnalogEvent(joystick, axis, value)) return;
  }
  DispatchChannels(joystick, axis, true);
}

void InputSystem::RaiseDigital(Device* device, uint32_t control, bool down) {
  if (mHandler && mHandler->OnDigitalEvent(device, control, down)) return;
  DispatchChannels(device, control, false);
}

void InputSystem::RaiseAnalog(Device* device, uint32_t control, float value) {
  if (mHandler && mHandler->OnAnalogEvent(device, control, value)) return;
  DispatchChannels(device, control, true);
}

// ---- channels ----------------------------------------------------------------------------

void InputSystem::DispatchChannels(Device* device, uint64_t control, bool analog) {
  if (!device) return;
  const uint64_t id = device->mId;
  for (auto& [key, channel] : mDigitalChannels) {
    const bool affected = std::any_of(
        channel.mBindings.begin(), channel.mBindings.end(), [&](const auto& b) {
          return b.mDevice == id && b.mControl == control && static_cast<bool>(b.mAnalog) == analog;
        });
    if (affected) UpdateDigitalChannel(channel);
  }
  for (auto& [key, channel] : mAnalogChannels) {
    const bool affected = std::any_of(
        channel.mBindings.begin(), channel.mBindings.end(), [&](const auto& b) {
          if (b.mDevice != id || b.mControl != control) return false;
          return analog ? (b.mKind == AnalogChannel::Axis || b.mKind == AnalogChannel::AxisThreshold)
                        : b.mKind == AnalogChannel::Button;
        });
    if (affected) UpdateAnalogChannel(channel);
  }
}

void InputSystem::UpdateDigitalChannel(DigitalChannel& channel) {
  const uint8_t old = channel.mState;
  // The bindings are or-ed: any binding that reads on turns the channel on.
  bool on = false;
  for (const auto& b : channel.mBindings) {
    const Device* d = GetDevice(b.mDevice);
    if (!d) continue;
    const uint32_t control = static_cast<uint32_t>(b.mControl);
    if (!b.mAnalog) {
      on = on || d->IsButtonDown(control);
    } else {
      const float v = d->GetAxisAbsolute(control);
      on = on || (b.mThreshold >= 0.0f ? v > b.mThreshold : v < b.mThreshold);
    }
  }
  channel.mState = on;
  if (channel.mState != old) {
    channel.mChanged = 1;
    if (mHandler) mHandler->OnDigitalChannelChanged(&channel);
  }
}

void InputSystem::UpdateAnalogChannel(AnalogChannel& channel) {
  const float old = channel.mValue;
  float sum = 0.0f;
  for (const auto& b : channel.mBindings) {
    const Device* d = GetDevice(b.mDevice);
    if (!d) continue;
    const uint32_t control = static_cast<uint32_t>(b.mControl);
    switch (b.mKind) {
      case AnalogChannel::Axis:
        sum += d->GetAxisAbsolute(control);
        break;
      case AnalogChannel::Button:
        sum += d->IsButtonDown(control) ? b.mValue : 0.0f;
        break;
      case AnalogChannel::AxisThreshold: {
        const float v = d->GetAxisAbsolute(control);
        const float t = b.mValue;
        const bool beyond = t == 0.0f || (t >= 0.0f ? v > t : v < t);
        sum += beyond ? v * b.mScale : 0.0f;
        break;
      }
      default:
        break;
    }
  }
  channel.mValue = sum;
  channel.mDelta += sum - old;
  if (sum != old && mHandler) mHandler->OnAnalogChannelChanged(&channel);
}

}  // namespace ORVIS
