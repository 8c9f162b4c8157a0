#include "app/glut_options.h"

#include <cstring>

namespace {

const GlutOption kGlutOptions[] = {
    {"-display", "DISPLAY"}, {"-geometry", "WxH+X+Y"}, {"-direct", nullptr},
    {"-indirect", nullptr},  {"-iconic", nullptr},     {"-gldebug", nullptr},
    {"-sync", nullptr},
};

constexpr int kMaxCoordinate = 32767;  // X's window sizes and places are 16-bit

// Digits at *at, at most kMaxCoordinate; false when there are none or too many.
bool ReadNumber(const std::string& text, size_t* at, int* number) {
  const size_t from = *at;
  long value = 0;
  while (*at < text.size() && text[*at] >= '0' && text[*at] <= '9') {
    value = value * 10 + (text[*at] - '0');
    if (value > kMaxCoordinate) return false;
    (*at)++;
  }
  *number = static_cast<int>(value);
  return *at > from;
}

}  // namespace

const GlutOption* FindGlutOption(const char* word) {
  for (const GlutOption& option : kGlutOptions)
    if (strcmp(word, option.name) == 0) return &option;
  return nullptr;
}

bool ParseGeometry(const std::string& text, WindowGeometry* geometry) {
  WindowGeometry g;
  size_t at = 0;
  if (at < text.size() && text[at] == '=') at++;
  if (at < text.size() && text[at] >= '0' && text[at] <= '9') {
    if (!ReadNumber(text, &at, &g.width) || g.width == 0) return false;
    if (at >= text.size() || (text[at] != 'x' && text[at] != 'X')) return false;
    at++;
    if (!ReadNumber(text, &at, &g.height) || g.height == 0) return false;
    g.hasSize = true;
  }
  if (at < text.size()) {
    for (bool* fromEnd : {&g.fromRight, &g.fromBottom}) {
      if (at >= text.size() || (text[at] != '+' && text[at] != '-')) return false;
      *fromEnd = text[at++] == '-';
      if (!ReadNumber(text, &at, fromEnd == &g.fromRight ? &g.x : &g.y)) return false;
    }
    g.hasPlace = true;
  }
  if (at != text.size() || (!g.hasSize && !g.hasPlace)) return false;
  *geometry = g;
  return true;
}

WindowPlace PlaceWindow(const WindowGeometry& geometry, WindowPlace defaults, int screenWidth,
                        int screenHeight) {
  WindowPlace place = defaults;
  if (geometry.hasSize) {
    place.width = geometry.width;
    place.height = geometry.height;
  }
  if (geometry.hasPlace) {
    place.x = geometry.fromRight ? screenWidth - place.width - geometry.x : geometry.x;
    place.y = geometry.fromBottom ? screenHeight - place.height - geometry.y : geometry.y;
  }
  return place;
}

std::string ReadGlutOption(const GlutOption& option, const char* next, GlutOptions* options,
                           bool* used) {
  *used = false;
  const std::string name = option.name;
  if (option.value == nullptr) {
    options->given.push_back(name);
    return std::string();
  }
  const std::string form = "GLUT option '" + name + "' needs a value, as in " + name + " " +
                           option.value;
  // Its value never starts with "--": that is one of our options, which
  // glutInit would swallow as the value.
  if (next == nullptr || *next == '\0') return form;
  const std::string value = next;
  if (value.compare(0, 2, "--") == 0) return form + ", not the option '" + value + "'";
  if (name == "-geometry") {
    WindowGeometry geometry;
    if (!ParseGeometry(value, &geometry)) {
      return "-geometry takes WIDTHxHEIGHT, +X+Y or both, as in 700x500+0+0 (sizes from 1, "
             "every number up to 32767; -X and -Y count from the right and bottom), not '" +
             value + "'";
    }
    options->geometry = geometry;
  }
  options->given.push_back(name + " " + value);
  *used = true;
  return std::string();
}
