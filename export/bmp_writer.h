// The BMP snapshot: an uncompressed 24-bit Windows BMP of the texture window.
//
// The format core writes an image from a pixel buffer to a ByteSink; SaveBmp
// puts that into a file safely and reports on a message stream.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "export/byte_sink.h"

constexpr uint32_t kBmpHeaderSize = 54;  // file header 14 + information header 40

// Sizes of the file for an image of width W and height H.
struct BmpLayout {
  uint32_t rowLength;  // R: 3W rounded up to a multiple of 4
  uint32_t rowPad;     // P = R - 3W, 0..3 zero bytes after each row
  uint32_t fileSize;   // 54 + H*R
};

// False when the image has no pixels, or is too large for the header's
// 32-bit fields; computed in 64 bits, so no size can wrap around.
bool ComputeBmpLayout(int width, int height, BmpLayout* layout);

// Least significant byte first, one byte at a time.
bool WriteInt16(ByteSink& file, uint16_t value);
bool WriteInt32(ByteSink& file, uint32_t value);

// Writes the two headers and the pixel rows. rgb holds width*height pixels as
// tightly packed red, green, blue bytes, the bottom row first, as a window
// read-back delivers them; the file stores each pixel blue, green, red. False
// if the size is unusable (see ComputeBmpLayout) or a write failed.
bool WriteBmpImage(ByteSink& file, const uint8_t* rgb, int width, int height);

// Writes the image to fileName, replacing a file of that name only once the
// new one is complete. Reports "Image file '%s' created.\n" on messages, or
// "Cannot create BMP file '%s'\n" / "Cannot write BMP file '%s'\n". True when
// the file was written.
bool SaveBmp(const std::string& fileName, const uint8_t* rgb, int width, int height,
             FILE* messages);

// True if a window of this size can be saved; otherwise says so on messages,
// with the reason on the next line, indented: the window's size when it has
// no pixels, or that the file would be too large.
bool CheckBmpWindowSize(int width, int height, FILE* messages);
