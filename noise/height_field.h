// Two-dimensional noise sampled as a height field, for the STL solid.
//
// The solid samples the lattice by rules of its own, not the texture's: one
// lattice cell at the first octave, corner value 0 for Gradient-Only noise,
// Value+Gradient taken as Value-Only, octaves summed without centring and
// turbulence folded once, on the sum.
#pragma once

#include "noise/lattice.h"
#include "noise/noise_settings.h"

constexpr int kHeightFieldSize = 200;  // grid points along each side

struct HeightField {
  // [row][column]: point (i, j) samples lattice position (j / 199, i / 199).
  float sum[kHeightFieldSize][kHeightFieldSize];     // the octave sum, about -1 to 1
  float height[kHeightFieldSize][kHeightFieldSize];  // (sum + 1) / 2: the solid's top
};

// Fills the field from the lattice under the given settings. Octave counts
// outside 1 to 8 are held to that range, the most the lattice holds.
void SampleHeightField(const NoiseSettings& settings, HeightField* field,
                       const Lattice& lattice = NoiseLattice);
