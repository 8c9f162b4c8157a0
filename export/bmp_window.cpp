// The one part of the exports that knows the window system: reading the
// texture window back into a pixel buffer for the BMP core.
#include <GL/glut.h>
#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdint>
#include <cstdio>
#include <new>

#include "app/app_state.h"
#include "export/bmp_writer.h"
#include "render/texture_window.h"

namespace {

bool XReadFailed = false;

int NoteXError(Display*, XErrorEvent*) {
  XReadFailed = true;
  return 0;
}

// Where a channel sits in an X pixel, and how to bring it to 0..255.
struct ChannelMask {
  unsigned long mask;
  int shift;
  unsigned long maximum;
};

ChannelMask MaskOf(unsigned long mask) {
  ChannelMask c{mask, 0, 0};
  while (mask != 0 && (mask & 1) == 0) {
    mask >>= 1;
    c.shift++;
  }
  c.maximum = mask;
  return c;
}

uint8_t ChannelByte(unsigned long pixel, const ChannelMask& c) {
  const unsigned long v = (pixel & c.mask) >> c.shift;
  return static_cast<uint8_t>(c.maximum == 255 ? v : v * 255 / c.maximum);
}

// The window's front buffer as the X server holds it: what the window shows.
// This is how Mesa's software renderers read a front buffer themselves, and
// the only way that works on all of them (llvmpipe answers a GL front-buffer
// read of a double-buffered window with zeros). False, with nothing read, if
// the server cannot give the whole window (not viewable, partly off the
// screen) or uses no true-colour pixels.
bool ReadWindowFromServer(int width, int height, uint8_t* rgb) {
  Display* display = glXGetCurrentDisplay();
  const GLXDrawable drawable = glXGetCurrentDrawable();
  if (display == nullptr || drawable == 0) return false;

  // A refused read arrives as an X error, which by default ends the process.
  XSync(display, False);
  XReadFailed = false;
  XErrorHandler previous = XSetErrorHandler(NoteXError);
  XImage* image = XGetImage(display, drawable, 0, 0, static_cast<unsigned>(width),
                            static_cast<unsigned>(height), AllPlanes, ZPixmap);
  XSync(display, False);
  XSetErrorHandler(previous);
  if (image == nullptr) return false;
  if (XReadFailed || image->red_mask == 0 || image->green_mask == 0 || image->blue_mask == 0) {
    XDestroyImage(image);
    return false;
  }

  const ChannelMask red = MaskOf(image->red_mask);
  const ChannelMask green = MaskOf(image->green_mask);
  const ChannelMask blue = MaskOf(image->blue_mask);
  // X counts rows from the top; the buffer holds the bottom row first, as a
  // GL read-back would.
  for (int y = 0; y < height; y++) {
    uint8_t* out = rgb + static_cast<size_t>(height - 1 - y) * 3 * static_cast<size_t>(width);
    for (int x = 0; x < width; x++, out += 3) {
      const unsigned long pixel = XGetPixel(image, x, y);
      out[0] = ChannelByte(pixel, red);
      out[1] = ChannelByte(pixel, green);
      out[2] = ChannelByte(pixel, blue);
    }
  }
  XDestroyImage(image);
  return true;
}

}  // namespace

void WriteBmp() {
  glutSetWindow(App.textureWindow);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);  // rows back to back, no gaps
  glReadBuffer(GL_FRONT);               // what the window shows now
  const int width = glutGet(GLUT_WINDOW_WIDTH);
  const int height = glutGet(GLUT_WINDOW_HEIGHT);
  if (!CheckBmpWindowSize(width, height, stderr)) return;

  // Sizes were checked to fit 32 bits, so this product cannot wrap.
  const size_t size = static_cast<size_t>(width) * 3 * static_cast<size_t>(height);
  uint8_t* pixels = new (std::nothrow) uint8_t[size];
  if (pixels == nullptr) {
    fprintf(stderr, "WriteBmp() cannot allocate the temporary array!\n");
    return;
  }
  if (!ReadWindowFromServer(width, height, pixels)) {
    // The server cannot give the window (part of it lies off the screen, say)
    // and a software renderer may not keep a front buffer to read. Draw the
    // same picture once more into the back buffer and read that: the same
    // image at the same size, never shown.
    DrawTexture();
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels);
    glReadBuffer(GL_FRONT);
  }

  SaveBmp(BmpFileName(App.octaveIndex, App.turbulence, App.colorScale), pixels, width, height,
          stderr);
  delete[] pixels;
}
