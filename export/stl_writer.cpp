#include "export/stl_writer.h"

#include <cmath>
#include <cstring>
#include <memory>

#include "app/app_state.h"
#include "export/atomic_file.h"
#include "export/fixed_format.h"
#include "noise/hermite.h"
#include "noise/lattice.h"
#include "render/color_scale.h"

float GridX[kStlGridSize][kStlGridSize];
float GridY[kStlGridSize][kStlGridSize];
float GridZ[kStlGridSize][kStlGridSize];

namespace {

constexpr int kLast = kStlGridSize - 1;  // 199: the grid's last row and column
constexpr double kExtent = 4.0;          // the square's side, in x and in y
constexpr double kHeightScale = 1.0;
constexpr float kBaseZ = -0.25f;
constexpr int kOctaveLimit = kMaxOctaveIndex + 1;

// ===========================================================================
// Sampling
// ===========================================================================

// Where grid column (or row) j falls in octave k: the lattice cell and the
// blend weights across it. x = j / 199 is the same for rows and columns and
// for every row, so each is worked out once per call rather than per point.
struct AxisSample {
  int cell;
  HermiteWeights w;
};

AxisSample Axis[kOctaveLimit][kStlGridSize];

void PrepareAxis(int octaves, int interpolation) {
  for (int j = 0; j < kStlGridSize; j++) {
    float x = static_cast<float>(j / 199.0);
    for (int k = 0; k < octaves; k++) {
      const int ix = static_cast<int>(x);
      const float fx = x - static_cast<float>(ix);
      Axis[k][j].cell = ix;
      Axis[k][j].w = HermiteWeightsAt(fx, interpolation);
      x = x * 2.0f;
    }
  }
}

// One octave at one point. Equal bit for bit to the HermiteBlend calls it
// stands for: HermiteBlend is these weights applied to the same arguments.
float GradientOnlyOctave(const AxisSample& ax, const AxisSample& ay) {
  const LatticePoint& l00 = NoiseLattice[ay.cell][ax.cell];
  const LatticePoint& l10 = NoiseLattice[ay.cell][ax.cell + 1];
  const LatticePoint& l01 = NoiseLattice[ay.cell + 1][ax.cell];
  const LatticePoint& l11 = NoiseLattice[ay.cell + 1][ax.cell + 1];
  const HermiteWeights& wx = ax.w;
  // The corner values are 0 here, not the midpoint: the solid's heights sit
  // around z = 0.5 only through the (sum + 1) / 2 below.
  const float pb = ApplyHermiteWeights(wx, 0.0f, l00.gx, l00.cx, 0.0f, l10.gx, l10.cx);
  const float sb = ApplyHermiteWeights(wx, l00.gy, l00.cy, 0.0f, l10.gy, l10.cy, 0.0f);
  const float kb = ApplyHermiteWeights(wx, l00.cy, 0.0f, 0.0f, l10.cy, 0.0f, 0.0f);
  const float pt = ApplyHermiteWeights(wx, 0.0f, l01.gx, l01.cx, 0.0f, l11.gx, l11.cx);
  const float st = ApplyHermiteWeights(wx, l01.gy, l01.cy, 0.0f, l11.gy, l11.cy, 0.0f);
  const float kt = ApplyHermiteWeights(wx, l01.cy, 0.0f, 0.0f, l11.cy, 0.0f, 0.0f);
  return ApplyHermiteWeights(ay.w, pb, sb, kb, pt, st, kt);
}

// Value-Only, and Value+Gradient too: the values alone with zero slopes
// (HermiteBlendNoCurvature's zero curvatures included).
float ValueOctave(const AxisSample& ax, const AxisSample& ay) {
  const LatticePoint& l00 = NoiseLattice[ay.cell][ax.cell];
  const LatticePoint& l10 = NoiseLattice[ay.cell][ax.cell + 1];
  const LatticePoint& l01 = NoiseLattice[ay.cell + 1][ax.cell];
  const LatticePoint& l11 = NoiseLattice[ay.cell + 1][ax.cell + 1];
  const float lower = ApplyHermiteWeights(ax.w, l00.value, 0.0f, 0.0f, l10.value, 0.0f, 0.0f);
  const float upper = ApplyHermiteWeights(ax.w, l01.value, 0.0f, 0.0f, l11.value, 0.0f, 0.0f);
  return ApplyHermiteWeights(ay.w, lower, 0.0f, 0.0f, upper, 0.0f, 0.0f);
}

// ===========================================================================
// Text
// ===========================================================================

// Builds the file's text in a buffer and hands it to the sink in large
// pieces; remembers the first failure.
class StlText {
 public:
  explicit StlText(ByteSink& sink) : sink_(sink), buffer_(new char[kSize]) {}

  void Put(const char* text, size_t size) {
    memcpy(buffer_.get() + used_, text, size);
    used_ += size;
  }
  void Put(const char* text) { Put(text, strlen(text)); }
  void Char(char c) { buffer_[used_++] = c; }
  void Number(float v, int width, int precision) {
    used_ += static_cast<size_t>(FormatFixed(buffer_.get() + used_, v, width, precision));
  }

  // Passes the text on once enough has gathered; false after a failure.
  bool Drain() { return used_ < kDrainAt ? ok_ : Flush(); }
  bool Flush() {
    if (ok_ && used_ > 0) ok_ = sink_.Write(buffer_.get(), used_);
    used_ = 0;
    return ok_;
  }

 private:
  // Between two drains the writers add at most two facets with their colour
  // lines: under 2 KB even with every number as long as FormatFixed makes it.
  static constexpr size_t kSize = 128 * 1024;
  static constexpr size_t kDrainAt = kSize - 4096;

  ByteSink& sink_;
  bool ok_ = true;
  size_t used_ = 0;
  std::unique_ptr<char[]> buffer_;
};

// The progress marks, gathered per row of cells and per side of walls: the
// same bytes on the message stream, without a system call per mark.
class Progress {
 public:
  explicit Progress(FILE* out) : out_(out) {}
  void Mark(int count) {
    if (out_ == nullptr) return;
    char mark[32];
    const int n = snprintf(mark, sizeof mark, "\b\b\b\b\b\b%6d", count);
    text_.append(mark, static_cast<size_t>(n));
  }
  void Line() {
    if (out_ != nullptr) text_ += '\n';
  }
  void Flush() {
    if (out_ == nullptr || text_.empty()) return;
    fwrite(text_.data(), 1, text_.size(), out_);
    text_.clear();
  }

 private:
  FILE* out_;
  std::string text_;
};

void Vertex(StlText& out, float x, float y, float z) {
  out.Put("   vertex ", 10);
  out.Number(x, 8, 4);
  out.Char(' ');
  out.Number(y, 8, 4);
  out.Char(' ');
  out.Number(z, 8, 4);
  out.Char('\n');
}

void GridVertex(StlText& out, int column, int row) {
  Vertex(out, GridX[row][column], GridY[row][column], GridZ[row][column]);
}

// The normal is always written as zeros: the vertex order (counter-clockwise
// from outside) carries the orientation, and readers recompute normals.
void FacetStart(StlText& out) { out.Put(" facet normal 0.0 0.0 0.0\n  outer loop\n"); }
void FacetEnd(StlText& out) { out.Put("  endloop\n endfacet\n"); }

void ColorLine(StlText& out, const float a[3], const float b[3], const float c[3]) {
  out.Put(" color ", 7);
  for (int channel = 0; channel < 3; channel++) {
    if (channel > 0) out.Char(' ');
    out.Number((a[channel] + b[channel] + c[channel]) / 3.0f, 6, 2);
  }
  out.Char('\n');
}

// ---------------------------------------------------------------------------
// The facet writers: G is a grid vertex (column, row) as it is now, P a free
// point.
// ---------------------------------------------------------------------------
void WriteFacet(StlText& out, int c0, int r0, int c1, int r1, int c2, int r2) {
  FacetStart(out);
  GridVertex(out, c0, r0);
  GridVertex(out, c1, r1);
  GridVertex(out, c2, r2);
  FacetEnd(out);
}

void WriteFacetGGP(StlText& out, int c0, int r0, int c1, int r1, float x2, float y2, float z2) {
  FacetStart(out);
  GridVertex(out, c0, r0);
  GridVertex(out, c1, r1);
  Vertex(out, x2, y2, z2);
  FacetEnd(out);
}

void WriteFacetGPP(StlText& out, int c0, int r0, float x1, float y1, float z1, float x2, float y2,
                   float z2) {
  FacetStart(out);
  GridVertex(out, c0, r0);
  Vertex(out, x1, y1, z1);
  Vertex(out, x2, y2, z2);
  FacetEnd(out);
}

void WriteFacetGPG(StlText& out, int c0, int r0, float x1, float y1, float z1, int c2, int r2) {
  FacetStart(out);
  GridVertex(out, c0, r0);
  Vertex(out, x1, y1, z1);
  GridVertex(out, c2, r2);
  FacetEnd(out);
}

// The wall below the top edge from P0 to P1, down to the base plane.
void WriteWall(StlText& out, int c0, int r0, int c1, int r1) {
  const float b0x = GridX[r0][c0], b0y = GridY[r0][c0];
  const float b1x = GridX[r1][c1], b1y = GridY[r1][c1];
  WriteFacetGGP(out, c0, r0, c1, r1, b1x, b1y, kBaseZ);
  WriteFacetGPP(out, c0, r0, b1x, b1y, kBaseZ, b0x, b0y, kBaseZ);
}

// The base: a fan from the centre to every edge segment of the square, seen
// from below. GridZ must already hold the base height.
bool WriteBase(StlText& out) {
  const float cx = static_cast<float>(kExtent / 2), cy = static_cast<float>(kExtent / 2);
  for (int n = 0; n < kLast; n++) {
    WriteFacetGPG(out, 0, n + 1, cx, cy, kBaseZ, 0, n);
    if (!out.Drain()) return false;
  }
  for (int n = 0; n < kLast; n++) {
    WriteFacetGPG(out, kLast, n, cx, cy, kBaseZ, kLast, n + 1);
    if (!out.Drain()) return false;
  }
  for (int n = 0; n < kLast; n++) {
    WriteFacetGPG(out, n, 0, cx, cy, kBaseZ, n + 1, 0);
    if (!out.Drain()) return false;
  }
  for (int n = 0; n < kLast; n++) {
    WriteFacetGPG(out, n + 1, kLast, cx, cy, kBaseZ, n, kLast);
    if (!out.Drain()) return false;
  }
  return true;
}

bool WriteSolidText(StlText& out, const StlColors rgb, Progress& progress, int* facets) {
  int& count = *facets;
  count = 0;
  out.Put("solid noise\n");

  // ------------------------------------------------------------ top surface
  for (int l = 0; l < kLast; l++) {
    for (int m = 0; m < kLast; m++) {
      ColorLine(out, rgb[l][m], rgb[l][m + 1], rgb[l + 1][m + 1]);
      WriteFacet(out, m, l, m + 1, l, m + 1, l + 1);
      count++;
      ColorLine(out, rgb[l][m], rgb[l + 1][m + 1], rgb[l + 1][m]);
      WriteFacet(out, m, l, m + 1, l + 1, m, l + 1);
      count++;
      progress.Mark(count);
      if (!out.Drain()) return false;
    }
    progress.Flush();
  }

  // Readers that take colour lines give the rest of the solid white.
  out.Put("\n  color ");
  out.Number(1.0f, 6, 2);
  out.Char(' ');
  out.Number(1.0f, 6, 2);
  out.Char(' ');
  out.Number(1.0f, 6, 2);
  out.Put("\n\n");

  // ------------------------------------------------------------------ walls
  // Each side runs so that its facets face outwards.
  for (int side = 0; side < 4; side++) {
    for (int n = 0; n < kLast; n++) {
      switch (side) {
        case 0: WriteWall(out, 0, n, 0, n + 1); break;                  // x = 0
        case 1: WriteWall(out, kLast, n + 1, kLast, n); break;          // x = 4
        case 2: WriteWall(out, n + 1, 0, n, 0); break;                  // y = 0
        default: WriteWall(out, n, kLast, n + 1, kLast); break;         // y = 4
      }
      count += 2;
      progress.Mark(count);
      if (!out.Drain()) return false;
    }
    progress.Flush();
  }

  // ------------------------------------------------------------------- base
  for (int r = 0; r < kStlGridSize; r++)
    for (int c = 0; c < kStlGridSize; c++) GridZ[r][c] = kBaseZ;
  if (!WriteBase(out)) return false;
  count += 4 * kLast;
  progress.Mark(count);
  progress.Line();
  progress.Flush();

  out.Put("endsolid\n");
  return out.Flush();
}

}  // namespace

void SampleStlGrid(StlColors rgb) {
  // The panel offers 1 to 8 octaves; anything else would read past the
  // lattice, so it is held to that range.
  int octaves = App.octaveIndex + 1;
  if (octaves < 1) octaves = 1;
  if (octaves > kOctaveLimit) octaves = kOctaveLimit;
  PrepareAxis(octaves, App.interpolation);
  const bool gradientOnly = App.noiseType == kGradientOnly;
  float hsv[3] = {0.0f, 1.0f, 1.0f};

  for (int i = 0; i < kStlGridSize; i++) {
    for (int j = 0; j < kStlGridSize; j++) {
      float sum = 0.0f;
      float amplitude = 1.0f;
      for (int k = 0; k < octaves; k++) {
        const float n = gradientOnly ? GradientOnlyOctave(Axis[k][j], Axis[k][i])
                                     : ValueOctave(Axis[k][j], Axis[k][i]);
        sum = sum + n * amplitude;
        amplitude = amplitude / 2.0f;
      }
      if (App.turbulence) sum = std::fabs(sum);

      GridX[i][j] = static_cast<float>(kExtent * j / 199.0);
      GridY[i][j] = static_cast<float>(kExtent * i / 199.0);
      GridZ[i][j] = static_cast<float>((sum + 1.0) * kHeightScale / 2.0);

      // A sum of -1 is blue, 0 green, +1 red, and beyond that no further.
      float hue = 240.0f - (sum + 1.0f) * 120.0f;
      if (hue > 240.0f) hue = 240.0f;
      if (hue < 0.0f) hue = 0.0f;
      hsv[0] = hue;
      HsvToRgb(hsv, rgb[i][j]);
    }
  }
}

bool WriteStlSolid(ByteSink& file, const StlColors rgb, FILE* progress, int* facets) {
  StlText text(file);
  Progress marks(progress);
  const bool ok = WriteSolidText(text, rgb, marks, facets);
  if (!ok) {
    // End the progress line, so that what follows stands on its own.
    marks.Line();
    marks.Flush();
  }
  return ok;
}

std::string StlFileName(int octaveIndex, int turbulence) {
  char name[512];
  snprintf(name, sizeof name, "noise%03d%c.stl", octaveIndex + 1, turbulence ? 'T' : 'N');
  return name;
}

bool SaveStl(const std::string& fileName, const StlColors rgb, FILE* messages,
             const SinkDecorator& decorate) {
  AtomicFile file(fileName);
  if (!file.Create()) {
    fprintf(messages, "Cannot create STL file '%s'\n", fileName.c_str());
    PrintFailureReason(messages, file.error());
    return false;
  }
  fprintf(messages, "Writing STL file '%s':", fileName.c_str());
  fprintf(messages, "\n");
  int facets = 0;
  bool ok;
  int writeError = 0;
  {
    DecoratedSink sink(file, decorate);
    ok = WriteStlSolid(sink.get(), rgb, messages, &facets);
    if (!ok) writeError = sink.error(file);
  }
  ok = ok && file.Commit();
  if (writeError == 0) writeError = file.error();
  if (!ok) {
    fprintf(messages, "Cannot write STL file '%s'\n", fileName.c_str());
    PrintFailureReason(messages, writeError);
    return false;
  }
  fprintf(messages, "%d triangles written.\n", facets);
  return true;
}

void WriteStl() {
  // 480,000 bytes: static rather than on the stack of a GLUT callback.
  static StlColors rgb;
  SampleStlGrid(rgb);
  SaveStl(StlFileName(App.octaveIndex, App.turbulence), rgb, stderr);
}
