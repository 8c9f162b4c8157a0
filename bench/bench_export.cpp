// The cost of the exports at their heaviest: eight octaves of Gradient-Only
// noise with the quintic blend and turbulence for the STL solids, a 512 by
// 512 window for the BMP snapshot, and the heaviest texture (value+gradient,
// quintic, eight octaves, turbulence, rainbow) for the PNG files. Each export
// benchmark reports the size of the file it writes.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/export_formats.h"
#include "app/exports.h"
#include "app/heightmap.h"
#include "app/png_texts.h"
#include "app/solid.h"
#include "app/app_state.h"
#include "export/bmp_writer.h"
#include "export/fixed_format.h"
#include "export/stl_binary.h"
#include "export/stl_writer.h"
#include "noise/lattice.h"
#include "render/colour_scale.h"
#include "render/texture_fill_fast.h"

namespace {

// 1.3 MB: static, off the stack.
Solid TheSolid;

// Takes everything and keeps nothing; for timing the cores alone.
class NullSink : public ByteSink {
 public:
  bool Write(const void*, size_t size) override {
    bytes += size;
    return true;
  }
  size_t bytes = 0;
};

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

void FileSize(benchmark::State& state, const std::string& name) {
  state.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size(name));
}

void BM_StlSampling(benchmark::State& state) {
  HeaviestSettings(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    SampleSolid(App.noise, &TheSolid);
    benchmark::DoNotOptimize(TheSolid.grid.z[199][199]);
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
    SampleSolid(App.noise, &TheSolid);
    state.ResumeTiming();
    NullSink sink;
    int facets = 0;
    WriteStlSolid(sink, TheSolid.grid, TheSolid.rgb, quiet, &facets);
    bytes = sink.bytes;
  }
  fclose(quiet);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_StlText)->Unit(benchmark::kMillisecond);

// What the keys s and m cost for the solid: sampling, the ASCII or binary
// file written, synced and renamed into place.
void StlExport(benchmark::State& state, bool binary) {
  HeaviestSettings(kGradientOnly);
  Scratch dir;
  const int octaves = App.noise.octaveIndex, turbulence = App.noise.turbulence;
  const ExportFormat format = binary ? ExportFormat::kStlBinary : ExportFormat::kStl;
  const std::string name =
      dir.path + "/" + ExportFileName(format, octaves, turbulence, App.colourScale);
  FILE* quiet = fopen("/dev/null", "w");
  for (auto _ : state) {
    SampleSolid(App.noise, &TheSolid);
    if (binary) {
      SaveStlBinary(name, TheSolid.grid, TheSolid.rgb, quiet);
    } else {
      SaveStl(name, TheSolid.grid, TheSolid.rgb, quiet);
    }
  }
  fclose(quiet);
  FileSize(state, name);
}
void BM_StlExport(benchmark::State& state) { StlExport(state, false); }
void BM_StlBinaryExport(benchmark::State& state) { StlExport(state, true); }
BENCHMARK(BM_StlExport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StlBinaryExport)->Unit(benchmark::kMillisecond);

void BM_BmpExport(benchmark::State& state) {
  const int side = 512;
  std::vector<uint8_t> pixels(3 * side * side);
  for (size_t i = 0; i < pixels.size(); i++) pixels[i] = static_cast<uint8_t>(i * 7);
  Scratch dir;
  const std::string name = dir.path + "/image008TY.bmp";
  FILE* quiet = fopen("/dev/null", "w");
  for (auto _ : state) SaveBmp(name, pixels.data(), side, side, quiet);
  fclose(quiet);
  FileSize(state, name);
}
BENCHMARK(BM_BmpExport)->Unit(benchmark::kMillisecond);

void HeaviestTexture() {
  HeaviestSettings(kValueGradient);
  App.colourScale = kRainbow;
  FillTextureImage(NoiseTexture, App.noise, App.colourScale);
}

void BM_PngExport(benchmark::State& state) {
  HeaviestTexture();
  Scratch dir;
  const std::string name = dir.path + "/image008TR.png";
  FILE* quiet = fopen("/dev/null", "w");
  for (auto _ : state) SaveSnapshotPng(name, &NoiseTexture[0][0][0], 512, 512, quiet);
  fclose(quiet);
  FileSize(state, name);
}
BENCHMARK(BM_PngExport)->Unit(benchmark::kMillisecond);

// The 262,144 noise values are computed afresh on every call.
void BM_HeightmapExport(benchmark::State& state) {
  HeaviestTexture();
  Scratch dir;
  const std::string name = dir.path + "/height008T.png";
  FILE* quiet = fopen("/dev/null", "w");
  for (auto _ : state) SaveHeightmap(name, App.noise, PngTexts(), quiet);
  fclose(quiet);
  FileSize(state, name);
}
BENCHMARK(BM_HeightmapExport)->Unit(benchmark::kMillisecond);

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
