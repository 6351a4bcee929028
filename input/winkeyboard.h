#pragma once
// A keyboard fed by raw records; keys are DirectInput key codes.
#include <cstdint>

#include "input/keyboard.h"

class WinInput;

class WinKeyboard : public ORVIS::Keyboard {
 public:
  WinKeyboard(WinInput* owner, uint64_t id, uint64_t rawHandle);

  uint32_t GetButtonCount() const override { return 256; }
  std::string GetButtonText(uint32_t key) const override;
  bool IsButtonDown(uint32_t n) const override;
  bool WasButtonPressed(uint32_t n) const override;
  bool WasButtonReleased(uint32_t n) const override;

  void HandleRawInput(const uint8_t* record, bool wow64);
  void BeginFrame();
  void SetKey(uint32_t key, uint32_t codePoint, bool down);
  // Focus lost: every held key is released and reported released in this frame.
  void ReleaseAll();

  // The key code a record stands for (make code, prefixes and virtual key combined).
  uint32_t KeyCode(uint16_t make, uint16_t flags, uint16_t virtualKey) const;

  uint64_t mRawHandle;
  uint64_t mKeys[4] = {};
  // Keys that went down and went up in this frame, from the events themselves: a tap shorter
  // than a frame shows as pressed in its frame and released in the next (mReleasedNext).
  uint64_t mPressed[4] = {};
  uint64_t mReleased[4] = {};
  uint64_t mReleasedNext[4] = {};
  uint32_t mPendingDeadKey = 0;

 private:
  WinInput* Owner() const;
  uint32_t TextOf(uint32_t key, uint32_t platformText);
  // Updates the key's bit, runs the repeat bookkeeping and raises the key event.
  void ChangeKey(uint32_t key, uint32_t codePoint, bool down);
  static bool Bit(const uint64_t* words, uint32_t k) { return (words[k / 64] >> (k % 64)) & 1; }
  static void SetBit(uint64_t* words, uint32_t k) { words[k / 64] |= uint64_t(1) << (k % 64); }
};
