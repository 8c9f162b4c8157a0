#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "noise/noise2d.h"
#include "noise_fixture.h"

namespace {

std::vector<float> AllTexels(const NoiseSettings& settings) {
  std::vector<float> out;
  out.reserve(kTextureSize * kTextureSize);
  for (int i = 0; i < kTextureSize; i++)
    for (int j = 0; j < kTextureSize; j++) out.push_back(FractalNoise2D(i, j, settings));
  return out;
}

float Clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }

}  // namespace

class Noise2DTest : public NoiseTest {};

TEST_F(Noise2DTest, OriginTexelIsTheFirstLatticePointInEveryOctave) {
  for (int octaves = 0; octaves <= kMaxOctaveIndex; octaves++) {
    settings.octaveIndex = octaves;
    for (int turbulence : {0, 1}) {
      settings.turbulence = turbulence;
      for (int mode : {kCubic, kQuintic}) {
        settings.interpolation = mode;
        settings.noiseType = kGradientOnly;
        EXPECT_EQ(FractalNoise2D(0, 0, settings), 0.5f);
      }
    }
  }
  settings.octaveIndex = 0;
  settings.turbulence = 0;
  for (int type : {kValueOnly, kValueGradient}) {
    settings.noiseType = type;
    EXPECT_EQ(FractalNoise2D(0, 0, settings), Point(0, 0).value);
  }
  Point(0, 0).value = -0.7f;  // a dragged control point below the range
  EXPECT_EQ(FractalNoise2D(0, 0, settings), 0.0f);
  Point(0, 0).value = 1.0f;
  EXPECT_EQ(FractalNoise2D(0, 0, settings), 1.0f);
}

TEST_F(Noise2DTest, TexelsOnLatticeLinesShowTheLatticeValues) {
  for (int type : {kValueOnly, kValueGradient}) {
    settings.noiseType = type;
    for (int i = 0; i < kTextureSize; i += 64)
      for (int j = 0; j < kTextureSize; j += 64)
        EXPECT_EQ(FractalNoise2D(i, j, settings), Clamp01(Point(i / 64, j / 64).value))
            << "texel " << i << "," << j;
  }
  // Row 0 is the graph's row of control points.
  EXPECT_EQ(FractalNoise2D(0, 3 * 64, settings), ControlValue(3));
}

TEST_F(Noise2DTest, CellCentres) {
  const LatticePoint &p00 = Point(0, 0), &p10 = Point(0, 1), &p01 = Point(1, 0), &p11 = Point(1, 1);
  for (int mode : {kCubic, kQuintic}) {
    settings.interpolation = mode;
    settings.noiseType = kValueOnly;
    EXPECT_NEAR(FractalNoise2D(32, 32, settings), (p00.value + p10.value + p01.value + p11.value) / 4.0, 1e-6);
  }
  settings.interpolation = kCubic;
  settings.noiseType = kGradientOnly;
  const double expected =
      0.5 + (p00.gx - p10.gx + p01.gx - p11.gx + p00.gy + p10.gy - p01.gy - p11.gy) / 16.0;
  EXPECT_NEAR(FractalNoise2D(32, 32, settings), expected, 1e-6);
}

TEST_F(Noise2DTest, ValueOnlyStaysWithinItsCornerValues) {
  settings.interpolation = kQuintic;
  for (int i = 0; i < 128; i += 3) {
    for (int j = 0; j < kTextureSize; j += 5) {
      const int r = i / 64, c = j / 64;
      const float lo = std::fmin(std::fmin(Point(r, c).value, Point(r, c + 1).value),
                                 std::fmin(Point(r + 1, c).value, Point(r + 1, c + 1).value));
      const float hi = std::fmax(std::fmax(Point(r, c).value, Point(r, c + 1).value),
                                 std::fmax(Point(r + 1, c).value, Point(r + 1, c + 1).value));
      const float s = FractalNoise2D(i, j, settings);
      ASSERT_GE(s, lo - 1e-6f);
      ASSERT_LE(s, hi + 1e-6f);
    }
  }
}

TEST_F(Noise2DTest, OctavesAndTurbulence) {
  settings.noiseType = kValueGradient;
  // Two octaves: the second samples twice as far out, at half the weight.
  for (int i : {5, 100, 300}) {
    for (int j : {7, 200, 511}) {
      settings.octaveIndex = 0;
      const double first = FractalNoise2D(i, j, settings);
      const float x = j / 64.0f, y = i / 64.0f;
      settings.octaveIndex = 1;
      const double expected = first + (Noise2D(2 * x, 2 * y, settings) - 0.5) / 2;
      EXPECT_NEAR(FractalNoise2D(i, j, settings), std::fmin(1.0, std::fmax(0.0, expected)), 1e-6);
    }
  }
  settings.turbulence = 1;
  for (int type : {kValueOnly, kGradientOnly, kValueGradient}) {
    settings.noiseType = type;
    for (int octaves : {0, 3, 7}) {
      settings.octaveIndex = octaves;
      for (int i = 0; i < kTextureSize; i += 7)
        for (int j = 0; j < kTextureSize; j += 3) ASSERT_GE(FractalNoise2D(i, j, settings), 0.5f);
    }
  }
}

TEST_F(Noise2DTest, GradientRuleDoesNotEnterAndTypesAgreeWhereValuesAreTheMidpoint) {
  settings.noiseType = kValueOnly;
  settings.octaveIndex = 2;
  settings.gradientRule = kZeroSlopes;
  const std::vector<float> zero = AllTexels(settings);
  settings.gradientRule = kCatmullRom;
  EXPECT_EQ(AllTexels(settings), zero);

  for (int i = 0; i < 40; i++)
    for (int j = 0; j < 40; j++) Point(i, j).value = 0.5f;
  settings.octaveIndex = 0;
  std::vector<float> gradientOnly, valueGradient;
  for (int i = 0; i < kTextureSize; i += 9) {
    for (int j = 0; j < kTextureSize; j += 9) {
      settings.noiseType = kGradientOnly;
      gradientOnly.push_back(FractalNoise2D(i, j, settings));
      settings.noiseType = kValueGradient;
      valueGradient.push_back(FractalNoise2D(i, j, settings));
    }
  }
  EXPECT_EQ(gradientOnly, valueGradient);
}

TEST_F(Noise2DTest, ControlPointEditsChangeOnlyTheBottom64Rows) {
  settings.noiseType = kValueGradient;
  settings.interpolation = kQuintic;
  settings.octaveIndex = kMaxOctaveIndex;
  const std::vector<float> before = AllTexels(settings);
  ControlValue(3) = 1.0f;
  NoiseLattice[0][3].gx = -1.0f;
  NoiseLattice[0][3].cx = 10.0f;
  const std::vector<float> after = AllTexels(settings);
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
  settings.noiseType = kValueOnly;
  Point(kLatticeSize - 1, kLatticeSize - 1).value = nan;
  settings.octaveIndex = kMaxOctaveIndex;
  EXPECT_TRUE(std::isnan(FractalNoise2D(511, 511, settings)));
  settings.octaveIndex = kMaxOctaveIndex - 1;
  EXPECT_FALSE(std::isnan(FractalNoise2D(511, 511, settings)));
}

// The evaluation reads the lattice it is handed and no other: a copy gives
// the same values, and an edit of the copy changes exactly the cells around
// the edited point while the program's lattice stays as it was.
TEST_F(Noise2DTest, ReadsTheLatticeItIsHanded) {
  static Lattice copy;  // 29 MB: static, off the stack
  std::copy(&NoiseLattice[0][0], &NoiseLattice[0][0] + kLatticeSize * kLatticeSize, &copy[0][0]);
  settings.noiseType = kValueGradient;
  for (float x : {0.25f, 1.5f, 2.75f})
    EXPECT_EQ(Noise2D(x, 1.5f, settings, copy), Noise2D(x, 1.5f, settings)) << x;

  copy[2][2].value = copy[2][2].value + 0.125f;
  // Cells with corner (2, 2): x and y from 1 to 3, exclusive of the far edges.
  EXPECT_NE(Noise2D(1.5f, 1.5f, settings, copy), Noise2D(1.5f, 1.5f, settings));
  EXPECT_NE(Noise2D(2.5f, 2.5f, settings, copy), Noise2D(2.5f, 2.5f, settings));
  EXPECT_EQ(Noise2D(0.5f, 0.5f, settings, copy), Noise2D(0.5f, 0.5f, settings));
  EXPECT_EQ(Noise2D(3.5f, 1.5f, settings, copy), Noise2D(3.5f, 1.5f, settings));
}
