// Every choice the program offers, one table each: the value the setting
// stores, the label of its radio button in the panel, the word of its start
// option (and of key i's command line), and for the colour scales the letter
// of an image file's name. A new choice is one more row here; the panel, the
// command line, the help text's lists and the file names follow the table.
//
// The panel's radio buttons number their choices from 0 in the order they
// were added, and the settings store that number: each table's rows stand in
// the order of their values, which the static_asserts below hold to.
#pragma once

#include <cstddef>

#include "noise/noise_settings.h"
#include "render/colour_scale.h"
#include "render/teaching_views.h"

struct Choice {
  int id;
  const char* label;  // the radio button's
  const char* word;   // the option's: --noise=WORD
  char letter;        // of a file name; only the colour scales have one
};

inline constexpr Choice kNoiseChoices[] = {
    {kValueOnly, "Value-Only", "value", '\0'},
    {kGradientOnly, "Gradient-Only", "gradient", '\0'},
    {kValueGradient, "Value+Gradient", "value+gradient", '\0'},
};
inline constexpr Choice kBlendChoices[] = {
    {kCubic, "Cubic", "cubic", '\0'},
    {kQuintic, "Quintic", "quintic", '\0'},
};
inline constexpr Choice kSlopeChoices[] = {
    {kZeroSlopes, "Zero", "zero", '\0'},
    {kCatmullRom, "Catmull-Rom", "catmull-rom", '\0'},
};
inline constexpr Choice kScaleChoices[] = {
    {kGreyscale, "Grayscale", "grey", 'G'},
    {kRainbow, "Rainbow scale", "rainbow", 'R'},
    {kClouds, "Blue -> White (clouds)", "clouds", 'S'},
    {kFire, "Red -> Yellow (fire)", "fire", 'Y'},
};

// How the texture window picks its octaves: --octave-view=all, one:K or
// first:K, and the Views panel's radio buttons.
inline constexpr Choice kOctaveViewChoices[] = {
    {kAllOctaves, "All octaves", "all", '\0'},
    {kOneOctave, "Octave k alone", "one", '\0'},
    {kFirstOctaves, "First k octaves", "first", '\0'},
};

// The teaching views that are on or off, in the order the Views panel, the
// list of --views and key i's command name them: the field each sets, its
// check box's label, its word and its key (lower case; either case works).
struct ViewSwitch {
  int TeachingViews::*field;
  const char* label;
  const char* word;
  char key;
};
inline constexpr ViewSwitch kViewSwitches[] = {
    {&TeachingViews::octaves, "Octaves", "octaves", 'o'},
    {&TeachingViews::derivatives, "Derivatives", "derivatives", 'd'},
    {&TeachingViews::lattice, "Lattice", "lattice", 'l'},
    {&TeachingViews::probe, "Probe", "probe", 'r'},
    {&TeachingViews::stats, "Statistics", "stats", 't'},
};
// Keys of the octave chooser: v steps to the next octave view (all, one,
// first, all ...), n to the next octave number (1 to kMaxOctaveIndex + 1, then 1
// again).
constexpr char kOctaveViewKey = 'v';
constexpr char kOctaveViewNumberKey = 'n';

template <size_t N>
constexpr bool InValueOrder(const Choice (&choices)[N]) {
  for (size_t k = 0; k < N; k++)
    if (choices[k].id != static_cast<int>(k)) return false;
  return true;
}
static_assert(InValueOrder(kNoiseChoices) && InValueOrder(kBlendChoices) &&
              InValueOrder(kSlopeChoices) && InValueOrder(kScaleChoices) &&
                  InValueOrder(kOctaveViewChoices),
              "a radio group stores its buttons' order: rows stand in the order of their values");

// The row of a stored value. A value outside the table is the first row, as
// the texture shows an unknown scale in grey.
template <size_t N>
constexpr const Choice& ChoiceOf(const Choice (&choices)[N], int id) {
  return id >= 0 && static_cast<size_t>(id) < N ? choices[id] : choices[0];
}
inline const Choice& ScaleChoiceOf(int colourScale) { return ChoiceOf(kScaleChoices, colourScale); }
