// Drawing: the window's display pass, the standard images and the draw() of
// every built-in control. Nothing here changes a control's state.
#include <GL/gl.h>

#include <cmath>

#include "toolkit/glui.h"
#include "toolkit/glui_draw.h"
#include "toolkit/glui_layout.h"
#include "toolkit/glui_platform.h"

using namespace glui_layout;

// ===========================================================================
// Primitives
// ===========================================================================
namespace {
// Where the control being drawn sits, and the window's height: the half-tone
// is laid on whole window pixels, so it needs to know where they are.
int origin_x = 0;
int origin_y = 0;
int frame_height = 0;
}  // namespace

void glui_fill_rect(int x0, int y0, int x1, int y1) {
  if (x1 <= x0 || y1 <= y0) return;
  glBegin(GL_QUADS);
  glVertex2i(x0, y0);
  glVertex2i(x1, y0);
  glVertex2i(x1, y1);
  glVertex2i(x0, y1);
  glEnd();
}

// Every other pixel of the box, as a 50 % checkerboard anchored to the
// window's bottom-left corner (so neighbouring boxes line up): a pixel is
// set when its column plus its row counted from the bottom is even. Each is
// drawn as a point at its centre, which every rasteriser puts in that pixel.
void glui_fill_checker(int x0, int y0, int x1, int y1) {
  glBegin(GL_POINTS);
  for (int y = y0; y < y1; ++y) {
    const int row_from_bottom = frame_height - 1 - (origin_y + y);
    for (int x = x0; x < x1; ++x) {
      if ((origin_x + x + row_from_bottom) % 2 != 0) continue;
      glVertex2f(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f);
    }
  }
  glEnd();
}

void glui_hline(int x0, int x1, int y) { glui_fill_rect(x0, y, x1 + 1, y + 1); }

void glui_vline(int x, int y0, int y1) { glui_fill_rect(x, y0, x + 1, y1 + 1); }

void glui_color(int grey) { glColor3ub(grey, grey, grey); }

void glui_color(int r, int g, int b) { glColor3ub(r, g, b); }

void glui_draw_text(int x, int y, const char* text) {
  // The raster position is a pixel corner; one down puts the baseline on row y.
  Text().draw(TextFont::kHelvetica12, static_cast<float>(x), static_cast<float>(y + 1), 0.0f,
              text);
}

// ===========================================================================
// Standard images, made once from their shapes
// ===========================================================================
namespace {

constexpr int kMaxImage = 16;
constexpr int kClear = -1;

struct Image {
  int w = 0, h = 0;
  int pixel[kMaxImage][kMaxImage];  // 0xRRGGBB, or kClear
};

int Grey(int v) { return (v << 16) | (v << 8) | v; }

// A sunken circle, 14 by 14: dark rings to the top left, light to the bottom
// right, a white (or, disabled, light grey) inside, a dot when on.
Image RadioImage(bool on, bool disabled) {
  Image image;
  image.w = image.h = 14;
  for (int row = 0; row < 14; ++row) {
    for (int col = 0; col < 14; ++col) {
      const float dx = col + 0.5f - 7.0f;
      const float dy = row + 0.5f - 7.0f;
      const float r = std::sqrt(dx * dx + dy * dy);
      const bool top_left = dx + dy < 0.0f;
      int colour = kClear;
      if (r <= 2.3f && on) {
        colour = disabled ? Grey(kShadow) : 0;
      } else if (r <= 5.0f) {
        colour = disabled ? Grey(kDisabledInterior) : Grey(255);
      } else if (r <= 6.0f) {
        colour = top_left ? 0 : Grey(kLightShadow);
      } else if (r <= 7.0f) {
        colour = top_left ? Grey(kShadow) : Grey(255);
      }
      image.pixel[row][col] = colour;
    }
  }
  return image;
}

// A sunken square, 13 by 13, with a tick when on.
Image CheckboxImage(bool on, bool disabled) {
  Image image;
  image.w = image.h = 13;
  for (int row = 0; row < 13; ++row) {
    for (int col = 0; col < 13; ++col) {
      int colour;
      if (row == 12 || col == 12) {
        colour = Grey(255);
      } else if (row == 0 || col == 0) {
        colour = Grey(kShadow);
      } else if (row == 11 || col == 11) {
        colour = Grey(kLightShadow);
      } else if (row == 1 || col == 1) {
        colour = 0;
      } else {
        colour = disabled ? Grey(kDisabledInterior) : Grey(255);
      }
      image.pixel[row][col] = colour;
    }
  }
  if (on) {
    // Down from (3, 4) to (5, 6), then up to (9, 2): three pixels thick.
    for (int col = 3; col <= 9; ++col) {
      const int top = col <= 5 ? col + 1 : 11 - col;
      for (int row = top; row <= top + 2; ++row) {
        image.pixel[row][col] = disabled ? Grey(kShadow) : 0;
      }
    }
  }
  return image;
}

// A raised 16 by 16 square with a black triangle pointing its way.
Image ArrowImage(int which) {
  Image image;
  image.w = image.h = 16;
  for (int row = 0; row < 16; ++row) {
    for (int col = 0; col < 16; ++col) {
      int colour = Grey(kBackground);
      if (row == 15 || col == 15) {
        colour = 0;
      } else if (row == 0 || col == 0) {
        colour = Grey(255);
      } else if (row == 14 || col == 14) {
        colour = Grey(kShadow);
      }
      image.pixel[row][col] = colour;
    }
  }
  for (int k = 0; k < 4; ++k) {
    for (int across = 7 - k; across <= 8 + k; ++across) {
      switch (which) {
        case GLUI_STDBITMAP_LEFT_ARROW: image.pixel[across][6 + k] = 0; break;
        case GLUI_STDBITMAP_RIGHT_ARROW: image.pixel[across][9 - k] = 0; break;
        case GLUI_STDBITMAP_UP_ARROW: image.pixel[6 + k][across] = 0; break;
        default: image.pixel[9 - k][across] = 0; break;
      }
    }
  }
  return image;
}

const Image& StdImage(int which) {
  static Image images[GLUI_STDBITMAP_NUM_ITEMS];
  static bool made = false;
  if (!made) {
    images[GLUI_STDBITMAP_CHECKBOX_OFF] = CheckboxImage(false, false);
    images[GLUI_STDBITMAP_CHECKBOX_ON] = CheckboxImage(true, false);
    images[GLUI_STDBITMAP_CHECKBOX_OFF_DIS] = CheckboxImage(false, true);
    images[GLUI_STDBITMAP_CHECKBOX_ON_DIS] = CheckboxImage(true, true);
    images[GLUI_STDBITMAP_RADIOBUTTON_OFF] = RadioImage(false, false);
    images[GLUI_STDBITMAP_RADIOBUTTON_ON] = RadioImage(true, false);
    images[GLUI_STDBITMAP_RADIOBUTTON_OFF_DIS] = RadioImage(false, true);
    images[GLUI_STDBITMAP_RADIOBUTTON_ON_DIS] = RadioImage(true, true);
    for (int arrow = GLUI_STDBITMAP_UP_ARROW; arrow <= GLUI_STDBITMAP_RIGHT_ARROW; ++arrow) {
      images[arrow] = ArrowImage(arrow);
    }
    made = true;
  }
  return images[which];
}

}  // namespace

void glui_draw_std_bitmap(int which, int x, int y) {
  if (which < 0 || which >= GLUI_STDBITMAP_NUM_ITEMS) return;
  const Image& image = StdImage(which);
  for (int row = 0; row < image.h; ++row) {
    for (int col = 0; col < image.w; ++col) {
      const int colour = image.pixel[row][col];
      if (colour == kClear) continue;
      glui_color(colour >> 16, (colour >> 8) & 0xFF, colour & 0xFF);
      glui_fill_rect(x + col, y + row, x + col + 1, y + row + 1);
    }
  }
}

// ===========================================================================
// Control base helpers
// ===========================================================================
void GLUI_Control::draw_raised_box(int x, int y, int bw, int bh) const {
  glui_color(255);
  glui_hline(x, x + bw - 1, y);
  glui_vline(x, y, y + bh - 1);
  glui_color(0);
  glui_hline(x, x + bw - 1, y + bh - 1);
  glui_vline(x + bw - 1, y, y + bh - 1);
  glui_color(kShadow);
  glui_hline(x + 1, x + bw - 2, y + bh - 2);
  glui_vline(x + bw - 2, y + 1, y + bh - 2);
}

void GLUI_Control::draw_lowered_box(int x, int y, int bw, int bh) const {
  glui_color(0);
  glui_hline(x, x + bw - 1, y);
  glui_vline(x, y, y + bh - 1);
  glui_color(255);
  glui_hline(x, x + bw - 1, y + bh - 1);
  glui_vline(x + bw - 1, y, y + bh - 1);
  glui_color(kShadow);
  glui_hline(x + 1, x + bw - 2, y + 1);
  glui_vline(x + 1, y + 1, y + bh - 2);
}

void GLUI_Control::draw_name(int x, int y) const {
  if (enabled) {
    glui_color(0);
    glui_draw_text(x, y, name.c_str());
  } else {
    glui_color(255);
    glui_draw_text(x + 1, y + 1, name.c_str());
    glui_color(kDisabledText);
    glui_draw_text(x, y, name.c_str());
  }
}

// ===========================================================================
// Built-in controls
// ===========================================================================
void GLUI_Panel::draw(int, int) {
  if (is_top || panel_type == GLUI_PANEL_NONE) return;
  const int top = name.empty() ? 0 : kPanelFrameOffset;
  if (panel_type == GLUI_PANEL_RAISED) {
    draw_raised_box(0, top, w, h - top);
  } else {
    // Etched: a white outline one pixel down and right of a grey one.
    glui_color(255);
    glui_hline(1, w - 1, top + 1);
    glui_hline(1, w - 1, h - 1);
    glui_vline(1, top + 1, h - 1);
    glui_vline(w - 1, top + 1, h - 1);
    glui_color(kShadow);
    glui_hline(0, w - 2, top);
    glui_hline(0, w - 2, h - 2);
    glui_vline(0, top, h - 2);
    glui_vline(w - 2, top, h - 2);
  }
  if (!name.empty()) {
    const int text_w = GLUI_TextWidth(name.c_str());
    glui_color(kBackground);
    glui_fill_rect(kPanelTitleX - 2, 0, kPanelTitleX + text_w + 2, kPanelTitleBaseline + 2);
    draw_name(kPanelTitleX, kPanelTitleBaseline);
  }
}

void GLUI_StaticText::draw(int, int) { draw_name(0, kStaticTextBaseline); }

void GLUI_Separator::draw(int, int) {
  const int middle = h / 2 - 1;
  glui_color(kShadow);
  glui_hline(0, w - 1, middle);
  glui_color(255);
  glui_hline(0, w - 1, middle + 1);
}

void GLUI_Column::draw(int, int) {
  if (!draw_bar) return;
  const int middle = w / 2 - 1;
  glui_color(kShadow);
  glui_vline(middle, 0, h - 1);
  glui_color(255);
  glui_vline(middle + 1, 0, h - 1);
}

void GLUI_RadioGroup::draw(int, int) {}

namespace {
// The image of a mark (radio button or check box) in its state: images come
// in the order off, on, off disabled, on disabled.
int MarkImage(int off, int on, int off_disabled, int on_disabled, bool enabled, bool checked) {
  if (enabled) return checked ? on : off;
  return checked ? on_disabled : off_disabled;
}
}  // namespace

void GLUI_RadioButton::draw(int, int) {
  glui_draw_std_bitmap(MarkImage(GLUI_STDBITMAP_RADIOBUTTON_OFF, GLUI_STDBITMAP_RADIOBUTTON_ON,
                                 GLUI_STDBITMAP_RADIOBUTTON_OFF_DIS,
                                 GLUI_STDBITMAP_RADIOBUTTON_ON_DIS, enabled, selected()),
                       0, 0);
  draw_name(kLabelX, kLabelBaseline);
}

void GLUI_Checkbox::draw(int, int) {
  glui_draw_std_bitmap(MarkImage(GLUI_STDBITMAP_CHECKBOX_OFF, GLUI_STDBITMAP_CHECKBOX_ON,
                                 GLUI_STDBITMAP_CHECKBOX_OFF_DIS, GLUI_STDBITMAP_CHECKBOX_ON_DIS,
                                 enabled, int_val != 0),
                       0, 0);
  draw_name(kLabelX, kLabelBaseline);
}

void GLUI_Button::draw(int, int) {
  if (currently_pressed) {
    draw_lowered_box(0, 0, w, h);
  } else {
    draw_raised_box(0, 0, w, h);
  }
  const int text_w = GLUI_TextWidth(name.c_str());
  const int shift = currently_pressed ? 1 : 0;
  draw_name((w - text_w) / 2 + shift, kButtonBaseline + shift);
}

// ===========================================================================
// The window
// ===========================================================================
namespace {
void DrawTree(GLUI_Control* control) {
  if (control->hidden) return;
  origin_x = control->x_abs;
  origin_y = control->y_abs;
  glPushMatrix();
  glTranslatef(static_cast<float>(control->x_abs), static_cast<float>(control->y_abs), 0.0f);
  control->draw(0, 0);
  glPopMatrix();
  for (GLUI_Control* child : control->children) DrawTree(child);
}
}  // namespace

void GLUI::display(int width, int height) {
  frame_height = height;
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0.0, width, height, 0.0, -1.0, 1.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_LIGHTING);
  glDisable(GL_BLEND);
  glShadeModel(GL_FLAT);
  glClearColor(kBackground / 255.0f, kBackground / 255.0f, kBackground / 255.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  DrawTree(main_panel);
}
