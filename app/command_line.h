// The program's own command line: a seed, the settings to start with, batch
// exports that need no display, help and version.
//
// GLUT's options (-display, -geometry, ...) may stand anywhere; they are
// checked here (app/glut_options.h) and left for glutInit, which runs only
// when windows are opened. Everything is checked before a window opens, so a mistyped option
// never costs the user a window flash.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/export_formats.h"
#include "app/glut_options.h"
#include "app/number_words.h"  // FloatWord, which the reproducing command writes
#include "render/teaching_views.h"

// One control point (lattice row 0, column `point`) as --point sets it after
// the seed's fill: what a drag and the two sliders can set, and nothing else.
struct PointEdit {
  int point;        // 0..7
  float value;      // the drag's range, -1 to 1
  float gradient;   // gradient x, -1 to 1, as "Set Gradient"
  float curvature;  // curvature x, -10 to 10, as "Set Curvature"
};

struct StartOptions {
  std::optional<uint32_t> seed;
  std::optional<int> noiseType;     // NoiseTypeValue
  std::optional<int> interpolation; // InterpolationValue
  std::optional<int> gradientRule;  // GradientRuleValue
  std::optional<int> octaveIndex;   // 0..7
  bool turbulence = false;
  std::optional<int> colourScale;   // ColourScaleValue
  std::vector<PointEdit> points;    // in the order given, each point at most once
  TeachingViews views;              // --views and --octave-view; all off unless given
  // Batch exports, written without a window: the file each format goes to,
  // in the order of ExportFormat; empty when not asked for.
  std::string outputs[kExportFormatCount];
  // GLUT's options, checked, for glutInit (and -geometry for the graph
  // window); a batch run names them as ignored.
  GlutOptions glut;

  std::string& Output(ExportFormat format) { return outputs[static_cast<int>(format)]; }
  const std::string& Output(ExportFormat format) const {
    return outputs[static_cast<int>(format)];
  }
};

enum class StartMode { kWindows, kBatch, kHelp, kVersion, kBadOption };

// Reads argv[1..argc-1]. On kBadOption, *error holds a one-line reason.
StartMode ParseCommandLine(int argc, const char* const* argv, StartOptions* options,
                           std::string* error);

// The same options one per line, without the program's name, as the
// browser page passes its address's settings ("--seed=7\n--turbulence").
// Lines are taken whole: a value may hold spaces, which are then refused as
// on the command line.
StartMode ParseOptionLines(const std::string& lines, StartOptions* options, std::string* error);

// The --help text.
const char* UsageText();

// The settings a start option names, in the words the options use: the
// inverse of what ParseCommandLine accepts.
const char* NoiseTypeWord(int noiseType);
const char* BlendWord(int interpolation);
const char* SlopesWord(int gradientRule);
const char* ScaleWord(int colourScale);

// The settings part of a reproducing command line, after the seed.
struct ReproducedSettings {
  int noiseType;
  int interpolation;
  int gradientRule;
  int octaveIndex;
  int turbulence;
  int colourScale;
};

// "noisedemo --seed=S --noise=... --blend=... --slopes=... --octaves=...
// [--turbulence] --scale=... [--views=...] [--octave-view=...]
// [--point=K:V,G,C ...]", one --point for each edit, in the order given.
// Each number reads back to the same float. The views are named only when
// one is on, so a command without views reads as it always did.
std::string ReproducingCommand(uint32_t seed, const ReproducedSettings& settings,
                               const std::vector<PointEdit>& edits,
                               const TeachingViews& views = TeachingViews{});
