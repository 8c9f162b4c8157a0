// The slider's behaviour: hit test, steps, range keeping, output and
// synchronisation. No drawing and no GLUT here: the toolkit's platform
// gives the clock and the cursor, so unit tests drive all of it.
#include "ui/hslider.h"

#include <cstdio>

#include "toolkit/glui_platform.h"

namespace {
// Half away from zero, then toward zero: how the slider rounds to pixels.
int RoundToInt(float f) { return f < 0.0f ? static_cast<int>(f - 0.5f) : static_cast<int>(f + 0.5f); }
}  // namespace

GLUI_HSlider::GLUI_HSlider()
    : state(kNone),
      range_mode(0),
      value(16.0f),
      value2(26.0f),
      page_target(0),
      drag_x(0),
      last_drag_x(0),
      repeat(0),
      low_limit(0.0f),
      high_limit(94.0f),  // the default width less 36: one unit per pixel
      last_step_time(0) {
  char label[64];
  snprintf(label, sizeof label, "HSlider: %p", static_cast<void*>(this));
  name = label;
  type = GLUI_CONTROL_HSLIDER;
  w = 130;
  h = kHeight;
  x_off = 0;
  y_off_top = 0;
  y_off_bot = 0;
  can_activate = 1;
}

GLUI_HSlider* GLUI::add_hslider_to_panel(GLUI_Panel* panel, int range_mode, int data_type,
                                         void* live_var, int id, GLUI_Update_CB cb) {
  auto* slider = new GLUI_HSlider();
  slider->range_mode = range_mode;
  slider->user_id = id;
  slider->callback = cb;
  slider->ptr_val = live_var;
  slider->live_type = data_type == GLUI_HSLIDER_FLOAT ? GLUI_LIVE_FLOAT : GLUI_LIVE_INT;
  add_control(panel, slider);  // ends by loading the value from the live variable
  return slider;
}

// ===========================================================================
// Geometry
// ===========================================================================
int GLUI_HSlider::thumb_left() const {
  const float t1 = (value - low_limit) / (high_limit - low_limit);
  return kArrowWidth + RoundToInt(static_cast<float>(span()) * t1);
}

int GLUI_HSlider::thumb_right() const {
  if (!range_mode) return thumb_left() + kThumbWidth;
  const float t2 = (value2 - low_limit) / (high_limit - low_limit);
  return 20 + RoundToInt(static_cast<float>(span()) * t2);
}

float GLUI_HSlider::value_at(int local_x) const {
  return low_limit +
         (high_limit - low_limit) * (static_cast<float>(local_x - 20) / static_cast<float>(span()));
}

float GLUI_HSlider::value_at_left_end(int local_x) const {
  return low_limit +
         (high_limit - low_limit) * (static_cast<float>(local_x - 16) / static_cast<float>(span()));
}

int GLUI_HSlider::hit_test(int x, int y) const {
  if (y < 0 || y >= kArrowWidth) return kNone;
  if (x < 0 || x >= w) return kNone;
  if (x < kArrowWidth) return kLeftArrow;
  if (x >= w - kArrowWidth) return kRightArrow;
  const int left = thumb_left();
  const int right = thumb_right();
  if (left + 1 < x && x < right - 1) return kThumb;
  if (left - 1 <= x && x <= left + 1) return kLeftEnd;
  if (right - 1 <= x && x <= right + 1) return kRightEnd;
  if (x > right + 1) return kTrackRight;
  if (x < left - 1) return kTrackLeft;
  return kNone;
}

// ===========================================================================
// Values
// ===========================================================================
void GLUI_HSlider::shift(float d) {
  value += d;
  value2 += d;
}

void GLUI_HSlider::keep_in_range() {
  float d = 0.0f;
  if (value < low_limit) {
    d = low_limit - value;
  } else if (range_mode) {
    if (value2 > high_limit) d = high_limit - value2;
  } else if (value > high_limit) {
    d = high_limit - value;
  }
  shift(d);
  if (range_mode) {
    if (value < low_limit) value = low_limit;
    if (value2 > high_limit) value2 = high_limit;
  }
}

void GLUI_HSlider::set_float_limits(float low, float high) {
  low_limit = low;
  high_limit = high;
  if (value < low) {
    shift(low - value);
  } else if (value > high) {
    shift(high - value);
  }
  if (value2 < value) value2 = value;
  if (value2 > high) value2 = high;
  redraw();
}

void GLUI_HSlider::set_int_limits(int low, int high) {
  set_float_limits(static_cast<float>(low), static_cast<float>(high));
}

void GLUI_HSlider::set_float_val(float new_value) {
  value = new_value;
  keep_in_range();
}

void GLUI_HSlider::set_float_val(float new_value, float new_value2) {
  value = new_value;
  value2 = new_value2;
  keep_in_range();
}

void GLUI_HSlider::set_int_val(int new_value) { set_float_val(static_cast<float>(new_value)); }

void GLUI_HSlider::set_int_val(int new_value, int new_value2) {
  set_float_val(static_cast<float>(new_value), static_cast<float>(new_value2));
}

// ===========================================================================
// Steps and output
// ===========================================================================
void GLUI_HSlider::step() {
  last_step_time = GLUI_GetPlatform().ticks_ms();
  const float range = high_limit - low_limit;
  switch (state) {
    case kRightArrow:
      shift(0.001f * range);
      break;
    case kLeftArrow:
      shift(-0.001f * range);
      break;
    case kThumb: {
      const float d = static_cast<float>(drag_x - last_drag_x) * range / static_cast<float>(span());
      shift(d);
      last_drag_x = drag_x;
      break;
    }
    case kTrackRight:
      if (page_target > thumb_right()) {
        const float p = value_at(thumb_right() + 4);
        shift(p - value);
      }
      break;
    case kTrackLeft:
      // The page is measured on the right, as going right, so both
      // directions move the thumb by the same amount.
      if (page_target < thumb_left()) {
        const float p = value_at(thumb_right() + 4);
        shift(value - p);
      }
      break;
    case kLeftEnd:
      value = value_at_left_end(drag_x);
      if (value > value2) value = value2;
      if (value < low_limit) value = low_limit;
      break;
    case kRightEnd:
      value2 = value_at(drag_x);
      if (value2 < value) value2 = value;
      if (value2 > high_limit) value2 = high_limit;
      break;
    default:
      break;
  }
  if (state >= kRightArrow && state <= kTrackLeft) keep_in_range();
  redraw();
  output();
}

void GLUI_HSlider::output() {
  bool changed = false;
  if (ptr_val != nullptr && live_type == GLUI_LIVE_FLOAT) {
    float* live = static_cast<float*>(ptr_val);
    changed = live[0] != value || (range_mode && live[1] != value2);
    live[0] = value;
    if (range_mode) live[1] = value2;
  } else if (ptr_val != nullptr && live_type == GLUI_LIVE_INT) {
    int* live = static_cast<int*>(ptr_val);
    changed = static_cast<float>(live[0]) != value ||
              (range_mode && static_cast<float>(live[1]) != value2);
    live[0] = RoundToInt(value);
    if (range_mode) live[1] = RoundToInt(value2);
  } else {
    // No live variable: the last value output stands in for it.
    changed = float_val != value;
  }
  float_val = value;
  int_val = RoundToInt(value);
  if (!changed) return;
  execute_callback();
  if (glui) glui->post_update_main_gfx();
}

// ===========================================================================
// Events
// ===========================================================================
int GLUI_HSlider::mouse_down_handler(int x, int y) {
  const int local_x = x - x_abs;
  state = hit_test(local_x, y - y_abs);
  switch (state) {
    case kNone:
      return 0;
    case kRightArrow:
    case kLeftArrow:
      repeat = 1;
      break;
    case kThumb:
      drag_x = last_drag_x = local_x;
      break;
    case kTrackRight:
    case kTrackLeft:
      repeat = 1;
      page_target = local_x;
      break;
    default:  // either end of the thumb
      if (range_mode) {
        GLUI_GetPlatform().set_cursor(GLUI_GLUT_CURSOR_LEFT_RIGHT);
      } else {
        state = kThumb;  // the single thumb is too small to have ends: drag it
      }
      drag_x = last_drag_x = local_x;
      break;
  }
  step();
  return 1;
}

int GLUI_HSlider::mouse_held_down_handler(int x, int y, int inside) {
  const int local_x = x - x_abs;
  switch (state) {
    case kThumb:
    case kLeftEnd:
    case kRightEnd:
      drag_x = local_x;
      step();
      break;
    case kTrackRight:
    case kTrackLeft:
      // Follow the pointer along the track; idle does the paging.
      if (inside && hit_test(local_x, y - y_abs) == state) page_target = local_x;
      break;
    default:
      break;
  }
  return 1;
}

int GLUI_HSlider::mouse_up_handler(int, int, int) {
  repeat = 0;
  state = kNone;
  return 1;
}

void GLUI_HSlider::idle() {
  if (repeat && GLUI_GetPlatform().ticks_ms() - last_step_time > kRepeatMs) step();
}

int GLUI_HSlider::needs_idle() { return repeat; }

int GLUI_HSlider::key_handler(unsigned char, int) { return 0; }

int GLUI_HSlider::special_handler(int, int) { return 0; }

void GLUI_HSlider::update_size() {}  // the size stays as set

int GLUI_HSlider::mouse_over(int entered, int x, int y) {
  if (!range_mode) return 0;
  if (state != kNone) return 1;
  GLUI_Platform& platform = GLUI_GetPlatform();
  if (entered) {
    const int part = hit_test(x - x_abs, y - y_abs);
    const bool on_end = part == kLeftEnd || part == kRightEnd;
    platform.set_cursor(on_end ? GLUI_GLUT_CURSOR_LEFT_RIGHT : GLUI_GLUT_CURSOR_LEFT_ARROW);
  } else {
    platform.set_cursor(GLUI_GLUT_CURSOR_LEFT_ARROW);
  }
  return 1;
}

// ===========================================================================
// Live variable
// ===========================================================================
bool GLUI_HSlider::sync_from_live() {
  if (ptr_val == nullptr) return false;
  float live0;
  float live1 = value2;
  if (live_type == GLUI_LIVE_FLOAT) {
    const float* live = static_cast<const float*>(ptr_val);
    live0 = live[0];
    if (range_mode) live1 = live[1];
  } else {
    const int* live = static_cast<const int*>(ptr_val);
    live0 = static_cast<float>(live[0]);
    if (range_mode) live1 = static_cast<float>(live[1]);
  }
  const bool changed = live0 != value || (range_mode && live1 != value2);
  value = live0;
  if (range_mode) value2 = live1;
  return changed;
}

void GLUI_HSlider::init_live() { sync_from_live(); }
