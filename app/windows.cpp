#include "app/windows.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "app/app_state.h"
#include "app/input.h"
#include "app/platform.h"
#include "noise/lattice.h"
#include "render/graph_display.h"
#include "render/texture_fill_fast.h"
#include "render/texture_views.h"
#include "render/texture_window.h"

namespace {
const char* const kGraphTitle = "Noise Demo -- Quenmarl";
const char* const kTextureTitle = "2D Noise";

// Mesa's software rasteriser (llvmpipe through the Xlib loader) learns that
// a window has a new size only when its buffers are swapped: the first frame
// drawn after a resize still goes into a buffer of the old size, and is shown
// cut and shifted until something else redraws. Swapping the frame already
// there before drawing at a new size lets the rasteriser learn the size
// first; the frame drawn next is then the right one. The first frame of a
// window needs no such swap: its buffer is made at the size of that moment.
void SwapIfResized(DrawnSize& last, int width, int height) {
  if (last.width != 0 && (width != last.width || height != last.height))
    CurrentPlatform().SwapBuffers();
  last.width = width;
  last.height = height;
}

}  // namespace

int TextureWindowSide(int screenHeight) {
  const int side = screenHeight - kTextureWindowY - 40;
  return side < kTextureWindowMinSide ? kTextureWindowMinSide : side;
}

void PostGraphRedisplay() {
  CurrentPlatform().SetWindow(App.graphWindow);
  CurrentPlatform().PostRedisplay();
}

void InitGraphics() {
  Platform& platform = CurrentPlatform();
  App.graphWindow = platform.OpenWindow(AppWindow::kGraph, kGraphTitle, 0, 0, kGraphWindowWidth,
                                        kGraphWindowHeight);

  SeedRandom();
  FillNewLattice();

  App.xAxis = {8, 0.0f, 1.0f};
  App.noiseAxis = {5, kNoiseMin, (kNoiseMax - kNoiseMin) / (5 - 1)};

  const int side = TextureWindowSide(platform.ScreenHeight());
  App.textureWindow = platform.OpenWindow(AppWindow::kTexture, kTextureTitle, kTextureWindowX,
                                          kTextureWindowY, side, side);
}

void ReSize(int width, int height) {
  if (App.debug) fprintf(stderr, "ReSize: %d, %d\n", width, height);
  // No viewport here: Display sets it from the window size on every pass.
  PostGraphRedisplay();
}

void Visibility(int state) {
  if (App.debug) fprintf(stderr, "Visibility: %d\n", state);
  if (state == kWindowVisible) PostGraphRedisplay();
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
  view.views = App.views;
  view.pointerX = Process.graphPointerX;
  view.pointerY = Process.graphPointerY;
  return view;
}

void Display() {
  if (App.debug) fprintf(stderr, "Display; CurrentPoint = %d\n", App.currentPoint);

  Platform& platform = CurrentPlatform();
  platform.SetWindow(App.graphWindow);
  if (platform.Draws()) {
    const int width = platform.WindowWidth();
    const int height = platform.WindowHeight();
    SwapIfResized(Process.graphDrawn, width, height);
    DrawGraph(CurrentGraphView(), width, height);
    platform.SwapBuffers();
    glFlush();
  }

  // One redisplay refreshes both windows: the texture follows the graph.
  FillTexture();
  TextureDisplay();
}

namespace {
// Under the texture views: the shown octaves' noise before anything is drawn
// over it, and (for the statistics) its values, so a moving pointer redraws
// the overlays without a refill.
TextureRow ViewTexture[kTextureSize];
float ViewValues[kTextureSize * kTextureSize];
bool ViewValuesFilled = false;
}  // namespace

void RedrawTextureViews() {
  std::memcpy(NoiseTexture, ViewTexture, sizeof NoiseTexture);
  TextureOverlay overlay;
  overlay.shown = ShowOctaves(App.noise, App.views);
  overlay.settingOctaves = App.noise.octaveIndex + 1;
  overlay.views = App.views;
  overlay.pointerRow = Process.pointerRow;
  overlay.pointerColumn = Process.pointerColumn;
  overlay.values = ViewValuesFilled ? ViewValues : nullptr;
  overlay.lattice = &NoiseLattice;
  overlay.text = Process.textureText;
  DrawTextureOverlays(NoiseTexture, overlay);
}

void FillShownTexture() {
  // With no texture view on, the one fill the window always had.
  if (!OverlaysShown(App.views)) {
    FillTextureImage(NoiseTexture, App.noise, App.colourScale);
    return;
  }
  const ShownOctaves shown = ShowOctaves(App.noise, App.views);
  ViewValuesFilled = App.views.stats != 0;
  FillTextureOctaves(ViewTexture, shown.settings, shown.firstOctave, App.colourScale, NoiseLattice,
                     ViewValuesFilled ? ViewValues : nullptr);
  RedrawTextureViews();
}

void FillTexture() {
  if (App.debug) fprintf(stderr, "FillTexture\n");
  CurrentPlatform().SetWindow(App.textureWindow);
  FillShownTexture();
}

void DrawTexture() {
  Platform& platform = CurrentPlatform();
  platform.SetWindow(App.textureWindow);
  if (!platform.Draws()) return;
  const int width = platform.WindowWidth();
  const int height = platform.WindowHeight();
  SwapIfResized(Process.textureDrawn, width, height);
  // The views' text comes and goes with the window's size, and what the
  // window shows is what its exports write.
  const bool text = std::min(width, height) >= kOverlayTextMinSide;
  if (text != Process.textureText) {
    Process.textureText = text;
    if (OverlaysShown(App.views)) RedrawTextureViews();
  }
  DrawTextureImage(NoiseTexture, width, height, &Process.textureName);
}

void TextureDisplay() {
  DrawTexture();
  if (!CurrentPlatform().Draws()) return;
  CurrentPlatform().SwapBuffers();
  glFlush();
}
