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
// The graph's value under the pointer, in the top margin.
struct Place {
  float x, y;
};
constexpr Place kReading{100.0f, 458.0f};

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
