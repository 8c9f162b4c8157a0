#include "app/export_formats.h"

#include <cctype>
#include <cstdio>

#include "app/choices.h"

const ExportFormatInfo& FormatInfo(ExportFormat format) {
  return kExportFormats[static_cast<int>(format)];
}

const ExportFormatInfo* FormatOfKey(unsigned char key) {
  for (const ExportFormatInfo& f : kExportFormats)
    if (std::tolower(key) == f.key) return &f;
  return nullptr;
}

std::string ExportFileName(ExportFormat format, int octaveIndex, int turbulence,
                           int colourScale) {
  const ExportFormatInfo& info = FormatInfo(format);
  char letter[2] = {info.scaleLetter ? ScaleChoiceOf(colourScale).letter : '\0', '\0'};
  char name[512];
  snprintf(name, sizeof name, "%s%03d%c%s%s", info.stem, octaveIndex + 1, turbulence ? 'T' : 'N',
           letter, info.extension);
  return name;
}
