#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "export/fixed_format.h"
#include "gtest/gtest.h"

namespace {

std::string Fast(float v, int width, int precision) {
  char out[kFixedCapacity];
  const int n = FormatFixed(out, v, width, precision);
  return std::string(out, static_cast<size_t>(n));
}

std::string Printf(float v, int width, int precision) {
  char out[128];
  snprintf(out, sizeof out, "%*.*f", width, precision, static_cast<double>(v));
  return out;
}

float FromBits(uint32_t bits) {
  float v;
  memcpy(&v, &bits, sizeof v);
  return v;
}

// Both formats of the STL file, and a few neighbours, against the library.
// Returns the number of mismatches, reporting the first few.
int CompareWithPrintf(float v, int* reported) {
  static const int kFormats[][2] = {{8, 4}, {6, 2}, {0, 0}, {3, 1}, {12, 6}};
  int mismatches = 0;
  for (const auto& f : kFormats) {
    const std::string fast = Fast(v, f[0], f[1]);
    const std::string expected = Printf(v, f[0], f[1]);
    if (fast != expected) {
      mismatches++;
      if ((*reported)++ < 10)
        ADD_FAILURE() << "%" << f[0] << "." << f[1] << "f of " << std::hexfloat << v << ": got '"
                      << fast << "', printf gives '" << expected << "'";
    }
  }
  return mismatches;
}

}  // namespace

TEST(FormatFixed, KnownTexts) {
  EXPECT_EQ(Fast(0.0f, 8, 4), "  0.0000");
  EXPECT_EQ(Fast(4.0f / 199.0f, 8, 4), "  0.0201");
  EXPECT_EQ(Fast(4.0f, 8, 4), "  4.0000");
  EXPECT_EQ(Fast(-0.25f, 8, 4), " -0.2500");
  EXPECT_EQ(Fast(1.0f, 6, 2), "  1.00");
  EXPECT_EQ(Fast(0.5f, 6, 2), "  0.50");
  EXPECT_EQ(Fast(123456.5f, 8, 4), "123456.5000");  // wider than the field: not cut
  EXPECT_EQ(Fast(-1234.0f, 6, 2), "-1234.00");
  EXPECT_EQ(Fast(7.0f, 0, 0), "7");
}

TEST(FormatFixed, TiesRoundToEvenAsTheLibraryDoes) {
  // Exact ties: odd multiples of 2^-5 at four places, of 2^-3 at two.
  EXPECT_EQ(Fast(0.03125f, 8, 4), "  0.0312");
  EXPECT_EQ(Fast(0.09375f, 8, 4), "  0.0938");
  EXPECT_EQ(Fast(-0.03125f, 8, 4), " -0.0312");
  EXPECT_EQ(Fast(0.125f, 6, 2), "  0.12");
  EXPECT_EQ(Fast(0.375f, 6, 2), "  0.38");
  EXPECT_EQ(Fast(2.5f, 1, 0), "2");
  EXPECT_EQ(Fast(3.5f, 1, 0), "4");
  int reported = 0;
  int mismatches = 0;
  for (int k = -8192; k <= 8192; k++) {
    mismatches += CompareWithPrintf(static_cast<float>(2 * k + 1) / 32.0f, &reported);
    mismatches += CompareWithPrintf(static_cast<float>(2 * k + 1) / 8.0f, &reported);
  }
  EXPECT_EQ(mismatches, 0);
}

TEST(FormatFixed, SignOfZeroAndOfTinyNegatives) {
  EXPECT_EQ(Fast(-0.0f, 8, 4), " -0.0000");
  EXPECT_EQ(Fast(-1.0e-7f, 8, 4), " -0.0000");
  EXPECT_EQ(Fast(-0.00004f, 8, 4), " -0.0000");
  EXPECT_EQ(Fast(-0.001f, 6, 2), " -0.00");
  EXPECT_EQ(Fast(-std::numeric_limits<float>::denorm_min(), 8, 4), " -0.0000");
  EXPECT_EQ(Fast(std::numeric_limits<float>::denorm_min(), 8, 4), "  0.0000");
  int reported = 0;
  int mismatches = 0;
  for (float v : {-0.00005f, 0.00005f, -0.000049999f, -0.005f, 0.005f, 0.00015f, -0.99995f,
                  0.99995f, 9.99995f, -9.99995f, 0.995f, -0.995f})
    mismatches += CompareWithPrintf(v, &reported);
  EXPECT_EQ(mismatches, 0);
}

TEST(FormatFixed, LargeValuesInfinitiesAndNaNsAsTheLibrary) {
  int reported = 0;
  int mismatches = 0;
  const float inf = std::numeric_limits<float>::infinity();
  for (float v : {4294967295.0f, 4294967296.0f, -4294967296.0f, 1.0e10f, 1.0e20f,
                  std::numeric_limits<float>::max(), -std::numeric_limits<float>::max(),
                  std::numeric_limits<float>::min(), inf, -inf,
                  std::numeric_limits<float>::quiet_NaN(), 16777217.0f, 8388608.5f,
                  2147483648.0f})
    mismatches += CompareWithPrintf(v, &reported);
  EXPECT_EQ(mismatches, 0);
}

// Millions of floats: random bit patterns with exponents from the subnormals
// to beyond the fast path, uniform values in the range the STL file holds,
// and fully random bit patterns (NaNs and infinities included).
TEST(FormatFixed, MatchesPrintfOverMillionsOfFloats) {
  std::mt19937 random(20261207u);
  int reported = 0;
  int mismatches = 0;
  long compared = 0;
  for (int n = 0; n < 1200000; n++) {
    const uint32_t sign = random() & 1u;
    const uint32_t exponent = 90 + random() % 80;  // 2^-37 .. 2^42
    const uint32_t mantissa = random() & 0x7FFFFFu;
    mismatches += CompareWithPrintf(FromBits(sign << 31 | exponent << 23 | mantissa), &reported);
    compared++;
  }
  std::uniform_real_distribution<float> heights(-8.0f, 8.0f);
  for (int n = 0; n < 600000; n++) {
    mismatches += CompareWithPrintf(heights(random), &reported);
    compared++;
  }
  for (int n = 0; n < 200000; n++) {
    mismatches += CompareWithPrintf(FromBits(static_cast<uint32_t>(random())), &reported);
    compared++;
  }
  EXPECT_EQ(compared, 2000000);
  EXPECT_EQ(mismatches, 0);
}
