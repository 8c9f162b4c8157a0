// The slider's drawing: arrows, a half-toned track and a raised thumb. It reads
// the state only; a disabled slider looks like an enabled one.
#include "toolkit/glui_draw.h"
#include "ui/hslider.h"

// Coordinates are pixel edges, as the toolkit's rectangles use them: the
// track fills x 17 to w - 16 and y 1 to h, and its black lines run along the
// top and bottom edges of that fill. The arrows are drawn over the track's
// ends so their raised edges stay whole.
void GLUI_HSlider::draw(int, int) {
  if (glui == nullptr || hidden) return;

  const int track_left = 17;
  const int track_right = w - 16;
  glui_color(192);
  glui_fill_rect(track_left, 1, track_right, h);
  glui_color(64);
  glui_fill_checker(track_left, 1, track_right, h);
  glui_color(0);
  glui_hline(track_left, track_right - 1, 0);
  glui_hline(track_left, track_right - 1, h - 1);

  glui_draw_std_bitmap(GLUI_STDBITMAP_LEFT_ARROW, 0, 0);
  glui_draw_std_bitmap(GLUI_STDBITMAP_RIGHT_ARROW, w - 17, 0);

  const int left = thumb_left();
  const int right = thumb_right();
  glui_color(192);
  glui_fill_rect(left + 2, 2, right, h);
  draw_raised_box(left + 1, 1, right - left - 1, h - 1);

  if (range_mode) {
    glui_color(0);
    glui_fill_rect(left, 1, left + 4, h);
    glui_fill_rect(right - 4, 1, right, h);
  }
}
