// The benchmark page's side in WebAssembly (web/bench.html): the settings
// from the page's address, read by the command line's own parser, and the
// texture fill timed on a given number of threads. The program's page runs
// the whole program instead (frontends/browser).
#include <emscripten/emscripten.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "app/command_line.h"
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
std::string Text;  // the last message handed to the page

}  // namespace

extern "C" {

// Takes the options (one "--name=value" per line, as the page's address gives
// them) and fills the lattice. Returns "" when they were taken, otherwise the
// reason they were refused; then nothing changes, so no picture is ever made
// from half-read settings. A seed-less address gets a seed from the clock,
// as the desktop does.
EMSCRIPTEN_KEEPALIVE const char* NdStart(const char* optionLines) {
  StartOptions options;
  std::string error;
  const StartMode mode = ParseOptionLines(optionLines, &options, &error);
  if (mode != StartMode::kWindows) {
    Text = mode == StartMode::kBadOption ? error : "the benchmark takes the picture's settings only";
    return Text.c_str();
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
  SeedGenerator(Seed);
  FillLattice();
  // As the desktop's --point: after the seed's fill, row 0's control points.
  for (const PointEdit& e : options.points) {
    LatticePoint& p = NoiseLattice[0][e.point];
    p.value = e.value;
    p.gx = e.gradient;
    p.cx = e.curvature;
  }
  Text.clear();
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
