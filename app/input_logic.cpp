#include "app/input_logic.h"

#include <cstdio>

#include "app/app_state.h"
#include "noise/lattice.h"

int ButtonBit(int button) {
  switch (button) {
    case 0: return 4;  // GLUT_LEFT_BUTTON
    case 1: return 2;  // GLUT_MIDDLE_BUTTON
    case 2: return 1;  // GLUT_RIGHT_BUTTON
    default: return 0;
  }
}

int ReadPickHits(const uint32_t* buffer, int capacity, int hits, bool debug) {
  int current = -1;
  int at = 0;
  for (int j = 0; j < hits; j++) {
    if (at + 3 > capacity) break;
    const uint32_t names = buffer[at];
    const uint32_t zmin = buffer[at + 1];
    const uint32_t zmax = buffer[at + 2];
    at += 3;
    if (debug) {
      fprintf(stderr, "Hit # %2d found %2u items on the name stack\n", j, names);
      fprintf(stderr, "\tZmin = %8u, Zmax = %8u\n", zmin, zmax);
    }
    for (uint32_t k = 0; k < names && at < capacity; k++) {
      // Only control points carry names; anything else cannot be current.
      if (buffer[at] < static_cast<uint32_t>(kControlPoints)) current = static_cast<int>(buffer[at]);
      at++;
    }
  }
  return current;
}

float DragValue(int height, int y) {
  // With no height to map through, fall back to the drawing's own 500 units.
  const double h = height > 0 ? height : kGraphWindowHeight;
  const double above = (h - y) * kGraphWindowHeight / h;
  float v = static_cast<float>((kNoiseMax - kNoiseMin) * (above - kBottomMargin) / kGraphHeight +
                               kNoiseMin);
  if (v < kDragValueMin) v = kDragValueMin;
  if (v > kDragValueMax) v = kDragValueMax;
  return v;
}
