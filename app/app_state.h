// The process-wide settings and interaction state.
//
// Every window, callback and panel control talks through this one record:
// the control panel writes its fields as live variables, and the GLUT
// callbacks in app/ read them and hand the renderers what they draw. Only
// app/ sees this header; the noise and render code take their settings as
// parameters.
#pragma once

#include <cstdint>

#include "noise/noise_settings.h"
#include "render/graph_layout.h"

class GLUI;
class GLUI_HSlider;
class GLUI_RadioGroup;

// Where the other two windows open, beside and below the graph window.
constexpr int kTextureWindowX = 50;
constexpr int kTextureWindowY = kGraphWindowHeight + 60;  // 560
constexpr int kTextureWindowMinSide = 200;
constexpr int kPanelX = kGraphWindowWidth + 50;  // 750
constexpr int kPanelY = 0;

struct AppState {
  // User settings: each is the live variable of one panel control.
  NoiseSettings noise;  // noise type, blend, slope rule, octaves, turbulence
  int colourScale;      // ColourScale
  int debug;            // 0 off, 1 on: diagnostic traces on stderr
  float gradientSliderValue;
  float curvatureSliderValue;

  // Interaction state.
  int currentPoint;     // -1 for none, else the control point 0..7
  int mouseButtonMask;  // left 4, middle 2, right 1
  int lastMouseX;
  int lastMouseY;       // window pixels, counted from the top edge
  // The generator state the current lattice was filled from, and the control
  // points edited (a bit each) since: what key i needs to reproduce it.
  uint32_t latticeSeed;
  unsigned editedPoints;

  // Handles, set once during start-up.
  int graphWindow;
  int textureWindow;
  GLUI* panel;
  GLUI_HSlider* gradientSlider;
  GLUI_HSlider* curvatureSlider;
  GLUI_RadioGroup* gradientRuleGroup;
  AxisScale xAxis;
  AxisScale noiseAxis;
};

// Zero when the process is loaded; Reset() gives the settings their defaults.
extern AppState App;

// Puts the user settings and interaction state back to their defaults. Leaves
// the lattice, the windows and the panel's enabled states alone.
void Reset();

// Seeds the generator with the seed chosen on the command line, or else with
// the milliseconds since GLUT started.
void SeedRandom();
void ChooseSeed(uint32_t seed);

// Fills the lattice from the generator's current state, remembering that
// state and that no point is edited yet.
void FillNewLattice();

// Notes that control point `point` no longer holds what the fill gave it.
void MarkPointEdited(int point);
