#include "render/colour_scale.h"

#include <cmath>

namespace {

float ClampUnit(float v) {
  if (v < 0.0f) return 0.0f;
  if (v > 1.0f) return 1.0f;
  return v;
}

// The byte of a channel in [0, 1], truncated as the non-grey scales require.
uint8_t TruncatedByte(float channel) {
  return static_cast<uint8_t>(static_cast<int>(static_cast<double>(channel) * 255.0));
}

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

  const int i = static_cast<int>(std::floor(h));
  const float f = h - static_cast<float>(i);
  const float p = v * (1.0f - s);
  const float q = v * (1.0f - s * f);
  const float t = v * (1.0f - s * (1.0f - f));
  float r, g, b;
  switch (i) {
    case 0: r = v; g = t; b = p; break;
    case 1: r = q; g = v; b = p; break;
    case 2: r = p; g = v; b = t; break;
    case 3: r = p; g = q; b = v; break;
    case 4: r = t; g = p; b = v; break;
    default: r = v; g = p; b = q; break;
  }
  rgb[0] = r;
  rgb[1] = g;
  rgb[2] = b;
}

void NoiseColourBytes(float s, int colourScale, uint8_t out[3]) {
  float rgb[3];
  switch (colourScale) {
    case kRainbow: {
      const float hsv[3] = {240.0f - 240.0f * s, 1.0f, 1.0f};
      HsvToRgb(hsv, rgb);
      break;
    }
    case kClouds:
      rgb[0] = s;
      rgb[1] = s;
      rgb[2] = 1.0f;
      break;
    case kFire:
      rgb[0] = 1.0f;
      rgb[1] = s;
      rgb[2] = 0.0f;
      break;
    default: {
      int g = static_cast<int>(static_cast<double>(s) * 255.0 + 0.5);
      if (g < 0) g = 0;
      if (g > 255) g = 255;
      out[0] = out[1] = out[2] = static_cast<uint8_t>(g);
      return;
    }
  }
  out[0] = TruncatedByte(rgb[0]);
  out[1] = TruncatedByte(rgb[1]);
  out[2] = TruncatedByte(rgb[2]);
}

void HeightColour(float sum, float rgb[3]) {
  float hue = 240.0f - (sum + 1.0f) * 120.0f;
  if (hue > 240.0f) hue = 240.0f;
  if (hue < 0.0f) hue = 0.0f;
  const float hsv[3] = {hue, 1.0f, 1.0f};
  HsvToRgb(hsv, rgb);
}
