// The settings every noise evaluation reads, as one small plain record.
//
// The panel's controls write these fields directly (they are its live
// variables), so each is an int holding the 0-based position of the chosen
// button; the noise code takes the record as a parameter and reads nothing
// else of the program's state.
#pragma once

enum NoiseType { kValueOnly = 0, kGradientOnly = 1, kValueGradient = 2 };
enum Interpolation { kCubic = 0, kQuintic = 1 };      // anything but kQuintic is cubic
enum GradientRule { kZeroSlopes = 0, kCatmullRom = 1 };  // for 1D value-only noise

constexpr int kMaxOctaveIndex = 7;  // eight octaves: all the lattice holds

struct NoiseSettings {
  int noiseType;      // NoiseType
  int interpolation;  // Interpolation
  int gradientRule;   // GradientRule
  int octaveIndex;    // 0..7: the number of octaves minus one
  int turbulence;     // 0 off, 1 on
};

// Gradient-only and value+gradient noise read the lattice's slopes and
// curvatures; value-only noise does not.
inline bool UsesGradients(int noiseType) {
  return noiseType == kGradientOnly || noiseType == kValueGradient;
}
