// The texture fill: the fast fill against the plain per-texel evaluation,
// side by side at each setting, and the fast fill's instruction sets and
// thread counts at the heaviest setting.
#include <benchmark/benchmark.h>

#include "app/app_state.h"
#include "bench_settings.h"
#include "render/texture_fill_fast.h"
#include "render/texture_image.h"
#include "render/worker_pool.h"

namespace {

TextureRow image[kTextureSize];

void Fill(benchmark::State& state, BenchSetting setting, bool reference) {
  UseBenchLattice();
  ApplySetting(setting);
  for (auto _ : state) {
    if (reference) {
      FillTextureImageReference(image, App.noise, App.colourScale);
    } else {
      FillTextureImage(image, App.noise, App.colourScale);
    }
    benchmark::DoNotOptimize(image);
    benchmark::ClobberMemory();
  }
}

void FillWith(benchmark::State& state, FillPath path, int threads) {
  UseBenchLattice();
  ApplySetting(kHeaviest);
  for (auto _ : state) {
    FillTextureImageFast(image, App.noise, App.colourScale, path, threads);
    benchmark::DoNotOptimize(image);
    benchmark::ClobberMemory();
  }
}

void Register(const std::string& name, void (*fn)(benchmark::State&, BenchSetting, bool),
              BenchSetting setting, bool reference) {
  benchmark::RegisterBenchmark(name.c_str(), fn, setting, reference)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
}

bool RegisterAll() {
  for (const BenchSetting& s : NoiseAndColourSettings()) {
    Register("FillTexture/fast/" + SettingName(s), Fill, s, false);
    Register("FillTexture/reference/" + SettingName(s), Fill, s, true);
  }
  for (FillPath path : {FillPath::kBaseline, FillPath::kAvx2, FillPath::kAvx512}) {
    if (!FillPathAvailable(path)) continue;
    for (int threads : {1, MachineThreads()}) {
      const std::string name = std::string("FillPath/") + FillPathName(path) + "/" +
                               std::to_string(threads) + "thread/" + SettingName(kHeaviest);
      benchmark::RegisterBenchmark(name.c_str(), FillWith, path, threads)
          ->Unit(benchmark::kMillisecond)
          ->UseRealTime();
      if (MachineThreads() == 1) break;
    }
  }
  return true;
}

const bool registered = RegisterAll();

}  // namespace
