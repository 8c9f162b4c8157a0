// Shared set-up for tests that evaluate noise: the default settings and a
// lattice filled from a fixed seed, so every test starts from the same known
// state. Pure noise: nothing of the program's own state is involved.
#pragma once

#include <gtest/gtest.h>

#include "noise/lattice.h"
#include "noise/noise_settings.h"

class NoiseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SeedGenerator(20261207u);
    FillLattice();
  }

  // The settings a test evaluates under; the program starts with these.
  NoiseSettings settings{kValueOnly, kCubic, kZeroSlopes, 0, 0};

  static LatticePoint& Point(int row, int column) { return NoiseLattice[row][column]; }
  static float& ControlValue(int i) { return NoiseLattice[0][i].value; }
};
