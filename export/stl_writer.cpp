#include "export/stl_writer.h"

#include <unistd.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "export/save_file.h"
#include "export/fixed_format.h"
#include "export/printable.h"

namespace {

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

void Vertex(StlText& out, const StlVertex& v) {
  out.Put("   vertex ", 10);
  out.Number(v.x, 8, 4);
  out.Char(' ');
  out.Number(v.y, 8, 4);
  out.Char(' ');
  out.Number(v.z, 8, 4);
  out.Char('\n');
}

// The normal is always written as zeros: the vertex order (counter-clockwise
// from outside) carries the orientation, and readers recompute normals.
void Facet(StlText& out, const StlVertex v[3]) {
  out.Put(" facet normal 0.0 0.0 0.0\n  outer loop\n");
  for (int k = 0; k < 3; k++) Vertex(out, v[k]);
  out.Put("  endloop\n endfacet\n");
}

void ColourLine(StlText& out, const char* indent, const float colour[3]) {
  out.Put(indent);
  out.Put("color ", 6);
  for (int channel = 0; channel < 3; channel++) {
    if (channel > 0) out.Char(' ');
    out.Number(colour[channel], 6, 2);
  }
  out.Char('\n');
}

// The ASCII solid: each top facet after a non-standard "color" line (which
// most mesh tools skip), then one white colour line for the rest.
class AsciiSolid : public StlFacetVisitor {
 public:
  AsciiSolid(StlText& out, Progress& progress) : out_(out), progress_(progress) {}

  bool TopFacet(const StlVertex v[3], const float colour[3]) override {
    ColourLine(out_, " ", colour);
    Facet(out_, v);
    return true;
  }
  bool TopDone() override {
    // Readers that take colour lines give the rest of the solid white.
    const float white[3] = {1.0f, 1.0f, 1.0f};
    out_.Char('\n');
    ColourLine(out_, "  ", white);
    out_.Char('\n');
    return true;
  }
  bool PlainFacet(const StlVertex v[3]) override {
    Facet(out_, v);
    // The base comes as one run; the walls drain per segment below.
    return !inBase_ || out_.Drain();
  }
  bool Counted(int facets, bool rowDone) override {
    facets_ = facets;
    progress_.Mark(facets);
    if (rowDone) progress_.Flush();
    inBase_ = facets == kStlFacetCount - 4 * kStlCells;
    return out_.Drain();
  }
  int facets() const { return facets_; }

 private:
  StlText& out_;
  Progress& progress_;
  bool inBase_ = false;
  int facets_ = 0;
};

}  // namespace

bool WriteStlSolid(ByteSink& file, const StlGrid& grid, const StlColours rgb, FILE* progress,
                   int* facets) {
  StlText text(file);
  Progress marks(progress);
  text.Put("solid noise\n");
  AsciiSolid solid(text, marks);
  bool ok = VisitStlSolid(grid, rgb, solid);
  *facets = solid.facets();
  if (ok) {
    marks.Line();
    marks.Flush();
    text.Put("endsolid\n");
    ok = text.Flush();
  }
  if (!ok) {
    // End the progress line, so that what follows stands on its own.
    marks.Line();
    marks.Flush();
  }
  return ok;
}

bool SaveStlFile(const std::string& fileName, FILE* messages, const std::function<bool(ByteSink&, int*)>& write) {
  int facets = 0;
  const bool ok = SaveFile(
      fileName, "STL", messages, [&](ByteSink& sink) { return write(sink, &facets); },
      [&] { fprintf(messages, "Writing STL file '%s':\n", Printable(fileName).c_str()); });
  if (ok) fprintf(messages, "%d triangles written.\n", facets);
  return ok;
}

bool SaveStl(const std::string& fileName, const StlGrid& grid, const StlColours rgb,
             FILE* messages) {
  // The marks overwrite one another only on a terminal; in a file or a pipe
  // they would be half a megabyte of backspaces and numbers.
  FILE* progress = isatty(fileno(messages)) ? messages : nullptr;
  return SaveStlFile(fileName, messages, [&](ByteSink& sink, int* facets) {
    return WriteStlSolid(sink, grid, rgb, progress, facets);
  });
}
