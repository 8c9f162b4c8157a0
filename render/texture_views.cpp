#include "render/texture_views.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "noise/hermite.h"
#include "text/bitmap_font.h"

ShownOctaves ShowOctaves(const NoiseSettings& settings, const TeachingViews& views) {
  ShownOctaves shown{settings, 0};
  if (views.octaveView != kOneOctave && views.octaveView != kFirstOctaves) return shown;
  const int count = settings.octaveIndex + 1;
  const int k = std::clamp(views.octaveViewK, 1, std::max(count, 1));
  shown.settings.octaveIndex = k - 1;
  if (views.octaveView == kOneOctave) shown.firstOctave = k - 1;
  return shown;
}

// ---------------------------------------------------------------------------
// The probe
// ---------------------------------------------------------------------------

// Noise2D sums, for each edge along x, six products of a corner field and an
// x weight, in float, and then six products of those edges and a y weight.
// With u = 2^-24, a float sum of n products is within gamma(n) =
// n u / (1 - n u) of the exact sum, relative to the sum of the products'
// magnitudes; the outer sum multiplies each inner one, rounded, by a weight
// and rounds six terms again, so each final product of a corner field and
// two weights carries at most 12 roundings, and
//   |Noise2D - exact| <= gamma(12) * magnitude,
// magnitude being the sum of |field * wx * wy| over every product. The
// contributions below are those products summed exactly in the reals up to
// double's rounding, under 2^-49 * magnitude. So the sum of the four
// contributions is within (gamma(12) + 2^-49) * magnitude of `noise`.
TexelProbe ProbeTexel(int row, int column, const ShownOctaves& shown, const Lattice& lattice) {
  const NoiseSettings& settings = shown.settings;
  TexelProbe probe{};
  probe.row = row;
  probe.column = column;
  probe.octave = shown.firstOctave;
  // The coordinates as OctavesNoise2D reaches this octave: doubling is exact.
  float x = static_cast<float>(column) * kTextureSpan / static_cast<float>(kTextureSize);
  float y = static_cast<float>(row) * kTextureSpan / static_cast<float>(kTextureSize);
  for (int k = 0; k < shown.firstOctave; k++) {
    x = 2.0f * x;
    y = 2.0f * y;
  }
  probe.cellX = static_cast<int>(x);
  probe.cellY = static_cast<int>(y);
  probe.fx = x - static_cast<float>(probe.cellX);
  probe.fy = y - static_cast<float>(probe.cellY);
  probe.wx = HermiteWeightsAt(probe.fx, settings.interpolation);
  probe.wy = HermiteWeightsAt(probe.fy, settings.interpolation);
  probe.noise = Noise2D(x, y, settings, lattice);
  probe.value = OctavesNoise2D(row, column, settings, shown.firstOctave, lattice);
  probe.gradients = UsesGradients(settings.noiseType);

  const CellCorners cell = CornersOf(lattice, probe.cellX, probe.cellY);
  const LatticePoint* points[4] = {&cell.p00, &cell.p10, &cell.p01, &cell.p11};
  const bool useValues = !probe.gradients || settings.noiseType == kValueGradient;
  double magnitude = 0.0;
  for (int c = 0; c < 4; c++) {
    const LatticePoint& p = *points[c];
    const bool right = c == 1 || c == 3;
    const bool up = c >= 2;
    // The x weights this corner is blended with (start or end of the edge),
    // and the y weights of its edge.
    const double hx = right ? probe.wx.h1 : probe.wx.h0;
    const double gxw = right ? probe.wx.g1 : probe.wx.g0;
    const double cxw = right ? probe.wx.c1 : probe.wx.c0;
    const double hy = up ? probe.wy.h1 : probe.wy.h0;
    const double gyw = up ? probe.wy.g1 : probe.wy.g0;
    const double cyw = up ? probe.wy.c1 : probe.wy.c0;
    ProbeCorner& corner = probe.corners[c];
    corner.value = useValues ? p.value : kNoiseMid;
    corner.gx = probe.gradients ? p.gx : 0.0f;
    corner.gy = probe.gradients ? p.gy : 0.0f;
    // Value-only noise blends the values alone (its slopes and curvatures are
    // the literal zeros). Otherwise, as Noise2D: the value edge reads value,
    // gx, cx; the slope edge gy, cy (cy as gy's slope); the curvature edge cy.
    double terms[6] = {static_cast<double>(corner.value) * hx * hy, 0, 0, 0, 0, 0};
    if (probe.gradients) {
      terms[1] = static_cast<double>(p.gx) * gxw * hy;
      terms[2] = static_cast<double>(p.cx) * cxw * hy;
      terms[3] = static_cast<double>(p.gy) * hx * gyw;
      terms[4] = static_cast<double>(p.cy) * gxw * gyw;
      terms[5] = static_cast<double>(p.cy) * hx * cyw;
    }
    corner.contribution = 0.0;
    for (double t : terms) {
      corner.contribution += t;
      magnitude += std::fabs(t);
    }
  }
  probe.magnitude = magnitude;
  return probe;
}

TextureStats StatsOf(const float* values) {
  TextureStats stats{values[0], values[0], 0.0};
  double sum = 0.0;
  for (int n = 0; n < kTextureSize * kTextureSize; n++) {
    stats.minimum = std::min(stats.minimum, values[n]);
    stats.maximum = std::max(stats.maximum, values[n]);
    sum += values[n];
  }
  stats.mean = sum / (kTextureSize * kTextureSize);
  return stats;
}

// ---------------------------------------------------------------------------
// Drawing into the image
// ---------------------------------------------------------------------------

namespace {

struct Rgb {
  uint8_t r, g, b;
};

constexpr Rgb kWhite = {255, 255, 255};
constexpr Rgb kBlack = {0, 0, 0};
constexpr Rgb kArrow = {255, 230, 0};
constexpr Rgb kCell = {255, 64, 64};

bool Inside(int x, int y) { return x >= 0 && y >= 0 && x < kTextureSize && y < kTextureSize; }

void Put(TextureRow* image, int x, int y, Rgb c) {
  if (!Inside(x, y)) return;
  image[y][x][0] = c.r;
  image[y][x][1] = c.g;
  image[y][x][2] = c.b;
}

// A line from (x0, y0) to (x1, y1), both ends included, one texel wide.
template <typename Plot>
void Line(int x0, int y0, int x1, int y1, Plot plot) {
  const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
  const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
  int err = dx + dy;
  for (;;) {
    plot(x0, y0);
    if (x0 == x1 && y0 == y1) return;
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x0 += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y0 += sy;
    }
  }
}

int Round(double v) { return static_cast<int>(std::floor(v + 0.5)); }

// The text's background: a quarter of each channel, so the noise still
// shows faintly behind the words.
void Darken(TextureRow* image, int x0, int y0, int x1, int y1) {
  for (int y = std::max(y0, 0); y <= std::min(y1, kTextureSize - 1); y++)
    for (int x = std::max(x0, 0); x <= std::min(x1, kTextureSize - 1); x++)
      for (int ch = 0; ch < 3; ch++) image[y][x][ch] = static_cast<uint8_t>(image[y][x][ch] / 4);
}

void Text(TextureRow* image, int x, int baseline, const std::string& text, Rgb colour) {
  const BitmapFont& font = Fixed9x15();
  for (char c : text) {
    const BitmapGlyph* glyph = GlyphOf(font, c);
    if (glyph == nullptr) continue;
    for (int gy = 0; gy < glyph->height; gy++)
      for (int gx = 0; gx < glyph->width; gx++)
        if (GlyphPixel(font, *glyph, gx, gy))
          Put(image, x + glyph->left + gx, baseline + glyph->bottom + gy, colour);
    x += glyph->advance;
  }
}

// Lines of text in a darkened box across the image, its top edge at `top`
// (image rows count up from the bottom). Returns the row just below it.
int TextBox(TextureRow* image, int top, const std::vector<std::string>& lines) {
  if (lines.empty()) return top;
  const BitmapFont& font = Fixed9x15();
  const int lineHeight = BitmapLineHeight(font);
  int widest = 0;
  for (const std::string& line : lines) widest = std::max(widest, BitmapTextWidth(font, line.c_str()));
  const int bottom = top - 4 - lineHeight * static_cast<int>(lines.size());
  Darken(image, 0, bottom, widest + 8, top);
  int baseline = top - 2 - font.ascent;
  for (const std::string& line : lines) {
    Text(image, 4, baseline, line, kWhite);
    baseline -= lineHeight;
  }
  return bottom - 1;
}

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
  char text[128];
  va_list args;
  va_start(args, format);
  vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return text;
}

// The cells of the first shown octave as lines, and their lattice points'
// slopes as arrows. Lines need a cell of kLatticeLineMinCell texels: at 8
// texels (the fourth octave) they cover an eighth of the picture, and in a
// window of the smallest side, 200 pixels, a 16-texel cell is still 6 pixels
// across. An arrow of a slope of 1 is a third of a cell long, so at 32 texels
// it is 10 texels, enough for a head of 4 to read as a direction.
void DrawLattice(TextureRow* image, const TextureOverlay& overlay) {
  const int octave = overlay.shown.firstOctave;
  const int cell = CellTexels(octave);
  if (cell < kLatticeLineMinCell) return;
  // Each line white with a black one beside it (to the right of the
  // verticals, under the horizontals), the dark one first, so whichever the
  // colour scale's shade a line shows against it.
  for (int n = 0; n * cell < kTextureSize; n++) {
    for (int t = 0; t < kTextureSize; t++) {
      Put(image, n * cell + 1, t, kBlack);
      Put(image, t, n * cell - 1, kBlack);
    }
  }
  for (int n = 0; n * cell < kTextureSize; n++) {
    for (int t = 0; t < kTextureSize; t++) {
      Put(image, n * cell, t, kWhite);
      Put(image, t, n * cell, kWhite);
    }
  }
  if (!UsesGradients(overlay.shown.settings.noiseType) || cell < kLatticeArrowMinCell) return;
  const double length = cell / 3.0;  // texels per unit of slope
  for (int m = 0; m * cell < kTextureSize; m++) {
    for (int n = 0; n * cell < kTextureSize; n++) {
      const LatticePoint& p = (*overlay.lattice)[m][n];
      const int x0 = n * cell, y0 = m * cell;
      const double ex = x0 + p.gx * length, ey = y0 + p.gy * length;
      const int x1 = Round(ex), y1 = Round(ey);
      auto outlined = [&](int a0, int b0, int a1, int b1) {
        Line(a0, b0, a1, b1, [&](int x, int y) {
          Put(image, x + 1, y, kBlack);
          Put(image, x, y - 1, kBlack);
        });
      };
      auto solid = [&](int a0, int b0, int a1, int b1) {
        Line(a0, b0, a1, b1, [&](int x, int y) { Put(image, x, y, kArrow); });
      };
      // The head: two strokes of 4 texels at 25 degrees either side of the
      // shaft, from the unit vector back along it (no trigonometry, so the
      // page's library rounds exactly as the desktop's).
      const double norm = std::sqrt(p.gx * static_cast<double>(p.gx) + p.gy * static_cast<double>(p.gy));
      int hx[2] = {x1, x1}, hy[2] = {y1, y1};
      if (norm * length >= 3.0) {
        const double ux = -p.gx / norm, uy = -p.gy / norm;
        const double c = 0.9063077870366499, s = 0.42261826174069944;
        hx[0] = Round(ex + 4.0 * (ux * c - uy * s));
        hy[0] = Round(ey + 4.0 * (uy * c + ux * s));
        hx[1] = Round(ex + 4.0 * (ux * c + uy * s));
        hy[1] = Round(ey + 4.0 * (uy * c - ux * s));
      }
      outlined(x0, y0, x1, y1);
      outlined(x1, y1, hx[0], hy[0]);
      outlined(x1, y1, hx[1], hy[1]);
      solid(x0, y0, x1, y1);
      solid(x1, y1, hx[0], hy[0]);
      solid(x1, y1, hx[1], hy[1]);
      Put(image, x0, y0, kBlack);
    }
  }
}

// What the window shows, in words: the octave view, and why part of the
// lattice view may be missing.
std::vector<std::string> Captions(const TextureOverlay& overlay, int settingOctaves) {
  std::vector<std::string> lines;
  const ShownOctaves& shown = overlay.shown;
  const int last = shown.settings.octaveIndex + 1;
  if (overlay.views.octaveView == kOneOctave) {
    lines.push_back(Format("octave %d of %d alone, at full strength", last, settingOctaves));
    if (last > 1) lines.push_back(Format("(its weight in the sum is 1/%d)", 1 << (last - 1)));
  }
  // The first k octaves are exactly the picture of k octaves, to the byte,
  // under their caption; when k holds every octave set it is the picture
  // itself, and says nothing.
  if (overlay.views.octaveView == kFirstOctaves && last < settingOctaves) {
    lines.push_back(last == 1 ? Format("octave 1 of %d: the sum so far", settingOctaves)
                              : Format("octaves 1-%d of %d: the sum so far", last, settingOctaves));
  }
  if (overlay.views.lattice) {
    const int cell = CellTexels(shown.firstOctave);
    if (cell < kLatticeLineMinCell) {
      lines.push_back(Format("lattice of octave %d: cells of %s texel%s,", shown.firstOctave + 1,
                             cell >= 1 ? std::to_string(cell).c_str() : "1/2",
                             cell == 1 ? "" : "s"));
      lines.push_back(Format("too fine to draw (drawn from %d)", kLatticeLineMinCell));
    } else if (!UsesGradients(shown.settings.noiseType)) {
      lines.push_back("value-only noise: no slopes, no arrows");
    } else if (cell < kLatticeArrowMinCell) {
      lines.push_back(Format("slopes drawn on cells of %d texels up", kLatticeArrowMinCell));
    }
  }
  return lines;
}

std::vector<std::string> StatsLines(const TextureOverlay& overlay) {
  const float value = OctavesNoise2D(overlay.pointerRow, overlay.pointerColumn,
                                     overlay.shown.settings, overlay.shown.firstOctave,
                                     *overlay.lattice);
  std::vector<std::string> lines;
  lines.push_back(Format("row %d col %d: value %.4f", overlay.pointerRow, overlay.pointerColumn,
                         static_cast<double>(value)));
  if (overlay.values != nullptr) {
    const TextureStats stats = StatsOf(overlay.values);
    lines.push_back(Format("min %.4f  max %.4f  mean %.4f", static_cast<double>(stats.minimum),
                           static_cast<double>(stats.maximum), stats.mean));
  }
  return lines;
}

// "fx 0.6875 H 0.232 0.768 G 0.067 -0.148": the weights the corners at 0
// and at 1 along the axis are blended with, of their values (H) and slopes
// (G), and of their curvatures (C) under the quintic. The line above the two
// says so.
std::string WeightLine(const char* axis, float t, const HermiteWeights& w, bool quintic) {
  std::string line = Format("%s %.4f H %.3f %.3f G % .3f % .3f", axis, static_cast<double>(t),
                            static_cast<double>(w.h0), static_cast<double>(w.h1),
                            static_cast<double>(w.g0), static_cast<double>(w.g1));
  if (quintic) line += Format(" C % .3f % .3f", static_cast<double>(w.c0), static_cast<double>(w.c1));
  return line;
}

std::vector<std::string> ProbeLines(const TexelProbe& probe, const NoiseSettings& settings,
                                    int shownOctaves) {
  static const char* const kCornerNames[4] = {"00", "10", "01", "11"};
  std::vector<std::string> lines;
  lines.push_back(Format("texel row %d col %d: value %.4f", probe.row, probe.column,
                         static_cast<double>(probe.value)));
  lines.push_back(Format("octave %d, cell x %d y %d, at fx fy in it", probe.octave + 1,
                         probe.cellX, probe.cellY));
  const bool quintic = settings.interpolation == kQuintic;
  lines.push_back(quintic ? "weights at 0,1: H values, G slopes, C curvatures"
                          : "weights at 0,1: H of values, G of slopes");
  lines.push_back(WeightLine("fx", probe.fx, probe.wx, quintic));
  lines.push_back(WeightLine("fy", probe.fy, probe.wy, quintic));
  if (probe.gradients) {
    lines.push_back("corner value  slope x slope y  share");
  } else {
    lines.push_back("corner value  (value-only: no slopes) share");
  }
  double sum = 0.0;
  for (int c = 0; c < 4; c++) {
    const ProbeCorner& corner = probe.corners[c];
    sum += corner.contribution;
    if (probe.gradients) {
      lines.push_back(Format("%s     %.4f % .4f % .4f  % .4f", kCornerNames[c],
                             static_cast<double>(corner.value), static_cast<double>(corner.gx),
                             static_cast<double>(corner.gy), corner.contribution));
    } else {
      lines.push_back(Format("%s     %.4f      -       -    % .4f", kCornerNames[c],
                             static_cast<double>(corner.value), corner.contribution));
    }
  }
  if (settings.noiseType == kGradientOnly) lines.push_back("(gradient-only: values are 0.5)");
  lines.push_back(Format("shares add to %.4f, octave %d's noise", sum, probe.octave + 1));
  if (shownOctaves == 2) {
    lines.push_back(Format("(octave %d adds the rest of the value)", probe.octave + 2));
  } else if (shownOctaves > 2) {
    lines.push_back(Format("(octaves %d-%d add the rest of the value)", probe.octave + 2,
                           probe.octave + shownOctaves));
  }
  return lines;
}

// The probed texel as a small cross, and its cell outlined where it is wide
// enough to see.
void MarkProbe(TextureRow* image, const TexelProbe& probe) {
  const int cell = CellTexels(probe.octave);
  // Every mark a light line with a dark one beside it: the red outline is
  // framed in black, the cross's white arms have black on either side, so
  // each reads on the fire scale's reds as on the grey's darks.
  if (cell >= 4) {
    const int x0 = probe.cellX * cell, y0 = probe.cellY * cell;
    const int x1 = x0 + cell, y1 = y0 + cell;
    // The outline as rings: d texels inside the cell's edge (d < 0 outside).
    const auto ring = [&](int d, Rgb colour) {
      auto plot = [&](int x, int y) { Put(image, x, y, colour); };
      Line(x0 + d, y0 + d, x1 - d, y0 + d, plot);
      Line(x1 - d, y0 + d, x1 - d, y1 - d, plot);
      Line(x1 - d, y1 - d, x0 + d, y1 - d, plot);
      Line(x0 + d, y1 - d, x0 + d, y0 + d, plot);
    };
    // Two texels of red between black ones: in a cell of 4 the inner black
    // would fill it, so there the red is one texel.
    ring(-1, kBlack);
    ring(0, kCell);
    if (cell >= 8) {
      ring(1, kCell);
      ring(2, kBlack);
    } else {
      ring(1, kBlack);
    }
  }
  const int r = probe.row, c = probe.column;
  for (int d = 2; d <= 6; d++) {
    for (int side = -1; side <= 1; side += 2) {
      Put(image, c + d, r + side, kBlack);
      Put(image, c - d, r + side, kBlack);
      Put(image, c + side, r + d, kBlack);
      Put(image, c + side, r - d, kBlack);
    }
  }
  for (int d = 2; d <= 6; d++) {
    Put(image, c + d, r, kWhite);
    Put(image, c - d, r, kWhite);
    Put(image, c, r + d, kWhite);
    Put(image, c, r - d, kWhite);
  }
}

}  // namespace

bool OverlaysShown(const TeachingViews& views) {
  return views.lattice || views.probe || views.stats || views.octaveView == kOneOctave ||
         views.octaveView == kFirstOctaves;
}

void DrawTextureOverlays(TextureRow* image, const TextureOverlay& overlay) {
  if (!OverlaysShown(overlay.views)) return;
  if (overlay.views.lattice) DrawLattice(image, overlay);
  TexelProbe probe{};
  if (overlay.views.probe) {
    probe = ProbeTexel(overlay.pointerRow, overlay.pointerColumn, overlay.shown, *overlay.lattice);
    MarkProbe(image, probe);
  }

  if (!overlay.text) return;
  // Text last, over the lines: captions and statistics at the top, the
  // probe's breakdown in the half away from the pointer.
  std::vector<std::string> top = Captions(overlay, overlay.settingOctaves);
  if (overlay.views.stats) {
    for (const std::string& line : StatsLines(overlay)) top.push_back(line);
  }
  const int below = TextBox(image, kTextureSize - 1, top);
  if (overlay.views.probe) {
    const std::vector<std::string> lines = ProbeLines(
        probe, overlay.shown.settings,
        overlay.shown.settings.octaveIndex + 1 - overlay.shown.firstOctave);
    const int height = 4 + BitmapLineHeight(Fixed9x15()) * static_cast<int>(lines.size());
    const bool pointerLow = overlay.pointerRow < kTextureSize / 2;
    TextBox(image, pointerLow ? below : height, lines);
  }
}
