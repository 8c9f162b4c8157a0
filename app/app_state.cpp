#include "app/app_state.h"

#include <GL/glut.h>

#include <optional>

#include "noise/lattice.h"
#include "render/colour_scale.h"

AppState App;

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
}

namespace {
std::optional<uint32_t> ChosenSeed;
}

void ChooseSeed(uint32_t seed) { ChosenSeed = seed; }

void SeedRandom() {
  SeedGenerator(ChosenSeed ? *ChosenSeed : static_cast<uint32_t>(glutGet(GLUT_ELAPSED_TIME)));
}

void FillNewLattice() {
  App.latticeSeed = GeneratorState();
  App.editedPoints = 0;
  FillLattice();
}

void MarkPointEdited(int point) { App.editedPoints |= 1u << point; }
