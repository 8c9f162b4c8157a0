#include <cstdint>
#include <cstdio>
#include <string>

#include "app/input_logic.h"
#include "gtest/gtest.h"

TEST(InputLogic, ButtonBits) {
  EXPECT_EQ(ButtonBit(0), 4);
  EXPECT_EQ(ButtonBit(1), 2);
  EXPECT_EQ(ButtonBit(2), 1);
  EXPECT_EQ(ButtonBit(3), 0);  // wheel up
  EXPECT_EQ(ButtonBit(4), 0);  // wheel down
  EXPECT_EQ(ButtonBit(-1), 0);
}

TEST(InputLogic, LastNameOfLastRecordWins) {
  // Records: name count, zmin, zmax, names.
  const uint32_t buffer[] = {1, 10, 20, 2, 1, 5, 6, 3, 2, 7, 8, 4, 6};
  EXPECT_EQ(ReadPickHits(buffer, 13, 0, false), -1);
  EXPECT_EQ(ReadPickHits(buffer, 13, 1, false), 2);
  EXPECT_EQ(ReadPickHits(buffer, 13, 2, false), 3);
  EXPECT_EQ(ReadPickHits(buffer, 13, 3, false), 6);
  // An overflowed buffer reports a negative count and gives no point.
  EXPECT_EQ(ReadPickHits(buffer, 13, -1, false), -1);
}

TEST(InputLogic, HitRecordsAreNeverReadPastTheBuffer) {
  // A record claiming more names than the buffer holds stops at its end.
  const uint32_t buffer[] = {1, 0, 0, 5, 1000, 0, 0, 1};
  EXPECT_EQ(ReadPickHits(buffer, 8, 2, false), 1);
  EXPECT_EQ(ReadPickHits(buffer, 4, 64, false), 5);
  // Names that are no control point are ignored.
  const uint32_t stray[] = {1, 0, 0, 0xFFFFFFFFu};
  EXPECT_EQ(ReadPickHits(stray, 4, 1, false), -1);
}

TEST(InputLogic, DebugTracesEveryRecord) {
  const uint32_t buffer[] = {1, 4294967295u, 12, 3, 1, 0, 0, 4};
  testing::internal::CaptureStderr();
  EXPECT_EQ(ReadPickHits(buffer, 8, 2, true), 4);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Hit #  0 found  1 items on the name stack\n"
            "\tZmin = 4294967295, Zmax =       12\n"
            "Hit #  1 found  1 items on the name stack\n"
            "\tZmin =        0, Zmax =        0\n");
}

TEST(InputLogic, DragValueInA500PixelWindow) {
  // (500 - y - 150) / 300, clamped to [-1, 1].
  EXPECT_EQ(DragValue(500, 50), 1.0f);    // top of the graph
  EXPECT_EQ(DragValue(500, 200), 0.5f);   // midpoint line
  EXPECT_EQ(DragValue(500, 350), 0.0f);   // noise axis
  EXPECT_EQ(DragValue(500, 0), 1.0f);     // 1.1667 at the top edge, clamped
  EXPECT_EQ(DragValue(500, 500), -0.5f);  // bottom edge
  EXPECT_EQ(DragValue(500, 650), -1.0f);  // 150 pixels below the window
  EXPECT_EQ(DragValue(500, 900), -1.0f);
  EXPECT_EQ(DragValue(500, 123), static_cast<float>((500 - 123 - 150) / 300.0));
}

TEST(InputLogic, DragValueFollowsTheRealWindowHeight) {
  // In a window twice as tall the graph is twice as tall: the same places
  // in the drawing give the same values.
  EXPECT_EQ(DragValue(1000, 100), 1.0f);
  EXPECT_EQ(DragValue(1000, 400), 0.5f);
  EXPECT_EQ(DragValue(1000, 700), 0.0f);
  EXPECT_EQ(DragValue(250, 100), 0.5f);
  EXPECT_EQ(DragValue(250, 175), 0.0f);
  // A window of no height still gives a value in range.
  EXPECT_EQ(DragValue(0, 200), 0.5f);
}
