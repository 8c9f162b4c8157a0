#include "app/exports.h"

#include <GL/gl.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <new>

#include "app/app_state.h"
#include "app/command_line.h"
#include "app/platform.h"
#include "app/windows.h"
#include "export/bmp_writer.h"
#include "export/stl_binary.h"
#include "noise/height_field.h"
#include "noise/noise2d.h"
#include "render/colour_scale.h"
#include "render/worker_pool.h"

static_assert(kHeightFieldSize == kStlGridSize, "the solid is one grid point per sample");

std::string BmpFileName(int octaveIndex, int turbulence, int colourScale) {
  char letter;
  switch (colourScale) {
    case kRainbow: letter = 'R'; break;
    case kClouds: letter = 'S'; break;
    case kFire: letter = 'Y'; break;
    default: letter = 'G'; break;
  }
  char name[512];
  snprintf(name, sizeof name, "image%03d%c%c.bmp", octaveIndex + 1, turbulence ? 'T' : 'N',
           letter);
  return name;
}

std::string StlFileName(int octaveIndex, int turbulence) {
  char name[512];
  snprintf(name, sizeof name, "noise%03d%c.stl", octaveIndex + 1, turbulence ? 'T' : 'N');
  return name;
}

void SampleStlGrid(const NoiseSettings& settings, StlColours rgb) {
  // 320 KB: static rather than on the stack of an event callback.
  static HeightField field;
  SampleHeightField(settings, &field);
  LoadStlGrid(field.height);
  for (int i = 0; i < kStlGridSize; i++)
    for (int j = 0; j < kStlGridSize; j++) HeightColour(field.sum[i][j], rgb[i][j]);
}

std::string PngFileName(int octaveIndex, int turbulence, int colourScale) {
  std::string name = BmpFileName(octaveIndex, turbulence, colourScale);
  return name.replace(name.size() - 3, 3, "png");
}

std::string HeightmapFileName(int octaveIndex, int turbulence) {
  char name[512];
  snprintf(name, sizeof name, "height%03d%c.png", octaveIndex + 1, turbulence ? 'T' : 'N');
  return name;
}

std::string StlBinaryFileName(int octaveIndex, int turbulence) {
  std::string name = StlFileName(octaveIndex, turbulence);
  return name.replace(name.size() - 4, 4, ".bin.stl");
}

std::string ReproducingCommandNow() {
  const ReproducedSettings settings{App.noise.noiseType,   App.noise.interpolation,
                                    App.noise.gradientRule, App.noise.octaveIndex,
                                    App.noise.turbulence,   App.colourScale};
  return ReproducingCommand(App.latticeSeed, settings, EditedPoints());
}

std::vector<PngText> PngTexts() {
  return {{"Software", std::string("noisedemo ") + NOISEDEMO_VERSION},
          {"Comment", ReproducingCommandNow()}};
}

namespace {

// The noise values are independent per texel; rows go to every core.
struct HeightmapWork {
  const NoiseSettings* settings;
  uint16_t* samples;
  std::atomic<int> nextRow{0};
};

void HeightmapRows(void* context) {
  HeightmapWork& work = *static_cast<HeightmapWork*>(context);
  for (int i = work.nextRow++; i < kTextureSize; i = work.nextRow++) {
    for (int j = 0; j < kTextureSize; j++) {
      const float v = FractalNoise2D(i, j, *work.settings);  // in [0, 1]
      work.samples[i * kTextureSize + j] = static_cast<uint16_t>(v * 65535.0 + 0.5);
    }
  }
}

}  // namespace

void HeightmapSamples(const NoiseSettings& settings, uint16_t* samples) {
  HeightmapWork work;
  work.settings = &settings;
  work.samples = samples;
  RunInParallel(MachineThreads(), HeightmapRows, &work);
}

bool SaveHeightmap(const std::string& fileName, FILE* messages) {
  std::vector<uint16_t> samples(static_cast<size_t>(kTextureSize) * kTextureSize);
  HeightmapSamples(App.noise, samples.data());
  PngImage image;
  image.width = kTextureSize;
  image.height = kTextureSize;
  image.grey16 = samples.data();
  const bool ok = SavePng(fileName, "HEIGHTMAP", image, PngTexts(), messages);
  if (ok) fprintf(messages, "Heightmap file '%s' created.\n", fileName.c_str());
  return ok;
}

bool SaveSnapshotPng(const std::string& fileName, const uint8_t* rgb, int width, int height,
                     FILE* messages) {
  PngImage image;
  image.width = width;
  image.height = height;
  image.rgb = rgb;
  const bool ok = SavePng(fileName, "PNG", image, PngTexts(), messages);
  if (ok) fprintf(messages, "Image file '%s' created.\n", fileName.c_str());
  return ok;
}

namespace {

// What the texture window shows now, at its current size, bottom row first;
// empty (after saying why) when it cannot be saved.
std::vector<uint8_t> ReadTextureWindow(int* width, int* height) {
  Platform& platform = CurrentPlatform();
  platform.SetWindow(App.textureWindow);
  if (platform.Draws()) {
    glPixelStorei(GL_PACK_ALIGNMENT, 1);  // rows back to back, no gaps
    glReadBuffer(GL_FRONT);               // what the window shows now
  }
  *width = platform.WindowWidth();
  *height = platform.WindowHeight();
  std::vector<uint8_t> pixels;
  if (!CheckBmpWindowSize(*width, *height, stderr)) return pixels;

  // Sizes were checked to fit 32 bits, so this product cannot wrap.
  const size_t size = static_cast<size_t>(*width) * 3 * static_cast<size_t>(*height);
  try {
    pixels.resize(size);
  } catch (const std::bad_alloc&) {
    fprintf(stderr, "WriteBmp() cannot allocate the temporary array!\n");
    return pixels;
  }
  if (!platform.ReadShownWindow(*width, *height, pixels.data()) && platform.Draws()) {
    // The server cannot give the window (part of it lies off the screen, say)
    // and a software renderer may not keep a front buffer to read. Draw the
    // same picture once more into the back buffer and read that: the same
    // image at the same size, never shown.
    DrawTexture();
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, *width, *height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    glReadBuffer(GL_FRONT);
  }
  return pixels;
}

// 480,000 bytes: static rather than on the stack of an event callback.
StlColours SolidColours;

}  // namespace

namespace {

// What the texture window shows now, in the format `png` chooses, named from
// the settings.
void WriteSnapshot(bool png) {
  int width = 0, height = 0;
  const std::vector<uint8_t> pixels = ReadTextureWindow(&width, &height);
  if (pixels.empty()) return;
  const int octaves = App.noise.octaveIndex, turbulence = App.noise.turbulence;
  if (png) {
    SaveSnapshotPng(PngFileName(octaves, turbulence, App.colourScale), pixels.data(), width,
                    height, stderr);
  } else {
    SaveBmp(BmpFileName(octaves, turbulence, App.colourScale), pixels.data(), width, height,
            stderr);
  }
}

}  // namespace

void WriteBmp() { WriteSnapshot(false); }

void WritePng() { WriteSnapshot(true); }

void WriteHeightmap() {
  SaveHeightmap(HeightmapFileName(App.noise.octaveIndex, App.noise.turbulence), stderr);
}

void WriteStl() {
  SampleStlGrid(App.noise, SolidColours);
  SaveStl(StlFileName(App.noise.octaveIndex, App.noise.turbulence), SolidColours, stderr);
}

void WriteStlBinary() {
  SampleStlGrid(App.noise, SolidColours);
  SaveStlBinary(StlBinaryFileName(App.noise.octaveIndex, App.noise.turbulence), SolidColours,
                stderr);
}
