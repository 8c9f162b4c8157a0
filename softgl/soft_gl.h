// A software GL of the few GL 1.x calls our drawing code makes, for the
// browser build: each window draws into RGBA buffers of its own, which the
// page shows on a 2D canvas. It rasterises as Mesa's llvmpipe does on the
// desktop (fixed-point vertices, its fill rule, its wide points, its lines and
// its linear filtering), so both builds show the same pixels.
//
// The gl*/glu* entry points are defined here with <GL/gl.h>'s signatures and
// act on the current context; never link this library beside libGL.
#pragma once

#include <cstdint>

namespace softgl {

class Context;  // one window's GL: front and back RGBA buffers and all state

Context* CreateContext(int width, int height);  // both buffers black; default GL state
void DestroyContext(Context* context);
// Null: none; gl* calls without a current context do nothing.
void MakeCurrent(Context* context);
Context* Current();
// A new size; both buffers become black at the new size.
void Resize(Context* context, int width, int height);
int Width(const Context* context);
int Height(const Context* context);
// The back buffer becomes the shown (front) one.
void SwapBuffers(Context* context);
// Off, the rasteriser takes its per-pixel formulas everywhere (the tests
// compare its shortcuts with them); on by default.
void UseFastPaths(Context* context, bool on);
// What the window shows: width*height*4 bytes RGBA (A=255), top row first
// (a canvas's order).
const uint8_t* ShownPixels(const Context* context);

}  // namespace softgl
