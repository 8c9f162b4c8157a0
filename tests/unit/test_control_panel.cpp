// The control panel as InitGlui builds it, and the callbacks that need no
// display (SetNoiseType, SetSliderG), driven by clicks on a fake platform.
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app_fixture.h"
#include "app/control_panel.h"
#include "noise_fixture.h"
#include "toolkit_fixture.h"
#include "ui/hslider.h"

namespace {

class ControlPanelTest : public NoiseTest {
 protected:
  FakePlatform platform;
  FakeText text;
  GLUI_Platform* previous = nullptr;
  TextRenderer* previous_text = nullptr;

  void SetUp() override {
    NoiseTest::SetUp();
    Reset();
    previous = GLUI_SetPlatform(&platform);
    previous_text = SetText(&text);
    App.graphWindow = 1;
    App.curvatureSliderValue = 0.0f;
    InitGlui();
  }

  void TearDown() override {
    ClosePanels(previous);
    SetText(previous_text);
  }

  void ClickAt(int x, int y) {
    App.panel->mouse(GLUI_GLUT_LEFT_BUTTON, GLUI_GLUT_DOWN, x, y);
    App.panel->mouse(GLUI_GLUT_LEFT_BUTTON, GLUI_GLUT_UP, x, y);
  }
  void ClickRightArrow(const GLUI_HSlider* s) { ClickAt(s->x_abs + s->w - 8, s->y_abs + 8); }
};

TEST_F(ControlPanelTest, TheSlidersStartDisabledAtZeroAndSpanMinusToPlusTheirBound) {
  ASSERT_EQ(platform.titles, std::vector<std::string>{"User Interface Window"});
  EXPECT_FALSE(platform.idle_installed);  // nothing held: no idle time taken
  GLUI_HSlider* sliders[] = {App.gradientSlider, App.curvatureSlider};
  const float* settings[] = {&App.gradientSliderValue, &App.curvatureSliderValue};
  for (const GLUI_HSlider* s : sliders) EXPECT_TRUE(!s->enabled && s->get_float_val() == 0.0f);
  App.currentPoint = 2;
  ClickPanel("Gradient-Only");
  // The thumb dragged far past either end stops at the bound: the setting
  // and the current point take it.
  const float bounds[] = {1.0f, 10.0f};
  for (int i = 0; i < 2; ++i)
    for (const int sign : {1, -1}) {
      const int y = sliders[i]->y_abs + 8;
      App.panel->mouse(GLUI_GLUT_LEFT_BUTTON, GLUI_GLUT_DOWN,
                       sliders[i]->x_abs + sliders[i]->thumb_left() + 3, y);
      App.panel->motion(sliders[i]->x_abs + sign * 1000, y);
      App.panel->mouse(GLUI_GLUT_LEFT_BUTTON, GLUI_GLUT_UP, 0, y);
      EXPECT_EQ(*settings[i], sign * bounds[i]) << i;
      EXPECT_EQ(i == 0 ? Point(0, 2).gx : Point(0, 2).cx, sign * bounds[i]) << i;
    }
}

TEST_F(ControlPanelTest, GradientNoiseEnablesTheSlidersOnlyWithACurrentPoint) {
  ClickPanel("Gradient-Only");
  EXPECT_EQ(App.noise.noiseType, kGradientOnly);
  EXPECT_FALSE(App.gradientSlider->enabled);
  EXPECT_FALSE(App.curvatureSlider->enabled);
  EXPECT_FALSE(App.gradientRuleGroup->enabled);

  ClickPanel("Value-Only");
  App.currentPoint = 4;
  Point(0, 4).cx = -3.5f;
  ClickPanel("Value+Gradient");
  EXPECT_TRUE(App.gradientSlider->enabled);
  EXPECT_TRUE(App.curvatureSlider->enabled);
  EXPECT_EQ(App.gradientSliderValue, Point(0, 4).gx);
  EXPECT_EQ(App.curvatureSliderValue, -3.5f);
  EXPECT_EQ(App.gradientSlider->get_float_val(), Point(0, 4).gx);  // shown at once
  EXPECT_EQ(App.curvatureSlider->get_float_val(), -3.5f);
  EXPECT_FALSE(App.gradientRuleGroup->enabled);

  ClickPanel("Value-Only");
  EXPECT_FALSE(App.gradientSlider->enabled);
  EXPECT_FALSE(App.curvatureSlider->enabled);
  EXPECT_TRUE(App.gradientRuleGroup->enabled);
  EXPECT_EQ(App.currentPoint, 4);
}

TEST_F(ControlPanelTest, EitherSliderWritesBothValuesIntoTheCurrentPoint) {
  App.currentPoint = 2;
  ClickPanel("Gradient-Only");
  const float gradient = App.gradientSliderValue;
  ASSERT_TRUE(App.curvatureSlider->enabled);
  App.debug = 1;
  testing::internal::CaptureStderr();
  ClickRightArrow(App.curvatureSlider);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "SetSliderG\n");
  App.debug = 0;
  EXPECT_FLOAT_EQ(Point(0, 2).cx, App.curvatureSlider->get_float_val());
  EXPECT_FLOAT_EQ(App.curvatureSliderValue, Point(0, 2).cx);
  EXPECT_EQ(Point(0, 2).gx, gradient);

  Point(0, 2).gx = 0.9f;  // a slider move writes the other slider's value too
  ClickRightArrow(App.curvatureSlider);
  EXPECT_EQ(Point(0, 2).gx, gradient);

  // With no point current only the slider's own setting changes.
  App.currentPoint = -1;
  const LatticePoint before = Point(0, 2);
  const float shown = App.gradientSliderValue;
  ClickRightArrow(App.gradientSlider);
  EXPECT_GT(App.gradientSliderValue, shown);
  EXPECT_EQ(Point(0, 2).gx, before.gx);
  EXPECT_EQ(Point(0, 2).cx, before.cx);
}

TEST_F(ControlPanelTest, TheWindowIsSizedToFitAndNothingOverlaps) {
  std::vector<GLUI_Control*> leaves;
  std::vector<GLUI_Control*> stack = {App.panel->main_panel};
  while (!stack.empty()) {
    GLUI_Control* c = stack.back();
    stack.pop_back();
    if (c->children.empty() && c->type != GLUI_CONTROL_COLUMN) leaves.push_back(c);
    for (GLUI_Control* child : c->children) stack.push_back(child);
  }
  for (size_t i = 0; i < leaves.size(); ++i) {
    const GLUI_Control* a = leaves[i];
    EXPECT_GE(a->x_abs, 6) << a->name;
    EXPECT_LE(a->x_abs + a->w, platform.width - 6) << a->name;
    EXPECT_LE(a->y_abs + a->h, platform.height - 6) << a->name;
    for (size_t j = i + 1; j < leaves.size(); ++j) {
      const GLUI_Control* b = leaves[j];
      const bool apart = a->x_abs + a->w <= b->x_abs || b->x_abs + b->w <= a->x_abs ||
                         a->y_abs + a->h <= b->y_abs || b->y_abs + b->h <= a->y_abs;
      EXPECT_TRUE(apart) << a->name << " / " << b->name;
    }
  }
}

}  // namespace
