// The words the command line prints: the help text, each setting's option
// word, and key i's reproducing command.
#include <string>
#include <vector>

#include "app/choices.h"
#include "app/command_line.h"
#include "app/export_formats.h"
#include "app/option_table.h"

namespace {

constexpr size_t kHelpColumn = 22;  // where an option's description starts
constexpr size_t kTextWidth = 79;

// `text` filled greedily into lines of at most kTextWidth characters.
std::string Wrapped(const std::string& text) {
  std::string out, line;
  size_t from = 0;
  while (from < text.size()) {
    size_t to = text.find(' ', from);
    if (to == std::string::npos) to = text.size();
    const std::string word = text.substr(from, to - from);
    if (!line.empty() && line.size() + 1 + word.size() > kTextWidth) {
      out += line + "\n";
      line.clear();
    }
    line += (line.empty() ? "" : " ") + word;
    from = to + 1;
  }
  return out + line + "\n";
}

// "  --form" padded to the column, then the description, each of its later
// lines indented to the column.
std::string OptionLine(const std::string& form, const std::string& help) {
  std::string line = "  " + form;
  line += std::string(kHelpColumn > line.size() ? kHelpColumn - line.size() : 1, ' ');
  for (char c : help) line += c == '\n' ? "\n" + std::string(kHelpColumn, ' ') : std::string(1, c);
  return line + "\n";
}

std::string BuildUsage() {
  std::string keys;
  for (const ExportFormatInfo& f : kExportFormats) keys += std::string(f.keyWords) + ", ";
  std::string viewKeys, viewWords;
  const size_t views = sizeof kViewSwitches / sizeof kViewSwitches[0];
  for (size_t k = 0; k < views; k++) {
    const char* between = k == 0 ? "" : k + 1 == views ? " and " : ", ";
    viewKeys += between + std::string(1, kViewSwitches[k].key);
    viewWords += between + std::string(kViewSwitches[k].word);
  }
  keys += viewKeys + " turn the " + viewWords + " views on and off, " + kOctaveViewKey +
          " steps the texture's octave view and " + kOctaveViewNumberKey + " its octave, ";
  std::string text =
      "Usage: noisedemo [GLUT options] [options]\n"
      "\n" +
      Wrapped("An interactive demonstrator of lattice noise: a graph of one-dimensional noise "
              "with eight draggable control points, a texture of two-dimensional noise and a "
              "control panel. Keys in the graph and texture windows: " +
              keys +
              "i prints the command line that reproduces the picture, edited points included, "
              "q or Escape quits.") +
      "\n"
      "Settings at start (the panel shows them and can change them):\n";
  for (size_t k = 0; k < kOptionCount; k++)
    if (kOptions[k].read != nullptr) text += OptionLine(kOptions[k].form, kOptions[k].help());
  text +=
      "\n"
      "Batch exports (no window, no display needed; the program exits when done):\n";
  for (const ExportFormatInfo& f : kExportFormats)
    text += OptionLine(std::string(f.option) + "=FILE", f.help);
  text += "  A FILE of - is standard output.\n\n";
  for (size_t k = 0; k < kOptionCount; k++)
    if (kOptions[k].read == nullptr) text += OptionLine(kOptions[k].form, kOptions[k].help());
  return text +
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

// Made once at load from the tables, which are constants.
const std::string kUsage = BuildUsage();

}  // namespace

const char* UsageText() { return kUsage.c_str(); }

const char* NoiseTypeWord(int noiseType) { return ChoiceOf(kNoiseChoices, noiseType).word; }
const char* BlendWord(int interpolation) { return ChoiceOf(kBlendChoices, interpolation).word; }
const char* SlopesWord(int gradientRule) { return ChoiceOf(kSlopeChoices, gradientRule).word; }
const char* ScaleWord(int colourScale) { return ChoiceOf(kScaleChoices, colourScale).word; }

std::string ReproducingCommand(uint32_t seed, const ReproducedSettings& settings,
                               const std::vector<PointEdit>& edits,
                               const TeachingViews& views) {
  const Reproduced picture{seed, settings, edits, views};
  std::string line = "noisedemo";
  for (size_t k = 0; k < kOptionCount; k++)
    if (kOptions[k].write != nullptr) kOptions[k].write(picture, &line);
  return line;
}
