#include "softgl/raster.h"

#include <algorithm>
#include <cassert>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "softgl/framebuffer.h"
#include "softgl/llvmpipe.h"
#include "softgl/texture.h"

namespace softgl {

namespace {

using llvmpipe::kHalf;
using llvmpipe::kOne;
using llvmpipe::kSubpixelBits;
using llvmpipe::OneRounding;
using llvmpipe::PixelOf;

// Division rounded down and up, for a positive divisor.
int64_t FloorDivide(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
int64_t CeilDivide(int64_t a, int64_t b) { return a >= 0 ? (a + b - 1) / b : -((-a) / b); }

// The first and last pixel (clamped to [0, limit - 1]) whose centres may
// lie between two grid positions.
int FirstPixel(int64_t low) {
  return static_cast<int>(std::max<int64_t>(0, (low - kHalf) >> kSubpixelBits));
}
int LastPixel(int64_t high, int limit) {
  return static_cast<int>(std::min<int64_t>(limit - 1, (high - kHalf) >> kSubpixelBits));
}

// n texels' RGB into n RGBA pixels, each pixel's alpha kept. Four bytes
// at a time, where a texel and the byte after it can be read.
void CopyTexels(const uint8_t* texel, size_t n, uint8_t* out) {
  for (size_t i = 0; i + 1 < n; ++i, texel += 3, out += 4) {
    uint32_t colour, pixel;
    std::memcpy(&colour, texel, 4);
    std::memcpy(&pixel, out, 4);
    // Memory order is byte order whatever the machine's: the mask keeps
    // the first three bytes of the texel and the last of the pixel.
    uint32_t keep;
    const uint8_t mask[4] = {0xff, 0xff, 0xff, 0};
    std::memcpy(&keep, mask, 4);
    pixel = (colour & keep) | (pixel & ~keep);
    std::memcpy(out, &pixel, 4);
  }
  if (n > 0) {
    out[0] = texel[0];
    out[1] = texel[1];
    out[2] = texel[2];
  }
}

}  // namespace

void Triangle(Context& c, const Vertex& a, const Vertex& b0, const Vertex& c0,
              const uint8_t flat[3]) {
  const Vertex* v[3] = {&a, &b0, &c0};
  // Texture coordinates as planes over the pixel grid, in single precision,
  // from the vertices in the order given (llvmpipe sets them up before it
  // turns the triangle around).
  float dsdx = 0, dsdy = 0, s0 = 0, dtdx = 0, dtdy = 0, t0 = 0;
  if (c.texturing) {
    const Vertex& p0 = a;
    const Vertex& p1 = b0;
    const Vertex& p2 = c0;
    const float dx01 = p0.x - p1.x, dy01 = p0.y - p1.y;
    const float dx20 = p2.x - p0.x, dy20 = p2.y - p0.y;
    const float inverse_area = 1.0f / (dx01 * dy20 - dx20 * dy01);
    const float ds01 = p0.s - p1.s, ds20 = p2.s - p0.s;
    const float dt01 = p0.t - p1.t, dt20 = p2.t - p0.t;
    dsdx = (ds01 * dy20 - dy01 * ds20) * inverse_area;
    dsdy = (ds20 * dx01 - dx20 * ds01) * inverse_area;
    dtdx = (dt01 * dy20 - dy01 * dt20) * inverse_area;
    dtdy = (dt20 * dx01 - dx20 * dt01) * inverse_area;
    // The plane's value at pixel (0, 0), whose centre is half a pixel in.
    const float x0 = p0.x - 0.5f, y0 = p0.y - 0.5f;
    s0 = p0.s - (dsdx * x0 + dsdy * y0);
    t0 = p0.t - (dtdx * x0 + dtdy * y0);
  }
  const int64_t area = (v[1]->fx - v[0]->fx) * (v[2]->fy - v[0]->fy) -
                       (v[1]->fy - v[0]->fy) * (v[2]->fx - v[0]->fx);
  if (area == 0) return;
  if (area < 0) std::swap(v[1], v[2]);
  OwnBack(c);

  int64_t min_x = v[0]->fx, max_x = v[0]->fx, min_y = v[0]->fy, max_y = v[0]->fy;
  for (int i = 1; i < 3; ++i) {
    min_x = std::min(min_x, v[i]->fx);
    max_x = std::max(max_x, v[i]->fx);
    min_y = std::min(min_y, v[i]->fy);
    max_y = std::max(max_y, v[i]->fy);
  }
  // Pixels whose centres may lie inside.
  const int x0 = FirstPixel(min_x), x1 = LastPixel(max_x, c.width);
  const int y0 = FirstPixel(min_y), y1 = LastPixel(max_y, c.height);

  int64_t ex[3], ey[3];
  bool owns[3];
  for (int i = 0; i < 3; ++i) {
    const Vertex* p = v[i];
    const Vertex* q = v[(i + 1) % 3];
    ex[i] = q->fx - p->fx;
    ey[i] = q->fy - p->fy;
    owns[i] = llvmpipe::OwnsCentre(ex[i], ey[i]);
  }

  // A texture mapped along the window's axes (the texture window's quad)
  // has s change with x only and t with y only: the taps are then worked
  // out once a column and once a row. The values are the same as the
  // per-pixel formula's, since OneRounding(0, y, v) is v.
  const Texture& bound = c.BoundTexture();
  // One filter whether the window stretches or squeezes the texture.
  assert(!c.texturing || bound.minFilter == bound.magFilter);
  const bool separable = c.fastPaths && c.texturing && dsdy == 0.0f && dtdx == 0.0f &&
                         bound.width > 0 && bound.height > 0;
  std::vector<Tap> columns, rows;
  // run[k]: how many columns from x0 + k on copy texels that follow one
  // another in the texture (weight 0, each tap's texel the one after the
  // last's); 0 where column k blends.
  std::vector<int> run;
  if (separable && x0 <= x1 && y0 <= y1) {
    columns.resize(static_cast<size_t>(x1 - x0 + 1));
    for (int x = x0; x <= x1; ++x)
      columns[static_cast<size_t>(x - x0)] =
          TapOf(bound, OneRounding(dsdx, static_cast<float>(x), s0), true);
    rows.resize(static_cast<size_t>(y1 - y0 + 1));
    for (int y = y0; y <= y1; ++y)
      rows[static_cast<size_t>(y - y0)] =
          TapOf(bound, OneRounding(dtdy, static_cast<float>(y), t0), false);
    run.assign(columns.size(), 0);
    for (size_t k = columns.size(); k-- > 0;) {
      if (columns[k].weight != 0) continue;
      const bool next = k + 1 < columns.size() && run[k + 1] > 0 &&
                        columns[k + 1].first == columns[k].first + 1;
      run[k] = next ? run[k + 1] + 1 : 1;
    }
  }

  // Each edge function, at pixel x0 + k of a row, is E - k * S: whole
  // numbers, so the pixels an edge lets in are a run of k worked out by
  // division, and the triangle's pixels in the row are where the three
  // runs overlap, exactly the pixels the per-pixel test would pass.
  const int64_t px0 = static_cast<int64_t>(x0) * kOne + kHalf;
  auto run_of = [&](int i, int64_t e, int64_t& lo, int64_t& hi) {
    const int64_t step = ey[i] * kOne;
    if (step == 0) {
      if (!(e > 0 || (e == 0 && owns[i]))) hi = -1;
    } else if (step > 0) {  // falling: in while k * step < e (or <= e if owned)
      hi = std::min(hi, FloorDivide(owns[i] ? e : e - 1, step));
    } else {  // rising: in once k * -step > -e (or >= -e if owned)
      lo = std::max(lo, CeilDivide(owns[i] ? -e : 1 - e, -step));
    }
  };
  auto edge_at = [&](int i, int y) {
    const int64_t py = static_cast<int64_t>(y) * kOne + kHalf;
    return ex[i] * (py - v[i]->fy) - ey[i] * (px0 - v[i]->fx);
  };
  // An upright edge's E is the same on every row: its run is worked out
  // once (a bar of the graph is two triangles with one such edge each, and
  // eighty rows). The other edges' E, a row down, is E + ex * kOne, the
  // same whole number the product gives. Without the fast paths, every
  // edge's E is the product on every row.
  int64_t fixed_lo = 0, fixed_hi = x1 - x0;
  int64_t e_row[3];
  bool per_row[3];
  for (int i = 0; i < 3; ++i) {
    e_row[i] = edge_at(i, y0);
    per_row[i] = !c.fastPaths || ex[i] != 0;
    if (!per_row[i]) run_of(i, e_row[i], fixed_lo, fixed_hi);
  }
  for (int y = y0; y <= y1; ++y) {
    int64_t lo = fixed_lo, hi = fixed_hi;
    for (int i = 0; i < 3; ++i) {
      if (!per_row[i]) continue;
      run_of(i, c.fastPaths ? e_row[i] : edge_at(i, y), lo, hi);
      e_row[i] += ex[i] * kOne;
    }
    if (lo > hi) continue;
    uint8_t* out = c.back.data() + (static_cast<size_t>(y) * static_cast<size_t>(c.width) +
                                    static_cast<size_t>(x0 + lo)) * 4;
    if (separable && rows[static_cast<size_t>(y - y0)].weight == 0) {
      // A row on texel centres (the texture window at its own size). Each
      // pixel gets what the loop below gives it: where its column's weight
      // is 0 too, the texel (column.first, row.first), and a run of such
      // columns reads consecutive texels of one texture row, so it is one
      // copy of that row's bytes into the pixels' colour bytes (their alpha
      // is left, as below); elsewhere the same Blend.
      const Tap& row = rows[static_cast<size_t>(y - y0)];
      for (int64_t k = lo; k <= hi;) {
        const Tap& column = columns[static_cast<size_t>(k)];
        if (run[static_cast<size_t>(k)] == 0) {
          Blend(bound, column, row, out);
          ++k;
          out += 4;
          continue;
        }
        const int64_t n = std::min<int64_t>(run[static_cast<size_t>(k)], hi - k + 1);
        CopyTexels(TexelAt(bound, column.first, row.first), static_cast<size_t>(n), out);
        k += n;
        out += 4 * n;
      }
      continue;
    }
    for (int64_t k = lo; k <= hi; ++k, out += 4) {
      const int x = x0 + static_cast<int>(k);
      if (separable) {
        const Tap& row = rows[static_cast<size_t>(y - y0)];
        const Tap& column = columns[static_cast<size_t>(x - x0)];
        if (row.weight == 0 && column.weight == 0) {
          // A blend of weight 0 is its first texel: the texture window at
          // its own size is a copy of the texture.
          const uint8_t* texel = TexelAt(bound, column.first, row.first);
          out[0] = texel[0];
          out[1] = texel[1];
          out[2] = texel[2];
        } else {
          Blend(bound, column, row, out);
        }
      } else if (c.texturing) {
        const float fx = static_cast<float>(x), fy = static_cast<float>(y);
        Blend(bound, TapOf(bound, OneRounding(dsdy, fy, OneRounding(dsdx, fx, s0)), true),
              TapOf(bound, OneRounding(dtdy, fy, OneRounding(dtdx, fx, t0)), false), out);
      } else {
        out[0] = flat[0];
        out[1] = flat[1];
        out[2] = flat[2];
      }
    }
  }
}

void Point(Context& c, const Vertex& v) {
  if (!v.inside) return;
  OwnBack(c);
  const int64_t side = llvmpipe::Snap(c.pointSize);
  const int64_t left = v.fx - side / 2, top = v.fy - side / 2;
  const int64_t right = left + side, bottom = top + side;
  const int x0 = FirstPixel(left), x1 = LastPixel(right, c.width);
  const int y0 = FirstPixel(top), y1 = LastPixel(bottom, c.height);
  for (int y = y0; y <= y1; ++y) {
    const int64_t py = static_cast<int64_t>(y) * kOne + kHalf;
    if (!llvmpipe::PointCoversY(py, top, bottom)) continue;
    for (int x = x0; x <= x1; ++x) {
      const int64_t px = static_cast<int64_t>(x) * kOne + kHalf;
      if (llvmpipe::PointCoversX(px, left, right)) Put(c, x, y, v.rgb);
    }
  }
}

void Line(Context& c, const Vertex& a, const Vertex& b) {
  // One pixel in each column (or row, for a line steeper than 45 degrees):
  // the one the line crosses at the column's centre. The first and last
  // columns follow the diamond rule.
  const bool x_major = std::llabs(b.fx - a.fx) >= std::llabs(b.fy - a.fy);
  const int64_t a_major = x_major ? a.fx : a.fy, b_major = x_major ? b.fx : b.fy;
  const int64_t a_minor = x_major ? a.fy : a.fx, b_minor = x_major ? b.fy : b.fx;
  if (a_major == b_major) return;
  OwnBack(c);
  const int step = b_major > a_major ? 1 : -1;
  const int64_t first = PixelOf(a_major), last = PixelOf(b_major);
  auto before_centre = [&](int64_t fixed) {
    const int64_t centre = PixelOf(fixed) * kOne + kHalf;
    return step > 0 ? fixed < centre : fixed > centre;
  };
  const bool draw_first = llvmpipe::InDiamond(a.fx, a.fy) || before_centre(a_major);
  const bool draw_last = !llvmpipe::InDiamond(b.fx, b.fy) && !before_centre(b_major);
  // The slope's fraction with a positive divisor, so that the crossing is
  // rounded down on the grid, as a triangle's edges are, whichever way the
  // line runs.
  const int64_t rise = step > 0 ? b_minor - a_minor : a_minor - b_minor;
  const int64_t run = step > 0 ? b_major - a_major : a_major - b_major;
  for (int64_t p = first;; p += step) {
    const bool is_first = p == first, is_last = p == last;
    if ((!is_first || draw_first) && (!is_last || draw_last)) {
      // The minor coordinate where the line crosses this pixel's centre line.
      const int64_t centre = p * kOne + kHalf;
      const int64_t minor = a_minor + FloorDivide(rise * (centre - a_major), run);
      const int64_t q = llvmpipe::LineMinorPixel(minor, x_major);
      if (x_major) {
        Put(c, static_cast<int>(p), static_cast<int>(q), b.rgb);
      } else {
        Put(c, static_cast<int>(q), static_cast<int>(p), b.rgb);
      }
    }
    if (is_last) break;
  }
}

}  // namespace softgl
