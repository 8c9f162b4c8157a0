// The parts of mouse handling that need no window: which bit a button owns,
// which control point a pick pass found, and what value a drag sets.
#pragma once

#include "render/graph_display.h"

// The button's bit in the mouse button mask: left 4, middle 2, right 1; 0 for
// any other button (the wheel arrives as buttons 3 and 4).
int ButtonBit(int button);

// The control point a press makes current: the last dot hit (the one drawn
// on top), or -1 when none is. With `debug`, prints the hit count and two
// lines for each hit, in the words of an OpenGL selection record (one name,
// depth 0 at the middle of the depth range), as the traces always read.
int CurrentFromHits(const PickHits& hits, bool debug);

// A dragged value is clamped to this range, wider than the graph's 0 to 1 so
// a point can be pulled below and above what the graph shows.
constexpr float kDragValueMin = -1.0f;
constexpr float kDragValueMax = 1.0f;

// The value a drag to window row y (counted from the top) sets, for a window
// `height` pixels high: the pointer's height is mapped into the 500-unit
// drawing, whose graph spans 0 to 1 from 150 to 450 units, and clamped to
// [kDragValueMin, kDragValueMax]. For a 500-pixel window this is
// (500 - y - 150) / 300.
float DragValue(int height, int y);
