// Reading back what a window shows, for the snapshot.
#pragma once

#include <cstdint>

// The current GLX drawable's front buffer as the X server holds it: what the
// window shows, as tightly packed RGB rows, the bottom row first (as a GL
// read-back delivers them). This is how Mesa's software renderers read a
// front buffer themselves, and the only way that works on all of them
// (llvmpipe answers a GL front-buffer read of a double-buffered window with
// zeros). False, with nothing read, if the server cannot give the whole
// window (not viewable, partly off the screen) or uses no true-colour pixels.
bool ReadShownWindow(int width, int height, uint8_t* rgb);
