// Drawing primitives of the toolkit, for controls built on it.
//
// They work in the panel window's pixels, origin at the top-left, y
// downwards, inside the transform the window sets for each control (its
// top-left corner at the origin). Every shape is made of whole pixels.
#pragma once

// Fills the pixels x0 <= x < x1, y0 <= y < y1 in the current colour.
void glui_fill_rect(int x0, int y0, int x1, int y1);
// Every other pixel of that box (a 50 % half-tone, aligned to the window).
void glui_fill_checker(int x0, int y0, int x1, int y1);
// The pixels of row y from x0 to x1, both included.
void glui_hline(int x0, int x1, int y);
// The pixels of column x from y0 to y1, both included.
void glui_vline(int x, int y0, int y1);
void glui_color(int grey);
void glui_color(int r, int g, int b);
// One of the toolkit's standard images (GLUI_STDBITMAP_*) with its
// top-left pixel at (x, y).
void glui_draw_std_bitmap(int which, int x, int y);
// Text in the toolkit's font with its baseline starting at (x, y).
void glui_draw_text(int x, int y, const char* text);
