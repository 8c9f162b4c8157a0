#include "app/start.h"

#include <chrono>
#include <cstdio>

#include "app/app_state.h"
#include "app/exports.h"
#include "export/bmp_writer.h"
#include "noise/lattice.h"
#include "render/texture_fill_fast.h"

void ApplyStartSettings(const StartOptions& options) {
  if (options.noiseType) App.noise.noiseType = *options.noiseType;
  if (options.interpolation) App.noise.interpolation = *options.interpolation;
  if (options.gradientRule) App.noise.gradientRule = *options.gradientRule;
  if (options.octaveIndex) App.noise.octaveIndex = *options.octaveIndex;
  if (options.turbulence) App.noise.turbulence = 1;
  if (options.colourScale) App.colourScale = *options.colourScale;
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
  if (!options.bmpFile.empty()) {
    // The texture as a 512 by 512 window shows it: each texel is one pixel,
    // row 0 at the bottom, which is the order the BMP stores its rows in.
    FillTextureImage(NoiseTexture, App.noise, App.colourScale);
    ok = SaveBmp(options.bmpFile, &NoiseTexture[0][0][0], kTextureSize, kTextureSize, stderr) &&
         ok;
  }
  if (!options.stlFile.empty()) {
    static StlColours rgb;
    SampleStlGrid(App.noise, rgb);
    ok = SaveStl(options.stlFile, rgb, stderr) && ok;
  }
  return ok ? 0 : 1;
}
