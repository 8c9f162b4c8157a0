// The 512 by 512 RGB image of the two-dimensional noise, and its fills.
#pragma once

#include <cstdint>

#include "noise/noise2d.h"

// Row 0 first in memory, shown along the bottom of the texture window;
// three bytes per texel (red, green, blue), no padding.
using TextureRow = uint8_t[kTextureSize][3];
extern TextureRow NoiseTexture[kTextureSize];

// Recomputes every texel from the lattice and the current settings: the
// texel's FractalNoise2D value in the selected colour scale. This is the fast
// fill (render/texture_fill_fast.h): vector registers and every core, all
// joined before it returns, and the same bytes as the reference.
void FillTextureImage(TextureRow* image);

// The same image, one FractalNoise2D call per texel. The fast fill must match
// it byte for byte; it is kept as the tests' and benchmarks' reference.
void FillTextureImageReference(TextureRow* image);
