// The control base: defaults, live variables, callbacks, enabled state.
#include "toolkit/glui.h"
#include "toolkit/glui_platform.h"

GLUI_Control::GLUI_Control()
    : w(100),
      h(13),
      x_abs(0),
      y_abs(0),
      x_off(6),
      y_off_top(6),
      y_off_bot(6),
      enabled(1),
      active(0),
      can_activate(1),
      hidden(0),
      user_id(-1),
      type(0),
      ptr_val(nullptr),
      live_type(GLUI_LIVE_NONE),
      int_val(0),
      float_val(0.0f),
      glui(nullptr),
      callback(nullptr),
      parent(nullptr),
      last_live_int(0),
      last_live_float(0.0f) {}

// A container owns its children; the window owns its top panel (~GLUI).
GLUI_Control::~GLUI_Control() {
  for (GLUI_Control* child : children) delete child;
}

// ---------------------------------------------------------------------------
// Events: the base ignores them all
// ---------------------------------------------------------------------------
int GLUI_Control::mouse_down_handler(int, int) { return 0; }
int GLUI_Control::mouse_up_handler(int, int, int) { return 0; }
int GLUI_Control::mouse_held_down_handler(int, int, int) { return 0; }
int GLUI_Control::key_handler(unsigned char, int) { return 0; }
int GLUI_Control::special_handler(int, int) { return 0; }
void GLUI_Control::update_size() {}
void GLUI_Control::idle() {}
int GLUI_Control::mouse_over(int, int, int) { return 0; }
int GLUI_Control::needs_idle() { return 0; }

// ---------------------------------------------------------------------------
// Enabled state and activation
// ---------------------------------------------------------------------------
void GLUI_Control::enable() {
  enabled = 1;
  redraw();
  for (GLUI_Control* child : children) child->enable();
}

void GLUI_Control::disable() {
  enabled = 0;
  if (active) deactivate();
  redraw();
  for (GLUI_Control* child : children) child->disable();
}

void GLUI_Control::activate(int) {
  active = 1;
  redraw();
}

void GLUI_Control::deactivate() {
  active = 0;
  if (glui && glui->active_control == this) {
    glui->active_control = nullptr;
    glui->mouse_button_down = 0;
  }
  redraw();
}

// ---------------------------------------------------------------------------
// Values and live variables
// ---------------------------------------------------------------------------
void GLUI_Control::set_int_val(int new_int) {
  int_val = new_int;
  redraw();
}

void GLUI_Control::set_float_val(float new_float) {
  float_val = new_float;
  redraw();
}

void GLUI_Control::init_live() {
  if (ptr_val == nullptr) return;
  if (live_type == GLUI_LIVE_INT) {
    int_val = last_live_int = *static_cast<int*>(ptr_val);
  } else if (live_type == GLUI_LIVE_FLOAT) {
    float_val = last_live_float = *static_cast<float*>(ptr_val);
  }
}

bool GLUI_Control::sync_from_live() {
  if (ptr_val == nullptr) return false;
  if (live_type == GLUI_LIVE_INT) {
    const int live = *static_cast<int*>(ptr_val);
    if (live == last_live_int) return false;
    set_int_val(live);
    last_live_int = live;
    return true;
  }
  if (live_type == GLUI_LIVE_FLOAT) {
    const float live = *static_cast<float*>(ptr_val);
    if (live == last_live_float) return false;
    set_float_val(live);
    last_live_float = live;
    return true;
  }
  return false;
}

void GLUI_Control::output_live(int update_main_gfx) {
  if (ptr_val != nullptr) {
    if (live_type == GLUI_LIVE_INT) {
      *static_cast<int*>(ptr_val) = last_live_int = int_val;
    } else if (live_type == GLUI_LIVE_FLOAT) {
      *static_cast<float*>(ptr_val) = last_live_float = float_val;
    }
  }
  if (update_main_gfx && glui) glui->post_update_main_gfx();
}

void GLUI_Control::execute_callback() {
  if (callback == nullptr) return;
  GLUI_Platform& platform = GLUI_GetPlatform();
  const int previous = platform.get_window();
  if (glui && glui->main_gfx_window_id > 0) platform.set_window(glui->main_gfx_window_id);
  callback(user_id);
  // The callback may have closed this control's own window (and the program
  // may have gone on); never make a destroyed window current again.
  const bool previous_gone = glui && glui->closed && previous == glui->glut_window_id;
  if (previous > 0 && !previous_gone) platform.set_window(previous);
}

void GLUI_Control::redraw() {
  if (glui) glui->post_redisplay();
}

// ---------------------------------------------------------------------------
// Name and size
// ---------------------------------------------------------------------------
void GLUI_Control::set_name(const char* new_name) {
  name = new_name ? new_name : "";
  update_size();
  if (glui) glui->pack();
}

void GLUI_Control::set_w(int new_w) {
  w = new_w;
  update_size();
  if (glui) glui->pack();
}

void GLUI_Control::set_h(int new_h) {
  h = new_h;
  update_size();
  if (glui) glui->pack();
}

bool GLUI_Control::contains(int x, int y) const {
  return x >= x_abs && x <= x_abs + w && y >= y_abs && y <= y_abs + h;
}
