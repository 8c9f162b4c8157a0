#include "render/bitmap_text.h"

#include <GL/gl.h>

#include <cmath>

#include "text/bitmap_font.h"

namespace {

// The window position GL gives a raster position: object coordinates through
// the modelview and projection matrices and the viewport, in single
// precision. False where the point lies outside the clip volume, where GL
// would mark the raster position invalid and draw no text at all.
bool WindowPosition(float x, float y, float z, float* wx, float* wy) {
  float mv[16], pr[16];
  GLint vp[4];
  glGetFloatv(GL_MODELVIEW_MATRIX, mv);
  glGetFloatv(GL_PROJECTION_MATRIX, pr);
  glGetIntegerv(GL_VIEWPORT, vp);
  float eye[4], clip[4];
  for (int r = 0; r < 4; ++r) eye[r] = mv[r] * x + mv[4 + r] * y + mv[8 + r] * z + mv[12 + r];
  for (int r = 0; r < 4; ++r) {
    clip[r] = pr[r] * eye[0] + pr[4 + r] * eye[1] + pr[8 + r] * eye[2] + pr[12 + r] * eye[3];
  }
  const float w = clip[3];
  for (int i = 0; i < 3; ++i) {
    if (clip[i] < -w || clip[i] > w) return false;
  }
  *wx = static_cast<float>(vp[0]) + (clip[0] / w + 1.0f) * 0.5f * static_cast<float>(vp[2]);
  *wy = static_cast<float>(vp[1]) + (clip[1] / w + 1.0f) * 0.5f * static_cast<float>(vp[3]);
  return true;
}

class GlyphTableText : public TextRenderer {
 public:
  int width(TextFont font, const char* text) override {
    return BitmapTextWidth(FontFor(font), text);
  }
  int line_height(TextFont font) override { return BitmapLineHeight(FontFor(font)); }

  void draw(TextFont which, float x, float y, float z, const char* text) override {
    float wx, wy;
    if (!WindowPosition(x, y, z, &wx, &wy)) return;
    // A bitmap's first pixel is the raster position rounded down; GL
    // implementations add a small epsilon first so that a position computed
    // as 39.99999 for 40 still lands on 40.
    constexpr float kEpsilon = 0.0001f;
    int pen_x = static_cast<int>(std::floor(wx + kEpsilon));
    const int pen_y = static_cast<int>(std::floor(wy + kEpsilon));

    GLint viewport[4], mode;
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    // Window pixels for the points: pixel (i, j) is the point at its centre.
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(viewport[0], viewport[0] + viewport[2], viewport[1], viewport[1] + viewport[3], -1.0,
            1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    const BitmapFont& font = FontFor(which);
    glBegin(GL_POINTS);
    for (const char* c = text; *c != '\0'; ++c) {
      const BitmapGlyph* glyph = GlyphOf(font, *c);
      if (glyph == nullptr) continue;
      for (int j = 0; j < glyph->height; ++j) {
        for (int i = 0; i < glyph->width; ++i) {
          if (!GlyphPixel(font, *glyph, i, j)) continue;
          glVertex2f(static_cast<float>(pen_x + glyph->left + i) + 0.5f,
                     static_cast<float>(pen_y + glyph->bottom + j) + 0.5f);
        }
      }
      pen_x += glyph->advance;
    }
    glEnd();

    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(static_cast<GLenum>(mode));
  }
};

GlyphTableText glyph_table_text;

}  // namespace

TextRenderer& BitmapText() { return glyph_table_text; }
