// A real GLFW window under the test display: keys and text typed into it with xdotool reach
// the handler as DirectInput codes and code points.
#include <GLFW/glfw3.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "input_testhilfe.h"
#include "plattform/eingabe/intern/eingabe_glfwumsetzung.h"

namespace {

int gEarlierKeyCalls = 0;
void EarlierKeyCallback(GLFWwindow*, int, int, int, int) { ++gEarlierKeyCalls; }

// Runs a command, returns its first output line ("" on failure).
std::string FirstLine(const std::string& command) {
  FILE* p = popen(command.c_str(), "r");
  if (!p) return {};
  char line[256] = {};
  const bool got = std::fgets(line, sizeof line, p) != nullptr;
  pclose(p);
  std::string s = got ? line : "";
  while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
  return s;
}

}  // namespace

TEST(InputGlfw, TypedKeysAndTextReachTheHandler) {
  if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display";
  if (std::system("command -v xdotool >/dev/null 2>&1") != 0) GTEST_SKIP() << "no xdotool";
  ASSERT_TRUE(glfwInit());
  glfwWindowHint(GLFW_CLIENT_API, GLFW_NO_API);
  // Several tests share the display: find our window by a title no one else uses.
  const std::string title = "orvis-test-" + std::to_string(getpid()) + "-" +
                            std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
  GLFWwindow* window = glfwCreateWindow(320, 200, title.c_str(), nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  glfwPollEvents();
  // A key callback set before the input system keeps being called.
  glfwSetKeyCallback(window, EarlierKeyCallback);

  ASSERT_TRUE(CreateInputSystem(window));
  Recorder recorder;
  ORVIS::InputSystem::Instance->SetHandler(&recorder);
  ORVIS::InputSystem::Instance->Update();  // the devices' first frame

  // The search reads every window's name; when another test's window vanishes meanwhile,
  // xdotool gives up on the whole search. So it is asked again until the window is found.
  std::string id;
  const auto suchende = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (id.empty() && std::chrono::steady_clock::now() < suchende) {
    glfwPollEvents();
    id = FirstLine("timeout 5 xdotool search --limit 1 --name '^" + title + "$' 2>/dev/null");
    if (id.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  ASSERT_FALSE(id.empty()) << "window not found";
  const std::string send = "timeout 10 xdotool key --window " + id + " F1 && timeout 10 xdotool type --window " +
                           id + " --delay 20 a && timeout 10 xdotool click --window " + id + " 4";
  ASSERT_EQ(std::system(send.c_str()), 0);

  // F1 as 0x3B, "a" as the key A (30) with its text, one wheel notch up as 120.
  const std::vector<std::string> expected = {"key 59 down", "key 30 down", "text 97", "wheel 120"};
  std::vector<std::string> seen;
  const auto allSeen = [&] {
    return std::all_of(expected.begin(), expected.end(), [&](const std::string& e) {
      return std::find(seen.begin(), seen.end(), e) != seen.end();
    });
  };
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < deadline && !allSeen()) {
    glfwPollEvents();
    ORVIS::InputSystem::Instance->Update();
    for (auto& e : recorder.Take()) seen.push_back(std::move(e));
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  for (const auto& e : expected) EXPECT_THAT(seen, testing::Contains(e));
  EXPECT_GE(gEarlierKeyCalls, 2);

  DestroyInputSystem();
  // The window has its earlier callback back.
  EXPECT_EQ(glfwSetKeyCallback(window, nullptr), &EarlierKeyCallback);
  glfwDestroyWindow(window);
  glfwTerminate();
}

// ---- the GLFW layer's conversions, no window needed --------------------------------------

TEST(InputGlfwConversion, JoystickGuidGivesVendorAndProduct) {
  unsigned vendor = 1, product = 1;
  EXPECT_TRUE(Plattform::HerstellerUndProdukt("030000005e0400008e02000014010000", vendor, product));
  EXPECT_EQ(vendor, 0x045Eu);
  EXPECT_EQ(product, 0x028Eu);
  EXPECT_FALSE(Plattform::HerstellerUndProdukt("03000000zz0400008e02000014010000", vendor, product));
  EXPECT_EQ(vendor + product, 0u);
  EXPECT_FALSE(Plattform::HerstellerUndProdukt(nullptr, vendor, product));
}

TEST(InputGlfwConversion, GamepadStateHasYUpAndTriggersFrom0To255) {
  float axes[6] = {};
  unsigned char buttons[15] = {};
  axes[GLFW_GAMEPAD_AXIS_LEFT_X] = 1.0f;
  axes[GLFW_GAMEPAD_AXIS_LEFT_Y] = -1.0f;  // pushed up
  axes[GLFW_GAMEPAD_AXIS_RIGHT_Y] = 1.0f;  // pulled down
  axes[GLFW_GAMEPAD_AXIS_LEFT_TRIGGER] = -1.0f;
  axes[GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER] = 1.0f;
  buttons[GLFW_GAMEPAD_BUTTON_A] = GLFW_PRESS;
  buttons[GLFW_GAMEPAD_BUTTON_BACK] = GLFW_PRESS;
  buttons[GLFW_GAMEPAD_BUTTON_DPAD_LEFT] = GLFW_PRESS;
  const auto pad = Plattform::GamepadAusGlfw(axes, buttons);
  EXPECT_EQ(pad.LinksX, 32767);
  EXPECT_EQ(pad.LinksY, 32767);
  EXPECT_EQ(pad.RechtsY, -32767);
  EXPECT_EQ(pad.LinkerAbzug, 0);
  EXPECT_EQ(pad.RechterAbzug, 255);
  EXPECT_EQ(pad.Knoepfe, Plattform::PadA | Plattform::PadZurueck | Plattform::PadLinks);
  axes[GLFW_GAMEPAD_AXIS_LEFT_TRIGGER] = 0.0f;  // half way
  EXPECT_EQ(Plattform::GamepadAusGlfw(axes, buttons).LinkerAbzug, 128);
}

TEST(InputGlfwConversion, JoystickSnapshotsBecomeChangeRecords) {
  Plattform::SteuerAbgleich abgleich;
  abgleich.mAnwendungsDaten = {0x13130000, 0x13130001};
  float axes[10] = {0.0f, -1.0f};
  axes[9] = 0.5f;
  unsigned char buttons[3] = {GLFW_RELEASE, GLFW_PRESS, GLFW_RELEASE};
  unsigned char hats[1] = {GLFW_HAT_RIGHT_UP};
  std::vector<Plattform::SteuerDatensatz> records;
  abgleich.Abgleichen(axes, 10, buttons, 3, hats, 1, records, 64);
  ASSERT_EQ(records.size(), 4u);
  EXPECT_EQ(records[0].Versatz, 4u);
  EXPECT_EQ(static_cast<int32_t>(records[0].Daten), -32767);
  EXPECT_EQ(records[0].AnwendungsDaten, 0x13130001u);
  EXPECT_EQ(records[1].Versatz, 180u);  // the tenth axis lies past the buttons
  EXPECT_EQ(records[1].AnwendungsDaten, 0u);
  EXPECT_EQ(records[2].Versatz, Plattform::SteuerVersatzKnopf + 1);
  EXPECT_EQ(records[2].Daten, 0x80u);
  EXPECT_EQ(records[3].Versatz, Plattform::SteuerVersatzHut);
  EXPECT_EQ(records[3].Daten, 4500u);

  // Nothing changed: nothing reported. Changes past the limit wait for the next read.
  records.clear();
  abgleich.Abgleichen(axes, 10, buttons, 3, hats, 1, records, 64);
  EXPECT_TRUE(records.empty());
  buttons[0] = buttons[2] = GLFW_PRESS;
  abgleich.Abgleichen(axes, 10, buttons, 3, hats, 1, records, 1);
  abgleich.Abgleichen(axes, 10, buttons, 3, hats, 1, records, 64);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[1].Versatz, Plattform::SteuerVersatzKnopf + 2);
}
