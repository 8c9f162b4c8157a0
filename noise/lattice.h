// The random lattice every noise evaluation reads, and the generator that
// fills it.
//
// All randomness lives in NoiseLattice; nothing random is drawn while drawing.
// The first eight points of row 0 double as the graph's control points, so an
// edit of a control point is an edit of the lattice itself.
#pragma once

#include <cstdint>

// The noise value range shared by every evaluation and display.
constexpr float kNoiseMin = 0.0f;
constexpr float kNoiseMax = 1.0f;
constexpr float kNoiseMid = (kNoiseMin + kNoiseMax) / 2.0f;
constexpr float kRandomValueHigh = 0.75f;  // values are drawn from [0.25, 0.75]
constexpr float kRandomValueLow = kNoiseMax - kRandomValueHigh;
constexpr float kGradientBound = 1.0f;
constexpr float kCurvatureBound = 10.0f;

constexpr int kLatticeSize = 1024;

struct LatticePoint {
  float x;      // column index, as a float
  float y;      // row index, as a float
  float value;
  float gx;     // slope along x
  float gy;     // slope along y
  float cx;     // curvature along x
  float cy;     // curvature along y
};

// [row][column].
using Lattice = LatticePoint[kLatticeSize][kLatticeSize];

// The program's lattice: the one the windows show and the exports write.
// The noise functions read whichever lattice they are handed, this one
// unless told otherwise; control point i is NoiseLattice[0][i].
extern Lattice NoiseLattice;

// The four corners of the lattice cell whose lower left corner is row iy,
// column ix: p10 one column along, p01 one row up. Every 2D evaluation
// fetches its cell through this.
struct CellCorners {
  const LatticePoint& p00;
  const LatticePoint& p10;
  const LatticePoint& p01;
  const LatticePoint& p11;
};

inline CellCorners CornersOf(const Lattice& lattice, int ix, int iy) {
  return {lattice[iy][ix], lattice[iy][ix + 1], lattice[iy + 1][ix], lattice[iy + 1][ix + 1]};
}

// ---------------------------------------------------------------------------
// Generator: a 32-bit linear congruential generator with a 0..32767 range,
// our own so the lattice for a given seed is the same on every platform.
// ---------------------------------------------------------------------------
constexpr int kRandomMax = 32767;

void SeedGenerator(uint32_t seed);
// The state the next draw starts from: seeding with it again repeats the
// sequence from here.
uint32_t GeneratorState();
int NextRandom();  // 0..kRandomMax

// A float spread uniformly over [low, high], both ends reachable: the divisor
// is 32767, so a draw of 0 gives exactly low and 32767 exactly high.
float RandomInRange(float low, float high);

// Fills every point, rows then columns, drawing value, gx, gy in that order
// (three draws per point). Does not reseed: each call continues the sequence.
void FillLattice();
