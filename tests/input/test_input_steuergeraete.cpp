// Game controllers: opening, the pad layout, buffered data, focus loss and bounded re-acquire.
#include "input_testhilfe.h"
#include "input/winjoystick.h"

using ::testing::ElementsAre;
using Steuer = Plattform::EingabeAttrappe::Steuer;

class ControllerTest : public InputTest {
 protected:
  static constexpr uint32_t kProductKey = 0x028E045E;  // product 0x028E, vendor 0x045E

  Steuer Controller(uint8_t tag, uint32_t buttons, uint32_t axes, uint32_t product = 0) {
    Steuer s;
    s.Instanz = MakeGuid(tag);
    s.Produkt = MakeGuid(tag, product);
    s.Knoepfe = buttons;
    s.Achsen = axes;
    return s;
  }
  WinJoystick* Joystick(size_t n) {
    size_t seen = 0;
    for (auto* d : System()->mDevices)
      if (auto* j = dynamic_cast<WinJoystick*>(d))
        if (seen++ == n) return j;
    return nullptr;
  }
  static Plattform::SteuerDatensatz Button(uint32_t n, bool down) {
    return {Plattform::SteuerVersatzKnopf + n, down ? 0x80u : 0u, 0, 0, 0};
  }
  static Plattform::SteuerDatensatz Axis(uint32_t n, int32_t value) {
    return {Plattform::SteuerVersatzAchse(n), static_cast<uint32_t>(value), 0, 0,
            (uint64_t(WinJoystick::kAppDataTag) << 16) + n};
  }
};

TEST_F(ControllerTest, ControllersThatFailToOpenAreLeftOut) {
  const std::vector<bool Steuer::*> switches = {&Steuer::FehlerOeffnen,   &Steuer::FehlerFormat,
                                                &Steuer::FehlerKooperation, &Steuer::FehlerPuffer,
                                                &Steuer::FehlerFaehigkeiten, &Steuer::FehlerBereich};
  uint8_t tag = 1;
  for (auto sw : switches) {
    Steuer broken = Controller(tag++, 4, 2);
    broken.*sw = true;
    layer.mSteuer.push_back(broken);
  }
  layer.mSteuer.push_back(Controller(9, 4, 2));
  ASSERT_TRUE(Create());
  ASSERT_EQ(System()->mJoystickCount, 1u);
  EXPECT_EQ(layer.mOffeneSteuergeraete, 1);
  EXPECT_EQ(Joystick(0)->mInstance, MakeGuid(9));
  EXPECT_EQ(Joystick(0)->mId, 0u);
  EXPECT_EQ(System()->mPrimaryJoystick, Joystick(0));
  EXPECT_EQ(System()->mPrimaryKeyboard->mId, 1u);
}

TEST_F(ControllerTest, CountsAreCappedToTheStoredState) {
  layer.mSteuer = {Controller(1, 200, 40)};
  ASSERT_TRUE(Create());
  EXPECT_EQ(Joystick(0)->GetButtonCount(), 64u);
  EXPECT_EQ(Joystick(0)->GetAxisCount(), 16u);
  // Every axis is numbered and given the full range.
  EXPECT_EQ(layer.mSteuer[0].AnwendungsDaten.size(), 40u);
  EXPECT_EQ(layer.mSteuer[0].AnwendungsDaten[3], 0x13130003u);
}

TEST_F(ControllerTest, BufferedDataSetsButtonsAndAxes) {
  layer.mSteuer = {Controller(1, 70, 20)};
  Start();
  auto& data = layer.mSteuer[0].Daten;
  data = {Button(3, true), Axis(1, 32767), Axis(15, -32768),
          Button(64, true),                                        // beyond the stored buttons
          {Plattform::SteuerVersatzHut, 9000, 0, 0, 0},            // hats are not read
          {Plattform::SteuerVersatzAchse(2), 5, 0, 0, 0x77770002}};  // not one of ours
  Frame();
  EXPECT_THAT(handler.Take(), ElementsAre("jaxis 1 1", "analog 1 1", "jaxis 15 -1", "analog 15 -1",
                                          "jbutton 3 down", "digital 3 down"));
  auto* j = Joystick(0);
  EXPECT_TRUE(j->WasButtonPressed(3));
  EXPECT_FALSE(j->IsButtonDown(64));
  EXPECT_FLOAT_EQ(j->GetAxisDifference(1), 1.0f);
  EXPECT_FLOAT_EQ(j->GetAxisAbsolute(2), 0.0f);
  EXPECT_FLOAT_EQ(j->GetAxisAbsolute(40), 0.0f);

  data = {Button(3, false), Axis(1, 16384)};
  Frame();
  EXPECT_TRUE(j->WasButtonReleased(3));
  EXPECT_NEAR(j->GetAxisAbsolute(1), 0.5f, 1e-4);
}

TEST_F(ControllerTest, ReacquireIsBoundedAndAFailedReadClearsTheState) {
  layer.mSteuer = {Controller(1, 4, 2)};
  Start();
  auto& c = layer.mSteuer[0];
  c.Daten = {Button(0, true), Axis(0, 32767)};
  Frame();
  handler.Take();

  c.AbfrageErgebnis = c.ErwerbErgebnis = c.DatenErgebnis = Plattform::DiEingabeVerloren;
  Frame();
  EXPECT_EQ(c.Erwerbungen, WinJoystick::kMaxAcquire);
  auto* j = Joystick(0);
  EXPECT_FALSE(j->IsButtonDown(0));
  EXPECT_FALSE(j->WasButtonReleased(0));  // the state is cleared, not released
  EXPECT_FLOAT_EQ(j->GetAxisAbsolute(0), 0.0f);

  // A device that comes back after one acquire is read again in the same frame.
  c.AbfrageErgebnis = c.ErwerbErgebnis = c.DatenErgebnis = Plattform::DiOk;
  c.Daten = {Button(1, true)};
  Frame();
  EXPECT_TRUE(j->IsButtonDown(1));
  c.AbfrageErgebnis = Plattform::DiKeineWirkung;  // not exactly success: acquire, then read
  c.Erwerbungen = 0;
  c.Daten = {Button(2, true)};
  Frame();
  EXPECT_EQ(c.Erwerbungen, 1);
  EXPECT_TRUE(j->IsButtonDown(2));
}

TEST_F(ControllerTest, PadsFoundByThePlugAndPlayScanUseThePadLayoutInFourSlotsAtMost) {
  layer.mSteuer = {Controller(1, 32, 5, 0x12345678)};
  layer.mPnp = {"USB\\VID_045E&PID_028E\\1"};  // no IG_: not a pad
  for (uint8_t i = 0; i < 5; ++i) {
    layer.mSteuer.push_back(Controller(i + 2, 10, 4, kProductKey));
    layer.mPnp.push_back("HID\\VID_045E&PID_028E&IG_0" + std::to_string(i));
  }
  ASSERT_TRUE(Create());
  EXPECT_EQ(Joystick(0)->mXInputIndex, WinJoystick::kNoPad);
  EXPECT_EQ(Joystick(0)->GetButtonCount(), 32u);
  for (size_t i = 0; i < 5; ++i)
    EXPECT_EQ(Joystick(i + 1)->mXInputIndex, i < 4 ? i : WinJoystick::kNoPad) << i;
  EXPECT_EQ(Joystick(1)->GetButtonCount(), 13u);
  EXPECT_EQ(Joystick(1)->GetAxisCount(), 8u);
}

TEST_F(ControllerTest, PadStateIsDecodedIntoButtonsAndClampedAxes) {
  layer.mSteuer = {Controller(1, 10, 4, kProductKey)};
  layer.mPnp = {"HID\\VID_045E&PID_028E&IG_00"};
  Plattform::GamepadZustand pad;
  pad.Knoepfe = Plattform::PadA | Plattform::PadY | Plattform::PadStart |
                Plattform::PadRechterStick | Plattform::PadLinks | Plattform::PadRechts |
                Plattform::PadHoch;
  pad.LinksY = 32767;   // fully up
  pad.RechtsY = -32768; // fully down: clamped to 1
  pad.LinksX = -32768;
  pad.LinkerAbzug = 255;
  pad.RechterAbzug = 51;
  layer.mPads[0] = pad;
  ASSERT_TRUE(Create());
  System()->SetHandler(&handler);
  Frame();
  // The first frame takes the state without raising anything.
  EXPECT_TRUE(handler.Take().empty());
  auto* j = Joystick(0);
  const float expected[8] = {-1.0f, -1.0f, 1.0f, 0.0f, 1.0f, 0.2f, 0.0f, -1.0f};
  for (uint32_t a = 0; a < 8; ++a) EXPECT_FLOAT_EQ(j->GetAxisAbsolute(a), expected[a]) << a;
  for (uint32_t b = 0; b < 13; ++b)
    EXPECT_EQ(j->IsButtonDown(b), b == 0 || b == 3 || b == 6 || b == 10) << b;

  // An unplugged pad reads as centred with nothing pressed.
  layer.mPads.clear();
  Frame();
  for (uint32_t a = 0; a < 8; ++a) EXPECT_FLOAT_EQ(j->GetAxisAbsolute(a), 0.0f) << a;
  EXPECT_TRUE(j->WasButtonReleased(0));
  EXPECT_EQ(handler.Take().size(), 2u * (6 + 4));  // six axes moved, four buttons let go
}

TEST_F(ControllerTest, FocusLossReleasesEverythingAndStopsReading) {
  layer.mSteuer = {Controller(1, 10, 4, kProductKey)};
  layer.mPnp = {"HID\\VID_045E&PID_028E&IG_00"};
  ASSERT_TRUE(Create());
  System()->SetHandler(&handler);
  Frame();
  Plattform::GamepadZustand pad;
  pad.Knoepfe = Plattform::PadB;
  pad.RechterAbzug = 255;
  layer.mPads[0] = pad;
  Frame();
  EXPECT_THAT(handler.Take(), ElementsAre("jaxis 5 1", "analog 5 1", "jbutton 1 down", "digital 1 down"));

  System()->SetFocus(false);
  EXPECT_THAT(handler.Take(), ElementsAre("jaxis 5 0", "analog 5 0", "jbutton 1 up", "digital 1 up"));
  auto* j = Joystick(0);
  EXPECT_FLOAT_EQ(j->GetAxisDifference(5), -1.0f);
  EXPECT_TRUE(j->WasButtonReleased(1));
  Frame();
  EXPECT_TRUE(handler.Take().empty());
  EXPECT_FALSE(j->IsButtonDown(1));
}
