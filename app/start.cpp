#include "app/start.h"

#include <chrono>
#include <cstdio>

#include "app/app_state.h"
#include "app/exports.h"
#include "export/bmp_writer.h"
#include "export/stl_binary.h"
#include "noise/lattice.h"
#include "render/texture_fill_fast.h"

void ApplyStartSettings(const StartOptions& options) {
  if (options.noiseType) App.noise.noiseType = *options.noiseType;
  if (options.interpolation) App.noise.interpolation = *options.interpolation;
  if (options.gradientRule) App.noise.gradientRule = *options.gradientRule;
  if (options.octaveIndex) App.noise.octaveIndex = *options.octaveIndex;
  if (options.turbulence) App.noise.turbulence = 1;
  if (options.colourScale) App.colourScale = *options.colourScale;
  // Both callers have filled the lattice from the seed by now.
  ApplyPointEdits(options.points);
}

int RunBatchExports(const StartOptions& options) {
  // Without --seed, a seed from the clock, as the windows would take one.
  const uint32_t seed =
      options.seed ? *options.seed
                   : static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch() /
                                           std::chrono::milliseconds(1));
  SeedGenerator(seed);
  FillNewLattice();
  Reset();
  ApplyStartSettings(options);

  bool ok = true;
  // The texture as a 512 by 512 window shows it: each texel is one pixel,
  // row 0 at the bottom, which is the order the read-back delivers rows in.
  const uint8_t* const snapshot = &NoiseTexture[0][0][0];
  if (!options.bmpFile.empty() || !options.pngFile.empty())
    FillTextureImage(NoiseTexture, App.noise, App.colourScale);
  if (!options.bmpFile.empty())
    ok = SaveBmp(options.bmpFile, snapshot, kTextureSize, kTextureSize, stderr) && ok;
  if (!options.pngFile.empty())
    ok = SaveSnapshotPng(options.pngFile, snapshot, kTextureSize, kTextureSize, stderr) && ok;
  if (!options.heightmapFile.empty()) ok = SaveHeightmap(options.heightmapFile, stderr) && ok;

  static StlColours rgb;
  if (!options.stlFile.empty() || !options.stlBinaryFile.empty()) SampleStlGrid(App.noise, rgb);
  if (!options.stlFile.empty()) ok = SaveStl(options.stlFile, rgb, stderr) && ok;
  if (!options.stlBinaryFile.empty()) {
    // The ASCII writer leaves the grid at the base height: sample again.
    if (!options.stlFile.empty()) SampleStlGrid(App.noise, rgb);
    ok = SaveStlBinary(options.stlBinaryFile, rgb, stderr) && ok;
  }
  return ok ? 0 : 1;
}
