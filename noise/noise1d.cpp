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

// What the blend of octave interval i reads: the value, slope and curvature
// at both ends, by noise type (value-only noise has no curvature).
struct IntervalData {
  float p0, s0, c0, p1, s1, c1;
};

IntervalData DataOf(const LatticePoint* row, int i, const NoiseSettings& settings) {
  const LatticePoint& a = row[i];
  const LatticePoint& b = row[i + 1];
  switch (settings.noiseType) {
    case kGradientOnly:
      return {kNoiseMid, a.gx, a.cx, kNoiseMid, b.gx, b.cx};
    case kValueGradient:
      return {a.value, a.gx, a.cx, b.value, b.gx, b.cx};
    default: {
      float s0 = 0.0f;
      float s1 = 0.0f;
      if (settings.gradientRule == kCatmullRom) CatmullRomSlopes(row, i, s0, s1);
      return {a.value, s0, 0.0f, b.value, s1, 0.0f};
    }
  }
}

float Apply(const HermiteWeights& w, const IntervalData& d) {
  return ApplyHermiteWeights(w, d.p0, d.s0, d.c0, d.p1, d.s1, d.c1);
}

// The same floats HermiteBlend (and HermiteBlendNoCurvature) return.
float OctaveValue(const LatticePoint* row, int i, float f, const NoiseSettings& settings) {
  return Apply(HermiteWeightsAt(f, settings.interpolation), DataOf(row, i, settings));
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

// By the chain rule, octave k's term (e(2^k x) - MID) / 2^k has the slope
// e'(f) * 2^k / 2^k = e'(f) and the curvature e''(f) * 4^k / 2^k = e''(f) * 2^k:
// every octave adds its blend's slope in t unscaled, and its curvature doubled
// once per octave. Both factors are powers of two, so they round nothing.
//
// The turbulence fold |e - MID| + MID multiplies both by the sign of e - MID.
// Where a term touches the midpoint the sign is the side's: from the right
// the sign e - MID takes just after (that of e', else of e''), from the left
// just before (that of -e', else of e''), so each side's value is the limit
// from that side, and the fold's kink shows as a jump.
Noise1DSlope Noise1DDerivatives(float x, const NoiseSettings& settings, Noise1DSide side,
                                const Lattice& lattice) {
  Noise1DSlope out{0.0f, 0.0f, 0u};
  float p = x;
  float scale = 1.0f;  // 2^k
  for (int k = 0; k <= settings.octaveIndex; k++) {
    int i = static_cast<int>(p);
    float f = p - static_cast<float>(i);
    if (side == Noise1DSide::kLeft && f == 0.0f && i > 0) {
      i = i - 1;
      f = 1.0f;
    }
    const IntervalData d = DataOf(lattice[0], i, settings);
    float slope = Apply(HermiteSlopeWeightsAt(f, settings.interpolation), d);
    float curvature = Apply(HermiteCurvatureWeightsAt(f, settings.interpolation), d);
    if (settings.turbulence) {
      const float above = Apply(HermiteWeightsAt(f, settings.interpolation), d) - kNoiseMid;
      bool negative = above < 0.0f;
      if (above == 0.0f) {
        if (slope != 0.0f) {
          negative = side == Noise1DSide::kLeft ? slope > 0.0f : slope < 0.0f;
        } else {
          negative = curvature < 0.0f;
        }
      }
      if (negative) {
        slope = -slope;
        curvature = -curvature;
        out.piece |= 1u << k;
      }
    }
    // The Catmull-Rom slope at point 7 is one-sided from interval 6 and
    // two-sided from interval 7: the one place its slope differs by side.
    if (settings.noiseType == kValueOnly && settings.gradientRule == kCatmullRom && i >= 7)
      out.piece |= 1u << (k + 8);
    out.d1 = out.d1 + slope;
    out.d2 = out.d2 + curvature * scale;
    p = 2.0f * p;
    scale = 2.0f * scale;
  }
  return out;
}
