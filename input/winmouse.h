#pragma once
// A mouse fed by raw records.
#include <cstdint>

#include "input/mouse.h"

class WinInput;

class WinMouse : public ORVIS::Mouse {
 public:
  WinMouse(WinInput* owner, uint64_t id, uint64_t rawHandle);

  uint32_t GetButtonCount() const override { return kButtons; }
  uint32_t GetAxisCount() const override { return 3; }
  bool IsButtonDown(uint32_t n) const override;
  bool WasButtonPressed(uint32_t n) const override;
  bool WasButtonReleased(uint32_t n) const override;
  float GetAxisAbsolute(uint32_t axis) const override;
  float GetAxisDifference(uint32_t axis) const override;
  float GetMouseX() const override { return mX; }
  float GetMouseY() const override { return mY; }
  float GetRelMouseX() const override { return mDx; }
  float GetRelMouseY() const override { return mDy; }

  void HandleRawInput(const uint8_t* record, bool wow64);
  void BeginFrame();
  void SetButton(uint32_t button, bool down);
  void AddWheel(float delta);
  // Focus lost: every held button is released and reported released in this frame.
  void ReleaseAll();

  static constexpr uint32_t kButtons = 8;

  uint64_t mRawHandle;
  float mX = 0, mY = 0;
  float mDx = 0, mDy = 0;
  float mWheel = 0, mPreviousWheel = 0;
  uint32_t mButtons = 0;
  // Buttons that went down and went up in this frame, from the events: a click shorter than a
  // frame shows as pressed in its frame and released in the next (mReleasedNext).
  uint32_t mPressed = 0, mReleased = 0, mReleasedNext = 0;
  uint8_t mInFrame = 0;
  float mPendingDx = 0, mPendingDy = 0;

 private:
  WinInput* Owner() const;
  // In single-device mode every mouse acts as the primary one.
  WinMouse* Target();
  // Updates the button's bit and raises the button event.
  void ChangeButton(uint32_t button, bool down);
};
