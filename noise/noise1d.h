// One-dimensional fractal noise along lattice row 0, as the graph plots it.
#pragma once

#include "noise/lattice.h"
#include "noise/noise_settings.h"

// Noise at position x (0 <= x <= 7) under the given settings: the sum over
// octaves of Hermite blends between neighbouring points of row 0, centred on
// the midpoint, optionally folded into turbulence. Not clamped: slopes can
// carry it outside [0, 1]. Reads row 0 up to column 7 * 2^k + 2 at octave k.
float Noise1D(float x, const NoiseSettings& settings, const Lattice& lattice = NoiseLattice);

// Noise1D octave by octave: term[k] is what octave k adds to the sum, the
// very float Noise1D adds, in its order, and runningSum[k] the sum after
// octave k with the midpoint added as Noise1D adds it at the end, so that
// runningSum[count - 1] is Noise1D(x) exactly.
struct Noise1DOctaves {
  int count;  // settings.octaveIndex + 1
  float term[kMaxOctaveIndex + 1];
  float runningSum[kMaxOctaveIndex + 1];
};
Noise1DOctaves Noise1DByOctave(float x, const NoiseSettings& settings,
                               const Lattice& lattice = NoiseLattice);
