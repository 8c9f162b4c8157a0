#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

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

// ---------------------------------------------------------------------------
// The derivatives: against a centred difference of the curve, within a bound
// derived here, and one-sided at the control points, exactly.
// ---------------------------------------------------------------------------
//
// F is Noise1D in floats, f the same formula in real arithmetic on the same
// lattice floats (the Catmull-Rom slopes as the program rounds them: both
// F and F' read those floats). F1 and F2 are Noise1DDerivatives' d1 and d2,
// f' and f'' the exact derivatives of f. With u = 2^-24 and
// gamma(n) = n u / (1 - n u), and the sums and products of gammas folded as
// gamma(a) + gamma(b) + gamma(a) gamma(b) <= gamma(a + b):
//
// 1. A weight w(t) = sum_j c_j t^j, written as the program writes it: t^j
//    takes j - 1 roundings, c_j t^j one more, and a left-to-right sum of m <= 4
//    terms m - 1 more, so |w^ - w| <= gamma(J + 3) W(t), W = sum_j |c_j| t^j
//    <= sum_j |c_j| =: A (per weight, kA below), J the highest power: 5 for
//    the blend's weights, 4 for the slope's, 3 for the curvature's.
// 2. The blend of six data d_i: six products summed left to right, gamma(6)
//    on each |d_i w^_i|, so one octave's blend value, slope and curvature are
//    off by at most gamma(14) B, gamma(13) B1, gamma(12) B2, where
//    Bn = sum_i |d_i| An_i bounds the exact one too (|w| <= W).
// 3. Noise1D's term (e - MID) / 2^k (the fold adds an exact fabs and two
//    more roundings, of numbers below M = B + MID): gamma(18) M / 2^k. The sum
//    of n + 1 terms rounds n times (adding the first to 0 is exact), the
//    midpoint once more, so with S = sum_k M_k / 2^k
//        |F - f| <= delta = gamma(n + 19) (S + MID).
//    The derivatives: each octave's slope is added unscaled and its curvature
//    times 2^k (exact), signs are exact, so
//        |F1 - f'| <= delta1 = gamma(n + 13) sum_k B1_k,
//        |F2 - f''| <= delta2 = gamma(n + 12) sum_k 2^k B2_k.
// 4. Where no octave's lattice point or fold lies in [x - h, x + h], f is a
//    polynomial there and (f(x + h) - f(x - h)) / 2h = f'(x) + h^2/6 f'''(xi);
//    octave k's third derivative is e'''(f) 8^k / 2^k, so
//    |f'''| <= M3 = sum_k 4^k sum_i |d_i| max|w_i'''|, and likewise for the
//    difference of f' with M4 = sum_k 8^k sum_i |d_i| max|w_i''''|.
// 5. x and h are multiples of 2^-21 below 8, so x +- h are exact floats; the
//    difference of the two floats and the division by 2h are done in double,
//    off by at most 2^-53 of the result.
// Together:
//    |(F(x+h) - F(x-h)) / 2h - F1(x)| <= h^2/6 M3 + delta / h + delta1 + 2^-53 |D|
//    |(F1(x+h) - F1(x-h)) / 2h - F2(x)| <= h^2/6 M4 + delta1 / h + delta2 + 2^-53 |D|
// The test tries every h = 2^-j that keeps the interval free and checks the
// smallest bound. A fold is kept out by a margin: |e - MID| at x (turbulence's
// term times 2^k, good to gamma(18) M) above 2^k h B1, the most the octave's
// blend moves within h.
namespace {

constexpr double kU = 0x1p-24;
double Gamma(int n) { return n * kU / (1.0 - n * kU); }

// Per weight (h0 g0 c0 h1 g1 c1): the sums of |coefficients| of the weight,
// of its slope and of its curvature, then the largest |w'''| and |w''''| on
// [0, 1] (at an end or at the parabola's vertex, worked out by hand).
struct WeightSizes {
  double a[5][6];
};
constexpr WeightSizes kQuinticSizes = {{{32, 18, 4, 31, 14, 2},
                                        {120, 66, 14, 120, 55, 8},
                                        {360, 192, 38, 360, 168, 25},
                                        {60, 36, 9, 60, 36, 9},
                                        {360, 192, 36, 360, 192, 36}}};
constexpr WeightSizes kCubicSizes = {{{6, 4, 0, 5, 2, 0},
                                      {12, 8, 0, 12, 5, 0},
                                      {18, 10, 0, 18, 8, 0},
                                      {12, 6, 0, 12, 6, 0},
                                      {0, 0, 0, 0, 0, 0}}};

// Bounds on |p0| |s0| |c0| |p1| |s1| |c1| of octave interval i: a
// Catmull-Rom slope is half a difference at most, so below the largest |V|
// it reads.
void DataSizes(int i, const NoiseSettings& s, double d[6]) {
  const LatticePoint* row = NoiseLattice[0];
  const auto V = [row](int j) { return std::fabs(static_cast<double>(row[j].value)); };
  const double g0 = std::fabs(row[i].gx), g1 = std::fabs(row[i + 1].gx);
  const double c0 = std::fabs(row[i].cx), c1 = std::fabs(row[i + 1].cx);
  switch (s.noiseType) {
    case kGradientOnly:
      d[0] = d[3] = kNoiseMid, d[1] = g0, d[2] = c0, d[4] = g1, d[5] = c1;
      return;
    case kValueGradient:
      d[0] = V(i), d[1] = g0, d[2] = c0, d[3] = V(i + 1), d[4] = g1, d[5] = c1;
      return;
    default: {
      double slope = 0.0;
      if (s.gradientRule == kCatmullRom)
        for (int j = std::max(i - 1, 0); j <= i + 2; j++) slope = std::max(slope, V(j));
      d[0] = V(i), d[1] = slope, d[2] = 0, d[3] = V(i + 1), d[4] = slope, d[5] = 0;
    }
  }
}

struct DifferenceBounds {
  bool usable;  // no lattice point or fold of any octave within h of x
  double first;   // bound on |(F(x+h) - F(x-h)) / 2h - F1(x)| without the 2^-53 part
  double second;  // the same for F1 and F2
};

DifferenceBounds BoundsAt(float x, double h, const NoiseSettings& s) {
  const WeightSizes& w = s.interpolation == kQuintic ? kQuinticSizes : kCubicSizes;
  const int n = s.octaveIndex;
  const Noise1DOctaves terms = Noise1DByOctave(x, s);
  double S = 0, S1 = 0, S2 = 0, M3 = 0, M4 = 0;
  double scale = 1;  // 2^k
  for (int k = 0; k <= n; k++, scale *= 2) {
    const double lo = (x - h) * scale, hi = (x + h) * scale;
    if (std::floor(lo) != std::floor(hi)) return {false, 0, 0};
    double d[6];
    DataSizes(static_cast<int>(std::floor(lo)), s, d);
    double B[5] = {0, 0, 0, 0, 0};
    for (int q = 0; q < 5; q++)
      for (int i = 0; i < 6; i++) B[q] += d[i] * w.a[q][i];
    const double M = B[0] + kNoiseMid;
    if (s.turbulence && terms.term[k] * scale <= scale * h * B[1] + Gamma(18) * M)
      return {false, 0, 0};
    S += M / scale;
    S1 += B[1];
    S2 += scale * B[2];
    M3 += scale * scale * B[3];
    M4 += scale * scale * scale * B[4];
  }
  const double delta = Gamma(n + 19) * (S + kNoiseMid);
  const double delta1 = Gamma(n + 13) * S1;
  const double delta2 = Gamma(n + 12) * S2;
  return {true, h * h / 6 * M3 + delta / h + delta1, h * h / 6 * M4 + delta1 / h + delta2};
}

}  // namespace

TEST_F(Noise1DTest, DerivativesAgreeWithCentredDifferencesWithinTheDerivedBound) {
  // Curvatures of every size the slider gives, so the quintic's f'' has work.
  uint32_t r = 12345u;
  const auto next = [&r] { return r = r * 1664525u + 1013904223u; };
  for (int j = 0; j < kLatticeSize; j++)
    NoiseLattice[0][j].cx = (static_cast<float>(next() >> 8) / 16777216.0f * 2.0f - 1.0f) *
                            kCurvatureBound;
  int checked = 0, skipped = 0;
  double worstFirst = 0, worstSecond = 0;  // the bounds' sizes, reported on failure
  for (int type = kValueOnly; type <= kValueGradient; type++)
    for (int blend = kCubic; blend <= kQuintic; blend++)
      for (int rule = kZeroSlopes; rule <= kCatmullRom; rule++)
        for (int octaves = 0; octaves <= kMaxOctaveIndex; octaves++)
          for (int turbulence = 0; turbulence <= 1; turbulence++) {
            const NoiseSettings s{type, blend, rule, octaves, turbulence};
            for (int sample = 0; sample < 40; sample++) {
              const float x = static_cast<float>(next() % (7u << 21)) * 0x1p-21f;
              // The smallest bound over the steps that keep the interval free.
              double h = 0, first = 0, second = 0;
              for (int j = 4; j <= 21; j++) {
                const DifferenceBounds b = BoundsAt(x, std::ldexp(1.0, -j), s);
                if (!b.usable) continue;
                if (h == 0 || b.first < first) first = b.first, h = std::ldexp(1.0, -j);
                if (second == 0 || b.second < second) second = b.second;
              }
              if (h == 0) {
                skipped++;
                continue;
              }
              const Noise1DSlope at = Noise1DDerivatives(x, s);
              const double dh = 2 * h;
              const float xp = x + static_cast<float>(h), xm = x - static_cast<float>(h);
              const double D1 = (static_cast<double>(Noise1D(xp, s)) - Noise1D(xm, s)) / dh;
              ASSERT_LE(std::fabs(D1 - at.d1), first + 0x1p-53 * std::fabs(D1))
                  << "x " << x << " h " << h << " type " << type << " blend " << blend << " rule "
                  << rule << " octaves " << octaves + 1 << " turbulence " << turbulence;
              // f'' by the difference of f' at its own best step.
              double h2 = 0;
              for (int j = 4; j <= 21; j++) {
                const DifferenceBounds b = BoundsAt(x, std::ldexp(1.0, -j), s);
                if (b.usable && b.second == second) h2 = std::ldexp(1.0, -j);
              }
              const float xp2 = x + static_cast<float>(h2), xm2 = x - static_cast<float>(h2);
              const double D2 = (static_cast<double>(Noise1DDerivatives(xp2, s).d1) -
                                 Noise1DDerivatives(xm2, s).d1) / (2 * h2);
              ASSERT_LE(std::fabs(D2 - at.d2), second + 0x1p-53 * std::fabs(D2))
                  << "x " << x << " h " << h2 << " type " << type << " blend " << blend
                  << " rule " << rule << " octaves " << octaves + 1 << " turbulence "
                  << turbulence;
              worstFirst = std::max(worstFirst, first);
              worstSecond = std::max(worstSecond, second);
              checked++;
            }
          }
  // Most positions are usable; the rest sit within 2^-21 of a fold.
  EXPECT_GT(checked, 20 * skipped) << worstFirst << " " << worstSecond;
  RecordProperty("largest bound on f'", std::to_string(worstFirst));
  RecordProperty("largest bound on f''", std::to_string(worstSecond));
}

// The one-sided values at the control points, compared exactly: with one
// octave, a slope weight is exactly 0 or 1 at an end, so both sides give the
// point's own slope (and, quintic, its curvature). The cubic's curvature
// jumps at every point by 6 (V[i-1] - V[i+1]) + 2 s[i-1] + 8 s[i] + 2 s[i+1]
// (its weights' second derivatives at the ends), nonzero on this lattice.
// The Catmull-Rom slope jumps at point 7 only, where its one-sided end meets
// interval 7's two-sided slope. Position 0 has no left side.
TEST_F(Noise1DTest, DerivativesAtThePointsAreContinuousOrJumpAsTheBlendSays) {
  for (int j = 0; j < 10; j++) NoiseLattice[0][j].cx = static_cast<float>(j) - 4.5f;
  const auto side = [](int i, Noise1DSide sd, const NoiseSettings& s) {
    return Noise1DDerivatives(static_cast<float>(i), s, sd);
  };
  for (int type = kValueOnly; type <= kValueGradient; type++)
    for (int blend = kCubic; blend <= kQuintic; blend++)
      for (int rule = kZeroSlopes; rule <= kCatmullRom; rule++)
        for (int octaves = 0; octaves <= kMaxOctaveIndex; octaves++) {
          const NoiseSettings s{type, blend, rule, octaves, 0};
          const bool catmullRom = type == kValueOnly && rule == kCatmullRom;
          for (int i = 1; i <= 7; i++) {
            const Noise1DSlope left = side(i, Noise1DSide::kLeft, s);
            const Noise1DSlope right = side(i, Noise1DSide::kRight, s);
            const bool slopeJumps = catmullRom && i == 7;
            EXPECT_EQ(left.d1 != right.d1, slopeJumps) << type << blend << rule << octaves << i;
            if (blend == kQuintic) {
              EXPECT_EQ(left.d2, right.d2) << type << rule << octaves << i;
            } else {
              EXPECT_NE(left.d2, right.d2) << type << rule << octaves << i;
            }
            if (octaves > 0) continue;
            const LatticePoint& p = NoiseLattice[0][i];
            if (type != kValueOnly) {
              EXPECT_EQ(right.d1, p.gx);
              if (blend == kQuintic) {
                EXPECT_EQ(right.d2, p.cx);
              }
            } else if (rule == kZeroSlopes) {
              EXPECT_EQ(right.d1, 0.0f);
              if (blend == kQuintic) {
                EXPECT_EQ(right.d2, 0.0f);
              }
            }
          }
          // Point 0: one side, the same either way.
          const Noise1DSlope a = side(0, Noise1DSide::kLeft, s), b = side(0, Noise1DSide::kRight, s);
          EXPECT_EQ(a.d1, b.d1);
          EXPECT_EQ(a.d2, b.d2);
        }
  // A curvature edit moves the quintic's f'' at the point by exactly the edit
  // (one octave), and leaves the cubic's alone.
  NoiseSettings s{kValueGradient, kQuintic, kZeroSlopes, 0, 0};
  const float before = Noise1DDerivatives(3.0f, s).d2;
  NoiseLattice[0][3].cx += 4.0f;
  EXPECT_EQ(Noise1DDerivatives(3.0f, s).d2, before + 4.0f);
  s.interpolation = kCubic;
  const float cubic = Noise1DDerivatives(3.0f, s).d2;
  NoiseLattice[0][3].cx -= 4.0f;
  EXPECT_EQ(Noise1DDerivatives(3.0f, s).d2, cubic);
}
