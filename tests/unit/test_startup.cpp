#include "render/colour_scale.h"
#include "app/app_state.h"
#include "app/app_state.h"
#include "app/windows.h"
#include "noise_fixture.h"

TEST(Startup, TextureWindowSideFollowsTheScreenHeight) {
  EXPECT_EQ(TextureWindowSide(1112), 512);
  EXPECT_EQ(TextureWindowSide(1080), 480);
  EXPECT_EQ(TextureWindowSide(1200), 600);
  EXPECT_EQ(TextureWindowSide(801), 201);
  EXPECT_EQ(TextureWindowSide(800), 200);
  EXPECT_EQ(TextureWindowSide(768), 200);
  EXPECT_EQ(TextureWindowSide(0), 200);
  EXPECT_EQ(TextureWindowSide(-5), 200);
}

class ResetTest : public NoiseTest {};

TEST_F(ResetTest, RestoresTheDefaultsAndLeavesTheRestAlone) {
  App.noise.noiseType = kValueGradient;
  App.noise.interpolation = kQuintic;
  App.noise.gradientRule = kCatmullRom;
  App.noise.octaveIndex = 5;
  App.noise.turbulence = 1;
  App.colourScale = kFire;
  App.debug = 1;
  App.gradientSliderValue = 0.4f;
  App.curvatureSliderValue = -3.0f;
  App.currentPoint = 4;
  App.mouseButtonMask = 5;
  App.lastMouseX = 17;
  ControlValue(2) = 0.95f;

  Reset();

  EXPECT_EQ(App.noise.noiseType, kValueOnly);
  EXPECT_EQ(App.noise.interpolation, kCubic);
  EXPECT_EQ(App.noise.gradientRule, kZeroSlopes);
  EXPECT_EQ(App.noise.octaveIndex, 0);
  EXPECT_EQ(App.noise.turbulence, 0);
  EXPECT_EQ(App.colourScale, kGreyscale);
  EXPECT_EQ(App.debug, 0);
  EXPECT_EQ(App.gradientSliderValue, 0.0f);
  EXPECT_EQ(App.currentPoint, -1);
  EXPECT_EQ(App.mouseButtonMask, 0);
  // Not the curvature slider, the last mouse position or the lattice.
  EXPECT_EQ(App.curvatureSliderValue, -3.0f);
  EXPECT_EQ(App.lastMouseX, 17);
  EXPECT_EQ(ControlValue(2), 0.95f);
}
