// The gl*/glu* entry points and the contexts: each call checks that a
// context is current and that it asks for something softgl draws, then
// hands its arguments to the stage that keeps them. What softgl does not
// draw is an assertion in a debug build (a release build ignores it, as it
// always has): a call our drawing code starts making must fail loudly, not
// draw something else.
#include <GL/gl.h>

#include <cassert>
#include <cstring>

#include "softgl/context.h"
#include "softgl/framebuffer.h"
#include "softgl/setup.h"
#include "softgl/soft_gl.h"
#include "softgl/texture.h"

namespace softgl {

Context::Context(int w, int h) { SetSize(*this, w, h); }

namespace {
Context* current = nullptr;
}  // namespace

Context* CreateContext(int width, int height) { return new Context(width, height); }

void DestroyContext(Context* context) {
  if (current == context) current = nullptr;
  delete context;
}

void MakeCurrent(Context* context) { current = context; }
Context* Current() { return current; }

void Resize(Context* context, int width, int height) {
  if (context != nullptr) SetSize(*context, width, height);
}

int Width(const Context* context) { return context ? context->width : 0; }
int Height(const Context* context) { return context ? context->height : 0; }

void SwapBuffers(Context* context) {
  if (context != nullptr) Swap(*context);
}

void UseFastPaths(Context* context, bool on) {
  if (context != nullptr) context->fastPaths = on;
}

const uint8_t* ShownPixels(const Context* context) {
  return context ? context->front.data() : nullptr;
}

}  // namespace softgl

using softgl::Context;

namespace {

Context* Gl() { return softgl::current; }

void LoadTop(const softgl::Matrix& m) {
  if (Context* c = Gl()) softgl::CurrentStack(*c).back() = m;
}

void MultiplyTop(const softgl::Matrix& m) {
  if (Context* c = Gl()) {
    softgl::Matrix& top = softgl::CurrentStack(*c).back();
    top = softgl::Multiply(top, m);
  }
}

void AddVertex(float x, float y) {
  Context* c = Gl();
  if (c == nullptr || !c->insideBegin) return;
  c->vertices.push_back(softgl::Transform(*c, x, y));
}

[[maybe_unused]] bool IsFilter(GLint value) { return value == GL_LINEAR || value == GL_NEAREST; }
[[maybe_unused]] bool IsWrap(GLint value) {
  return value == GL_REPEAT || value == GL_CLAMP || value == GL_CLAMP_TO_EDGE;
}

}  // namespace

extern "C" {

void glBegin(GLenum mode) {
  Context* c = Gl();
  if (c == nullptr) return;
  c->insideBegin = true;
  c->primitive = mode;
  c->mvp = softgl::Multiply(c->projection.back(), c->modelview.back());
  c->vertices.clear();
}

void glEnd() {
  Context* c = Gl();
  if (c == nullptr || !c->insideBegin) return;
  softgl::Flush(*c);
  c->insideBegin = false;
  c->vertices.clear();
}

void glVertex2f(GLfloat x, GLfloat y) { AddVertex(x, y); }
void glVertex2i(GLint x, GLint y) { AddVertex(static_cast<float>(x), static_cast<float>(y)); }

void glColor3f(GLfloat r, GLfloat g, GLfloat b) {
  if (Context* c = Gl()) {
    c->colour[0] = r;
    c->colour[1] = g;
    c->colour[2] = b;
    c->colour[3] = 1.0f;
  }
}

void glColor3ub(GLubyte r, GLubyte g, GLubyte b) {
  glColor3f(static_cast<float>(r) / 255.0f, static_cast<float>(g) / 255.0f,
            static_cast<float>(b) / 255.0f);
}

void glTexCoord2f(GLfloat s, GLfloat t) {
  if (Context* c = Gl()) {
    c->texcoord[0] = s;
    c->texcoord[1] = t;
  }
}

void glMatrixMode(GLenum mode) {
  if (Context* c = Gl()) c->matrixMode = mode;
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
    std::vector<softgl::Matrix>& stack = softgl::CurrentStack(*c);
    stack.push_back(stack.back());
  }
}

void glPopMatrix() {
  if (Context* c = Gl()) {
    std::vector<softgl::Matrix>& stack = softgl::CurrentStack(*c);
    if (stack.size() > 1) stack.pop_back();
  }
}

void glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
  Context* c = Gl();
  if (c == nullptr) return;
  float* m = softgl::CurrentStack(*c).back().m;
  for (int r = 0; r < 4; ++r) m[12 + r] = m[r] * x + m[4 + r] * y + m[8 + r] * z + m[12 + r];
}

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
  Context* c = Gl();
  if (c == nullptr || width < 0 || height < 0) return;
  c->viewport[0] = x;
  c->viewport[1] = y;
  c->viewport[2] = width;
  c->viewport[3] = height;
  c->viewportSet = true;
}

void glGetFloatv(GLenum pname, GLfloat* params) {
  Context* c = Gl();
  if (c == nullptr) return;
  if (pname == GL_MODELVIEW_MATRIX) std::memcpy(params, c->modelview.back().m, sizeof(float) * 16);
  if (pname == GL_PROJECTION_MATRIX) std::memcpy(params, c->projection.back().m, sizeof(float) * 16);
  if (pname == GL_POINT_SIZE) params[0] = c->pointSize;
}

void glGetIntegerv(GLenum pname, GLint* params) {
  Context* c = Gl();
  if (c == nullptr) return;
  if (pname == GL_VIEWPORT) softgl::ViewportOf(*c, params);
  if (pname == GL_MATRIX_MODE) params[0] = static_cast<GLint>(c->matrixMode);
}

void glPointSize(GLfloat size) {
  if (Context* c = Gl()) {
    if (size > 0.0f) c->pointSize = size;
  }
}

void glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) {
  if (Context* c = Gl()) {
    c->clearColour[0] = r;
    c->clearColour[1] = g;
    c->clearColour[2] = b;
    c->clearColour[3] = a;
  }
}

void glClear(GLbitfield mask) {
  Context* c = Gl();
  if (c != nullptr && (mask & GL_COLOR_BUFFER_BIT) != 0) softgl::ClearBack(*c);
}

// Texturing is the one capability softgl draws; disabling any other (the
// depth test, lighting, blending) asks for what it already does.
void glEnable(GLenum cap) {
  assert(cap == GL_TEXTURE_2D);
  if (Context* c = Gl()) {
    if (cap == GL_TEXTURE_2D) c->texturing = true;
  }
}

void glDisable(GLenum cap) {
  if (Context* c = Gl()) {
    if (cap == GL_TEXTURE_2D) c->texturing = false;
  }
}

// Every primitive we draw is one colour, so flat and smooth shading agree.
void glShadeModel(GLenum) {}

void glGenTextures(GLsizei n, GLuint* textures) {
  Context* c = Gl();
  if (c == nullptr) return;
  for (GLsizei i = 0; i < n; ++i) {
    textures[i] = static_cast<GLuint>(c->textures.size());
    c->textures.emplace_back();
  }
}

void glBindTexture(GLenum target, GLuint texture) {
  assert(target == GL_TEXTURE_2D);
  Context* c = Gl();
  if (c == nullptr || target != GL_TEXTURE_2D) return;
  while (c->textures.size() <= texture) c->textures.emplace_back();
  c->bound = texture;
}

void glTexParameteri(GLenum target, GLenum pname, GLint param) {
  assert(target == GL_TEXTURE_2D);
  Context* c = Gl();
  if (c == nullptr || target != GL_TEXTURE_2D) return;
  softgl::Texture& t = c->BoundTexture();
  const GLenum value = static_cast<GLenum>(param);
  // Nothing here makes mipmaps: a filter is linear or nearest.
  if (pname == GL_TEXTURE_WRAP_S || pname == GL_TEXTURE_WRAP_T) assert(IsWrap(param));
  if (pname == GL_TEXTURE_MAG_FILTER || pname == GL_TEXTURE_MIN_FILTER) assert(IsFilter(param));
  if (pname == GL_TEXTURE_WRAP_S) t.wrapS = value;
  if (pname == GL_TEXTURE_WRAP_T) t.wrapT = value;
  if (pname == GL_TEXTURE_MAG_FILTER) t.magFilter = value;
  if (pname == GL_TEXTURE_MIN_FILTER) t.minFilter = value;
}

// GL_REPLACE is the only texture environment drawn with.
void glTexEnvf(GLenum, GLenum pname, GLfloat param) {
  assert(pname != GL_TEXTURE_ENV_MODE || param == static_cast<GLfloat>(GL_REPLACE));
  (void)pname;
  (void)param;
}

void glPixelStorei(GLenum pname, GLint param) {
  assert(pname == GL_UNPACK_ALIGNMENT || pname == GL_PACK_ALIGNMENT);
  Context* c = Gl();
  if (c == nullptr || (param != 1 && param != 2 && param != 4 && param != 8)) return;
  if (pname == GL_UNPACK_ALIGNMENT) c->unpackAlignment = param;
  if (pname == GL_PACK_ALIGNMENT) c->packAlignment = param;
}

void glTexImage2D(GLenum target, GLint level, GLint, GLsizei width, GLsizei height, GLint border,
                  GLenum format, GLenum type, const GLvoid* pixels) {
  assert(target == GL_TEXTURE_2D && level == 0 && border == 0 && format == GL_RGB &&
         type == GL_UNSIGNED_BYTE);
  Context* c = Gl();
  if (c == nullptr || target != GL_TEXTURE_2D || level != 0 || border != 0 || format != GL_RGB ||
      type != GL_UNSIGNED_BYTE || width < 0 || height < 0)
    return;
  softgl::StoreTexture(*c, width, height, static_cast<const uint8_t*>(pixels));
}

void glReadBuffer(GLenum mode) {
  if (Context* c = Gl()) c->readBuffer = mode;
}

void glReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,
                  GLvoid* pixels) {
  assert(type == GL_UNSIGNED_BYTE && (format == GL_RGB || format == GL_RED));
  Context* c = Gl();
  if (c == nullptr || type != GL_UNSIGNED_BYTE || (format != GL_RGB && format != GL_RED)) return;
  softgl::ReadPixels(*c, x, y, width, height, format == GL_RGB ? 3 : 1,
                     static_cast<uint8_t*>(pixels));
}

void glFlush() {}
void glFinish() {}

}  // extern "C"
