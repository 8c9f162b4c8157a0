#include <cstdio>
#include <string>

#include "app/input_logic.h"
#include "app/app_state.h"
#include "noise_fixture.h"
#include "render/graph_display.h"
#include "gtest/gtest.h"

TEST(InputLogic, ButtonBits) {
  EXPECT_EQ(ButtonBit(0), 4);
  EXPECT_EQ(ButtonBit(1), 2);
  EXPECT_EQ(ButtonBit(2), 1);
  EXPECT_EQ(ButtonBit(3), 0);  // wheel up
  EXPECT_EQ(ButtonBit(4), 0);  // wheel down
  EXPECT_EQ(ButtonBit(-1), 0);
}

TEST(InputLogic, TheLastHitBecomesCurrentAndTheTraceReadsAsSelectionRecords) {
  EXPECT_EQ(CurrentFromHits(PickHits{0, {}}, false), -1);
  EXPECT_EQ(CurrentFromHits(PickHits{1, {2}}, false), 2);
  EXPECT_EQ(CurrentFromHits(PickHits{3, {2, 3, 6}}, false), 6);

  testing::internal::CaptureStderr();
  EXPECT_EQ(CurrentFromHits(PickHits{2, {0, 1}}, true), 1);
  EXPECT_EQ(CurrentFromHits(PickHits{0, {}}, true), -1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "# pick hits = 2\n"
            "Hit #  0 found  1 items on the name stack\n"
            "\tZmin = 2147483648, Zmax = 2147483648\n"
            "Hit #  1 found  1 items on the name stack\n"
            "\tZmin = 2147483648, Zmax = 2147483648\n"
            "# pick hits = 0\n");
}

TEST(InputLogic, DragValueInAWindowOfTheDrawingsOwnHeight) {
  // (h - y - bottom margin) / graph height, clamped to [-1, 1].
  constexpr int h = kGraphUnitsHigh, axis = h - kBottomMargin;
  EXPECT_EQ(DragValue(h, kTopMargin), 1.0f);                     // top of the graph
  EXPECT_EQ(DragValue(h, kTopMargin + kGraphHeight / 2), 0.5f);  // midpoint line
  EXPECT_EQ(DragValue(h, axis), 0.0f);                           // noise axis
  EXPECT_EQ(DragValue(h, 0), 1.0f);                              // above 1 at the top edge, clamped
  EXPECT_EQ(DragValue(h, h), static_cast<float>(-static_cast<double>(kBottomMargin) / kGraphHeight));
  EXPECT_EQ(DragValue(h, axis + kGraphHeight), -1.0f);  // a graph's height below the axis
  EXPECT_EQ(DragValue(h, 2 * h), -1.0f);
  EXPECT_EQ(DragValue(h, 123), static_cast<float>((h - 123 - kBottomMargin) / static_cast<double>(kGraphHeight)));
}

TEST(InputLogic, DragValueFollowsTheRealWindowHeight) {
  // In a window twice as tall the graph is twice as tall: the same places
  // in the drawing give the same values.
  constexpr int h = kGraphUnitsHigh;
  EXPECT_EQ(DragValue(2 * h, 2 * kTopMargin), 1.0f);
  EXPECT_EQ(DragValue(2 * h, 2 * kTopMargin + kGraphHeight), 0.5f);
  EXPECT_EQ(DragValue(2 * h, 2 * (h - kBottomMargin)), 0.0f);
  EXPECT_EQ(DragValue(h / 2, (kTopMargin + kGraphHeight / 2) / 2), 0.5f);
  EXPECT_EQ(DragValue(h / 2, (h - kBottomMargin) / 2), 0.0f);
  // A window of no height still gives a value in range.
  EXPECT_EQ(DragValue(0, kTopMargin + kGraphHeight / 2), 0.5f);
}

// The computed pick reports what a selection pass under a 10 by 10 pick
// matrix reports: a dot whose centre lies in the box, edges included, one
// record per dot in drawing order, so the last (highest) index wins a tie.
TEST_F(NoiseTest, PickPointsFindsTheDotsWhoseCentreIsInTheBox) {
  GraphView view{};
  view.noise.noiseType = kGradientOnly;  // every dot on the midpoint line, y = 300 units
  view.currentPoint = -1;
  view.xAxis = {8, 0.0f, 1.0f};
  view.noiseAxis = {5, 0.0f, 0.25f};
  auto pick = [&](int x, int y, int width, int height) {
    return CurrentFromHits(PickPoints(view, x, y, width, height), false);
  };
  // Dot 3 at 50 + 3 * 600 / 7 = 307.14 units across, 200 pixels from the top.
  EXPECT_EQ(pick(307, 200, 700, 500), 3);
  EXPECT_EQ(pick(312, 205, 700, 500), 3);   // 4.86 and 5 pixels off: on the edge
  EXPECT_EQ(pick(302, 195, 700, 500), -1);  // 5.14 across: out
  EXPECT_EQ(pick(313, 200, 700, 500), -1);  // 5.86 across: out
  EXPECT_EQ(pick(307, 206, 700, 500), -1);  // 6 down: out
  EXPECT_EQ(pick(600, 30, 700, 500), -1);   // empty space
  // Stretched: a 1400 by 250 window puts dot 3 at (614.3, 100).
  EXPECT_EQ(pick(614, 100, 1400, 250), 3);
  EXPECT_EQ(pick(307, 200, 1400, 250), -1);

  // A window 60 pixels wide puts the dots 7.3 pixels apart (dot 0 at 4.3,
  // dot 1 at 11.6): the box around x = 8 holds both.
  const PickHits both = PickPoints(view, 8, 200, 60, 500);
  ASSERT_EQ(both.count, 2);
  EXPECT_EQ(both.index[0], 0);
  EXPECT_EQ(both.index[1], 1);
  EXPECT_EQ(pick(8, 200, 60, 500), 1);

  // Under value noise a dot sits at its value: dragged to 1.0, dot 5 is at
  // the graph's top, 50 pixels from the window's top.
  view.noise.noiseType = kValueOnly;
  ControlValue(5) = 1.0f;
  EXPECT_EQ(pick(479, 50, 700, 500), 5);
  EXPECT_EQ(pick(0, 0, 0, 0), -1);  // a window of no size has no dots
}
