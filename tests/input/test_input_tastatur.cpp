// Keyboard: every window-system key to its DirectInput code, text and dead keys, focus loss,
// single-device mode and the primary keyboard.
#include <GLFW/glfw3.h>

#include <algorithm>

#include "input_testhilfe.h"
#include "plattform/eingabe/eingabe_glfw.h"

using ::testing::ElementsAre;

namespace {

struct KeyCase {
  int glfwKey;
  int code;  // -1: the key is not delivered
};

// The DirectInput codes the game and its console rely on, and every other key GLFW knows.
const KeyCase kKeyCases[] = {
    {GLFW_KEY_ESCAPE, 1}, {GLFW_KEY_1, 2}, {GLFW_KEY_2, 3}, {GLFW_KEY_3, 4}, {GLFW_KEY_4, 5},
    {GLFW_KEY_5, 6}, {GLFW_KEY_6, 7}, {GLFW_KEY_7, 8}, {GLFW_KEY_8, 9}, {GLFW_KEY_9, 10},
    {GLFW_KEY_0, 11}, {GLFW_KEY_MINUS, 12}, {GLFW_KEY_EQUAL, 13}, {GLFW_KEY_BACKSPACE, 14},
    {GLFW_KEY_TAB, 15}, {GLFW_KEY_Q, 16}, {GLFW_KEY_W, 17}, {GLFW_KEY_E, 18}, {GLFW_KEY_R, 19},
    {GLFW_KEY_T, 20}, {GLFW_KEY_Y, 21}, {GLFW_KEY_U, 22}, {GLFW_KEY_I, 23}, {GLFW_KEY_O, 24},
    {GLFW_KEY_P, 25}, {GLFW_KEY_LEFT_BRACKET, 26}, {GLFW_KEY_RIGHT_BRACKET, 27},
    {GLFW_KEY_ENTER, 28}, {GLFW_KEY_LEFT_CONTROL, 29}, {GLFW_KEY_A, 30}, {GLFW_KEY_S, 31},
    {GLFW_KEY_D, 32}, {GLFW_KEY_F, 33}, {GLFW_KEY_G, 34}, {GLFW_KEY_H, 35}, {GLFW_KEY_J, 36},
    {GLFW_KEY_K, 37}, {GLFW_KEY_L, 38}, {GLFW_KEY_SEMICOLON, 39}, {GLFW_KEY_APOSTROPHE, 40},
    {GLFW_KEY_GRAVE_ACCENT, 41}, {GLFW_KEY_LEFT_SHIFT, 42}, {GLFW_KEY_BACKSLASH, 43},
    {GLFW_KEY_Z, 44}, {GLFW_KEY_X, 45}, {GLFW_KEY_C, 46}, {GLFW_KEY_V, 47}, {GLFW_KEY_B, 48},
    {GLFW_KEY_N, 49}, {GLFW_KEY_M, 50}, {GLFW_KEY_COMMA, 51}, {GLFW_KEY_PERIOD, 52},
    {GLFW_KEY_SLASH, 53}, {GLFW_KEY_RIGHT_SHIFT, 54}, {GLFW_KEY_KP_MULTIPLY, 55},
    {GLFW_KEY_LEFT_ALT, 56}, {GLFW_KEY_SPACE, 57}, {GLFW_KEY_CAPS_LOCK, 58},
    {GLFW_KEY_F1, 0x3B}, {GLFW_KEY_F2, 0x3C}, {GLFW_KEY_F3, 0x3D}, {GLFW_KEY_F4, 0x3E},
    {GLFW_KEY_F5, 0x3F}, {GLFW_KEY_F6, 0x40}, {GLFW_KEY_F7, 0x41}, {GLFW_KEY_F8, 0x42},
    {GLFW_KEY_F9, 0x43}, {GLFW_KEY_F10, 0x44}, {GLFW_KEY_NUM_LOCK, 69},
    {GLFW_KEY_SCROLL_LOCK, 70}, {GLFW_KEY_KP_7, 71}, {GLFW_KEY_KP_8, 72}, {GLFW_KEY_KP_9, 73},
    {GLFW_KEY_KP_SUBTRACT, 74}, {GLFW_KEY_KP_4, 75}, {GLFW_KEY_KP_5, 76}, {GLFW_KEY_KP_6, 77},
    {GLFW_KEY_KP_ADD, 78}, {GLFW_KEY_KP_1, 79}, {GLFW_KEY_KP_2, 80}, {GLFW_KEY_KP_3, 81},
    {GLFW_KEY_KP_0, 82}, {GLFW_KEY_KP_DECIMAL, 83}, {GLFW_KEY_WORLD_2, 86},
    {GLFW_KEY_F11, 0x57}, {GLFW_KEY_F12, 0x58}, {GLFW_KEY_KP_EQUAL, 0x59},
    {GLFW_KEY_F13, 0x64}, {GLFW_KEY_F14, 0x65}, {GLFW_KEY_F15, 0x66}, {GLFW_KEY_F16, 0x67},
    {GLFW_KEY_F17, 0x68}, {GLFW_KEY_F18, 0x69}, {GLFW_KEY_F19, 0x6A}, {GLFW_KEY_F20, 0x6B},
    {GLFW_KEY_F21, 0x6C}, {GLFW_KEY_F22, 0x6D}, {GLFW_KEY_F23, 0x6E}, {GLFW_KEY_F24, 0x76},
    {GLFW_KEY_KP_ENTER, 156}, {GLFW_KEY_RIGHT_CONTROL, 157}, {GLFW_KEY_KP_DIVIDE, 181},
    {GLFW_KEY_PRINT_SCREEN, 183}, {GLFW_KEY_RIGHT_ALT, 184}, {GLFW_KEY_PAUSE, 197},
    {GLFW_KEY_HOME, 199}, {GLFW_KEY_UP, 200}, {GLFW_KEY_PAGE_UP, 201}, {GLFW_KEY_LEFT, 203},
    {GLFW_KEY_RIGHT, 205}, {GLFW_KEY_END, 207}, {GLFW_KEY_DOWN, 208},
    {GLFW_KEY_PAGE_DOWN, 209}, {GLFW_KEY_INSERT, 210}, {GLFW_KEY_DELETE, 211},
    {GLFW_KEY_LEFT_SUPER, 219}, {GLFW_KEY_RIGHT_SUPER, 220}, {GLFW_KEY_MENU, 221},
    {GLFW_KEY_WORLD_1, -1}, {GLFW_KEY_F25, -1}, {GLFW_KEY_UNKNOWN, -1},
};

}  // namespace

TEST_F(InputTest, EveryGlfwKeyArrivesAsItsDirectInputCode) {
  Start();
  for (const auto& c : kKeyCases) {
    SCOPED_TRACE("GLFW key " + std::to_string(c.glfwKey));
    layer.Taste(kKeyboard, c.glfwKey, true);
    Frame();
    const auto down = handler.Take();
    layer.Taste(kKeyboard, c.glfwKey, false);
    Frame();
    const auto up = handler.Take();
    if (c.code < 0) {
      EXPECT_TRUE(down.empty());
      EXPECT_TRUE(up.empty());
      continue;
    }
    const std::string key = "key " + std::to_string(c.code);
    ASSERT_FALSE(down.empty());
    EXPECT_EQ(down[0], key + " down");
    ASSERT_FALSE(up.empty());
    EXPECT_EQ(up[0], key + " up");
  }
}

TEST_F(InputTest, KeyCodesFollowThePrefixesWhateverTheMakeCode) {
  Start();
  auto* kb = static_cast<WinKeyboard*>(Keyboard());
  struct Case {
    uint16_t make, flags, vk;
    uint32_t code;
  };
  // Records the GLFW table never produces, as other keyboards send them.
  const Case cases[] = {
      {0x2A, Plattform::RohTasteE0, 16, 42},   // the fake shift some keyboards send
      {0x00, 0, 144, 69},                      // num lock whatever the make code says
      {0x47, 0, 36, 71},                       // home on the number block
      {0x4C, Plattform::RohTasteE0, 12, 76},   // clear keeps its code
      {0x30, Plattform::RohTasteE0, 175, 176}, // volume up: E0 keys get 0x80 added
  };
  for (const auto& c : cases) EXPECT_EQ(kb->KeyCode(c.make, c.flags, c.vk), c.code) << c.make;

  // Records with virtual key 255 are not keys at all.
  layer.StelleEin(Plattform::BaueTastaturSatz(kKeyboard, 0x1E, 0, 255, 0, false));
  Frame();
  EXPECT_TRUE(handler.Take().empty());
}

TEST_F(InputTest, DeadKeysComposeWithTheNextCharacter) {
  Start();
  const uint32_t dead = Plattform::EingabeAttrappe::kTot;
  struct Case {
    uint32_t shown;
    int key;
    uint32_t typed;
    uint32_t expected;
  };
  const Case cases[] = {
      {'^', GLFW_KEY_E, 'e', 0xEA},  {'`', GLFW_KEY_E, 'e', 0xE8}, {0xB4, GLFW_KEY_E, 'e', 0xE9},
      {0xA8, GLFW_KEY_U, 'u', 0xFC}, {0xB8, GLFW_KEY_C, 'c', 0xE7},
      {'^', GLFW_KEY_X, 'x', 'x'},  // nothing to compose: the character itself
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    layer.Taste(kKeyboard, GLFW_KEY_GRAVE_ACCENT, true, c.shown | dead);
    layer.Taste(kKeyboard, GLFW_KEY_GRAVE_ACCENT, false);
    Frame();
    EXPECT_THAT(handler.Take(), ElementsAre("key 41 down", "digital 41 down", "key 41 up", "digital 41 up"));
    layer.Taste(kKeyboard, c.key, true, c.typed);
    layer.Taste(kKeyboard, c.key, false);
    Frame();
    const auto e = handler.Take();
    ASSERT_GE(e.size(), 2u);
    EXPECT_EQ(e[1], "text " + std::to_string(c.expected));
  }
  // The mark is used once.
  layer.Taste(kKeyboard, GLFW_KEY_E, true, 'e');
  Frame();
  EXPECT_EQ(handler.Take()[1], "text 101");
}

TEST_F(InputTest, TextComesOnlyWithThePressThatTypedIt) {
  Start();
  // A character after a repeat, a release or a key the records cannot express belongs to no
  // queued press: it must not land on the shift press before it.
  layer.MeldeZeichen('y');                                  // no key event yet
  layer.Taste(kKeyboard, GLFW_KEY_LEFT_SHIFT, true);
  layer.Taste(kKeyboard, GLFW_KEY_WORLD_1, true, 0xE4);     // unknown key
  layer.Taste(kKeyboard, GLFW_KEY_LEFT_SHIFT, true);        // a repeated make record: nothing
  layer.MeldeTaste(kKeyboard, GLFW_KEY_LEFT_SHIFT, true, true);  // the system's repeat
  layer.MeldeZeichen('r');
  layer.Taste(kKeyboard, GLFW_KEY_Z, true, 'Z');
  layer.MeldeZeichen('z');                                  // the press already has its text
  layer.Taste(kKeyboard, GLFW_KEY_Z, false, 'z');
  Frame();
  EXPECT_THAT(handler.Take(), ElementsAre("key 42 down", "digital 42 down", "key 44 down", "text 90",
                                          "digital 44 down", "key 44 up", "digital 44 up"));

  // The GLFW layer gives no text beyond one UTF-16 unit.
  auto glfw = Plattform::ErzeugeGlfwEingabe();
  char16_t units[3] = {};
  EXPECT_EQ(glfw->ZuUnicode(65, 30, 0xE9, units), 1);
  EXPECT_EQ(units[0], 0xE9);
  for (uint32_t none : {0x1F600u, 0xD800u, 0u}) EXPECT_EQ(glfw->ZuUnicode(65, 30, none, units), 0);
}

TEST_F(InputTest, LosingFocusReleasesHeldKeysOnce) {
  Start();
  layer.Taste(kKeyboard, GLFW_KEY_W, true, 'w');
  layer.Taste(kKeyboard, GLFW_KEY_UP, true);
  Frame();
  handler.Take();
  System()->SetFocus(false);
  EXPECT_THAT(handler.Take(), ElementsAre("key 17 up", "digital 17 up", "key 200 up", "digital 200 up"));
  EXPECT_TRUE(Keyboard()->WasKeyReleased(17));
  EXPECT_TRUE(Keyboard()->WasKeyReleased(200));
  EXPECT_FALSE(Keyboard()->IsKeyDown(200));
  // No repeat follows, and the late release records change nothing.
  layer.Taste(kKeyboard, GLFW_KEY_W, false);
  for (int i = 0; i < 10; ++i) Frame(100);
  EXPECT_TRUE(handler.Take().empty());
  System()->SetFocus(false);  // no change, no log line
  EXPECT_EQ(std::count(log.begin(), log.end(), "ORVIS: lost focus"), 1);
}

TEST_F(InputTest, FirstUsedKeyboardBecomesPrimaryAndOthersActAsIt) {
  layer.mGeraete = {{5, Plattform::RohTypTastatur, "virtual"},
                    {6, Plattform::RohTypTastatur, "real"},
                    {2, Plattform::RohTypMaus, "mouse"}};
  Start();
  auto* s = System();
  ORVIS::Keyboard* real = s->GetKeyboard(1);
  layer.Taste(6, GLFW_KEY_G, true);
  Frame();
  EXPECT_EQ(s->mPrimaryKeyboard, real);
  EXPECT_EQ(real->mIndex, 0u);
  EXPECT_EQ(real->mId, 0u);
  EXPECT_EQ(s->GetKeyboard(0), real);
  EXPECT_TRUE(real->IsKeyDown(34));
  for (const auto& line : log) EXPECT_EQ(line.find("Swap"), std::string::npos);

  // The other keyboard's keys land on the primary one, once.
  handler.Take();
  layer.Taste(5, GLFW_KEY_G, true);
  layer.Taste(5, GLFW_KEY_H, true);
  Frame();
  EXPECT_THAT(handler.Take(), ElementsAre("key 35 down", "digital 35 down"));
  EXPECT_TRUE(real->IsKeyDown(35));
  EXPECT_FALSE(s->GetKeyboard(1)->IsKeyDown(35));
}

TEST_F(InputTest, KeyNamesAreUtf8AndEmptyWhenUnknown) {
  layer.mTastenNamen[0x1E] = u"A";
  layer.mTastenNamen[0x1A] = u"\u00DC";
  layer.mTastenNamen[0x29] = u"\U0001F600";
  layer.mTastenNamen[0x2A] = std::u16string(128, u'\u00DC');  // 256 bytes: does not fit
  Start();
  EXPECT_EQ(Keyboard()->GetButtonText(0x1E), "A");
  EXPECT_EQ(Keyboard()->GetButtonText(0x1A), "\xC3\x9C");
  EXPECT_EQ(Keyboard()->GetButtonText(0x29), "\xF0\x9F\x98\x80");
  EXPECT_EQ(Keyboard()->GetButtonText(0x2A), "");
  EXPECT_EQ(Keyboard()->GetButtonText(0x3B), "");
}
