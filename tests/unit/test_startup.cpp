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
  App.noiseType = kValueGradient;
  App.interpolation = kQuintic;
  App.gradientRule = kCatmullRom;
  App.octaveIndex = 5;
  App.turbulence = 1;
  App.colorScale = kFire;
  App.debug = 1;
  App.gradientSliderValue = 0.4f;
  App.curvatureSliderValue = -3.0f;
  App.currentPoint = 4;
  App.mouseButtonMask = 5;
  App.lastMouseX = 17;
  App.renderMode = kRenderModeSelect;
  ControlValue(2) = 0.95f;

  Reset();

  EXPECT_EQ(App.noiseType, kValueOnly);
  EXPECT_EQ(App.interpolation, kCubic);
  EXPECT_EQ(App.gradientRule, kZeroSlopes);
  EXPECT_EQ(App.octaveIndex, 0);
  EXPECT_EQ(App.turbulence, 0);
  EXPECT_EQ(App.colorScale, kGrayscale);
  EXPECT_EQ(App.debug, 0);
  EXPECT_EQ(App.gradientSliderValue, 0.0f);
  EXPECT_EQ(App.currentPoint, -1);
  EXPECT_EQ(App.mouseButtonMask, 0);
  EXPECT_EQ(App.renderMode, kRenderModeRender);
  // Not the curvature slider, the last mouse position or the lattice.
  EXPECT_EQ(App.curvatureSliderValue, -3.0f);
  EXPECT_EQ(App.lastMouseX, 17);
  EXPECT_EQ(ControlValue(2), 0.95f);
}
