#include "softgl/setup.h"

#include <cassert>
#include <cstring>

#include "softgl/llvmpipe.h"
#include "softgl/raster.h"

namespace softgl {

Matrix Identity() {
  Matrix r{};
  r.m[0] = r.m[5] = r.m[10] = r.m[15] = 1.0f;
  return r;
}

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

std::vector<Matrix>& CurrentStack(Context& c) {
  if (c.matrixMode == GL_PROJECTION) return c.projection;
  if (c.matrixMode == GL_TEXTURE) return c.textureMatrix;
  return c.modelview;
}

void ViewportOf(const Context& c, GLint out[4]) {
  if (c.viewportSet) {
    std::memcpy(out, c.viewport, sizeof c.viewport);
  } else {
    out[0] = 0;
    out[1] = 0;
    out[2] = c.width;
    out[3] = c.height;
  }
}

Vertex Transform(const Context& c, float x, float y) {
  // Mesa's fixed-function vertex program multiplies by the product of the
  // projection and modelview matrices, column by column.
  const float* m = c.mvp.m;
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
  ViewportOf(c, vp);
  // The window system's buffer has its origin at the top: the viewport turns
  // y over, as Mesa's state tracker does.
  const float half_w = static_cast<float>(vp[2]) * 0.5f;
  const float half_h = static_cast<float>(vp[3]) * 0.5f;
  const float tx = static_cast<float>(vp[0]) + half_w;
  const float ty = static_cast<float>(c.height) - (static_cast<float>(vp[1]) + half_h);
  out.x = nx * half_w + tx;
  out.y = ny * -half_h + ty;
  out.fx = llvmpipe::Snap(out.x);
  out.fy = llvmpipe::Snap(out.y);
  for (int i = 0; i < 3; ++i) out.rgb[i] = llvmpipe::ToByte(c.colour[i]);
  out.s = c.texcoord[0];
  out.t = c.texcoord[1];
  return out;
}

void Flush(Context& c) {
  const std::vector<Vertex>& v = c.vertices;
  switch (c.primitive) {
    case GL_POINTS:
      for (const Vertex& p : v) Point(c, p);
      break;
    case GL_LINES:
      for (size_t i = 0; i + 1 < v.size(); i += 2) Line(c, v[i], v[i + 1]);
      break;
    case GL_LINE_STRIP:
      for (size_t i = 0; i + 1 < v.size(); ++i) Line(c, v[i], v[i + 1]);
      break;
    case GL_TRIANGLES:
      for (size_t i = 0; i + 2 < v.size(); i += 3) Triangle(c, v[i], v[i + 1], v[i + 2], v[i + 2].rgb);
      break;
    case GL_QUADS:
      for (size_t i = 0; i + 3 < v.size(); i += 4) {
        for (const auto& t : llvmpipe::kQuadTriangles) {
          const Vertex& first = v[i + static_cast<size_t>(t[0])];
          Triangle(c, first, v[i + static_cast<size_t>(t[1])], v[i + static_cast<size_t>(t[2])],
                   first.rgb);
        }
      }
      break;
    default:
      assert(!"softgl draws points, lines, line strips, triangles and quads only");
      break;
  }
}

}  // namespace softgl
