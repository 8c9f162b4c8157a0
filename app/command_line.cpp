// The option table and its parse: every option's name, whether it takes a
// value and how that value is read, the --point grammar and the loop over
// argv. The words the program prints are in usage.cpp; numbers' own lexing
// in number_words.cpp.
#include "app/command_line.h"

#include <cstring>
#include <optional>
#include <vector>

#include "app/choices.h"
#include "app/export_formats.h"
#include "app/input_logic.h"
#include "app/number_words.h"
#include "app/option_table.h"
#include "noise/lattice.h"
#include "noise/noise_settings.h"
#include "render/colour_scale.h"
#include "render/graph_layout.h"

namespace {

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

std::string Quoted(const std::string& s) { return "'" + s + "'"; }

// ---------------------------------------------------------------------------
// --point=K:VALUE,GRADIENT,CURVATURE
// ---------------------------------------------------------------------------

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
  // A whole number, with or without a minus, is meant as a point: one out of
  // 0 to 7 is named as such ("-1", "8"); anything else is not of the form.
  const std::string number = text.substr(0, colon);
  const size_t digitsFrom = !number.empty() && number[0] == '-' ? 1 : 0;
  if (number.size() == digitsFrom ||
      number.find_first_not_of("0123456789", digitsFrom) != std::string::npos)
    return form;
  uint64_t point = 0;
  if (digitsFrom == 1 || !ParseWhole(number, kControlPoints - 1, &point)) {
    return "--point: control points run from 0 to " + std::to_string(kControlPoints - 1) +
           ", not " + Quoted(number);
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
    if (error == DecimalError::kTooSmall) {
      return std::string("--point: the ") + n.name + which + ", " + Quoted(fields[k]) +
             ", is nearer 0 than any float but 0 (it would read as 0); write 0";
    }
    if (error == DecimalError::kTooLarge || number < n.low || number > n.high) {
      return std::string("--point: the ") + n.name + which + " runs from " + n.range +
             ", not " + Quoted(fields[k]);
    }
    *n.into = number;
  }
  edit->point = static_cast<int>(point);
  return std::string();
}

// ---------------------------------------------------------------------------
// --views=WORD,WORD,...  and  --octave-view=all|one:K|first:K
// ---------------------------------------------------------------------------

std::string ViewWordList() {
  std::string list;
  const size_t n = sizeof kViewSwitches / sizeof kViewSwitches[0];
  for (size_t k = 0; k < n; k++) {
    if (!list.empty()) list += k + 1 == n ? " and " : ", ";
    list += kViewSwitches[k].word;
  }
  return list;
}

// The views named, each on; the views not named are off, so a later
// --views replaces an earlier one as every other option does.
std::string ReadViews(const std::string& value, TeachingViews* views) {
  const std::string form = "--views takes words from " + ViewWordList() +
                           ", separated by commas, not " + Quoted(value);
  TeachingViews read = *views;
  for (const ViewSwitch& v : kViewSwitches) read.*v.field = 0;
  for (const std::string& word : Fields(value)) {
    const ViewSwitch* named = nullptr;
    for (const ViewSwitch& v : kViewSwitches)
      if (word == v.word) named = &v;
    if (named == nullptr) return form;
    if (read.*named->field) return "--views names " + Quoted(word) + " twice";
    read.*named->field = 1;
  }
  *views = read;
  return std::string();
}

// "all, one:K or first:K"
std::string OctaveViewForms() {
  std::string forms;
  const size_t n = sizeof kOctaveViewChoices / sizeof kOctaveViewChoices[0];
  for (size_t k = 0; k < n; k++) {
    if (!forms.empty()) forms += k + 1 == n ? " or " : ", ";
    forms += kOctaveViewChoices[k].word;
    if (kOctaveViewChoices[k].id != kAllOctaves) forms += ":K";
  }
  return forms;
}

std::string ReadOctaveView(const std::string& value, TeachingViews* views) {
  const int most = kMaxOctaveIndex + 1;
  const std::string form = "--octave-view takes " + OctaveViewForms() + " with K from 1 to " +
                           std::to_string(most) + ", not " + Quoted(value);
  const size_t colon = value.find(':');
  int mode = 0;
  if (!ParseChoice(kOctaveViewChoices, value.substr(0, colon), &mode)) return form;
  if (mode == kAllOctaves) {
    if (colon != std::string::npos) return form;
    views->octaveView = kAllOctaves;
    return std::string();
  }
  uint64_t k = 0;
  if (colon == std::string::npos || !ParseWhole(value.substr(colon + 1), 99, &k) || k < 1 ||
      k > static_cast<uint64_t>(most))
    return form;
  views->octaveView = mode;
  views->octaveViewK = static_cast<int>(k);
  return std::string();
}

template <size_t N>
std::string ReadChoice(const char* option, const Choice (&choices)[N], const std::string& value,
                       std::optional<int>* into) {
  int choice = 0;
  if (!ParseChoice(choices, value, &choice))
    return std::string(option) + " takes " + ChoiceList(choices) + ", not " + Quoted(value);
  *into = choice;
  return std::string();
}

// A choice's help: its words and the default, the table's first row (Reset's).
template <size_t N>
std::string ChoiceHelp(const Choice (&choices)[N], const char* between = " ") {
  return ChoiceList(choices) + between + "(default " + choices[0].word + ")";
}

template <size_t N>
void WriteChoice(std::string* line, const char* option, const Choice (&choices)[N], int id) {
  *line += std::string(" ") + option + "=" + ChoiceOf(choices, id).word;
}

}  // namespace

// Every option of ours but the outputs, which come from kExportFormats, in
// the order the help text lists them and key i writes them.
constexpr OptionSpec kOptions[] = {
    {"--seed", true,
     [](const std::string& value, StartOptions* o) {
       uint64_t seed = 0;
       if (!ParseWhole(value, UINT32_MAX, &seed))
         return "--seed takes a whole number from 0 to 4294967295, not " + Quoted(value);
       o->seed = static_cast<uint32_t>(seed);
       return std::string();
     },
     "--seed=N",
     [] {
       return std::string("fill the first lattice from seed N (0 to 4294967295)\n"
                          "instead of the clock, so the picture can be made again");
     },
     [](const Reproduced& r, std::string* line) { *line += " --seed=" + std::to_string(r.seed); }},
    {"--noise", true,
     [](const std::string& value, StartOptions* o) {
       return ReadChoice("--noise", kNoiseChoices, value, &o->noiseType);
     },
     "--noise=TYPE", [] { return ChoiceHelp(kNoiseChoices); },
     [](const Reproduced& r, std::string* line) {
       WriteChoice(line, "--noise", kNoiseChoices, r.settings.noiseType);
     }},
    {"--blend", true,
     [](const std::string& value, StartOptions* o) {
       return ReadChoice("--blend", kBlendChoices, value, &o->interpolation);
     },
     "--blend=BLEND", [] { return ChoiceHelp(kBlendChoices); },
     [](const Reproduced& r, std::string* line) {
       WriteChoice(line, "--blend", kBlendChoices, r.settings.interpolation);
     }},
    {"--slopes", true,
     [](const std::string& value, StartOptions* o) {
       return ReadChoice("--slopes", kSlopeChoices, value, &o->gradientRule);
     },
     "--slopes=RULE", [] { return ChoiceHelp(kSlopeChoices, ", for value noise in 1D "); },
     [](const Reproduced& r, std::string* line) {
       WriteChoice(line, "--slopes", kSlopeChoices, r.settings.gradientRule);
     }},
    {"--octaves", true,
     [](const std::string& value, StartOptions* o) {
       uint64_t octaves = 0;
       if (!ParseWhole(value, 99, &octaves) || octaves < 1 || octaves > kMaxOctaveIndex + 1)
         return "--octaves takes a number from 1 to " + std::to_string(kMaxOctaveIndex + 1) +
                ", not " + Quoted(value);
       o->octaveIndex = static_cast<int>(octaves) - 1;
       return std::string();
     },
     "--octaves=K", [] { return "1 to " + std::to_string(kMaxOctaveIndex + 1) + " (default 1)"; },
     [](const Reproduced& r, std::string* line) {
       *line += " --octaves=" + std::to_string(r.settings.octaveIndex + 1);
     }},
    {"--turbulence", false,
     [](const std::string&, StartOptions* o) {
       o->turbulence = true;
       return std::string();
     },
     "--turbulence", [] { return std::string("fold every octave above the midpoint"); },
     [](const Reproduced& r, std::string* line) {
       if (r.settings.turbulence) *line += " --turbulence";
     }},
    {"--scale", true,
     [](const std::string& value, StartOptions* o) {
       // Both spellings of grey are common; the program itself writes "grey".
       return ReadChoice("--scale", kScaleChoices, value == "gray" ? "grey" : value,
                         &o->colourScale);
     },
     "--scale=SCALE", [] { return ChoiceHelp(kScaleChoices); },
     [](const Reproduced& r, std::string* line) {
       WriteChoice(line, "--scale", kScaleChoices, r.settings.colourScale);
     }},
    {"--views", true,
     [](const std::string& value, StartOptions* o) { return ReadViews(value, &o->views); },
     "--views=LIST",
     [] {
       return "teaching views to show (default none), a comma-separated\nlist of " +
              ViewWordList();
     },
     [](const Reproduced& r, std::string* line) {
       std::string list;
       for (const ViewSwitch& v : kViewSwitches)
         if (r.views.*v.field) list += (list.empty() ? "" : ",") + std::string(v.word);
       if (!list.empty()) *line += " --views=" + list;
     }},
    {"--octave-view", true,
     [](const std::string& value, StartOptions* o) { return ReadOctaveView(value, &o->views); },
     "--octave-view=VIEW",
     [] {
       return "the texture's octaves: " + OctaveViewForms() + "\n(octave K alone, or the first K; default all)";
     },
     [](const Reproduced& r, std::string* line) {
       if (r.views.octaveView == kAllOctaves) return;
       *line += std::string(" --octave-view=") + ChoiceOf(kOctaveViewChoices, r.views.octaveView).word +
                ":" + std::to_string(r.views.octaveViewK);
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
     },
     "--point=K:V,G,C",
     [] {
       return "after the seed's fill, give control point K (0 to " +
              std::to_string(kControlPoints - 1) +
              ") the\n"
              "value V (-1 to 1), gradient G (-1 to 1) and curvature C\n"
              "(-10 to 10), as a drag and the two sliders would; once\n"
              "per point, for as many points as were edited";
     },
     [](const Reproduced& r, std::string* line) {
       for (const PointEdit& e : r.edits) {
         *line += " --point=" + std::to_string(e.point) + ":" + FloatWord(e.value) + "," +
                  FloatWord(e.gradient) + "," + FloatWord(e.curvature);
       }
     }},
    {"--help", false, nullptr, "--help", [] { return std::string("show this text and exit"); },
     nullptr},
    {"--version", false, nullptr, "--version",
     [] { return std::string("show the version and exit"); }, nullptr},
};
constexpr size_t kOptionCount = sizeof kOptions / sizeof kOptions[0];

namespace {

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
    if (const GlutOption* glut = FindGlutOption(argv[k])) {
      bool tookValue = false;
      const std::string reason =
          ReadGlutOption(*glut, k + 1 < argc ? argv[k + 1] : nullptr, &options->glut, &tookValue);
      if (!reason.empty()) return bad(reason);
      if (tookValue) k++;
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
