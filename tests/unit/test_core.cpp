// The program's core driven through the headless front end, as the desktop's
// events would drive it: a press on a control point, a drag, a change in the
// panel, a key. No display: the windows are the front end's records, and the
// texture window reads back as the texture.
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "app/app_state.h"
#include "app_fixture.h"
#include "app/command_line.h"
#include "app/control_panel.h"
#include "app/input.h"
#include "app/input_logic.h"
#include "app/start.h"
#include "app/windows.h"
#include "export_helpers.h"
#include "frontends/headless/headless_platform.h"
#include "noise/lattice.h"
#include "noise/noise1d.h"
#include "noise/noise2d.h"
#include "render/graph_display.h"
#include "render/colour_scale.h"
#include "render/texture_fill_fast.h"
#include "render/texture_image.h"
#include "text/bitmap_font.h"
#include "toolkit_fixture.h"

namespace {

// A screen tall enough for a 512-pixel texture window below the graph's.
constexpr int kScreenHeight = kTextureWindowY + 40 + kTextureSize;
constexpr uint32_t kSeed = 20261207u;

class CoreTest : public ::testing::Test {
 protected:
  HeadlessPlatform platform{kScreenHeight};
  FakePlatform panelPlatform;
  GLUI_Platform* previousPanelPlatform = nullptr;

  // Start-up as the desktop's main does it, on the headless front end.
  void SetUp() override {
    SetPlatform(&platform);
    previousPanelPlatform = GLUI_SetPlatform(&panelPlatform);
    ChooseSeed(kSeed);
    InitGraphics();
    Reset();
    InitGlui();
  }

  void TearDown() override {
    ClosePanels(previousPanelPlatform);
    SetPlatform(nullptr);
    ChooseSeed(std::nullopt);
  }
};

TEST_F(CoreTest, APressADragAndAPanelChangeReachTheTextureAndItsSnapshot) {
  // The windows open where and as large as they should.
  platform.SetWindow(App.textureWindow);
  ASSERT_EQ(platform.WindowWidth(), kTextureSize);
  platform.SetWindow(App.graphWindow);
  ASSERT_EQ(platform.WindowWidth(), kGraphWindowWidth);
  const LatticePoint untouched = NoiseLattice[0][3];

  // Press on control point 3: it becomes current.
  MouseButton(0, kButtonDown, DotX(3), DotY(3));
  EXPECT_EQ(App.currentPoint, 3);
  EXPECT_EQ(App.mouseButtonMask, 4);

  // Drag it up by 60 pixels, then let go: the value follows the pointer,
  // exactly as DragValue maps that row; nothing else of the point moves.
  const int dragY = DotY(3) - 60;
  MouseMotion(DotX(3), dragY);
  MouseButton(0, kButtonUp, DotX(3), dragY);
  EXPECT_EQ(App.mouseButtonMask, 0);
  EXPECT_EQ(NoiseLattice[0][3].value, DragValue(kGraphWindowHeight, dragY));
  EXPECT_NE(NoiseLattice[0][3].value, untouched.value);
  EXPECT_EQ(NoiseLattice[0][3].gx, untouched.gx);
  EXPECT_EQ(EditedPoints().size(), 1u);

  // A panel change: the rainbow scale, and a redisplay of the graph window.
  ClickPanel("Rainbow scale");
  EXPECT_EQ(App.colourScale, kRainbow);
  EXPECT_GE(platform.RunRedisplays(), 1);

  // The texture now holds every texel's FractalNoise2D under the edited
  // lattice, in the rainbow scale.
  int wrong = 0;
  for (int i = 0; i < kTextureSize; i++)
    for (int j = 0; j < kTextureSize; j++) {
      uint8_t rgb[3];
      NoiseColourBytes(FractalNoise2D(i, j, App.noise), kRainbow, rgb);
      for (int c = 0; c < 3; c++) wrong += NoiseTexture[i][j][c] != rgb[c];
    }
  EXPECT_EQ(wrong, 0);

  // Key b saves what the texture window shows: the same bytes as the batch
  // export of the command line key i prints for this picture.
  ScratchDir dir;
  const std::string back = std::filesystem::current_path();
  ASSERT_EQ(chdir(dir.path().c_str()), 0);
  Keyboard('b', 0, 0);
  ASSERT_EQ(chdir(back.c_str()), 0);
  const std::string snapshot = ReadFile(dir / "image001NR.bmp");
  ASSERT_FALSE(snapshot.empty());

  StartOptions options;
  std::string error;
  const std::string bmp = "--bmp=" + (dir / "batch.bmp");
  const std::vector<PointEdit> edits = EditedPoints();
  const std::string point = "--point=3:" + FloatWord(edits[0].value) + "," +
                            FloatWord(edits[0].gradient) + "," + FloatWord(edits[0].curvature);
  const char* argv[] = {"noisedemo", "--seed=20261207", "--scale=rainbow", point.c_str(),
                        bmp.c_str()};
  ASSERT_EQ(ParseCommandLine(5, argv, &options, &error), StartMode::kBatch) << error;
  ASSERT_EQ(RunBatchExports(options), 0);
  EXPECT_TRUE(ReadFile(dir / "batch.bmp") == snapshot);
}

}  // namespace

namespace {

// A snapshot that cannot be taken says so under the name of the export the
// key asked for, and writes nothing.
// The octave view of the first k octaves is the picture of k octaves, to the
// byte below its caption, as the window and the batch exports fill it; a pointer over the
// texture window changes its image only while a view reads the pointer.
TEST_F(CoreTest, TheFirstKOctavesAreTheKOctavePictureAndThePointerMovesOnlyTheProbe) {
  static TextureRow expected[kTextureSize];
  App.noise.noiseType = kValueGradient;
  App.noise.octaveIndex = kMaxOctaveIndex;
  App.views.octaveView = kFirstOctaves;
  for (int k = 1; k <= kMaxOctaveIndex + 1; k++) {
    App.views.octaveViewK = k;
    FillShownTexture();
    NoiseSettings fewer = App.noise;
    fewer.octaveIndex = k - 1;
    FillTextureImage(expected, fewer, App.colourScale);
    // Under the caption (one line: 20 rows at the top), but for the last k,
    // which is every octave set and the picture itself.
    const int captioned = k <= kMaxOctaveIndex ? 20 : 0;
    ASSERT_EQ(0, std::memcmp(expected, NoiseTexture, sizeof(TextureRow) * (kTextureSize - captioned)))
        << k << " octaves";
    EXPECT_EQ(captioned == 0, 0 == std::memcmp(expected, NoiseTexture, sizeof expected)) << k;
  }
  App.views = TeachingViews{};
  FillShownTexture();
  std::memcpy(expected, NoiseTexture, sizeof expected);
  platform.SetWindow(App.textureWindow);
  TexturePointer(10, 20);
  EXPECT_EQ(0, std::memcmp(expected, NoiseTexture, sizeof expected));
  App.views.probe = 1;
  FillShownTexture();
  TexturePointer(30, 40);
  EXPECT_NE(0, std::memcmp(expected, NoiseTexture, sizeof expected));
  // The pointer's texel, from the window's top left onto rows counted up.
  EXPECT_EQ(Process.pointerColumn, 30 * kTextureSize / platform.WindowWidth());
  EXPECT_EQ(Process.pointerRow,
            (platform.WindowHeight() - 1 - 40) * kTextureSize / platform.WindowHeight());
  App.views = TeachingViews{};
  FillShownTexture();
  EXPECT_EQ(0, std::memcmp(expected, NoiseTexture, sizeof expected));
}

// The graph's reading follows the pointer only with the statistics view on,
// and what it shows is Noise1D (and f') at the very x its text shows: the
// numbers read back from the text are the floats, for every pixel across.
TEST_F(CoreTest, TheGraphsReadingIsTheNoiseAtTheXItShows) {
  platform.SetWindow(App.graphWindow);
  platform.RunRedisplays();
  GraphPointer(350, 200);
  EXPECT_EQ(platform.RunRedisplays(), 0) << "no view, no redraw";
  App.views.stats = 1;
  App.views.derivatives = 1;
  App.noise.noiseType = kValueGradient;
  App.noise.interpolation = kQuintic;
  App.noise.octaveIndex = 3;
  platform.SetWindow(App.graphWindow);
  GraphPointer(351, 200);
  EXPECT_GT(platform.RunRedisplays(), 0);
  const int width = platform.WindowWidth();
  int shown = 0;
  for (int px = 0; px < width; px++) {
    platform.SetWindow(App.graphWindow);
    GraphPointer(px, 100);
    const GraphView view = CurrentGraphView();
    const GraphReading r = ReadGraphPointer(view, width);
    // Inside the axis's 0 to 7 only, from the pixel whose centre maps there.
    const float unit = (px + 0.5f) * kGraphUnitsWide / static_cast<float>(width);
    EXPECT_EQ(r.shown, unit >= kLeftMargin && unit <= kLeftMargin + kGraphWidth) << px;
    if (!r.shown) continue;
    shown++;
    float x = 0, value = 0, slope = 0;
    ASSERT_EQ(sscanf(r.text, "x %f  f %f  f' %f", &x, &value, &slope), 3) << r.text;
    EXPECT_EQ(x, r.x);
    EXPECT_EQ(value, Noise1D(x, App.noise)) << r.text;
    EXPECT_EQ(slope, Noise1DDerivatives(x, App.noise).d1) << r.text;
    // The x shown is the pixel's, to the three decimals shown.
    EXPECT_LE(std::fabs(GraphX(App.xAxis, x) - unit), 0.0005f * kGraphWidth / 7 + 1e-4f) << px;
  }
  EXPECT_GT(shown, width / 2);
}

// The top margin's lines (the reading, the octaves' legend and its
// explanation) at every window size up to 900 by 600: each inside the window,
// clear of each other and of the noise axis's numbers, none down at the x
// axis's numbers. The boxes are built here from the font's cell and the pen
// GL takes from each place's drawing units: its float value rounded down, or
// one less where the exact value is a whole pixel (LayOutTopMargin derives
// that bound). The reading gives way last, and the default size keeps the
// places the graph always had.
TEST(GraphTopMargin, NoLineMeetsAnotherOrTheAxisNumbersAtAnySize) {
  const BitmapFont& font = Fixed9x15();
  const GlyphCell cell{GlyphOf(font, 'M')->advance, font.ascent, font.descent};
  // A pen's pixels at `units` of `span` over `pixels`, first to last.
  const auto pens = [](double units, int pixels, int span) {
    const double exact = units * pixels / span;
    return std::pair<int, int>{static_cast<int>(std::ceil(exact)) - 1,
                               static_cast<int>(std::floor(exact))};
  };
  struct Box {
    int left, bottom, right, top;
  };
  const auto meet = [](const Box& a, const Box& b) {
    return a.left < b.right && b.left < a.right && a.bottom < b.top && b.bottom < a.top;
  };
  // The full reading with the slope, without it, and without either view.
  const TopMarginRequest asked[] = {{0, 0, true, true, {38, 23, 12}, 6 + 2 * 8, 38},
                                    {0, 0, true, true, {23, 0, 12}, 6 + 2 * 3, 38},
                                    {0, 0, true, false, {38, 23, 12}, 6 + 2 * 8, 38},
                                    {0, 0, false, false, {0, 0, 0}, 6 + 2 * 8, 38}};
  for (TopMarginRequest request : asked) {
    for (int width = 1; width <= 900; width++) {
      for (int height = 1; height <= 600; height++) {
        request.width = width;
        request.height = height;
        const TopMargin m = LayOutTopMargin(request, cell);
        // "1.00" at the noise axis's top down to "0.00" at its foot.
        const auto across = pens(kNoiseNumberX, width, kGraphUnitsWide);
        const int foot = pens(kBottomMargin, height, kGraphUnitsHigh).first;
        const int top = pens(kBottomMargin + kGraphHeight, height, kGraphUnitsHigh).second;
        const Box numbers{across.first, foot - cell.descent, across.second + 4 * cell.advance,
                          top + cell.ascent};
        const int lowest = pens(kXNumberY, height, kGraphUnitsHigh).second + cell.ascent;
        const int glyphs[3] = {m.readingForm < 0 ? 0 : request.readingGlyphs[m.readingForm],
                               request.legendGlyphs, request.explanationGlyphs};
        const MarginText* lines[3] = {&m.reading, &m.legend, &m.explanation};
        Box boxes[3];
        int placed = 0;
        for (int i = 0; i < 3; i++) {
          if (!lines[i]->shown) continue;
          const auto x = pens(lines[i]->at.x, width, kGraphUnitsWide);
          const auto y = pens(lines[i]->at.y, height, kGraphUnitsHigh);
          const Box box{x.first, y.first - cell.descent, x.second + glyphs[i] * cell.advance,
                        y.second + cell.ascent};
          bool clear = box.left >= 0 && box.right <= width && box.bottom >= lowest &&
                       box.top <= height && !meet(box, numbers);
          for (int j = 0; j < placed; j++) clear = clear && !meet(box, boxes[j]);
          ASSERT_TRUE(clear) << width << " x " << height << ", line " << i << " at " << box.left
                             << ", " << box.bottom << " to " << box.right << ", " << box.top;
          boxes[placed++] = box;
        }
        // Nothing is shown that was not asked for, and the legend never
        // stays where the reading went.
        ASSERT_TRUE(!m.reading.shown || request.readingShown);
        ASSERT_TRUE(!m.legend.shown || !request.readingShown || m.reading.shown)
            << width << " x " << height;
        ASSERT_TRUE(!m.explanation.shown || m.legend.shown);
      }
    }
    // Where the value alone fits right of the numbers, the reading shows;
    // where two lines fit beside them, the legend too.
    for (int size = 160; size <= 900; size += 7) {
      request.width = size;
      request.height = size * 3 / 8;
      EXPECT_EQ(LayOutTopMargin(request, cell).reading.shown, request.readingShown) << size;
      request.width = size + 120;
      request.height = size / 2;
      EXPECT_TRUE(LayOutTopMargin(request, cell).legend.shown) << size;
    }
    request.width = kGraphWindowWidth;
    request.height = kGraphWindowHeight;
    const TopMargin opening = LayOutTopMargin(request, cell);
    EXPECT_TRUE(opening.asEver);
    EXPECT_EQ(opening.explanation.shown, true);
    EXPECT_EQ(opening.reading.at.y, kReading.y);
  }
  // The phone's page lays the full reading out over the legend.
  const TopMargin phone =
      LayOutTopMargin({370, 264, true, true, {36, 21, 12}, 6 + 2 * 8, 38}, cell);
  EXPECT_FALSE(phone.asEver);
  EXPECT_EQ(phone.readingForm, 0);
  EXPECT_TRUE(phone.legend.shown);
  EXPECT_GT(phone.reading.at.y, phone.legend.at.y);
}

TEST_F(CoreTest, ASnapshotThatCannotBeTakenSaysWhichAndWritesNothing) {
  ScratchDir dir;
  const std::string back = std::filesystem::current_path();
  ASSERT_EQ(chdir(dir.path().c_str()), 0);
  auto keyMessages = [](unsigned char key) {
    testing::internal::CaptureStderr();
    Keyboard(key, 0, 0);
    return testing::internal::GetCapturedStderr();
  };
  platform.Resize(App.textureWindow, 0, kTextureSize);
  const std::string png = keyMessages('p');
  const std::string bmp = keyMessages('b');
  // A size the headless texture window cannot show one texel per pixel.
  platform.Resize(App.textureWindow, 300, 300);
  const std::string unread = keyMessages('p');
  ASSERT_EQ(chdir(back.c_str()), 0);

  EXPECT_EQ(png, "WritePng() cannot save a window of 0 x 512 pixels!\n"
                 "  the window is 0 x 512 pixels\n");
  EXPECT_EQ(bmp, "WriteBmp() cannot save a window of 0 x 512 pixels!\n"
                 "  the window is 0 x 512 pixels\n");
  EXPECT_EQ(unread, "WritePng() cannot read the texture window\n");
  EXPECT_TRUE(dir.Entries().empty());
}

}  // namespace
