// The texturing stage: the bound texture, stored from glTexImage2D, and
// sampled as GL_REPLACE draws it. The sampling is inline: the rasteriser
// calls it for every pixel of the texture window.
#pragma once

#include <GL/gl.h>

#include <cmath>
#include <cstddef>
#include <cstdint>

#include "softgl/context.h"
#include "softgl/llvmpipe.h"

namespace softgl {

// glTexImage2D of level 0, GL_RGB bytes, rows `unpackAlignment` aligned,
// into the bound texture (black texels for no pixels).
void StoreTexture(Context& c, GLsizei width, GLsizei height, const uint8_t* pixels);

// Where a texture coordinate falls along one axis of a texture: the two
// texels a linear filter blends (wrapped) and the weight of the second in
// 1/256.
struct Tap {
  int first, second, weight;
};

inline Tap TapOf(const Texture& tex, float coordinate, bool alongS) {
  const int n = alongS ? tex.width : tex.height;
  const GLenum mode = alongS ? tex.wrapS : tex.wrapT;
  // GL_REPEAT, or else the edge texel repeated outwards (the texture
  // window repeats; the clamped modes are here for completeness).
  auto wrap = [n, mode](int i) {
    if (mode != GL_REPEAT) return i < 0 ? 0 : (i >= n ? n - 1 : i);
    i %= n;
    return i < 0 ? i + n : i;
  };
  // One filter whether the window stretches or squeezes the texture: ours
  // sets GL_LINEAR for both, and nothing here makes mipmaps.
  if (tex.magFilter == GL_NEAREST) {
    const int i = wrap(static_cast<int>(std::floor(coordinate * static_cast<float>(n))));
    return {i, i, 0};
  }
  const int u = llvmpipe::FilterPosition(coordinate, n);
  return {wrap(u >> 8), wrap((u >> 8) + 1), u & 0xff};
}

// Texel (i, j), RGB; only for a texture with texels.
inline const uint8_t* TexelAt(const Texture& tex, int i, int j) {
  return tex.rgb.data() +
         (static_cast<size_t>(j) * static_cast<size_t>(tex.width) + static_cast<size_t>(i)) * 3;
}

// The filtered colour at taps s and t; white for a texture without texels.
inline void Blend(const Texture& tex, const Tap& s, const Tap& t, uint8_t out[3]) {
  if (tex.width == 0 || tex.height == 0) {
    out[0] = out[1] = out[2] = 255;
    return;
  }
  const size_t row = static_cast<size_t>(tex.width) * 3;
  const uint8_t* bottom = tex.rgb.data() + static_cast<size_t>(t.first) * row;
  const uint8_t* top = tex.rgb.data() + static_cast<size_t>(t.second) * row;
  const size_t i0 = static_cast<size_t>(s.first) * 3, i1 = static_cast<size_t>(s.second) * 3;
  for (int c = 0; c < 3; ++c) {
    const int low = llvmpipe::FilterBlend(bottom[i0 + c], bottom[i1 + c], s.weight);
    const int high = llvmpipe::FilterBlend(top[i0 + c], top[i1 + c], s.weight);
    out[c] = static_cast<uint8_t>(llvmpipe::FilterBlend(low, high, t.weight));
  }
}

}  // namespace softgl
