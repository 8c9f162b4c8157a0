#include "softgl/framebuffer.h"

#include <algorithm>
#include <cstring>

#include "softgl/llvmpipe.h"

namespace softgl {

void SetSize(Context& c, int width, int height) {
  c.width = width < 0 ? 0 : width;
  c.height = height < 0 ? 0 : height;
  const size_t bytes = static_cast<size_t>(c.width) * static_cast<size_t>(c.height) * 4;
  c.backOwed = false;
  for (auto* buffer : {&c.front, &c.back}) {
    buffer->assign(bytes, 0);
    for (size_t i = 3; i < bytes; i += 4) (*buffer)[i] = 255;
  }
}

void ClearBack(Context& c) {
  uint8_t rgb[3];
  for (int i = 0; i < 3; ++i) rgb[i] = llvmpipe::ClearByte(c.clearColour[i]);
  // Every byte is written below: whatever the back buffer was owed is gone.
  c.backOwed = false;
  // One pixel written, then copied over the buffer in doubling runs.
  const size_t size = c.back.size();
  if (size == 0) return;
  uint8_t* p = c.back.data();
  p[0] = rgb[0];
  p[1] = rgb[1];
  p[2] = rgb[2];
  p[3] = 255;
  for (size_t done = 4; done < size; done *= 2) std::memcpy(p + done, p, std::min(done, size - done));
}

void Swap(Context& c) {
  // The back buffer's contents after a swap are undefined in GL; here they
  // stay what was drawn, which is what llvmpipe's window shows. Both
  // buffers have the same size, so exchanging them and owing the back
  // buffer the front's pixels shows the same, and a window that clears
  // before it draws (each of ours) never pays for the copy. A back buffer
  // still owed holds the front's pixels: swapping it shows the same.
  if (c.backOwed) return;
  c.front.swap(c.back);
  c.backOwed = true;
}

void ReadPixels(Context& c, GLint x, GLint y, GLsizei width, GLsizei height, int channels,
                uint8_t* out) {
  const size_t row = static_cast<size_t>(width) * static_cast<size_t>(channels);
  const size_t align = static_cast<size_t>(c.packAlignment);
  const size_t stride = (row + align - 1) / align * align;
  const bool front = c.readBuffer == GL_FRONT || c.readBuffer == GL_FRONT_LEFT;
  if (!front) OwnBack(c);
  const std::vector<uint8_t>& buffer = front ? c.front : c.back;
  for (GLsizei j = 0; j < height; ++j) {
    // GL counts rows from the bottom; the buffers keep the top row first.
    const int gy = y + j;
    for (GLsizei i = 0; i < width; ++i) {
      const int gx = x + i;
      uint8_t* dst = out + stride * static_cast<size_t>(j) +
                     static_cast<size_t>(i) * static_cast<size_t>(channels);
      if (gx < 0 || gy < 0 || gx >= c.width || gy >= c.height) continue;
      const uint8_t* src = &buffer[(static_cast<size_t>(c.height - 1 - gy) *
                                        static_cast<size_t>(c.width) +
                                    static_cast<size_t>(gx)) * 4];
      std::memcpy(dst, src, static_cast<size_t>(channels));
    }
  }
}

}  // namespace softgl
