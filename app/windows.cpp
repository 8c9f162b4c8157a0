#include "app/windows.h"

#include <GL/glut.h>

#include <cstdio>

#include "app/app_state.h"
#include "app/ending.h"
#include "app/input.h"
#include "noise/lattice.h"
#include "render/graph_display.h"
#include "render/texture_fill_fast.h"
#include "render/texture_window.h"

namespace {
const char* const kGraphTitle = "Noise Demo -- Quenmarl";
const char* const kTextureTitle = "2D Noise";

// A window at the position and size set just before, titled (twice, as some
// window managers only take a title set after creation), cleared to black,
// and watched: closed from outside, it ends the program cleanly.
int OpenWindow(const char* title) {
  const int id = glutCreateWindow(title);
  glutSetWindowTitle(title);
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  WatchCurrentWindow(title);
  return id;
}
// Mesa's software rasteriser (llvmpipe through the Xlib loader) learns that
// a window has a new size only when its buffers are swapped: the first frame
// drawn after a resize still goes into a buffer of the old size, and is shown
// cut and shifted until something else redraws. Swapping the frame already
// there before drawing at a new size lets the rasteriser learn the size
// first; the frame drawn next is then the right one. The first frame of a
// window needs no such swap: its buffer is made at the size of that moment.
struct DrawnSize {
  int width = 0;
  int height = 0;
};

void SwapIfResized(DrawnSize& last, int width, int height) {
  if (last.width != 0 && (width != last.width || height != last.height)) glutSwapBuffers();
  last.width = width;
  last.height = height;
}

}  // namespace

int TextureWindowSide(int screenHeight) {
  const int side = screenHeight - kTextureWindowY - 40;
  return side < kTextureWindowMinSide ? kTextureWindowMinSide : side;
}

void PostGraphRedisplay() {
  glutSetWindow(App.graphWindow);
  glutPostRedisplay();
}

void InitGraphics() {
  glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE);
  glutInitWindowPosition(0, 0);
  glutInitWindowSize(kGraphWindowWidth, kGraphWindowHeight);
  App.graphWindow = OpenWindow(kGraphTitle);

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

  glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE);
  glutInitWindowPosition(kTextureWindowX, kTextureWindowY);
  const int side = TextureWindowSide(glutGet(GLUT_SCREEN_HEIGHT));
  glutInitWindowSize(side, side);
  App.textureWindow = OpenWindow(kTextureTitle);

  glutSetWindow(App.textureWindow);
  glutDisplayFunc(TextureDisplay);
  glutKeyboardFunc(Keyboard);
  glutMouseFunc(MouseButton);
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

// ---------------------------------------------------------------------------
// Display callbacks: they read AppState and hand the renderers what to draw.
// ---------------------------------------------------------------------------

// The view of the graph that AppState describes now.
GraphView CurrentGraphView() {
  GraphView view;
  view.noise = App.noise;
  view.currentPoint = App.currentPoint;
  view.xAxis = App.xAxis;
  view.noiseAxis = App.noiseAxis;
  view.debug = App.debug != 0;
  return view;
}

void Display() {
  if (App.debug) fprintf(stderr, "Display; CurrentPoint = %d\n", App.currentPoint);

  glutSetWindow(App.graphWindow);
  const int width = glutGet(GLUT_WINDOW_WIDTH);
  const int height = glutGet(GLUT_WINDOW_HEIGHT);
  static DrawnSize graphSize;
  SwapIfResized(graphSize, width, height);
  DrawGraph(CurrentGraphView(), width, height);
  glutSwapBuffers();
  glFlush();

  // One redisplay refreshes both windows: the texture follows the graph.
  FillTexture();
  TextureDisplay();
}

void FillTexture() {
  if (App.debug) fprintf(stderr, "FillTexture\n");
  glutSetWindow(App.textureWindow);
  FillTextureImage(NoiseTexture, App.noise, App.colourScale);
}

void DrawTexture() {
  glutSetWindow(App.textureWindow);
  const int width = glutGet(GLUT_WINDOW_WIDTH);
  const int height = glutGet(GLUT_WINDOW_HEIGHT);
  static DrawnSize textureSize;
  SwapIfResized(textureSize, width, height);
  DrawTextureImage(NoiseTexture, width, height);
}

void TextureDisplay() {
  DrawTexture();
  glutSwapBuffers();
  glFlush();
}
