#include "render/graph_display.h"

#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "noise/lattice.h"
#include "noise/noise1d.h"
#include "render/frame.h"
#include "text/bitmap_font.h"
#include "text/text.h"

namespace {

constexpr int kSamplesPerInterval = 64;
constexpr int kIntervals = 7;
constexpr float kTickLength = 10.0f;
constexpr float kBarBottom = 20.0f;
constexpr float kBarTop = kBottomMargin - 50.0f;  // 100
constexpr float kAxisWidth = 2.0f;   // pixels
constexpr float kCurveWidth = 3.0f;  // pixels, the curve and the bar's lines
constexpr float kStripCurveWidth = 1.5f;  // pixels, the thin curves of the views
constexpr float kGlyphAdvance = 9.0f;    // pixels, the fixed font's advance

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

// A line `width` pixels wide from (x0, y0) to (x1, y1), as one quad inside
// the caller's glBegin(GL_QUADS). Not every GL draws lines wider than a
// pixel, so this is their shape drawn by hand: the line widened across its
// major axis (vertically when it runs at least as far across the window as
// up, else horizontally), whatever the window's stretch. The body covers
// the pixels GL's wide line covers; at a sharp turn of the curve, where GL's
// own rule for the pixel at a line's end decides, a pixel here and there may
// differ (scripts/pixel_check.py edges counts them).
void WideLine(float x0, float y0, float x1, float y1, float width, const PixelScale& pixels) {
  const float across = std::fabs((x1 - x0) * pixels.perUnitX);
  const float up = std::fabs((y1 - y0) * pixels.perUnitY);
  if (across >= up) {
    const float h = 0.5f * width / pixels.perUnitY;
    glVertex2f(x0, y0 - h);
    glVertex2f(x1, y1 - h);
    glVertex2f(x1, y1 + h);
    glVertex2f(x0, y0 + h);
  } else {
    const float h = 0.5f * width / pixels.perUnitX;
    glVertex2f(x0 - h, y0);
    glVertex2f(x0 + h, y0);
    glVertex2f(x1 + h, y1);
    glVertex2f(x1 - h, y1);
  }
}

}  // namespace

namespace {

int Glyphs(const char* text) { return static_cast<int>(strlen(text)); }

const char kExplanation[] = "lines: each term; dots: the sum so far";
static_assert(kExplanationGlyphs == 7 + 2 * (kMaxOctaveIndex + 1) + 1,
              "the explanation starts a glyph after the room for every octave's digit");
static_assert(kNoiseNumberX == kLeftMargin - 3 * kTickLength &&
                  kXNumberY == kBottomMargin - 2 * kTickLength,
              "the axes' numbers are drawn where the top margin's layout keeps clear of them");

// What the top margin holds this pass, and where. With the pointer off the
// graph the reading is measured as it reads at the window's middle.
TopMargin TopMarginOf(const GraphView& view, const GraphReading& reading, int width, int height) {
  TopMarginRequest request{width, height, view.views.stats != 0, reading.shown, {0, 0, 0}, 0, 0};
  if (request.reading) {
    GraphView middle = view;
    middle.pointerX = width / 2;
    const GraphReading& measured = reading.shown ? reading : ReadGraphPointer(middle, width);
    request.readingGlyphs[0] = Glyphs(measured.text);
    request.readingGlyphs[1] = Glyphs(measured.withoutSlope);
    request.readingGlyphs[2] = Glyphs(measured.valueAlone);
  }
  if (view.views.octaves) {
    // "octave", a space, then each octave's digit and a space.
    request.legendGlyphs = 6 + 2 * (view.noise.octaveIndex + 1);
    request.explanationGlyphs = Glyphs(kExplanation);
  }
  const BitmapFont& font = Fixed9x15();
  return LayOutTopMargin(request, {static_cast<int>(kGlyphAdvance), font.ascent, font.descent});
}

}  // namespace

PixelScale GraphPixels(int width, int height) {
  return {static_cast<float>(width) / kGraphUnitsWide,
          static_cast<float>(height) / kGraphUnitsHigh};
}

float GraphX(const AxisScale& xAxis, float x) {
  return kLeftMargin + (x - xAxis.minimum) * XScale(xAxis);
}

void DrawString(float x, float y, float z, const char* text) {
  Text().draw(TextFont::kFixed9x15, x, y, z, text);
}

// ---------------------------------------------------------------------------
// The top margin's text
// ---------------------------------------------------------------------------

namespace {

// The pixels GL may start a string at, drawn at `units` of a `span`-unit
// axis stretched over `pixels` pixels. GL rounds the raster position down
// (after adding 0.0001) from its float value of units * pixels / span. At
// whole units the exact value is a multiple of 1/700 pixel across and 1/500
// up, so where it is not a whole pixel it is at least 0.0014 pixel from one:
// further than GL's float rounding carries it (a few units in the last
// place, under 0.001 pixel in a window under 2048 pixels). Where it is a
// whole pixel, the rounding may land just below it. So the pen is the exact
// value rounded down, or one less at a whole pixel: [low, high]. (The
// legend's digits stand whole glyphs after its start, so its range is
// theirs.) In a window larger than 2048 pixels the pen may be one further
// off along that side, where every line chosen between is many pixels, or a
// glyph's space, clear of the next.
struct PenRange {
  int low, high;
};
PenRange PenAt(long long units, int pixels, int span) {
  const long long product = units * pixels;
  const int high = static_cast<int>(product / span);
  return {product % span == 0 ? high - 1 : high, high};
}

// The box a line of `glyphs` glyphs may light from a pen in these ranges.
PixelBox LineBox(PenRange across, PenRange up, int glyphs, const GlyphCell& cell) {
  return {across.low, up.low - cell.descent, across.high + glyphs * cell.advance,
          up.high + cell.ascent};
}

bool Meet(const PixelBox& a, const PixelBox& b) {
  return a.left < b.right && b.left < a.right && a.bottom < b.top && b.bottom < a.top;
}

bool Inside(const PixelBox& a, int width, int height) {
  return a.left >= 0 && a.bottom >= 0 && a.right <= width && a.top <= height;
}

}  // namespace

PixelBox NoiseNumbersBox(int width, int height, const GlyphCell& cell, int glyphs) {
  const PixelBox top = LineBox(PenAt(kNoiseNumberX, width, kGraphUnitsWide),
                               PenAt(kBottomMargin + kGraphHeight, height, kGraphUnitsHigh),
                               glyphs, cell);
  const PixelBox bottom = LineBox(PenAt(kNoiseNumberX, width, kGraphUnitsWide),
                                  PenAt(kBottomMargin, height, kGraphUnitsHigh), glyphs, cell);
  return {top.left, bottom.bottom, top.right, top.top};
}

int XNumbersTop(int height, const GlyphCell& cell) {
  return PenAt(kXNumberY, height, kGraphUnitsHigh).high + cell.ascent;
}

TopMargin LayOutTopMargin(const TopMarginRequest& request, const GlyphCell& cell) {
  TopMargin m{};
  m.readingForm = -1;
  const int width = request.width;
  const int height = request.height;
  if (width <= 0 || height <= 0) return m;
  const PixelBox numbers = NoiseNumbersBox(width, height, cell, 4);  // "1.00"

  // As the graph has always drawn them, where that keeps every line inside
  // the window and clear of the others and of the noise axis's numbers. The
  // legend's digits and explanation are placed in glyphs from its start (the
  // text keeps its pixel size however the window is stretched); the
  // explanation is left out, as ever, where it would run past the edge.
  const float glyph = static_cast<float>(cell.advance) / GraphPixels(width, height).perUnitX;
  const float explanationX = kLegend.x + glyph * static_cast<float>(kExplanationGlyphs);
  m.asEver = true;
  m.reading = {request.reading && request.readingShown, kReading,
               LineBox(PenAt(static_cast<int>(kReading.x), width, kGraphUnitsWide),
                       PenAt(static_cast<int>(kReading.y), height, kGraphUnitsHigh),
                       request.readingGlyphs[0], cell)};
  const PenRange legendX = PenAt(static_cast<int>(kLegend.x), width, kGraphUnitsWide);
  const PenRange legendY = PenAt(static_cast<int>(kLegend.y), height, kGraphUnitsHigh);
  m.legend = {request.legendGlyphs > 0, kLegend,
              LineBox(legendX, legendY, request.legendGlyphs, cell)};
  const PenRange explanationPen{legendX.low + kExplanationGlyphs * cell.advance,
                                legendX.high + kExplanationGlyphs * cell.advance};
  const float explanationEnd = explanationX + glyph * static_cast<float>(request.explanationGlyphs);
  m.explanation = {m.legend.shown && explanationEnd <= static_cast<float>(kGraphUnitsWide),
                   {explanationX, kLegend.y},
                   LineBox(explanationPen, legendY, request.explanationGlyphs, cell)};
  {
    // The reading's place is held while the view is on, shown or not.
    const MarginText* lines[3] = {request.reading ? &m.reading : nullptr,
                                  m.legend.shown ? &m.legend : nullptr,
                                  m.explanation.shown ? &m.explanation : nullptr};
    bool fits = true;
    for (int i = 0; i < 3; i++) {
      if (lines[i] == nullptr) continue;
      fits = fits && Inside(lines[i]->box, width, height) && !Meet(lines[i]->box, numbers);
      for (int j = 0; j < i; j++)
        fits = fits && (lines[j] == nullptr || !Meet(lines[i]->box, lines[j]->box));
    }
    if (fits) {
      if (m.reading.shown) m.readingForm = 0;
      return m;
    }
  }

  // Otherwise the lines are laid out in pixels down from the window's top
  // edge, one glyph height apart: the reading first, since it is what the
  // student asked for with the pointer, then the legend. A line level with
  // the noise axis's numbers starts right of them; none reaches down to the
  // x axis's numbers. What does not fit gives way, last line first: the
  // explanation, then the legend, and only then the reading, which is
  // shortened before it is left out.
  m = TopMargin{};
  m.readingForm = -1;
  const int lineHeight = cell.ascent + cell.descent;
  const int lowest = XNumbersTop(height, cell);
  const int graphLeft = PenAt(kLeftMargin, width, kGraphUnitsWide).high;
  // A pen at a pixel's centre lands on that pixel however GL rounds.
  const auto place = [&](int x, int baseline, int glyphs) {
    return MarginText{true,
                      {(static_cast<float>(x) + 0.5f) * kGraphUnitsWide / static_cast<float>(width),
                       (static_cast<float>(baseline) + 0.5f) * kGraphUnitsHigh /
                           static_cast<float>(height)},
                      {x, baseline - cell.descent, x + glyphs * cell.advance,
                       baseline + cell.ascent}};
  };
  int line = 0;
  const auto baselineOf = [&](int k) { return height - cell.ascent - k * lineHeight; };
  const auto usable = [&](int k) { return baselineOf(k) - cell.descent >= lowest; };
  // The first pixel a line may start at: a glyph's space right of the
  // numbers where it is level with them.
  const auto leftmost = [&](int k) {
    const PixelBox row{0, baselineOf(k) - cell.descent, width, baselineOf(k) + cell.ascent};
    return Meet(row, numbers) ? numbers.right + cell.advance : 0;
  };
  if (request.reading) {
    if (request.readingShown && usable(line)) {
      for (int form = 0; form < 3; form++) {
        const int run = request.readingGlyphs[form] * cell.advance;
        if (run <= 0) continue;
        // At the graph's left edge, or as far left of it as the text needs.
        const int x = std::min(std::max(graphLeft, leftmost(line)), width - run);
        if (x < leftmost(line)) continue;
        m.reading = place(x, baselineOf(line), request.readingGlyphs[form]);
        m.readingForm = form;
        break;
      }
    }
    line++;
  }
  if (request.legendGlyphs > 0 && usable(line)) {
    const int x = std::max(graphLeft, leftmost(line));
    if (x + request.legendGlyphs * cell.advance <= width) {
      m.legend = place(x, baselineOf(line), request.legendGlyphs);
      const int after = x + kExplanationGlyphs * cell.advance;
      if (after + request.explanationGlyphs * cell.advance <= width)
        m.explanation = place(after, baselineOf(line), request.explanationGlyphs);
    }
  }
  return m;
}

// ---------------------------------------------------------------------------
// The whole drawing
// ---------------------------------------------------------------------------

void DrawGraph(const GraphView& view, int width, int height) {
  BeginFrame(width, height);
  gluOrtho2D(0.0, kGraphUnitsWide, 0.0, kGraphUnitsHigh);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();

  const PixelScale pixels = GraphPixels(width, height);
  Xaxis("N", view.xAxis, view.debug, pixels);
  Zaxis("Noise", view.noiseAxis, view.debug, pixels);

  const float midY = kBottomMargin + kGraphHeight / 2.0f;
  glColor3f(0.7f, 1.0f, 0.0f);
  glBegin(GL_LINE_STRIP);
  glVertex2f(kLeftMargin, midY);
  glVertex2f(kLeftMargin + kGraphWidth, midY);
  glEnd();

  const GraphReading reading =
      view.views.stats ? ReadGraphPointer(view, width) : GraphReading{false, 0, 0, 0, "", "", ""};
  const TopMargin margin = TopMarginOf(view, reading, width, height);
  if (view.views.octaves) PlotOctaves(view, pixels, margin);
  if (reading.shown) {
    // Where the reading is taken, under the curve. In a grey that is a
    // whole byte (0.4 is 102.0000015): llvmpipe drew this thin upright quad
    // in 0.45 (114.75) as 114 in some of its 64-pixel tiles and 115 in the
    // others, down one line, where the page draws 115 throughout.
    const float gx = GraphX(view.xAxis, reading.x);
    glColor3f(0.4f, 0.4f, 0.4f);
    glBegin(GL_QUADS);
    WideLine(gx, kBottomMargin, gx, kBottomMargin + kGraphHeight, 1.0f, pixels);
    if (view.views.derivatives) WideLine(gx, kStrip.bottom, gx, kStrip.top, 1.0f, pixels);
    glEnd();
  }
  PlotLine(view, pixels);
  PlotPoints(view);
  PlotBar(view, pixels);
  if (view.views.derivatives) PlotDerivatives(view, pixels);
  if (margin.reading.shown) {
    const char* forms[3] = {reading.text, reading.withoutSlope, reading.valueAlone};
    glColor3f(1.0f, 1.0f, 1.0f);
    DrawString(margin.reading.at.x, margin.reading.at.y, 0.0f, forms[margin.readingForm]);
  }
}

PickHits PickPoints(const GraphView& view, int x, int y, int width, int height) {
  PickHits hits{};
  if (width <= 0 || height <= 0) return hits;
  // The pick box in window pixels, y up as OpenGL counts it.
  const double centreX = x;
  const double centreY = height - y;
  const double reach = kPickSize / 2.0;
  for (int i = 0; i < kControlPoints; i++) {
    // Where PlotPoints puts dot i, through the 700 by 500 drawing stretched
    // over the whole window.
    const float value = view.noise.noiseType == kGradientOnly ? kNoiseMid : NoiseLattice[0][i].value;
    const double dotX = static_cast<double>(GraphX(view.xAxis, static_cast<float>(i))) * width /
                        kGraphUnitsWide;
    const double dotY = static_cast<double>(GraphY(view, value)) * height / kGraphUnitsHigh;
    if (std::fabs(dotX - centreX) > reach || std::fabs(dotY - centreY) > reach) continue;
    hits.index[hits.count++] = i;
  }
  return hits;
}

// ---------------------------------------------------------------------------
// Axes
// ---------------------------------------------------------------------------

namespace {

// How one axis differs from the other: the direction it runs in from the
// graph's bottom-left corner, its length, and where each tick's number goes
// relative to the tick.
struct AxisShape {
  float alongX, alongY;  // (1, 0) or (0, 1)
  float length;
  float numberDx, numberDy;
};

// The axis line, its ticks (pointing away from the graph) and the number at
// each tick, in white. The tick positions are summed step by step along the
// axis, as the labels read.
void DrawAxis(const AxisScale& scale, const AxisShape& shape, const PixelScale& pixels) {
  const float left = kLeftMargin;
  const float bottom = kBottomMargin;
  const float d = shape.length / static_cast<float>(scale.count - 1);
  // One of these is d, the other 0 (adding 0 leaves a position exact).
  const float stepX = shape.alongX * d;
  const float stepY = shape.alongY * d;

  glColor3f(1.0f, 1.0f, 1.0f);
  glBegin(GL_QUADS);
  WideLine(left, bottom, left + shape.alongX * shape.length, bottom + shape.alongY * shape.length,
           kAxisWidth, pixels);
  float x = left;
  float y = bottom;
  for (int t = 0; t < scale.count; t++) {
    WideLine(x - shape.alongY * kTickLength, y - shape.alongX * kTickLength, x, y, kAxisWidth,
             pixels);
    x += stepX;
    y += stepY;
  }
  glEnd();

  char text[32];
  x = left;
  y = bottom;
  float value = scale.minimum;
  for (int t = 0; t < scale.count; t++) {
    snprintf(text, sizeof text, "%.2f", value);
    DrawString(x + shape.numberDx, y + shape.numberDy, 0.0f, text);
    x += stepX;
    y += stepY;
    value += scale.step;
  }
}

}  // namespace

void Xaxis(const char* label, const AxisScale& scale, bool debug, const PixelScale& pixels) {
  if (debug) fprintf(stderr, "Xaxis\n");
  DrawAxis(scale, {1.0f, 0.0f, kGraphWidth, -20.0f, -2.0f * kTickLength}, pixels);
  DrawString(kLeftMargin + kGraphWidth / 2.0f, kBottomMargin - 3.0f * kTickLength, 0.0f, label);
}

void Zaxis(const char* label, const AxisScale& scale, bool debug, const PixelScale& pixels) {
  if (debug) fprintf(stderr, "Zaxis\n");
  DrawAxis(scale, {0.0f, 1.0f, kGraphHeight, -3.0f * kTickLength, 0.0f}, pixels);
  // The title reads downwards, one letter every 15 units.
  float y = kBottomMargin + kGraphHeight / 2.0f;
  for (const char* c = label; *c != '\0'; c++) {
    const char letter[2] = {*c, '\0'};
    DrawString(kLeftMargin - 4.0f * kTickLength, y, 0.0f, letter);
    y -= 15.0f;
  }
}

// ---------------------------------------------------------------------------
// Plots
// ---------------------------------------------------------------------------

// A strip of segments, each its own wide line, as GL draws a wide strip.
void PlotLine(const GraphView& view, const PixelScale& pixels) {
  if (view.debug) fprintf(stderr, "PlotLine\n");
  glColor3f(1.0f, 1.0f, 0.0f);
  glBegin(GL_QUADS);
  float lastX = 0.0f;
  float lastY = 0.0f;
  for (int i = 0; i < kIntervals; i++) {
    for (int j = 0; j < kSamplesPerInterval; j++) {
      const float x = SamplePosition(i, j);
      const float v = ClampNoise(Noise1D(x, view.noise));
      const float gx = GraphX(view.xAxis, x);
      const float gy = GraphY(view, v);
      if (i > 0 || j > 0) WideLine(lastX, lastY, gx, gy, kCurveWidth, pixels);
      lastX = gx;
      lastY = gy;
    }
  }
  glEnd();
}

void PlotBar(const GraphView& view, const PixelScale& pixels) {
  if (view.debug) fprintf(stderr, "PlotBar\n");
  glBegin(GL_QUADS);
  for (int i = 0; i < kIntervals; i++) {
    for (int j = 0; j < kSamplesPerInterval; j++) {
      const float x = SamplePosition(i, j);
      float g = (Noise1D(x, view.noise) - kNoiseMin) / (kNoiseMax - kNoiseMin);
      if (g < 0.0f) g = 0.0f;
      if (g > 1.0f) g = 1.0f;
      glColor3f(g, g, g);
      const float gx = GraphX(view.xAxis, x);
      if (view.views.derivatives) {
        WideLine(gx, kStrip.barBottom, gx, kStrip.barTop, kCurveWidth, pixels);
      } else {
        WideLine(gx, kBarBottom, gx, kBarTop, kCurveWidth, pixels);
      }
    }
  }
  glEnd();
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

// ---------------------------------------------------------------------------
// The octaves view
// ---------------------------------------------------------------------------

OctaveColour OctaveColourOf(int k) {
  // Eight hues that stay apart on black and from the curve's yellow. No
  // channel is a byte and a half (0.5 is 127.5), where the GLs we draw with
  // may round either way.
  static const OctaveColour kColours[kMaxOctaveIndex + 1] = {
      {1.0f, 0.3f, 0.3f}, {0.3f, 0.6f, 1.0f}, {0.3f, 1.0f, 0.4f}, {1.0f, 0.55f, 1.0f},
      {0.3f, 1.0f, 1.0f}, {1.0f, 0.6f, 0.2f}, {0.7f, 0.55f, 1.0f}, {0.8f, 0.8f, 0.8f}};
  return kColours[k < 0 || k > kMaxOctaveIndex ? 0 : k];
}

void PlotOctaves(const GraphView& view, const PixelScale& pixels, const TopMargin& margin) {
  if (view.debug) fprintf(stderr, "PlotOctaves\n");
  Noise1DOctaves samples[kIntervals * kSamplesPerInterval];
  for (int i = 0; i < kIntervals; i++)
    for (int j = 0; j < kSamplesPerInterval; j++)
      samples[i * kSamplesPerInterval + j] = Noise1DByOctave(SamplePosition(i, j), view.noise);
  const int count = view.noise.octaveIndex + 1;
  for (int k = 0; k < count; k++) {
    const OctaveColour c = OctaveColourOf(k);
    glColor3f(c.r, c.g, c.b);
    // The term about the midpoint, where it would stand alone; quads, as the
    // curve is, so that every GL we draw with lights the same pixels.
    glBegin(GL_QUADS);
    float lastX = 0.0f;
    float lastY = 0.0f;
    for (int s = 0; s < kIntervals * kSamplesPerInterval; s++) {
      const float x = SamplePosition(s / kSamplesPerInterval, s % kSamplesPerInterval);
      const float gx = GraphX(view.xAxis, x);
      const float gy = GraphY(view, ClampNoise(samples[s].term[k] + kNoiseMid));
      if (s > 0) WideLine(lastX, lastY, gx, gy, kStripCurveWidth, pixels);
      lastX = gx;
      lastY = gy;
    }
    glEnd();
    // The sum so far; after the last octave it is the curve, drawn next.
    if (k + 1 < count) {
      glBegin(GL_POINTS);
      for (int s = 0; s < kIntervals * kSamplesPerInterval; s += 2) {
        const float x = SamplePosition(s / kSamplesPerInterval, s % kSamplesPerInterval);
        glVertex2f(GraphX(view.xAxis, x), GraphY(view, ClampNoise(samples[s].runningSum[k])));
      }
      glEnd();
    }
  }
  // The legend, in the top margin: each octave's number in its colour. The
  // text keeps its pixel size however the window is stretched, so it is laid
  // out in glyphs (LayOutTopMargin says where, and whether the explanation
  // fits).
  if (!margin.legend.shown) return;
  const float y = margin.legend.at.y;
  const float glyph = kGlyphAdvance / pixels.perUnitX;
  glColor3f(1.0f, 1.0f, 1.0f);
  DrawString(margin.legend.at.x, y, 0.0f, "octave");
  for (int k = 0; k < count; k++) {
    const OctaveColour c = OctaveColourOf(k);
    glColor3f(c.r, c.g, c.b);
    char digit[12];
    snprintf(digit, sizeof digit, "%d", k + 1);
    DrawString(margin.legend.at.x + glyph * static_cast<float>(7 + 2 * k), y, 0.0f, digit);
  }
  if (margin.explanation.shown) {
    glColor3f(1.0f, 1.0f, 1.0f);
    DrawString(margin.explanation.at.x, margin.explanation.at.y, 0.0f, kExplanation);
  }
}

// ---------------------------------------------------------------------------
// The derivatives view and the pointer's reading
// ---------------------------------------------------------------------------

namespace {

// The shortest decimal that reads back as v, so a number shown is the float.
void ExactNumber(float v, char* out, size_t size) {
  for (int digits = 4; digits <= 9; digits++) {
    snprintf(out, size, "%.*g", digits, static_cast<double>(v));
    if (strtof(out, nullptr) == v) return;
  }
}

// The axis's reach: the least of 1, 2 and 5 times a power of ten at or
// above the largest size drawn (1 for a flat curve), so the labels are
// short and the curve fills at least a fifth of its half of the strip.
float Reach(float largest) {
  if (!(largest > 0.0f)) return 1.0f;
  float r = 0.001f;
  while (r < largest && r < 1e9f) {
    if (r * 2.0f >= largest) return r * 2.0f;
    if (r * 5.0f >= largest) return r * 5.0f;
    r = r * 10.0f;
  }
  return r;
}

constexpr float kJumpWidth = 2.0f;        // pixels
constexpr float kStripZero = (kStrip.bottom + kStrip.top) / 2.0f;
constexpr float kStripHalf = (kStrip.top - kStrip.bottom) / 2.0f;

float StripY(float v, float reach) {
  float y = v / reach;
  if (y > 1.0f) y = 1.0f;
  if (y < -1.0f) y = -1.0f;
  return kStripZero + y * kStripHalf;
}

struct StripColour {
  float r, g, b;
};
constexpr StripColour kSlopeColour = {0.3f, 1.0f, 1.0f};
constexpr StripColour kCurvatureColour = {1.0f, 0.45f, 1.0f};

// Its reach on the left (f') or the right (f''), top and bottom, and its
// name level with the zero line.
void StripLabels(float x, float reach, const char* name, const StripColour& c) {
  glColor3f(c.r, c.g, c.b);
  char text[32];
  snprintf(text, sizeof text, "%g", static_cast<double>(reach));
  DrawString(x, kStrip.top - 10.0f, 0.0f, text);
  snprintf(text, sizeof text, "%g", static_cast<double>(-reach));
  DrawString(x, kStrip.bottom, 0.0f, text);
  DrawString(x, kStripZero - 5.0f, 0.0f, name);
}

}  // namespace

void PlotDerivatives(const GraphView& view, const PixelScale& pixels) {
  if (view.debug) fprintf(stderr, "PlotDerivatives\n");
  // Each interval's samples, its last one taken from the left: the curve
  // runs up to each side's own limit at the points.
  Noise1DSlope samples[kIntervals * kSamplesPerInterval];
  float largestSlope = 0.0f;
  float largestCurvature = 0.0f;
  for (int i = 0; i < kIntervals; i++) {
    for (int j = 0; j < kSamplesPerInterval; j++) {
      const Noise1DSide side =
          j == kSamplesPerInterval - 1 ? Noise1DSide::kLeft : Noise1DSide::kRight;
      const Noise1DSlope d = Noise1DDerivatives(SamplePosition(i, j), view.noise, side);
      samples[i * kSamplesPerInterval + j] = d;
      largestSlope = std::fmax(largestSlope, std::fabs(d.d1));
      largestCurvature = std::fmax(largestCurvature, std::fabs(d.d2));
    }
  }
  const bool quintic = view.noise.interpolation == kQuintic;
  const float slopeReach = Reach(largestSlope);
  const float curvatureReach = Reach(largestCurvature);

  // The zero line and the strip's edges, dim.
  glColor3f(0.35f, 0.35f, 0.35f);
  glBegin(GL_LINES);
  for (float y : {kStrip.bottom, kStripZero, kStrip.top}) {
    glVertex2f(kLeftMargin, y);
    glVertex2f(kLeftMargin + kGraphWidth, y);
  }
  glEnd();

  // One strip per stretch of samples in the same piece, within an interval.
  const auto curve = [&](bool second, float reach, const StripColour& c) {
    glColor3f(c.r, c.g, c.b);
    // Quads, as the curve above: the same pixels in every GL we draw with.
    glBegin(GL_QUADS);
    float lastX = 0.0f;
    float lastY = 0.0f;
    for (int i = 0; i < kIntervals; i++) {
      for (int j = 0; j < kSamplesPerInterval; j++) {
        const Noise1DSlope& d = samples[i * kSamplesPerInterval + j];
        const float gx = GraphX(view.xAxis, SamplePosition(i, j));
        const float gy = StripY(second ? d.d2 : d.d1, reach);
        if (j > 0 && samples[i * kSamplesPerInterval + j - 1].piece == d.piece)
          WideLine(lastX, lastY, gx, gy, kStripCurveWidth, pixels);
        lastX = gx;
        lastY = gy;
      }
    }
    glEnd();
  };
  curve(false, slopeReach, kSlopeColour);
  if (quintic) curve(true, curvatureReach, kCurvatureColour);

  // The points: each side's value compared exactly.
  int curvatureJumps = 0;
  const auto mark = [&](float x, float left, float right, float reach) {
    const float gx = GraphX(view.xAxis, x);
    glPointSize(5.0f);
    if (left == right) {
      glColor3f(0.2f, 1.0f, 0.2f);
      glBegin(GL_POINTS);
      glVertex2f(gx, StripY(left, reach));
      glEnd();
    } else {
      glColor3f(1.0f, 0.2f, 0.2f);
      glBegin(GL_QUADS);
      WideLine(gx, StripY(left, reach), gx, StripY(right, reach), kJumpWidth, pixels);
      glEnd();
      glBegin(GL_POINTS);
      glVertex2f(gx, StripY(left, reach));
      glVertex2f(gx, StripY(right, reach));
      glEnd();
    }
    glPointSize(1.0f);
  };
  for (int i = 1; i < kControlPoints; i++) {
    const float x = static_cast<float>(i);
    const Noise1DSlope left = Noise1DDerivatives(x, view.noise, Noise1DSide::kLeft);
    const Noise1DSlope right = Noise1DDerivatives(x, view.noise, Noise1DSide::kRight);
    mark(x, left.d1, right.d1, slopeReach);
    if (quintic) mark(x, left.d2, right.d2, curvatureReach);
    if (left.d2 != right.d2) curvatureJumps++;
  }

  StripLabels(2.0f, slopeReach, "f'", kSlopeColour);
  if (quintic) StripLabels(kLeftMargin + kGraphWidth + 4.0f, curvatureReach, "f''", kCurvatureColour);

  // The line under the strip, as long as fits: the text keeps its pixel size
  // in a narrow window, so it is measured in glyphs (as the octaves' legend)
  // and shortened, the last resort keeping what the strip itself cannot show.
  char lines[3][128];
  if (quintic) {
    snprintf(lines[0], sizeof lines[0], "points 1-7: green continuous, red a jump (left to right)");
    snprintf(lines[1], sizeof lines[1], "points: green continuous, red a jump");
    snprintf(lines[2], sizeof lines[2], "green joins, red jumps");
  } else {
    snprintf(lines[0], sizeof lines[0],
             "cubic: f'' jumps at %d of 7 points, not drawn; green f' joins, red jumps", curvatureJumps);
    snprintf(lines[1], sizeof lines[1], "cubic: f'' jumps at %d of 7 points, not drawn", curvatureJumps);
    snprintf(lines[2], sizeof lines[2], "cubic: f'' not drawn");
  }
  const float glyph = kGlyphAdvance / pixels.perUnitX;
  for (const char* line : lines) {
    if (kLeftMargin + glyph * static_cast<float>(strlen(line)) <= static_cast<float>(kGraphUnitsWide)) {
      glColor3f(1.0f, 1.0f, 1.0f);
      DrawString(kLeftMargin, kStrip.textY, 0.0f, line);
      break;
    }
  }
}

GraphReading ReadGraphPointer(const GraphView& view, int width) {
  GraphReading r{false, 0.0f, 0.0f, 0.0f, "", "", ""};
  if (width <= 0 || view.pointerX < 0 || view.pointerX >= width) return r;
  // The pixel's centre in drawing units, then back through GraphX's mapping.
  const float unit = (static_cast<float>(view.pointerX) + 0.5f) * kGraphUnitsWide /
                     static_cast<float>(width);
  const float raw = (unit - kLeftMargin) / XScale(view.xAxis) + view.xAxis.minimum;
  const float last = view.xAxis.minimum + static_cast<float>(view.xAxis.count - 1) * view.xAxis.step;
  if (!(raw >= view.xAxis.minimum && raw <= last)) return r;
  char position[32];
  snprintf(position, sizeof position, "%.3f", static_cast<double>(raw));
  r.x = strtof(position, nullptr);
  r.shown = true;
  r.value = Noise1D(r.x, view.noise);
  r.slope = Noise1DDerivatives(r.x, view.noise).d1;
  char value[32];
  ExactNumber(r.value, value, sizeof value);
  snprintf(r.withoutSlope, sizeof r.withoutSlope, "x %s  f %s", position, value);
  snprintf(r.valueAlone, sizeof r.valueAlone, "f %s", value);
  if (view.views.derivatives) {
    char slope[32];
    ExactNumber(r.slope, slope, sizeof slope);
    snprintf(r.text, sizeof r.text, "x %s  f %s  f' %s", position, value, slope);
  } else {
    snprintf(r.text, sizeof r.text, "%s", r.withoutSlope);
  }
  return r;
}
