// The fast fill against the plain evaluation, byte for byte, on every
// instruction set this machine has and on one thread or several.
#include <algorithm>
#include <cstring>
#include <iterator>
#include <utility>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/choices.h"
#include "noise/noise2d.h"
#include "noise_fixture.h"
#include "render/colour_scale.h"
#include "render/texture_fill_fast.h"

namespace {

std::vector<FillPath> PathsOnThisMachine() {
  std::vector<FillPath> paths;
  for (FillPath path : {FillPath::kBaseline, FillPath::kAvx2, FillPath::kAvx512}) {
    if (FillPathAvailable(path)) paths.push_back(path);
  }
  return paths;
}

std::string Settings(const NoiseSettings& settings) {
  return "type " + std::to_string(settings.noiseType) + ", interpolation " +
         std::to_string(settings.interpolation) + ", octaves " + std::to_string(settings.octaveIndex + 1) +
         ", turbulence " + std::to_string(settings.turbulence) + ", scale " +
         std::to_string(App.colourScale);
}

// Empty when equal, else where the first difference is.
std::string FirstDifference(const TextureRow* expected, const TextureRow* actual) {
  for (int i = 0; i < kTextureSize; i++) {
    for (int j = 0; j < kTextureSize; j++) {
      if (std::memcmp(expected[i][j], actual[i][j], 3) != 0) {
        return "texel (" + std::to_string(i) + ", " + std::to_string(j) + "): expected " +
               std::to_string(expected[i][j][0]) + " " + std::to_string(expected[i][j][1]) +
               " " + std::to_string(expected[i][j][2]) + ", got " +
               std::to_string(actual[i][j][0]) + " " + std::to_string(actual[i][j][1]) + " " +
               std::to_string(actual[i][j][2]);
      }
    }
  }
  return "";
}

}  // namespace

class FastFillTest : public NoiseTest {
 protected:
  // Every noise type, interpolation, octave count, turbulence and colour
  // scale, each filled by every path (thread counts taking turns) and
  // compared with the reference image. The reference's noise values are
  // computed once per noise setting and coloured four ways, exactly as
  // FillTextureImageReference colours them.
  void ExpectEveryFillMatches() {
    const std::vector<FillPath> paths = PathsOnThisMachine();
    std::vector<float> noise(kTextureSize * kTextureSize);
    std::vector<TextureRow> expected(kTextureSize), actual(kTextureSize);
    int turn = 0;
    for (const Choice& type : kNoiseChoices) {
      for (const Choice& mode : kBlendChoices) {
        for (int octaves = 0; octaves <= kMaxOctaveIndex; octaves++) {
          for (int turbulence : {0, 1}) {
            settings.noiseType = type.id;
            settings.interpolation = mode.id;
            settings.octaveIndex = octaves;
            settings.turbulence = turbulence;
            for (int i = 0; i < kTextureSize; i++)
              for (int j = 0; j < kTextureSize; j++)
                noise[i * kTextureSize + j] = FractalNoise2D(i, j, settings);
            for (const Choice& scaleChoice : kScaleChoices) {
              const int scale = scaleChoice.id;
              App.colourScale = scale;
              for (int i = 0; i < kTextureSize; i++)
                for (int j = 0; j < kTextureSize; j++)
                  NoiseColourBytes(noise[i * kTextureSize + j], scale, expected[i][j]);
              for (FillPath path : paths) {
                const int threads = 1 + turn++ % 3;
                std::memset(actual.data(), 0xA5, sizeof(TextureRow) * kTextureSize);
                FillTextureImageFast(actual.data(), settings, App.colourScale, path, threads);
                const std::string difference = FirstDifference(expected.data(), actual.data());
                ASSERT_EQ(difference, "") << Settings(settings) << ", path " << FillPathName(path)
                                          << ", threads " << threads;
              }
            }
          }
        }
      }
    }
  }
};

TEST_F(FastFillTest, MatchesTheReferenceOnARandomLattice) { ExpectEveryFillMatches(); }

TEST_F(FastFillTest, MatchesTheReferenceOnAnotherRandomLattice) {
  SeedGenerator(7u);
  FillLattice();
  ExpectEveryFillMatches();
}

// What a user can do to the lattice: control point values dragged to the
// ends of their range, curvatures and gradients set with the sliders to
// theirs. Curvatures along y, which the program never sets, are set here
// too, so the fill cannot silently be relying on their being zero.
TEST_F(FastFillTest, MatchesTheReferenceOnAnEditedLattice) {
  SeedGenerator(99u);
  FillLattice();
  const float values[kControlPoints] = {-1.0f, 1.0f, 0.0f, -0.0f, 1.0f, -1.0f, 0.5f, -0.25f};
  const float curvatures[kControlPoints] = {10.0f, -10.0f, 3.5f, 0.0f, -7.25f, 10.0f, -10.0f, 1.0f};
  for (int i = 0; i < kControlPoints; i++) {
    ControlValue(i) = values[i];
    Point(0, i).cx = curvatures[i];
    Point(0, i).gx = (i % 2 == 0) ? 1.0f : -1.0f;
  }
  // Further along row 0 (higher octaves reach it), and curvature along y
  // spread over the lattice, including the last row and column.
  for (int j = 8; j < kLatticeSize; j += 37) Point(0, j).cx = (j % 3 == 0) ? 10.0f : -10.0f;
  for (int i = 0; i < kLatticeSize; i += 5)
    for (int j = (i * 7) % 11; j < kLatticeSize; j += 11) Point(i, j).cy = (i + j) % 2 ? 2.5f : -4.0f;
  Point(kLatticeSize - 1, kLatticeSize - 1).cy = 10.0f;
  Point(kLatticeSize - 1, kLatticeSize - 1).value = -1.0f;
  ExpectEveryFillMatches();
}

// On a lattice of its own, handed to the fills while the program's holds
// another seed's: a fill that read the program's would differ.
TEST_F(FastFillTest, RepeatedFillsOnAnyNumberOfThreadsAgree) {
  std::vector<Lattice> handed(1);
  std::memcpy(handed[0], NoiseLattice, sizeof(Lattice));
  SeedGenerator(31u);
  FillLattice();
  settings.noiseType = kValueGradient;
  settings.interpolation = kQuintic;
  settings.octaveIndex = kMaxOctaveIndex;
  settings.turbulence = 1;
  App.colourScale = kRainbow;
  std::vector<TextureRow> expected(kTextureSize), actual(kTextureSize);
  FillTextureImageReference(expected.data(), settings, App.colourScale, handed[0]);
  for (int threads : {2, 1, 5, 16, 40, 2, 3}) {
    for (FillPath path : PathsOnThisMachine()) {
      std::memset(actual.data(), 0, sizeof(TextureRow) * kTextureSize);
      FillTextureImageFast(actual.data(), settings, App.colourScale, path, threads, handed[0]);
      ASSERT_EQ(FirstDifference(expected.data(), actual.data()), "")
          << "path " << FillPathName(path) << ", threads " << threads;
    }
  }
  // And the fill the program uses: the best path on every core.
  std::memset(actual.data(), 0, sizeof(TextureRow) * kTextureSize);
  FillTextureImage(actual.data(), settings, App.colourScale, handed[0]);
  EXPECT_EQ(FirstDifference(expected.data(), actual.data()), "");
}

// The octave views: each octave alone, and a run of octaves that starts
// past the first, under every type and blend (turbulence and scales taking
// turns), byte for byte and value for value against the plain evaluation.
// Runs from the first octave are the whole-sum fills above at fewer octaves.
TEST_F(FastFillTest, OctaveViewsMatchTheReference) {
  const std::vector<FillPath> paths = PathsOnThisMachine();
  std::vector<TextureRow> expected(kTextureSize), actual(kTextureSize);
  std::vector<float> expectedValues(kTextureSize * kTextureSize), values(kTextureSize * kTextureSize);
  int turn = 0;
  for (const Choice& type : kNoiseChoices) {
    for (const Choice& mode : kBlendChoices) {
      settings.noiseType = type.id;
      settings.interpolation = mode.id;
      // (first, last) 0-based: every octave alone, then 2 to 6 and 5 to 8.
      std::vector<std::pair<int, int>> ranges;
      for (int k = 0; k <= kMaxOctaveIndex; k++) ranges.push_back({k, k});
      ranges.push_back({1, 5});
      ranges.push_back({4, 7});
      for (const auto& [first, last] : ranges) {
        settings.octaveIndex = last;
        settings.turbulence = turn % 2;
        const int scale = kScaleChoices[turn % std::size(kScaleChoices)].id;
        FillTextureOctavesReference(expected.data(), settings, first, scale, NoiseLattice,
                                    expectedValues.data());
        const FillPath path = paths[turn % paths.size()];
        const int threads = 1 + turn % 3;
        turn++;
        std::memset(actual.data(), 0xA5, sizeof(TextureRow) * kTextureSize);
        std::fill(values.begin(), values.end(), -1.0f);
        FillTextureOctavesFast(actual.data(), settings, first, scale, path, threads, NoiseLattice,
                               values.data());
        ASSERT_EQ(FirstDifference(expected.data(), actual.data()), "")
            << Settings(settings) << ", from octave " << first + 1 << ", path "
            << FillPathName(path);
        ASSERT_EQ(0, std::memcmp(expectedValues.data(), values.data(), values.size() * sizeof(float)))
            << Settings(settings) << ", from octave " << first + 1;
      }
    }
  }
  // The whole sum through the octave fill is the program's fill.
  settings.octaveIndex = kMaxOctaveIndex;
  FillTextureImage(expected.data(), settings, kRainbow);
  FillTextureOctaves(actual.data(), settings, 0, kRainbow, NoiseLattice, values.data());
  EXPECT_EQ(FirstDifference(expected.data(), actual.data()), "");
}

TEST_F(FastFillTest, PathsFollowTheProcessor) {
  EXPECT_TRUE(FillPathAvailable(FillPath::kBaseline));
  EXPECT_TRUE(FillPathAvailable(BestFillPath()));
  if (FillPathAvailable(FillPath::kAvx512)) EXPECT_EQ(BestFillPath(), FillPath::kAvx512);
  else if (FillPathAvailable(FillPath::kAvx2)) EXPECT_EQ(BestFillPath(), FillPath::kAvx2);
  else EXPECT_EQ(BestFillPath(), FillPath::kBaseline);
  EXPECT_STREQ(FillPathName(FillPath::kBaseline), "baseline");
  EXPECT_STREQ(FillPathName(FillPath::kAvx2), "avx2");
  EXPECT_STREQ(FillPathName(FillPath::kAvx512), "avx512");
}
