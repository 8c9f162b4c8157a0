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

// ---------------------------------------------------------------------------
// The teaching views drawn over the texture
// ---------------------------------------------------------------------------

#include <cmath>
#include <vector>

#include "noise/hermite.h"
#include "render/texture_views.h"

namespace {

// Noise2D rounds each product of a corner field and two weights at most 12
// times (render/texture_views.cpp derives it), the double sum of the
// contributions under 2^-49 of the magnitude: u = 2^-24.
double ProbeBound(double magnitude) {
  const double u = std::ldexp(1.0, -24);
  return (12.0 * u / (1.0 - 12.0 * u) + std::ldexp(1.0, -49)) * magnitude;
}

}  // namespace

// The four corners' shares add up to the octave's noise within the rounding
// bound, for every type, blend and shown first octave, on a lattice whose
// slopes and curvatures (along y too) are all in play.
TEST_F(TextureImageTest, ProbeSharesAddUpToTheOctavesNoise) {
  for (int i = 0; i < kLatticeSize; i += 3)
    for (int j = (i * 5) % 7; j < kLatticeSize; j += 7) {
      Point(i, j).cx = (i + j) % 2 ? 7.5f : -9.0f;
      Point(i, j).cy = (i + j) % 3 ? 2.5f : -4.0f;
    }
  int checked = 0;
  for (int type : {kValueOnly, kGradientOnly, kValueGradient}) {
    for (int mode : {kCubic, kQuintic}) {
      for (int first = 0; first <= kMaxOctaveIndex; first++) {
        ShownOctaves shown{{type, mode, kZeroSlopes, kMaxOctaveIndex, 0}, first};
        for (int row = 0; row < kTextureSize; row += 37) {
          for (int column = 1; column < kTextureSize; column += 29) {
            const TexelProbe probe = ProbeTexel(row, column, shown);
            double sum = 0.0;
            for (const ProbeCorner& corner : probe.corners) sum += corner.contribution;
            ASSERT_LE(std::fabs(sum - probe.noise), ProbeBound(probe.magnitude))
                << "type " << type << " blend " << mode << " octave " << first + 1 << " texel "
                << row << ", " << column;
            EXPECT_EQ(probe.value, OctavesNoise2D(row, column, shown.settings, first));
            if (type == kValueOnly) {
              for (const ProbeCorner& corner : probe.corners) EXPECT_EQ(corner.gx, 0.0f);
            }
            if (type == kGradientOnly) {
              for (const ProbeCorner& corner : probe.corners) EXPECT_EQ(corner.value, kNoiseMid);
            }
            checked++;
          }
        }
      }
    }
  }
  EXPECT_GT(checked, 10000);
}

TEST_F(TextureImageTest, OctaveViewsPickFromTheSetOctaves) {
  settings.octaveIndex = 5;  // six octaves
  TeachingViews views;
  views.octaveView = kFirstOctaves;
  views.octaveViewK = 3;
  ShownOctaves shown = ShowOctaves(settings, views);
  EXPECT_EQ(shown.settings.octaveIndex, 2);
  EXPECT_EQ(shown.firstOctave, 0);
  views.octaveView = kOneOctave;
  views.octaveViewK = 8;  // beyond the six set: the last of them
  shown = ShowOctaves(settings, views);
  EXPECT_EQ(shown.settings.octaveIndex, 5);
  EXPECT_EQ(shown.firstOctave, 5);
  views.octaveView = kAllOctaves;
  shown = ShowOctaves(settings, views);
  EXPECT_EQ(shown.settings.octaveIndex, 5);
  EXPECT_EQ(shown.firstOctave, 0);
}

TEST_F(TextureImageTest, StatisticsOfTheValues) {
  std::vector<float> values(kTextureSize * kTextureSize, 0.25f);
  values[12345] = 0.0625f;
  values[kTextureSize * kTextureSize - 1] = 0.875f;
  const TextureStats stats = StatsOf(values.data());
  EXPECT_EQ(stats.minimum, 0.0625f);
  EXPECT_EQ(stats.maximum, 0.875f);
  // Every value a multiple of 2^-4 and the count 2^18: the double sum is exact.
  EXPECT_EQ(stats.mean, (0.25 * (kTextureSize * kTextureSize - 2) + 0.0625 + 0.875) /
                            (kTextureSize * kTextureSize));
}

// What the overlays draw, and where: nothing with the views off; the lattice
// lines on the cell edges; arrows only for the gradient types; nothing of
// the lattice where its cells are too fine, only the caption saying so.
TEST_F(TextureImageTest, OverlaysDrawOnlyWhatHolds) {
  TextureRow clean[kTextureSize];
  auto filled = [&](const ShownOctaves& shown) {
    FillTextureOctaves(clean, shown.settings, shown.firstOctave, kGreyscale);
    std::memcpy(image, clean, sizeof image);
  };
  auto count = [&](uint8_t r, uint8_t g, uint8_t b) {
    int n = 0;
    for (int i = 0; i < kTextureSize; i++)
      for (int j = 0; j < kTextureSize; j++)
        n += image[i][j][0] == r && image[i][j][1] == g && image[i][j][2] == b;
    return n;
  };
  TextureOverlay overlay{};
  overlay.lattice = &NoiseLattice;
  overlay.pointerRow = 100;
  overlay.pointerColumn = 300;
  overlay.settingOctaves = 4;
  settings.octaveIndex = 3;

  // Only the graph's views: the image is untouched.
  overlay.views.octaves = 1;
  overlay.views.derivatives = 1;
  overlay.shown = ShowOctaves(settings, overlay.views);
  filled(overlay.shown);
  DrawTextureOverlays(image, overlay);
  EXPECT_EQ(0, std::memcmp(image, clean, sizeof image));

  overlay.views = TeachingViews{};
  overlay.views.lattice = 1;
  for (int type : {kValueOnly, kGradientOnly, kValueGradient}) {
    settings.noiseType = type;
    overlay.shown = ShowOctaves(settings, overlay.views);
    filled(overlay.shown);
    DrawTextureOverlays(image, overlay);
    // Below the caption box (at most three lines at the top), every texel of
    // column 64 and row 128 that no arrow crosses is black or white.
    int lineTexels = 0;
    for (int t = 0; t < 400; t++) {
      for (const uint8_t* p : {image[t][64], image[128][t]}) {
        const bool bw = (p[0] == 0 || p[0] == 255) && p[0] == p[1] && p[1] == p[2];
        const bool arrow = p[0] == 255 && p[1] == 230 && p[2] == 0;
        EXPECT_TRUE(bw || arrow || type != kValueOnly) << "type " << type << " at " << t;
        lineTexels += bw;
      }
    }
    EXPECT_GT(lineTexels, 600) << "type " << type;
    // Greyscale noise is never yellow: arrow texels are the arrows'.
    if (type == kValueOnly) {
      EXPECT_EQ(count(255, 230, 0), 0);
    } else {
      EXPECT_GT(count(255, 230, 0), 81 * 3) << "type " << type;
    }
    // Away from the lines, the caption and the arrows (all within a third of
    // a cell and a head's length of a lattice point), the noise is untouched.
    if (type == kValueOnly) {
      EXPECT_EQ(0, std::memcmp(image[100][30], clean[100][30], 3 * 30));
    }
  }

  // The fifth octave alone: 4-texel cells, no lines, no arrows, only the
  // caption at the top.
  overlay.views.octaveView = kOneOctave;
  overlay.views.octaveViewK = 4;  // held to the four octaves set
  settings.octaveIndex = 4;
  overlay.views.octaveViewK = 5;
  overlay.settingOctaves = 5;
  overlay.shown = ShowOctaves(settings, overlay.views);
  filled(overlay.shown);
  DrawTextureOverlays(image, overlay);
  EXPECT_EQ(count(255, 230, 0), 0);
  EXPECT_EQ(0, std::memcmp(image, clean, sizeof(TextureRow) * (kTextureSize - 100)));
  EXPECT_NE(0, std::memcmp(image[kTextureSize - 20], clean[kTextureSize - 20], sizeof(TextureRow)));

  // In a window too small to read text, the caption is left out, and with
  // it everything this view draws; the probe keeps its marks but not its box.
  overlay.text = false;
  filled(overlay.shown);
  DrawTextureOverlays(image, overlay);
  EXPECT_EQ(0, std::memcmp(image, clean, sizeof image));
  overlay.views.probe = 1;
  DrawTextureOverlays(image, overlay);
  // (the pointer low, the box would be at the top)
  EXPECT_EQ(0, std::memcmp(image[200], clean[200], sizeof(TextureRow) * (kTextureSize - 200)));
  EXPECT_NE(0, std::memcmp(image[overlay.pointerRow], clean[overlay.pointerRow], sizeof(TextureRow)));
}
