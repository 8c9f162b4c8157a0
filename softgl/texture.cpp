#include "softgl/texture.h"

#include <cstring>

namespace softgl {

void StoreTexture(Context& c, GLsizei width, GLsizei height, const uint8_t* pixels) {
  Texture& t = c.BoundTexture();
  t.width = width;
  t.height = height;
  const size_t row = static_cast<size_t>(width) * 3;
  const size_t align = static_cast<size_t>(c.unpackAlignment);
  const size_t stride = (row + align - 1) / align * align;
  t.rgb.assign(row * static_cast<size_t>(height), 0);
  if (pixels == nullptr) return;
  for (GLsizei j = 0; j < height; ++j) {
    std::memcpy(&t.rgb[row * static_cast<size_t>(j)], pixels + stride * static_cast<size_t>(j), row);
  }
}

}  // namespace softgl
