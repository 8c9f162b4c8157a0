// WritePngImage for a build without libpng (the browser's): the same
// header, text chunks and pixels in stored deflate blocks.
#include "export/png_stored.h"
#include "export/png_writer.h"

bool WritePngImage(ByteSink& file, const PngImage& image, const std::vector<PngText>& texts) {
  return WriteStoredPng(file, image, texts);
}
