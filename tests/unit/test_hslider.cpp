// The horizontal slider, driven through the toolkit's event entry points as
// GLUT would drive it, on a fake platform with a clock the test sets.
#include "toolkit_fixture.h"
#include "ui/hslider.h"

namespace {

class HSliderTest : public ToolkitTest {
 protected:
  float live = 0.0f;
  GLUI_HSlider* slider = nullptr;

  // Like the panel's "Set Gradient" slider: 200 wide, -bound to bound, at 0.
  GLUI_HSlider* MakeSlider(float bound, float* variable, int id = 0) {
    GLUI_Panel* frame = glui->add_panel("Set Gradient");
    GLUI_HSlider* s = glui->add_hslider_to_panel(frame, 0, GLUI_HSLIDER_FLOAT, variable, id, Record);
    s->set_float_limits(-bound, bound);
    s->set_float_val(0.0f);
    s->set_w(200);
    return s;
  }

  void SetUp() override {
    ToolkitTest::SetUp();
    slider = MakeSlider(1.0f, &live);
    WatchedFloat() = &live;
  }

  // Pointer events at local slider coordinates.
  void Press(int local_x, int local_y = 8) {
    glui->mouse(GLUI_GLUT_LEFT_BUTTON, GLUI_GLUT_DOWN, slider->x_abs + local_x,
                slider->y_abs + local_y);
  }
  void MoveTo(int local_x, int local_y = 8) {
    glui->motion(slider->x_abs + local_x, slider->y_abs + local_y);
  }
  void Release() {
    glui->mouse(GLUI_GLUT_LEFT_BUTTON, GLUI_GLUT_UP, slider->x_abs, slider->y_abs);
  }
  void ClickLocal(int local_x) {
    Press(local_x);
    Release();
  }
  void IdleAt(uint32_t now) {
    platform.now = now;
    GLUI_Master.idle();
  }
};

constexpr int kLeftArrowX = 8;
constexpr int kRightArrowX = 191;

TEST_F(HSliderTest, CreationTakesTheLiveVariableWithoutCallingBack) {
  float preset = 0.25f;
  GLUI_HSlider* other = glui->add_hslider_to_panel(nullptr, 0, GLUI_HSLIDER_FLOAT, &preset, 3, Record);
  EXPECT_EQ(other->get_float_val(), 0.25f);
  EXPECT_EQ(other->type, 18);
  EXPECT_EQ(other->w, 130);
  EXPECT_EQ(other->h, 16);
  EXPECT_EQ(other->name.rfind("HSlider: ", 0), 0u);
  EXPECT_EQ(other->live_type, GLUI_LIVE_FLOAT);
  int whole = 40;
  GLUI_HSlider* counting = glui->add_hslider_to_panel(nullptr, 0, 1, &whole, 4, Record);
  EXPECT_EQ(counting->live_type, GLUI_LIVE_INT);
  EXPECT_EQ(counting->get_float_val(), 40.0f);
  EXPECT_TRUE(Calls().empty());
}

TEST_F(HSliderTest, ThumbSitsWhereTheValueIs) {
  EXPECT_EQ(slider->thumb_left(), 98);
  EXPECT_EQ(slider->thumb_right(), 104);
  slider->set_float_val(-1.0f);
  EXPECT_EQ(slider->thumb_left(), 16);
  EXPECT_EQ(slider->thumb_right(), 22);
  slider->set_float_val(1.0f);
  EXPECT_EQ(slider->thumb_left(), 180);
  EXPECT_EQ(slider->thumb_right(), 186);
}

TEST_F(HSliderTest, HitTestFindsArrowsThumbEndsAndTrackInOrder) {
  using S = GLUI_HSlider;
  EXPECT_EQ(slider->hit_test(100, -1), S::kNone);
  EXPECT_EQ(slider->hit_test(100, 16), S::kNone);
  EXPECT_EQ(slider->hit_test(-1, 8), S::kNone);
  EXPECT_EQ(slider->hit_test(200, 8), S::kNone);
  EXPECT_EQ(slider->hit_test(0, 0), S::kLeftArrow);
  EXPECT_EQ(slider->hit_test(15, 15), S::kLeftArrow);
  EXPECT_EQ(slider->hit_test(184, 8), S::kRightArrow);
  EXPECT_EQ(slider->hit_test(199, 8), S::kRightArrow);
  // Thumb at L = 98, R = 104.
  EXPECT_EQ(slider->hit_test(100, 8), S::kThumb);
  EXPECT_EQ(slider->hit_test(102, 8), S::kThumb);
  EXPECT_EQ(slider->hit_test(97, 8), S::kLeftEnd);
  EXPECT_EQ(slider->hit_test(99, 8), S::kLeftEnd);
  EXPECT_EQ(slider->hit_test(103, 8), S::kRightEnd);
  EXPECT_EQ(slider->hit_test(105, 8), S::kRightEnd);
  EXPECT_EQ(slider->hit_test(106, 8), S::kTrackRight);
  EXPECT_EQ(slider->hit_test(96, 8), S::kTrackLeft);
  EXPECT_EQ(slider->hit_test(16, 8), S::kTrackLeft);
}

TEST_F(HSliderTest, ArrowPressStepsAThousandthOfTheRangeThenCallsBack) {
  ClickLocal(kRightArrowX);
  EXPECT_FLOAT_EQ(live, 0.002f);
  EXPECT_FLOAT_EQ(slider->get_float_val(), 0.002f);
  ASSERT_EQ(Calls().size(), 1u);
  EXPECT_EQ(Calls()[0].id, 0);
  EXPECT_EQ(Calls()[0].current_window, kGraphWindow);  // the main graphics window
  EXPECT_FLOAT_EQ(Calls()[0].live, 0.002f);            // written before the call
  EXPECT_EQ(platform.current, kPanelWindowCurrent);    // and restored after it
  EXPECT_GE(platform.RedisplaysOf(kGraphWindow), 1);

  ClickLocal(kLeftArrowX);
  ClickLocal(kLeftArrowX);
  EXPECT_NEAR(live, -0.002f, 1e-7f);
  EXPECT_EQ(Calls().size(), 3u);

  float curvature = 0.0f;
  GLUI_HSlider* other = MakeSlider(10.0f, &curvature, 1);
  glui->mouse(GLUI_GLUT_LEFT_BUTTON, GLUI_GLUT_DOWN, other->x_abs + kRightArrowX, other->y_abs + 4);
  glui->mouse(GLUI_GLUT_LEFT_BUTTON, GLUI_GLUT_UP, other->x_abs + kRightArrowX, other->y_abs + 4);
  EXPECT_FLOAT_EQ(curvature, 0.02f);
  EXPECT_EQ(Calls().back().id, 1);
}

TEST_F(HSliderTest, StepAtALimitChangesNothingAndCallsNoOne) {
  slider->set_float_val(-1.0f);
  live = -1.0f;
  platform.redisplays.clear();
  ClickLocal(kLeftArrowX);
  EXPECT_EQ(live, -1.0f);
  EXPECT_EQ(slider->get_float_val(), -1.0f);
  EXPECT_TRUE(Calls().empty());
  EXPECT_EQ(platform.RedisplaysOf(kGraphWindow), 0);

  slider->set_float_val(1.0f);
  live = 1.0f;
  ClickLocal(kRightArrowX);
  EXPECT_EQ(live, 1.0f);
  EXPECT_TRUE(Calls().empty());
}

TEST_F(HSliderTest, ThumbDragFollowsThePointerRelatively) {
  Press(101);  // on the thumb: grabbing it changes nothing
  EXPECT_TRUE(Calls().empty());
  MoveTo(102);
  EXPECT_FLOAT_EQ(live, 2.0f / 164.0f);
  EXPECT_EQ(Calls().size(), 1u);
  MoveTo(400);  // far past the track's end: stops at the limit
  EXPECT_EQ(live, 1.0f);
  MoveTo(390);  // movement past the limit was lost: the thumb comes back at once
  EXPECT_NEAR(live, 1.0f - 10 * 2.0f / 164.0f, 1e-6f);
  Release();
  EXPECT_EQ(slider->state, GLUI_HSlider::kNone);

  // Either edge of the small single thumb grabs it too.
  slider->set_float_val(0.0f);
  Press(97);
  MoveTo(98);
  EXPECT_FLOAT_EQ(live, 2.0f / 164.0f);
  Release();

  float curvature = 0.0f;
  GLUI_HSlider* other = MakeSlider(10.0f, &curvature, 1);
  glui->mouse(GLUI_GLUT_LEFT_BUTTON, GLUI_GLUT_DOWN, other->x_abs + 101, other->y_abs + 8);
  glui->motion(other->x_abs + 102, other->y_abs + 8);
  EXPECT_FLOAT_EQ(curvature, 20.0f / 164.0f);
}

TEST_F(HSliderTest, TrackPressPagesByTheSameAmountBothWays) {
  ClickLocal(150);
  const float up = live;
  EXPECT_NEAR(up, -1.0f + 2.0f * 88.0f / 164.0f, 1e-6f);  // about 0.0731707
  slider->set_float_val(0.0f);
  ClickLocal(50);
  EXPECT_NEAR(live, -up, 1e-6f);
  EXPECT_EQ(Calls().size(), 2u);
}

TEST_F(HSliderTest, HeldArrowRepeatsFromIdleEvery50Ms) {
  EXPECT_FALSE(platform.idle_installed);  // an untouched panel costs no idle time
  platform.now = 1000;
  Press(kRightArrowX);
  EXPECT_FLOAT_EQ(live, 0.002f);
  EXPECT_TRUE(slider->needs_idle());
  EXPECT_TRUE(platform.idle_installed);
  IdleAt(1050);  // not more than 50 ms yet
  EXPECT_FLOAT_EQ(live, 0.002f);
  IdleAt(1051);
  EXPECT_FLOAT_EQ(live, 0.004f);
  IdleAt(1080);
  IdleAt(1102);
  EXPECT_FLOAT_EQ(live, 0.006f);
  EXPECT_EQ(Calls().size(), 3u);
  Release();
  EXPECT_FALSE(slider->needs_idle());
  EXPECT_FALSE(platform.idle_installed);
  IdleAt(2000);
  EXPECT_FLOAT_EQ(live, 0.006f);
}

TEST_F(HSliderTest, HeldTrackPagesUntilTheThumbReachesThePointer) {
  platform.now = 0;
  Press(130);
  for (uint32_t t = 51; t < 2000; t += 51) IdleAt(t);
  EXPECT_LE(slider->thumb_left(), 130);
  EXPECT_GE(slider->thumb_right(), 130);
  const float stopped = live;
  // Sliding the pointer along the track moves the target with it.
  MoveTo(170);
  for (uint32_t t = 2051; t < 4000; t += 51) IdleAt(t);
  EXPECT_GT(live, stopped);
  EXPECT_LE(slider->thumb_left(), 170);
  EXPECT_GE(slider->thumb_right(), 170);
  Release();
}

TEST_F(HSliderTest, SettersKeepTheValueInRangeQuietly) {
  slider->set_float_val(5.0f);
  EXPECT_EQ(slider->get_float_val(), 1.0f);
  slider->set_float_val(-3.0f);
  EXPECT_EQ(slider->get_float_val(), -1.0f);

  float other_live = 0.0f;
  GLUI_HSlider* fresh = glui->add_hslider_to_panel(nullptr, 0, GLUI_HSLIDER_FLOAT, &other_live, 2, Record);
  fresh->value = 16.0f;  // the defaults, as before limits are set
  fresh->value2 = 26.0f;
  fresh->set_float_limits(-1.0f, 1.0f);
  EXPECT_EQ(fresh->value, 1.0f);
  EXPECT_EQ(fresh->value2, 1.0f);
  EXPECT_EQ(other_live, 0.0f);
  EXPECT_EQ(live, 0.0f);
  EXPECT_TRUE(Calls().empty());
}

TEST_F(HSliderTest, SyncLiveTakesTheLiveValueUncheckedWithoutCallingBack) {
  live = 0.5f;
  glui->sync_live();
  EXPECT_EQ(slider->get_float_val(), 0.5f);
  live = 3.0f;  // beyond the limit: shown beyond the track until the next step
  glui->sync_live();
  EXPECT_EQ(slider->get_float_val(), 3.0f);
  EXPECT_GT(slider->thumb_left(), 200);
  EXPECT_TRUE(Calls().empty());
  ClickLocal(kLeftArrowX);
  EXPECT_EQ(live, 1.0f);
}

TEST_F(HSliderTest, IntLiveVariableGetsTheRoundedValue) {
  int whole = 0;
  GLUI_HSlider* counting = glui->add_hslider_to_panel(nullptr, 0, GLUI_HSLIDER_INT, &whole, 5, Record);
  counting->set_float_limits(-10.0f, 10.0f);
  counting->set_w(200);
  auto step = [&](float from, int local_x) {
    counting->set_float_val(from);
    glui->mouse(GLUI_GLUT_LEFT_BUTTON, GLUI_GLUT_DOWN, counting->x_abs + local_x, counting->y_abs + 8);
    glui->mouse(GLUI_GLUT_LEFT_BUTTON, GLUI_GLUT_UP, counting->x_abs + local_x, counting->y_abs + 8);
    return whole;
  };
  EXPECT_EQ(step(2.3f, kRightArrowX), 2);   // 2.32
  EXPECT_EQ(step(2.7f, kRightArrowX), 3);   // 2.72
  EXPECT_EQ(step(-2.3f, kLeftArrowX), -2);  // -2.32
  EXPECT_EQ(step(-2.7f, kLeftArrowX), -3);  // -2.72
}

TEST_F(HSliderTest, RangeModeEndsDragSeparatelyAndStayOrdered) {
  float pair[2] = {20.0f, 40.0f};  // default limits 0 to 94, width 130: one unit a pixel
  GLUI_HSlider* range = glui->add_hslider_to_panel(nullptr, 1, GLUI_HSLIDER_FLOAT, pair, 6, Record);
  EXPECT_EQ(range->thumb_left(), 36);
  EXPECT_EQ(range->thumb_right(), 60);
  auto press = [&](int x) {
    glui->mouse(GLUI_GLUT_LEFT_BUTTON, GLUI_GLUT_DOWN, range->x_abs + x, range->y_abs + 8);
  };
  auto move = [&](int x) { glui->motion(range->x_abs + x, range->y_abs + 8); };
  auto release = [&]() { glui->mouse(GLUI_GLUT_LEFT_BUTTON, GLUI_GLUT_UP, 0, 0); };

  press(36);
  EXPECT_EQ(range->state, GLUI_HSlider::kLeftEnd);
  EXPECT_EQ(platform.cursor, GLUI_GLUT_CURSOR_LEFT_RIGHT);
  move(46);
  EXPECT_FLOAT_EQ(pair[0], 30.0f);
  move(90);  // not past the high end
  EXPECT_EQ(pair[0], 40.0f);
  move(2);  // not below the low limit
  EXPECT_EQ(pair[0], 0.0f);
  EXPECT_EQ(pair[1], 40.0f);
  release();

  press(60);
  EXPECT_EQ(range->state, GLUI_HSlider::kRightEnd);
  move(300);
  EXPECT_EQ(pair[1], 94.0f);
  move(10);  // not below the low end
  EXPECT_EQ(pair[1], 0.0f);
  release();

  // The whole thumb keeps its width when it is pushed against a limit.
  range->set_float_val(20.0f, 40.0f);
  press(48);
  EXPECT_EQ(range->state, GLUI_HSlider::kThumb);
  move(400);
  EXPECT_EQ(pair[1], 94.0f);
  EXPECT_EQ(pair[0], 74.0f);
  release();
}

TEST_F(HSliderTest, OnlyRangeModeChangesTheCursor) {
  platform.cursor = -1;
  glui->passive_motion(slider->x_abs + 98, slider->y_abs + 8);
  EXPECT_EQ(platform.cursor, GLUI_GLUT_CURSOR_LEFT_ARROW);  // the window's own, on entry
  platform.cursor = -1;
  glui->passive_motion(slider->x_abs + 99, slider->y_abs + 8);
  EXPECT_EQ(platform.cursor, -1);

  float pair[2] = {20.0f, 40.0f};
  GLUI_HSlider* range = glui->add_hslider_to_panel(nullptr, 1, GLUI_HSLIDER_FLOAT, pair, 6, Record);
  glui->passive_motion(range->x_abs + 60, range->y_abs + 8);
  EXPECT_EQ(platform.cursor, GLUI_GLUT_CURSOR_LEFT_RIGHT);
  glui->passive_motion(range->x_abs + 48, range->y_abs + 8);
  EXPECT_EQ(platform.cursor, GLUI_GLUT_CURSOR_LEFT_ARROW);
}

TEST_F(HSliderTest, DisabledSliderIgnoresPresses) {
  slider->disable();
  ClickLocal(kRightArrowX);
  Press(101);
  MoveTo(140);
  Release();
  EXPECT_EQ(live, 0.0f);
  EXPECT_EQ(slider->get_float_val(), 0.0f);
  EXPECT_TRUE(Calls().empty());
  EXPECT_FALSE(platform.idle_installed);
  slider->enable();
  ClickLocal(kRightArrowX);
  EXPECT_FLOAT_EQ(live, 0.002f);
}

}  // namespace
