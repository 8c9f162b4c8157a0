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

int CurrentFromHits(const PickHits& hits, bool debug) {
  if (debug) {
    fprintf(stderr, "# pick hits = %d\n", hits.count);
    for (int j = 0; j < hits.count; j++) {
      fprintf(stderr, "Hit # %2d found %2u items on the name stack\n", j, 1u);
      fprintf(stderr, "\tZmin = %8u, Zmax = %8u\n", 2147483648u, 2147483648u);
    }
  }
  return hits.count > 0 ? hits.index[hits.count - 1] : -1;
}

float DragValue(int height, int y) {
  // With no height to map through, fall back to the drawing's own 500 units.
  const double h = height > 0 ? height : kGraphUnitsHigh;
  const double above = (h - y) * kGraphUnitsHigh / h;
  float v = static_cast<float>((kNoiseMax - kNoiseMin) * (above - kBottomMargin) / kGraphHeight +
                               kNoiseMin);
  if (v < kDragValueMin) v = kDragValueMin;
  if (v > kDragValueMax) v = kDragValueMax;
  return v;
}
