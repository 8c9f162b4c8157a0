// The toolkit's built-in controls, packing and window behaviour, driven as
// GLUT would drive them, on a fake platform.
#include "toolkit_fixture.h"

namespace {

using GluiTest = ToolkitTest;

bool Overlap(const GLUI_Control* a, const GLUI_Control* b) {
  return a->x_abs < b->x_abs + b->w && b->x_abs < a->x_abs + a->w && a->y_abs < b->y_abs + b->h &&
         b->y_abs < a->y_abs + a->h;
}

TEST_F(GluiTest, RadioGroupWritesItsLiveVariableAndCallsBackOnce) {
  int choice = 0;
  WatchedInt() = &choice;
  GLUI_Panel* frame = glui->add_panel("Noise Type");
  GLUI_RadioGroup* group = glui->add_radiogroup_to_panel(frame, &choice, 5, Record);
  GLUI_RadioButton* a = glui->add_radiobutton_to_group(group, "A");
  GLUI_RadioButton* b = glui->add_radiobutton_to_group(group, "B");
  GLUI_RadioButton* c = glui->add_radiobutton_to_group(group, "C");
  EXPECT_EQ(a->user_id, 0);
  EXPECT_EQ(b->user_id, 1);
  EXPECT_EQ(c->user_id, 2);
  EXPECT_TRUE(a->selected());

  platform.redisplays.clear();
  Click(b);
  EXPECT_EQ(choice, 1);
  EXPECT_TRUE(b->selected());
  EXPECT_FALSE(a->selected());
  ASSERT_EQ(Calls().size(), 1u);
  EXPECT_EQ(Calls()[0].id, 5);
  EXPECT_EQ(Calls()[0].current_window, kGraphWindow);
  EXPECT_EQ(Calls()[0].live, 1.0f);
  EXPECT_EQ(platform.current, kPanelWindowCurrent);
  EXPECT_EQ(platform.RedisplaysOf(kGraphWindow), 1);

  Click(b);  // already chosen: nothing to tell
  EXPECT_EQ(Calls().size(), 1u);

  // A release away from the pressed button chooses nothing.
  glui->mouse(GLUI_GLUT_LEFT_BUTTON, GLUI_GLUT_DOWN, c->x_abs + 3, c->y_abs + 3);
  glui->mouse(GLUI_GLUT_LEFT_BUTTON, GLUI_GLUT_UP, a->x_abs + 3, a->y_abs + 3);
  EXPECT_EQ(choice, 1);
  EXPECT_EQ(Calls().size(), 1u);
}

TEST_F(GluiTest, RadioGroupStartsFromItsLiveVariable) {
  int choice = 2;
  GLUI_RadioGroup* group = glui->add_radiogroup(&choice);
  glui->add_radiobutton_to_group(group, "A");
  glui->add_radiobutton_to_group(group, "B");
  GLUI_RadioButton* c = glui->add_radiobutton_to_group(group, "C");
  EXPECT_TRUE(c->selected());
  EXPECT_EQ(choice, 2);
  EXPECT_TRUE(Calls().empty());
}

TEST_F(GluiTest, CheckboxTogglesItsLiveVariableOnEachClick) {
  int flag = 0;
  WatchedInt() = &flag;
  GLUI_Checkbox* box = glui->add_checkbox("Debug", &flag, 9, Record);
  Click(box);
  EXPECT_EQ(flag, 1);
  ASSERT_EQ(Calls().size(), 1u);
  EXPECT_EQ(Calls()[0].id, 9);
  EXPECT_EQ(Calls()[0].live, 1.0f);
  EXPECT_EQ(Calls()[0].current_window, kGraphWindow);
  Click(box);
  EXPECT_EQ(flag, 0);
  EXPECT_EQ(Calls().size(), 2u);

  // Without a callback it still writes, and still redisplays the graphics.
  int quiet = 0;
  GLUI_Checkbox* plain = glui->add_checkbox("Turbulence", &quiet);
  platform.redisplays.clear();
  Click(plain);
  EXPECT_EQ(quiet, 1);
  EXPECT_EQ(platform.RedisplaysOf(kGraphWindow), 1);
  EXPECT_EQ(Calls().size(), 2u);
}

TEST_F(GluiTest, ButtonPressesInAndFiresOnReleaseInside) {
  GLUI_Button* button = glui->add_button("Re-Randomize", 4, Record);
  const int x = button->x_abs + 10, y = button->y_abs + 10;
  glui->mouse(GLUI_GLUT_LEFT_BUTTON, GLUI_GLUT_DOWN, x, y);
  EXPECT_EQ(button->currently_pressed, 1);
  EXPECT_TRUE(Calls().empty());
  glui->motion(x, y + 100);
  EXPECT_EQ(button->currently_pressed, 0);
  glui->motion(x, y);
  EXPECT_EQ(button->currently_pressed, 1);
  platform.redisplays.clear();
  glui->mouse(GLUI_GLUT_LEFT_BUTTON, GLUI_GLUT_UP, x, y);
  EXPECT_EQ(button->currently_pressed, 0);
  ASSERT_EQ(Calls().size(), 1u);
  EXPECT_EQ(Calls()[0].id, 4);
  EXPECT_EQ(Calls()[0].current_window, kGraphWindow);
  EXPECT_EQ(platform.RedisplaysOf(kGraphWindow), 1);

  glui->mouse(GLUI_GLUT_LEFT_BUTTON, GLUI_GLUT_DOWN, x, y);
  glui->mouse(GLUI_GLUT_LEFT_BUTTON, GLUI_GLUT_UP, x, y + 100);  // let go elsewhere
  EXPECT_EQ(Calls().size(), 1u);
}

TEST_F(GluiTest, OnlyTheLeftButtonIsHandled) {
  int flag = 0;
  GLUI_Checkbox* box = glui->add_checkbox("Debug", &flag, 9, Record);
  for (int button = 1; button <= 2; ++button) {
    glui->mouse(button, GLUI_GLUT_DOWN, box->x_abs + 3, box->y_abs + 3);
    glui->mouse(button, GLUI_GLUT_UP, box->x_abs + 3, box->y_abs + 3);
  }
  EXPECT_EQ(flag, 0);
  EXPECT_TRUE(Calls().empty());
}

TEST_F(GluiTest, SyncLiveShowsTheLiveVariablesWithoutCallbacks) {
  int choice = 0, flag = 0;
  GLUI_RadioGroup* group = glui->add_radiogroup(&choice, 1, Record);
  glui->add_radiobutton_to_group(group, "A");
  GLUI_RadioButton* b = glui->add_radiobutton_to_group(group, "B");
  GLUI_Checkbox* box = glui->add_checkbox("Debug", &flag, 2, Record);

  choice = 1;
  flag = 1;
  platform.redisplays.clear();
  glui->sync_live();
  EXPECT_TRUE(b->selected());
  EXPECT_EQ(box->get_int_val(), 1);
  EXPECT_TRUE(Calls().empty());
  EXPECT_GE(platform.RedisplaysOf(glui->get_glut_window_id()), 1);

  // The control the user is holding keeps what the user sees.
  glui->mouse(GLUI_GLUT_LEFT_BUTTON, GLUI_GLUT_DOWN, box->x_abs + 3, box->y_abs + 3);
  flag = 0;
  glui->sync_live();
  EXPECT_EQ(box->get_int_val(), 1);
  glui->mouse(GLUI_GLUT_LEFT_BUTTON, GLUI_GLUT_UP, box->x_abs + 300, box->y_abs + 300);
  glui->sync_live();
  EXPECT_EQ(box->get_int_val(), 0);
  EXPECT_TRUE(Calls().empty());
}

TEST_F(GluiTest, DisabledControlsIgnorePresses) {
  int choice = 0, flag = 0;
  GLUI_Panel* frame = glui->add_panel("Rule");
  GLUI_RadioGroup* group = glui->add_radiogroup_to_panel(frame, &choice, 1, Record);
  glui->add_radiobutton_to_group(group, "A");
  GLUI_RadioButton* b = glui->add_radiobutton_to_group(group, "B");
  GLUI_Checkbox* box = glui->add_checkbox("Debug", &flag, 2, Record);
  GLUI_Button* button = glui->add_button("Go", 3, Record);

  group->disable();
  box->disable();
  button->disable();
  EXPECT_FALSE(b->enabled);  // a group takes its buttons with it
  Click(b);
  Click(box);
  glui->mouse(GLUI_GLUT_LEFT_BUTTON, GLUI_GLUT_DOWN, button->x_abs + 5, button->y_abs + 5);
  EXPECT_EQ(button->currently_pressed, 0);
  glui->mouse(GLUI_GLUT_LEFT_BUTTON, GLUI_GLUT_UP, button->x_abs + 5, button->y_abs + 5);
  EXPECT_EQ(choice, 0);
  EXPECT_EQ(flag, 0);
  EXPECT_TRUE(Calls().empty());

  group->enable();
  EXPECT_TRUE(b->enabled);
  Click(b);
  EXPECT_EQ(choice, 1);
  EXPECT_EQ(Calls().size(), 1u);

  // A control added to a disabled panel starts disabled.
  frame->disable();
  GLUI_Checkbox* late = glui->add_checkbox_to_panel(frame, "Late");
  EXPECT_FALSE(late->enabled);
}

TEST_F(GluiTest, DisablingTheActiveControlDeactivatesIt) {
  GLUI_Button* button = glui->add_button("Go", 3, Record);
  glui->mouse(GLUI_GLUT_LEFT_BUTTON, GLUI_GLUT_DOWN, button->x_abs + 5, button->y_abs + 5);
  EXPECT_EQ(glui->active_control, button);
  button->disable();
  EXPECT_EQ(glui->active_control, nullptr);
  EXPECT_EQ(button->active, 0);
  glui->mouse(GLUI_GLUT_LEFT_BUTTON, GLUI_GLUT_UP, button->x_abs + 5, button->y_abs + 5);
  EXPECT_TRUE(Calls().empty());
}

TEST_F(GluiTest, TabMovesActivationAndSpaceClicks) {
  int flag = 0;
  glui->add_statictext("Title");
  GLUI_Checkbox* box = glui->add_checkbox("Debug", &flag, 2, Record);
  GLUI_Button* button = glui->add_button("Go", 3, Record);
  glui->keyboard('\t', 0, 0);
  EXPECT_EQ(glui->active_control, box);
  glui->keyboard(' ', 0, 0);
  EXPECT_EQ(flag, 1);
  glui->keyboard('\t', 0, 0);
  EXPECT_EQ(glui->active_control, button);
  glui->keyboard(' ', 0, 0);
  ASSERT_EQ(Calls().size(), 2u);
  EXPECT_EQ(Calls()[1].id, 3);
  platform.modifier_keys = GLUI_GLUT_ACTIVE_SHIFT;
  glui->keyboard('\t', 0, 0);
  EXPECT_EQ(glui->active_control, box);
  EXPECT_EQ(button->active, 0);
}

TEST_F(GluiTest, ControlsStackDownwardsAndTheWindowFitsThem) {
  int a = 0, b = 0, choice = 0;
  GLUI_StaticText* title = glui->add_statictext("User Interface Window");
  GLUI_Separator* separator = glui->add_separator();
  GLUI_Panel* frame = glui->add_panel("A rather long panel title, wider than two buttons");
  GLUI_RadioGroup* group = glui->add_radiogroup_to_panel(frame, &choice);
  GLUI_RadioButton* r0 = glui->add_radiobutton_to_group(group, "One");
  GLUI_RadioButton* r1 = glui->add_radiobutton_to_group(group, "Two");
  GLUI_Checkbox* box_a = glui->add_checkbox("Turbulence", &a);
  GLUI_Checkbox* box_b = glui->add_checkbox("Debug", &b);
  GLUI_Panel* row = glui->add_panel("", GLUI_PANEL_NONE);
  GLUI_Button* reset = glui->add_button_to_panel(row, "Reset", 0);
  glui->add_column_to_panel(row, false);
  GLUI_Button* quit = glui->add_button_to_panel(row, "Quit", 1);

  const std::vector<GLUI_Control*> stack = {title, separator, frame, box_a, box_b, row};
  for (size_t i = 1; i < stack.size(); ++i) {
    EXPECT_GT(stack[i]->y_abs, stack[i - 1]->y_abs + stack[i - 1]->h) << i;
  }
  EXPECT_EQ(title->x_abs, 6);
  EXPECT_EQ(title->y_abs, 6);
  EXPECT_EQ(r1->y_abs, r0->y_abs + 13 + 3);
  EXPECT_EQ(r0->y_abs, frame->y_abs + 14);  // below the frame's title
  EXPECT_EQ(box_a->x_abs, box_b->x_abs);    // check boxes on the left
  EXPECT_EQ(box_a->x_abs, 6);
  EXPECT_EQ(separator->w, glui->packed_w - 12);  // right across the column
  EXPECT_EQ(reset->h, 20);
  EXPECT_GE(reset->w, 100);
  EXPECT_EQ(quit->y_abs, reset->y_abs);  // a column puts Quit beside Reset
  EXPECT_GT(quit->x_abs, reset->x_abs + reset->w);
  EXPECT_FALSE(Overlap(reset, quit));
  EXPECT_FALSE(Overlap(frame, box_a));
  // Panels are centred in their column.
  const int left_gap = row->x_abs - 6;
  const int right_gap = glui->packed_w - 6 - (row->x_abs + row->w);
  EXPECT_LE(std::abs(left_gap - right_gap), 1);
  // The window is exactly as large as its controls and margins.
  EXPECT_EQ(platform.width, glui->packed_w);
  EXPECT_EQ(platform.height, glui->packed_h);
  EXPECT_EQ(glui->packed_h, row->y_abs + row->h + 3 + 6);
  EXPECT_EQ(glui->packed_w, frame->w + 12);  // the widest control decides
}

TEST_F(GluiTest, TheUserCannotResizeThePanel) {
  glui->add_checkbox("Debug");
  const int w = glui->packed_w, h = glui->packed_h;
  platform.width = platform.height = 0;
  glui->reshape(w + 50, h + 80);
  EXPECT_EQ(platform.width, w);
  EXPECT_EQ(platform.height, h);
}

TEST_F(GluiTest, CloseDestroysTheWindowAndForgetsIt) {
  const int id = glui->get_glut_window_id();
  EXPECT_EQ(GLUI_Master.find_glui_by_window_id(id), glui);
  glui->close();
  glui->close();
  ASSERT_EQ(platform.destroyed.size(), 1u);
  EXPECT_EQ(platform.destroyed[0], id);
  EXPECT_EQ(GLUI_Master.find_glui_by_window_id(id), nullptr);
  // Kept, controls and all, for a callback still running in one of them.
  EXPECT_EQ(GLUI_Master.closed.back(), glui);
}

// A control that counts its destructions.
class CountedText : public GLUI_StaticText {
 public:
  explicit CountedText(int* count) : GLUI_StaticText("counted"), count_(count) {}
  ~CountedText() override { ++*count_; }

 private:
  int* count_;
};

TEST_F(GluiTest, AWindowFreesEveryControlItHolds) {
  int freed = 0;
  {
    GLUI window("Freed", 0, 99);
    window.add_control(nullptr, new CountedText(&freed));
    GLUI_Panel* frame = window.add_panel("Frame");
    window.add_control(frame, new CountedText(&freed));
    GLUI_RadioGroup* group = window.add_radiogroup_to_panel(frame);
    window.add_radiobutton_to_group(group, "One");
    window.add_control(group, new CountedText(&freed));
  }
  EXPECT_EQ(freed, 3);
}

}  // namespace
