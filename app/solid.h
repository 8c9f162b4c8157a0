// The STL solid of the current noise: the height field sampled onto the
// solid's grid, with each point's rainbow colour.
#pragma once

#include "export/stl_solid.h"
#include "noise/height_field.h"

static_assert(kHeightFieldSize == kStlGridSize, "the solid is one grid point per sample");

// Everything one solid needs, owned by whoever saves it: about 1.3 MB, so
// made on the heap, not on a callback's stack.
struct Solid {
  HeightField field;
  StlGrid grid;
  StlColours rgb;
};

// Samples the height field under `settings` into the solid's grid and colours.
void SampleSolid(const NoiseSettings& settings, Solid* solid);
