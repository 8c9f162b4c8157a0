// The parts of mouse handling that need no window: which bit a button owns,
// which control point a pick pass found, and what value a drag sets.
#pragma once

#include <cstdint>

// The button's bit in the mouse button mask: left 4, middle 2, right 1; 0 for
// any other button (the wheel arrives as buttons 3 and 4).
int ButtonBit(int button);

// Reads the hit records a pick pass left in the selection buffer, in buffer
// order, and returns the last name of the last record: the control point that
// becomes current, or -1 when there is no hit. A negative hit count (the
// buffer overflowed) reads nothing. Records are never read past `capacity`
// words. With `debug`, prints each record's name count and depths.
int ReadPickHits(const uint32_t* buffer, int capacity, int hits, bool debug);

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
