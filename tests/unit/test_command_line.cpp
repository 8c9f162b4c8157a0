#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "render/colour_scale.h"
#include "app/app_state.h"
#include "app/choices.h"
#include "app/command_line.h"
#include "app/windows.h"
#include "noise/lattice.h"

namespace {

struct Parsed {
  StartMode mode;
  StartOptions options;
  std::string error;
};

Parsed Parse(std::vector<const char*> args) {
  args.insert(args.begin(), "noisedemo");
  Parsed p;
  p.mode = ParseCommandLine(static_cast<int>(args.size()), args.data(), &p.options, &p.error);
  return p;
}

// A printed command line read back as a shell would split it (it holds no
// quotes), without the program's name.
Parsed ParseLine(const std::string& line) {
  std::vector<std::string> words;
  for (size_t at = 0; at < line.size();) {
    const size_t space = line.find(' ', at);
    words.push_back(line.substr(at, space - at));
    at = space == std::string::npos ? line.size() : space + 1;
  }
  std::vector<const char*> args;
  for (size_t k = 1; k < words.size(); k++) args.push_back(words[k].c_str());
  return Parse(args);
}

uint32_t Bits(float f) {
  uint32_t bits;
  std::memcpy(&bits, &f, sizeof bits);
  return bits;
}

}  // namespace

TEST(CommandLine, ReadsEverySettingAndStepsOverGlutOptions) {
  const Parsed p = Parse({"-display", ":3", "--seed=4294967295", "--noise=value+gradient",
                          "-iconic", "--blend=quintic", "--slopes=catmull-rom", "--octaves=8",
                          "--turbulence", "--scale=clouds", "-geometry", "300x300+1+1"});
  ASSERT_EQ(p.mode, StartMode::kWindows) << p.error;
  EXPECT_EQ(*p.options.seed, 4294967295u);
  EXPECT_EQ(*p.options.noiseType, kValueGradient);
  EXPECT_EQ(*p.options.interpolation, kQuintic);
  EXPECT_EQ(*p.options.gradientRule, kCatmullRom);
  EXPECT_EQ(*p.options.octaveIndex, 7);
  EXPECT_TRUE(p.options.turbulence);
  EXPECT_EQ(*p.options.colourScale, kClouds);
  // GLUT's options, kept as written for glutInit and for a batch run to name.
  EXPECT_EQ(p.options.glut.given,
            (std::vector<std::string>{"-display :3", "-iconic", "-geometry 300x300+1+1"}));
  ASSERT_TRUE(p.options.glut.geometry);
  EXPECT_EQ(p.options.glut.geometry->width * 10000 + p.options.glut.geometry->x, 3000001);

  // Nothing given: nothing chosen, the defaults stay Reset's.
  const Parsed none = Parse({});
  EXPECT_EQ(none.mode, StartMode::kWindows);
  EXPECT_FALSE(none.options.seed || none.options.noiseType || none.options.octaveIndex ||
               none.options.colourScale);
  EXPECT_EQ(*Parse({"--scale=gray"}).options.colourScale, kGreyscale);
  EXPECT_EQ(*Parse({"--seed=0", "--seed=12"}).options.seed, 12u);  // the last one counts

  EXPECT_EQ(Parse({"--stl=a.stl", "--seed=1"}).mode, StartMode::kBatch);
  EXPECT_EQ(Parse({"--bmp=a.bmp"}).options.Output(ExportFormat::kBmp), "a.bmp");
  const Parsed formats = Parse({"--png=a.png", "--heightmap=h.png", "--stl-binary=b.stl"});
  EXPECT_EQ(formats.mode, StartMode::kBatch);
  EXPECT_EQ(formats.options.Output(ExportFormat::kPng) +
                formats.options.Output(ExportFormat::kHeightmap) +
                formats.options.Output(ExportFormat::kStlBinary),
            "a.pngh.pngb.stl");
  EXPECT_EQ(Parse({"--bmp=x.bmp", "--help"}).mode, StartMode::kHelp);
  EXPECT_EQ(Parse({"--version"}).mode, StartMode::kVersion);
}

TEST(CommandLine, RefusesBadOptionsWithAOneLineReason) {
  const std::pair<std::vector<const char*>, std::string> cases[] = {
      {{"--colour=red"}, "unknown option '--colour'"},
      {{"-x"}, "unknown option '-x'"},
      {{"picture.bmp"}, "unexpected argument 'picture.bmp'; every option starts with --"},
      {{"--seed"}, "option '--seed' needs a value, as in --seed=..."},
      {{"--bmp="}, "option '--bmp' needs a value, as in --bmp=..."},
      {{"--seed=-1"}, "--seed takes a whole number from 0 to 4294967295, not '-1'"},
      {{"--seed=4294967296"}, "--seed takes a whole number from 0 to 4294967295, not '4294967296'"},
      {{"--seed=12abc"}, "--seed takes a whole number from 0 to 4294967295, not '12abc'"},
      {{"--seed=99999999999999999999999"},
       "--seed takes a whole number from 0 to 4294967295, not '99999999999999999999999'"},
      {{"--octaves=0"}, "--octaves takes a number from 1 to 8, not '0'"},
      {{"--octaves=9"}, "--octaves takes a number from 1 to 8, not '9'"},
      {{"--octaves= 3"}, "--octaves takes a number from 1 to 8, not ' 3'"},
      {{"--noise=perlin"}, "--noise takes value, gradient or value+gradient, not 'perlin'"},
      {{"--blend=linear"}, "--blend takes cubic or quintic, not 'linear'"},
      {{"--slopes=one"}, "--slopes takes zero or catmull-rom, not 'one'"},
      {{"--scale=Rainbow"}, "--scale takes grey, rainbow, clouds or fire, not 'Rainbow'"},
      {{"--turbulence=1"}, "option '--turbulence' takes no value"},
      {{"--help=me"}, "option '--help' takes no value"},
      {{"--octaves=2", "--version", "--nope"}, "unknown option '--nope'"},
      // A repeated output would silently lose the first file; a repeated
      // setting just takes the last value.
      {{"--png=a.png", "--seed=1", "--seed=2", "--png=b.png"},
       "--png=a.png and --png=b.png: each output is written once"},
      {{"--stl=x", "--stl=x"}, "--stl=x and --stl=x: each output is written once"},
  };
  for (const auto& [args, reason] : cases) {
    const Parsed p = Parse(args);
    EXPECT_EQ(p.mode, StartMode::kBadOption) << args[0];
    EXPECT_EQ(p.error, reason) << args[0];
    EXPECT_EQ(p.error.find('\n'), std::string::npos);
  }
}

TEST(CommandLine, TheReproducingCommandReadsBackAsTheSameSettings) {
  const ReproducedSettings plain{kValueOnly, kCubic, kZeroSlopes, 0, 0, kGreyscale};
  EXPECT_EQ(ReproducingCommand(38, plain, {}),
            "noisedemo --seed=38 --noise=value --blend=cubic --slopes=zero --octaves=1 "
            "--scale=grey");
  const ReproducedSettings busy{kValueGradient, kQuintic, kCatmullRom, 7, 1, kFire};
  EXPECT_EQ(ReproducingCommand(4294967295u, busy, {{3, 0.75f, -0.3f, 4.5f}}),
            "noisedemo --seed=4294967295 --noise=value+gradient --blend=quintic "
            "--slopes=catmull-rom --octaves=8 --turbulence --scale=fire --point=3:0.75,-0.3,4.5");

  // Every combination parses back to what it says.
  for (int noise = 0; noise < 3; noise++) {
    for (int scale = 0; scale < 4; scale++) {
      const ReproducedSettings s{noise, scale % 2, (scale + noise) % 2, scale + noise, scale % 2,
                                 scale};
      const std::string line = ReproducingCommand(123, s, {});
      const Parsed p = ParseLine(line);
      ASSERT_EQ(p.mode, StartMode::kWindows) << line;
      EXPECT_EQ(*p.options.seed, 123u);
      EXPECT_EQ(*p.options.noiseType, s.noiseType) << line;
      EXPECT_EQ(*p.options.interpolation, s.interpolation) << line;
      EXPECT_EQ(*p.options.gradientRule, s.gradientRule) << line;
      EXPECT_EQ(*p.options.octaveIndex, s.octaveIndex) << line;
      EXPECT_EQ(p.options.turbulence, s.turbulence != 0) << line;
      EXPECT_EQ(*p.options.colourScale, s.colourScale) << line;
    }
  }
}

TEST(CommandLine, TheRecordedSeedRefillsTheSameLattice) {
  // A second fill continues the sequence; the state recorded before it is
  // the seed that gives that lattice from scratch.
  SeedGenerator(2026u);
  FillNewLattice();
  EXPECT_EQ(App.latticeSeed, 2026u);
  EXPECT_TRUE(EditedPoints().empty());
  NoiseLattice[0][3].cx = 2.0f;
  FillNewLattice();  // the edits go with the old lattice
  EXPECT_TRUE(EditedPoints().empty());
  const uint32_t second = App.latticeSeed;
  EXPECT_NE(second, 2026u);
  const LatticePoint a = NoiseLattice[0][5];
  const LatticePoint b = NoiseLattice[1023][1023];
  SeedGenerator(second);
  FillLattice();
  EXPECT_EQ(std::memcmp(&a, &NoiseLattice[0][5], sizeof a), 0);
  EXPECT_EQ(std::memcmp(&b, &NoiseLattice[1023][1023], sizeof b), 0);
}

TEST(CommandLine, TakesOnlyControlPointsTheProgramCouldHaveSet) {
  // The ends of every range, any decimal spelling, points in any order.
  const Parsed p = Parse({"--point=7:-1,1,-10", "--point=0:+.5e0,-0,10", "--point=2:1E-45,0.,-3"});
  ASSERT_EQ(p.mode, StartMode::kWindows) << p.error;
  ASSERT_EQ(p.options.points.size(), 3u);
  const PointEdit& last = p.options.points[2];
  EXPECT_EQ(p.options.points[0].point * 100 + p.options.points[1].point * 10 + last.point, 702);
  EXPECT_EQ(Bits(p.options.points[0].value), Bits(-1.0f));
  EXPECT_EQ(Bits(p.options.points[0].curvature), Bits(-10.0f));
  EXPECT_EQ(Bits(p.options.points[1].value), Bits(0.5f));
  EXPECT_EQ(Bits(p.options.points[1].gradient), Bits(-0.0f));
  EXPECT_EQ(Bits(last.value), Bits(std::nextafter(0.0f, 1.0f)));
  EXPECT_EQ(Parse({"--point=1:0,0,0", "--bmp=a.bmp"}).mode, StartMode::kBatch);

  const std::string form = "--point takes K:VALUE,GRADIENT,CURVATURE with K from 0 to 7, not ";
  const std::pair<std::vector<const char*>, std::string> refused[] = {
      {{"--point=8:0.5,0,0"}, "--point: control points run from 0 to 7, not '8'"},
      {{"--point=3:"}, form + "'3:'"},
      {{"--point=3:0.5"}, form + "'3:0.5'"},
      {{"--point=3:0.5,0,0,0"}, form + "'3:0.5,0,0,0'"},
      {{"--point=x"}, form + "'x'"},
      {{"--point=-1:0,0,0"}, "--point: control points run from 0 to 7, not '-1'"},
      {{"--point=99999999999999999999:0,0,0"},
       "--point: control points run from 0 to 7, not '99999999999999999999'"},
      {{"--point=+3:0,0,0"}, form + "'+3:0,0,0'"},
      {{"--point"}, "option '--point' needs a value, as in --point=..."},
      {{"--point=3:0.5,2,0"}, "--point: the gradient of control point 3 runs from -1 to 1, not '2'"},
      {{"--point=3:1.0000001,0,0"},
       "--point: the value of control point 3 runs from -1 to 1, not '1.0000001'"},
      {{"--point=5:0,0,-10.5"},
       "--point: the curvature of control point 5 runs from -10 to 10, not '-10.5'"},
      {{"--point=3:nan,0,0"},
       "--point: the value of control point 3 must be a decimal number, not 'nan'"},
      {{"--point=3:0.5,inf,0"},
       "--point: the gradient of control point 3 must be a decimal number, not 'inf'"},
      {{"--point=3:0x1p-1,0,0"},
       "--point: the value of control point 3 must be a decimal number, not '0x1p-1'"},
      {{"--point=3:0.5, 0,0"},
       "--point: the gradient of control point 3 must be a decimal number, not ' 0'"},
      {{"--point=3:0.5,0,"},
       "--point: the curvature of control point 3 must be a decimal number, not ''"},
      // Inside the range, but nearer 0 than any float: it would read as 0.
      {{"--point=3:1e-46,0,0"},
       "--point: the value of control point 3, '1e-46', is nearer 0 than any float but 0 "
       "(it would read as 0); write 0"},
      {{"--point=3:0,-1e-50,0"},
       "--point: the gradient of control point 3, '-1e-50', is nearer 0 than any float but 0 "
       "(it would read as 0); write 0"},
      {{"--point=3:1e39,0,0"}, "--point: the value of control point 3 runs from -1 to 1, not '1e39'"},
      {{"--point=3:0.5,0,0", "--point=3:0.6,0,0"}, "--point gives control point 3 twice"},
  };
  for (const auto& [args, reason] : refused) {
    const Parsed bad = Parse(args);
    EXPECT_EQ(bad.mode, StartMode::kBadOption) << args[0];
    EXPECT_EQ(bad.error, reason) << args[0];
  }
}

TEST(CommandLine, EditedPointsReadBackToTheSameBits) {
  // Numbers a drag or a slider leaves: no short decimal, the ends, the
  // smallest, and a negative zero, which the arithmetic may tell from zero.
  std::mt19937 rng(17);
  std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
  const ReproducedSettings settings{kGradientOnly, kQuintic, kZeroSlopes, 2, 0, kClouds};
  for (int round = 0; round < 50; round++) {
    std::vector<PointEdit> edits;
    for (int i = 0; i < 8; i++) {
      if ((rng() & 1) == 0) continue;
      edits.push_back({i, unit(rng), unit(rng), 10.0f * unit(rng)});
    }
    if (round == 0) edits = {{0, -0.0f, 1.0f, -10.0f}, {7, std::nextafter(0.0f, 1.0f), 0.1f, 0.3f}};
    const std::string line = ReproducingCommand(99, settings, edits);
    const Parsed p = ParseLine(line);
    ASSERT_EQ(p.mode, StartMode::kWindows) << line << ": " << p.error;
    ASSERT_EQ(p.options.points.size(), edits.size()) << line;
    for (size_t k = 0; k < edits.size(); k++) {
      const PointEdit& back = p.options.points[k];
      EXPECT_EQ(back.point, edits[k].point) << line;
      EXPECT_EQ(Bits(back.value), Bits(edits[k].value)) << line;
      EXPECT_EQ(Bits(back.gradient), Bits(edits[k].gradient)) << line;
      EXPECT_EQ(Bits(back.curvature), Bits(edits[k].curvature)) << line;
    }
  }
  EXPECT_EQ(FloatWord(0.1f) + " " + FloatWord(-0.0f) + " " + FloatWord(1e-5f), "0.1 -0 1e-05");
  // The ends of the ranges read as people write them, not as 1e+01.
  EXPECT_EQ(FloatWord(10.0f) + " " + FloatWord(-10.0f) + " " + FloatWord(1.0f) + " " +
                FloatWord(0.0001f) + " " + FloatWord(-2.5f),
            "10 -10 1 0.0001 -2.5");
}

TEST(CommandLine, TheLineListsThePointsThatDifferFromTheFillAndRemakesThem) {
  SeedGenerator(77u);
  FillNewLattice();
  LatticePoint* row = NoiseLattice[0];
  const float value3 = row[3].value;
  row[3].value = 0.9f;  // a drag
  row[5].gx = 0.25f;    // a slider
  row[6].cx = -0.0f;    // a slider to the other zero
  row[8].value = 1.0f;  // beyond the control points: nothing the user can edit
  std::vector<PointEdit> edits = EditedPoints();
  ASSERT_EQ(edits.size(), 3u);
  EXPECT_EQ(edits[0].point * 100 + edits[1].point * 10 + edits[2].point, 356);
  EXPECT_EQ(edits[0].value, 0.9f);
  EXPECT_EQ(edits[0].gradient, row[3].gx);
  EXPECT_EQ(Bits(edits[2].curvature), Bits(-0.0f));

  // Dragged back to exactly what it had, point 3 is the seed's again.
  row[3].value = value3;
  edits = EditedPoints();
  ASSERT_EQ(edits.size(), 2u);
  EXPECT_EQ(edits[0].point, 5);

  // The seed refilled and the edits applied give the same row, bit for bit.
  LatticePoint edited[8];
  std::memcpy(edited, row, sizeof edited);
  SeedGenerator(App.latticeSeed);
  FillNewLattice();
  ApplyPointEdits(edits);
  EXPECT_EQ(std::memcmp(edited, row, sizeof edited), 0);
  EXPECT_EQ(EditedPoints().size(), 2u);
}

// The browser page's address arrives as option lines: the same words and the
// same refusals, a line taken whole (a space is part of its value).
TEST(CommandLine, OptionLinesAreTheCommandLinesWords) {
  StartOptions lines;
  std::string error;
  ASSERT_EQ(ParseOptionLines("--seed=7\n--octaves=6\n--noise=value+gradient\n--turbulence\n"
                             "--point=3:0.5,-1,10",
                             &lines, &error),
            StartMode::kWindows)
      << error;
  const Parsed args = Parse({"--seed=7", "--octaves=6", "--noise=value+gradient", "--turbulence",
                             "--point=3:0.5,-1,10"});
  EXPECT_EQ(*lines.seed, *args.options.seed);
  EXPECT_EQ(*lines.octaveIndex, *args.options.octaveIndex);
  EXPECT_EQ(*lines.noiseType, *args.options.noiseType);
  EXPECT_EQ(lines.turbulence, args.options.turbulence);
  ASSERT_EQ(lines.points.size(), 1u);
  EXPECT_EQ(Bits(lines.points[0].curvature), Bits(10.0f));

  for (const char* bad : {"--octaves=9", "--seed=7 --turbulence", "--colour=red",
                          "--point=1:0,0,0\n--point=1:0,0,0"}) {
    StartOptions options;
    std::string lineError;
    EXPECT_EQ(ParseOptionLines(bad, &options, &lineError), StartMode::kBadOption) << bad;
    EXPECT_FALSE(lineError.empty()) << bad;
  }
  StartOptions none;
  EXPECT_EQ(ParseOptionLines("", &none, &error), StartMode::kWindows);
  EXPECT_FALSE(none.seed.has_value());
  StartOptions batch;
  EXPECT_EQ(ParseOptionLines("--bmp=x.bmp", &batch, &error), StartMode::kBatch);
}

// GLUT's options are checked before glutInit could swallow one of ours as a
// value or end the program with its own message.
TEST(GlutOptions, AValueIsNeededAndNeverOneOfOurOptions) {
  const std::pair<std::vector<const char*>, std::string> refused[] = {
      {{"-display"}, "GLUT option '-display' needs a value, as in -display DISPLAY"},
      {{"--seed=1", "-geometry"}, "GLUT option '-geometry' needs a value, as in -geometry WxH+X+Y"},
      {{"-display", ""}, "GLUT option '-display' needs a value, as in -display DISPLAY"},
      {{"-display", "--seed=1", "--bmp=o.bmp"},
       "GLUT option '-display' needs a value, as in -display DISPLAY, not the option '--seed=1'"},
      {{"-geometry", "--bmp=o.bmp"},
       "GLUT option '-geometry' needs a value, as in -geometry WxH+X+Y, not the option "
       "'--bmp=o.bmp'"},
      {{"-geometry", "garbage"},
       "-geometry takes WIDTHxHEIGHT, +X+Y or both, as in 700x500+0+0 (sizes from 1, every "
       "number up to 32767; -X and -Y count from the right and bottom), not 'garbage'"},
  };
  for (const auto& [args, reason] : refused) {
    const Parsed bad = Parse(args);
    EXPECT_EQ(bad.mode, StartMode::kBadOption) << args[0];
    EXPECT_EQ(bad.error, reason) << args[0];
  }
  // A value that starts with one minus is a value: a place from the corner.
  const Parsed corner = Parse({"-geometry", "-0-0", "--bmp=a.bmp", "-sync"});
  EXPECT_EQ(corner.mode, StartMode::kBatch) << corner.error;
  EXPECT_EQ(corner.options.glut.given, (std::vector<std::string>{"-geometry -0-0", "-sync"}));
}

TEST(GlutOptions, GeometryInXsFormAndWhereItPutsTheWindow) {
  const WindowPlace usual = {0, 0, 700, 500};
  auto place = [&](const char* text) {
    WindowGeometry g;
    EXPECT_TRUE(ParseGeometry(text, &g)) << text;
    const WindowPlace p = PlaceWindow(g, usual, 1280, 1024);
    return std::vector<int>{p.x, p.y, p.width, p.height};
  };
  EXPECT_EQ(place("350x250+10+20"), (std::vector<int>{10, 20, 350, 250}));
  EXPECT_EQ(place("=350X250"), (std::vector<int>{0, 0, 350, 250}));
  EXPECT_EQ(place("+5+6"), (std::vector<int>{5, 6, 700, 500}));
  EXPECT_EQ(place("-0-0"), (std::vector<int>{580, 524, 700, 500}));
  EXPECT_EQ(place("100x50-10+7"), (std::vector<int>{1170, 7, 100, 50}));
  EXPECT_EQ(place("1x1+0+0"), (std::vector<int>{0, 0, 1, 1}));
  EXPECT_EQ(place("32767x32767+32767-32767"),
            (std::vector<int>{32767, 1024 - 32767 - 32767, 32767, 32767}));
  for (const char* text : {"", "=", "garbage", "0x0", "0x5", "5x0", "700", "700x", "x500",
                           "700x500+", "700x500+1", "+1", "+1+", "+1+2+3", "700x500 ",
                           " 700x500", "32768x1", "1x1+32768+0", "+-1+0", "700x500x1",
                           "1e3x1"}) {
    WindowGeometry g;
    EXPECT_FALSE(ParseGeometry(text, &g)) << text;
  }
}

// Every combination of the switched views and every octave view reads back
// from the command key i prints; with all of them off the command names none.
TEST(CommandLine, TheViewsReadBackFromTheReproducingCommand) {
  const ReproducedSettings plain{kValueOnly, kCubic, kZeroSlopes, 0, 0, kGreyscale};
  const std::string without = ReproducingCommand(7, plain, {});
  EXPECT_EQ(without.find("view"), std::string::npos);
  EXPECT_EQ(ReproducingCommand(7, plain, {}, TeachingViews{}), without);
  constexpr int kSwitches = static_cast<int>(std::size(kViewSwitches));
  for (int mask = 0; mask < 1 << kSwitches; mask++) {
    for (int mode = kAllOctaves; mode <= kFirstOctaves; mode++) {
      TeachingViews views;
      for (int v = 0; v < kSwitches; v++) views.*kViewSwitches[v].field = (mask >> v) & 1;
      views.octaveView = mode;
      views.octaveViewK = mode == kAllOctaves ? 1 : 1 + (mask + mode) % 8;
      const std::string line = ReproducingCommand(7, plain, {}, views);
      const Parsed back = ParseLine(line);
      ASSERT_EQ(back.mode, StartMode::kWindows) << line << ": " << back.error;
      const TeachingViews& r = back.options.views;
      EXPECT_EQ((std::vector<int>{r.octaves, r.derivatives, r.lattice, r.probe, r.stats,
                                  r.octaveView, r.octaveViewK}),
                (std::vector<int>{views.octaves, views.derivatives, views.lattice, views.probe,
                                  views.stats, views.octaveView, views.octaveViewK}))
          << line;
      EXPECT_EQ(NoViews(views), line == without) << line;
    }
  }
  for (const char* bad : {"--views=octave", "--views=", "--views=stats,stats", "--views=a,,b",
                          "--octave-view=one", "--octave-view=first:0", "--octave-view=one:9",
                          "--octave-view=all:1", "--octave-view=two:2"}) {
    const Parsed p = Parse({bad});
    EXPECT_EQ(p.mode, StartMode::kBadOption) << bad;
    EXPECT_NE(p.error.find(std::string(bad).substr(0, 7)), std::string::npos) << p.error;
  }
}
