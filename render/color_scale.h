// The texture's colour scales and the hue, saturation, value conversion.
#pragma once

#include <cstdint>

// hsv: hue in degrees (wraps every 360), saturation and value (each clamped
// to [0, 1]). rgb: red, green, blue in [0, 1]. Single precision throughout.
void HsvToRgb(const float hsv[3], float rgb[3]);

// The three bytes of noise value s (in [0, 1]) under a colour-scale setting.
// Grayscale rounds to the nearest level; the other scales truncate, so
// s = 0.5 is grey 128 but channel value 127 elsewhere.
void NoiseColorBytes(float s, int colorScale, uint8_t out[3]);
