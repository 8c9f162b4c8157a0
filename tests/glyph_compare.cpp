// Draws every character of both fonts once with GLUT's bitmaps and once from
// the glyph tables, in a window of its own, and prints each character whose
// pixels differ with the pixels (relative to the pen) that only one of them
// sets:
//   FONT CODE glut-only: x,y ... table-only: x,y ...
// then "compared N". Run on a display; tests/e2e/test_glyphs.py reads it.
#include <GL/glut.h>

#include <cstdio>
#include <set>
#include <utility>

#include "render/bitmap_text.h"
#include "toolkit/glui_platform.h"

namespace {

constexpr int kSize = 64;
constexpr int kPen = 20;  // the pen's pixel, with room on every side

using Pixels = std::set<std::pair<int, int>>;

Pixels Draw(TextRenderer& text, TextFont font, char c) {
  glClear(GL_COLOR_BUFFER_BIT);
  const char s[2] = {c, '\0'};
  text.draw(font, kPen, kPen, 0.0f, s);
  glFinish();
  static unsigned char red[kSize * kSize];
  glReadPixels(0, 0, kSize, kSize, GL_RED, GL_UNSIGNED_BYTE, red);
  Pixels set;
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      if (red[y * kSize + x] != 0) set.insert({x - kPen, y - kPen});
    }
  }
  return set;
}

void PrintOnly(const char* label, const Pixels& a, const Pixels& b) {
  printf(" %s:", label);
  for (const auto& p : a) {
    if (b.count(p) == 0) printf(" %d,%d", p.first, p.second);
  }
}

}  // namespace

int main(int argc, char** argv) {
  glutInit(&argc, argv);
  glutInitDisplayMode(GLUT_RGB | GLUT_SINGLE);
  glutInitWindowSize(kSize, kSize);
  glutCreateWindow("glyph compare");
  glViewport(0, 0, kSize, kSize);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, kSize, 0, kSize, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glClearColor(0, 0, 0, 1);
  glColor3f(1, 1, 1);

  int compared = 0;
  const std::pair<TextFont, const char*> fonts[] = {{TextFont::kFixed9x15, "fixed9x15"},
                                                    {TextFont::kHelvetica12, "helvetica12"}};
  for (const auto& [font, name] : fonts) {
    for (int code = 32; code <= 126; ++code) {
      const Pixels glut = Draw(GLUI_GlutText(), font, static_cast<char>(code));
      const Pixels table = Draw(BitmapText(), font, static_cast<char>(code));
      const char s[2] = {static_cast<char>(code), '\0'};
      const int glut_width = GLUI_GlutText().width(font, s);
      const int table_width = BitmapText().width(font, s);
      ++compared;
      if (glut == table && glut_width == table_width) continue;
      printf("%s %d width %d %d", name, code, glut_width, table_width);
      PrintOnly("glut-only", glut, table);
      PrintOnly("table-only", table, glut);
      printf("\n");
    }
  }
  printf("compared %d\n", compared);
  return 0;
}
