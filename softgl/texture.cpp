#include "softgl/texture.h"

#include <algorithm>
#include <cstring>

namespace softgl {

void StoreTexture(Context& c, GLsizei width, GLsizei height, const uint8_t* pixels) {
  Texture& t = c.BoundTexture();
  t.width = width;
  t.height = height;
  const size_t row = static_cast<size_t>(width) * 3;
  const size_t align = static_cast<size_t>(c.unpackAlignment);
  const size_t stride = (row + align - 1) / align * align;
  // Every byte is written below: the texture window uploads its image on
  // each draw, and zeroing the bytes it then overwrites cost a pass over
  // them each time.
  t.rgb.resize(row * static_cast<size_t>(height));
  if (pixels == nullptr) {
    std::fill(t.rgb.begin(), t.rgb.end(), 0);
    return;
  }
  for (GLsizei j = 0; j < height; ++j) {
    std::memcpy(&t.rgb[row * static_cast<size_t>(j)], pixels + stride * static_cast<size_t>(j), row);
  }
}

}  // namespace softgl
