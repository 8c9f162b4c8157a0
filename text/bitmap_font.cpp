#include "text/bitmap_font.h"

const BitmapFont& FontFor(TextFont font) {
  return font == TextFont::kHelvetica12 ? Helvetica12() : Fixed9x15();
}

const BitmapGlyph* GlyphOf(const BitmapFont& font, char c) {
  const int code = static_cast<unsigned char>(c);
  if (code < kFirstGlyph || code > kLastGlyph) return nullptr;
  return &font.glyphs[code - kFirstGlyph];
}

bool GlyphPixel(const BitmapFont& font, const BitmapGlyph& glyph, int x, int y) {
  const int row_bytes = (glyph.width + 7) / 8;
  const unsigned char byte = font.bits[glyph.start + y * row_bytes + x / 8];
  return (byte >> (7 - x % 8)) & 1;
}

int BitmapTextWidth(const BitmapFont& font, const char* text) {
  int width = 0;
  for (const char* c = text; *c != '\0'; ++c) {
    if (const BitmapGlyph* glyph = GlyphOf(font, *c)) width += glyph->advance;
  }
  return width;
}

int BitmapLineHeight(const BitmapFont& font) { return font.ascent + font.descent; }
