#include "noise/noise2d.h"

#include <cmath>

#include "noise/hermite.h"
#include "noise/lattice.h"

float Noise2D(float x, float y, const NoiseSettings& settings, const Lattice& lattice) {
  const int ix = static_cast<int>(x);
  const float fx = x - static_cast<float>(ix);
  const int iy = static_cast<int>(y);
  const float fy = y - static_cast<float>(iy);

  const CellCorners cell = CornersOf(lattice, ix, iy);
  const LatticePoint& p00 = cell.p00;
  const LatticePoint& p10 = cell.p10;
  const LatticePoint& p01 = cell.p01;
  const LatticePoint& p11 = cell.p11;

  const int blend = settings.interpolation;
  if (!UsesGradients(settings.noiseType)) {
    const float a = HermiteBlendNoCurvature(p00.value, 0.0f, p10.value, 0.0f, fx, blend);
    const float b = HermiteBlendNoCurvature(p01.value, 0.0f, p11.value, 0.0f, fx, blend);
    return HermiteBlendNoCurvature(a, 0.0f, b, 0.0f, fy, blend);
  }

  // Gradient-only noise takes the midpoint as every corner's value.
  const bool useValues = settings.noiseType == kValueGradient;
  const float w00 = useValues ? p00.value : kNoiseMid;
  const float w10 = useValues ? p10.value : kNoiseMid;
  const float w01 = useValues ? p01.value : kNoiseMid;
  const float w11 = useValues ? p11.value : kNoiseMid;

  // Along x on the lower and upper edge: value, slope along y, curvature along y.
  const float e0 = HermiteBlend(w00, p00.gx, p00.cx, w10, p10.gx, p10.cx, fx, blend);
  const float e1 = HermiteBlend(p00.gy, p00.cy, 0.0f, p10.gy, p10.cy, 0.0f, fx, blend);
  const float e2 = HermiteBlend(p00.cy, 0.0f, 0.0f, p10.cy, 0.0f, 0.0f, fx, blend);
  const float e3 = HermiteBlend(w01, p01.gx, p01.cx, w11, p11.gx, p11.cx, fx, blend);
  const float e4 = HermiteBlend(p01.gy, p01.cy, 0.0f, p11.gy, p11.cy, 0.0f, fx, blend);
  const float e5 = HermiteBlend(p01.cy, 0.0f, 0.0f, p11.cy, 0.0f, 0.0f, fx, blend);
  return HermiteBlend(e0, e1, e2, e3, e4, e5, fy, blend);
}

namespace {

// Written once for both entry points below and inlined into each, so that
// the whole sum, which the reference fill calls for every texel, costs no
// second call.
inline float SumOctaves(int i, int j, const NoiseSettings& settings, int firstOctave,
                        const Lattice& lattice) {
  float x = static_cast<float>(j) * kTextureSpan / static_cast<float>(kTextureSize);
  float y = static_cast<float>(i) * kTextureSpan / static_cast<float>(kTextureSize);
  float sum = 0.0f;
  float divisor = 1.0f;
  for (int k = 0; k <= settings.octaveIndex; k++) {
    // The octaves before the first shown only move the point along: doubling
    // is exact, so octave k is read at the very coordinates the whole sum
    // reads it at.
    if (k >= firstOctave) {
      float val = Noise2D(x, y, settings, lattice);
      if (settings.turbulence) {
        const float deviation = val - kNoiseMid;
        val = std::fabs(deviation) + kNoiseMid;
      }
      sum = sum + (val - kNoiseMid) / divisor;
      divisor = 2.0f * divisor;
    }
    x = 2.0f * x;
    y = 2.0f * y;
  }
  sum = sum + kNoiseMid;
  sum = (sum - kNoiseMin) / (kNoiseMax - kNoiseMin);
  if (sum < 0.0f) sum = 0.0f;
  if (sum > 1.0f) sum = 1.0f;
  return sum;
}

}  // namespace

float FractalNoise2D(int i, int j, const NoiseSettings& settings, const Lattice& lattice) {
  return SumOctaves(i, j, settings, 0, lattice);
}

float OctavesNoise2D(int i, int j, const NoiseSettings& settings, int firstOctave,
                     const Lattice& lattice) {
  return SumOctaves(i, j, settings, firstOctave, lattice);
}
