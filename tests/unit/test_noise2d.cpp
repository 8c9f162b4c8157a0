#include <cmath>
#include <limits>
#include <vector>

#include "app/app_state.h"
#include "noise/noise2d.h"
#include "noise_fixture.h"

namespace {

std::vector<float> AllTexels() {
  std::vector<float> out;
  out.reserve(kTextureSize * kTextureSize);
  for (int i = 0; i < kTextureSize; i++)
    for (int j = 0; j < kTextureSize; j++) out.push_back(FractalNoise2D(i, j, App.noise));
  return out;
}

float Clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }

}  // namespace

class Noise2DTest : public NoiseTest {};

TEST_F(Noise2DTest, OriginTexelIsTheFirstLatticePointInEveryOctave) {
  for (int octaves = 0; octaves <= kMaxOctaveIndex; octaves++) {
    App.noise.octaveIndex = octaves;
    for (int turbulence : {0, 1}) {
      App.noise.turbulence = turbulence;
      for (int mode : {kCubic, kQuintic}) {
        App.noise.interpolation = mode;
        App.noise.noiseType = kGradientOnly;
        EXPECT_EQ(FractalNoise2D(0, 0, App.noise), 0.5f);
      }
    }
  }
  App.noise.octaveIndex = 0;
  App.noise.turbulence = 0;
  for (int type : {kValueOnly, kValueGradient}) {
    App.noise.noiseType = type;
    EXPECT_EQ(FractalNoise2D(0, 0, App.noise), Point(0, 0).value);
  }
  Point(0, 0).value = -0.7f;  // a dragged control point below the range
  EXPECT_EQ(FractalNoise2D(0, 0, App.noise), 0.0f);
  Point(0, 0).value = 1.0f;
  EXPECT_EQ(FractalNoise2D(0, 0, App.noise), 1.0f);
}

TEST_F(Noise2DTest, TexelsOnLatticeLinesShowTheLatticeValues) {
  for (int type : {kValueOnly, kValueGradient}) {
    App.noise.noiseType = type;
    for (int i = 0; i < kTextureSize; i += 64)
      for (int j = 0; j < kTextureSize; j += 64)
        EXPECT_EQ(FractalNoise2D(i, j, App.noise), Clamp01(Point(i / 64, j / 64).value))
            << "texel " << i << "," << j;
  }
  // Row 0 is the graph's row of control points.
  EXPECT_EQ(FractalNoise2D(0, 3 * 64, App.noise), ControlValue(3));
}

TEST_F(Noise2DTest, CellCentres) {
  const LatticePoint &p00 = Point(0, 0), &p10 = Point(0, 1), &p01 = Point(1, 0), &p11 = Point(1, 1);
  for (int mode : {kCubic, kQuintic}) {
    App.noise.interpolation = mode;
    App.noise.noiseType = kValueOnly;
    EXPECT_NEAR(FractalNoise2D(32, 32, App.noise), (p00.value + p10.value + p01.value + p11.value) / 4.0, 1e-6);
  }
  App.noise.interpolation = kCubic;
  App.noise.noiseType = kGradientOnly;
  const double expected =
      0.5 + (p00.gx - p10.gx + p01.gx - p11.gx + p00.gy + p10.gy - p01.gy - p11.gy) / 16.0;
  EXPECT_NEAR(FractalNoise2D(32, 32, App.noise), expected, 1e-6);
}

TEST_F(Noise2DTest, ValueOnlyStaysWithinItsCornerValues) {
  App.noise.interpolation = kQuintic;
  for (int i = 0; i < 128; i += 3) {
    for (int j = 0; j < kTextureSize; j += 5) {
      const int r = i / 64, c = j / 64;
      const float lo = std::fmin(std::fmin(Point(r, c).value, Point(r, c + 1).value),
                                 std::fmin(Point(r + 1, c).value, Point(r + 1, c + 1).value));
      const float hi = std::fmax(std::fmax(Point(r, c).value, Point(r, c + 1).value),
                                 std::fmax(Point(r + 1, c).value, Point(r + 1, c + 1).value));
      const float s = FractalNoise2D(i, j, App.noise);
      ASSERT_GE(s, lo - 1e-6f);
      ASSERT_LE(s, hi + 1e-6f);
    }
  }
}

TEST_F(Noise2DTest, OctavesAndTurbulence) {
  App.noise.noiseType = kValueGradient;
  // Two octaves: the second samples twice as far out, at half the weight.
  for (int i : {5, 100, 300}) {
    for (int j : {7, 200, 511}) {
      App.noise.octaveIndex = 0;
      const double first = FractalNoise2D(i, j, App.noise);
      const float x = j / 64.0f, y = i / 64.0f;
      App.noise.octaveIndex = 1;
      const double expected = first + (Noise2D(2 * x, 2 * y, App.noise) - 0.5) / 2;
      EXPECT_NEAR(FractalNoise2D(i, j, App.noise), std::fmin(1.0, std::fmax(0.0, expected)), 1e-6);
    }
  }
  App.noise.turbulence = 1;
  for (int type : {kValueOnly, kGradientOnly, kValueGradient}) {
    App.noise.noiseType = type;
    for (int octaves : {0, 3, 7}) {
      App.noise.octaveIndex = octaves;
      for (int i = 0; i < kTextureSize; i += 7)
        for (int j = 0; j < kTextureSize; j += 3) ASSERT_GE(FractalNoise2D(i, j, App.noise), 0.5f);
    }
  }
}

TEST_F(Noise2DTest, GradientRuleDoesNotEnterAndTypesAgreeWhereValuesAreTheMidpoint) {
  App.noise.noiseType = kValueOnly;
  App.noise.octaveIndex = 2;
  App.noise.gradientRule = kZeroSlopes;
  const std::vector<float> zero = AllTexels();
  App.noise.gradientRule = kCatmullRom;
  EXPECT_EQ(AllTexels(), zero);

  for (int i = 0; i < 40; i++)
    for (int j = 0; j < 40; j++) Point(i, j).value = 0.5f;
  App.noise.octaveIndex = 0;
  std::vector<float> gradientOnly, valueGradient;
  for (int i = 0; i < kTextureSize; i += 9) {
    for (int j = 0; j < kTextureSize; j += 9) {
      App.noise.noiseType = kGradientOnly;
      gradientOnly.push_back(FractalNoise2D(i, j, App.noise));
      App.noise.noiseType = kValueGradient;
      valueGradient.push_back(FractalNoise2D(i, j, App.noise));
    }
  }
  EXPECT_EQ(gradientOnly, valueGradient);
}

TEST_F(Noise2DTest, ControlPointEditsChangeOnlyTheBottom64Rows) {
  App.noise.noiseType = kValueGradient;
  App.noise.interpolation = kQuintic;
  App.noise.octaveIndex = kMaxOctaveIndex;
  const std::vector<float> before = AllTexels();
  ControlValue(3) = 1.0f;
  NoiseLattice[0][3].gx = -1.0f;
  NoiseLattice[0][3].cx = 10.0f;
  const std::vector<float> after = AllTexels();
  bool bottomChanged = false;
  for (int i = 0; i < kTextureSize; i++) {
    for (int j = 0; j < kTextureSize; j++) {
      const size_t k = static_cast<size_t>(i) * kTextureSize + j;
      if (i >= 64) {
        ASSERT_EQ(after[k], before[k]) << "texel " << i << "," << j;
      }
      if (after[k] != before[k]) bottomChanged = true;
    }
  }
  EXPECT_TRUE(bottomChanged);
}

TEST_F(Noise2DTest, EightOctavesReachTheLastLatticePointAndNoFurther) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  App.noise.noiseType = kValueOnly;
  Point(kLatticeSize - 1, kLatticeSize - 1).value = nan;
  App.noise.octaveIndex = kMaxOctaveIndex;
  EXPECT_TRUE(std::isnan(FractalNoise2D(511, 511, App.noise)));
  App.noise.octaveIndex = kMaxOctaveIndex - 1;
  EXPECT_FALSE(std::isnan(FractalNoise2D(511, 511, App.noise)));
}
