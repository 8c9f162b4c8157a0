// GLUI_HSlider: a horizontal slider in the form of a scroll bar, added to the
// toolkit as a control of its own.
//
//   [<]::::::::::[#]:::::::::::::::[>]
//
// An arrow button at each end steps the value by a thousandth of the range
// (held down, it repeats every 50 ms from the toolkit's idle time); the thumb
// drags, relative to the pointer's movement; a press on the track pages the
// thumb towards the pointer, by the same amount either way, and keeps paging
// while held. The value is seen only through the thumb's position. In range
// mode the thumb spans two values whose ends drag separately.
//
// Behaviour (hit test, steps, range keeping, output) is plain code in
// hslider.cpp; drawing is in hslider_draw.cpp and only reads the state.
#pragma once

#include <cstdint>

#include "toolkit/glui.h"

// The slider's control type: the first after the toolkit's built-in kinds.
constexpr int GLUI_CONTROL_HSLIDER = 18;

// Live-variable types of add_hslider_to_panel.
enum { GLUI_HSLIDER_INT = 2, GLUI_HSLIDER_FLOAT = 3 };

class GLUI_HSlider : public GLUI_Control {
 public:
  // What the current press has hold of.
  enum State {
    kNone = 0,
    kRightArrow = 1,
    kLeftArrow = 2,
    kThumb = 3,
    kTrackRight = 4,  // track right of the thumb
    kTrackLeft = 5,   // track left of the thumb
    kLeftEnd = 6,     // ends of a range thumb
    kRightEnd = 7
  };

  static constexpr int kArrowWidth = 16;
  static constexpr int kHeight = 16;
  static constexpr int kSpanMargin = 36;     // span = w - 36
  static constexpr int kThumbWidth = 6;      // single mode
  static constexpr uint32_t kRepeatMs = 50;  // auto-repeat interval

  GLUI_HSlider();

  int state;
  int range_mode;
  float value;   // the low end of the thumb in range mode
  float value2;  // the high end in range mode; follows the shifts otherwise
  int page_target;
  int drag_x, last_drag_x;
  int repeat;
  float low_limit, high_limit;
  uint32_t last_step_time;

  void set_float_limits(float low, float high);
  void set_int_limits(int low, int high);
  void set_float_val(float new_value) override;
  void set_float_val(float new_value, float new_value2);
  void set_int_val(int new_value) override;
  void set_int_val(int new_value, int new_value2);
  float get_float_val() const { return value; }

  // Geometry in local pixels.
  int span() const { return w - kSpanMargin; }
  int thumb_left() const;   // L
  int thumb_right() const;  // R
  int hit_test(int local_x, int local_y) const;
  float value_at(int local_x) const;           // the right-end and paging rule
  float value_at_left_end(int local_x) const;  // the left end of a range thumb

  // The toolkit's operations.
  int mouse_down_handler(int x, int y) override;
  int mouse_up_handler(int x, int y, int inside) override;
  int mouse_held_down_handler(int x, int y, int inside) override;
  int key_handler(unsigned char key, int modifiers) override;
  int special_handler(int key, int modifiers) override;
  void update_size() override;
  void idle() override;
  int mouse_over(int state, int x, int y) override;
  void draw(int x, int y) override;
  int needs_idle() override;
  void init_live() override;
  bool sync_from_live() override;

  // One step of whatever the press holds, then output.
  void step();
  // Moves both values by d.
  void shift(float d);
  void keep_in_range();
  // Writes the live variable; calls back and redisplays only on a change.
  void output();
};
