// Shared set-up for tests that evaluate noise: default settings and a lattice
// filled from a fixed seed, so every test starts from the same known state.
#pragma once

#include <gtest/gtest.h>

#include "app/app_state.h"
#include "app/windows.h"
#include "noise/lattice.h"

class NoiseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Reset();
    SeedGenerator(20261207u);
    FillLattice();
  }

  static LatticePoint& Point(int row, int column) { return NoiseLattice[row][column]; }
  static float& ControlValue(int i) { return NoiseLattice[0][i].value; }
};
