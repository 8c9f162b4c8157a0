// The heightmap's samples, apart from its PNG file: the browser build has no
// libpng but downloads the same samples through its own encoder.
#include <atomic>

#include "app/heightmap.h"
#include "noise/noise2d.h"
#include "render/worker_pool.h"

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
