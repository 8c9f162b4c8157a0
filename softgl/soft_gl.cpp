#include "softgl/soft_gl.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace softgl {

namespace {

// llvmpipe places vertices on a grid of 1/256 pixel before it rasterises.
constexpr int kSubpixelBits = 8;
constexpr int kOne = 1 << kSubpixelBits;
constexpr int kHalf = kOne / 2;

struct Matrix {
  float m[16];  // column major, as GL hands it out
};

Matrix Identity() {
  Matrix r{};
  r.m[0] = r.m[5] = r.m[10] = r.m[15] = 1.0f;
  return r;
}

// a * b, each element summed in index order, as Mesa multiplies its matrices.
Matrix Multiply(const Matrix& a, const Matrix& b) {
  Matrix r{};
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      r.m[j * 4 + i] = a.m[i] * b.m[j * 4] + a.m[4 + i] * b.m[j * 4 + 1] +
                       a.m[8 + i] * b.m[j * 4 + 2] + a.m[12 + i] * b.m[j * 4 + 3];
    }
  }
  return r;
}

struct Texture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;  // tightly packed, bottom row first
  GLenum wrapS = GL_REPEAT;
  GLenum wrapT = GL_REPEAT;
  GLenum magFilter = GL_LINEAR;
  GLenum minFilter = GL_NEAREST_MIPMAP_LINEAR;
};

// A vertex as the rasteriser sees it: framebuffer position (y down, as
// llvmpipe counts), its 1/256 grid position, colour and texture coordinates.
struct Vertex {
  float x, y;
  int64_t fx, fy;
  uint8_t rgb[3];
  float s, t;
  bool inside;  // the position lies in the clip volume
};

}  // namespace

class Context {
 public:
  Context(int width, int height) { SetSize(width, height); }

  void SetSize(int width, int height) {
    width_ = width < 0 ? 0 : width;
    height_ = height < 0 ? 0 : height;
    const size_t bytes = static_cast<size_t>(width_) * static_cast<size_t>(height_) * 4;
    for (auto* buffer : {&front_, &back_}) {
      buffer->assign(bytes, 0);
      for (size_t i = 3; i < bytes; i += 4) (*buffer)[i] = 255;
    }
  }

  int width_ = 0, height_ = 0;
  std::vector<uint8_t> front_, back_;  // RGBA, top row first

  std::vector<Matrix> modelview_{Identity()};
  std::vector<Matrix> projection_{Identity()};
  std::vector<Matrix> texture_matrix_{Identity()};
  GLenum matrix_mode_ = GL_MODELVIEW;
  GLint viewport_[4] = {0, 0, 0, 0};
  bool viewport_set_ = false;

  float clear_[4] = {0.0f, 0.0f, 0.0f, 0.0f};
  float colour_[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  float texcoord_[2] = {0.0f, 0.0f};
  float point_size_ = 1.0f;
  bool texturing_ = false;
  GLint unpack_alignment_ = 4;
  GLint pack_alignment_ = 4;
  GLenum read_buffer_ = GL_BACK;

  std::vector<Texture> textures_{Texture()};  // name 0 is the default texture
  GLuint bound_ = 0;

  bool inside_begin_ = false;
  GLenum primitive_ = GL_POINTS;
  std::vector<Vertex> vertices_;
  // The matrices cannot change between glBegin and glEnd: their product is
  // taken once at glBegin.
  Matrix mvp_ = Identity();

  std::vector<Matrix>& Stack() {
    if (matrix_mode_ == GL_PROJECTION) return projection_;
    if (matrix_mode_ == GL_TEXTURE) return texture_matrix_;
    return modelview_;
  }
  Matrix& Top() { return Stack().back(); }

  void Viewport(GLint out[4]) const {
    if (viewport_set_) {
      std::memcpy(out, viewport_, sizeof viewport_);
    } else {
      out[0] = 0;
      out[1] = 0;
      out[2] = width_;
      out[3] = height_;
    }
  }

  void Put(int x, int y, const uint8_t rgb[3]) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    uint8_t* p = &back_[(static_cast<size_t>(y) * static_cast<size_t>(width_) +
                         static_cast<size_t>(x)) * 4];
    p[0] = rgb[0];
    p[1] = rgb[1];
    p[2] = rgb[2];
  }

  Vertex Transform(float x, float y) const;
  void Triangle(const Vertex& a, const Vertex& b, const Vertex& c, const uint8_t flat[3]);
  void Point(const Vertex& v);
  void Line(const Vertex& a, const Vertex& b);
  // Where a texture coordinate falls along one axis of the bound texture:
  // the two texels a linear filter blends (wrapped) and the weight of the
  // second in 1/256.
  struct Tap {
    int first, second, weight;
  };
  Tap TapOf(float coordinate, bool alongS) const;
  // The bound texture's texel (i, j), RGB; only for a texture with texels.
  const uint8_t* TexelAt(int i, int j) const {
    const Texture& tex = textures_[bound_ < textures_.size() ? bound_ : 0];
    return tex.rgb.data() +
           (static_cast<size_t>(j) * static_cast<size_t>(tex.width) + static_cast<size_t>(i)) * 3;
  }
  void Blend(const Tap& s, const Tap& t, uint8_t out[3]) const;
  void Flush();
};

namespace {

Context* current = nullptr;

// A colour channel as llvmpipe writes it to an 8-bit buffer: scaled by
// 255/256 and added to 2^15 in single precision, so that the float's rounding
// to 1/256 leaves the byte in the low bits of the mantissa.
uint8_t ToByte(float f) {
  if (!(f > 0.0f)) return 0;
  if (f >= 1.0f) return 255;
  const float scaled = f * (255.0f / 256.0f);
  const float biased = scaled + 32768.0f;
  uint32_t bits;
  std::memcpy(&bits, &biased, sizeof bits);
  return static_cast<uint8_t>(bits & 0xffu);
}

// Round to nearest, ties to even, as the processor converts by default.
int64_t Snap(float v) { return static_cast<int64_t>(std::nearbyint(v * static_cast<float>(kOne))); }

}  // namespace

Vertex Context::Transform(float x, float y) const {
  // Mesa's fixed-function vertex program multiplies by the product of the
  // projection and modelview matrices, column by column.
  const float* m = mvp_.m;
  float clip[4];
  for (int r = 0; r < 4; ++r) {
    float v = m[r] * x;
    v = v + m[4 + r] * y;
    v = v + m[8 + r] * 0.0f;
    v = v + m[12 + r];
    clip[r] = v;
  }
  Vertex out{};
  const float w = clip[3];
  out.inside = true;
  for (int i = 0; i < 3; ++i) {
    if (clip[i] < -w || clip[i] > w) out.inside = false;
  }
  const float inverse = 1.0f / w;
  const float nx = clip[0] * inverse;
  const float ny = clip[1] * inverse;
  GLint vp[4];
  Viewport(vp);
  // The window system's buffer has its origin at the top: the viewport turns
  // y over, as Mesa's state tracker does.
  const float half_w = static_cast<float>(vp[2]) * 0.5f;
  const float half_h = static_cast<float>(vp[3]) * 0.5f;
  const float tx = static_cast<float>(vp[0]) + half_w;
  const float ty = static_cast<float>(height_) - (static_cast<float>(vp[1]) + half_h);
  out.x = nx * half_w + tx;
  out.y = ny * -half_h + ty;
  out.fx = Snap(out.x);
  out.fy = Snap(out.y);
  for (int i = 0; i < 3; ++i) out.rgb[i] = ToByte(colour_[i]);
  out.s = texcoord_[0];
  out.t = texcoord_[1];
  return out;
}

namespace {

// a * b + c rounded once to single precision, as llvmpipe's fragment code
// interpolates (its multiply and add are fused on a processor that can):
// the product is exact in double precision; when the sum there lands exactly
// half way between two floats, the part of the exact sum it lost decides
// which way the float rounds. Plain float arithmetic instead misses the
// desktop by a level in some tens of pixels of a stretched texture window.
float OneRounding(float a, float b, float c) {
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

// Whether a pixel centre exactly on an edge belongs to the triangle: its left
// edges and its bottom edge (the window's bottom) own it. A one pixel line
// along a row boundary of the graph lights the row below it on the desktop.
bool OwnsCentre(int64_t dx, int64_t dy) { return dy < 0 || (dy == 0 && dx < 0); }

// Division rounded down and up, for a positive divisor.
int64_t FloorDivide(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
int64_t CeilDivide(int64_t a, int64_t b) { return a >= 0 ? (a + b - 1) / b : -((-a) / b); }

}  // namespace

void Context::Triangle(const Vertex& a, const Vertex& b0, const Vertex& c0, const uint8_t flat[3]) {
  const Vertex* v[3] = {&a, &b0, &c0};
  // Texture coordinates as planes over the pixel grid, in single precision,
  // from the vertices in the order given (llvmpipe sets them up before it
  // turns the triangle around).
  float dsdx = 0, dsdy = 0, s0 = 0, dtdx = 0, dtdy = 0, t0 = 0;
  if (texturing_) {
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

  int64_t min_x = v[0]->fx, max_x = v[0]->fx, min_y = v[0]->fy, max_y = v[0]->fy;
  for (int i = 1; i < 3; ++i) {
    min_x = std::min(min_x, v[i]->fx);
    max_x = std::max(max_x, v[i]->fx);
    min_y = std::min(min_y, v[i]->fy);
    max_y = std::max(max_y, v[i]->fy);
  }
  // Pixels whose centres may lie inside.
  const int x0 = static_cast<int>(std::max<int64_t>(0, (min_x - kHalf) >> kSubpixelBits));
  const int x1 = static_cast<int>(std::min<int64_t>(width_ - 1, (max_x - kHalf) >> kSubpixelBits));
  const int y0 = static_cast<int>(std::max<int64_t>(0, (min_y - kHalf) >> kSubpixelBits));
  const int y1 = static_cast<int>(std::min<int64_t>(height_ - 1, (max_y - kHalf) >> kSubpixelBits));

  int64_t ex[3], ey[3];
  bool owns[3];
  for (int i = 0; i < 3; ++i) {
    const Vertex* p = v[i];
    const Vertex* q = v[(i + 1) % 3];
    ex[i] = q->fx - p->fx;
    ey[i] = q->fy - p->fy;
    owns[i] = OwnsCentre(ex[i], ey[i]);
  }

  // A texture mapped along the window's axes (the texture window's quad)
  // has s change with x only and t with y only: the taps are then worked
  // out once a column and once a row. The values are the same as the
  // per-pixel formula's, since OneRounding(0, y, v) is v.
  const Texture& bound = textures_[bound_ < textures_.size() ? bound_ : 0];
  const bool separable = texturing_ && dsdy == 0.0f && dtdx == 0.0f && bound.width > 0 &&
                         bound.height > 0;
  std::vector<Tap> columns, rows;
  if (separable && x0 <= x1 && y0 <= y1) {
    columns.resize(static_cast<size_t>(x1 - x0 + 1));
    for (int x = x0; x <= x1; ++x)
      columns[static_cast<size_t>(x - x0)] =
          TapOf(OneRounding(dsdx, static_cast<float>(x), s0), true);
    rows.resize(static_cast<size_t>(y1 - y0 + 1));
    for (int y = y0; y <= y1; ++y)
      rows[static_cast<size_t>(y - y0)] = TapOf(OneRounding(dtdy, static_cast<float>(y), t0), false);
  }

  for (int y = y0; y <= y1; ++y) {
    const int64_t py = static_cast<int64_t>(y) * kOne + kHalf;
    const int64_t px0 = static_cast<int64_t>(x0) * kOne + kHalf;
    // Each edge function, at pixel x0 + k of this row, is E - k * S: whole
    // numbers, so the pixels an edge lets in are a run of k worked out by
    // division, and the triangle's pixels in the row are where the three
    // runs overlap, exactly the pixels the per-pixel test would pass.
    int64_t lo = 0, hi = x1 - x0;
    for (int i = 0; i < 3; ++i) {
      const int64_t e = ex[i] * (py - v[i]->fy) - ey[i] * (px0 - v[i]->fx);
      const int64_t step = ey[i] * kOne;
      if (step == 0) {
        if (!(e > 0 || (e == 0 && owns[i]))) hi = -1;
      } else if (step > 0) {  // falling: in while k * step < e (or <= e if owned)
        hi = std::min(hi, FloorDivide(owns[i] ? e : e - 1, step));
      } else {  // rising: in once k * -step > -e (or >= -e if owned)
        lo = std::max(lo, CeilDivide(owns[i] ? -e : 1 - e, -step));
      }
    }
    if (lo > hi) continue;
    uint8_t* out = back_.data() + (static_cast<size_t>(y) * static_cast<size_t>(width_) +
                                   static_cast<size_t>(x0 + lo)) * 4;
    for (int64_t k = lo; k <= hi; ++k, out += 4) {
      const int x = x0 + static_cast<int>(k);
      if (separable) {
        const Tap& row = rows[static_cast<size_t>(y - y0)];
        const Tap& column = columns[static_cast<size_t>(x - x0)];
        if (row.weight == 0 && column.weight == 0) {
          // A blend of weight 0 is its first texel: the texture window at
          // its own size is a copy of the texture.
          const uint8_t* texel = TexelAt(column.first, row.first);
          out[0] = texel[0];
          out[1] = texel[1];
          out[2] = texel[2];
        } else {
          Blend(column, row, out);
        }
      } else if (texturing_) {
        const float fx = static_cast<float>(x), fy = static_cast<float>(y);
        Blend(TapOf(OneRounding(dsdy, fy, OneRounding(dsdx, fx, s0)), true),
              TapOf(OneRounding(dtdy, fy, OneRounding(dtdx, fx, t0)), false), out);
      } else {
        out[0] = flat[0];
        out[1] = flat[1];
        out[2] = flat[2];
      }
    }
  }
}

void Context::Point(const Vertex& v) {
  if (!v.inside) return;
  // A square of the point's size around it. Unlike a triangle, a point owns
  // the pixel centres on its right and top edges: a 7 pixel dot at a whole
  // x covers x - 3 to x + 3 on the desktop.
  const int64_t side = Snap(point_size_);
  const int64_t left = v.fx - side / 2, top = v.fy - side / 2;
  const int64_t right = left + side, bottom = top + side;
  const int x0 = static_cast<int>(std::max<int64_t>(0, (left - kHalf) >> kSubpixelBits));
  const int x1 = static_cast<int>(std::min<int64_t>(width_ - 1, (right - kHalf) >> kSubpixelBits));
  const int y0 = static_cast<int>(std::max<int64_t>(0, (top - kHalf) >> kSubpixelBits));
  const int y1 = static_cast<int>(std::min<int64_t>(height_ - 1, (bottom - kHalf) >> kSubpixelBits));
  for (int y = y0; y <= y1; ++y) {
    const int64_t py = static_cast<int64_t>(y) * kOne + kHalf;
    if (py < top || py >= bottom) continue;
    for (int x = x0; x <= x1; ++x) {
      const int64_t px = static_cast<int64_t>(x) * kOne + kHalf;
      if (px <= left || px > right) continue;
      Put(x, y, v.rgb);
    }
  }
}

namespace {

// Floor division by the grid, for positions that may be negative.
int64_t PixelOf(int64_t fixed) { return fixed >> kSubpixelBits; }

// Whether a point lies strictly inside the diamond of the pixel it is in:
// GL's rule for lines lights a pixel when the line leaves its diamond.
bool InDiamond(int64_t fx, int64_t fy) {
  const int64_t dx = (fx & (kOne - 1)) - kHalf;
  const int64_t dy = (fy & (kOne - 1)) - kHalf;
  return (dx < 0 ? -dx : dx) + (dy < 0 ? -dy : dy) < kHalf;
}

}  // namespace

void Context::Line(const Vertex& a, const Vertex& b) {
  // One pixel in each column (or row, for a line steeper than 45 degrees):
  // the one the line crosses at the column's centre, a crossing exactly on a
  // row boundary going to the row below as a triangle's bottom edge does.
  // The first and last columns follow the diamond rule: the first is lit
  // when the line starts inside its diamond or before its centre, the last
  // when the line ends outside its diamond and past its centre. The end at
  // the window's edge on a resized graph shows it.
  const bool x_major = std::llabs(b.fx - a.fx) >= std::llabs(b.fy - a.fy);
  const int64_t a_major = x_major ? a.fx : a.fy, b_major = x_major ? b.fx : b.fy;
  const int64_t a_minor = x_major ? a.fy : a.fx, b_minor = x_major ? b.fy : b.fx;
  if (a_major == b_major) return;
  const int step = b_major > a_major ? 1 : -1;
  const int64_t first = PixelOf(a_major), last = PixelOf(b_major);
  auto before_centre = [&](int64_t fixed) {
    const int64_t centre = PixelOf(fixed) * kOne + kHalf;
    return step > 0 ? fixed < centre : fixed > centre;
  };
  const bool draw_first = InDiamond(a.fx, a.fy) || before_centre(a_major);
  const bool draw_last = !InDiamond(b.fx, b.fy) && !before_centre(b_major);
  for (int64_t p = first;; p += step) {
    const bool is_first = p == first, is_last = p == last;
    if ((!is_first || draw_first) && (!is_last || draw_last)) {
      // The minor coordinate where the line crosses this pixel's centre line.
      const int64_t centre = p * kOne + kHalf;
      const int64_t minor =
          a_minor + (b_minor - a_minor) * (centre - a_major) / (b_major - a_major);
      int64_t q = PixelOf(minor);
      if (!x_major && (minor & (kOne - 1)) == 0) q -= 1;  // the left column owns a tie
      if (x_major) {
        Put(static_cast<int>(p), static_cast<int>(q), b.rgb);
      } else {
        Put(static_cast<int>(q), static_cast<int>(p), b.rgb);
      }
    }
    if (is_last) break;
  }
}

Context::Tap Context::TapOf(float coordinate, bool alongS) const {
  const Texture& tex = textures_[bound_ < textures_.size() ? bound_ : 0];
  const int n = alongS ? tex.width : tex.height;
  const GLenum mode = alongS ? tex.wrapS : tex.wrapT;
  // GL_REPEAT, or else the edge texel repeated outwards (the texture
  // window repeats; the clamped modes are here for completeness).
  auto wrap = [n, mode](int i) {
    if (mode != GL_REPEAT) return i < 0 ? 0 : (i >= n ? n - 1 : i);
    i %= n;
    return i < 0 ? i + n : i;
  };
  // One filter whether the window stretches or squeezes the texture: ours
  // sets GL_LINEAR for both, and nothing here makes mipmaps.
  if (tex.magFilter == GL_NEAREST) {
    const int i = wrap(static_cast<int>(std::floor(coordinate * static_cast<float>(n))));
    return {i, i, 0};
  }
  // Linear filtering in 8.8 fixed point, as llvmpipe filters 8-bit
  // textures: the position rounded to 1/256 texel, the texel below and the
  // weight of the one above in 1/256.
  const int u = static_cast<int>(std::nearbyint(coordinate * static_cast<float>(n) * 256.0f)) - 128;
  return {wrap(u >> 8), wrap((u >> 8) + 1), u & 0xff};
}

void Context::Blend(const Tap& s, const Tap& t, uint8_t out[3]) const {
  const Texture& tex = textures_[bound_ < textures_.size() ? bound_ : 0];
  if (tex.width == 0 || tex.height == 0) {
    out[0] = out[1] = out[2] = 255;
    return;
  }
  const size_t row = static_cast<size_t>(tex.width) * 3;
  const uint8_t* bottom = tex.rgb.data() + static_cast<size_t>(t.first) * row;
  const uint8_t* top = tex.rgb.data() + static_cast<size_t>(t.second) * row;
  const size_t i0 = static_cast<size_t>(s.first) * 3, i1 = static_cast<size_t>(s.second) * 3;
  // Each blend rounded to the nearest byte; truncating instead leaves a
  // stretched window one level darker in about half its pixels. A weight
  // of 0 gives the first texel exactly.
  auto lerp = [](int a, int b, int weight) { return a + (((b - a) * weight + 128) >> 8); };
  for (int c = 0; c < 3; ++c) {
    const int low = lerp(bottom[i0 + c], bottom[i1 + c], s.weight);
    const int high = lerp(top[i0 + c], top[i1 + c], s.weight);
    out[c] = static_cast<uint8_t>(lerp(low, high, t.weight));
  }
}

void Context::Flush() {
  const std::vector<Vertex>& v = vertices_;
  switch (primitive_) {
    case GL_POINTS:
      for (const Vertex& p : v) Point(p);
      break;
    case GL_LINES:
      for (size_t i = 0; i + 1 < v.size(); i += 2) Line(v[i], v[i + 1]);
      break;
    case GL_LINE_STRIP:
      for (size_t i = 0; i + 1 < v.size(); ++i) Line(v[i], v[i + 1]);
      break;
    case GL_TRIANGLES:
      for (size_t i = 0; i + 2 < v.size(); i += 3) Triangle(v[i], v[i + 1], v[i + 2], v[i + 2].rgb);
      break;
    case GL_QUADS:
      // Two triangles across the diagonal from the second vertex to the
      // last, each starting from the last (which gives the flat colour):
      // the order llvmpipe's texture planes are set up in, found by the
      // stretched texture window matching in every pixel.
      for (size_t i = 0; i + 3 < v.size(); i += 4) {
        Triangle(v[i + 3], v[i], v[i + 1], v[i + 3].rgb);
        Triangle(v[i + 3], v[i + 1], v[i + 2], v[i + 3].rgb);
      }
      break;
    default:
      break;
  }
}

// ---------------------------------------------------------------------------

Context* CreateContext(int width, int height) { return new Context(width, height); }

void DestroyContext(Context* context) {
  if (current == context) current = nullptr;
  delete context;
}

void MakeCurrent(Context* context) { current = context; }
Context* Current() { return current; }

void Resize(Context* context, int width, int height) {
  if (context != nullptr) context->SetSize(width, height);
}

int Width(const Context* context) { return context ? context->width_ : 0; }
int Height(const Context* context) { return context ? context->height_ : 0; }

void SwapBuffers(Context* context) {
  if (context == nullptr) return;
  // The back buffer's contents after a swap are undefined in GL; a copy keeps
  // them as they were, which is what llvmpipe's window shows.
  context->front_ = context->back_;
}

const uint8_t* ShownPixels(const Context* context) {
  return context ? context->front_.data() : nullptr;
}

}  // namespace softgl

using softgl::Context;

namespace {

Context* Gl() { return softgl::Current(); }

void LoadTop(const softgl::Matrix& m) {
  if (Context* c = Gl()) c->Top() = m;
}

void MultiplyTop(const softgl::Matrix& m) {
  if (Context* c = Gl()) c->Top() = softgl::Multiply(c->Top(), m);
}

void AddVertex(float x, float y) {
  Context* c = Gl();
  if (c == nullptr || !c->inside_begin_) return;
  c->vertices_.push_back(c->Transform(x, y));
}

}  // namespace

extern "C" {

void glBegin(GLenum mode) {
  Context* c = Gl();
  if (c == nullptr) return;
  c->inside_begin_ = true;
  c->primitive_ = mode;
  c->mvp_ = softgl::Multiply(c->projection_.back(), c->modelview_.back());
  c->vertices_.clear();
}

void glEnd() {
  Context* c = Gl();
  if (c == nullptr || !c->inside_begin_) return;
  c->Flush();
  c->inside_begin_ = false;
  c->vertices_.clear();
}

void glVertex2f(GLfloat x, GLfloat y) { AddVertex(x, y); }
void glVertex2i(GLint x, GLint y) { AddVertex(static_cast<float>(x), static_cast<float>(y)); }

void glColor3f(GLfloat r, GLfloat g, GLfloat b) {
  if (Context* c = Gl()) {
    c->colour_[0] = r;
    c->colour_[1] = g;
    c->colour_[2] = b;
    c->colour_[3] = 1.0f;
  }
}

void glColor3ub(GLubyte r, GLubyte g, GLubyte b) {
  glColor3f(static_cast<float>(r) / 255.0f, static_cast<float>(g) / 255.0f,
            static_cast<float>(b) / 255.0f);
}

void glTexCoord2f(GLfloat s, GLfloat t) {
  if (Context* c = Gl()) {
    c->texcoord_[0] = s;
    c->texcoord_[1] = t;
  }
}

void glMatrixMode(GLenum mode) {
  if (Context* c = Gl()) c->matrix_mode_ = mode;
}

void glLoadIdentity() { LoadTop(softgl::Identity()); }

void glOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble near_val,
             GLdouble far_val) {
  // Mesa builds the matrix from the arguments in single precision.
  const float l = static_cast<float>(left), r = static_cast<float>(right);
  const float b = static_cast<float>(bottom), t = static_cast<float>(top);
  const float n = static_cast<float>(near_val), f = static_cast<float>(far_val);
  if (l == r || b == t || n == f) return;
  softgl::Matrix m{};
  m.m[0] = 2.0f / (r - l);
  m.m[12] = -(r + l) / (r - l);
  m.m[5] = 2.0f / (t - b);
  m.m[13] = -(t + b) / (t - b);
  m.m[10] = -2.0f / (f - n);
  m.m[14] = -(f + n) / (f - n);
  m.m[15] = 1.0f;
  MultiplyTop(m);
}

void gluOrtho2D(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top) {
  glOrtho(left, right, bottom, top, -1.0, 1.0);
}

void glPushMatrix() {
  if (Context* c = Gl()) {
    std::vector<softgl::Matrix>& stack = c->Stack();
    stack.push_back(stack.back());
  }
}

void glPopMatrix() {
  if (Context* c = Gl()) {
    std::vector<softgl::Matrix>& stack = c->Stack();
    if (stack.size() > 1) stack.pop_back();
  }
}

void glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
  Context* c = Gl();
  if (c == nullptr) return;
  float* m = c->Top().m;
  for (int r = 0; r < 4; ++r) m[12 + r] = m[r] * x + m[4 + r] * y + m[8 + r] * z + m[12 + r];
}

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
  Context* c = Gl();
  if (c == nullptr || width < 0 || height < 0) return;
  c->viewport_[0] = x;
  c->viewport_[1] = y;
  c->viewport_[2] = width;
  c->viewport_[3] = height;
  c->viewport_set_ = true;
}

void glGetFloatv(GLenum pname, GLfloat* params) {
  Context* c = Gl();
  if (c == nullptr) return;
  if (pname == GL_MODELVIEW_MATRIX) std::memcpy(params, c->modelview_.back().m, sizeof(float) * 16);
  if (pname == GL_PROJECTION_MATRIX)
    std::memcpy(params, c->projection_.back().m, sizeof(float) * 16);
  if (pname == GL_POINT_SIZE) params[0] = c->point_size_;
}

void glGetIntegerv(GLenum pname, GLint* params) {
  Context* c = Gl();
  if (c == nullptr) return;
  if (pname == GL_VIEWPORT) c->Viewport(params);
  if (pname == GL_MATRIX_MODE) params[0] = static_cast<GLint>(c->matrix_mode_);
}

void glPointSize(GLfloat size) {
  if (Context* c = Gl()) {
    if (size > 0.0f) c->point_size_ = size;
  }
}

void glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) {
  if (Context* c = Gl()) {
    c->clear_[0] = r;
    c->clear_[1] = g;
    c->clear_[2] = b;
    c->clear_[3] = a;
  }
}

void glClear(GLbitfield mask) {
  Context* c = Gl();
  if (c == nullptr || (mask & GL_COLOR_BUFFER_BIT) == 0) return;
  // A clear rounds to the nearest byte.
  uint8_t rgb[3];
  for (int i = 0; i < 3; ++i) {
    const float v = c->clear_[i] < 0.0f ? 0.0f : (c->clear_[i] > 1.0f ? 1.0f : c->clear_[i]);
    rgb[i] = static_cast<uint8_t>(std::lround(v * 255.0f));
  }
  // One pixel written, then copied over the buffer in doubling runs.
  const size_t size = c->back_.size();
  if (size == 0) return;
  uint8_t* p = c->back_.data();
  p[0] = rgb[0];
  p[1] = rgb[1];
  p[2] = rgb[2];
  p[3] = 255;
  for (size_t done = 4; done < size; done *= 2) std::memcpy(p + done, p, std::min(done, size - done));
}

void glEnable(GLenum cap) {
  if (Context* c = Gl()) {
    if (cap == GL_TEXTURE_2D) c->texturing_ = true;
  }
}

void glDisable(GLenum cap) {
  if (Context* c = Gl()) {
    if (cap == GL_TEXTURE_2D) c->texturing_ = false;
  }
}

// Every primitive we draw is one colour, so flat and smooth shading agree.
void glShadeModel(GLenum) {}

void glGenTextures(GLsizei n, GLuint* textures) {
  Context* c = Gl();
  if (c == nullptr) return;
  for (GLsizei i = 0; i < n; ++i) {
    textures[i] = static_cast<GLuint>(c->textures_.size());
    c->textures_.emplace_back();
  }
}

void glBindTexture(GLenum target, GLuint texture) {
  Context* c = Gl();
  if (c == nullptr || target != GL_TEXTURE_2D) return;
  while (c->textures_.size() <= texture) c->textures_.emplace_back();
  c->bound_ = texture;
}

void glTexParameteri(GLenum target, GLenum pname, GLint param) {
  Context* c = Gl();
  if (c == nullptr || target != GL_TEXTURE_2D) return;
  softgl::Texture& t = c->textures_[c->bound_];
  const GLenum value = static_cast<GLenum>(param);
  if (pname == GL_TEXTURE_WRAP_S) t.wrapS = value;
  if (pname == GL_TEXTURE_WRAP_T) t.wrapT = value;
  if (pname == GL_TEXTURE_MAG_FILTER) t.magFilter = value;
  if (pname == GL_TEXTURE_MIN_FILTER) t.minFilter = value;
}

// GL_REPLACE is the only texture environment drawn with.
void glTexEnvf(GLenum, GLenum, GLfloat) {}

void glPixelStorei(GLenum pname, GLint param) {
  Context* c = Gl();
  if (c == nullptr || (param != 1 && param != 2 && param != 4 && param != 8)) return;
  if (pname == GL_UNPACK_ALIGNMENT) c->unpack_alignment_ = param;
  if (pname == GL_PACK_ALIGNMENT) c->pack_alignment_ = param;
}

void glTexImage2D(GLenum target, GLint level, GLint, GLsizei width, GLsizei height, GLint border,
                  GLenum format, GLenum type, const GLvoid* pixels) {
  Context* c = Gl();
  if (c == nullptr || target != GL_TEXTURE_2D || level != 0 || border != 0 || format != GL_RGB ||
      type != GL_UNSIGNED_BYTE || width < 0 || height < 0)
    return;
  softgl::Texture& t = c->textures_[c->bound_];
  t.width = width;
  t.height = height;
  const size_t row = static_cast<size_t>(width) * 3;
  const size_t align = static_cast<size_t>(c->unpack_alignment_);
  const size_t stride = (row + align - 1) / align * align;
  t.rgb.assign(row * static_cast<size_t>(height), 0);
  if (pixels == nullptr) return;
  const uint8_t* src = static_cast<const uint8_t*>(pixels);
  for (GLsizei j = 0; j < height; ++j) {
    std::memcpy(&t.rgb[row * static_cast<size_t>(j)], src + stride * static_cast<size_t>(j), row);
  }
}

void glReadBuffer(GLenum mode) {
  if (Context* c = Gl()) c->read_buffer_ = mode;
}

void glReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,
                  GLvoid* pixels) {
  Context* c = Gl();
  if (c == nullptr || type != GL_UNSIGNED_BYTE || (format != GL_RGB && format != GL_RED)) return;
  const int channels = format == GL_RGB ? 3 : 1;
  const size_t row = static_cast<size_t>(width) * static_cast<size_t>(channels);
  const size_t align = static_cast<size_t>(c->pack_alignment_);
  const size_t stride = (row + align - 1) / align * align;
  const std::vector<uint8_t>& buffer =
      (c->read_buffer_ == GL_FRONT || c->read_buffer_ == GL_FRONT_LEFT) ? c->front_ : c->back_;
  uint8_t* out = static_cast<uint8_t*>(pixels);
  for (GLsizei j = 0; j < height; ++j) {
    // GL counts rows from the bottom; the buffers keep the top row first.
    const int gy = y + j;
    for (GLsizei i = 0; i < width; ++i) {
      const int gx = x + i;
      uint8_t* dst = out + stride * static_cast<size_t>(j) +
                     static_cast<size_t>(i) * static_cast<size_t>(channels);
      if (gx < 0 || gy < 0 || gx >= c->width_ || gy >= c->height_) continue;
      const uint8_t* src = &buffer[(static_cast<size_t>(c->height_ - 1 - gy) *
                                        static_cast<size_t>(c->width_) +
                                    static_cast<size_t>(gx)) * 4];
      std::memcpy(dst, src, static_cast<size_t>(channels));
    }
  }
}

void glFlush() {}
void glFinish() {}

}  // extern "C"
