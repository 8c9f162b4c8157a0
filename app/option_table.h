// The command line's own options, one row each: how each is read, how the
// help text describes it and how key i's command writes it back. The parse
// (command_line.cpp) and the printed words (usage.cpp) both read this table.
#pragma once

#include <cstddef>
#include <string>

#include "app/choices.h"
#include "app/command_line.h"

// What key i's command is made from.
struct Reproduced {
  uint32_t seed;
  const ReproducedSettings& settings;
  const std::vector<PointEdit>& edits;
  const TeachingViews& views;
};

struct OptionSpec {
  const char* name;
  bool takesValue;
  // Reads the value into the options: a one-line reason if it cannot be,
  // else an empty string. A flag's reader gets an empty value; --help and
  // --version have none.
  std::string (*read)(const std::string& value, StartOptions* options);
  const char* form;         // in the help text: "--seed=N"
  std::string (*help)();    // and after it; each '\n' starts an indented line
  // Its words in key i's command (" --seed=7"), or null for an option that
  // is not a setting.
  void (*write)(const Reproduced& picture, std::string* line);
};

extern const OptionSpec kOptions[];
extern const size_t kOptionCount;

// A choice table's words as a list: "a, b or c".
template <size_t N>
std::string ChoiceList(const Choice (&choices)[N]) {
  std::string list;
  for (size_t k = 0; k < N; k++) {
    if (!list.empty()) list += k + 1 == N ? " or " : ", ";
    list += choices[k].word;
  }
  return list;
}
