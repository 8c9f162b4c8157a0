#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "render/colour_scale.h"
#include "app/app_state.h"
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

  // Nothing given: nothing chosen, the defaults stay Reset's.
  const Parsed none = Parse({});
  EXPECT_EQ(none.mode, StartMode::kWindows);
  EXPECT_FALSE(none.options.seed || none.options.noiseType || none.options.octaveIndex ||
               none.options.colourScale);
  EXPECT_EQ(*Parse({"--scale=gray"}).options.colourScale, kGreyscale);
  EXPECT_EQ(*Parse({"--seed=0", "--seed=12"}).options.seed, 12u);  // the last one counts

  EXPECT_EQ(Parse({"--stl=a.stl", "--seed=1"}).mode, StartMode::kBatch);
  EXPECT_EQ(Parse({"--bmp=a.bmp"}).options.bmpFile, "a.bmp");
  const Parsed formats = Parse({"--png=a.png", "--heightmap=h.png", "--stl-binary=b.stl"});
  EXPECT_EQ(formats.mode, StartMode::kBatch);
  EXPECT_EQ(formats.options.pngFile + formats.options.heightmapFile +
                formats.options.stlBinaryFile,
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
  EXPECT_EQ(ReproducingCommand(38, plain, 0),
            "noisedemo --seed=38 --noise=value --blend=cubic --slopes=zero --octaves=1 "
            "--scale=grey");
  const ReproducedSettings busy{kValueGradient, kQuintic, kCatmullRom, 7, 1, kFire};
  EXPECT_EQ(ReproducingCommand(4294967295u, busy, 1),
            "noisedemo --seed=4294967295 --noise=value+gradient --blend=quintic "
            "--slopes=catmull-rom --octaves=8 --turbulence --scale=fire (1 control point edited)");
  EXPECT_EQ(ReproducingCommand(5, plain, 3).substr(85), " (3 control points edited)");

  // Every combination parses back to what it says.
  for (int noise = 0; noise < 3; noise++) {
    for (int scale = 0; scale < 4; scale++) {
      const ReproducedSettings s{noise, scale % 2, (scale + noise) % 2, scale + noise, scale % 2,
                                 scale};
      std::vector<std::string> words;
      const std::string line = ReproducingCommand(123, s, 0);
      for (size_t at = 0; at < line.size();) {
        const size_t space = line.find(' ', at);
        words.push_back(line.substr(at, space - at));
        at = space == std::string::npos ? line.size() : space + 1;
      }
      std::vector<const char*> args;
      for (size_t k = 1; k < words.size(); k++) args.push_back(words[k].c_str());
      const Parsed p = Parse(args);
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
  MarkPointEdited(3);
  MarkPointEdited(3);
  MarkPointEdited(0);
  EXPECT_EQ(App.editedPoints, 0x9u);
  FillNewLattice();
  EXPECT_EQ(App.editedPoints, 0u);
  const uint32_t second = App.latticeSeed;
  EXPECT_NE(second, 2026u);
  const LatticePoint a = NoiseLattice[0][5];
  const LatticePoint b = NoiseLattice[1023][1023];
  SeedGenerator(second);
  FillLattice();
  EXPECT_EQ(std::memcmp(&a, &NoiseLattice[0][5], sizeof a), 0);
  EXPECT_EQ(std::memcmp(&b, &NoiseLattice[1023][1023], sizeof b), 0);
}
