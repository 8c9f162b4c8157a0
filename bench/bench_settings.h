// Settings the benchmarks are measured at, and a fixed lattice to measure on.
#pragma once

#include <string>
#include <vector>

#include "render/colour_scale.h"
#include "app/app_state.h"
#include "app/windows.h"
#include "noise/lattice.h"

struct BenchSetting {
  int noiseType;
  int interpolation;
  int octaveIndex;
  int turbulence;
  int colourScale;
};

// The heaviest: value+gradient, quintic, eight octaves, turbulence on.
constexpr BenchSetting kHeaviest = {kValueGradient, kQuintic, kMaxOctaveIndex, 1, kGreyscale};

// Every noise type at one and eight octaves, cubic and quintic, turbulence
// off and on, in grey.
inline std::vector<BenchSetting> BenchNoiseSettings() {
  std::vector<BenchSetting> settings;
  for (int type : {kValueOnly, kGradientOnly, kValueGradient})
    for (int mode : {kCubic, kQuintic})
      for (int octaves : {0, kMaxOctaveIndex})
        for (int turbulence : {0, 1}) settings.push_back({type, mode, octaves, turbulence, kGreyscale});
  return settings;
}

// BenchNoiseSettings, then the heaviest setting in the three other colour scales.
inline std::vector<BenchSetting> NoiseAndColourSettings() {
  std::vector<BenchSetting> settings = BenchNoiseSettings();
  for (int scale : {kRainbow, kClouds, kFire}) {
    BenchSetting s = kHeaviest;
    s.colourScale = scale;
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
         scales[s.colourScale];
}

inline void ApplySetting(const BenchSetting& s) {
  Reset();
  App.noise.noiseType = s.noiseType;
  App.noise.interpolation = s.interpolation;
  App.noise.octaveIndex = s.octaveIndex;
  App.noise.turbulence = s.turbulence;
  App.colourScale = s.colourScale;
}

// The same lattice for every run, as a user would get it from the generator.
inline void UseBenchLattice() {
  static bool filled = false;
  if (filled) return;
  SeedGenerator(20261207u);
  FillLattice();
  filled = true;
}
