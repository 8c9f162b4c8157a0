// Glyphs as data: the two fonts the program writes in, converted at build
// time from the X bitmap fonts Debian ships (scripts/font_to_cpp.py), for a
// front end that has no GLUT fonts to draw with. Pure tables and arithmetic,
// no GL: render/bitmap_text.h draws them.
#pragma once

#include "text/text.h"

// One character. Its ink is a box of width x height pixels whose bottom-left
// pixel is (left, bottom) from the origin on the baseline; rows run bottom to
// top, each ceil(width / 8) bytes, the leftmost pixel in a byte's top bit.
struct BitmapGlyph {
  int advance;
  int left;
  int bottom;
  int width;
  int height;
  int start;  // the glyph's first byte in BitmapFont::bits
};

struct BitmapFont {
  int ascent;
  int descent;
  const BitmapGlyph* glyphs;  // characters kFirstGlyph to kLastGlyph
  const unsigned char* bits;
};

constexpr int kFirstGlyph = 32;
constexpr int kLastGlyph = 126;

// The generated tables.
const BitmapFont& Fixed9x15();
const BitmapFont& Helvetica12();

const BitmapFont& FontFor(TextFont font);

// The glyph of a character; one outside 32 to 126 has none (it draws
// nothing and does not move the pen).
const BitmapGlyph* GlyphOf(const BitmapFont& font, char c);

// Whether pixel (x, y) of a glyph's box is set, (0, 0) its bottom-left.
bool GlyphPixel(const BitmapFont& font, const BitmapGlyph& glyph, int x, int y);

// The sum of the advances, as GLUT measures a string.
int BitmapTextWidth(const BitmapFont& font, const char* text);

// The distance between two baselines: the font's ascent plus descent. (GLUT
// reports 16 for both of its fonts, a cell height of its own; nothing in the
// program asks.)
int BitmapLineHeight(const BitmapFont& font);
