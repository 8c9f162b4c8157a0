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
