// The 512 by 512 RGB image of the two-dimensional noise, and its fills.
#pragma once

#include <cstdint>

#include "noise/noise2d.h"

// Row 0 first in memory, shown along the bottom of the texture window;
// three bytes per texel (red, green, blue), no padding.
using TextureRow = uint8_t[kTextureSize][3];
extern TextureRow NoiseTexture[kTextureSize];

// Every texel from the lattice: its FractalNoise2D value under `settings` in
// colour scale `colourScale`, one call per texel. The fast fill
// (render/texture_fill_fast.h) must match it byte for byte; it is kept as the
// tests' and benchmarks' reference.
void FillTextureImageReference(TextureRow* image, const NoiseSettings& settings,
                               int colourScale, const Lattice& lattice = NoiseLattice);

// The octave views' reference: octaves firstOctave .. settings.octaveIndex of
// OctavesNoise2D, and, when values is not null, each texel's value there too
// (row 0 first).
void FillTextureOctavesReference(TextureRow* image, const NoiseSettings& settings,
                                 int firstOctave, int colourScale, const Lattice& lattice,
                                 float* values);
