#include "input/winjoystick.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "input/wininput.h"

namespace {

constexpr uint32_t kCooperation = 5;  // exclusive, foreground
constexpr uint32_t kBufferRecords = 64;
constexpr uint32_t kPadButtons = 13;
constexpr uint32_t kPadAxes = 8;

float Stick(int32_t value) { return std::clamp(static_cast<float>(value) / 32767.0f, -1.0f, 1.0f); }

// Pad buttons in the order of the fixed layout; 8, 11 and 12 stay unset.
struct PadButton {
  uint16_t flag;
  uint32_t button;
};
constexpr PadButton kPadButtonMap[] = {
    {Plattform::PadA, 0},          {Plattform::PadB, 1},
    {Plattform::PadX, 2},          {Plattform::PadY, 3},
    {Plattform::PadLinkeSchulter, 4}, {Plattform::PadRechteSchulter, 5},
    {Plattform::PadStart, 6},      {Plattform::PadZurueck, 7},
    {Plattform::PadLinkerStick, 9}, {Plattform::PadRechterStick, 10},
};

}  // namespace

WinJoystick::WinJoystick(WinInput* owner, uint64_t id, const Plattform::Guid& instance,
                         const Plattform::Guid& product)
    : ORVIS::Joystick(owner), mInstance(instance), mProduct(product) {
  mId = id;
  auto& layer = owner->Layer();
  mDevice = layer.OeffneSteuergeraet(instance);
  if (!mDevice) throw std::runtime_error("Could not initialize controller device");
  if (!mDevice->SetzeDatenformat()) throw std::runtime_error("Controller data format error");
  if (!mDevice->SetzeKooperation(owner->GetWindow(), kCooperation))
    throw std::runtime_error("Controller failed to set cooperation level");
  if (!mDevice->SetzePuffergroesse(kBufferRecords))
    throw std::runtime_error("Controller failed to set buffer size property");
  uint32_t buttons = 0, axes = 0;
  if (!mDevice->HoleFaehigkeiten(buttons, axes))
    throw std::runtime_error("Controller failed to get capabilities");
  // Only as many as the state can hold.
  mButtonCount = std::min(buttons, kMaxButtons);
  mAxisCount = std::min(axes, kMaxAxes);

  mNextAxis = 0;
  bool rangeFailed = false;
  for (uint32_t object : mDevice->AchsenObjekte()) {
    if (!mDevice->SetzeAnwendungsDaten(object, (uint64_t(kAppDataTag) << 16) + mNextAxis)) continue;
    ++mNextAxis;
    if (!mDevice->SetzeBereich(object, -32768, 32767)) rangeFailed = true;
  }
  if (rangeFailed) throw std::runtime_error("Controller failed to set min/max range property");
}

WinInput* WinJoystick::Owner() const { return static_cast<WinInput*>(mOwner); }

bool WinJoystick::IsButtonDown(uint32_t n) const {
  return n < mButtonCount && ((mButtons >> n) & 1);
}

bool WinJoystick::WasButtonPressed(uint32_t n) const {
  return n < mButtonCount && ((mButtons >> n) & 1) && !((mPreviousButtons >> n) & 1);
}

bool WinJoystick::WasButtonReleased(uint32_t n) const {
  return n < mButtonCount && !((mButtons >> n) & 1) && ((mPreviousButtons >> n) & 1);
}

float WinJoystick::GetAxisAbsolute(uint32_t n) const { return n < mAxisCount ? mAxes[n] : 0.0f; }

float WinJoystick::GetAxisDifference(uint32_t n) const {
  return n < mAxisCount ? mDifferences[n] : 0.0f;
}

void WinJoystick::SetXInputIndex(uint64_t index) {
  mXInputIndex = index;
  mButtonCount = kPadButtons;
  mAxisCount = kPadAxes;
}

void WinJoystick::ClearState() {
  mButtons = mPreviousButtons = 0;
  std::fill(std::begin(mAxes), std::end(mAxes), 0.0f);
  std::fill(std::begin(mDifferences), std::end(mDifferences), 0.0f);
}

void WinJoystick::ReadPad(float* axes, uint64_t& buttons) {
  Plattform::GamepadZustand pad;
  // An unplugged pad reads as centred with nothing pressed.
  if (!Owner()->Layer().HoleGamepad(static_cast<uint32_t>(mXInputIndex), pad)) pad = {};
  axes[0] = Stick(pad.LinksX);
  axes[1] = Stick(-int32_t(pad.LinksY));
  axes[2] = pad.LinkerAbzug / 255.0f;
  axes[3] = Stick(pad.RechtsX);
  axes[4] = Stick(-int32_t(pad.RechtsY));
  axes[5] = pad.RechterAbzug / 255.0f;
  const auto on = [&](uint16_t flag) { return (pad.Knoepfe & flag) ? 1.0f : 0.0f; };
  axes[6] = on(Plattform::PadRechts) - on(Plattform::PadLinks);
  axes[7] = on(Plattform::PadRunter) - on(Plattform::PadHoch);
  buttons = 0;
  for (const auto& b : kPadButtonMap)
    if (pad.Knoepfe & b.flag) buttons |= uint64_t(1) << b.button;
}

bool WinJoystick::ReadBuffered() {
  std::vector<Plattform::SteuerDatensatz> records;
  int32_t result = mDevice->Abfragen();
  if (result == Plattform::DiOk) result = mDevice->HoleDaten(records, kBufferRecords);
  if (result != Plattform::DiOk) {
    // Bounded: a device that keeps reporting lost input must not stall the frame.
    int attempts = 0;
    while (mDevice->Erwerben() == Plattform::DiEingabeVerloren && ++attempts < kMaxAcquire) {
    }
    mDevice->Abfragen();
    records.clear();
    if (mDevice->HoleDaten(records, kBufferRecords) < 0) {
      ClearState();
      return false;
    }
  }
  for (const auto& r : records) {
    if (r.Versatz >= Plattform::SteuerVersatzHut && r.Versatz < Plattform::SteuerVersatzKnopf)
      continue;  // hats are not read
    if (r.Versatz >= Plattform::SteuerVersatzKnopf &&
        r.Versatz < Plattform::SteuerVersatzKnopf + Plattform::SteuerKnoepfe) {
      const uint32_t b = r.Versatz - Plattform::SteuerVersatzKnopf;
      if (b >= mButtonCount) continue;
      const uint64_t bit = uint64_t(1) << b;
      mButtons = (r.Daten & 0x80) ? (mButtons | bit) : (mButtons & ~bit);
      continue;
    }
    if (((r.AnwendungsDaten >> 16) & 0xFFFF) != kAppDataTag) continue;
    const uint32_t axis = r.AnwendungsDaten & 0xFFFF;
    if (axis < mAxisCount) mAxes[axis] = Stick(static_cast<int32_t>(r.Daten));
  }
  return true;
}

void WinJoystick::Poll() {
  mPreviousButtons = mButtons;
  std::fill(std::begin(mDifferences), std::end(mDifferences), 0.0f);
  float old[kMaxAxes];
  std::copy(std::begin(mAxes), std::end(mAxes), old);

  if (Owner()->mHasFocus) {
    if (mXInputIndex != kNoPad) ReadPad(mAxes, mButtons);
    else ReadBuffered();
  }

  for (uint32_t a = 0; a < mAxisCount; ++a) {
    if (mAxes[a] == old[a]) continue;
    mDifferences[a] = mAxes[a] - old[a];
    if (!mNew) Owner()->RaiseJoystickAxis(this, a, mAxes[a]);
  }
  for (uint32_t b = 0; b < mButtonCount; ++b) {
    const bool now = (mButtons >> b) & 1;
    if (now == static_cast<bool>((mPreviousButtons >> b) & 1)) continue;
    if (!mNew) Owner()->RaiseJoystickButton(this, b, now);
  }
}

void WinJoystick::ReleaseAll() {
  for (uint32_t a = 0; a < mAxisCount; ++a) {
    if (mAxes[a] == 0.0f) continue;
    mDifferences[a] = -mAxes[a];
    mAxes[a] = 0.0f;
    Owner()->RaiseJoystickAxis(this, a, 0.0f);
  }
  for (uint32_t b = 0; b < mButtonCount; ++b) {
    const uint64_t bit = uint64_t(1) << b;
    if (!(mButtons & bit)) continue;
    mButtons &= ~bit;
    mPreviousButtons |= bit;
    Owner()->RaiseJoystickButton(this, b, false);
  }
}
