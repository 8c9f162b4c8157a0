#include "app/command_line.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <cstring>
#include <vector>

#include "app/choices.h"
#include "app/export_formats.h"
#include "app/input_logic.h"
#include "noise/lattice.h"
#include "noise/noise_settings.h"
#include "render/colour_scale.h"
#include "render/graph_layout.h"

namespace {

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
      *value = c.id;
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

// ---------------------------------------------------------------------------
// --point=K:VALUE,GRADIENT,CURVATURE
// ---------------------------------------------------------------------------

// How a decimal number could not be read.
enum class DecimalError { kNone, kNotDecimal, kTooLargeOrSmall };

// A decimal number as people write one: an optional sign, digits with at
// most one point, an optional exponent. Not "nan", "inf", hexadecimal or
// spaces, which the library's readers would take. The float is the nearest
// to the decimal, as a compiler rounds a literal.
DecimalError ParseDecimal(const std::string& text, float* number) {
  size_t at = 0;
  auto sign = [&] {
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) at++;
  };
  auto digits = [&] {
    const size_t from = at;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') at++;
    return at - from;
  };
  sign();
  size_t mantissa = digits();
  if (at < text.size() && text[at] == '.') {
    at++;
    mantissa += digits();
  }
  if (mantissa == 0) return DecimalError::kNotDecimal;
  if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    at++;
    sign();
    if (digits() == 0) return DecimalError::kNotDecimal;
  }
  if (at != text.size()) return DecimalError::kNotDecimal;

  // The grammar above leaves strtof nothing of its own to take (no "nan",
  // "inf", hexadecimal or spaces), and the program never changes the "C"
  // locale, so the point is the decimal point. A result that overflows, or
  // underflows to zero, is not the number the user wrote; one that lands
  // among the smallest floats is.
  const char* first = text.c_str();
  char* end = nullptr;
  errno = 0;
  const float read = std::strtof(first, &end);
  if (end != first + text.size()) return DecimalError::kNotDecimal;
  if (errno == ERANGE && (std::isinf(read) || read == 0.0f)) return DecimalError::kTooLargeOrSmall;
  *number = read;
  return DecimalError::kNone;
}

// Splits at every comma; "" gives one empty field.
std::vector<std::string> Fields(const std::string& text) {
  std::vector<std::string> fields;
  size_t from = 0;
  for (size_t comma; (comma = text.find(',', from)) != std::string::npos; from = comma + 1)
    fields.push_back(text.substr(from, comma - from));
  fields.push_back(text.substr(from));
  return fields;
}

// Reads the value of one --point into *edit; on a mistake, returns its
// one-line reason, else an empty string. Only what the program itself can
// set is taken: the eight control points, each number in the range its drag
// or slider has.
std::string ParsePointEdit(const std::string& text, PointEdit* edit) {
  const std::string form = "--point takes K:VALUE,GRADIENT,CURVATURE with K from 0 to " +
                           std::to_string(kControlPoints - 1) + ", not " + Quoted(text);
  const size_t colon = text.find(':');
  if (colon == std::string::npos) return form;
  uint64_t point = 0;
  if (!ParseWhole(text.substr(0, colon), 99, &point)) return form;
  if (point >= static_cast<uint64_t>(kControlPoints)) {
    return "--point: control points run from 0 to " + std::to_string(kControlPoints - 1) +
           ", not " + Quoted(text.substr(0, colon));
  }
  const std::vector<std::string> fields = Fields(text.substr(colon + 1));
  if (fields.size() != 3) return form;

  struct Number {
    const char* name;
    float low, high;
    const char* range;
    float* into;
  };
  const Number numbers[] = {
      {"value", kDragValueMin, kDragValueMax, "-1 to 1", &edit->value},
      {"gradient", -kGradientBound, kGradientBound, "-1 to 1", &edit->gradient},
      {"curvature", -kCurvatureBound, kCurvatureBound, "-10 to 10", &edit->curvature},
  };
  const std::string which = " of control point " + std::to_string(point);
  for (size_t k = 0; k < 3; k++) {
    const Number& n = numbers[k];
    float number = 0.0f;
    const DecimalError error = ParseDecimal(fields[k], &number);
    if (error == DecimalError::kNotDecimal) {
      return std::string("--point: the ") + n.name + which + " must be a decimal number, not " +
             Quoted(fields[k]);
    }
    if (error == DecimalError::kTooLargeOrSmall) {
      return std::string("--point: the ") + n.name + which + ", " + Quoted(fields[k]) +
             ", is beyond what a float holds";
    }
    if (number < n.low || number > n.high) {
      return std::string("--point: the ") + n.name + which + " runs from " + n.range +
             ", not " + Quoted(fields[k]);
    }
    *n.into = number;
  }
  edit->point = static_cast<int>(point);
  return std::string();
}

// An option's value, read into the options: a one-line reason if it cannot
// be, else an empty string.
using ReadValue = std::string (*)(const std::string& value, StartOptions* options);

template <size_t N>
std::string ReadChoice(const char* option, const Choice (&choices)[N], const std::string& value,
                       std::optional<int>* into) {
  int choice = 0;
  if (!ParseChoice(choices, value, &choice))
    return std::string(option) + " takes " + ChoiceList(choices) + ", not " + Quoted(value);
  *into = choice;
  return std::string();
}

// Every option of ours but the outputs, which come from kExportFormats: its
// name, whether it takes a value, and how that value is read (a flag's
// reader gets an empty value; --help and --version have none).
struct OptionSpec {
  const char* name;
  bool takesValue;
  ReadValue read;
};

const OptionSpec kOptions[] = {
    {"--seed", true,
     [](const std::string& value, StartOptions* o) {
       uint64_t seed = 0;
       if (!ParseWhole(value, UINT32_MAX, &seed))
         return "--seed takes a whole number from 0 to 4294967295, not " + Quoted(value);
       o->seed = static_cast<uint32_t>(seed);
       return std::string();
     }},
    {"--noise", true,
     [](const std::string& value, StartOptions* o) {
       return ReadChoice("--noise", kNoiseChoices, value, &o->noiseType);
     }},
    {"--blend", true,
     [](const std::string& value, StartOptions* o) {
       return ReadChoice("--blend", kBlendChoices, value, &o->interpolation);
     }},
    {"--slopes", true,
     [](const std::string& value, StartOptions* o) {
       return ReadChoice("--slopes", kSlopeChoices, value, &o->gradientRule);
     }},
    {"--octaves", true,
     [](const std::string& value, StartOptions* o) {
       uint64_t octaves = 0;
       if (!ParseWhole(value, 99, &octaves) || octaves < 1 || octaves > kMaxOctaveIndex + 1)
         return "--octaves takes a number from 1 to 8, not " + Quoted(value);
       o->octaveIndex = static_cast<int>(octaves) - 1;
       return std::string();
     }},
    {"--turbulence", false,
     [](const std::string&, StartOptions* o) {
       o->turbulence = true;
       return std::string();
     }},
    {"--scale", true,
     [](const std::string& value, StartOptions* o) {
       // Both spellings of grey are common; the program itself writes "grey".
       return ReadChoice("--scale", kScaleChoices, value == "gray" ? "grey" : value,
                         &o->colourScale);
     }},
    {"--point", true,
     [](const std::string& value, StartOptions* o) {
       PointEdit edit{};
       const std::string reason = ParsePointEdit(value, &edit);
       if (!reason.empty()) return reason;
       // A second setting of one point would silently win; say so instead.
       for (const PointEdit& given : o->points) {
         if (given.point == edit.point)
           return "--point gives control point " + std::to_string(edit.point) + " twice";
       }
       o->points.push_back(edit);
       return std::string();
     }},
    {"--help", false, nullptr},
    {"--version", false, nullptr},
};

const OptionSpec* FindOption(const std::string& name) {
  for (const OptionSpec& o : kOptions)
    if (name == o.name) return &o;
  return nullptr;
}

const ExportFormatInfo* FindOutputOption(const std::string& name) {
  for (const ExportFormatInfo& f : kExportFormats)
    if (name == f.option) return &f;
  return nullptr;
}

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

    const OptionSpec* option = FindOption(name);
    const ExportFormatInfo* output = FindOutputOption(name);
    if (option == nullptr && output == nullptr) return bad("unknown option " + Quoted(name));
    if (option != nullptr && !option->takesValue) {
      if (hasValue) return bad("option " + Quoted(name) + " takes no value");
      help = help || name == "--help";
      version = version || name == "--version";
      if (option->read != nullptr) option->read(value, options);
      continue;
    }
    if (!hasValue || value.empty())
      return bad("option " + Quoted(name) + " needs a value, as in " + name + "=...");

    if (option != nullptr) {
      const std::string reason = option->read(value, options);
      if (!reason.empty()) return bad(reason);
      continue;
    }
    std::string& file = options->Output(output->id);
    // One output, one file: a second one would silently win over the first.
    if (!file.empty())
      return bad(name + "=" + file + " and " + arg + ": each output is written once");
    file = value;
  }

  if (help) return StartMode::kHelp;
  if (version) return StartMode::kVersion;
  for (const std::string& file : options->outputs)
    if (!file.empty()) return StartMode::kBatch;
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
         "reproduces the picture, edited points included, q or Escape quits.\n"
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
         "  --point=K:V,G,C     after the seed's fill, give control point K (0 to 7) the\n"
         "                      value V (-1 to 1), gradient G (-1 to 1) and curvature C\n"
         "                      (-10 to 10), as a drag and the two sliders would; once\n"
         "                      per point, for as many points as were edited\n"
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
         "Key i prints a command that makes the picture again, for instance\n"
         "  noisedemo --seed=7 --noise=value+gradient --blend=quintic --slopes=zero\n"
         "    --octaves=3 --scale=grey --point=3:0.9,0.75,-6.5\n"
         "and the same command with --png=FILE writes that picture without a window.\n"
         "\n"
         "GLUT's own options, such as -display DISPLAY and -geometry WxH+X+Y, may be\n"
         "given too. Exit status: 0 on success, 1 when a batch export fails, 2 for a\n"
         "mistake on the command line.\n";
}

const char* NoiseTypeWord(int noiseType) { return ChoiceOf(kNoiseChoices, noiseType).word; }
const char* BlendWord(int interpolation) { return ChoiceOf(kBlendChoices, interpolation).word; }
const char* SlopesWord(int gradientRule) { return ChoiceOf(kSlopeChoices, gradientRule).word; }
const char* ScaleWord(int colourScale) { return ChoiceOf(kScaleChoices, colourScale).word; }

std::string FloatWord(float number) {
  // The fewest significant digits that read back to the same float, so a
  // teacher reads "0.3" where "%.9g" would print 0.300000012; nine digits
  // always do. Plain decimals first ("10", not "1e+01"); only numbers that
  // printf writes with an exponent at any length (below 0.0001) keep one.
  // Written with printf and strtof rather than <charconv>, whose float forms
  // not every C++ library has (the browser build's has not).
  char text[32];
  for (const bool plain : {true, false}) {
    for (int digits = 1; digits <= 9; digits++) {
      snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(number));
      const float back = std::strtof(text, nullptr);
      if (std::memcmp(&back, &number, sizeof back) == 0 && (!plain || !std::strchr(text, 'e')))
        return text;
    }
  }
  return text;
}

std::string ReproducingCommand(uint32_t seed, const ReproducedSettings& s,
                               const std::vector<PointEdit>& edits) {
  std::string line = "noisedemo --seed=" + std::to_string(seed);
  line += std::string(" --noise=") + NoiseTypeWord(s.noiseType);
  line += std::string(" --blend=") + BlendWord(s.interpolation);
  line += std::string(" --slopes=") + SlopesWord(s.gradientRule);
  line += " --octaves=" + std::to_string(s.octaveIndex + 1);
  if (s.turbulence) line += " --turbulence";
  line += std::string(" --scale=") + ScaleWord(s.colourScale);
  for (const PointEdit& e : edits) {
    line += " --point=" + std::to_string(e.point) + ":" + FloatWord(e.value) + "," +
            FloatWord(e.gradient) + "," + FloatWord(e.curvature);
  }
  return line;
}

StartMode ParseOptionLines(const std::string& lines, StartOptions* options, std::string* error) {
  std::vector<std::string> words;
  size_t start = 0;
  while (start < lines.size()) {
    size_t end = lines.find('\n', start);
    if (end == std::string::npos) end = lines.size();
    words.push_back(lines.substr(start, end - start));
    start = end + 1;
  }
  std::vector<const char*> argv = {"noisedemo"};
  for (const std::string& word : words) argv.push_back(word.c_str());
  return ParseCommandLine(static_cast<int>(argv.size()), argv.data(), options, error);
}
