#include "noise/noise1d.h"

#include <cmath>

#include "noise/hermite.h"
#include "noise/lattice.h"

namespace {

// Catmull-Rom slopes for value-only noise at the ends of interval i. The rows
// for i = 0 and i = 6 are one-sided at the graph's first and last control
// point, and they are chosen by the interval index alone, in every octave.
void CatmullRomSlopes(const LatticePoint* row, int i, float& s0, float& s1) {
  auto V = [row](int j) { return row[j].value; };
  if (i == 0) {
    s0 = (V(1) - V(0)) * 0.5f / 1.0f;
    s1 = (V(2) - V(0)) * 0.5f / 2.0f;
  } else if (i == 6) {
    s0 = (V(7) - V(5)) * 0.5f / 2.0f;
    s1 = (V(7) - V(6)) * 0.5f / 2.0f;
  } else {
    s0 = (V(i + 1) - V(i - 1)) * 0.5f / 2.0f;
    s1 = (V(i + 2) - V(i)) * 0.5f / 2.0f;
  }
}

float OctaveValue(const LatticePoint* row, int i, float f, const NoiseSettings& settings) {
  const LatticePoint& a = row[i];
  const LatticePoint& b = row[i + 1];
  switch (settings.noiseType) {
    case kGradientOnly:
      return HermiteBlend(kNoiseMid, a.gx, a.cx, kNoiseMid, b.gx, b.cx, f, settings.interpolation);
    case kValueGradient:
      return HermiteBlend(a.value, a.gx, a.cx, b.value, b.gx, b.cx, f, settings.interpolation);
    default: {
      float s0 = 0.0f;
      float s1 = 0.0f;
      if (settings.gradientRule == kCatmullRom) CatmullRomSlopes(row, i, s0, s1);
      return HermiteBlendNoCurvature(a.value, s0, b.value, s1, f, settings.interpolation);
    }
  }
}

// The fractal sum, handing each octave's term and the sum so far to `each`;
// both entry points run this one loop, so their floats are the same.
template <typename Each>
float FractalSum(float x, const NoiseSettings& settings, const Lattice& lattice, Each each) {
  float sum = 0.0f;
  float divisor = 1.0f;
  float p = x;
  for (int k = 0; k <= settings.octaveIndex; k++) {
    const int i = static_cast<int>(p);
    const float f = p - static_cast<float>(i);
    float e = OctaveValue(lattice[0], i, f, settings);
    if (settings.turbulence) e = std::fabs(e - kNoiseMid) + kNoiseMid;
    const float term = (e - kNoiseMid) / divisor;
    sum = sum + term;
    each(k, term, sum);
    p = 2.0f * p;
    divisor = 2.0f * divisor;
  }
  return sum + kNoiseMid;
}

}  // namespace

float Noise1D(float x, const NoiseSettings& settings, const Lattice& lattice) {
  return FractalSum(x, settings, lattice, [](int, float, float) {});
}

Noise1DOctaves Noise1DByOctave(float x, const NoiseSettings& settings, const Lattice& lattice) {
  Noise1DOctaves o{};
  FractalSum(x, settings, lattice, [&o](int k, float term, float sum) {
    o.term[k] = term;
    o.runningSum[k] = sum + kNoiseMid;
    o.count = k + 1;
  });
  return o;
}
