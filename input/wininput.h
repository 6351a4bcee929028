#pragma once
// The concrete input system for one window: mice and keyboards from the platform's raw
// records, controllers from its controller interface (buffered data, or the gamepad layout
// for pads the plug-and-play scan recognises).
#include <cstdint>
#include <map>
#include <memory>

#include "input/inputsystem.h"
#include "plattform/eingabe/eingabe_schicht.h"

class WinMouse;
class WinKeyboard;
class WinJoystick;

class WinInput : public ORVIS::InputSystem {
 public:
  // schicht: the platform layer (not owned); eigene: the same layer when this system owns it.
  // Throws std::runtime_error when construction fails, having put the window back and
  // released what it had created.
  WinInput(ORVIS::HWND window, Plattform::EingabeSchicht* schicht,
           std::unique_ptr<Plattform::EingabeSchicht> eigene);
  ~WinInput() override;

  void Update() override;
  // Keys and buttons act at once; mouse motion counts towards the next frame, as motion that
  // arrives after the frame's update always has.
  void ProcessQueuedEvents() override { DrainRawInput(); }
  void OnFocusChanged(bool hasFocus) override;
  void SetCursorGrab(bool grab) override;

  Plattform::EingabeSchicht& Layer() { return *mLayer; }
  ORVIS::HWND GetWindow() const { return mWindow; }

  // A mouse or keyboard delivered input for the first time: it becomes active, and takes the
  // primary place from a device of its kind that was listed before it but never used.
  void ActivateDevice(ORVIS::Device* device);

  // The most pad slots the gamepad layout serves.
  static constexpr uint32_t kMaxPads = 4;
  // Size of the buffer raw records are drained through.
  static constexpr uint32_t kBufferBytes = 784;

 protected:
  uint32_t CurrentTick() override;

 private:
  static uint32_t InitialTick(Plattform::EingabeSchicht* schicht);
  void Construct();
  void EnumerateRawDevices();
  void FindXInputDevices();
  void HandleRecord(const uint8_t* record, bool wow64, uint32_t size);
  void DrainRawInput();
  void PositionSingleMouse();
  // Deletes the devices, releases the system keyboard and the controller interface and puts
  // the window back; safe to run on a half-built system.
  void ReleaseAll();

  Plattform::EingabeSchicht* mLayer;
  std::unique_ptr<Plattform::EingabeSchicht> mOwnLayer;
  ORVIS::HWND mWindow;
  bool mHooked = false;
  uint8_t mWow64 = 0;
  bool mDirectInput = false;
  bool mSystemKeyboard = false;
  std::map<uint64_t, WinMouse*> mMice;
  std::map<uint64_t, WinKeyboard*> mKeyboards;
};
