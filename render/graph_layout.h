// The graph's fixed drawing: 700 by 500 units with (0, 0) at the bottom
// left, stretched over the window whatever its size.
#pragma once

constexpr int kGraphUnitsWide = 700;
constexpr int kGraphUnitsHigh = 500;
constexpr int kLeftMargin = 50;
constexpr int kRightMargin = 50;
constexpr int kBottomMargin = 150;
constexpr int kTopMargin = 50;
constexpr int kGraphWidth = kGraphUnitsWide - kLeftMargin - kRightMargin;    // 600
constexpr int kGraphHeight = kGraphUnitsHigh - kBottomMargin - kTopMargin;  // 300
constexpr int kPickSize = 10;  // pixels of the pick region on each side
constexpr int kControlPoints = 8;

// With the derivatives view on, the room below the x axis is shared: the
// grey bar narrows to the band under the axis's title, the strip of f' and
// f'' takes the rest, with its zero line across the middle, and one line of
// text runs along the bottom. The graph itself, and so every dot's place
// and a drag's value, stays where it always is.
struct StripLayout {
  float barBottom, barTop;  // the narrowed grey bar
  float bottom, top;        // the strip of f' and f''
  float textY;              // its line of text
};
constexpr StripLayout kStrip{103.0f, 114.0f, 18.0f, 96.0f, 3.0f};
// Where the axes' numbers are drawn: the noise axis's to its left, level
// with each tick, the x axis's below it.
constexpr int kNoiseNumberX = kLeftMargin - 30;  // 20
constexpr int kXNumberY = kBottomMargin - 20;    // 130

// The top margin's text: the graph's value under the pointer (the stats
// view) and the octaves' legend, with its explanation 24 glyphs on.
struct Place {
  float x, y;
};
constexpr Place kReading{100.0f, 458.0f};
constexpr Place kLegend{kLeftMargin, kBottomMargin + kGraphHeight + 25.0f};
constexpr int kExplanationGlyphs = 24;

// The fixed font's cell in pixels: every glyph's ink lies within its
// advance across and from `descent` below the baseline to `ascent` above.
struct GlyphCell {
  int advance, ascent, descent;
};

// Window pixels counted from the bottom left: [left, right) by [bottom, top).
struct PixelBox {
  int left, bottom, right, top;
};

// One line of the top margin: where DrawString puts it, and every pixel its
// glyphs may light there.
struct MarginText {
  bool shown;
  Place at;      // its first glyph's origin, in drawing units
  PixelBox box;  // in the window's pixels
};

// What the top margin is asked to hold in a window of width by height
// pixels. The reading comes in up to three forms, longest first (in full,
// without the slope, the value alone), as glyph counts; with the stats view
// on and the pointer off the graph they are a typical reading's, so that its
// line is kept and the legend stays where it is as the pointer comes and
// goes.
struct TopMarginRequest {
  int width, height;
  bool reading;        // the stats view is on
  bool readingShown;   // and the pointer is over the graph's 0 to 7
  int readingGlyphs[3];
  int legendGlyphs;       // "octave 1 2 ..."; 0 without the octaves view
  int explanationGlyphs;  // the legend's explanation
};
struct TopMargin {
  bool asEver;      // at the places the graph always had them, in units
  int readingForm;  // the form shown, -1 for none
  MarginText reading, legend, explanation;
};
TopMargin LayOutTopMargin(const TopMarginRequest& request, const GlyphCell& cell);

// The boxes the top margin keeps clear of, in the same window: the noise
// axis's numbers (`glyphs` wide, "1.00" at the top, down to "0.00"), and
// the x axis's numbers, whose tops are the lowest row the margin's text may
// reach down to (everything drawn lower is in the bar and strip below).
PixelBox NoiseNumbersBox(int width, int height, const GlyphCell& cell, int glyphs);
int XNumbersTop(int height, const GlyphCell& cell);

// The graph window's size when it opens, in pixels, whatever the drawing's
// units; the other windows open beside and below it.
constexpr int kGraphWindowWidth = kGraphUnitsWide;
constexpr int kGraphWindowHeight = kGraphUnitsHigh;

// How one graph axis is divided and labelled.
struct AxisScale {
  int count;
  float minimum;
  float step;
};
