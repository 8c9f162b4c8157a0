// The setup stage: the matrices, each vertex from object coordinates to
// the framebuffer's 1/256 grid, and glEnd's vertices assembled into the
// rasteriser's triangles, points and lines.
#pragma once

#include <GL/gl.h>

#include <vector>

#include "softgl/context.h"

namespace softgl {

// a * b, each element summed in index order, as Mesa multiplies its matrices.
Matrix Multiply(const Matrix& a, const Matrix& b);

// The stack glMatrixMode chose.
std::vector<Matrix>& CurrentStack(Context& c);

// The viewport in force: glViewport's, or else the whole window.
void ViewportOf(const Context& c, GLint out[4]);

// The vertex (x, y, 0, 1) through the product taken at glBegin and the
// viewport, with the current colour and texture coordinates.
Vertex Transform(const Context& c, float x, float y);

// glEnd: the vertices since glBegin drawn as its primitive.
void Flush(Context& c);

}  // namespace softgl
