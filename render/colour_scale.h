// The colour scales: the texture's four, the solid's rainbow by height, and
// the hue, saturation, value conversion they share.
#pragma once

#include <cstdint>

// The "2D Noise Texture" setting: the 0-based position of the chosen button.
enum ColourScale { kGreyscale = 0, kRainbow = 1, kClouds = 2, kFire = 3 };

// hsv: hue in degrees (wraps every 360), saturation and value (each clamped
// to [0, 1]). rgb: red, green, blue in [0, 1]. Single precision throughout.
void HsvToRgb(const float hsv[3], float rgb[3]);

// The three bytes of noise value s under a colour-scale setting, s limited to
// [0, 1] first. Grayscale rounds to the nearest level; the other scales
// truncate, so s = 0.5 is grey 128 but channel value 127 elsewhere. The fast
// fill computes the same bytes from the same code (colour_math.h).
void NoiseColourBytes(float s, int colourScale, uint8_t out[3]);

// The STL solid's colour for a height-field sum: a rainbow from blue at -1
// through green at 0 to red at +1, and no further beyond those.
void HeightColour(float sum, float rgb[3]);
