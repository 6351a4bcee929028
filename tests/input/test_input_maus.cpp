// Mice: the primary swap, single-device mode, the cursor, the wheel and focus changes.
#include <GLFW/glfw3.h>

#include "input_testhilfe.h"

using ::testing::ElementsAre;

class MiceTest : public InputTest {
 protected:
  void SetUp() override {
    InputTest::SetUp();
    layer.mGeraete = {{1, Plattform::RohTypTastatur, "kbd"},
                      {20, Plattform::RohTypMaus, "idle"},
                      {21, Plattform::RohTypMaus, "used"}};
  }
};

TEST_F(MiceTest, FirstUsedMouseTakesThePrimaryPlaceOnce) {
  Start();
  auto* s = System();
  ORVIS::Mouse* idle = s->GetMouse(0);
  ORVIS::Mouse* used = s->GetMouse(1);
  ASSERT_EQ(used->mId, 2u);
  layer.Knopf(21, 0, true);
  Frame();
  EXPECT_EQ(log.back(), "Swap mice due to activity: 2,1 and 1,0");
  EXPECT_EQ(s->mPrimaryMouse, used);
  EXPECT_EQ(s->GetMouse(0), used);
  EXPECT_EQ(used->mId, 1u);
  EXPECT_EQ(idle->mId, 2u);
  EXPECT_EQ(s->mDevices[1], used);
  EXPECT_TRUE(used->IsButtonDown(0));

  // Later input from either mouse never swaps again.
  const size_t lines = log.size();
  layer.Knopf(20, 0, false);
  layer.Knopf(21, 1, true);
  Frame();
  EXPECT_EQ(log.size(), lines);
  EXPECT_EQ(s->mPrimaryMouse, used);
}

TEST_F(MiceTest, InSingleDeviceModeEveryMouseActsAsThePrimary) {
  Start();
  auto* s = System();
  ORVIS::Mouse* primary = s->GetMouse(0);
  layer.Knopf(20, 0, true);  // the primary has been used first
  Frame();
  handler.Take();
  layer.Knopf(21, 0, true);  // the second mouse: the button is already down
  layer.Knopf(21, 1, true);
  Frame();
  EXPECT_THAT(handler.Take(), ElementsAre("button 1:1 down", "digital 1 down"));
  EXPECT_TRUE(primary->IsButtonDown(1));
  EXPECT_FALSE(s->GetMouse(1)->IsButtonDown(1));
}

TEST_F(MiceTest, WheelNotchIsReportedAndComesToRestNextFrame) {
  Start();
  layer.Rad(20, 120);
  Frame();
  EXPECT_THAT(handler.Take(), ElementsAre("wheel 120", "analog 2 120"));
  EXPECT_FLOAT_EQ(Mouse()->GetAxisAbsolute(2), 120.0f);
  Frame();
  EXPECT_THAT(handler.Take(), ElementsAre("wheel 0", "analog 2 0"));
  EXPECT_FLOAT_EQ(Mouse()->GetAxisAbsolute(2), 0.0f);
  EXPECT_FLOAT_EQ(Mouse()->GetAxisDifference(2), -120.0f);
  Frame();
  EXPECT_TRUE(handler.Take().empty());
}

TEST_F(MiceTest, CursorOutsideTheWindowLeavesThePositionAlone) {
  Start();
  struct Case {
    double x, y;
    float expectX, expectY;
  };
  const Case cases[] = {
      {10, 20, 10, 20}, {-1, 50, 10, 20}, {30, -0.5, 10, 20},
      {20000, 5, 10, 20}, {5, 20000, 10, 20}, {19999, 7, 19999, 7},
  };
  for (const auto& c : cases) {
    layer.mCursorX = c.x;
    layer.mCursorY = c.y;
    Frame();
    EXPECT_FLOAT_EQ(Mouse()->GetMouseX(), c.expectX) << c.x << "," << c.y;
    EXPECT_FLOAT_EQ(Mouse()->GetMouseY(), c.expectY) << c.x << "," << c.y;
  }
  // Without focus the cursor is not followed.
  System()->SetFocus(false);
  layer.mCursorX = 100;
  Frame();
  EXPECT_FLOAT_EQ(Mouse()->GetMouseX(), 19999.0f);
}

TEST_F(MiceTest, FocusLossReleasesButtonsAndFocusGainTakesTheCursor) {
  Start();
  layer.Knopf(20, 0, true);
  layer.Knopf(20, 4, true);
  Frame();
  handler.Take();
  System()->SetFocus(false);
  EXPECT_THAT(handler.Take(), ElementsAre("button 1:0 up", "digital 0 up", "button 1:4 up", "digital 4 up"));
  EXPECT_TRUE(Mouse()->WasButtonReleased(0));
  EXPECT_TRUE(Mouse()->WasButtonReleased(4));

  layer.mCursorX = 40;
  layer.mCursorY = 30;
  System()->SetFocus(true);
  // Both mice take the cursor; only they moved.
  EXPECT_THAT(handler.Take(), ElementsAre("move 40 30", "analog 0 40", "analog 1 30", "move 40 30",
                                          "analog 0 40", "analog 1 30"));
  EXPECT_FLOAT_EQ(Mouse()->GetRelMouseX(), 40.0f);
}

TEST_F(MiceTest, MultiDeviceMiceReportForThemselvesAndMoveByTheirOwnRecords) {
  Start();
  System()->mMultiDevice = 1;
  layer.Knopf(20, 0, true);  // the primary is used first: no swap
  layer.Knopf(21, 2, true);
  Frame();
  EXPECT_THAT(handler.Take(),
              ElementsAre("button 1:0 down", "digital 0 down", "button 2:2 down", "digital 2 down"));
  layer.Bewegung(20, false, 5, -3);
  layer.Bewegung(20, false, 1, 1);
  layer.Bewegung(21, true, 100, 50);
  layer.mCursorX = 300;  // not followed in this mode
  Frame();
  EXPECT_FLOAT_EQ(System()->GetMouse(0)->GetRelMouseX(), 6.0f);
  EXPECT_THAT(handler.Take(), ElementsAre("move 6 -2", "analog 0 6", "analog 1 -2", "move 100 50",
                                          "analog 0 100", "analog 1 50"));
  // An absolute record at the same place is no motion.
  layer.Bewegung(21, true, 100, 50);
  Frame();
  EXPECT_TRUE(handler.Take().empty());
}
