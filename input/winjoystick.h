#pragma once
// A game controller: buffered device data, or the fixed pad layout (13 buttons, 8 axes) for
// pads the plug-and-play scan recognised.
#include <cstdint>
#include <memory>

#include "input/joystick.h"
#include "plattform/eingabe/eingabe_schicht.h"

class WinInput;

class WinJoystick : public ORVIS::Joystick {
 public:
  // Throws std::runtime_error when the controller cannot be opened.
  WinJoystick(WinInput* owner, uint64_t id, const Plattform::Guid& instance,
              const Plattform::Guid& product);

  uint32_t GetButtonCount() const override { return static_cast<uint32_t>(mButtonCount); }
  uint32_t GetAxisCount() const override { return static_cast<uint32_t>(mAxisCount); }
  bool IsButtonDown(uint32_t n) const override;
  bool WasButtonPressed(uint32_t n) const override;
  bool WasButtonReleased(uint32_t n) const override;
  float GetAxisAbsolute(uint32_t n) const override;
  float GetAxisDifference(uint32_t n) const override;

  void Poll();
  void SetXInputIndex(uint64_t index);
  void ReleaseAll();

  static constexpr uint32_t kMaxButtons = 64;
  static constexpr uint32_t kMaxAxes = 16;
  static constexpr uint64_t kNoPad = ~uint64_t(0);
  static constexpr uint32_t kAppDataTag = 0x1313;
  // Re-acquire attempts per frame while the device reports lost input.
  static constexpr int kMaxAcquire = 5;

  std::unique_ptr<Plattform::EingabeSteuergeraet> mDevice;
  Plattform::Guid mInstance;
  Plattform::Guid mProduct;
  uint64_t mXInputIndex = kNoPad;
  uint64_t mButtonCount = 0, mAxisCount = 0;
  uint64_t mButtons = 0, mPreviousButtons = 0;
  float mAxes[kMaxAxes] = {};
  float mDifferences[kMaxAxes] = {};
  uint32_t mNextAxis = 0;

 private:
  WinInput* Owner() const;
  void ReadPad(float* axes, uint64_t& buttons);
  bool ReadBuffered();
  void ClearState();
};
