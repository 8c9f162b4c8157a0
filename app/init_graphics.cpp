#include "app/init_graphics.h"

#include <GL/glut.h>

#include <cstdio>
#include <optional>

#include "app/app_state.h"
#include "app/input.h"
#include "noise/lattice.h"
#include "render/graph_display.h"
#include "render/texture_window.h"

namespace {
const char* const kGraphTitle = "Noise Demo -- Quenmarl";
const char* const kTextureTitle = "2D Noise";
}  // namespace

int TextureWindowSide(int screenHeight) {
  const int side = screenHeight - kTextureWindowY - 40;
  return side < kTextureWindowMinSide ? kTextureWindowMinSide : side;
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

void PostGraphRedisplay() {
  glutSetWindow(App.graphWindow);
  glutPostRedisplay();
}

void InitGraphics() {
  glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE);
  glutInitWindowPosition(0, 0);
  glutInitWindowSize(kGraphWindowWidth, kGraphWindowHeight);
  App.graphWindow = glutCreateWindow(kGraphTitle);
  glutSetWindowTitle(kGraphTitle);
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);

  // Every graph-window callback is set here, the unused ones explicitly
  // cleared. No timer is registered: the program needs none, and freeglut
  // would call a null timer function.
  glutSetWindow(App.graphWindow);
  glutDisplayFunc(Display);
  glutReshapeFunc(ReSize);
  glutKeyboardFunc(Keyboard);
  glutMouseFunc(MouseButton);
  glutMotionFunc(MouseMotion);
  glutPassiveMotionFunc(nullptr);
  glutVisibilityFunc(Visibility);
  glutEntryFunc(nullptr);
  glutSpecialFunc(nullptr);
  glutSpaceballMotionFunc(nullptr);
  glutSpaceballRotateFunc(nullptr);
  glutSpaceballButtonFunc(nullptr);
  glutButtonBoxFunc(nullptr);
  glutDialsFunc(nullptr);
  glutTabletMotionFunc(nullptr);
  glutTabletButtonFunc(nullptr);
  glutMenuStateFunc(nullptr);

  SeedRandom();
  FillNewLattice();

  App.xAxis = {8, 0.0f, 1.0f};
  App.noiseAxis = {5, kNoiseMin, (kNoiseMax - kNoiseMin) / (5 - 1)};

  // The graph window is current, so the buffer belongs to its context.
  glSelectBuffer(kSelectionBufferSize, App.selectionBuffer);

  glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE);
  glutInitWindowPosition(kTextureWindowX, kTextureWindowY);
  const int side = TextureWindowSide(glutGet(GLUT_SCREEN_HEIGHT));
  glutInitWindowSize(side, side);
  App.textureWindow = glutCreateWindow(kTextureTitle);
  glutSetWindowTitle(kTextureTitle);
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);

  glutSetWindow(App.textureWindow);
  glutDisplayFunc(TextureDisplay);
  glutKeyboardFunc(Keyboard);
  glutMouseFunc(MouseButton);
}

void Reset() {
  App.mouseButtonMask = 0;
  App.colorScale = kGrayscale;
  App.currentPoint = -1;
  App.debug = 0;
  App.gradientRule = kZeroSlopes;
  App.octaveIndex = 0;
  App.noiseType = kValueOnly;
  App.interpolation = kCubic;
  App.renderMode = kRenderModeRender;
  App.gradientSliderValue = 0.0f;
  App.turbulence = 0;
}

void ReSize(int width, int height) {
  if (App.debug) fprintf(stderr, "ReSize: %d, %d\n", width, height);
  // No viewport here: Display sets it from the window size on every pass.
  PostGraphRedisplay();
}

void Visibility(int state) {
  if (App.debug) fprintf(stderr, "Visibility: %d\n", state);
  if (state == GLUT_VISIBLE) PostGraphRedisplay();
}
