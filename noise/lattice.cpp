#include "noise/lattice.h"

Lattice NoiseLattice;

namespace {
uint32_t generatorState = 0;
}

void SeedGenerator(uint32_t seed) { generatorState = seed; }

uint32_t GeneratorState() { return generatorState; }

int NextRandom() {
  generatorState = generatorState * 214013u + 2531011u;
  return static_cast<int>((generatorState >> 16) & 32767u);
}

float RandomInRange(float low, float high) {
  const int r = NextRandom();
  const double lo = low;
  const double hi = high;
  return static_cast<float>(lo + (hi - lo) * r / 32767.0);
}

void FillLattice() {
  for (int i = 0; i < kLatticeSize; i++) {
    for (int j = 0; j < kLatticeSize; j++) {
      LatticePoint& p = NoiseLattice[i][j];
      p.x = static_cast<float>(j);
      p.y = static_cast<float>(i);
      p.value = RandomInRange(kRandomValueLow, kRandomValueHigh);
      p.gx = RandomInRange(-kGradientBound, kGradientBound);
      p.gy = RandomInRange(-kGradientBound, kGradientBound);
      p.cx = 0.0f;
      p.cy = 0.0f;
    }
  }
}
