// Where a picture came from: the command line that makes it again, and the
// text chunks our PNG files carry.
#pragma once

#include <string>
#include <vector>

#include "export/png_writer.h"

// The command line that makes the current picture again, as key i prints it.
std::string ReproducingCommandNow();

// The text chunks of our PNG files: "Software" (name and version) and
// "Comment" (ReproducingCommandNow).
std::vector<PngText> PngTexts();
