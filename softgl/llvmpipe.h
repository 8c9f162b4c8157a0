// The rules by which Mesa's llvmpipe draws on the desktop, where GL itself
// leaves a choice, in one place: every other softgl file follows GL and
// takes from here what only llvmpipe decides. Each rule names the window
// that shows it; tests/e2e/test_soft_gl.py holds every window of ours
// against llvmpipe's, pixel for pixel, and finds any rule gone wrong.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

namespace softgl {
namespace llvmpipe {

// The 1/256 grid: llvmpipe places vertices on a grid of 1/256 pixel before
// it rasterises, and tests pixel centres against edges there. A graph
// resized to 523 x 377, whose points fall between pixels, shows it.
constexpr int kSubpixelBits = 8;
constexpr int kOne = 1 << kSubpixelBits;
constexpr int kHalf = kOne / 2;

// A position on the grid: rounded to nearest, ties to even, as the
// processor converts by default.
inline int64_t Snap(float v) {
  return static_cast<int64_t>(std::nearbyint(v * static_cast<float>(kOne)));
}

// The pixel a grid position lies in (floor division, for positions that
// may be negative).
inline int64_t PixelOf(int64_t fixed) { return fixed >> kSubpixelBits; }

// Edge ownership: whether a pixel centre exactly on a triangle's edge (dx,
// dy along the edge, counter-clockwise on the screen, y down) belongs to the
// triangle. Its left edges and its bottom edge (the window's bottom) own
// it: a one pixel line along a row boundary of the graph lights the row
// below it on the desktop.
inline bool OwnsCentre(int64_t dx, int64_t dy) { return dy < 0 || (dy == 0 && dx < 0); }

// Wide-point edges: a point is a square of its size around it which, unlike
// a triangle, owns the pixel centres on its right and top edges (y down: the
// smaller y). A 7 pixel dot at a whole x covers x - 3 to x + 3 on the
// desktop.
inline bool PointCoversX(int64_t centre, int64_t left, int64_t right) {
  return centre > left && centre <= right;
}
inline bool PointCoversY(int64_t centre, int64_t top, int64_t bottom) {
  return centre >= top && centre < bottom;
}

// The diamond rule of lines: whether a position lies strictly inside the
// diamond of the pixel it is in. A line's first pixel is lit when it starts
// inside its diamond or before the pixel's centre, its last when it ends
// outside its diamond and past the centre: the graph's line at the window's
// edge, once resized, shows it.
inline bool InDiamond(int64_t fx, int64_t fy) {
  const int64_t dx = (fx & (kOne - 1)) - kHalf;
  const int64_t dy = (fy & (kOne - 1)) - kHalf;
  return (dx < 0 ? -dx : dx) + (dy < 0 ? -dy : dy) < kHalf;
}

// A line's pixel across its minor axis, from where it crosses the centre
// line of a column (x major) or a row: a crossing exactly on a row boundary
// goes to the row below, as a triangle's bottom edge does, and one exactly
// on a column boundary to the left column.
inline int64_t LineMinorPixel(int64_t minor, bool x_major) {
  const int64_t q = PixelOf(minor);
  return !x_major && (minor & (kOne - 1)) == 0 ? q - 1 : q;
}

// Quads: two triangles across the diagonal from the second vertex to the
// last, each starting from the last (which gives the flat colour). That is
// the order llvmpipe's texture planes are set up in, found by the stretched
// texture window matching in every pixel.
constexpr int kQuadTriangles[2][3] = {{3, 0, 1}, {3, 1, 2}};

// One rounding per multiply-add: a * b + c rounded once to single
// precision, as llvmpipe's fragment code interpolates (its multiply and add
// are fused on a processor that can). The product is exact in double
// precision; when the sum there lands exactly half way between two floats,
// the part of the exact sum it lost decides which way the float rounds.
// Plain float arithmetic instead misses the desktop by a level in some tens
// of pixels of a stretched texture window. (Done in double precision, never
// by a fused instruction: the build checks that none is emitted.)
inline float OneRounding(float a, float b, float c) {
  const double product = static_cast<double>(a) * static_cast<double>(b);
  const double sum = product + static_cast<double>(c);
  // What the double sum lost (Knuth's two-sum).
  const double back = sum - product;
  const double lost = (product - (sum - back)) + (static_cast<double>(c) - back);
  const float rounded = static_cast<float>(sum);
  if (lost == 0.0) return rounded;
  const double r = static_cast<double>(rounded);
  const float other = std::nextafter(rounded, sum > r ? HUGE_VALF : -HUGE_VALF);
  const double o = static_cast<double>(other);
  if (sum - r != o - sum) return rounded;  // not a tie between two floats
  return (lost > 0.0) == (o > r) ? other : rounded;
}

// The 8.8 filter: llvmpipe filters 8-bit textures linearly in 8.8 fixed
// point. A coordinate across n texels becomes a position in 1/256 texel
// (rounded, less half a texel): the texel below is position >> 8, the
// weight of the one above position & 0xff.
inline int FilterPosition(float coordinate, int n) {
  return static_cast<int>(std::nearbyint(coordinate * static_cast<float>(n) * 256.0f)) - 128;
}
// Each blend of two texels rounded to the nearest byte; truncating instead
// leaves a stretched texture window one level darker in about half its
// pixels. A weight of 0 gives the first texel exactly: the texture window
// at its own size is a copy of the texture.
inline int FilterBlend(int a, int b, int weight) { return a + (((b - a) * weight + 128) >> 8); }

// Ties-to-even bytes: a colour channel as llvmpipe writes it to an 8-bit
// buffer, scaled by 255/256 and added to 2^15 in single precision, so that
// the float's rounding (to nearest, ties to even) to 1/256 leaves the byte
// in the low bits of the mantissa.
inline uint8_t ToByte(float f) {
  if (!(f > 0.0f)) return 0;
  if (f >= 1.0f) return 255;
  const float scaled = f * (255.0f / 256.0f);
  const float biased = scaled + 32768.0f;
  uint32_t bits;
  std::memcpy(&bits, &biased, sizeof bits);
  return static_cast<uint8_t>(bits & 0xffu);
}

// A clear, unlike a vertex's colour, rounds to the nearest byte.
inline uint8_t ClearByte(float f) {
  const float v = f < 0.0f ? 0.0f : (f > 1.0f ? 1.0f : f);
  return static_cast<uint8_t>(std::lround(v * 255.0f));
}

}  // namespace llvmpipe
}  // namespace softgl
