// Saving a PNG safely, whichever encoder the build links: libpng's
// (png_writer.cpp) on the desktop, stored deflate (png_stored_writer.cpp)
// in the browser.
#include "export/png_writer.h"
#include "export/save_file.h"

bool SavePng(const std::string& fileName, const char* kind, const PngImage& image,
             const std::vector<PngText>& texts, FILE* messages) {
  return SaveFile(fileName, kind, messages,
                  [&](ByteSink& sink) { return WritePngImage(sink, image, texts); });
}
