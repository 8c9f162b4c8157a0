// The process-wide settings and interaction state.
//
// Every window, callback and panel control talks through this one record:
// the control panel writes its fields as live variables, and the GLUT
// callbacks in app/ read them and hand the renderers what they draw. Only
// app/ sees this header; the noise and render code take their settings as
// parameters.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "app/command_line.h"
#include "noise/lattice.h"
#include "noise/noise2d.h"
#include "noise/noise_settings.h"
#include "render/graph_layout.h"
#include "render/teaching_views.h"

class GLUI;
class GLUI_HSlider;
class GLUI_RadioGroup;

// Where the other two windows open, beside and below the graph window.
constexpr int kTextureWindowX = 50;
constexpr int kTextureWindowY = kGraphWindowHeight + 60;  // 560
constexpr int kTextureWindowMinSide = 200;
constexpr int kPanelX = kGraphWindowWidth + 50;  // 750
constexpr int kPanelY = 0;
constexpr int kViewsPanelGap = 10;  // pixels between the panel and the Views panel

struct AppState {
  // User settings: each is the live variable of one panel control.
  NoiseSettings noise;  // noise type, blend, slope rule, octaves, turbulence
  int colourScale;      // ColourScale
  int debug;            // 0 off, 1 on: diagnostic traces on stderr
  float gradientSliderValue;
  float curvatureSliderValue;
  TeachingViews views;  // all off after Reset

  // Interaction state.
  int currentPoint;     // -1 for none, else the control point 0..7
  int mouseButtonMask;  // left 4, middle 2, right 1
  int lastMouseX;
  int lastMouseY;       // window pixels, counted from the top edge
  // The generator state the current lattice was filled from, and the control
  // points as that fill left them: what key i needs to reproduce it.
  uint32_t latticeSeed;
  LatticePoint filledPoints[kControlPoints];

  // Handles, set once during start-up.
  int graphWindow;
  int textureWindow;
  GLUI* panel;
  GLUI* viewsPanel;  // the teaching views' check boxes and octave chooser
  GLUI_HSlider* gradientSlider;
  GLUI_HSlider* curvatureSlider;
  GLUI_RadioGroup* gradientRuleGroup;
  AxisScale xAxis;
  AxisScale noiseAxis;
};

// Zero when the process is loaded; Reset() gives the settings their defaults.
extern AppState App;

// A window's size at its last draw; 0 by 0 before the first.
struct DrawnSize {
  int width = 0;
  int height = 0;
};

// What the core keeps for the life of the process that is not a setting:
// nothing else in app/ or render/ outlives a call (docs/architecture.md
// lists every other place state lives). Reset leaves it alone.
struct ProcessState {
  // The seed --seed chose, used by every fill instead of the clock; none
  // until chosen, and again after ChooseSeed(std::nullopt).
  std::optional<uint32_t> chosenSeed;
  // Each display callback's last drawn size: a draw at another size swaps
  // first, so the buffer the window manager shows is never a stale one.
  DrawnSize graphDrawn;
  DrawnSize textureDrawn;
  // The texture window's GL texture object, made on its first draw.
  unsigned textureName = 0;
  // The texel under the pointer in the texture window, which the probe and
  // the pointer's value read: where the pointer last was, the centre until
  // it first comes in (and so in the batch exports).
  int pointerRow = kTextureSize / 2;
  int pointerColumn = kTextureSize / 2;
  // The pointer over the graph window, in its pixels from the top left,
  // which the statistics view's reading follows; none (-1) until it comes in.
  int graphPointerX = -1;
  int graphPointerY = -1;
  // Whether the texture window is large enough for the views' text
  // (kOverlayTextMinSide), as its last draw found it.
  bool textureText = true;
};
extern ProcessState Process;

// Puts the user settings and interaction state back to their defaults. Leaves
// the lattice, the windows and the panel's enabled states alone.
void Reset();

// Seeds the generator with the seed chosen on the command line, or else with
// the milliseconds since the front end started.
void SeedRandom();
// Chooses the seed SeedRandom takes from now on; std::nullopt goes back to
// the clock.
void ChooseSeed(std::optional<uint32_t> seed);

// Fills the lattice from the generator's current state, remembering that
// state and the control points as the fill left them.
void FillNewLattice();

// Sets control points as drags and sliders would: value, gradient x and
// curvature x of lattice row 0, column `point`.
void ApplyPointEdits(const std::vector<PointEdit>& edits);

// The control points, in order, whose value, gradient x or curvature x no
// longer holds the bits the fill gave it, each with all three as they are
// now. These are compared rather than tracked: a point dragged or slid back
// to exactly what it had is the seed's again and needs no --point, while
// one that moved at all, if only from 0 to -0, is listed: comparing the
// bits is the one test that never misses a difference.
std::vector<PointEdit> EditedPoints();
