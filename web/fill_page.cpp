// The browser page's side in WebAssembly: the settings from the page's
// address (read by the command line's own parser, so the same words are
// taken and the same mistakes refused), the texture fill, the picture in the
// canvas's order and the downloads of keys b, p, h, s and m.
//
// The page (page.js) calls these functions; every one runs to completion on
// the page's thread (the fill itself may spread over web workers) and keeps
// its result in a static buffer the page copies out of.
#include <emscripten/emscripten.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/export_formats.h"
#include "app/heightmap.h"
#include "app/solid.h"
#include "export/bmp_writer.h"
#include "export/memory_sink.h"
#include "export/png_stored.h"
#include "export/stl_binary.h"
#include "export/stl_writer.h"
#include "noise/lattice.h"
#include "render/colour_scale.h"
#include "render/texture_fill_fast.h"
#include "render/texture_image.h"
#include "render/worker_pool.h"

namespace {

// The settings the page shows, with the desktop's defaults (Reset).
NoiseSettings Settings = {kValueOnly, kCubic, kZeroSlopes, 0, 0};
int Scale = kGreyscale;
uint32_t Seed = 0;
std::vector<PointEdit> Points;  // the control points the address edits
bool Started = false;

std::string Text;                    // the last message or line handed to the page
std::vector<uint8_t> Bytes;          // the last file handed to the page
std::string Failure;                 // why the last file could not be made
int Facets = 0;                      // in the last STL file made
uint8_t Canvas[kTextureSize * kTextureSize * 4];  // RGBA, top row first

// The command line that makes the picture again, as key i prints it.
std::string Command() {
  const ReproducedSettings s = {Settings.noiseType, Settings.interpolation,
                                Settings.gradientRule, Settings.octaveIndex,
                                Settings.turbulence, Scale};
  return ReproducingCommand(Seed, s, Points);
}

// Splits the page's options, one per line.
std::vector<std::string> Lines(const char* text) {
  std::vector<std::string> lines;
  std::string line;
  for (const char* p = text; *p; p++) {
    if (*p == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line += *p;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

}  // namespace

extern "C" {

// Takes the options (one "--name=value" per line, as the page's address gives
// them) and fills the lattice. Returns "" when they were taken, otherwise the
// reason they were refused; then nothing changes, so no picture is ever made
// from half-read settings. A seed-less address gets a seed from the clock,
// as the desktop does.
EMSCRIPTEN_KEEPALIVE const char* NdStart(const char* optionLines) {
  const std::vector<std::string> lines = Lines(optionLines);
  std::vector<const char*> argv = {"noisedemo"};
  for (const std::string& line : lines) argv.push_back(line.c_str());
  StartOptions options;
  std::string error;
  const StartMode mode =
      ParseCommandLine(static_cast<int>(argv.size()), argv.data(), &options, &error);
  switch (mode) {
    case StartMode::kBadOption: Text = error; return Text.c_str();
    case StartMode::kHelp:
    case StartMode::kVersion:
      Text = "the page takes the settings only; the usage is that of the command line";
      return Text.c_str();
    case StartMode::kBatch:
      Text = "the page writes no files from its address; press b to download the BMP image";
      return Text.c_str();
    case StartMode::kWindows: break;
  }
  NoiseSettings settings = {kValueOnly, kCubic, kZeroSlopes, 0, 0};
  int scale = kGreyscale;
  if (options.noiseType) settings.noiseType = *options.noiseType;
  if (options.interpolation) settings.interpolation = *options.interpolation;
  if (options.gradientRule) settings.gradientRule = *options.gradientRule;
  if (options.octaveIndex) settings.octaveIndex = *options.octaveIndex;
  if (options.turbulence) settings.turbulence = 1;
  if (options.colourScale) scale = *options.colourScale;
  Seed = options.seed ? *options.seed
                      : static_cast<uint32_t>(std::chrono::system_clock::now().time_since_epoch() /
                                              std::chrono::milliseconds(1));
  Settings = settings;
  Scale = scale;
  Points = options.points;
  SeedGenerator(Seed);
  FillLattice();
  // As the desktop's --point: after the seed's fill, row 0's control points.
  for (const PointEdit& e : Points) {
    LatticePoint& p = NoiseLattice[0][e.point];
    p.value = e.value;
    p.gx = e.gradient;
    p.cx = e.curvature;
  }
  Started = true;
  Text.clear();
  return Text.c_str();
}

// Fills the texture and returns it as the canvas wants it: RGBA, opaque,
// the top row first (the texture's row 0 is its bottom row).
EMSCRIPTEN_KEEPALIVE const uint8_t* NdFill() {
  FillTextureImage(NoiseTexture, Settings, Scale);
  for (int i = 0; i < kTextureSize; i++) {
    uint8_t* out = Canvas + (kTextureSize - 1 - i) * kTextureSize * 4;
    for (int j = 0; j < kTextureSize; j++) {
      out[4 * j + 0] = NoiseTexture[i][j][0];
      out[4 * j + 1] = NoiseTexture[i][j][1];
      out[4 * j + 2] = NoiseTexture[i][j][2];
      out[4 * j + 3] = 255;
    }
  }
  return Canvas;
}

// One export as the desktop's key (or batch option) writes it, for the
// page to download: the bytes go to NdBytes / NdByteCount and the name (the
// desktop's, from the settings) is returned. On failure "" is returned and
// NdFailure says why. The images are the texture as a 512 by 512 window
// shows it, as the batch writes them; the PNGs carry the desktop's text
// chunks, the program and the command line of key i.
EMSCRIPTEN_KEEPALIVE const char* NdExport(int format) {
  Bytes.clear();
  Text.clear();
  Failure.clear();
  if (!Started || format < 0 || format >= kExportFormatCount) {
    Failure = "there is no picture yet";
    return Text.c_str();
  }
  const ExportFormat id = static_cast<ExportFormat>(format);
  MemorySink sink;
  bool ok = false;
  switch (id) {
    case ExportFormat::kBmp:
      ok = WriteBmpImage(sink, &NoiseTexture[0][0][0], kTextureSize, kTextureSize);
      break;
    case ExportFormat::kPng:
    case ExportFormat::kHeightmap: {
      const std::vector<PngText> texts = {{"Software", std::string("noisedemo ") + NOISEDEMO_VERSION},
                                          {"Comment", Command()}};
      PngImage image;
      image.width = kTextureSize;
      image.height = kTextureSize;
      std::vector<uint16_t> samples;
      if (id == ExportFormat::kPng) {
        image.rgb = &NoiseTexture[0][0][0];
      } else {
        samples.resize(static_cast<size_t>(kTextureSize) * kTextureSize);
        HeightmapSamples(Settings, samples.data());
        image.grey16 = samples.data();
      }
      ok = WriteStoredPng(sink, image, texts);
      break;
    }
    case ExportFormat::kStl:
    case ExportFormat::kStlBinary: {
      // About 1.3 MB: on the heap, as the desktop keeps it.
      const std::unique_ptr<Solid> solid(new Solid);
      SampleSolid(Settings, solid.get());
      int facets = 0;
      ok = id == ExportFormat::kStl
               ? WriteStlSolid(sink, solid->grid, solid->rgb, nullptr, &facets)
               : WriteStlBinary(sink, solid->grid, solid->rgb, &facets);
      if (ok) Facets = facets;
      break;
    }
  }
  if (!ok) {
    Failure = "the file could not be made";
    return Text.c_str();
  }
  Bytes = sink.Take();
  Text = ExportFileName(id, Settings.octaveIndex, Settings.turbulence, Scale);
  return Text.c_str();
}

// Why the last NdExport made no file.
EMSCRIPTEN_KEEPALIVE const char* NdFailure() { return Failure.c_str(); }
// The facets of the last STL made.
EMSCRIPTEN_KEEPALIVE int NdFacets() { return Facets; }

EMSCRIPTEN_KEEPALIVE const uint8_t* NdBytes() { return Bytes.data(); }
EMSCRIPTEN_KEEPALIVE int NdByteCount() { return static_cast<int>(Bytes.size()); }

// The command line that makes the picture again, as key i prints it.
EMSCRIPTEN_KEEPALIVE const char* NdCommand() {
  Text = Command();
  return Text.c_str();
}

EMSCRIPTEN_KEEPALIVE int NdThreads() { return MachineThreads(); }

// For the benchmark: the median of `runs` fills in milliseconds, on
// `threads` threads, or of the plain per-texel evaluation when reference.
namespace {
double FastestMs = 0.0;
}

// The fastest of the runs NdTimeFill last timed: on a machine that others
// share, the least disturbed one.
EMSCRIPTEN_KEEPALIVE double NdFastestMs() { return FastestMs; }

EMSCRIPTEN_KEEPALIVE double NdTimeFill(int threads, int reference, int runs) {
  std::vector<double> times;
  for (int r = 0; r < runs; r++) {
    const double start = emscripten_get_now();
    if (reference) {
      FillTextureImageReference(NoiseTexture, Settings, Scale);
    } else {
      FillTextureImageFast(NoiseTexture, Settings, Scale, FillPath::kBaseline, threads);
    }
    times.push_back(emscripten_get_now() - start);
  }
  std::sort(times.begin(), times.end());
  FastestMs = times.empty() ? 0.0 : times.front();
  return times.empty() ? 0.0 : times[times.size() / 2];
}

}  // extern "C"
