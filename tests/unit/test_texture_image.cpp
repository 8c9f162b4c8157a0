#include <cstring>
#include <iterator>

#include "app/choices.h"

#include "render/texture_fill_fast.h"
#include "render/colour_scale.h"
#include "noise_fixture.h"
#include "render/graph_layout.h"
#include "render/texture_image.h"

class TextureImageTest : public NoiseTest {
 protected:
  TextureRow image[kTextureSize];
};

TEST_F(TextureImageTest, GradientOnlyOriginTexelInEveryScale) {
  settings.noiseType = kGradientOnly;
  const uint8_t expected[][3] = {{128, 128, 128}, {0, 255, 0}, {127, 127, 255}, {255, 127, 0}};
  static_assert(std::size(expected) == std::size(kScaleChoices), "one texel for every scale");
  for (const Choice& choice : kScaleChoices) {
    const int scale = choice.id;
    FillTextureImage(image, settings, scale);
    EXPECT_EQ(0, std::memcmp(image[0][0], expected[scale], 3)) << "scale " << scale;
  }
}

TEST_F(TextureImageTest, RowZeroIsTheBottomRowOfControlPoints) {
  FillTextureImage(image, settings, kGreyscale);
  for (int i = 0; i < kControlPoints; i++) {
    const int grey = static_cast<int>(ControlValue(i) * 255.0 + 0.5);
    EXPECT_EQ(image[0][64 * i][0], grey) << "point " << i;
    EXPECT_EQ(image[0][64 * i][2], grey) << "point " << i;
  }
}

TEST_F(TextureImageTest, TurbulenceNeverDarkerThanMidGrey) {
  settings.turbulence = 1;
  for (const Choice& choice : kNoiseChoices) {
    const int type = choice.id;
    settings.noiseType = type;
    settings.octaveIndex = type * 3 % (kMaxOctaveIndex + 1);
    FillTextureImage(image, settings, kGreyscale);
    for (int i = 0; i < kTextureSize; i++)
      for (int j = 0; j < kTextureSize; j++) ASSERT_GE(image[i][j][0], 128);
  }
}
