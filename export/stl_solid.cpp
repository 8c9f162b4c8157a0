#include "export/stl_solid.h"

float GridX[kStlGridSize][kStlGridSize];
float GridY[kStlGridSize][kStlGridSize];
float GridZ[kStlGridSize][kStlGridSize];

namespace {

constexpr int kLast = kStlGridSize - 1;  // 199: the grid's last row and column
constexpr double kExtent = 4.0;          // the square's side, in x and in y
constexpr float kBaseZ = -0.25f;

// A grid vertex (column, row) as the grid holds it now.
StlVertex Grid(int column, int row) {
  return {GridX[row][column], GridY[row][column], GridZ[row][column]};
}

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
bool Wall(StlFacetVisitor& visitor, int c0, int r0, int c1, int r1) {
  const StlVertex b0 = {GridX[r0][c0], GridY[r0][c0], kBaseZ};
  const StlVertex b1 = {GridX[r1][c1], GridY[r1][c1], kBaseZ};
  return Plain(visitor, Grid(c0, r0), Grid(c1, r1), b1) &&
         Plain(visitor, Grid(c0, r0), b1, b0);
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

bool VisitStlSolid(const StlColours rgb, StlFacetVisitor& visitor) {
  int count = 0;

  // Top surface: two facets per cell, rows of cells from the bottom.
  for (int l = 0; l < kLast; l++) {
    for (int m = 0; m < kLast; m++) {
      if (!TopFacet(visitor, rgb[l][m], rgb[l][m + 1], rgb[l + 1][m + 1], Grid(m, l),
                    Grid(m + 1, l), Grid(m + 1, l + 1)) ||
          !TopFacet(visitor, rgb[l][m], rgb[l + 1][m + 1], rgb[l + 1][m], Grid(m, l),
                    Grid(m + 1, l + 1), Grid(m, l + 1)))
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
        case 0: ok = Wall(visitor, 0, n, 0, n + 1); break;           // x = 0
        case 1: ok = Wall(visitor, kLast, n + 1, kLast, n); break;   // x = 4
        case 2: ok = Wall(visitor, n + 1, 0, n, 0); break;           // y = 0
        default: ok = Wall(visitor, n, kLast, n + 1, kLast); break;  // y = 4
      }
      if (!ok) return false;
      count += 2;
      if (!visitor.Counted(count, n == kLast - 1)) return false;
    }
  }

  // Base: the grid's edge points now lie on the base plane; a fan from the
  // centre to every edge segment, seen from below.
  for (int r = 0; r < kStlGridSize; r++)
    for (int c = 0; c < kStlGridSize; c++) GridZ[r][c] = kBaseZ;
  const StlVertex centre = {static_cast<float>(kExtent / 2), static_cast<float>(kExtent / 2),
                            kBaseZ};
  for (int n = 0; n < kLast; n++)
    if (!Plain(visitor, Grid(0, n + 1), centre, Grid(0, n))) return false;
  for (int n = 0; n < kLast; n++)
    if (!Plain(visitor, Grid(kLast, n), centre, Grid(kLast, n + 1))) return false;
  for (int n = 0; n < kLast; n++)
    if (!Plain(visitor, Grid(n, 0), centre, Grid(n + 1, 0))) return false;
  for (int n = 0; n < kLast; n++)
    if (!Plain(visitor, Grid(n + 1, kLast), centre, Grid(n, kLast))) return false;
  count += 4 * kLast;
  return visitor.Counted(count, true);
}
