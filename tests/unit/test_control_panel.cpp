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

  static void Describe(const GLUI_Control* c, std::vector<std::string>* out) {
    switch (c->type) {
      case GLUI_CONTROL_STATICTEXT: out->push_back("text:" + c->name); break;
      case GLUI_CONTROL_SEPARATOR: out->push_back("separator"); break;
      case GLUI_CONTROL_PANEL:
        out->push_back("panel" + std::to_string(static_cast<const GLUI_Panel*>(c)->panel_type) +
                       ":" + c->name);
        break;
      case GLUI_CONTROL_RADIOGROUP: out->push_back("group"); break;
      case GLUI_CONTROL_RADIOBUTTON: out->push_back("radio:" + c->name); break;
      case GLUI_CONTROL_CHECKBOX: out->push_back("checkbox:" + c->name); break;
      case GLUI_CONTROL_BUTTON: out->push_back("button:" + c->name); break;
      case GLUI_CONTROL_COLUMN:
        out->push_back("column" + std::to_string(static_cast<const GLUI_Column*>(c)->draw_bar));
        break;
      case GLUI_CONTROL_HSLIDER: out->push_back("hslider"); break;
      default: out->push_back("?"); break;
    }
    for (const GLUI_Control* child : c->children) Describe(child, out);
  }

  static GLUI_Control* Find(GLUI_Control* c, const std::string& name) {
    if (c->name == name) return c;
    for (GLUI_Control* child : c->children) {
      if (GLUI_Control* found = Find(child, name)) return found;
    }
    return nullptr;
  }

  GLUI_Control* Find(const std::string& name) { return Find(App.panel->main_panel, name); }

  void Click(const std::string& name) {
    GLUI_Control* c = Find(name);
    ASSERT_NE(c, nullptr) << name;
    ClickAt(c->x_abs + 4, c->y_abs + 4);
  }
  void ClickAt(int x, int y) {
    App.panel->mouse(GLUI_GLUT_LEFT_BUTTON, GLUI_GLUT_DOWN, x, y);
    App.panel->mouse(GLUI_GLUT_LEFT_BUTTON, GLUI_GLUT_UP, x, y);
  }
  void ClickRightArrow(const GLUI_HSlider* s) { ClickAt(s->x_abs + s->w - 8, s->y_abs + 8); }
};

TEST_F(ControlPanelTest, InitGluiAddsTheRowsInOrder) {
  std::vector<std::string> rows;
  for (const GLUI_Control* c : App.panel->main_panel->children) Describe(c, &rows);
  const std::vector<std::string> expected = {
      "text:User Interface Window", "separator",
      "panel1:Noise Type", "group", "radio:Value-Only", "radio:Gradient-Only", "radio:Value+Gradient",
      "panel1:Interpolation Equation", "group", "radio:Cubic", "radio:Quintic",
      "panel1:How to Compute the Gradient for Value-Only Noise", "group", "radio:Zero",
      "radio:Catmull-Rom",
      "panel1:Number of Octaves", "group", "radio: 1", "radio: 2", "radio: 3", "radio: 4",
      "radio: 5", "radio: 6", "radio: 7", "radio: 8",
      "checkbox:Turbulence",
      "panel1:2D Noise Texture", "group", "radio:Grayscale", "radio:Rainbow scale",
      "radio:Blue -> White (clouds)", "radio:Red -> Yellow (fire)",
      "panel1:Set Gradient", "hslider", "panel1:Set Curvature", "hslider",
      "button:Re-Randomize", "checkbox:Debug",
      "panel0:", "button:Reset", "column0", "button:Quit"};
  EXPECT_EQ(rows, expected);
  ASSERT_EQ(platform.titles.size(), 1u);
  EXPECT_EQ(platform.titles[0], "User Interface Window");
  EXPECT_EQ(App.panel->main_gfx_window_id, App.graphWindow);
  EXPECT_FALSE(platform.idle_installed);  // nothing held: no idle time taken
}

TEST_F(ControlPanelTest, ControlsAreWiredToTheirSettingsIdsAndCallbacks) {
  struct Wiring {
    const char* label;
    void* live;
    int id;
    GLUI_Update_CB callback;
  };
  const Wiring wiring[] = {
      {"Value-Only", &App.noise.noiseType, 0, SetNoiseType},
      {"Cubic", &App.noise.interpolation, -1, nullptr},
      {"Zero", &App.noise.gradientRule, -1, nullptr},
      {" 1", &App.noise.octaveIndex, -1, nullptr},
      {"Grayscale", &App.colourScale, 0, SetColorScale},
  };
  for (const Wiring& w : wiring) {
    const GLUI_Control* group = Find(w.label)->parent;
    EXPECT_EQ(group->ptr_val, w.live) << w.label;
    EXPECT_EQ(group->user_id, w.id) << w.label;
    EXPECT_EQ(group->callback, w.callback) << w.label;
  }
  EXPECT_EQ(App.gradientRuleGroup, Find("Zero")->parent);
  EXPECT_EQ(Find("Turbulence")->ptr_val, &App.noise.turbulence);
  EXPECT_EQ(Find("Debug")->ptr_val, &App.debug);
  EXPECT_EQ(Find("Debug")->callback, nullptr);
  EXPECT_EQ(Find("Re-Randomize")->callback, ReRandomize);
  EXPECT_EQ(Find("Reset")->callback, Buttons);
  EXPECT_EQ(Find("Reset")->user_id, 0);
  EXPECT_EQ(Find("Quit")->callback, Buttons);
  EXPECT_EQ(Find("Quit")->user_id, 1);

  const GLUI_HSlider* sliders[] = {App.gradientSlider, App.curvatureSlider};
  const void* lives[] = {&App.gradientSliderValue, &App.curvatureSliderValue};
  const float bounds[] = {1.0f, 10.0f};
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(sliders[i]->ptr_val, lives[i]);
    EXPECT_EQ(sliders[i]->user_id, i);
    EXPECT_EQ(sliders[i]->callback, SetSliderG);
    EXPECT_EQ(sliders[i]->range_mode, 0);
    EXPECT_EQ(sliders[i]->low_limit, -bounds[i]);
    EXPECT_EQ(sliders[i]->high_limit, bounds[i]);
    EXPECT_EQ(sliders[i]->get_float_val(), 0.0f);
    EXPECT_EQ(sliders[i]->w, 200);
    EXPECT_FALSE(sliders[i]->enabled);
  }
  EXPECT_TRUE(App.gradientRuleGroup->enabled);
}

TEST_F(ControlPanelTest, GradientNoiseEnablesTheSlidersOnlyWithACurrentPoint) {
  Click("Gradient-Only");
  EXPECT_EQ(App.noise.noiseType, kGradientOnly);
  EXPECT_FALSE(App.gradientSlider->enabled);
  EXPECT_FALSE(App.curvatureSlider->enabled);
  EXPECT_FALSE(App.gradientRuleGroup->enabled);

  Click("Value-Only");
  App.currentPoint = 4;
  Point(0, 4).cx = -3.5f;
  Click("Value+Gradient");
  EXPECT_TRUE(App.gradientSlider->enabled);
  EXPECT_TRUE(App.curvatureSlider->enabled);
  EXPECT_EQ(App.gradientSliderValue, Point(0, 4).gx);
  EXPECT_EQ(App.curvatureSliderValue, -3.5f);
  EXPECT_EQ(App.gradientSlider->get_float_val(), Point(0, 4).gx);  // shown at once
  EXPECT_EQ(App.curvatureSlider->get_float_val(), -3.5f);
  EXPECT_FALSE(App.gradientRuleGroup->enabled);

  Click("Value-Only");
  EXPECT_FALSE(App.gradientSlider->enabled);
  EXPECT_FALSE(App.curvatureSlider->enabled);
  EXPECT_TRUE(App.gradientRuleGroup->enabled);
  EXPECT_EQ(App.currentPoint, 4);
}

TEST_F(ControlPanelTest, EitherSliderWritesBothValuesIntoTheCurrentPoint) {
  App.currentPoint = 2;
  Click("Gradient-Only");
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
