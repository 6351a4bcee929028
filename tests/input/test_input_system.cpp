// The input system's life cycle, event offering, key repeat, channels and cursor grab.
#include <GLFW/glfw3.h>

#include "input_testhilfe.h"
#include "input/winjoystick.h"

using ::testing::ElementsAre;
using Strings = std::vector<std::string>;

// ---- creation ----------------------------------------------------------------------------

TEST_F(InputTest, DevicesAreListedControllersFirstWithoutRemoteAndHidEntries) {
  layer.mGeraete = {{10, Plattform::RohTypMaus, "\\\\?\\HID#VID_1#RDP_MOU"},
                    {11, Plattform::RohTypTastatur, "kbd-a"},
                    {12, Plattform::RohTypHid, "touchpad"},
                    {13, Plattform::RohTypTastatur, "\\\\?\\RDP_KBD"},
                    {14, Plattform::RohTypMaus, "mouse-b"}};
  Plattform::EingabeAttrappe::Steuer pad;
  pad.Instanz = MakeGuid(1);
  pad.Knoepfe = 4;
  pad.Achsen = 2;
  layer.mSteuer = {pad};
  Plattform::EingabeAttrappe::Steuer wheel = pad;
  wheel.Instanz = MakeGuid(2);
  wheel.Typ = 0x13;  // not a controller type
  layer.mSteuer.push_back(wheel);

  ASSERT_TRUE(Create());
  auto* s = System();
  ASSERT_EQ(s->mDevices.size(), 3u);
  EXPECT_NE(dynamic_cast<ORVIS::Joystick*>(s->mDevices[0]), nullptr);
  EXPECT_EQ(s->mPrimaryKeyboard, s->mDevices[1]);
  EXPECT_EQ(s->GetMouse(0), s->mDevices[2]);
  EXPECT_EQ(s->GetMouse(1), nullptr);
  for (uint64_t i = 0; i < 3; ++i) EXPECT_EQ(s->mDevices[i]->mId, i);
  EXPECT_EQ(layer.mEingehaengt, Window());

  DestroyInputSystem();
  EXPECT_EQ(ORVIS::InputSystem::Instance, nullptr);
  EXPECT_EQ(layer.mEingehaengt, nullptr);
  EXPECT_EQ(layer.mOffeneSteuergeraete + layer.mOffeneEingaben + layer.mOffeneSystemTastaturen, 0);
  EXPECT_THAT(log, ElementsAre("ORVIS instance created.", "ORVIS instance going down."));
}

TEST_F(InputTest, EveryConstructionFailureIsReportedAndUndoesWhatWasBuilt) {
  struct Case {
    bool Plattform::EingabeAttrappe::*sw;
    const char* message;
  };
  const Case cases[] = {
      {&Plattform::EingabeAttrappe::mFehlerEingabe, "Unable to init DirectX8 Input"},
      {&Plattform::EingabeAttrappe::mFehlerSystemTastatur, "Could not init default keyboard"},
      {&Plattform::EingabeAttrappe::mFehlerTastaturFormat, "Keyboard format error"},
      {&Plattform::EingabeAttrappe::mFehlerAnzahl, "unable to get device count"},
      {&Plattform::EingabeAttrappe::mFehlerListe, "unable to retrieve device list"},
      {&Plattform::EingabeAttrappe::mFehlerRegistrierung, "failed to register for input messages"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    Plattform::EingabeAttrappe fresh;
    Plattform::EingabeAttrappe::Steuer pad;
    pad.Instanz = MakeGuid(1);
    pad.Achsen = 2;
    fresh.mSteuer = {pad};
    fresh.*c.sw = true;
    log.clear();
    EXPECT_FALSE(CreateInputSystem(Window(), &fresh));
    EXPECT_EQ(ORVIS::InputSystem::Instance, nullptr);
    EXPECT_THAT(log, ElementsAre("ORVIS instance created.", "ORVIS instance going down.",
                                 std::string("Exception while creating ORVIS instance: ") + c.message));
    // The window is no longer fed and nothing stays open.
    EXPECT_EQ(fresh.mEingehaengt, nullptr);
    EXPECT_EQ(fresh.mOffeneEingaben + fresh.mOffeneSystemTastaturen + fresh.mOffeneSteuergeraete, 0);
  }

  log.clear();
  layer.mIstFenster = false;
  EXPECT_FALSE(Create());
  EXPECT_EQ(log.back(), "Exception while creating ORVIS instance: HWND is not valid");
  EXPECT_EQ(layer.mEingehaengt, nullptr);
}

TEST_F(InputTest, SecondCreationFailsAndLeavesTheLiveInstanceAlone) {
  Start();
  ORVIS::InputSystem* first = ORVIS::InputSystem::Instance;
  Plattform::EingabeAttrappe other;
  EXPECT_FALSE(CreateInputSystem(Window(), &other));
  EXPECT_EQ(log.back(), "Exception while creating ORVIS instance: Input already initialized");
  EXPECT_EQ(ORVIS::InputSystem::Instance, first);
  EXPECT_EQ(other.mEingehaengt, nullptr);
  // The first instance still works.
  layer.Taste(kKeyboard, GLFW_KEY_F1, true);
  Frame();
  EXPECT_TRUE(Keyboard()->IsKeyDown(0x3B));
}

// ---- offering events ---------------------------------------------------------------------

TEST_F(InputTest, KeyEventsAreOfferedInOrderUntilConsumed) {
  Start();
  ORVIS::DigitalChannel channel;
  channel.mId = 7;
  channel.mBindings.push_back({Keyboard()->mId, 0x1E, 0, 0.0f});
  System()->mDigitalChannels[7] = channel;

  layer.Taste(kKeyboard, GLFW_KEY_A, true, 'a');
  Frame();
  EXPECT_THAT(handler.Take(), ElementsAre("key 30 down", "text 97", "digital 30 down", "dchannel 7 1"));

  // A release never types text.
  layer.Taste(kKeyboard, GLFW_KEY_A, false, 'a');
  Frame();
  EXPECT_THAT(handler.Take(), ElementsAre("key 30 up", "digital 30 up", "dchannel 7 0"));

  // A press consumed by OnKey goes no further: no text, no digital event, no channel.
  handler.consumeKey = true;
  layer.Taste(kKeyboard, GLFW_KEY_A, true, 'a');
  Frame();
  EXPECT_THAT(handler.Take(), ElementsAre("key 30 down"));
  EXPECT_EQ(System()->mDigitalChannels[7].mState, 0);

  handler.consumeKey = false;
  handler.consumeText = true;
  layer.Taste(kKeyboard, GLFW_KEY_A, false);
  layer.Taste(kKeyboard, GLFW_KEY_B, true, 'b');
  Frame();
  EXPECT_THAT(handler.Take(), ElementsAre("key 30 up", "digital 30 up", "key 48 down", "text 98"));
}

TEST_F(InputTest, MouseMotionOffersOnlyTheAxesThatMoved) {
  Start();
  layer.mCursorX = 0;
  layer.mCursorY = 3;
  Frame();
  EXPECT_THAT(handler.Take(), ElementsAre("move 0 3", "analog 1 3"));

  // A consumed x part does not stop the y part.
  handler.consumeAnalogX = true;
  layer.mCursorX = 5;
  layer.mCursorY = 4;
  Frame();
  EXPECT_THAT(handler.Take(), ElementsAre("move 5 4", "analog 0 5", "analog 1 4"));

  handler.consumeMove = true;
  layer.mCursorX = 6;
  Frame();
  EXPECT_THAT(handler.Take(), ElementsAre("move 6 4"));
}

TEST_F(InputTest, ChannelsFollowTheirBindingsWithoutAHandler) {
  Start();
  System()->SetHandler(nullptr);
  const uint64_t kb = Keyboard()->mId, mouse = Mouse()->mId;

  ORVIS::DigitalChannel fire;
  fire.mId = 1;
  fire.mBindings = {{99, 0x39, 0, 0.0f},          // names no device: skipped
                    {kb, 0x39, 0, 0.0f},
                    {mouse, 0, 0, 0.0f}};
  System()->mDigitalChannels[1] = fire;
  ORVIS::AnalogChannel zoom;
  zoom.mId = 2;
  zoom.mBindings = {{mouse, 2, ORVIS::AnalogChannel::Axis, 0.0f, 1.0f},
                    {kb, 0x39, ORVIS::AnalogChannel::Button, 10.0f, 1.0f},
                    {mouse, 1, ORVIS::AnalogChannel::AxisThreshold, 100.0f, 0.5f}};
  System()->mAnalogChannels[2] = zoom;

  layer.Taste(kKeyboard, GLFW_KEY_SPACE, true);
  Frame();
  EXPECT_EQ(System()->mDigitalChannels[1].mState, 1);
  EXPECT_EQ(System()->mDigitalChannels[1].mChanged, 1);
  EXPECT_FLOAT_EQ(System()->mAnalogChannels[2].mValue, 10.0f);

  // The mouse button keeps the channel on when the key goes up... and the flags reset per frame.
  layer.Knopf(kMouse, 0, true);
  Frame();
  layer.Taste(kKeyboard, GLFW_KEY_SPACE, false);
  Frame();
  EXPECT_EQ(System()->mDigitalChannels[1].mState, 1);
  EXPECT_EQ(System()->mDigitalChannels[1].mChanged, 0);
  EXPECT_FLOAT_EQ(System()->mAnalogChannels[2].mValue, 0.0f);

  // Wheel and a y position beyond the threshold: 120 + 200 x 0.5.
  layer.mCursorY = 200;
  layer.Rad(kMouse, 120);
  Frame();
  EXPECT_FLOAT_EQ(System()->mAnalogChannels[2].mValue, 220.0f);
  EXPECT_FLOAT_EQ(System()->mAnalogChannels[2].mDelta, 220.0f);
}

// ---- key repeat --------------------------------------------------------------------------

TEST_F(InputTest, HeldKeyRepeatsAfterTheDelayThenAtTheInterval) {
  Start();
  layer.Taste(kKeyboard, GLFW_KEY_X, true, 'x');
  Frame();
  handler.Take();

  // 10 ms frames: the first pair comes once 0.7 s have passed, then one every 0.1 s (the
  // overshoot of a frame is carried over, so the pairs do not drift).
  std::vector<int> pairsAt;
  for (int t = 10; t <= 1050; t += 10) {
    Frame(10);
    auto e = handler.Take();
    if (e.empty()) continue;
    EXPECT_THAT(e, ElementsAre("key 45 up", "digital 45 up", "key 45 down", "text 120", "digital 45 down"));
    pairsAt.push_back(t);
  }
  ASSERT_EQ(pairsAt.size(), 4u);  // within a frame of 0.7, 0.8, 0.9 and 1.0 s (f32 countdown)
  for (size_t i = 0; i < pairsAt.size(); ++i) EXPECT_NEAR(pairsAt[i], 700 + 100 * int(i), 10);
  EXPECT_FALSE(Keyboard()->WasKeyReleased(45));  // the repeat leaves the key bitmaps alone

  // A stalled frame of 0.5 s advances the countdown by 0.1 s only: one pair, not five.
  Frame(500);
  EXPECT_EQ(handler.Take().size(), 5u);
  Frame(30);
  EXPECT_TRUE(handler.Take().empty());

  // A newer key takes the repeat over; releasing the older one leaves it running, releasing
  // the repeating one stops it.
  layer.Taste(kKeyboard, GLFW_KEY_Y, true);
  layer.Taste(kKeyboard, GLFW_KEY_X, false);
  Frame(0);
  handler.Take();
  for (int i = 0; i < 8; ++i) Frame(100);
  EXPECT_THAT(handler.Take(), testing::Contains("key 21 up"));
  layer.Taste(kKeyboard, GLFW_KEY_Y, false);
  Frame(0);
  handler.Take();
  for (int i = 0; i < 20; ++i) Frame(100);
  EXPECT_TRUE(handler.Take().empty());
}

TEST_F(InputTest, RepeatUsesTheLayerClockAcrossItsWrap) {
  layer.mZeit = 0xFFFFFF00u;
  Start();
  layer.Taste(kKeyboard, GLFW_KEY_X, true);
  Frame();
  handler.Take();
  for (int i = 0; i < 8; ++i) Frame(100);  // wraps past 2^32 on the way
  EXPECT_FALSE(handler.Take().empty());
}

// ---- cursor grab -------------------------------------------------------------------------

TEST_F(InputTest, GrabCentresTheCursorAndReleasePutsItBackClamped) {
  Start();
  layer.mBreite = 640;
  layer.mHoehe = 480;
  layer.mCursorX = 700;  // outside the window, still a valid cursor
  layer.mCursorY = 100;
  Frame();
  System()->mGrabWanted = 1;
  System()->UpdateMouseGrab();
  ASSERT_FALSE(layer.mCursorGesetzt.empty());
  EXPECT_EQ(layer.mCursorGesetzt.back(), std::make_pair(320.0, 240.0));
  EXPECT_EQ(log.back(), "ORVIS: grabbing mouse");

  // With the grab the motion is the offset from the centre, and the cursor goes back.
  layer.mCursorX = 330;
  layer.mCursorY = 235;
  Frame();
  EXPECT_FLOAT_EQ(Mouse()->GetRelMouseX(), 10.0f);
  EXPECT_FLOAT_EQ(Mouse()->GetMouseX(), 710.0f);
  EXPECT_EQ(layer.mCursorGesetzt.back(), std::make_pair(320.0, 240.0));

  // Losing focus releases the grab; the cursor goes to the mouse position within the window.
  System()->SetFocus(false);
  EXPECT_EQ(layer.mCursorGesetzt.back(), std::make_pair(640.0, 95.0));
  EXPECT_EQ(System()->mGrabActive, 0);
  EXPECT_THAT(Strings(log.end() - 2, log.end()), ElementsAre("ORVIS: lost focus", "ORVIS: releasing mouse"));
}

// ---- the layer's queue -------------------------------------------------------------------

TEST(InputLayerQueue, IsBoundedAndSkipsRecordsThatCanNeverBeRead) {
  Plattform::EingabeAttrappe layer;
  for (size_t i = 0; i < Plattform::EingabeSchicht::kHoechstWartend + 100; ++i)
    layer.Taste(1, GLFW_KEY_A, i % 2 == 0);
  EXPECT_EQ(layer.Wartend(), Plattform::EingabeSchicht::kHoechstWartend);

  Plattform::EingabeAttrappe small;
  small.StelleEin(std::vector<uint8_t>(2000, 0));
  small.Taste(1, GLFW_KEY_A, true);
  alignas(16) uint8_t buffer[WinInput::kBufferBytes];
  uint32_t size = sizeof buffer;
  EXPECT_EQ(small.HoleRohPuffer(buffer, size, Plattform::RohKopfBytes), -1);
  EXPECT_EQ(small.HoleRohPuffer(buffer, size, Plattform::RohKopfBytes), 1);
}

// Under WOW64 the header is longer and every field sits further back: read at the native
// offsets, the key and the button would come out as garbage.
TEST_F(InputTest, Wow64RecordsAreReadLikeNativeOnes) {
  layer.mWow64 = true;
  Start();
  layer.Taste(kKeyboard, GLFW_KEY_A, true);
  Frame();
  EXPECT_THAT(handler.Take(), ElementsAre("key 30 down", "digital 30 down"));
  layer.Knopf(kMouse, 1, true);
  Frame();
  EXPECT_THAT(handler.Take(), ElementsAre("button 1:1 down", "digital 1 down"));
}

TEST_F(InputTest, RecordsWithWrongSizesAreNotRead) {
  Start();
  for (uint32_t lie : {0u, 30u, 5000u}) {
    auto record = Plattform::BaueTastaturSatz(kKeyboard, 0x1E, 0, 'A', 0, false);
    std::memcpy(&record[4], &lie, 4);
    layer.StelleEin(record);
    Frame();
  }
  EXPECT_TRUE(handler.Take().empty());
  layer.Taste(kKeyboard, GLFW_KEY_A, true);
  Frame();
  EXPECT_THAT(handler.Take(), ElementsAre("key 30 down", "digital 30 down"));
}

// The main loop updates the input system, then polls the window system: what that poll queues
// reaches the handler and the frame's pressed and released tests in the same frame.
TEST_F(InputTest, EventsOfTheFramesPollActInThatFrame) {
  layer.mGeraete = {{kKeyboard, Plattform::RohTypTastatur, "Tastatur"},
                    {kMouse, Plattform::RohTypMaus, "Maus"}};
  Start();
  layer.Taste(kKeyboard, GLFW_KEY_A, true);  // activates the keyboard
  layer.Knopf(kMouse, 1, true);              // and the mouse
  Frame();
  handler.Take();

  Frame();                                    // 1. input update
  layer.Taste(kKeyboard, GLFW_KEY_F1, true);  // 2. the event poll dispatches
  layer.Knopf(kMouse, 0, true);
  System()->ProcessQueuedEvents();
  EXPECT_THAT(handler.Take(), ElementsAre("key 59 down", "digital 59 down", "button 1:0 down",
                                          "digital 0 down"));
  EXPECT_TRUE(Keyboard()->WasKeyPressed(59));
  EXPECT_TRUE(Mouse()->WasButtonPressed(0));

  Frame();
  EXPECT_FALSE(Keyboard()->WasKeyPressed(59));
  layer.Knopf(kMouse, 0, false);
  System()->ProcessQueuedEvents();
  EXPECT_TRUE(Mouse()->WasButtonReleased(0));
}
