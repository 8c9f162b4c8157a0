#include "export/stl_writer.h"

#include <cmath>
#include <cstring>
#include <memory>

#include "export/atomic_file.h"
#include "export/fixed_format.h"

float GridX[kStlGridSize][kStlGridSize];
float GridY[kStlGridSize][kStlGridSize];
float GridZ[kStlGridSize][kStlGridSize];

namespace {

constexpr int kLast = kStlGridSize - 1;  // 199: the grid's last row and column
constexpr double kExtent = 4.0;          // the square's side, in x and in y
constexpr float kBaseZ = -0.25f;

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

void ColourLine(StlText& out, const float a[3], const float b[3], const float c[3]) {
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

bool WriteSolidText(StlText& out, const StlColours rgb, Progress& progress, int* facets) {
  int& count = *facets;
  count = 0;
  out.Put("solid noise\n");

  // ------------------------------------------------------------ top surface
  for (int l = 0; l < kLast; l++) {
    for (int m = 0; m < kLast; m++) {
      ColourLine(out, rgb[l][m], rgb[l][m + 1], rgb[l + 1][m + 1]);
      WriteFacet(out, m, l, m + 1, l, m + 1, l + 1);
      count++;
      ColourLine(out, rgb[l][m], rgb[l + 1][m + 1], rgb[l + 1][m]);
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

void LoadStlGrid(const float height[kStlGridSize][kStlGridSize]) {
  for (int i = 0; i < kStlGridSize; i++) {
    for (int j = 0; j < kStlGridSize; j++) {
      GridX[i][j] = static_cast<float>(kExtent * j / 199.0);
      GridY[i][j] = static_cast<float>(kExtent * i / 199.0);
      GridZ[i][j] = height[i][j];
    }
  }
}

bool WriteStlSolid(ByteSink& file, const StlColours rgb, FILE* progress, int* facets) {
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

bool SaveStl(const std::string& fileName, const StlColours rgb, FILE* messages,
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
