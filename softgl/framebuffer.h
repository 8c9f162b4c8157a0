// The framebuffer stage: a window's front and back RGBA buffers, top row
// first (a canvas's order), and what reads and writes them whole.
#pragma once

#include <GL/gl.h>

#include <cstddef>
#include <cstdint>

#include "softgl/context.h"

namespace softgl {

// Both buffers black (A=255) at the new size; a negative side is 0.
void SetSize(Context& c, int width, int height);

// glClear of the colour buffer: the back buffer in the clear colour.
void ClearBack(Context& c);

// The back buffer becomes the shown (front) one.
void Swap(Context& c);

// The back buffer with the pixels GL leaves in it: what was drawn since the
// last swap, which after a swap is what the front shows. Every stage that
// reads or draws into the back buffer calls this first.
inline void OwnBack(Context& c) {
  if (!c.backOwed) return;
  c.back = c.front;
  c.backOwed = false;
}

// glReadPixels of GL_RGB or GL_RED bytes, rows from the bottom, from the
// buffer glReadBuffer chose; pixels outside the window are left as they
// were.
void ReadPixels(Context& c, GLint x, GLint y, GLsizei width, GLsizei height, int channels,
                uint8_t* out);

// One pixel of the back buffer, (x, y) from the top left; outside the
// window, nothing. The caller has called OwnBack.
inline void Put(Context& c, int x, int y, const uint8_t rgb[3]) {
  if (x < 0 || y < 0 || x >= c.width || y >= c.height) return;
  uint8_t* p = &c.back[(static_cast<size_t>(y) * static_cast<size_t>(c.width) +
                        static_cast<size_t>(x)) * 4];
  p[0] = rgb[0];
  p[1] = rgb[1];
  p[2] = rgb[2];
}

}  // namespace softgl
