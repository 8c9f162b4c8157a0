// Settings the benchmarks are measured at, and a fixed lattice to measure on.
#pragma once

#include <string>
#include <vector>

#include "app/choices.h"
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
  for (const Choice& type : kNoiseChoices)
    for (const Choice& mode : kBlendChoices)
      for (int octaves : {0, kMaxOctaveIndex})
        for (int turbulence : {0, 1}) settings.push_back({type.id, mode.id, octaves, turbulence, kGreyscale});
  return settings;
}

// BenchNoiseSettings, then the heaviest setting in every other colour scale.
inline std::vector<BenchSetting> NoiseAndColourSettings() {
  std::vector<BenchSetting> settings = BenchNoiseSettings();
  for (const Choice& scale : kScaleChoices) {
    if (scale.id == kHeaviest.colourScale) continue;
    BenchSetting s = kHeaviest;
    s.colourScale = scale.id;
    settings.push_back(s);
  }
  return settings;
}

// Names read by scripts/run_bench.sh: fields separated by '/'.
inline std::string SettingName(const BenchSetting& s) {
  return std::string(ChoiceOf(kNoiseChoices, s.noiseType).word) + "/" +
         ChoiceOf(kBlendChoices, s.interpolation).word + "/" + std::to_string(s.octaveIndex + 1) +
         "oct/" + (s.turbulence ? "turb" : "plain") + "/" + ChoiceOf(kScaleChoices, s.colourScale).word;
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
