#include "app/command_line.h"

#include <cstring>

#include "noise/noise_settings.h"
#include "render/colour_scale.h"

namespace {

// A named choice of one option, and the value the setting stores for it.
struct Choice {
  const char* word;
  int value;
};

const Choice kNoiseChoices[] = {
    {"value", kValueOnly}, {"gradient", kGradientOnly}, {"value+gradient", kValueGradient}};
const Choice kBlendChoices[] = {{"cubic", kCubic}, {"quintic", kQuintic}};
const Choice kSlopeChoices[] = {{"zero", kZeroSlopes}, {"catmull-rom", kCatmullRom}};
const Choice kScaleChoices[] = {
    {"grey", kGreyscale}, {"rainbow", kRainbow}, {"clouds", kClouds}, {"fire", kFire}};

template <size_t N>
const char* WordOf(const Choice (&choices)[N], int value) {
  for (const Choice& c : choices)
    if (c.value == value) return c.word;
  return choices[0].word;
}

template <size_t N>
std::string ChoiceList(const Choice (&choices)[N]) {
  std::string list;
  for (size_t k = 0; k < N; k++) {
    if (!list.empty()) list += k + 1 == N ? " or " : ", ";
    list += choices[k].word;
  }
  return list;
}

template <size_t N>
bool ParseChoice(const Choice (&choices)[N], const std::string& text, int* value) {
  for (const Choice& c : choices) {
    if (text == c.word) {
      *value = c.value;
      return true;
    }
  }
  return false;
}

// Digits only (no sign, no spaces), at most `maximum`.
bool ParseWhole(const std::string& text, uint64_t maximum, uint64_t* value) {
  if (text.empty() || text.size() > 20) return false;
  uint64_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    const uint64_t digit = static_cast<uint64_t>(c - '0');
    if (v > (maximum - digit) / 10) return false;
    v = v * 10 + digit;
  }
  *value = v;
  return true;
}

// GLUT's own options, which glutInit takes out of argv; those with a value
// take the next argument too.
bool IsGlutOption(const char* arg, bool* takesValue) {
  static const char* const kWithValue[] = {"-display", "-geometry"};
  static const char* const kFlags[] = {"-direct", "-indirect", "-iconic", "-gldebug", "-sync"};
  for (const char* o : kWithValue)
    if (strcmp(arg, o) == 0) return *takesValue = true;
  for (const char* o : kFlags) {
    if (strcmp(arg, o) == 0) {
      *takesValue = false;
      return true;
    }
  }
  return false;
}

std::string Quoted(const std::string& s) { return "'" + s + "'"; }

}  // namespace

StartMode ParseCommandLine(int argc, const char* const* argv, StartOptions* options,
                           std::string* error) {
  bool help = false;
  bool version = false;
  auto bad = [error](const std::string& reason) {
    *error = reason;
    return StartMode::kBadOption;
  };

  for (int k = 1; k < argc; k++) {
    const std::string arg = argv[k];
    bool takesValue = false;
    if (IsGlutOption(argv[k], &takesValue)) {
      if (takesValue) k++;  // a missing value is glutInit's to report
      continue;
    }
    if (arg.compare(0, 2, "--") != 0) {
      if (!arg.empty() && arg[0] == '-') return bad("unknown option " + Quoted(arg));
      return bad("unexpected argument " + Quoted(arg) + "; every option starts with --");
    }

    const size_t equals = arg.find('=');
    const std::string name = arg.substr(0, equals);
    const bool hasValue = equals != std::string::npos;
    const std::string value = hasValue ? arg.substr(equals + 1) : std::string();

    // Options that take no value.
    if (name == "--turbulence" || name == "--help" || name == "--version") {
      if (hasValue) return bad("option " + Quoted(name) + " takes no value");
      if (name == "--turbulence") options->turbulence = true;
      if (name == "--help") help = true;
      if (name == "--version") version = true;
      continue;
    }

    const bool known = name == "--seed" || name == "--noise" || name == "--blend" ||
                       name == "--slopes" || name == "--octaves" || name == "--scale" ||
                       name == "--bmp" || name == "--stl" || name == "--png" ||
                       name == "--heightmap" || name == "--stl-binary";
    if (!known) return bad("unknown option " + Quoted(name));
    if (!hasValue || value.empty())
      return bad("option " + Quoted(name) + " needs a value, as in " + name + "=...");

    int choice = 0;
    if (name == "--seed") {
      uint64_t seed = 0;
      if (!ParseWhole(value, UINT32_MAX, &seed))
        return bad("--seed takes a whole number from 0 to 4294967295, not " + Quoted(value));
      options->seed = static_cast<uint32_t>(seed);
    } else if (name == "--octaves") {
      uint64_t octaves = 0;
      if (!ParseWhole(value, 99, &octaves) || octaves < 1 || octaves > kMaxOctaveIndex + 1)
        return bad("--octaves takes a number from 1 to 8, not " + Quoted(value));
      options->octaveIndex = static_cast<int>(octaves) - 1;
    } else if (name == "--noise") {
      if (!ParseChoice(kNoiseChoices, value, &choice))
        return bad("--noise takes " + ChoiceList(kNoiseChoices) + ", not " + Quoted(value));
      options->noiseType = choice;
    } else if (name == "--blend") {
      if (!ParseChoice(kBlendChoices, value, &choice))
        return bad("--blend takes " + ChoiceList(kBlendChoices) + ", not " + Quoted(value));
      options->interpolation = choice;
    } else if (name == "--slopes") {
      if (!ParseChoice(kSlopeChoices, value, &choice))
        return bad("--slopes takes " + ChoiceList(kSlopeChoices) + ", not " + Quoted(value));
      options->gradientRule = choice;
    } else if (name == "--scale") {
      // Both spellings of grey are common; the program itself writes "grey".
      if (!ParseChoice(kScaleChoices, value == "gray" ? "grey" : value, &choice))
        return bad("--scale takes " + ChoiceList(kScaleChoices) + ", not " + Quoted(value));
      options->colourScale = choice;
    } else {
      std::string& file = name == "--bmp"          ? options->bmpFile
                          : name == "--png"        ? options->pngFile
                          : name == "--heightmap"  ? options->heightmapFile
                          : name == "--stl-binary" ? options->stlBinaryFile
                                                   : options->stlFile;
      // One output, one file: a second one would silently win over the first.
      if (!file.empty())
        return bad(name + "=" + file + " and " + arg + ": each output is written once");
      file = value;
    }
  }

  if (help) return StartMode::kHelp;
  if (version) return StartMode::kVersion;
  if (!options->bmpFile.empty() || !options->stlFile.empty() || !options->pngFile.empty() ||
      !options->heightmapFile.empty() || !options->stlBinaryFile.empty())
    return StartMode::kBatch;
  return StartMode::kWindows;
}

const char* UsageText() {
  return "Usage: noisedemo [GLUT options] [options]\n"
         "\n"
         "An interactive demonstrator of lattice noise: a graph of one-dimensional noise\n"
         "with eight draggable control points, a texture of two-dimensional noise and a\n"
         "control panel. Keys in the graph and texture windows: b saves the texture as a\n"
         "BMP image, p as a PNG, h saves a 16-bit heightmap, s saves the BMP and the\n"
         "noise as an ASCII STL solid, m as a binary STL, i prints the command line that\n"
         "reproduces the picture, q or Escape quits.\n"
         "\n"
         "Settings at start (the panel shows them and can change them):\n"
         "  --seed=N            fill the first lattice from seed N (0 to 4294967295)\n"
         "                      instead of the clock, so the picture can be made again\n"
         "  --noise=TYPE        value, gradient or value+gradient (default value)\n"
         "  --blend=BLEND       cubic or quintic (default cubic)\n"
         "  --slopes=RULE       zero or catmull-rom, for value noise in 1D (default zero)\n"
         "  --octaves=K         1 to 8 (default 1)\n"
         "  --turbulence        fold every octave above the midpoint\n"
         "  --scale=SCALE       grey, rainbow, clouds or fire (default grey)\n"
         "\n"
         "Batch exports (no window, no display needed; the program exits when done):\n"
         "  --bmp=FILE          write the 512 x 512 texture as a 24-bit BMP image\n"
         "  --png=FILE          the same image as a PNG\n"
         "  --heightmap=FILE    the noise as a 512 x 512 16-bit greyscale PNG heightmap\n"
         "  --stl=FILE          write the noise as a closed ASCII STL height field\n"
         "  --stl-binary=FILE   the same solid as a binary STL with colours\n"
         "  A FILE of - is standard output.\n"
         "\n"
         "  --help              show this text and exit\n"
         "  --version           show the version and exit\n"
         "\n"
         "GLUT's own options, such as -display DISPLAY and -geometry WxH+X+Y, may be\n"
         "given too. Exit status: 0 on success, 1 when a batch export fails, 2 for a\n"
         "mistake on the command line.\n";
}

const char* NoiseTypeWord(int noiseType) { return WordOf(kNoiseChoices, noiseType); }
const char* BlendWord(int interpolation) { return WordOf(kBlendChoices, interpolation); }
const char* SlopesWord(int gradientRule) { return WordOf(kSlopeChoices, gradientRule); }
const char* ScaleWord(int colourScale) { return WordOf(kScaleChoices, colourScale); }

std::string ReproducingCommand(uint32_t seed, const ReproducedSettings& s, int editedPoints) {
  std::string line = "noisedemo --seed=" + std::to_string(seed);
  line += std::string(" --noise=") + NoiseTypeWord(s.noiseType);
  line += std::string(" --blend=") + BlendWord(s.interpolation);
  line += std::string(" --slopes=") + SlopesWord(s.gradientRule);
  line += " --octaves=" + std::to_string(s.octaveIndex + 1);
  if (s.turbulence) line += " --turbulence";
  line += std::string(" --scale=") + ScaleWord(s.colourScale);
  if (editedPoints > 0) {
    line += " (" + std::to_string(editedPoints) + " control point" +
            (editedPoints == 1 ? "" : "s") + " edited)";
  }
  return line;
}
