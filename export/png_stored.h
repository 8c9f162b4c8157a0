// PNG images without libpng, for the browser build, which has none: the
// same header, text chunks and pixels as WritePngImage (export/png_writer.h)
// writes, with the image data in stored (uncompressed) deflate blocks. The
// files are larger than libpng's, every decoder reads them the same way.
#pragma once

#include <vector>

#include "export/byte_sink.h"
#include "export/png_writer.h"

// Writes the image (rows bottom row first, as PngImage says) and its tEXt
// chunks. False if the image has no pixels, has both or neither sample
// kinds, or a write failed.
bool WriteStoredPng(ByteSink& file, const PngImage& image, const std::vector<PngText>& texts);

// The CRC-32 of the PNG chunks (ISO 3309, the one zip and Ethernet use)
// over size bytes, continuing from crc (0 to start).
uint32_t PngCrc32(const uint8_t* data, size_t size, uint32_t crc = 0);
