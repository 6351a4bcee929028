#include "input/winmouse.h"

#include "input/wininput.h"

namespace {

// Button flags of a mouse record: button, down.
struct ButtonFlag {
  uint16_t flag;
  uint32_t button;
  bool down;
};
constexpr ButtonFlag kButtonFlags[] = {
    {0x1, 0, true},   {0x2, 0, false},   {0x4, 1, true},   {0x8, 1, false},
    {0x10, 2, true},  {0x20, 2, false},  {0x40, 3, true},  {0x80, 3, false},
    {0x100, 4, true}, {0x200, 4, false},
};

}  // namespace

WinMouse::WinMouse(WinInput* owner, uint64_t id, uint64_t rawHandle)
    : ORVIS::Mouse(owner), mRawHandle(rawHandle) {
  mId = id;
  double x = 0, y = 0;
  if (owner->Layer().HoleCursor(x, y)) {
    mX = static_cast<float>(x);
    mY = static_cast<float>(y);
  }
}

WinInput* WinMouse::Owner() const { return static_cast<WinInput*>(mOwner); }

WinMouse* WinMouse::Target() {
  if (Owner()->mMultiDevice || mIndex == 0) return this;
  auto* primary = dynamic_cast<WinMouse*>(Owner()->mPrimaryMouse);
  return primary ? primary : this;
}

bool WinMouse::IsButtonDown(uint32_t n) const { return n < kButtons && ((mButtons >> n) & 1); }

bool WinMouse::WasButtonPressed(uint32_t n) const { return n < kButtons && ((mPressed >> n) & 1); }

bool WinMouse::WasButtonReleased(uint32_t n) const { return n < kButtons && ((mReleased >> n) & 1); }

float WinMouse::GetAxisAbsolute(uint32_t axis) const {
  switch (axis) {
    case 0: return mX;
    case 1: return mY;
    case 2: return mWheel;
    default: return 0.0f;
  }
}

float WinMouse::GetAxisDifference(uint32_t axis) const {
  switch (axis) {
    case 0: return mDx;
    case 1: return mDy;
    case 2: return mWheel - mPreviousWheel;
    default: return 0.0f;
  }
}

void WinMouse::BeginFrame() {
  mPressed = 0;
  mReleased = mReleasedNext;
  mReleasedNext = 0;
  mPreviousWheel = mWheel;
  mWheel = 0;
  // Tell the handler that the wheel came to rest.
  if (mPreviousWheel != 0) AddWheel(0);
  mDx = mPendingDx;
  mDy = mPendingDy;
  mPendingDx = mPendingDy = 0;
  mInFrame = 1;
}

void WinMouse::SetButton(uint32_t button, bool down) {
  WinMouse* target = Target();
  if (button >= kButtons) return;
  if (static_cast<bool>(target->mButtons & (1u << button)) == down) return;
  target->ChangeButton(button, down);
}

void WinMouse::ChangeButton(uint32_t button, bool down) {
  const uint32_t bit = 1u << button;
  mButtons = down ? (mButtons | bit) : (mButtons & ~bit);
  // A release of a button that went down in this frame counts in the next one.
  if (down) mPressed |= bit;
  else if (mPressed & bit) mReleasedNext |= bit;
  else mReleased |= bit;
  Owner()->RaiseMouseButton(this, button, down);
}

void WinMouse::AddWheel(float delta) {
  WinMouse* target = Target();
  target->mWheel += delta;
  Owner()->RaiseMouseWheel(target, delta);
}

void WinMouse::ReleaseAll() {
  for (uint32_t b = 0; b < kButtons; ++b) {
    if (!(mButtons & (1u << b))) continue;
    ChangeButton(b, false);
    // WasButtonReleased reports it in this frame, even for a button that went down in it.
    mReleasedNext &= ~(1u << b);
    mReleased |= 1u << b;
  }
}

void WinMouse::HandleRawInput(const uint8_t* record, bool wow64) {
  const uint8_t* body = record + Plattform::RohZusatz(wow64);
  using Plattform::LiesFeld;
  const uint16_t flags = LiesFeld<uint16_t>(body + 24);
  const uint16_t buttonFlags = LiesFeld<uint16_t>(body + 28);
  const int16_t buttonData = LiesFeld<int16_t>(body + 30);
  const int32_t lastX = LiesFeld<int32_t>(body + 36);
  const int32_t lastY = LiesFeld<int32_t>(body + 40);

  if (!mNew && !mActive) Owner()->ActivateDevice(this);

  for (const auto& f : kButtonFlags)
    if (buttonFlags & f.flag) SetButton(f.button, f.down);
  if (buttonFlags & Plattform::RohRadKnopf) AddWheel(buttonData);

  // In single-device mode the position comes from the cursor instead.
  if (!Owner()->mMultiDevice) return;
  float& targetX = mInFrame ? mDx : mPendingDx;
  float& targetY = mInFrame ? mDy : mPendingDy;
  if (flags & Plattform::RohMausAbsolut) {
    if (lastX != mX || lastY != mY) {
      targetX += lastX - mX;
      targetY += lastY - mY;
      mX = static_cast<float>(lastX);
      mY = static_cast<float>(lastY);
    }
  } else if (lastX != 0 || lastY != 0) {
    mX += lastX;
    mY += lastY;
    targetX += lastX;
    targetY += lastY;
  }
}
