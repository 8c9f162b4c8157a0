#include "render/colour_scale.h"

#include <cmath>

namespace {

#include "render/colour_math.h"

float ClampUnit(float v) {
  if (v < 0.0f) return 0.0f;
  if (v > 1.0f) return 1.0f;
  return v;
}

// One texel at a time (colour_math.h).
struct ScalarColourOps {
  using F = float;
  using I = int;
  static float Splat(float x) { return x; }
  static int ToInt(float x) { return static_cast<int>(x); }
  static float ToFloat(int i) { return static_cast<float>(i); }
  template <class T>
  static T Pick(int i, T a0, T a1, T a2, T a3, T a4, T a5) {
    return i == 0 ? a0 : i == 1 ? a1 : i == 2 ? a2 : i == 3 ? a3 : i == 4 ? a4 : a5;
  }
  static int TruncatedByte(float channel) {
    return static_cast<int>(static_cast<double>(channel) * 255.0);
  }
  static int RoundedGrey(float s) {
    int g = static_cast<int>(static_cast<double>(s) * 255.0 + 0.5);
    if (g < 0) g = 0;
    if (g > 255) g = 255;
    return g;
  }
};

}  // namespace

void HsvToRgb(const float hsv[3], float rgb[3]) {
  float h = hsv[0] / 60.0f;
  // Subtracting 6 stalls once the spacing of floats exceeds it; such hues
  // (and non-finite ones) are brought near the wheel first so the loops end.
  if (!std::isfinite(h)) h = 0.0f;
  if (std::fabs(h) > 1.0e6f) h = std::fmod(h, 6.0f);
  while (h >= 6.0f) h -= 6.0f;
  while (h < 0.0f) h += 6.0f;
  // A hue a hair below a multiple of 360, wrapped up from below zero, can
  // round to exactly 6.0; that is the start of the wheel again.
  if (h >= 6.0f) h = 0.0f;
  const float s = ClampUnit(hsv[1]);
  const float v = ClampUnit(hsv[2]);

  if (s == 0.0f) {
    rgb[0] = rgb[1] = rgb[2] = v;
    return;
  }

  HsvSectorToRgb<ScalarColourOps>(h, s, v, rgb[0], rgb[1], rgb[2]);
}

void NoiseColourBytes(float s, int colourScale, uint8_t out[3]) {
  int r, g, b;
  ScaleBytes<ScalarColourOps>(colourScale, ClampUnit(s), r, g, b);
  out[0] = static_cast<uint8_t>(r);
  out[1] = static_cast<uint8_t>(g);
  out[2] = static_cast<uint8_t>(b);
}

void HeightColour(float sum, float rgb[3]) {
  float hue = 240.0f - (sum + 1.0f) * 120.0f;
  if (hue > 240.0f) hue = 240.0f;
  if (hue < 0.0f) hue = 0.0f;
  const float hsv[3] = {hue, 1.0f, 1.0f};
  HsvToRgb(hsv, rgb);
}
