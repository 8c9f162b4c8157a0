// The graph window: axes, midpoint line, the 1D noise curve, the control
// points and the grey bar, in a fixed 700 by 500 drawing stretched over the
// window.
#pragma once

#include "app/app_state.h"

// The graph window's display callback. In render mode it draws everything,
// swaps, then refills and redraws the texture window, so one redisplay
// refreshes both. In select mode (App.renderMode == kRenderModeSelect) it
// draws only the control points, each under its own name, under a 10 by 10
// pick matrix at the last mouse position, and neither swaps nor refills.
void Display();

void Xaxis(const char* label, const AxisScale& scale);
void Zaxis(const char* label, const AxisScale& scale);
void PlotLine();
void PlotBar();
void PlotPoints();

// Draws a string in GLUT's 9-by-15 bitmap font with its raster position at
// (x, y, z).
void DrawString(float x, float y, float z, const char* text);

// Where position x (0..7) of the graph lies in drawing units.
float GraphX(float x);
