// The rasterisation stage: which pixels a triangle, a point or a line
// covers, and their colour (flat, or the bound texture's for a textured
// triangle), into the back buffer.
#pragma once

#include <cstdint>

#include "softgl/context.h"

namespace softgl {

// Flat is the colour of an untextured triangle (its provoking vertex's).
void Triangle(Context& c, const Vertex& a, const Vertex& b, const Vertex& d, const uint8_t flat[3]);
// A square of glPointSize's side; nothing for a point outside the clip volume.
void Point(Context& c, const Vertex& v);
// One pixel wide, in b's colour.
void Line(Context& c, const Vertex& a, const Vertex& b);

}  // namespace softgl
