// GLUT's own options (-display, -geometry, ...), checked by us before glutInit
// sees them: glutInit takes the word after an option that needs a value,
// whatever it is, so "-display --seed=1" would lose the seed, and it reports
// a missing value with an exit of its own. Only a windowed start hands them
// on; a batch export names them as ignored.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct GlutOption {
  const char* name;   // "-display"
  const char* value;  // what its value is called in messages ("DISPLAY"), or null for a flag
};

// The options glutInit takes out of argv; null for any other word.
const GlutOption* FindGlutOption(const char* word);

// The graph window's size and place as -geometry gives them, in X's form
// [=][WIDTHxHEIGHT][{+-}X{+-}Y]: a size, a place or both. A place with a
// minus counts from the right or bottom edge of the screen to the window's.
struct WindowGeometry {
  bool hasSize = false;
  int width = 0, height = 0;  // 1 to 32767
  bool hasPlace = false;
  int x = 0, y = 0;  // 0 to 32767
  bool fromRight = false, fromBottom = false;
};

// False for anything else: "garbage", "0x0", "700x", a number too large.
bool ParseGeometry(const std::string& text, WindowGeometry* geometry);

struct WindowPlace {
  int x, y, width, height;
};

// Where a window opens: `defaults` with what `geometry` gives put over it,
// an edge-relative place worked out on a screen of that size.
WindowPlace PlaceWindow(const WindowGeometry& geometry, WindowPlace defaults, int screenWidth,
                        int screenHeight);

// The GLUT options of a command line, as glutInit will take them.
struct GlutOptions {
  std::vector<std::string> given;         // each as written: "-display :1", "-sync"
  std::optional<WindowGeometry> geometry;  // the last -geometry
};

// Reads one GLUT option; `next` is the word after it (null at the end).
// Returns its one-line reason if it cannot be taken (a value missing, empty,
// another option of ours, or a -geometry we cannot read), else an empty
// string, and *used says whether `next` was its value.
std::string ReadGlutOption(const GlutOption& option, const char* next, GlutOptions* options,
                           bool* used);
