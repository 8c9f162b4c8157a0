#include "frontends/desktop/window_readback.h"

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdint>

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

}  // namespace

bool ReadShownWindow(int width, int height, uint8_t* rgb) {
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

