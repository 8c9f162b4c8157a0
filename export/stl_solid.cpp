#include "export/stl_solid.h"

namespace {

constexpr int kLast = kStlGridSize - 1;  // 199: the grid's last row and column
constexpr double kExtent = 4.0;          // the square's side, in x and in y
constexpr float kBaseZ = -0.25f;

// The walk's grid and facet visitor, and the vertices it reads from the grid:
// a point of the top surface, and the point below it on the base plane.
struct Walk {
  const StlGrid& grid;
  StlFacetVisitor& visitor;

  StlVertex Top(int column, int row) const {
    return {grid.x[row][column], grid.y[row][column], grid.z[row][column]};
  }
  StlVertex Base(int column, int row) const {
    return {grid.x[row][column], grid.y[row][column], kBaseZ};
  }
};

bool TopFacet(StlFacetVisitor& visitor, const float* a, const float* b, const float* c,
              StlVertex v0, StlVertex v1, StlVertex v2) {
  float colour[3];
  for (int channel = 0; channel < 3; channel++)
    colour[channel] = (a[channel] + b[channel] + c[channel]) / 3.0f;
  const StlVertex v[3] = {v0, v1, v2};
  return visitor.TopFacet(v, colour);
}

bool Plain(StlFacetVisitor& visitor, StlVertex v0, StlVertex v1, StlVertex v2) {
  const StlVertex v[3] = {v0, v1, v2};
  return visitor.PlainFacet(v);
}

// The wall below the top edge from P0 to P1, down to the base plane.
bool Wall(const Walk& walk, int c0, int r0, int c1, int r1) {
  const StlVertex b0 = walk.Base(c0, r0);
  const StlVertex b1 = walk.Base(c1, r1);
  return Plain(walk.visitor, walk.Top(c0, r0), walk.Top(c1, r1), b1) &&
         Plain(walk.visitor, walk.Top(c0, r0), b1, b0);
}

}  // namespace

void LoadStlGrid(const float height[kStlGridSize][kStlGridSize], StlGrid* grid) {
  for (int i = 0; i < kStlGridSize; i++) {
    for (int j = 0; j < kStlGridSize; j++) {
      grid->x[i][j] = static_cast<float>(kExtent * j / 199.0);
      grid->y[i][j] = static_cast<float>(kExtent * i / 199.0);
      grid->z[i][j] = height[i][j];
    }
  }
}

bool VisitStlSolid(const StlGrid& grid, const StlColours rgb, StlFacetVisitor& visitor) {
  const Walk walk{grid, visitor};
  int count = 0;

  // Top surface: two facets per cell, rows of cells from the bottom.
  for (int l = 0; l < kLast; l++) {
    for (int m = 0; m < kLast; m++) {
      if (!TopFacet(visitor, rgb[l][m], rgb[l][m + 1], rgb[l + 1][m + 1], walk.Top(m, l),
                    walk.Top(m + 1, l), walk.Top(m + 1, l + 1)) ||
          !TopFacet(visitor, rgb[l][m], rgb[l + 1][m + 1], rgb[l + 1][m], walk.Top(m, l),
                    walk.Top(m + 1, l + 1), walk.Top(m, l + 1)))
        return false;
      count += 2;
      if (!visitor.Counted(count, m == kLast - 1)) return false;
    }
  }
  if (!visitor.TopDone()) return false;

  // Walls: each side runs so that its facets face outwards.
  for (int side = 0; side < 4; side++) {
    for (int n = 0; n < kLast; n++) {
      bool ok;
      switch (side) {
        case 0: ok = Wall(walk, 0, n, 0, n + 1); break;           // x = 0
        case 1: ok = Wall(walk, kLast, n + 1, kLast, n); break;   // x = 4
        case 2: ok = Wall(walk, n + 1, 0, n, 0); break;           // y = 0
        default: ok = Wall(walk, n, kLast, n + 1, kLast); break;  // y = 4
      }
      if (!ok) return false;
      count += 2;
      if (!visitor.Counted(count, n == kLast - 1)) return false;
    }
  }

  // Base: a fan from the centre to every edge segment of the base plane,
  // seen from below.
  const StlVertex centre = {static_cast<float>(kExtent / 2), static_cast<float>(kExtent / 2),
                            kBaseZ};
  for (int n = 0; n < kLast; n++)
    if (!Plain(visitor, walk.Base(0, n + 1), centre, walk.Base(0, n))) return false;
  for (int n = 0; n < kLast; n++)
    if (!Plain(visitor, walk.Base(kLast, n), centre, walk.Base(kLast, n + 1))) return false;
  for (int n = 0; n < kLast; n++)
    if (!Plain(visitor, walk.Base(n, 0), centre, walk.Base(n + 1, 0))) return false;
  for (int n = 0; n < kLast; n++)
    if (!Plain(visitor, walk.Base(n + 1, kLast), centre, walk.Base(n, kLast))) return false;
  count += 4 * kLast;
  return visitor.Counted(count, true);
}
