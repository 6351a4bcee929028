#include "input/wininput.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>

#include "input/winjoystick.h"
#include "input/winkeyboard.h"
#include "input/winmouse.h"
#include "plattform/eingabe/eingabe_glfw.h"

namespace {

// Reads "VID_%4X"-style ids out of a plug-and-play id; 0 when missing or unreadable.
unsigned ReadHexId(const std::string& id, const char* prefix) {
  const size_t at = id.find(prefix);
  if (at == std::string::npos) return 0;
  const std::string format = std::string(prefix) + "%4X";
  unsigned value = 0;
  if (std::sscanf(id.c_str() + at, format.c_str(), &value) != 1) return 0;
  return value;
}

template <class Kind>
bool SameKind(const ORVIS::Device* a, const ORVIS::Device* b) {
  return dynamic_cast<const Kind*>(a) && dynamic_cast<const Kind*>(b);
}

}  // namespace

WinInput::WinInput(ORVIS::HWND window, Plattform::EingabeSchicht* schicht,
                   std::unique_ptr<Plattform::EingabeSchicht> eigene)
    : InputSystem(InitialTick(schicht)),
      mLayer(schicht),
      mOwnLayer(std::move(eigene)),
      mWindow(window) {
  try {
    Construct();
  } catch (...) {
    // The destructor does not run for a failed construction: undo what was done so far, so
    // that the window does not keep feeding a system that no longer exists.
    ReleaseAll();
    throw;
  }
}

WinInput::~WinInput() { ReleaseAll(); }

uint32_t WinInput::InitialTick(Plattform::EingabeSchicht* schicht) {
  if (!schicht) throw std::runtime_error("no input layer");
  return schicht->Millisekunden();
}

uint32_t WinInput::CurrentTick() { return mLayer->Millisekunden(); }

void WinInput::Construct() {
  if (!mWindow || !mLayer->IstFenster(mWindow)) throw std::runtime_error("HWND is not valid");
  mWow64 = mLayer->IstWow64() ? 1 : 0;
  mHooked = mLayer->Einhaengen(mWindow);
  if (!mLayer->ErzeugeEingabe()) throw std::runtime_error("Unable to init DirectX8 Input");
  mDirectInput = true;
  if (!mLayer->ErzeugeSystemTastatur()) throw std::runtime_error("Could not init default keyboard");
  mSystemKeyboard = true;
  if (!mLayer->SetzeSystemTastaturFormat()) throw std::runtime_error("Keyboard format error");
  EnumerateRawDevices();
  FindXInputDevices();
  if (!mLayer->RegistriereRohEingabe())
    throw std::runtime_error("failed to register for input messages");
}

void WinInput::ReleaseAll() {
  for (ORVIS::Device* d : mDevices) delete d;
  mDevices.clear();
  mMice.clear();
  mKeyboards.clear();
  mPrimaryMouse = nullptr;
  mPrimaryKeyboard = nullptr;
  mPrimaryJoystick = nullptr;
  mRepeatKeyboard = nullptr;
  mRepeatCountdown = 0.0f;
  if (mSystemKeyboard) mLayer->GibSystemTastaturFrei();
  mSystemKeyboard = false;
  if (mDirectInput) mLayer->GibEingabeFrei();
  mDirectInput = false;
  if (mHooked) mLayer->Aushaengen();
  mHooked = false;
}

void WinInput::EnumerateRawDevices() {
  // Controllers first, so they take the lowest ids.
  for (const auto& e : mLayer->ZaehleSteuergeraete()) {
    if (e.Typ < Plattform::DiTypJoystick || e.Typ > Plattform::DiTypEgo) continue;
    try {
      auto joystick = std::make_unique<WinJoystick>(this, mDevices.size(), e.Instanz, e.Produkt);
      RegisterDevice(joystick.get());
      joystick.release();
    } catch (const std::exception&) {
      // A controller that cannot be opened is left out.
    }
  }

  uint32_t count = 0;
  if (!mLayer->RohGeraeteAnzahl(count)) throw std::runtime_error("unable to get device count");
  std::vector<Plattform::RohGeraet> list;
  if (!mLayer->RohGeraeteListe(list)) throw std::runtime_error("unable to retrieve device list");

  for (const auto& entry : list) {
    std::string name;
    uint32_t type = Plattform::RohTypHid;
    if (!mLayer->RohGeraeteName(entry.Handle, name) || !mLayer->RohGeraeteTyp(entry.Handle, type))
      continue;
    if (type == Plattform::RohTypHid) continue;
    if (name.find("RDP_") != std::string::npos) continue;  // remote-desktop stand-ins
    try {
      if (type == Plattform::RohTypTastatur) {
        auto keyboard = std::make_unique<WinKeyboard>(this, mDevices.size(), entry.Handle);
        RegisterDevice(keyboard.get());
        mKeyboards[entry.Handle] = keyboard.release();
      } else if (type == Plattform::RohTypMaus) {
        auto mouse = std::make_unique<WinMouse>(this, mDevices.size(), entry.Handle);
        RegisterDevice(mouse.get());
        mMice[entry.Handle] = mouse.release();
      }
    } catch (const std::exception&) {
      // The device is left out.
    }
  }
}

void WinInput::FindXInputDevices() {
  std::vector<std::string> ids;
  if (!mLayer->PnpGeraete(ids)) return;
  uint64_t next = 0;
  for (const auto& id : ids) {
    if (next >= kMaxPads) break;
    if (id.find("IG_") == std::string::npos) continue;
    const uint32_t key = ReadHexId(id, "PID_") * 65536u + ReadHexId(id, "VID_");
    for (ORVIS::Device* d : mDevices) {
      auto* j = dynamic_cast<WinJoystick*>(d);
      if (!j || j->mXInputIndex != WinJoystick::kNoPad) continue;
      if (Plattform::LiesFeld<uint32_t>(j->mProduct.data()) != key) continue;
      j->SetXInputIndex(next++);
      break;
    }
  }
}

// ---- per frame ---------------------------------------------------------------------------

void WinInput::Update() {
  InputSystem::Update();

  for (ORVIS::Device* d : mDevices) {
    if (auto* m = dynamic_cast<WinMouse*>(d)) m->BeginFrame();
    else if (auto* k = dynamic_cast<WinKeyboard*>(d)) k->BeginFrame();
    else if (auto* j = dynamic_cast<WinJoystick*>(d)) j->Poll();
  }

  DrainRawInput();

  for (auto& [handle, m] : mMice) {
    m->mInFrame = 0;
    m->mPendingDx = m->mPendingDy = 0;
  }
  if (!mMultiDevice && mHasFocus) PositionSingleMouse();
  for (ORVIS::Device* d : mDevices) {
    auto* m = dynamic_cast<WinMouse*>(d);
    if (m && (m->mDx != 0 || m->mDy != 0)) RaiseMouseMove(m, m->mX, m->mY, m->mDx, m->mDy);
  }

  for (ORVIS::Device* d : mDevices) d->mNew = 0;
}

void WinInput::DrainRawInput() {
  alignas(16) uint8_t buffer[kBufferBytes];
  for (;;) {
    uint32_t size = kBufferBytes;
    const int32_t count = mLayer->HoleRohPuffer(buffer, size, Plattform::RohKopfBytes);
    if (count <= 0) break;
    uint32_t at = 0;
    for (int32_t i = 0; i < count; ++i) {
      if (at + Plattform::RohKopfBytes > kBufferBytes) break;
      const uint32_t recordSize = Plattform::LiesFeld<uint32_t>(buffer + at + 4);
      // A record that claims to reach past the buffer is not read.
      if (recordSize < Plattform::RohKopfBytes || at + recordSize > kBufferBytes) break;
      HandleRecord(buffer + at, mWow64, recordSize);
      at += (recordSize + 7) & ~7u;
    }
  }
}

void WinInput::HandleRecord(const uint8_t* record, bool wow64, uint32_t size) {
  const uint32_t type = Plattform::LiesFeld<uint32_t>(record);
  const uint64_t handle = Plattform::LiesFeld<uint64_t>(record + 8);
  const uint32_t extra = Plattform::RohZusatz(wow64);
  if (type == Plattform::RohTypMaus && size >= Plattform::RohMausBytes + extra) {
    auto it = mMice.find(handle);
    if (it != mMice.end()) it->second->HandleRawInput(record, wow64);
  } else if (type == Plattform::RohTypTastatur && size >= Plattform::RohTastaturBytes + extra) {
    auto it = mKeyboards.find(handle);
    if (it != mKeyboards.end()) it->second->HandleRawInput(record, wow64);
  }
}

void WinInput::PositionSingleMouse() {
  auto* m = dynamic_cast<WinMouse*>(mPrimaryMouse);
  if (!m) return;
  double cx = 0, cy = 0;
  if (!mLayer->HoleCursor(cx, cy)) return;
  // A cursor outside the client area leaves the position as it is.
  if (cx < 0 || cy < 0 || cx >= 20000 || cy >= 20000) return;
  if (mGrabActive) {
    int w = 0, h = 0;
    mLayer->FensterGroesse(w, h);
    const float centreX = w / 2, centreY = h / 2;
    m->mDx = static_cast<float>(cx) - centreX;
    m->mDy = static_cast<float>(cy) - centreY;
    m->mX += m->mDx;
    m->mY += m->mDy;
    mLayer->SetzeCursor(centreX, centreY);
  } else {
    m->mDx = static_cast<float>(cx) - m->mX;
    m->mDy = static_cast<float>(cy) - m->mY;
    m->mX = static_cast<float>(cx);
    m->mY = static_cast<float>(cy);
  }
}

void WinInput::OnFocusChanged(bool hasFocus) {
  for (ORVIS::Device* d : mDevices) {
    if (auto* k = dynamic_cast<WinKeyboard*>(d)) {
      if (!hasFocus) k->ReleaseAll();
    } else if (auto* m = dynamic_cast<WinMouse*>(d)) {
      if (!hasFocus) {
        m->ReleaseAll();
      } else if (!mMultiDevice) {
        double cx = 0, cy = 0;
        if (!mLayer->HoleCursor(cx, cy)) continue;
        m->mDx = static_cast<float>(cx) - m->mX;
        m->mDy = static_cast<float>(cy) - m->mY;
        m->mX = static_cast<float>(cx);
        m->mY = static_cast<float>(cy);
        if (!m->mNew && (m->mDx != 0 || m->mDy != 0)) RaiseMouseMove(m, m->mX, m->mY, m->mDx, m->mDy);
      }
    } else if (auto* j = dynamic_cast<WinJoystick*>(d)) {
      if (!hasFocus) j->ReleaseAll();
    }
  }
}

void WinInput::SetCursorGrab(bool grab) {
  int w = 0, h = 0;
  mLayer->FensterGroesse(w, h);
  if (grab) {
    mLayer->SetzeCursor(w / 2, h / 2);
  } else if (mPrimaryMouse) {
    const float x = std::clamp(mPrimaryMouse->GetMouseX(), 0.0f, static_cast<float>(w));
    const float y = std::clamp(mPrimaryMouse->GetMouseY(), 0.0f, static_cast<float>(h));
    mLayer->SetzeCursor(x, y);
  }
}

void WinInput::ActivateDevice(ORVIS::Device* device) {
  device->mActive = 1;
  if (device->mIndex == 0) return;
  const bool isMouse = dynamic_cast<ORVIS::Mouse*>(device) != nullptr;
  ORVIS::Device* idle = nullptr;
  for (ORVIS::Device* d : mDevices) {
    if (d == device || d->mActive || d->mIndex >= device->mIndex) continue;
    const bool same = isMouse ? SameKind<ORVIS::Mouse>(d, device) : SameKind<ORVIS::Keyboard>(d, device);
    if (same && (!idle || d->mIndex < idle->mIndex)) idle = d;
  }
  if (!idle) return;
  if (isMouse)
    Log("Swap mice due to activity: %d,%d and %d,%d", static_cast<int>(device->mId),
        static_cast<int>(device->mIndex), static_cast<int>(idle->mId), static_cast<int>(idle->mIndex));
  std::swap(mDevices[device->mId], mDevices[idle->mId]);
  std::swap(device->mId, idle->mId);
  std::swap(device->mIndex, idle->mIndex);
  if (device->mIndex == 0) {
    if (isMouse) mPrimaryMouse = static_cast<ORVIS::Mouse*>(device);
    else mPrimaryKeyboard = static_cast<ORVIS::Keyboard*>(device);
  }
}

// ---- creation ----------------------------------------------------------------------------

bool CreateInputSystem(ORVIS::HWND window, Plattform::EingabeSchicht* schicht) {
  try {
    if (ORVIS::InputSystem::Instance) throw std::runtime_error("Input already initialized");
    std::unique_ptr<Plattform::EingabeSchicht> eigene;
    if (!schicht) {
      eigene = Plattform::ErzeugeGlfwEingabe();
      schicht = eigene.get();
    }
    new WinInput(window, schicht, std::move(eigene));
    return true;
  } catch (const std::exception& e) {
    if (ORVIS::LogCallback) ORVIS::InputSystem::Log("Exception while creating ORVIS instance: %s", e.what());
    return false;
  }
}

void DestroyInputSystem() {
  delete ORVIS::InputSystem::Instance;
  ORVIS::InputSystem::Instance = nullptr;
}
