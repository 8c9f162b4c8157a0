// The fast texture fill.
//
// FractalNoise2D evaluates every texel on its own: per octave, six blends
// along x and one along y, each recomputing its weights. Three facts make
// most of that work shared, without changing a single float operation:
//
// - A texel at octave k lies at x = j * 2^k / 64, so fx is always a multiple
//   of 1/64: the blend weights take only 64 values, computed once per fill
//   by HermiteWeightsAt itself.
// - The three blends along x of a cell's lower edge (e0, e1, e2) depend only
//   on the lattice row and the texel column, and the upper edge's (e3, e4,
//   e5) are the same blends of the next lattice row. So they are computed
//   once per lattice row and column and shared by every texel row of the
//   cell, and by the cell below, which has that row as its upper edge.
// - The blends along y are the same operations for every column of a texel
//   row, so they run several columns at a time in vector registers.
//
// Octaves 7 and 8 (k = 6, 7) put every texel exactly on a lattice point:
// fx = fy = 0, where the weights are H0 = 1 and all others exactly 0. The
// reference still adds the five other terms, each a finite number times
// zero, i.e. +0 or -0. Adding a signed zero to a sum leaves it unchanged
// unless the sum is itself zero, and then at most flips that zero's sign;
// nothing downstream can tell the two zeros apart (the turbulence fold, the
// octave sum, the clamp, the byte conversions and the hue all give the same
// results for +0 and -0). Those octaves therefore take W(P00), the value of
// the texel's lattice point (the midpoint for gradient-only noise), which is
// exactly what the blends return there, without reading the other three
// corners. This needs every lattice field finite, which holds for everything
// the program can put there (and the reference is undefined otherwise).
//
// The rows are split into chunks that the machine's cores take in turn; the
// fill returns only when all are done, so to its caller it is one call on
// one thread like any other.
#include "render/texture_fill_fast.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <utility>

#include "noise/hermite.h"
#include "noise/lattice.h"
#include "render/colour_scale.h"
#include "render/worker_pool.h"

#if defined(__wasm_simd128__)
#include <wasm_simd128.h>
#endif

namespace {

constexpr int kCellTexels = kTextureSize / static_cast<int>(kTextureSpan);  // 64
constexpr int kFractionalOctaves = 6;  // from k = 6 on, texels sit on lattice points
constexpr int kLatticeOctaves = 8;     // the most the lattice holds
constexpr int kChunkRows = 32;
constexpr int kChunks = kTextureSize / kChunkRows;

// The settings one fill reads, taken once before the threads start.
struct FillJob {
  const Lattice* lattice;  // the one the fill was handed
  int firstOctave;    // 0 to octaves - 1: the octaves before it are left out
  int octaves;        // 1 to 8
  bool useValues;     // corner values from the lattice; gradient-only uses the midpoint
  bool useGradients;  // slopes and curvatures from the lattice; value-only uses zeros
  bool turbulence;
  int colourScale;
  HermiteWeights weights[kCellTexels];  // at t = n / 64
  float* values;  // when not null, each texel's value in [0, 1], row by row
};

alignas(64) const float kZeroRow[kTextureSize] = {};

}  // namespace

// ---------------------------------------------------------------------------
// One copy of the loops per instruction set
// ---------------------------------------------------------------------------

namespace {
namespace baseline {
constexpr int kLanes = 4;
#include "render/texture_fill_kernel.h"
}  // namespace baseline
}  // namespace

#if defined(__x86_64__) || defined(__i386__)
#define NOISEDEMO_WIDE_PATHS 1

// Only the wider registers are enabled here, never fused multiply-add. GCC
// takes an instruction set for a stretch of code by pragma; Clang ignores
// that pragma and takes the same as an attribute on every function of the
// stretch (without it Clang would build these copies for SSE2, several
// times slower than the baseline copy).
#if defined(__clang__)
#define NOISEDEMO_TARGET(isa) \
  _Pragma(NOISEDEMO_STR(clang attribute push(__attribute__((target(isa))), apply_to = function)))
#define NOISEDEMO_END_TARGET _Pragma("clang attribute pop")
#else
#define NOISEDEMO_TARGET(isa) _Pragma("GCC push_options") _Pragma(NOISEDEMO_STR(GCC target(isa)))
#define NOISEDEMO_END_TARGET _Pragma("GCC pop_options")
#endif
#define NOISEDEMO_STR(x) #x

NOISEDEMO_TARGET("avx2")
namespace {
namespace avx2 {
constexpr int kLanes = 8;
#include "render/texture_fill_kernel.h"
}  // namespace avx2
}  // namespace
NOISEDEMO_END_TARGET

NOISEDEMO_TARGET("avx512f,avx512vl,avx512bw,avx512dq")
namespace {
namespace avx512 {
constexpr int kLanes = 16;
#include "render/texture_fill_kernel.h"
}  // namespace avx512
}  // namespace
NOISEDEMO_END_TARGET
#endif

// ---------------------------------------------------------------------------
// Dispatch
// ---------------------------------------------------------------------------

namespace {

using RowFill = void (*)(const FillJob&, int, int, TextureRow*);

RowFill RowFillFor(FillPath path) {
  switch (path) {
#ifdef NOISEDEMO_WIDE_PATHS
    case FillPath::kAvx512: return avx512::FillRows;
    case FillPath::kAvx2: return avx2::FillRows;
#endif
    default: return baseline::FillRows;
  }
}

FillJob TakeSettings(const NoiseSettings& settings, int firstOctave, int colourScale,
                     const Lattice& lattice, float* values) {
  FillJob job;
  job.lattice = &lattice;
  job.firstOctave = firstOctave;
  job.octaves = settings.octaveIndex + 1;
  job.values = values;
  // FractalNoise2D treats every type but these two as value-only.
  job.useGradients = UsesGradients(settings.noiseType);
  job.useValues = settings.noiseType != kGradientOnly;
  job.turbulence = settings.turbulence != 0;
  job.colourScale = colourScale;
  for (int n = 0; n < kCellTexels; n++) {
    job.weights[n] = HermiteWeightsAt(static_cast<float>(n) / static_cast<float>(kCellTexels),
                                      settings.interpolation);
  }
  return job;
}

// One fill's share of the work, as the pool hands it to each participant.
struct FillWork {
  const FillJob* job;
  RowFill fillRows;
  TextureRow* image;
  std::atomic<int> nextChunk{0};
};

void FillChunks(void* context) {
  FillWork& work = *static_cast<FillWork*>(context);
  for (int chunk = work.nextChunk++; chunk < kChunks; chunk = work.nextChunk++) {
    work.fillRows(*work.job, chunk * kChunkRows, kChunkRows, work.image);
  }
}

}  // namespace

bool FillPathAvailable(FillPath path) {
  switch (path) {
#ifdef NOISEDEMO_WIDE_PATHS
    case FillPath::kAvx512:
      return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") &&
             __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512dq");
    case FillPath::kAvx2: return __builtin_cpu_supports("avx2");
#endif
    case FillPath::kBaseline: return true;
    default: return false;
  }
}

FillPath BestFillPath() {
  static const FillPath best = FillPathAvailable(FillPath::kAvx512) ? FillPath::kAvx512
                               : FillPathAvailable(FillPath::kAvx2) ? FillPath::kAvx2
                                                                    : FillPath::kBaseline;
  return best;
}

const char* FillPathName(FillPath path) {
  switch (path) {
    case FillPath::kAvx512: return "avx512";
    case FillPath::kAvx2: return "avx2";
    default: return "baseline";
  }
}

void FillTextureImageFast(TextureRow* image, const NoiseSettings& settings, int colourScale,
                          FillPath path, int threads, const Lattice& lattice) {
  FillTextureOctavesFast(image, settings, 0, colourScale, path, threads, lattice, nullptr);
}

void FillTextureOctavesFast(TextureRow* image, const NoiseSettings& settings, int firstOctave,
                            int colourScale, FillPath path, int threads, const Lattice& lattice,
                            float* values) {
  // The lattice is exactly large enough for eight octaves; any other count
  // (or a first octave outside it) is not one the panel offers, and is left
  // to the plain evaluation.
  if (settings.octaveIndex < 0 || settings.octaveIndex >= kLatticeOctaves || firstOctave < 0 ||
      firstOctave > settings.octaveIndex) {
    FillTextureOctavesReference(image, settings, firstOctave, colourScale, lattice, values);
    return;
  }
  if (!FillPathAvailable(path)) path = FillPath::kBaseline;
  const FillJob job = TakeSettings(settings, firstOctave, colourScale, lattice, values);
  FillWork work;
  work.job = &job;
  work.fillRows = RowFillFor(path);
  work.image = image;
  RunInParallel(std::clamp(threads, 1, kChunks), FillChunks, &work);
}

void FillTextureImage(TextureRow* image, const NoiseSettings& settings, int colourScale,
                      const Lattice& lattice) {
  FillTextureImageFast(image, settings, colourScale, BestFillPath(), MachineThreads(), lattice);
}

void FillTextureOctaves(TextureRow* image, const NoiseSettings& settings, int firstOctave,
                        int colourScale, const Lattice& lattice, float* values) {
  FillTextureOctavesFast(image, settings, firstOctave, colourScale, BestFillPath(),
                         MachineThreads(), lattice, values);
}
