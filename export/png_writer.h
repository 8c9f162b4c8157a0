// PNG images over a ByteSink, through libpng: the snapshot as 8-bit RGB and
// the heightmap as 16-bit greyscale, each with text chunks that say where it
// came from.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "export/byte_sink.h"

// One tEXt chunk: a keyword ("Software", "Comment", ...) and its Latin-1 text.
struct PngText {
  std::string keyword;
  std::string text;
};

// An image whose rows come bottom row first, as a window read-back and the
// noise texture hold them; the PNG stores them top row first, so the picture
// stands as it does on the screen.
struct PngImage {
  int width;
  int height;
  const uint8_t* rgb = nullptr;       // 8-bit RGB: width * height * 3 bytes
  const uint16_t* grey16 = nullptr;   // or 16-bit grey: width * height samples
};

// Writes the image and its text chunks. False if the image has no pixels or
// a write failed (then the bytes written so far are not a PNG).
bool WritePngImage(ByteSink& file, const PngImage& image, const std::vector<PngText>& texts);

// Writes the image to fileName safely. On failure prints "Cannot create KIND
// file '%s'" or "Cannot write KIND file '%s'" with the reason; the success
// message is the caller's. True when the file was written.
bool SavePng(const std::string& fileName, const char* kind, const PngImage& image,
             const std::vector<PngText>& texts, FILE* messages);
