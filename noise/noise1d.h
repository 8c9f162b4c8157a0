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

// The curve's first and second derivative in x at x, from the Hermite
// blend's own derivatives octave by octave, in floats. Inside an interval of
// every octave both sides agree; at a lattice point of some octave (x * 2^k
// a whole number) kRight takes the interval Noise1D takes there, the one that
// starts at x, and kLeft the one that ends at x, so that comparing the two
// shows whether f' and f'' are continuous there. Position 0 has no left side.
// `piece` changes wherever a derivative may jump inside an interval (a
// turbulence fold, bit k for octave k under the midpoint) or between intervals
// (the Catmull-Rom slope's one-sided end at point 7, bit 8 + k): a drawing
// joins two samples only when their pieces are the same.
enum class Noise1DSide { kRight, kLeft };
struct Noise1DSlope {
  float d1;  // f'(x)
  float d2;  // f''(x)
  unsigned piece;
};
Noise1DSlope Noise1DDerivatives(float x, const NoiseSettings& settings,
                                Noise1DSide side = Noise1DSide::kRight,
                                const Lattice& lattice = NoiseLattice);
