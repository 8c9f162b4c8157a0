#include <cstdint>

#include "noise_fixture.h"

namespace {

// The multiplicative inverse of the generator's multiplier modulo 2^32, so a
// test can choose the state the next draw will produce.
uint32_t InverseMod2to32(uint32_t a) {
  uint32_t x = a;  // a * a == 1 mod 8 for odd a: a valid 3-bit start
  for (int i = 0; i < 5; i++) x *= 2u - a * x;
  return x;
}

void SeedSoNextStateIs(uint32_t state) {
  SeedGenerator((state - 2531011u) * InverseMod2to32(214013u));
}

}  // namespace

TEST(Generator, SeedZeroGivesTheKnownSequence) {
  SeedGenerator(0);
  EXPECT_EQ(NextRandom(), 38);
  EXPECT_EQ(NextRandom(), 7719);
  EXPECT_EQ(NextRandom(), 21238);
  EXPECT_EQ(NextRandom(), 2437);
  SeedGenerator(1);
  EXPECT_EQ(NextRandom(), 41);
  EXPECT_EQ(NextRandom(), 18467);
}

TEST(Generator, DrawsStayInZeroTo32767AndReseedingRepeats) {
  SeedGenerator(99);
  int first[100];
  for (int& r : first) {
    r = NextRandom();
    ASSERT_GE(r, 0);
    ASSERT_LE(r, kRandomMax);
  }
  SeedGenerator(99);
  for (int r : first) EXPECT_EQ(NextRandom(), r);
}

TEST(Generator, RandomInRangeReachesBothEndsExactly) {
  SeedSoNextStateIs(0x00000000u);  // draw 0
  EXPECT_EQ(RandomInRange(0.25f, 0.75f), 0.25f);
  SeedSoNextStateIs(0x7FFF0000u);  // draw 32767
  EXPECT_EQ(RandomInRange(0.25f, 0.75f), 0.75f);
  SeedSoNextStateIs(0x7FFFFFFFu);
  EXPECT_EQ(RandomInRange(-1.0f, 1.0f), 1.0f);
  SeedSoNextStateIs(0x80000000u);  // bit 31 is masked off: draw 0
  EXPECT_EQ(RandomInRange(-1.0f, 1.0f), -1.0f);
  // The middle draw is formed in double and rounded once.
  SeedSoNextStateIs(0x40000000u);  // draw 16384
  EXPECT_EQ(RandomInRange(-1.0f, 1.0f), static_cast<float>(-1.0 + 2.0 * 16384 / 32767.0));
}

TEST(Lattice, KnownSeedFillsKnownFirstPointsInDrawOrder) {
  SeedGenerator(0);
  FillLattice();
  // Seed 0 draws 38, 7719, 21238, 2437, ...: value, gx, gy of (0, 0), then (0, 1).
  const LatticePoint& p = NoiseLattice[0][0];
  EXPECT_EQ(p.value, static_cast<float>(0.25 + 0.5 * 38 / 32767.0));
  EXPECT_EQ(p.gx, static_cast<float>(-1.0 + 2.0 * 7719 / 32767.0));
  EXPECT_EQ(p.gy, static_cast<float>(-1.0 + 2.0 * 21238 / 32767.0));
  EXPECT_EQ(NoiseLattice[0][1].value, static_cast<float>(0.25 + 0.5 * 2437 / 32767.0));

  // Columns run fastest: point (1, 0) takes draws 3072 to 3074.
  SeedGenerator(0);
  for (int k = 0; k < 3 * kLatticeSize; k++) NextRandom();
  const int r = NextRandom();
  EXPECT_EQ(NoiseLattice[1][0].value, static_cast<float>(0.25 + 0.5 * r / 32767.0));
}

TEST(Lattice, FillDrawsExactlyThreeNumbersPerPointAndDoesNotReseed) {
  SeedGenerator(7);
  FillLattice();
  const int afterFill = NextRandom();
  SeedGenerator(7);
  for (int k = 0; k < 3 * kLatticeSize * kLatticeSize; k++) NextRandom();
  EXPECT_EQ(afterFill, NextRandom());

  // A second fill continues the sequence, so the lattice changes.
  SeedGenerator(7);
  FillLattice();
  const float first = NoiseLattice[0][0].value;
  const float firstGx = NoiseLattice[5][9].gx;
  FillLattice();
  EXPECT_TRUE(NoiseLattice[0][0].value != first || NoiseLattice[5][9].gx != firstGx);
}

TEST(Lattice, EveryPointHoldsItsIndicesAndValuesInRange) {
  SeedGenerator(12345);
  NoiseLattice[0][3].cx = 4.0f;  // an edit that a fill must undo
  NoiseLattice[7][7].cy = 1.0f;
  FillLattice();
  float minValue = 1.0f, maxValue = 0.0f;
  for (int i = 0; i < kLatticeSize; i++) {
    for (int j = 0; j < kLatticeSize; j++) {
      const LatticePoint& p = NoiseLattice[i][j];
      ASSERT_EQ(p.x, static_cast<float>(j));
      ASSERT_EQ(p.y, static_cast<float>(i));
      ASSERT_GE(p.value, 0.25f);
      ASSERT_LE(p.value, 0.75f);
      ASSERT_GE(p.gx, -1.0f);
      ASSERT_LE(p.gx, 1.0f);
      ASSERT_GE(p.gy, -1.0f);
      ASSERT_LE(p.gy, 1.0f);
      ASSERT_EQ(p.cx, 0.0f);
      ASSERT_EQ(p.cy, 0.0f);
      if (p.value < minValue) minValue = p.value;
      if (p.value > maxValue) maxValue = p.value;
    }
  }
  // Over a million draws the whole range is used.
  EXPECT_LT(minValue, 0.2501f);
  EXPECT_GT(maxValue, 0.7499f);
}

TEST(Lattice, NoiseRangeConstants) {
  EXPECT_EQ(kNoiseMid, 0.5f);
  EXPECT_EQ(kNoiseMax - kRandomValueHigh, 0.25f);
}
