// The graph window's drawing: axes, midpoint line, the 1D noise curve, the
// control points and the grey bar, in a fixed 700 by 500 drawing stretched
// over the window. It draws what it is handed into the current window's
// back buffer; choosing the window and swapping are the caller's.
#pragma once

#include "noise/noise_settings.h"
#include "render/graph_layout.h"
#include "render/teaching_views.h"

// Everything one pass draws from, besides the lattice's row 0.
struct GraphView {
  NoiseSettings noise;
  int currentPoint;  // drawn green; -1 for none
  AxisScale xAxis;
  AxisScale noiseAxis;
  bool debug;        // each routine prints its name on standard error first
  TeachingViews views;  // the graph draws the octaves and derivatives views; all off draws as ever
  // The pointer in the window's pixels from the top left (the stats view's
  // reading); -1 while it has not been over the window.
  int pointerX = -1;
  int pointerY = -1;
};

// One pass over a window of width by height pixels.
void DrawGraph(const GraphView& view, int width, int height);

// The control points under a press, in the order PlotPoints draws them.
struct PickHits {
  int count;
  int index[kControlPoints];
};

// The dots under a press at window pixel (x, y), y counted from the top, in
// a window of width by height pixels: those whose centre lies in the 10 by 10
// pixel box centred there, edges included (a dot is picked by its centre,
// whatever its size). A window of no size has none.
PickHits PickPoints(const GraphView& view, int x, int y, int width, int height);

// Window pixels per drawing unit, across and up: lines are measured in pixels.
struct PixelScale {
  float perUnitX;
  float perUnitY;
};
PixelScale GraphPixels(int width, int height);

void Xaxis(const char* label, const AxisScale& scale, bool debug, const PixelScale& pixels);
void Zaxis(const char* label, const AxisScale& scale, bool debug, const PixelScale& pixels);
void PlotLine(const GraphView& view, const PixelScale& pixels);
void PlotBar(const GraphView& view, const PixelScale& pixels);
void PlotPoints(const GraphView& view);
// Each octave's term about the midpoint as a thin line in its own colour, the
// sum after each octave but the last (the curve itself) as dots in that
// colour, and their legend in the top margin where `margin` places it.
void PlotOctaves(const GraphView& view, const PixelScale& pixels, const TopMargin& margin);

// The colour of octave k (0..7) in the octaves view.
struct OctaveColour {
  float r, g, b;
};
OctaveColour OctaveColourOf(int k);

// The derivatives strip: f' (and f'' under the quintic blend) below the
// graph, each on its own axis, and at control points 1 to 7 whether each is
// continuous (a green dot) or jumps (a red bar from the left value to the
// right one). Under the cubic blend f'' jumps at the points, so it is not
// drawn; the strip's line says at how many it jumps.
void PlotDerivatives(const GraphView& view, const PixelScale& pixels);

// What the stats view reads at the pointer: the position x under it, read
// through the x axis's mapping from the pixel's centre and rounded to the
// three decimals shown, so that `value` (and `slope`) are Noise1D (and f')
// at exactly the x the text shows. None outside the axis's 0 to 7.
struct GraphReading {
  bool shown;
  float x;
  float value;
  float slope;
  char text[128];  // "x 3.142  f 0.5231  f' -1.25", each number read back exactly
  // Shorter forms for a narrow window: "x 3.142  f 0.5231", "f 0.5231".
  char withoutSlope[96];
  char valueAlone[48];
};
GraphReading ReadGraphPointer(const GraphView& view, int width);

// Draws a string in the fixed 9-by-15 font with its first glyph's origin at
// (x, y, z), through the text seam (text/text.h).
void DrawString(float x, float y, float z, const char* text);

// Where position x (0..7) of the graph lies in drawing units.
float GraphX(const AxisScale& xAxis, float x);
