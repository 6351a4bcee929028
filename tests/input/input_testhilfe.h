#pragma once
// Shared fixture: an input system over the scripted layer, a handler that records every event
// it is offered, and the library's log lines.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "input/inputsystem.h"
#include "input/joystick.h"
#include "input/keyboard.h"
#include "input/mouse.h"
#include "input/winkeyboard.h"
#include "input/wininput.h"
#include "plattform/eingabe/eingabe_attrappe.h"

// Records each offered event as text; the consume* switches make an operation report true.
class Recorder : public ORVIS::InputHandler {
 public:
  bool OnKey(ORVIS::Keyboard*, uint32_t key, bool down) override {
    return Note("key " + N(key) + Dir(down), consumeKey);
  }
  bool OnMouseMoved(ORVIS::Mouse*, float x, float y) override {
    return Note("move " + N(x) + " " + N(y), consumeMove);
  }
  bool OnMouseButton(ORVIS::Mouse* m, uint32_t button, bool down) override {
    return Note("button " + N(m->mId) + ":" + N(button) + Dir(down));
  }
  bool OnMouseWheel(ORVIS::Mouse*, float delta) override { return Note("wheel " + N(delta)); }
  bool OnJoystickButton(ORVIS::Joystick*, uint32_t button, bool down) override {
    return Note("jbutton " + N(button) + Dir(down));
  }
  bool OnJoystickAxis(ORVIS::Joystick*, uint32_t axis, float value) override {
    return Note("jaxis " + N(axis) + " " + N(value));
  }
  bool OnKeyText(ORVIS::Keyboard*, uint32_t codePoint) override {
    return Note("text " + N(codePoint), consumeText);
  }
  bool OnDigitalEvent(ORVIS::Device*, uint32_t control, bool down) override {
    return Note("digital " + N(control) + Dir(down));
  }
  bool OnAnalogEvent(ORVIS::Device*, uint32_t control, float value) override {
    return Note("analog " + N(control) + " " + N(value), consumeAnalogX && control == 0);
  }
  void OnDigitalChannelChanged(const ORVIS::DigitalChannel* c) override {
    Note("dchannel " + N(c->mId) + " " + N(c->mState));
  }
  void OnAnalogChannelChanged(const ORVIS::AnalogChannel* c) override {
    Note("achannel " + N(c->mId) + " " + N(c->mValue));
  }

  // Events recorded since the last call.
  std::vector<std::string> Take() { return std::exchange(events, {}); }

  std::vector<std::string> events;
  bool consumeKey = false, consumeText = false, consumeMove = false, consumeAnalogX = false;

 private:
  static std::string N(double v) {
    char b[32];
    std::snprintf(b, sizeof b, "%g", v);
    return b;
  }
  static std::string Dir(bool down) { return down ? " down" : " up"; }
  bool Note(std::string e, bool consume = false) {
    events.push_back(std::move(e));
    return consume;
  }
};

class InputTest : public ::testing::Test {
 protected:
  static constexpr uint64_t kKeyboard = 1;
  static constexpr uint64_t kMouse = 2;

  void SetUp() override {
    sLog = &log;
    ORVIS::LogCallback = [](const char* line) { sLog->push_back(line); };
  }
  void TearDown() override {
    DestroyInputSystem();
    ORVIS::LogCallback = nullptr;
    sLog = nullptr;
  }

  GLFWwindow* Window() { return reinterpret_cast<GLFWwindow*>(&windowStandIn); }
  bool Create() { return CreateInputSystem(Window(), &layer); }
  // Creates the system, sets the recorder as handler and runs the first frame, after which
  // no device is new any more.
  void Start() {
    ASSERT_TRUE(Create());
    System()->SetHandler(&handler);
    Frame();
    handler.Take();
  }
  WinInput* System() { return static_cast<WinInput*>(ORVIS::InputSystem::Instance); }
  void Frame(uint32_t ms = 16) {
    layer.mZeit += ms;
    System()->Update();
  }
  ORVIS::Keyboard* Keyboard() { return System()->mPrimaryKeyboard; }
  ORVIS::Mouse* Mouse() { return System()->mPrimaryMouse; }

  static Plattform::Guid MakeGuid(uint8_t tag, uint32_t product = 0) {
    Plattform::Guid g{};
    g[15] = tag;
    std::memcpy(g.data(), &product, 4);
    return g;
  }

  Plattform::EingabeAttrappe layer;
  Recorder handler;
  std::vector<std::string> log;
  int windowStandIn = 0;
  static inline std::vector<std::string>* sLog = nullptr;
};
