// Behaviour of the built-in controls: sizes, presses, values. Their drawing
// is in glui_draw.cpp.
#include "toolkit/glui.h"
#include "toolkit/glui_layout.h"
#include "toolkit/glui_platform.h"

namespace {
int TextWidth(const std::string& text) { return GLUI_TextWidth(text.c_str()); }
}  // namespace

// ===========================================================================
// Panel
// ===========================================================================
GLUI_Panel::GLUI_Panel(const char* panel_name, int type_of_panel)
    : panel_type(type_of_panel), is_top(false) {
  type = GLUI_CONTROL_PANEL;
  name = panel_name ? panel_name : "";
  can_activate = 0;
}

// ===========================================================================
// Static text
// ===========================================================================
GLUI_StaticText::GLUI_StaticText(const char* text) {
  type = GLUI_CONTROL_STATICTEXT;
  name = text ? text : "";
  can_activate = 0;
  h = glui_layout::kTextRowHeight;
}

void GLUI_StaticText::set_text(const char* text) { set_name(text); }

void GLUI_StaticText::update_size() {
  const int text_w = TextWidth(name);
  w = text_w > glui_layout::kMinTextWidth ? text_w : glui_layout::kMinTextWidth;
}

// ===========================================================================
// Separator and column: shape only, their size comes from packing
// ===========================================================================
GLUI_Separator::GLUI_Separator() {
  type = GLUI_CONTROL_SEPARATOR;
  can_activate = 0;
  w = 0;
  h = glui_layout::kSeparatorHeight;
}

GLUI_Column::GLUI_Column(bool bar) : draw_bar(bar ? 1 : 0) {
  type = GLUI_CONTROL_COLUMN;
  can_activate = 0;
  w = 0;
  h = 0;
}

// ===========================================================================
// Radio group and radio button
// ===========================================================================
GLUI_RadioGroup::GLUI_RadioGroup() : num_buttons(0) {
  type = GLUI_CONTROL_RADIOGROUP;
  can_activate = 0;
}

void GLUI_RadioGroup::set_int_val(int new_val) {
  int_val = new_val;
  float_val = static_cast<float>(new_val);
  redraw();
}

void GLUI_RadioGroup::choose(int button_id) {
  if (button_id == int_val) return;
  set_int_val(button_id);
  output_live(true);
  execute_callback();
}

GLUI_RadioButton::GLUI_RadioButton(GLUI_RadioGroup* owner, const char* label) : group(owner) {
  type = GLUI_CONTROL_RADIOBUTTON;
  name = label ? label : "";
  h = glui_layout::kTextRowHeight;
  // A button's id is its position in its group.
  user_id = owner ? owner->num_buttons++ : 0;
}

int GLUI_RadioButton::mouse_down_handler(int, int) { return 1; }

int GLUI_RadioButton::mouse_up_handler(int, int, int inside) {
  if (inside && group) group->choose(user_id);
  return 1;
}

int GLUI_RadioButton::key_handler(unsigned char key, int) {
  if (key != ' ' || group == nullptr) return 0;
  group->choose(user_id);
  return 1;
}

void GLUI_RadioButton::update_size() { w = glui_layout::kLabelX + TextWidth(name) + 2; }

// ===========================================================================
// Check box
// ===========================================================================
GLUI_Checkbox::GLUI_Checkbox(const char* label) {
  type = GLUI_CONTROL_CHECKBOX;
  name = label ? label : "";
  h = glui_layout::kTextRowHeight;
}

void GLUI_Checkbox::toggle() {
  set_int_val(int_val ? 0 : 1);
  output_live(true);
  execute_callback();
}

int GLUI_Checkbox::mouse_down_handler(int, int) { return 1; }

int GLUI_Checkbox::mouse_up_handler(int, int, int inside) {
  if (inside) toggle();
  return 1;
}

int GLUI_Checkbox::key_handler(unsigned char key, int) {
  if (key != ' ') return 0;
  toggle();
  return 1;
}

void GLUI_Checkbox::update_size() { w = glui_layout::kLabelX + TextWidth(name) + 2; }

// ===========================================================================
// Button: pressed in while held over it, fires on a release inside
// ===========================================================================
GLUI_Button::GLUI_Button(const char* label) : currently_pressed(0) {
  type = GLUI_CONTROL_BUTTON;
  name = label ? label : "";
  h = glui_layout::kButtonHeight;
}

int GLUI_Button::mouse_down_handler(int, int) {
  currently_pressed = 1;
  redraw();
  return 1;
}

int GLUI_Button::mouse_held_down_handler(int, int, int inside) {
  const int pressed = inside ? 1 : 0;
  if (pressed != currently_pressed) {
    currently_pressed = pressed;
    redraw();
  }
  return 1;
}

int GLUI_Button::mouse_up_handler(int, int, int inside) {
  currently_pressed = 0;
  redraw();
  if (inside) {
    execute_callback();
    if (glui) glui->post_update_main_gfx();
  }
  return 1;
}

int GLUI_Button::key_handler(unsigned char key, int) {
  if (key != ' ') return 0;
  execute_callback();
  if (glui) glui->post_update_main_gfx();
  return 1;
}

void GLUI_Button::update_size() {
  const int text_w = TextWidth(name) + 2 * glui_layout::kButtonTextPad;
  w = text_w > glui_layout::kMinButtonWidth ? text_w : glui_layout::kMinButtonWidth;
}
