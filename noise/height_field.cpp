#include "noise/height_field.h"

#include <cmath>

#include "noise/hermite.h"
#include "noise/lattice.h"

namespace {

constexpr int kOctaveLimit = kMaxOctaveIndex + 1;
constexpr double kHeightScale = 1.0;

// Where grid column (or row) j falls in octave k: the lattice cell and the
// blend weights across it. x = j / 199 is the same for rows and columns and
// for every row, so each is worked out once per call rather than per point.
struct AxisSample {
  int cell;
  HermiteWeights w;
};

using Axis = AxisSample[kOctaveLimit][kHeightFieldSize];

void PrepareAxis(int octaves, int interpolation, Axis& axis) {
  for (int j = 0; j < kHeightFieldSize; j++) {
    float x = static_cast<float>(j / 199.0);
    for (int k = 0; k < octaves; k++) {
      const int ix = static_cast<int>(x);
      const float fx = x - static_cast<float>(ix);
      axis[k][j].cell = ix;
      axis[k][j].w = HermiteWeightsAt(fx, interpolation);
      x = x * 2.0f;
    }
  }
}

// One octave at one point. Equal bit for bit to the HermiteBlend calls it
// stands for: HermiteBlend is these weights applied to the same arguments.
float GradientOnlyOctave(const Lattice& lattice, const AxisSample& ax, const AxisSample& ay) {
  const CellCorners cell = CornersOf(lattice, ax.cell, ay.cell);
  const LatticePoint& l00 = cell.p00;
  const LatticePoint& l10 = cell.p10;
  const LatticePoint& l01 = cell.p01;
  const LatticePoint& l11 = cell.p11;
  const HermiteWeights& wx = ax.w;
  // The corner values are 0 here, not the midpoint: the solid's heights sit
  // around z = 0.5 only through the (sum + 1) / 2 below.
  const float pb = ApplyHermiteWeights(wx, 0.0f, l00.gx, l00.cx, 0.0f, l10.gx, l10.cx);
  const float sb = ApplyHermiteWeights(wx, l00.gy, l00.cy, 0.0f, l10.gy, l10.cy, 0.0f);
  const float kb = ApplyHermiteWeights(wx, l00.cy, 0.0f, 0.0f, l10.cy, 0.0f, 0.0f);
  const float pt = ApplyHermiteWeights(wx, 0.0f, l01.gx, l01.cx, 0.0f, l11.gx, l11.cx);
  const float st = ApplyHermiteWeights(wx, l01.gy, l01.cy, 0.0f, l11.gy, l11.cy, 0.0f);
  const float kt = ApplyHermiteWeights(wx, l01.cy, 0.0f, 0.0f, l11.cy, 0.0f, 0.0f);
  return ApplyHermiteWeights(ay.w, pb, sb, kb, pt, st, kt);
}

// Value-Only, and Value+Gradient too: the values alone with zero slopes
// (HermiteBlendNoCurvature's zero curvatures included).
float ValueOctave(const Lattice& lattice, const AxisSample& ax, const AxisSample& ay) {
  const CellCorners cell = CornersOf(lattice, ax.cell, ay.cell);
  const float lower =
      ApplyHermiteWeights(ax.w, cell.p00.value, 0.0f, 0.0f, cell.p10.value, 0.0f, 0.0f);
  const float upper =
      ApplyHermiteWeights(ax.w, cell.p01.value, 0.0f, 0.0f, cell.p11.value, 0.0f, 0.0f);
  return ApplyHermiteWeights(ay.w, lower, 0.0f, 0.0f, upper, 0.0f, 0.0f);
}

}  // namespace

void SampleHeightField(const NoiseSettings& settings, HeightField* field,
                       const Lattice& lattice) {
  // The panel offers 1 to 8 octaves; anything else would read past the
  // lattice, so it is held to that range.
  int octaves = settings.octaveIndex + 1;
  if (octaves < 1) octaves = 1;
  if (octaves > kOctaveLimit) octaves = kOctaveLimit;
  // Made afresh on every call (a few tens of KB): nothing of one call is
  // left for the next to trust.
  Axis axis;
  PrepareAxis(octaves, settings.interpolation, axis);
  const bool gradientOnly = settings.noiseType == kGradientOnly;

  for (int i = 0; i < kHeightFieldSize; i++) {
    for (int j = 0; j < kHeightFieldSize; j++) {
      float sum = 0.0f;
      float amplitude = 1.0f;
      for (int k = 0; k < octaves; k++) {
        const float n = gradientOnly ? GradientOnlyOctave(lattice, axis[k][j], axis[k][i])
                                     : ValueOctave(lattice, axis[k][j], axis[k][i]);
        sum = sum + n * amplitude;
        amplitude = amplitude / 2.0f;
      }
      if (settings.turbulence) sum = std::fabs(sum);
      field->sum[i][j] = sum;
      field->height[i][j] = static_cast<float>((sum + 1.0) * kHeightScale / 2.0);
    }
  }
}
