// A real GLFW window under the test display: keys and text typed into it with xdotool reach
// the handler as DirectInput codes and code points.
#include <GLFW/glfw3.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "input_testhilfe.h"
#include "plattform/eingabe_glfwumsetzung.h"

namespace {

int gEarlierKeyCalls = 0;
void EarlierKeyCallback(GLFWwindow*, int, int, int, int) { ++gEarlierKeyCalls; }

class Collector : public ORVIS::InputHandler {
 public:
  bool OnMouseWheel(ORVIS::Mouse*, float delta) override {
    if (delta != 0) wheel.push_back(delta);
    return false;
  }
  bool OnKey(ORVIS::Keyboard*, uint32_t key, bool down) override {
    if (down) keys.push_back(key);
    return false;
  }
  bool OnKeyText(ORVIS::Keyboard*, uint32_t codePoint) override {
    text.push_back(codePoint);
    return false;
  }
  bool Saw(uint32_t key) const { return std::find(keys.begin(), keys.end(), key) != keys.end(); }
  std::vector<uint32_t> keys, text;
  std::vector<float> wheel;
};

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
  Collector collector;
  ORVIS::InputSystem::Instance->SetHandler(&collector);
  ORVIS::InputSystem::Instance->Update();  // the devices' first frame

  const std::string id =
      FirstLine("timeout 10 xdotool search --sync --limit 1 --name '^" + title + "$'");
  ASSERT_FALSE(id.empty()) << "window not found";
  const std::string send = "timeout 10 xdotool key --window " + id + " F1 && timeout 10 xdotool type --window " +
                           id + " --delay 20 a && timeout 10 xdotool click --window " + id + " 4";
  ASSERT_EQ(std::system(send.c_str()), 0);

  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < deadline &&
         !(collector.Saw(0x3B) && !collector.text.empty() && !collector.wheel.empty())) {
    glfwPollEvents();
    ORVIS::InputSystem::Instance->Update();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_TRUE(collector.Saw(0x3B));
  EXPECT_TRUE(collector.Saw(30));  // "a" is the key A
  ASSERT_FALSE(collector.text.empty());
  EXPECT_EQ(collector.text.front(), uint32_t('a'));
  ASSERT_FALSE(collector.wheel.empty());
  EXPECT_FLOAT_EQ(collector.wheel.front(), 120.0f);  // one notch up
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
  for (const char* bad : {static_cast<const char*>(nullptr), "", "0300", "03000000zz0400008e02000014010000"}) {
    EXPECT_FALSE(Plattform::HerstellerUndProdukt(bad, vendor, product));
    EXPECT_EQ(vendor, 0u);
    EXPECT_EQ(product, 0u);
  }
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
  hats[0] = GLFW_HAT_CENTERED;
  abgleich.Abgleichen(axes, 10, buttons, 3, hats, 1, records, 2);
  EXPECT_EQ(records.size(), 2u);
  records.clear();
  abgleich.Abgleichen(axes, 10, buttons, 3, hats, 1, records, 64);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].Daten, 0xFFFFFFFFu);  // centred
}

TEST(InputGlfwConversion, KeyNamesAreDecodedFromUtf8) {
  EXPECT_EQ(Plattform::Utf8Zu16("a\xC3\x9C"), u"a\u00DC");
  EXPECT_EQ(Plattform::Utf8Zu16("\xE2\x82\xAC"), u"\u20AC");
  EXPECT_EQ(Plattform::Utf8Zu16("\xF0\x9F\x98\x80"), u"\U0001F600");
  EXPECT_EQ(Plattform::Utf8Zu16("\xE2\x82"), u"\uFFFD");  // cut short
  EXPECT_EQ(Plattform::Utf8Zu16(nullptr), u"");
}
