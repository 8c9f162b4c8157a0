#include "render/graph_display.h"

#include <GL/glu.h>
#include <GL/glut.h>

#include <cstdint>
#include <cstdio>

#include "noise/lattice.h"
#include "noise/noise1d.h"
#include "render/texture_window.h"

namespace {

constexpr int kSamplesPerInterval = 64;
constexpr int kIntervals = 7;
constexpr float kTickLength = 10.0f;
constexpr float kBarBottom = 20.0f;
constexpr float kBarTop = kBottomMargin - 50.0f;  // 100

// Drawing units per unit of position and per unit of noise.
float XScale() {
  return kGraphWidth / ((App.xAxis.count - 1) * App.xAxis.step);
}
float NoiseScale() {
  return kGraphHeight / ((App.noiseAxis.count - 1) * App.noiseAxis.step);
}
float GraphY(float v) { return kBottomMargin + (v - App.noiseAxis.minimum) * NoiseScale(); }

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

float GraphX(float x) { return kLeftMargin + (x - App.xAxis.minimum) * XScale(); }

void DrawString(float x, float y, float z, const char* text) {
  glRasterPos3f(x, y, z);
  for (const char* c = text; *c != '\0'; c++) {
    glutBitmapCharacter(GLUT_BITMAP_9_BY_15, *c);
  }
}

// ---------------------------------------------------------------------------
// Display pass
// ---------------------------------------------------------------------------

void Display() {
  const bool selecting = App.renderMode == kRenderModeSelect;
  if (App.debug) fprintf(stderr, "Display; CurrentPoint = %d\n", App.currentPoint);

  glutSetWindow(App.graphWindow);
  glDrawBuffer(GL_BACK);
  glClear(GL_COLOR_BUFFER_BIT);
  glDisable(GL_DEPTH_TEST);
  glShadeModel(GL_FLAT);

  const int width = glutGet(GLUT_WINDOW_WIDTH);
  const int height = glutGet(GLUT_WINDOW_HEIGHT);
  glViewport(0, 0, width, height);

  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  if (selecting) {
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    gluPickMatrix(App.lastMouseX, height - App.lastMouseY, kPickSize, kPickSize, viewport);
  }
  gluOrtho2D(0.0, kGraphWindowWidth, 0.0, kGraphWindowHeight);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();

  if (!selecting) {
    Xaxis("N", App.xAxis);
    Zaxis("Noise", App.noiseAxis);

    const float midY = kBottomMargin + kGraphHeight / 2.0f;
    glColor3f(0.7f, 1.0f, 0.0f);
    glBegin(GL_LINE_STRIP);
    glVertex2f(kLeftMargin, midY);
    glVertex2f(kLeftMargin + kGraphWidth, midY);
    glEnd();

    PlotLine();
  }

  PlotPoints();

  if (!selecting) {
    PlotBar();
    glutSwapBuffers();
  }
  glFlush();

  if (!selecting) {
    FillTexture();
    TextureDisplay();
  }
}

// ---------------------------------------------------------------------------
// Axes
// ---------------------------------------------------------------------------

void Xaxis(const char* label, const AxisScale& scale) {
  if (App.debug) fprintf(stderr, "Xaxis\n");
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

void Zaxis(const char* label, const AxisScale& scale) {
  if (App.debug) fprintf(stderr, "Zaxis\n");
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

void PlotLine() {
  if (App.debug) fprintf(stderr, "PlotLine\n");
  glColor3f(1.0f, 1.0f, 0.0f);
  glLineWidth(3.0f);
  glBegin(GL_LINE_STRIP);
  for (int i = 0; i < kIntervals; i++) {
    for (int j = 0; j < kSamplesPerInterval; j++) {
      const float x = SamplePosition(i, j);
      const float v = ClampNoise(Noise1D(x));
      glVertex2f(GraphX(x), GraphY(v));
    }
  }
  glEnd();
  glLineWidth(1.0f);
}

void PlotBar() {
  if (App.debug) fprintf(stderr, "PlotBar\n");
  glLineWidth(3.0f);
  glBegin(GL_LINES);
  for (int i = 0; i < kIntervals; i++) {
    for (int j = 0; j < kSamplesPerInterval; j++) {
      const float x = SamplePosition(i, j);
      float g = (Noise1D(x) - kNoiseMin) / (kNoiseMax - kNoiseMin);
      if (g < 0.0f) g = 0.0f;
      if (g > 1.0f) g = 1.0f;
      glColor3f(g, g, g);
      const float gx = GraphX(x);
      glVertex2f(gx, kBarBottom);
      glVertex2f(gx, kBarTop);
    }
  }
  glEnd();
  glLineWidth(1.0f);
}

void PlotPoints() {
  if (App.debug) fprintf(stderr, "PlotPoints\n");
  glInitNames();
  glPushName(UINT32_MAX);
  glPointSize(7.0f);
  for (int i = 0; i < kControlPoints; i++) {
    if (i == App.currentPoint) {
      glColor3f(0.0f, 1.0f, 0.0f);
    } else {
      glColor3f(1.0f, 1.0f, 1.0f);
    }
    glLoadName(static_cast<GLuint>(i));
    // Not clamped: a value dragged below 0 is drawn below the noise axis.
    const float y = App.noiseType == kGradientOnly ? kNoiseMid : NoiseLattice[0][i].value;
    glBegin(GL_POINTS);
    glVertex2f(GraphX(static_cast<float>(i)), GraphY(y));
    glEnd();
  }
  glPointSize(1.0f);
}
