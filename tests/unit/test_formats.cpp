#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "export/png_writer.h"
#include "export/stl_binary.h"
#include "export_helpers.h"

TEST(StlBinary, FacetColoursFollowTheColourConvention) {
  const float red[3] = {1.0f, 0.0f, 0.0f}, green[3] = {0.0f, 1.0f, 0.0f};
  const float blue[3] = {0.0f, 0.0f, 1.0f}, mixed[3] = {0.5f, 0.25f, 0.999f};
  const float outside[3] = {-0.5f, 1.5f, NAN};
  EXPECT_EQ(StlFacetColour(red), 31);        // red in bits 0-4
  EXPECT_EQ(StlFacetColour(green), 31 << 5);  // green in bits 5-9
  EXPECT_EQ(StlFacetColour(blue), 31 << 10);  // blue in bits 10-14
  // round(c * 31): 15.5 -> 16, 7.75 -> 8, 30.97 -> 31; bit 15 stays clear.
  EXPECT_EQ(StlFacetColour(mixed), 16 | 8 << 5 | 31 << 10);
  EXPECT_EQ(StlFacetColour(outside), 31 << 5);
  // The default grey, 128 of 255 in each channel, as the facets' own colour.
  const float grey[3] = {128 / 255.0f, 128 / 255.0f, 128 / 255.0f};
  EXPECT_EQ(StlFacetColour(grey), kStlWallColour);
}

// A level grid: every facet's stored normal must point out of the solid,
// up on the top, down under the base, away from the middle on the walls.
TEST(StlBinary, NormalsPointOutOfTheSolidAndTheFileHasItsSize) {
  static float height[kStlGridSize][kStlGridSize];
  static StlColours colours;
  static StlGrid grid;
  for (auto& row : height)
    for (float& z : row) z = 0.5f;
  LoadStlGrid(height, &grid);
  StringSink sink;
  int facets = 0;
  ASSERT_TRUE(WriteStlBinary(sink, grid, colours, &facets));
  EXPECT_EQ(facets, kStlFacetCount);
  ASSERT_EQ(sink.text.size(), kStlBinarySize);

  int up = 0, down = 0, out = 0;
  for (int n = 0; n < kStlFacetCount; n++) {
    float f[12];
    std::memcpy(f, sink.text.data() + 84 + 50 * n, sizeof f);
    const float cx = (f[3] + f[6] + f[9]) / 3, cy = (f[4] + f[7] + f[10]) / 3;
    ASSERT_NEAR(f[0] * f[0] + f[1] * f[1] + f[2] * f[2], 1.0f, 1e-5f) << n;
    if (f[2] > 0.99f) {
      up++;
    } else if (f[2] < -0.99f) {
      down++;
    } else {
      // Outward: the normal points away from the square's centre (2, 2).
      EXPECT_GT(f[0] * (cx - 2.0f) + f[1] * (cy - 2.0f), 0.0f) << n;
      out++;
    }
  }
  EXPECT_EQ(up, kStlTopFacets);
  EXPECT_EQ(out, 8 * kStlCells);
  EXPECT_EQ(down, 4 * kStlCells);
}

TEST(Png, AFailedWriteIsReportedAtEveryPointAndNeverCrashes) {
  std::vector<uint8_t> rgb(7 * 5 * 3, 200);
  std::vector<uint16_t> grey(7 * 5, 40000);
  PngImage snapshot{7, 5, rgb.data(), nullptr};
  PngImage heightmap{7, 5, nullptr, grey.data()};
  const std::vector<PngText> texts = {{"Software", "noisedemo"}, {"Comment", "a test"}};

  StringSink whole;
  ASSERT_TRUE(WritePngImage(whole, snapshot, texts));
  EXPECT_EQ(whole.text.substr(1, 3), "PNG");
  EXPECT_NE(whole.text.find("tEXtComment"), std::string::npos);
  StringSink deep;
  ASSERT_TRUE(WritePngImage(deep, heightmap, texts));
  EXPECT_EQ(deep.text[24], 16);  // IHDR bit depth
  EXPECT_EQ(deep.text[25], 0);   // greyscale

  for (size_t limit : {size_t{0}, size_t{8}, size_t{40}, whole.text.size() - 1}) {
    StringSink inner;
    FailAfterSink failing(inner, limit);
    EXPECT_FALSE(WritePngImage(failing, snapshot, texts)) << limit;
  }
  StringSink unused;
  EXPECT_FALSE(WritePngImage(unused, PngImage{0, 5, rgb.data(), nullptr}, texts));
  EXPECT_FALSE(WritePngImage(unused, PngImage{7, 5, nullptr, nullptr}, texts));
  EXPECT_TRUE(unused.text.empty());
}
