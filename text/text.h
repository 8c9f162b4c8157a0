// The one door for text.
//
// The graph's labels and the panel's captions are drawn through whatever
// TextRenderer the front end installed: the desktop brings GLUT's bitmap
// fonts, another front end its own glyphs. Nothing that draws text needs to
// know whose glyphs they are, so render/ and toolkit/ both include this and
// nothing else for it. Until a front end installs one, text has no glyphs:
// it measures 0 and draws nothing (a program without a display, or a unit
// test that does not care about text, needs no more).
#pragma once

enum class TextFont {
  kFixed9x15,    // the graph's axis labels
  kHelvetica12,  // the panel's captions
};

class TextRenderer {
 public:
  virtual ~TextRenderer() = default;
  // Advance in pixels of the whole string.
  virtual int width(TextFont font, const char* text) = 0;
  // Distance in pixels between the baselines of two lines.
  virtual int line_height(TextFont font) = 0;
  // Draws the string with the first glyph's origin (on the baseline) at
  // (x, y, z) in the current drawing's coordinates, in the current colour.
  virtual void draw(TextFont font, float x, float y, float z, const char* text) = 0;
};

namespace text_seam {
class NoGlyphs : public TextRenderer {
 public:
  int width(TextFont, const char*) override { return 0; }
  int line_height(TextFont) override { return 0; }
  void draw(TextFont, float, float, float, const char*) override {}
};
inline NoGlyphs no_glyphs;
inline TextRenderer* current = &no_glyphs;
}  // namespace text_seam

// The installed renderer.
inline TextRenderer& Text() { return *text_seam::current; }

// Installs a renderer (null: back to no glyphs) and returns the previous one.
inline TextRenderer* SetText(TextRenderer* renderer) {
  TextRenderer* previous = text_seam::current;
  text_seam::current = renderer ? renderer : &text_seam::no_glyphs;
  return previous;
}
