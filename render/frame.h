// How both windows start a frame.
#pragma once

#include <GL/gl.h>

// A cleared back buffer (a double-buffered window draws there from the
// start; nothing of ours ever points drawing elsewhere), no depth test, flat shading, the viewport over the
// whole window, and the projection matrix current and reset to identity for
// the caller's own projection.
inline void BeginFrame(int width, int height) {
  glClear(GL_COLOR_BUFFER_BIT);
  glDisable(GL_DEPTH_TEST);
  glShadeModel(GL_FLAT);
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
}
