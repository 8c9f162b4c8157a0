#include "app/exports.h"

#include <GL/gl.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <new>
#include <vector>

#include "app/app_state.h"
#include "app/export_formats.h"
#include "app/heightmap.h"
#include "app/platform.h"
#include "app/png_texts.h"
#include "app/solid.h"
#include "app/windows.h"
#include "export/bmp_writer.h"
#include "export/printable.h"
#include "export/stl_binary.h"
#include "export/stl_writer.h"

namespace {

// How the window can be saved as each snapshot format: the name its messages
// go by, the window sizes it takes (saying why not, as the BMP check does for
// its own format) and its writer.
struct SnapshotSaver {
  ExportFormat format;
  const char* saver;
  bool (*checkSize)(int width, int height, FILE* messages);
  bool (*save)(const std::string& name, const uint8_t* rgb, int width, int height, FILE* messages);
};

const SnapshotSaver kSnapshotSavers[] = {
    {ExportFormat::kBmp, "WriteBmp()", CheckBmpWindowSize, SaveBmp},
    {ExportFormat::kPng, "WritePng()",
     [](int width, int height, FILE* messages) {
       if (width > 0 && height > 0) return true;
       fprintf(messages, "WritePng() cannot save a window of %d x %d pixels!\n", width, height);
       fprintf(messages, "  the window is %d x %d pixels\n", width, height);
       return false;
     },
     SaveSnapshotPng},
};

const SnapshotSaver* SaverOf(ExportFormat format) {
  for (const SnapshotSaver& s : kSnapshotSavers)
    if (s.format == format) return &s;
  return nullptr;
}

// What the texture window shows now, at its current size, bottom row first;
// empty (after saying why) when it cannot be saved in `format`.
std::vector<uint8_t> ReadTextureWindow(const SnapshotSaver& format, int* width, int* height) {
  Platform& platform = CurrentPlatform();
  platform.SetWindow(App.textureWindow);
  if (platform.Draws()) {
    glPixelStorei(GL_PACK_ALIGNMENT, 1);  // rows back to back, no gaps
    glReadBuffer(GL_FRONT);               // what the window shows now
  }
  *width = platform.WindowWidth();
  *height = platform.WindowHeight();
  std::vector<uint8_t> pixels;
  if (!format.checkSize(*width, *height, stderr)) return pixels;

  // Sizes were checked to be positive and to fit 32 bits: no wrap.
  const size_t size = static_cast<size_t>(*width) * 3 * static_cast<size_t>(*height);
  try {
    pixels.resize(size);
  } catch (const std::bad_alloc&) {
    fprintf(stderr, "%s cannot allocate the temporary array!\n", format.saver);
    return pixels;
  }
  if (platform.ReadShownWindow(*width, *height, pixels.data())) return pixels;
  if (!platform.Draws()) {
    // Nothing was drawn that could be read instead.
    fprintf(stderr, "%s cannot read the texture window\n", format.saver);
    pixels.clear();
    return pixels;
  }
  // The server cannot give the window (part of it lies off the screen, say)
  // and a software renderer may not keep a front buffer to read. Draw the
  // same picture once more into the back buffer and read that: the same
  // image at the same size, never shown.
  DrawTexture();
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, *width, *height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  glReadBuffer(GL_FRONT);
  return pixels;
}

std::string FileNameNow(ExportFormat format) {
  return ExportFileName(format, App.noise.octaveIndex, App.noise.turbulence, App.colourScale);
}

// Samples the current noise into a solid of its own, or says it cannot.
std::unique_ptr<Solid> SampleSolidNow() {
  std::unique_ptr<Solid> solid(new (std::nothrow) Solid);
  if (solid == nullptr) {
    fprintf(stderr, "Cannot make room for the STL solid\n");
    return solid;
  }
  SampleSolid(App.noise, solid.get());
  return solid;
}

}  // namespace

bool SaveSnapshotPng(const std::string& fileName, const uint8_t* rgb, int width, int height,
                     FILE* messages) {
  PngImage image;
  image.width = width;
  image.height = height;
  image.rgb = rgb;
  const bool ok = SavePng(fileName, FormatInfo(ExportFormat::kPng).kind, image, PngTexts(),
                          messages);
  if (ok) fprintf(messages, "Image file '%s' created.\n", Printable(fileName).c_str());
  return ok;
}

namespace {

void WriteSnapshot(const SnapshotSaver& format) {
  int width = 0, height = 0;
  const std::vector<uint8_t> pixels = ReadTextureWindow(format, &width, &height);
  if (pixels.empty()) return;
  format.save(FileNameNow(format.format), pixels.data(), width, height, stderr);
}

}  // namespace

void WriteExportFile(ExportFormat format) {
  if (const SnapshotSaver* snapshot = SaverOf(format)) {
    WriteSnapshot(*snapshot);
    return;
  }
  switch (format) {
    case ExportFormat::kHeightmap:
      SaveHeightmap(FileNameNow(ExportFormat::kHeightmap), App.noise, PngTexts(), stderr);
      break;
    case ExportFormat::kStl:
      if (const std::unique_ptr<Solid> solid = SampleSolidNow())
        SaveStl(FileNameNow(ExportFormat::kStl), solid->grid, solid->rgb, stderr);
      break;
    case ExportFormat::kStlBinary:
      if (const std::unique_ptr<Solid> solid = SampleSolidNow())
        SaveStlBinary(FileNameNow(ExportFormat::kStlBinary), solid->grid, solid->rgb, stderr);
      break;
    default: break;  // the snapshots, above
  }
}

void WriteExport(ExportFormat format) {
  // Key s saves the picture beside the solid.
  if (format == ExportFormat::kStl) WriteExportFile(ExportFormat::kBmp);
  WriteExportFile(format);
}
