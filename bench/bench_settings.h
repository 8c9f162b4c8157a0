// Settings the benchmarks are measured at, and a fixed lattice to measure on.
#pragma once

#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/init_graphics.h"
#include "noise/lattice.h"

struct BenchSetting {
  int noiseType;
  int interpolation;
  int octaveIndex;
  int turbulence;
  int colorScale;
};

// The heaviest: value+gradient, quintic, eight octaves, turbulence on.
constexpr BenchSetting kHeaviest = {kValueGradient, kQuintic, kMaxOctaveIndex, 1, kGrayscale};

// Every noise type at one and eight octaves, cubic and quintic, turbulence
// off and on, in grey.
inline std::vector<BenchSetting> NoiseSettings() {
  std::vector<BenchSetting> settings;
  for (int type : {kValueOnly, kGradientOnly, kValueGradient})
    for (int mode : {kCubic, kQuintic})
      for (int octaves : {0, kMaxOctaveIndex})
        for (int turbulence : {0, 1}) settings.push_back({type, mode, octaves, turbulence, kGrayscale});
  return settings;
}

// NoiseSettings, then the heaviest setting in the three other colour scales.
inline std::vector<BenchSetting> NoiseAndColorSettings() {
  std::vector<BenchSetting> settings = NoiseSettings();
  for (int scale : {kRainbow, kClouds, kFire}) {
    BenchSetting s = kHeaviest;
    s.colorScale = scale;
    settings.push_back(s);
  }
  return settings;
}

// Names read by scripts/run_bench.sh: fields separated by '/'.
inline std::string SettingName(const BenchSetting& s) {
  static const char* const types[] = {"value", "gradient", "value+gradient"};
  static const char* const scales[] = {"grey", "rainbow", "clouds", "fire"};
  return std::string(types[s.noiseType]) + "/" + (s.interpolation == kQuintic ? "quintic" : "cubic") +
         "/" + std::to_string(s.octaveIndex + 1) + "oct/" + (s.turbulence ? "turb" : "plain") + "/" +
         scales[s.colorScale];
}

inline void ApplySetting(const BenchSetting& s) {
  Reset();
  App.noiseType = s.noiseType;
  App.interpolation = s.interpolation;
  App.octaveIndex = s.octaveIndex;
  App.turbulence = s.turbulence;
  App.colorScale = s.colorScale;
}

// The same lattice for every run, as a user would get it from the generator.
inline void UseBenchLattice() {
  static bool filled = false;
  if (filled) return;
  SeedGenerator(20261207u);
  FillLattice();
  filled = true;
}
