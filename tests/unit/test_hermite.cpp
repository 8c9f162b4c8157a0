#include <cmath>

#include "noise/hermite.h"
#include "noise_fixture.h"

namespace {

struct BlendCase {
  float p0, s0, c0, p1, s1, c1;
};

const BlendCase kCases[] = {
    {0.3f, 0.9f, -4.0f, 0.7f, -0.6f, 7.5f},
    {-1.0f, -1.0f, 10.0f, 1.0f, 1.0f, -10.0f},
    {0.5f, 0.0f, 0.0f, 0.5f, 0.0f, 0.0f},
    {0.271f, 0.013f, 2.0f, 0.74f, 0.88f, -0.5f},
};

float Blend(const BlendCase& b, float t, int mode) {
  return HermiteBlend(b.p0, b.s0, b.c0, b.p1, b.s1, b.c1, t, mode);
}

// Central differences in double around a blend evaluated in float are only
// good to a few parts in a thousand; that is plenty to tell a slope of 0.9
// from one of 0.
double FirstDerivative(const BlendCase& b, double t, int mode) {
  const double h = 1e-2;
  return (Blend(b, static_cast<float>(t + h), mode) - Blend(b, static_cast<float>(t - h), mode)) /
         (2 * h);
}
double SecondDerivative(const BlendCase& b, double t, int mode) {
  const double h = 5e-2;
  return (Blend(b, static_cast<float>(t + h), mode) - 2.0 * Blend(b, static_cast<float>(t), mode) +
          Blend(b, static_cast<float>(t - h), mode)) / (h * h);
}

}  // namespace

class Hermite : public NoiseTest {};

TEST_F(Hermite, EndsReturnTheEndValuesExactlyInBothModes) {
  for (int mode : {kCubic, kQuintic}) {
    for (const BlendCase& b : kCases) {
      EXPECT_EQ(Blend(b, 0.0f, mode), b.p0) << "mode " << mode;
      EXPECT_EQ(Blend(b, 1.0f, mode), b.p1) << "mode " << mode;
    }
  }
}

TEST_F(Hermite, WeightsAtTheMiddle) {
  const HermiteWeights c = HermiteWeightsAt(0.5f, kCubic);
  EXPECT_EQ(c.h0, 0.5f);
  EXPECT_EQ(c.h1, 0.5f);
  EXPECT_EQ(c.g0, 0.125f);
  EXPECT_EQ(c.g1, -0.125f);
  EXPECT_EQ(c.c0, 0.0f);
  EXPECT_EQ(c.c1, 0.0f);
  const HermiteWeights q = HermiteWeightsAt(0.5f, kQuintic);
  EXPECT_EQ(q.h0, 0.5f);
  EXPECT_EQ(q.h1, 0.5f);
  EXPECT_EQ(q.g0, 0.15625f);
  EXPECT_EQ(q.g1, -0.15625f);
  EXPECT_EQ(q.c0, 0.015625f);
  EXPECT_EQ(q.c1, 0.015625f);
}

TEST_F(Hermite, SlopesAndCurvaturesAreMatchedAtTheEnds) {
  for (int mode : {kCubic, kQuintic}) {
    for (const BlendCase& b : kCases) {
      // The polynomial continues past the ends, so differences can straddle them.
      EXPECT_NEAR(FirstDerivative(b, 0.0, mode), b.s0, 2e-3 * (1 + std::fabs(b.c0))) << mode;
      EXPECT_NEAR(FirstDerivative(b, 1.0, mode), b.s1, 2e-3 * (1 + std::fabs(b.c1))) << mode;
    }
  }
  const int mode = kQuintic;
  for (const BlendCase& b : kCases) {
    EXPECT_NEAR(SecondDerivative(b, 0.0, mode), b.c0, 0.05 + 0.02 * std::fabs(b.c0));
    EXPECT_NEAR(SecondDerivative(b, 1.0, mode), b.c1, 0.05 + 0.02 * std::fabs(b.c1));
  }
}

TEST_F(Hermite, CubicIgnoresCurvatureAndQuinticUsesIt) {
  settings.interpolation = kCubic;
  EXPECT_EQ(HermiteBlend(0.2f, 0.3f, 9.0f, 0.6f, -0.4f, -9.0f, 0.37f, settings.interpolation),
            HermiteBlend(0.2f, 0.3f, 0.0f, 0.6f, -0.4f, 0.0f, 0.37f, settings.interpolation));
  settings.interpolation = kQuintic;
  EXPECT_EQ(HermiteBlend(0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.5f, settings.interpolation), 0.015625f);
  // Every setting but 1 is cubic.
  settings.interpolation = 7;
  EXPECT_EQ(HermiteBlend(0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.5f, settings.interpolation), 0.0f);
}

TEST_F(Hermite, FlatDataStaysFlatAndNoCurvatureMatchesZeroCurvature) {
  for (int mode : {kCubic, kQuintic}) {
    for (int k = 0; k <= 64; k++) {
      const float t = k / 64.0f;
      EXPECT_EQ(HermiteBlend(0.5f, 0, 0, 0.5f, 0, 0, t, mode), 0.5f) << "t " << t;
      EXPECT_EQ(HermiteBlendNoCurvature(0.31f, 0.7f, 0.64f, -0.2f, t, mode),
                HermiteBlend(0.31f, 0.7f, 0.0f, 0.64f, -0.2f, 0.0f, t, mode));
    }
  }
}

TEST_F(Hermite, PositionsOutsideTheIntervalAreNotClamped) {
  settings.interpolation = kCubic;
  // H1(2) = 3*4 - 2*8 = -4; H1(-1) = 3 + 2 = 5.
  EXPECT_EQ(HermiteBlend(0, 0, 0, 1, 0, 0, 2.0f, settings.interpolation), -4.0f);
  EXPECT_EQ(HermiteBlend(0, 0, 0, 1, 0, 0, -1.0f, settings.interpolation), 5.0f);
}
