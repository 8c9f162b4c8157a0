#include "export/printable.h"

#include <cstdio>

namespace {

void Escape(unsigned char byte, std::string* out) {
  switch (byte) {
    case '\n': *out += "\\n"; return;
    case '\r': *out += "\\r"; return;
    case '\t': *out += "\\t"; return;
    default: {
      char hex[5];
      snprintf(hex, sizeof hex, "\\x%02x", byte);
      *out += hex;
    }
  }
}

// The length of the valid UTF-8 sequence at `at` (2 to 4), or 0.
size_t SequenceLength(const std::string& text, size_t at) {
  const unsigned char lead = static_cast<unsigned char>(text[at]);
  size_t length = 0;
  unsigned min = 0;
  unsigned code = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, min = 0x80, code = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, min = 0x800, code = lead & 0x0Fu;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, min = 0x10000, code = lead & 0x07u;
  } else {
    return 0;
  }
  if (at + length > text.size()) return 0;
  for (size_t k = 1; k < length; k++) {
    const unsigned char next = static_cast<unsigned char>(text[at + k]);
    if ((next & 0xC0) != 0x80) return 0;
    code = (code << 6) | (next & 0x3Fu);
  }
  // Overlong forms, surrogates and what lies beyond U+10FFFF are not UTF-8;
  // the C1 controls are, but a terminal obeys them.
  if (code < min || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return 0;
  if (code >= 0x80 && code <= 0x9F) return 0;
  return length;
}

}  // namespace

std::string Printable(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t at = 0; at < text.size();) {
    const unsigned char byte = static_cast<unsigned char>(text[at]);
    if (byte < 0x80) {
      if (byte < 0x20 || byte == 0x7F) {
        Escape(byte, &out);
      } else {
        out += static_cast<char>(byte);
      }
      at++;
      continue;
    }
    const size_t length = SequenceLength(text, at);
    if (length == 0) {
      Escape(byte, &out);
      at++;
      continue;
    }
    out.append(text, at, length);
    at += length;
  }
  return out;
}
