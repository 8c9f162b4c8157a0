// The cost of the two exports at their heaviest: eight octaves of
// Gradient-Only noise with the quintic blend and turbulence for the STL
// solid, a 512 by 512 window for the BMP snapshot.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/exports.h"
#include "app/app_state.h"
#include "export/bmp_writer.h"
#include "export/fixed_format.h"
#include "export/stl_writer.h"
#include "noise/lattice.h"

namespace {

StlColours Colours;

void HeaviestSettings(int noiseType) {
  SeedGenerator(20261207u);
  FillLattice();
  App.noise.noiseType = noiseType;
  App.noise.interpolation = kQuintic;
  App.noise.octaveIndex = kMaxOctaveIndex;
  App.noise.turbulence = 1;
}

// A scratch folder for the files, removed afterwards.
struct Scratch {
  Scratch() {
    char pattern[] = "/tmp/noisedemo-bench-XXXXXX";
    path = mkdtemp(pattern);
  }
  ~Scratch() { std::filesystem::remove_all(path); }
  std::string path;
};

void BM_StlSampling(benchmark::State& state) {
  HeaviestSettings(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    SampleStlGrid(App.noise, Colours);
    benchmark::DoNotOptimize(GridZ[199][199]);
  }
}
BENCHMARK(BM_StlSampling)->Arg(kGradientOnly)->Arg(kValueGradient)->Unit(benchmark::kMillisecond);

// The text alone, into a sink that keeps nothing.
void BM_StlText(benchmark::State& state) {
  HeaviestSettings(kGradientOnly);
  FILE* quiet = fopen("/dev/null", "w");
  size_t bytes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    SampleStlGrid(App.noise, Colours);
    state.ResumeTiming();
    NullSink sink;
    int facets = 0;
    WriteStlSolid(sink, Colours, quiet, &facets);
    bytes = sink.bytes;
  }
  fclose(quiet);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_StlText)->Unit(benchmark::kMillisecond);

// What the key s costs for the solid: sampling, text, the file written,
// synced and renamed into place.
void BM_StlExport(benchmark::State& state) {
  HeaviestSettings(kGradientOnly);
  Scratch dir;
  const std::string name = dir.path + "/" + StlFileName(App.noise.octaveIndex, App.noise.turbulence);
  FILE* quiet = fopen("/dev/null", "w");
  for (auto _ : state) {
    SampleStlGrid(App.noise, Colours);
    SaveStl(name, Colours, quiet);
  }
  fclose(quiet);
}
BENCHMARK(BM_StlExport)->Unit(benchmark::kMillisecond);

void BM_BmpExport(benchmark::State& state) {
  const int side = 512;
  std::vector<uint8_t> pixels(3 * side * side);
  for (size_t i = 0; i < pixels.size(); i++) pixels[i] = static_cast<uint8_t>(i * 7);
  Scratch dir;
  const std::string name = dir.path + "/image008TY.bmp";
  FILE* quiet = fopen("/dev/null", "w");
  for (auto _ : state) SaveBmp(name, pixels.data(), side, side, quiet);
  fclose(quiet);
}
BENCHMARK(BM_BmpExport)->Unit(benchmark::kMillisecond);

// One "%8.4f" number, ours against the C library's.
void BM_FormatFixed(benchmark::State& state) {
  char out[kFixedCapacity];
  float v = -3.0f;
  for (auto _ : state) {
    benchmark::DoNotOptimize(FormatFixed(out, v, 8, 4));
    v += 0.0001234f;
  }
}
BENCHMARK(BM_FormatFixed);

void BM_Snprintf(benchmark::State& state) {
  char out[64];
  float v = -3.0f;
  for (auto _ : state) {
    benchmark::DoNotOptimize(snprintf(out, sizeof out, "%8.4f", static_cast<double>(v)));
    v += 0.0001234f;
  }
}
BENCHMARK(BM_Snprintf);

}  // namespace
