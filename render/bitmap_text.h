// Text drawn from our own glyph tables (text/bitmap_font.h) with the GL every
// target has: one point per set pixel. Installed with SetText by a front end
// without GLUT's fonts, it draws the pixels GLUT's glBitmap would for the
// same glyphs.
#pragma once

#include "text/text.h"

TextRenderer& BitmapText();
