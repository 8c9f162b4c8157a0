#include <cmath>
#include <cstring>
#include <limits>

#include "noise/hermite.h"
#include "noise/noise1d.h"
#include "noise_fixture.h"

namespace {

// One-sided slope of the curve at x, from the right (dir = +1) or left (-1).
double SlopeAt(float x, int dir, const NoiseSettings& settings) {
  const float h = 1.0f / 512.0f;
  return dir * (Noise1D(x + dir * h, settings) - Noise1D(x, settings)) / h;
}

}  // namespace

class Noise1DTest : public NoiseTest {
 protected:
  void SetUp() override {
    NoiseTest::SetUp();
    const float values[9] = {0.3f, 0.7f, 0.4f, 0.6f, 0.25f, 0.75f, 0.5f, 0.35f, 0.6f};
    for (int i = 0; i < 9; i++) ControlValue(i) = values[i];
  }
};

TEST_F(Noise1DTest, ZeroRulePassesThroughEveryPointWithZeroSlope) {
  for (int mode : {kCubic, kQuintic}) {
    settings.interpolation = mode;
    for (int j = 0; j <= 7; j++) {
      EXPECT_EQ(Noise1D(static_cast<float>(j), settings), ControlValue(j)) << "point " << j;
      if (j < 7) {
        EXPECT_NEAR(SlopeAt(static_cast<float>(j), +1, settings), 0.0, 0.01);
      }
      if (j > 0) {
        EXPECT_NEAR(SlopeAt(static_cast<float>(j), -1, settings), 0.0, 0.01);
      }
    }
  }
}

TEST_F(Noise1DTest, CatmullRomSlopesIncludingTheOneSidedEnds) {
  settings.gradientRule = kCatmullRom;
  const auto v = [](int i) { return static_cast<double>(ControlValue(i)); };
  // Point 0: half the first difference.
  EXPECT_NEAR(SlopeAt(0.0f, +1, settings), (v(1) - v(0)) / 2, 0.01);
  // Interior points: a quarter of the difference across two intervals, the
  // same from both sides, so the curve is smooth through them.
  for (int j = 1; j <= 6; j++) {
    const double expected = (v(j + 1) - v(j - 1)) / 4;
    EXPECT_NEAR(SlopeAt(static_cast<float>(j), -1, settings), expected, 0.01) << "point " << j;
    EXPECT_NEAR(SlopeAt(static_cast<float>(j), +1, settings), expected, 0.01) << "point " << j;
  }
  // Point 7 (interval 6): a quarter of the last difference, not a half.
  EXPECT_NEAR(SlopeAt(7.0f, -1, settings), (v(7) - v(6)) / 4, 0.01);
  // The values at the points are unchanged.
  for (int j = 0; j <= 7; j++) EXPECT_EQ(Noise1D(static_cast<float>(j), settings), ControlValue(j));
}

TEST_F(Noise1DTest, SpecialRowsApplyToIntervalsZeroAndSixInEveryOctave) {
  settings.gradientRule = kCatmullRom;
  settings.octaveIndex = 1;
  // At x = 3.25 the second octave blends interval 6 at f = 0.5: it must use
  // the one-sided slopes of the last row, read from points 5 to 7 only.
  const float expectedSecond =
      HermiteBlendNoCurvature(ControlValue(6), (ControlValue(7) - ControlValue(5)) * 0.5f / 2.0f,
                              ControlValue(7), (ControlValue(7) - ControlValue(6)) * 0.5f / 2.0f,
                              0.5f, settings.interpolation);
  settings.octaveIndex = 0;
  const float first = Noise1D(3.25f, settings);
  settings.octaveIndex = 1;
  EXPECT_NEAR(Noise1D(3.25f, settings), first + (expectedSecond - 0.5f) / 2.0f, 1e-6);
  // Point 8 never enters interval 6's slopes: poisoning it changes nothing there.
  const float before = Noise1D(3.25f, settings);
  NoiseLattice[0][8].value = 1000.0f;
  EXPECT_EQ(Noise1D(3.25f, settings), before);
}

TEST_F(Noise1DTest, GradientOnlyIsTheMidpointAtEveryPointAndFollowsGradients) {
  settings.noiseType = kGradientOnly;
  for (int j = 0; j <= 7; j++) EXPECT_EQ(Noise1D(static_cast<float>(j), settings), 0.5f);
  NoiseLattice[0][2].gx = 0.8f;
  EXPECT_NEAR(SlopeAt(2.0f, +1, settings), 0.8, 0.01);
  EXPECT_NEAR(SlopeAt(2.0f, -1, settings), 0.8, 0.01);
  // Values play no part.
  const float before = Noise1D(2.3f, settings);
  ControlValue(2) = 0.9f;
  EXPECT_EQ(Noise1D(2.3f, settings), before);
}

TEST_F(Noise1DTest, ValueGradientUsesValuesGradientsAndQuinticCurvatures) {
  settings.noiseType = kValueGradient;
  NoiseLattice[0][4].gx = -0.6f;
  EXPECT_EQ(Noise1D(4.0f, settings), ControlValue(4));
  EXPECT_NEAR(SlopeAt(4.0f, +1, settings), -0.6, 0.01);
  NoiseLattice[0][4].cx = 8.0f;
  settings.interpolation = kCubic;
  const float cubic = Noise1D(4.3f, settings);
  NoiseLattice[0][4].cx = 0.0f;
  EXPECT_EQ(Noise1D(4.3f, settings), cubic);
  settings.interpolation = kQuintic;
  const float flat = Noise1D(4.3f, settings);
  NoiseLattice[0][4].cx = 8.0f;
  EXPECT_GT(Noise1D(4.3f, settings), flat);
}

TEST_F(Noise1DTest, InterpolationChangesTheCurveOnlyBetweenPoints) {
  for (int type : {kValueOnly, kGradientOnly, kValueGradient}) {
    settings.noiseType = type;
    settings.interpolation = kCubic;
    const float cubicAtPoint = Noise1D(3.0f, settings);
    const float cubicBetween = Noise1D(3.3f, settings);
    settings.interpolation = kQuintic;
    EXPECT_EQ(Noise1D(3.0f, settings), cubicAtPoint) << type;
    EXPECT_NE(Noise1D(3.3f, settings), cubicBetween) << type;
  }
}

TEST_F(Noise1DTest, OctavesDoubleFrequencyAndHalveAmplitude) {
  for (int type : {kValueOnly, kGradientOnly, kValueGradient}) {
    settings.noiseType = type;
    for (float x : {0.1f, 1.37f, 5.5f, 6.99f}) {
      settings.octaveIndex = 0;
      const double single[3] = {Noise1D(x, settings), Noise1D(2 * x, settings), Noise1D(4 * x, settings)};
      settings.octaveIndex = 2;
      const double expected =
          0.5 + (single[0] - 0.5) + (single[1] - 0.5) / 2 + (single[2] - 0.5) / 4;
      EXPECT_NEAR(Noise1D(x, settings), expected, 2e-6) << "type " << type << " x " << x;
    }
  }
}

TEST_F(Noise1DTest, TurbulenceFoldsEveryOctaveAboveTheMidpoint) {
  settings.turbulence = 1;
  for (int type : {kValueOnly, kGradientOnly, kValueGradient}) {
    settings.noiseType = type;
    for (int octaves = 0; octaves <= kMaxOctaveIndex; octaves++) {
      settings.octaveIndex = octaves;
      for (int k = 0; k <= 700; k++) ASSERT_GE(Noise1D(k / 100.0f, settings), 0.5f);
    }
  }
  // One octave: exactly the fold of the plain value.
  settings.noiseType = kValueOnly;
  settings.octaveIndex = 0;
  settings.turbulence = 0;
  const float plain = Noise1D(4.5f, settings);  // between 0.25 and 0.75
  settings.turbulence = 1;
  EXPECT_FLOAT_EQ(Noise1D(4.5f, settings), std::fabs(plain - 0.5f) + 0.5f);
}

TEST_F(Noise1DTest, EightOctavesReadRowZeroUpToColumn898AndNoFurther) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  settings.octaveIndex = kMaxOctaveIndex;
  settings.gradientRule = kCatmullRom;
  for (int j = 899; j < kLatticeSize; j++) NoiseLattice[0][j].value = nan;
  for (int k = 0; k <= 7 * 64; k++) ASSERT_FALSE(std::isnan(Noise1D(k / 64.0f, settings))) << k;
  ASSERT_FALSE(std::isnan(Noise1D(7.0f, settings)));
  // Column 898 itself is read, at x = 7 in the eighth octave.
  NoiseLattice[0][898].value = nan;
  EXPECT_TRUE(std::isnan(Noise1D(7.0f, settings)));
}

// The octaves view draws Noise1DByOctave: under every setting, its last
// running sum is the curve to the bit, and each running sum is the one
// before plus that octave's term, the additions Noise1D makes.
TEST_F(Noise1DTest, TheLastRunningSumIsTheCurveExactly) {
  int checked = 0;
  for (int type = kValueOnly; type <= kValueGradient; type++) {
    for (int blend = kCubic; blend <= kQuintic; blend++) {
      for (int rule = kZeroSlopes; rule <= kCatmullRom; rule++) {
        for (int octaves = 0; octaves <= kMaxOctaveIndex; octaves++) {
          for (int turbulence = 0; turbulence <= 1; turbulence++) {
            NoiseSettings s{};
            s.noiseType = type;
            s.interpolation = blend;
            s.gradientRule = rule;
            s.octaveIndex = octaves;
            s.turbulence = turbulence;
            for (int i = 0; i < 7; i++) {
              for (int j = 0; j < 64; j++) {
                const float x = static_cast<float>(i) + static_cast<float>(j) / 63.0f;
                const Noise1DOctaves o = Noise1DByOctave(x, s);
                ASSERT_EQ(o.count, octaves + 1);
                const float curve = Noise1D(x, s);
                ASSERT_EQ(std::memcmp(&o.runningSum[octaves], &curve, sizeof curve), 0) << x;
                float sum = 0.0f;
                for (int k = 0; k <= octaves; k++) {
                  sum = sum + o.term[k];
                  const float running = sum + kNoiseMid;
                  ASSERT_EQ(std::memcmp(&o.runningSum[k], &running, sizeof running), 0);
                }
                checked++;
              }
            }
          }
        }
      }
    }
  }
  EXPECT_EQ(checked, 3 * 2 * 2 * 8 * 2 * 7 * 64);
}
