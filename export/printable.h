// Text from the user (an option, a file name, a key) as a message can show it
// on a terminal without the terminal acting on it.
#pragma once

#include <string>

// `text` with every control character written out: "\r", "\n", "\t" and
// "\x1b" style escapes for the C0 controls and DEL, the same "\xNN" form for
// each byte of a C1 control (U+0080 to U+009F, which a terminal also obeys)
// and for each byte that is not part of valid UTF-8. Everything else,
// backslashes and UTF-8 letters included, stays as it is, so a plain name
// reads as the user typed it.
std::string Printable(const std::string& text);
