#include <cmath>
#include <cstdint>
#include <vector>

#include "app/app_state.h"
#include "render/colour_scale.h"
#include "gtest/gtest.h"

namespace {

struct Rgb {
  float r, g, b;
  bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

std::ostream& operator<<(std::ostream& os, const Rgb& c) {
  return os << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

Rgb Hsv(float h, float s, float v) {
  const float hsv[3] = {h, s, v};
  float rgb[3] = {-1, -1, -1};
  HsvToRgb(hsv, rgb);
  return {rgb[0], rgb[1], rgb[2]};
}

struct Bytes {
  int r, g, b;
  bool operator==(const Bytes& o) const { return r == o.r && g == o.g && b == o.b; }
};

std::ostream& operator<<(std::ostream& os, const Bytes& c) {
  return os << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

Bytes Scale(float s, int scale) {
  uint8_t out[3] = {1, 2, 3};
  NoiseColourBytes(s, scale, out);
  return {out[0], out[1], out[2]};
}

}  // namespace

TEST(HsvToRgb, PrimaryAndSecondaryHues) {
  EXPECT_EQ(Hsv(0, 1, 1), (Rgb{1, 0, 0}));
  EXPECT_EQ(Hsv(60, 1, 1), (Rgb{1, 1, 0}));
  EXPECT_EQ(Hsv(120, 1, 1), (Rgb{0, 1, 0}));
  EXPECT_EQ(Hsv(180, 1, 1), (Rgb{0, 1, 1}));
  EXPECT_EQ(Hsv(240, 1, 1), (Rgb{0, 0, 1}));
  EXPECT_EQ(Hsv(300, 1, 1), (Rgb{1, 0, 1}));
  // Between the primaries the channels blend: hue 30 is orange.
  EXPECT_EQ(Hsv(30, 1, 1), (Rgb{1, 0.5f, 0}));
}

TEST(HsvToRgb, HueWrapsEvery360Degrees) {
  EXPECT_EQ(Hsv(360, 1, 1), Hsv(0, 1, 1));
  EXPECT_EQ(Hsv(720, 1, 1), Hsv(0, 1, 1));
  EXPECT_EQ(Hsv(-360, 1, 1), Hsv(0, 1, 1));
  EXPECT_EQ(Hsv(-60, 1, 1), Hsv(300, 1, 1));
  EXPECT_EQ(Hsv(420, 0.5f, 0.8f), Hsv(60, 0.5f, 0.8f));
  // A hue a hair below zero wraps to exactly 6.0 sectors: the start of the wheel.
  EXPECT_EQ(Hsv(-1e-6f, 1, 1), Hsv(0, 1, 1));
  // Hues far off the wheel still give a colour and return.
  const Rgb far = Hsv(1e30f, 1, 1);
  EXPECT_GE(far.r, 0.0f);
  EXPECT_LE(far.r, 1.0f);
}

TEST(HsvToRgb, SaturationAndValueAreClamped) {
  for (float h : {0.0f, 77.0f, 200.0f, 359.0f}) {
    EXPECT_EQ(Hsv(h, 0, 0.4f), (Rgb{0.4f, 0.4f, 0.4f}));
    EXPECT_EQ(Hsv(h, -0.5f, 0.4f), (Rgb{0.4f, 0.4f, 0.4f}));
    EXPECT_EQ(Hsv(h, 2, 0.7f), Hsv(h, 1, 0.7f));
    EXPECT_EQ(Hsv(h, 0.6f, 0), (Rgb{0, 0, 0}));
    EXPECT_EQ(Hsv(h, 0.6f, 3), Hsv(h, 0.6f, 1));
  }
}

TEST(ColourScales, BytesAtTheEndsAndTheMiddle) {
  EXPECT_EQ(Scale(0.0f, kGreyscale), (Bytes{0, 0, 0}));
  EXPECT_EQ(Scale(0.5f, kGreyscale), (Bytes{128, 128, 128}));
  EXPECT_EQ(Scale(1.0f, kGreyscale), (Bytes{255, 255, 255}));

  EXPECT_EQ(Scale(0.0f, kRainbow), (Bytes{0, 0, 255}));
  EXPECT_EQ(Scale(0.5f, kRainbow), (Bytes{0, 255, 0}));
  EXPECT_EQ(Scale(1.0f, kRainbow), (Bytes{255, 0, 0}));
  EXPECT_EQ(Scale(0.75f, kRainbow), (Bytes{255, 255, 0}));  // hue 60

  EXPECT_EQ(Scale(0.0f, kClouds), (Bytes{0, 0, 255}));
  EXPECT_EQ(Scale(0.5f, kClouds), (Bytes{127, 127, 255}));
  EXPECT_EQ(Scale(1.0f, kClouds), (Bytes{255, 255, 255}));

  EXPECT_EQ(Scale(0.0f, kFire), (Bytes{255, 0, 0}));
  EXPECT_EQ(Scale(0.5f, kFire), (Bytes{255, 127, 0}));
  EXPECT_EQ(Scale(1.0f, kFire), (Bytes{255, 255, 0}));
}

// The rainbow is HsvToRgb at hue 240 - 240 s, full saturation and value,
// each channel times 255 truncated. Every float in [0, 1] a few ulps either
// side of each sector's edge (s = 0, 1/4, 1/2, 3/4, 1), and a sweep between.
TEST(ColourScales, RainbowIsTheHueWheelTruncated) {
  auto expected = [](float s) {
    const Rgb c = Hsv(240.0f - 240.0f * s, 1.0f, 1.0f);
    auto byte = [](float x) { return static_cast<int>(static_cast<double>(x) * 255.0); };
    return Bytes{byte(c.r), byte(c.g), byte(c.b)};
  };
  std::vector<float> values;
  for (int n = 0; n <= 1 << 16; n++) values.push_back(static_cast<float>(n) / 65536.0f);
  for (float edge : {0.0f, 0.25f, 0.5f, 0.75f, 1.0f}) {
    float below = edge, above = edge;
    for (int k = 0; k < 64; k++) {
      values.push_back(below = std::nextafter(below, 0.0f));
      values.push_back(above = std::nextafter(above, 1.0f));
    }
  }
  for (float s : values) ASSERT_EQ(Scale(s, kRainbow), expected(s)) << "s = " << s;
}

TEST(ColourScales, GreyRoundsToNearestOthersTruncate) {
  // 0.499 * 255 = 127.245 and 0.502 * 255 = 128.01.
  EXPECT_EQ(Scale(0.499f, kGreyscale).r, 127);
  EXPECT_EQ(Scale(0.502f, kGreyscale).r, 128);
  EXPECT_EQ(Scale(0.998f, kGreyscale).r, 254);  // 254.49
  EXPECT_EQ(Scale(0.999f, kGreyscale).r, 255);  // 254.745
  EXPECT_EQ(Scale(0.999f, kClouds).r, 254);
  EXPECT_EQ(Scale(0.999f, kFire).g, 254);
  // The grey scale limits a value that is out of range.
  EXPECT_EQ(Scale(1.5f, kGreyscale).r, 255);
  EXPECT_EQ(Scale(-0.5f, kGreyscale).r, 0);
}
