// The program's export formats, one row each: the keys, the batch options,
// the help text's words for both, the file names and the messages all read
// this table. What a format writes is its own code, in WriteExport
// (app/exports.cpp) and RunBatchExports (app/start.cpp).
#pragma once

#include <string>

enum class ExportFormat { kBmp, kPng, kHeightmap, kStl, kStlBinary };

struct ExportFormatInfo {
  ExportFormat id;
  const char* kind;       // in the failure messages: "Cannot write BMP file ..."
  const char* option;     // the batch option that writes it: "--bmp"
  const char* stem;       // the start of the file name a key gives it
  const char* extension;  // and its end
  bool scaleLetter;       // whether the name carries the colour scale's letter
  char key;               // the key that writes it, in either case
  const char* keyWords;   // in the help text's list of keys
  const char* help;       // the batch option's line in the help text
};

// In the order of ExportFormat's values, as the static_assert below holds.
inline constexpr ExportFormatInfo kExportFormats[] = {
    {ExportFormat::kBmp, "BMP", "--bmp", "image", ".bmp", true, 'b',
     "b saves the texture as a BMP image", "write the 512 x 512 texture as a 24-bit BMP image"},
    {ExportFormat::kPng, "PNG", "--png", "image", ".png", true, 'p', "p as a PNG",
     "the same image as a PNG"},
    {ExportFormat::kHeightmap, "HEIGHTMAP", "--heightmap", "height", ".png", false, 'h',
     "h saves a 16-bit heightmap", "the noise as a 512 x 512 16-bit greyscale PNG heightmap"},
    {ExportFormat::kStl, "STL", "--stl", "noise", ".stl", false, 's',
     "s saves the BMP and the noise as an ASCII STL solid",
     "write the noise as a closed ASCII STL height field"},
    {ExportFormat::kStlBinary, "STL", "--stl-binary", "noise", ".bin.stl", false, 'm',
     "m as a binary STL", "the same solid as a binary STL with colours"},
};

constexpr bool FormatsInOrder() {
  int k = 0;
  for (const ExportFormatInfo& f : kExportFormats)
    if (static_cast<int>(f.id) != k++) return false;
  return true;
}
static_assert(FormatsInOrder(), "kExportFormats stands in the order of ExportFormat");

constexpr int kExportFormatCount = sizeof kExportFormats / sizeof kExportFormats[0];

const ExportFormatInfo& FormatInfo(ExportFormat format);

// The format whose key `key` is (either case), or null.
const ExportFormatInfo* FormatOfKey(unsigned char key);

// The name a key saves to in the current folder: stem, the octave count in
// three digits, T or N for turbulence, the colour scale's letter (images
// only), extension: "image003TR.bmp", "height001N.png", "noise008T.bin.stl".
std::string ExportFileName(ExportFormat format, int octaveIndex, int turbulence,
                           int colourScale);
