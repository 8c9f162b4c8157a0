// The STL height field's solid, apart from any file format: a 200 by 200 grid
// of heights over a 4 by 4 square as the top surface, four walls down to a
// flat base at z = -0.25, and the base closed by a fan from its centre.
//
// VisitStlSolid hands the facets, in the file's order, to a visitor that
// writes them in its own format (ASCII text, binary), so every format writes
// the very same solid.
#pragma once

constexpr int kStlGridSize = 200;
constexpr int kStlCells = kStlGridSize - 1;
constexpr int kStlTopFacets = 2 * kStlCells * kStlCells;  // 79202
constexpr int kStlFacetCount = kStlTopFacets + 2 * 4 * kStlCells + 4 * kStlCells;  // 81590

// The grid points, [row][column]: x, y on a 4 by 4 square, z the height.
// The caller owns it (480 KB, best not on a stack); the writers only read it.
struct StlGrid {
  float x[kStlGridSize][kStlGridSize];
  float y[kStlGridSize][kStlGridSize];
  float z[kStlGridSize][kStlGridSize];
};

// One colour (red, green, blue in 0..1) per grid point, [row][column].
using StlColours = float[kStlGridSize][kStlGridSize][3];

// Puts the grid points in place, with these heights ([row][column]).
void LoadStlGrid(const float height[kStlGridSize][kStlGridSize], StlGrid* grid);

struct StlVertex {
  float x, y, z;
};

// Receives the solid's facets, each as three vertices counter-clockwise seen
// from outside. Each call returns false to stop the walk (a failed write).
class StlFacetVisitor {
 public:
  virtual ~StlFacetVisitor() = default;
  // A facet of the top surface and its colour: the average of the colours
  // of its three grid points.
  virtual bool TopFacet(const StlVertex v[3], const float colour[3]) = 0;
  // Once, after the top surface and before the walls.
  virtual bool TopDone() = 0;
  // A wall or base facet, which has no colour of its own.
  virtual bool PlainFacet(const StlVertex v[3]) = 0;
  // The number of facets so far: after each cell of the top surface, each
  // wall segment, and once after the whole base. `rowDone` after a row of
  // cells or a side of walls. False stops the walk.
  virtual bool Counted(int facets, bool rowDone) = 0;
};

// Walks the solid of the grid (LoadStlGrid) and `rgb`. True if the visitor
// never stopped it.
bool VisitStlSolid(const StlGrid& grid, const StlColours rgb, StlFacetVisitor& visitor);
