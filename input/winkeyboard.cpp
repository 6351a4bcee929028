#include "input/winkeyboard.h"

#include <cstring>

#include "input/wininput.h"

namespace {

// Virtual keys whose key code follows from the key alone: plain code, code with E0.
struct FixedKey {
  uint16_t virtualKey;
  uint8_t plain;
  uint8_t withE0;
};
constexpr FixedKey kFixedKeys[] = {
    {12, 76, 76},   {13, 28, 156},  {17, 29, 157},  {18, 56, 184},  {33, 73, 201},
    {34, 81, 209},  {35, 79, 207},  {36, 71, 199},  {37, 75, 203},  {38, 72, 200},
    {39, 77, 205},  {40, 80, 208},  {45, 82, 210},  {46, 83, 211},
};

constexpr uint16_t kVirtualShift = 16;
constexpr uint16_t kVirtualPause = 19;
constexpr uint16_t kVirtualNumLock = 144;
constexpr uint16_t kVirtualIgnored = 255;
constexpr uint32_t kVirtualRightShift = 161;

// The combining mark a dead key leaves pending, by the character the dead key shows.
uint32_t DeadKeyMark(char16_t shown) {
  switch (shown) {
    case u'^': return 0x302;
    case u'`': return 0x300;
    case 0xA8: return 0x308;  // diaeresis
    case 0xB4: return 0x301;  // acute
    case 0xB8: return 0x327;  // cedilla
    default: return shown;
  }
}

// UTF-16 to UTF-8; unpaired surrogates become U+FFFD. A text longer than maxBytes gives
// none: a name that does not fit the buffer is a failed read like any other.
std::string ToUtf8(const std::u16string& text, size_t maxBytes) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    char b[4];
    size_t n;
    if (c < 0x80) { b[0] = char(c); n = 1; }
    else if (c < 0x800) { b[0] = char(0xC0 | (c >> 6)); b[1] = char(0x80 | (c & 0x3F)); n = 2; }
    else if (c < 0x10000) {
      b[0] = char(0xE0 | (c >> 12)); b[1] = char(0x80 | ((c >> 6) & 0x3F));
      b[2] = char(0x80 | (c & 0x3F)); n = 3;
    } else {
      b[0] = char(0xF0 | (c >> 18)); b[1] = char(0x80 | ((c >> 12) & 0x3F));
      b[2] = char(0x80 | ((c >> 6) & 0x3F)); b[3] = char(0x80 | (c & 0x3F)); n = 4;
    }
    if (out.size() + n > maxBytes) return {};
    out.append(b, n);
  }
  return out;
}

}  // namespace

WinKeyboard::WinKeyboard(WinInput* owner, uint64_t id, uint64_t rawHandle)
    : ORVIS::Keyboard(owner), mRawHandle(rawHandle) {
  mId = id;
}

WinInput* WinKeyboard::Owner() const { return static_cast<WinInput*>(mOwner); }

bool WinKeyboard::IsButtonDown(uint32_t n) const { return n < 256 && Bit(mKeys, n); }

bool WinKeyboard::WasButtonPressed(uint32_t n) const { return n < 256 && Bit(mPressed, n); }

bool WinKeyboard::WasButtonReleased(uint32_t n) const { return n < 256 && Bit(mReleased, n); }

std::string WinKeyboard::GetButtonText(uint32_t key) const {
  std::u16string name;
  if (!Owner()->Layer().TastenName(key, name)) return {};
  return ToUtf8(name, 255);
}

void WinKeyboard::BeginFrame() {
  std::memset(mPressed, 0, sizeof mPressed);
  std::memcpy(mReleased, mReleasedNext, sizeof mReleased);
  std::memset(mReleasedNext, 0, sizeof mReleasedNext);
}

uint32_t WinKeyboard::KeyCode(uint16_t make, uint16_t flags, uint16_t virtualKey) const {
  auto& layer = Owner()->Layer();
  uint32_t code = make;
  bool derived = false;
  if (virtualKey == kVirtualShift) {
    code = layer.BildeTaste(make, Plattform::TastenAbbildung::ScanZuVirtuell) == kVirtualRightShift ? 54 : 42;
    derived = true;
  }
  if (virtualKey == kVirtualNumLock) {
    code = layer.BildeTaste(kVirtualNumLock, Plattform::TastenAbbildung::VirtuellZuScan);
    derived = true;
  }
  if (flags & Plattform::RohTasteE1) {
    code = virtualKey == kVirtualPause
               ? 197
               : layer.BildeTaste(virtualKey, Plattform::TastenAbbildung::VirtuellZuScan);
    derived = true;
  }
  const bool e0 = flags & Plattform::RohTasteE0;
  for (const auto& f : kFixedKeys) {
    if (f.virtualKey == virtualKey) return e0 ? f.withE0 : f.plain;
  }
  // Every other key with the E0 prefix gets 0x80 added, as the DirectInput codes have it
  // (numeric-pad "/" 181, Print Screen 183, the system keys 219, 220, 221).
  if (!derived && e0 && code < 0x80) code += 0x80;
  return code;
}

void WinKeyboard::HandleRawInput(const uint8_t* record, bool wow64) {
  const uint8_t* body = record + Plattform::RohZusatz(wow64);
  using Plattform::LiesFeld;
  const uint16_t make = LiesFeld<uint16_t>(body + 24);
  const uint16_t flags = LiesFeld<uint16_t>(body + 26);
  const uint16_t virtualKey = LiesFeld<uint16_t>(body + 30);
  const uint32_t platformText = LiesFeld<uint32_t>(body + 36);
  if (virtualKey == kVirtualIgnored) return;

  const uint32_t key = KeyCode(make, flags, virtualKey);
  const bool down = !(flags & Plattform::RohTasteLos);

  if (mNew) return;
  if (!mActive) Owner()->ActivateDevice(this);

  const uint32_t codePoint = TextOf(key, platformText);
  SetKey(key, codePoint, down);
}

uint32_t WinKeyboard::TextOf(uint32_t key, uint32_t platformText) {
  auto& layer = Owner()->Layer();
  const uint32_t virtualKey = layer.BildeTaste(key, Plattform::TastenAbbildung::ScanZuVirtuell);
  if (virtualKey == 0) return 0;
  char16_t units[3] = {};
  const int n = layer.ZuUnicode(virtualKey, key, platformText, units);
  if (n == 1) {
    uint32_t text = units[0];
    if (mPendingDeadKey != 0) {
      const char16_t in[3] = {units[0], static_cast<char16_t>(mPendingDeadKey), 0};
      char16_t out[4] = {};
      text = layer.Zusammensetzen(in, 3, out, 4) > 0 ? out[0] : 0;
    }
    mPendingDeadKey = 0;
    return text;
  }
  if (n == 2) mPendingDeadKey = DeadKeyMark(units[0]);  // a dead key: its mark waits
  return 0;
}

void WinKeyboard::SetKey(uint32_t key, uint32_t codePoint, bool down) {
  const WinInput* owner = Owner();
  if (!owner->mMultiDevice && mIndex != 0) {
    auto* primary = dynamic_cast<WinKeyboard*>(owner->mPrimaryKeyboard);
    if (primary && primary != this) {
      primary->SetKey(key, codePoint, down);
      return;
    }
  }
  if (key > 255) return;
  // Repeats of the platform change nothing: the library repeats keys itself.
  if (Bit(mKeys, key) == down) return;
  ChangeKey(key, codePoint, down);
}

void WinKeyboard::ChangeKey(uint32_t key, uint32_t codePoint, bool down) {
  const uint64_t bit = uint64_t(1) << (key % 64);
  mKeys[key / 64] = down ? (mKeys[key / 64] | bit) : (mKeys[key / 64] & ~bit);
  // A release of a key that went down in this frame counts in the next one, so that a reader
  // polling once a frame sees the press first.
  if (down) SetBit(mPressed, key);
  else SetBit(Bit(mPressed, key) ? mReleasedNext : mReleased, key);
  Owner()->NoteKeyChange(this, key, codePoint, down);
  Owner()->RaiseKey(this, key, codePoint, down);
}

void WinKeyboard::ReleaseAll() {
  for (uint32_t key = 0; key < 256; ++key) {
    if (!Bit(mKeys, key)) continue;
    ChangeKey(key, 0, false);
    // WasKeyReleased reports it in this frame, even for a key that went down in it.
    const uint64_t bit = uint64_t(1) << (key % 64);
    mReleasedNext[key / 64] &= ~bit;
    mReleased[key / 64] |= bit;
  }
}
