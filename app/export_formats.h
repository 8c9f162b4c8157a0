// The program's export formats, one row each: the key handlers, the batch
// options, the file names and the messages all read this table.
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
};

// In the order of ExportFormat's values, as the static_assert below holds.
inline constexpr ExportFormatInfo kExportFormats[] = {
    {ExportFormat::kBmp, "BMP", "--bmp", "image", ".bmp", true},
    {ExportFormat::kPng, "PNG", "--png", "image", ".png", true},
    {ExportFormat::kHeightmap, "HEIGHTMAP", "--heightmap", "height", ".png", false},
    {ExportFormat::kStl, "STL", "--stl", "noise", ".stl", false},
    {ExportFormat::kStlBinary, "STL", "--stl-binary", "noise", ".bin.stl", false},
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

// The name a key saves to in the current folder: stem, the octave count in
// three digits, T or N for turbulence, the colour scale's letter (images
// only), extension: "image003TR.bmp", "height001N.png", "noise008T.bin.stl".
std::string ExportFileName(ExportFormat format, int octaveIndex, int turbulence,
                           int colourScale);
