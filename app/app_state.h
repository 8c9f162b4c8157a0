// The process-wide settings and interaction state.
//
// Every window, callback and renderer talks through this one record: the
// control panel writes its fields as live variables, the noise and render code
// read them on their next pass. It is plain data on purpose, so the noise code
// can read the settings without knowing anything about windows or the panel.
#pragma once

#include <cstdint>

class GLUI;
class GLUI_HSlider;
class GLUI_RadioGroup;

// ---------------------------------------------------------------------------
// Setting values as the panel's radio groups store them (0-based positions)
// ---------------------------------------------------------------------------
enum NoiseTypeValue { kValueOnly = 0, kGradientOnly = 1, kValueGradient = 2 };
enum InterpolationValue { kCubic = 0, kQuintic = 1 };
enum GradientRuleValue { kZeroSlopes = 0, kCatmullRom = 1 };
enum ColorScaleValue { kGrayscale = 0, kRainbow = 1, kClouds = 2, kFire = 3 };

constexpr int kMaxOctaveIndex = 7;  // eight octaves

// OpenGL render-mode constants, kept here so the state stays free of GL headers.
constexpr int kRenderModeRender = 0x1C00;  // GL_RENDER
constexpr int kRenderModeSelect = 0x1C02;  // GL_SELECT

// ---------------------------------------------------------------------------
// Window and graph geometry, in drawing units of the graph window
// ---------------------------------------------------------------------------
constexpr int kGraphWindowWidth = 700;
constexpr int kGraphWindowHeight = 500;
constexpr int kLeftMargin = 50;
constexpr int kRightMargin = 50;
constexpr int kBottomMargin = 150;
constexpr int kTopMargin = 50;
constexpr int kGraphWidth = kGraphWindowWidth - kLeftMargin - kRightMargin;    // 600
constexpr int kGraphHeight = kGraphWindowHeight - kBottomMargin - kTopMargin;  // 300
constexpr int kPickSize = 10;
constexpr int kTextureWindowX = 50;
constexpr int kTextureWindowY = kGraphWindowHeight + 60;  // 560
constexpr int kTextureWindowMinSide = 200;
constexpr int kPanelX = kGraphWindowWidth + 50;  // 750
constexpr int kPanelY = 0;
constexpr int kControlPoints = 8;
constexpr int kSelectionBufferSize = 256;

// How one graph axis is divided and labelled.
struct AxisScale {
  int count;
  float minimum;
  float step;
};

struct AppState {
  // User settings: each is the live variable of one panel control.
  int noiseType;       // NoiseTypeValue
  int interpolation;   // InterpolationValue; anything but kQuintic means cubic
  int gradientRule;    // GradientRuleValue, for value-only 1D noise
  int octaveIndex;     // 0..7: number of octaves minus one
  int turbulence;      // 0 off, 1 on
  int colorScale;      // ColorScaleValue
  int debug;           // 0 off, 1 on: diagnostic traces on stderr
  float gradientSliderValue;
  float curvatureSliderValue;

  // Interaction state.
  int currentPoint;     // -1 for none, else the control point 0..7
  int mouseButtonMask;  // left 4, middle 2, right 1
  int lastMouseX;
  int lastMouseY;       // window pixels, counted from the top edge
  int renderMode;       // kRenderModeRender or kRenderModeSelect
  // The generator state the current lattice was filled from, and the control
  // points edited (a bit each) since: what key i needs to reproduce it.
  uint32_t latticeSeed;
  unsigned editedPoints;
  uint32_t selectionBuffer[kSelectionBufferSize];

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
