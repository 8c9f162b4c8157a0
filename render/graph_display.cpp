#include "render/graph_display.h"

#include <GL/glu.h>

#include <cmath>
#include <cstdint>
#include <cstdio>

#include "noise/lattice.h"
#include "noise/noise1d.h"
#include "render/frame.h"
#include "text/text.h"

namespace {

constexpr int kSamplesPerInterval = 64;
constexpr int kIntervals = 7;
constexpr float kTickLength = 10.0f;
constexpr float kBarBottom = 20.0f;
constexpr float kBarTop = kBottomMargin - 50.0f;  // 100

// Drawing units per unit of position and per unit of noise.
float XScale(const AxisScale& axis) { return kGraphWidth / ((axis.count - 1) * axis.step); }
float NoiseScale(const AxisScale& axis) { return kGraphHeight / ((axis.count - 1) * axis.step); }
float GraphY(const GraphView& view, float v) {
  return kBottomMargin + (v - view.noiseAxis.minimum) * NoiseScale(view.noiseAxis);
}

float ClampNoise(float v) {
  if (v < kNoiseMin) return kNoiseMin;
  if (v > kNoiseMax) return kNoiseMax;
  return v;
}

// The position of sample j of interval i; positions 1 to 6 occur twice.
float SamplePosition(int i, int j) {
  return static_cast<float>(i) + static_cast<float>(j) / static_cast<float>(kSamplesPerInterval - 1);
}

}  // namespace

float GraphX(const AxisScale& xAxis, float x) {
  return kLeftMargin + (x - xAxis.minimum) * XScale(xAxis);
}

void DrawString(float x, float y, float z, const char* text) {
  Text().draw(TextFont::kFixed9x15, x, y, z, text);
}

// ---------------------------------------------------------------------------
// The whole drawing
// ---------------------------------------------------------------------------

void DrawGraph(const GraphView& view, int width, int height) {
  BeginFrame(width, height);
  gluOrtho2D(0.0, kGraphWindowWidth, 0.0, kGraphWindowHeight);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();

  Xaxis("N", view.xAxis, view.debug);
  Zaxis("Noise", view.noiseAxis, view.debug);

  const float midY = kBottomMargin + kGraphHeight / 2.0f;
  glColor3f(0.7f, 1.0f, 0.0f);
  glBegin(GL_LINE_STRIP);
  glVertex2f(kLeftMargin, midY);
  glVertex2f(kLeftMargin + kGraphWidth, midY);
  glEnd();

  PlotLine(view);
  PlotPoints(view);
  PlotBar(view);
}

int PickPoints(const GraphView& view, int x, int y, int width, int height, uint32_t* buffer,
               int capacity) {
  if (width <= 0 || height <= 0) return 0;
  // The pick box in window pixels, y up as OpenGL counts it.
  const double centreX = x;
  const double centreY = height - y;
  const double reach = kPickSize / 2.0;
  // A depth of 0 in the 2D drawing is the middle of the depth range, the
  // value a selection pass records for it.
  const uint32_t depth = 2147483648u;
  int hits = 0;
  int at = 0;
  for (int i = 0; i < kControlPoints; i++) {
    // Where PlotPoints puts dot i, through the 700 by 500 drawing stretched
    // over the whole window.
    const float value = view.noise.noiseType == kGradientOnly ? kNoiseMid : NoiseLattice[0][i].value;
    const double dotX = static_cast<double>(GraphX(view.xAxis, static_cast<float>(i))) * width /
                        kGraphWindowWidth;
    const double dotY = static_cast<double>(GraphY(view, value)) * height / kGraphWindowHeight;
    if (std::fabs(dotX - centreX) > reach || std::fabs(dotY - centreY) > reach) continue;
    if (at + 4 > capacity) break;
    buffer[at++] = 1;  // names on the stack
    buffer[at++] = depth;
    buffer[at++] = depth;
    buffer[at++] = static_cast<uint32_t>(i);
    hits++;
  }
  return hits;
}

// ---------------------------------------------------------------------------
// Axes
// ---------------------------------------------------------------------------

void Xaxis(const char* label, const AxisScale& scale, bool debug) {
  if (debug) fprintf(stderr, "Xaxis\n");
  const float left = kLeftMargin;
  const float bottom = kBottomMargin;
  const float d = static_cast<float>(kGraphWidth) / static_cast<float>(scale.count - 1);

  glColor3f(1.0f, 1.0f, 1.0f);
  glLineWidth(2.0f);
  glBegin(GL_LINE_STRIP);
  glVertex2f(left, bottom);
  glVertex2f(left + kGraphWidth, bottom);
  glEnd();

  glBegin(GL_LINES);
  float x = left;
  for (int t = 0; t < scale.count; t++) {
    glVertex2f(x, bottom - kTickLength);
    glVertex2f(x, bottom);
    x += d;
  }
  glEnd();

  glColor3f(1.0f, 1.0f, 1.0f);
  char text[32];
  x = left;
  float value = scale.minimum;
  for (int t = 0; t < scale.count; t++) {
    snprintf(text, sizeof text, "%.2f", value);
    DrawString(x - 20.0f, bottom - 2.0f * kTickLength, 0.0f, text);
    x += d;
    value += scale.step;
  }
  glLineWidth(1.0f);

  glColor3f(1.0f, 1.0f, 1.0f);
  DrawString(left + kGraphWidth / 2.0f, bottom - 3.0f * kTickLength, 0.0f, label);
}

void Zaxis(const char* label, const AxisScale& scale, bool debug) {
  if (debug) fprintf(stderr, "Zaxis\n");
  const float left = kLeftMargin;
  const float bottom = kBottomMargin;
  const float d = static_cast<float>(kGraphHeight) / static_cast<float>(scale.count - 1);

  glColor3f(1.0f, 1.0f, 1.0f);
  glLineWidth(2.0f);
  glBegin(GL_LINE_STRIP);
  glVertex2f(left, bottom);
  glVertex2f(left, bottom + kGraphHeight);
  glEnd();

  glBegin(GL_LINES);
  float y = bottom;
  for (int t = 0; t < scale.count; t++) {
    glVertex2f(left - kTickLength, y);
    glVertex2f(left, y);
    y += d;
  }
  glEnd();
  glLineWidth(1.0f);

  glColor3f(1.0f, 1.0f, 1.0f);
  char text[32];
  y = bottom;
  float value = scale.minimum;
  for (int t = 0; t < scale.count; t++) {
    snprintf(text, sizeof text, "%.2f", value);
    DrawString(left - 3.0f * kTickLength, y, 0.0f, text);
    y += d;
    value += scale.step;
  }

  // The title reads downwards, one letter every 15 units.
  glColor3f(1.0f, 1.0f, 1.0f);
  y = bottom + kGraphHeight / 2.0f;
  for (const char* c = label; *c != '\0'; c++) {
    const char letter[2] = {*c, '\0'};
    DrawString(left - 4.0f * kTickLength, y, 0.0f, letter);
    y -= 15.0f;
  }
}

// ---------------------------------------------------------------------------
// Plots
// ---------------------------------------------------------------------------

void PlotLine(const GraphView& view) {
  if (view.debug) fprintf(stderr, "PlotLine\n");
  glColor3f(1.0f, 1.0f, 0.0f);
  glLineWidth(3.0f);
  glBegin(GL_LINE_STRIP);
  for (int i = 0; i < kIntervals; i++) {
    for (int j = 0; j < kSamplesPerInterval; j++) {
      const float x = SamplePosition(i, j);
      const float v = ClampNoise(Noise1D(x, view.noise));
      glVertex2f(GraphX(view.xAxis, x), GraphY(view, v));
    }
  }
  glEnd();
  glLineWidth(1.0f);
}

void PlotBar(const GraphView& view) {
  if (view.debug) fprintf(stderr, "PlotBar\n");
  glLineWidth(3.0f);
  glBegin(GL_LINES);
  for (int i = 0; i < kIntervals; i++) {
    for (int j = 0; j < kSamplesPerInterval; j++) {
      const float x = SamplePosition(i, j);
      float g = (Noise1D(x, view.noise) - kNoiseMin) / (kNoiseMax - kNoiseMin);
      if (g < 0.0f) g = 0.0f;
      if (g > 1.0f) g = 1.0f;
      glColor3f(g, g, g);
      const float gx = GraphX(view.xAxis, x);
      glVertex2f(gx, kBarBottom);
      glVertex2f(gx, kBarTop);
    }
  }
  glEnd();
  glLineWidth(1.0f);
}

void PlotPoints(const GraphView& view) {
  if (view.debug) fprintf(stderr, "PlotPoints\n");
  glPointSize(7.0f);
  for (int i = 0; i < kControlPoints; i++) {
    if (i == view.currentPoint) {
      glColor3f(0.0f, 1.0f, 0.0f);
    } else {
      glColor3f(1.0f, 1.0f, 1.0f);
    }
    // Not clamped: a value dragged below 0 is drawn below the noise axis.
    const float y = view.noise.noiseType == kGradientOnly ? kNoiseMid : NoiseLattice[0][i].value;
    glBegin(GL_POINTS);
    glVertex2f(GraphX(view.xAxis, static_cast<float>(i)), GraphY(view, y));
    glEnd();
  }
  glPointSize(1.0f);
}
