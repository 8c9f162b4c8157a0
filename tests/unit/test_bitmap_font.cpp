#include <string>

#include "gtest/gtest.h"
#include "text/bitmap_font.h"

namespace {

const TextFont kFonts[] = {TextFont::kFixed9x15, TextFont::kHelvetica12};

// GLUT draws each glyph as a box from the pen to the next pen position,
// between the font's descent and ascent; the converted glyphs must fit the
// same box, or a neighbour's pixels would be painted over.
TEST(BitmapFont, EveryGlyphsInkLiesInItsCell) {
  for (TextFont which : kFonts) {
    const BitmapFont& font = FontFor(which);
    int next_start = 0;
    for (int code = kFirstGlyph; code <= kLastGlyph; ++code) {
      SCOPED_TRACE(code);
      const BitmapGlyph& g = *GlyphOf(font, static_cast<char>(code));
      EXPECT_GT(g.advance, 0);
      EXPECT_GE(g.left, 0);
      EXPECT_LE(g.left + g.width, g.advance);
      EXPECT_GE(g.bottom, -font.descent);
      EXPECT_LE(g.bottom + g.height, font.ascent);
      // The rows are packed one glyph after another, in character order.
      EXPECT_EQ(g.start, next_start);
      next_start += g.height * ((g.width + 7) / 8);
    }
  }
}

TEST(BitmapFont, InkOnlyWhereTheCharacterHasSome) {
  for (TextFont which : kFonts) {
    const BitmapFont& font = FontFor(which);
    for (int code = kFirstGlyph; code <= kLastGlyph; ++code) {
      const BitmapGlyph& g = *GlyphOf(font, static_cast<char>(code));
      int set = 0;
      for (int y = 0; y < g.height; ++y) {
        for (int x = 0; x < g.width; ++x) set += GlyphPixel(font, g, x, y);
      }
      EXPECT_EQ(set == 0, code == ' ') << "character " << code;
    }
  }
}

// Widths are the sum of the advances; a character without a glyph adds
// nothing, and in the fixed font every glyph is equally wide.
TEST(BitmapFont, WidthsAddUpAdvances) {
  const std::string every = [] {
    std::string s;
    for (int code = kFirstGlyph; code <= kLastGlyph; ++code) s += static_cast<char>(code);
    return s;
  }();
  const BitmapFont& fixed = Fixed9x15();
  EXPECT_EQ(BitmapTextWidth(fixed, every.c_str()),
            static_cast<int>(every.size()) * GlyphOf(fixed, 'M')->advance);
  for (TextFont which : kFonts) {
    const BitmapFont& font = FontFor(which);
    int sum = 0;
    for (char c : every) sum += GlyphOf(font, c)->advance;
    EXPECT_EQ(BitmapTextWidth(font, every.c_str()), sum);
    EXPECT_EQ(BitmapTextWidth(font, ("\t" + every + "\x7f\xe9").c_str()), sum);
    EXPECT_EQ(GlyphOf(font, '\x1f'), nullptr);
    EXPECT_EQ(GlyphOf(font, '\x7f'), nullptr);
    EXPECT_EQ(BitmapLineHeight(font), font.ascent + font.descent);
  }
}

}  // namespace
