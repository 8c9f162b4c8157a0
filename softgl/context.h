// softgl's state: one window's GL, as the stages see it. The entry points
// (entry_points.cpp) marshal each gl* call into it; setup (setup.cpp) turns
// vertices into positions on the grid and primitives into triangles, points
// and lines; the rasteriser (raster.cpp) finds their pixels; texturing
// (texture.h) samples the bound texture; the framebuffer (framebuffer.cpp)
// holds the buffers. Internal to softgl: callers see soft_gl.h only.
//
// The state is an open record, as GL's own state is one: every stage reads
// it, and only the entry points write what a gl* call sets.
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <vector>

namespace softgl {

struct Matrix {
  float m[16];  // column major, as GL hands it out
};

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

Matrix Identity();

class Context {
 public:
  Context(int width, int height);

  int width = 0, height = 0;
  std::vector<uint8_t> front, back;  // RGBA, top row first
  // A swap exchanges the two buffers rather than copying one into the
  // other; the back buffer is then owed the front's pixels, which it takes
  // (OwnBack, framebuffer.h) only when something reads or draws into it
  // before a clear overwrites it all.
  bool backOwed = false;
  // Off, the rasteriser takes its per-pixel formulas everywhere: the tests
  // compare its shortcuts against them.
  bool fastPaths = true;

  std::vector<Matrix> modelview{Identity()};
  std::vector<Matrix> projection{Identity()};
  std::vector<Matrix> textureMatrix{Identity()};
  GLenum matrixMode = GL_MODELVIEW;
  GLint viewport[4] = {0, 0, 0, 0};
  bool viewportSet = false;  // until glViewport, the viewport is the window

  float clearColour[4] = {0.0f, 0.0f, 0.0f, 0.0f};
  float colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  float texcoord[2] = {0.0f, 0.0f};
  float pointSize = 1.0f;
  bool texturing = false;
  GLint unpackAlignment = 4;
  GLint packAlignment = 4;
  GLenum readBuffer = GL_BACK;

  // Name 0 is the default texture; glBindTexture makes every name up to
  // the one it binds, so `bound` always names one.
  std::vector<Texture> textures{Texture()};
  GLuint bound = 0;

  bool insideBegin = false;
  GLenum primitive = GL_POINTS;
  std::vector<Vertex> vertices;
  // The matrices cannot change between glBegin and glEnd: their product is
  // taken once at glBegin.
  Matrix mvp = Identity();

  // The texture that glBindTexture bound: the one guard on `bound`, which
  // falls back on the default texture should it ever name none.
  Texture& BoundTexture() { return textures[bound < textures.size() ? bound : 0]; }
  const Texture& BoundTexture() const { return textures[bound < textures.size() ? bound : 0]; }
};

}  // namespace softgl
