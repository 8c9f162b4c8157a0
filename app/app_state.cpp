#include "app/app_state.h"

#include <cstring>
#include <optional>

#include "app/platform.h"
#include "noise/lattice.h"
#include "render/colour_scale.h"

AppState App;
ProcessState Process;

void Reset() {
  App.mouseButtonMask = 0;
  App.colourScale = kGreyscale;
  App.currentPoint = -1;
  App.debug = 0;
  App.noise.gradientRule = kZeroSlopes;
  App.noise.octaveIndex = 0;
  App.noise.noiseType = kValueOnly;
  App.noise.interpolation = kCubic;
  App.gradientSliderValue = 0.0f;
  App.noise.turbulence = 0;
  App.views = TeachingViews{};
}

void ChooseSeed(std::optional<uint32_t> seed) { Process.chosenSeed = seed; }

void SeedRandom() {
  SeedGenerator(Process.chosenSeed ? *Process.chosenSeed : CurrentPlatform().ElapsedMs());
}

void FillNewLattice() {
  App.latticeSeed = GeneratorState();
  FillLattice();
  std::memcpy(App.filledPoints, NoiseLattice[0], sizeof App.filledPoints);
}

void ApplyPointEdits(const std::vector<PointEdit>& edits) {
  for (const PointEdit& e : edits) {
    LatticePoint& p = NoiseLattice[0][e.point];
    p.value = e.value;
    p.gx = e.gradient;
    p.cx = e.curvature;
  }
}

namespace {
bool SameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }
}  // namespace

std::vector<PointEdit> EditedPoints() {
  std::vector<PointEdit> edits;
  for (int i = 0; i < kControlPoints; i++) {
    const LatticePoint& now = NoiseLattice[0][i];
    const LatticePoint& filled = App.filledPoints[i];
    if (!SameBits(now.value, filled.value) || !SameBits(now.gx, filled.gx) ||
        !SameBits(now.cx, filled.cx))
      edits.push_back({i, now.value, now.gx, now.cx});
  }
  return edits;
}
