// Two-dimensional fractal noise over the lattice, as the texture shows it.
//
// This is the plain, obviously correct evaluation; the texture's fast fill
// must reproduce it bit for bit, and the tests hold it to that.
#pragma once

#include "noise/lattice.h"
#include "noise/noise_settings.h"

constexpr int kTextureSize = 512;
constexpr float kTextureSpan = 8.0f;  // lattice cells across the first octave

// Single-octave noise at lattice coordinates (x, y), x along columns and y
// along rows, both non-negative. Not bounded to [0, 1].
float Noise2D(float x, float y, const NoiseSettings& settings,
              const Lattice& lattice = NoiseLattice);

// The value of texel row i (0 at the bottom), column j, in [0, 1]: octaves of
// Noise2D at doubling frequency and halving weight around the midpoint,
// optionally folded into turbulence, then clamped. Reads lattice indices up to
// 1023 at eight octaves and never beyond.
float FractalNoise2D(int i, int j, const NoiseSettings& settings,
                     const Lattice& lattice = NoiseLattice);

// FractalNoise2D over octaves firstOctave .. settings.octaveIndex only (0 is
// the first octave), the first of them at full weight and each next at half
// the weight before, as the texture's octave views show them: firstOctave 0
// is FractalNoise2D itself, operation for operation, and firstOctave equal to
// octaveIndex is that one octave alone at the strength of a first octave.
float OctavesNoise2D(int i, int j, const NoiseSettings& settings, int firstOctave,
                     const Lattice& lattice = NoiseLattice);
