// The fast texture fill's inner loops, written once over GCC vector types of
// kLanes floats.
//
// texture_fill_fast.cpp includes this file once per instruction set, each
// time inside a namespace of its own that defines kLanes and under the
// matching target (a pragma for GCC, an attribute for Clang), so every copy is compiled for its own
// registers and the fastest one is picked at run time. Hence no include
// guard. Everything it needs (FillJob, the lattice, the texture constants,
// the colour scales, <cstring>, <algorithm>) is declared by the including
// file.
//
// Every float operation below is one that FractalNoise2D and NoiseColourBytes
// perform for the same texel (the colour scales are the very same code,
// colour_math.h), on the same operands, in the same order; only
// where and how often they run differs. texture_fill_fast.cpp explains the
// one place where the reference's result is taken from a shorter sum: the
// octaves whose texels sit on lattice points.

#include "render/colour_math.h"

typedef float VF __attribute__((vector_size(4 * kLanes)));
typedef int32_t VI __attribute__((vector_size(4 * kLanes)));
typedef double VD __attribute__((vector_size(8 * kLanes)));

inline VF Load(const float* p) {
  VF v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

inline void Store(float* p, VF v) { std::memcpy(p, &v, sizeof v); }
inline void Store(int32_t* p, VI v) { std::memcpy(p, &v, sizeof v); }

// x in every lane. Clang does not see a broadcast in the lane-by-lane loop:
// its WebAssembly build set each lane through memory, four round trips per
// splat in the innermost loops, which made the vector fill twice as slow as
// plain scalar code there. For Clang it is an operation between a vector and
// a scalar instead, one broadcast; the OR with zero bits keeps x's bits
// exactly, a negative zero included. GCC keeps the loop it compiles well.
#if defined(__clang__)
inline VI SplatInt(int32_t x) { return VI{} | x; }

inline VF Splat(float x) {
  int32_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  return reinterpret_cast<VF>(SplatInt(bits));
}
#else
inline VF Splat(float x) {
  VF v;
  for (int l = 0; l < kLanes; l++) v[l] = x;
  return v;
}

inline VI SplatInt(int32_t x) {
  VI v;
  for (int l = 0; l < kLanes; l++) v[l] = x;
  return v;
}
#endif

// fabs, bit for bit: only the sign bit is cleared.
inline VF Abs(VF x) { return reinterpret_cast<VF>(reinterpret_cast<VI>(x) & 0x7fffffff); }

// p0*H0 + s0*G0 + c0*C0 + p1*H1 + s1*G1 + c1*C1, as ApplyHermiteWeights sums it.
inline VF Blend(VF p0, VF s0, VF c0, VF p1, VF s1, VF c1, VF h0, VF g0, VF k0, VF h1, VF g1,
                VF k1) {
  return p0 * h0 + s0 * g0 + c0 * k0 + p1 * h1 + s1 * g1 + c1 * k1;
}

// ---------------------------------------------------------------------------
// Octaves whose texels fall between lattice points (k = 0 to 5)
// ---------------------------------------------------------------------------

constexpr int kCornerSlots = kTextureSize / 2 + 1 + kLanes;  // the most cells of a row, padded

// What one octave's blends along x need: the cell width and the weights of
// each lane.
struct OctavePlan {
  int cellTexels;  // texels across one lattice cell: 64 >> k
  int span;        // lanes after which the weight pattern repeats
  alignas(64) float h0[kCellTexels];
  alignas(64) float g0[kCellTexels];
  alignas(64) float k0[kCellTexels];
  alignas(64) float h1[kCellTexels];
  alignas(64) float g1[kCellTexels];
  alignas(64) float k1[kCellTexels];
};

void MakePlan(const FillJob& job, int k, OctavePlan& plan) {
  plan.cellTexels = kCellTexels >> k;
  plan.span = std::max(plan.cellTexels, kLanes);
  for (int l = 0; l < plan.span; l++) {
    // Texel column j of a cell lies at fx = (j % cellTexels) * 2^k / 64.
    const HermiteWeights& w = job.weights[(l % plan.cellTexels) << k];
    plan.h0[l] = w.h0;
    plan.g0[l] = w.g0;
    plan.k0[l] = w.c0;
    plan.h1[l] = w.h1;
    plan.g1[l] = w.g1;
    plan.k1[l] = w.c1;
  }
}

// One lattice row's three blends along x at one octave, for every texel
// column: the value (e0 or e3 of Noise2D), the slope along y (e1 or e4) and
// the curvature along y (e2 or e5). Each texel row uses two such rows.
struct EdgeRow {
  alignas(64) float value[kTextureSize];
  alignas(64) float slope[kTextureSize];
  alignas(64) float curvature[kTextureSize];
};

// A shuffle by lane numbers known when compiling (the one both compilers
// have), so each cell width narrower than a vector (2, 4 or 8 texels) gets
// its own: lane L reads corner L / cell and the one after it.
template <int kCell, int... L>
inline void SpreadCorners(VF v, VF& start, VF& end, std::integer_sequence<int, L...>) {
  start = __builtin_shufflevector(v, v, (L / kCell)...);
  end = __builtin_shufflevector(v, v, (L / kCell + 1)...);
}

// The start and end corner of the cell under each lane, from one field of a
// row's corners.
inline void Corners(const float* field, int firstCell, const OctavePlan& plan, VF& start,
                    VF& end) {
  if (plan.cellTexels >= kLanes) {
    start = Splat(field[firstCell]);
    end = Splat(field[firstCell + 1]);
  } else {
    const VF v = Load(field + firstCell);
    switch (plan.cellTexels) {
      case 2: SpreadCorners<2>(v, start, end, std::make_integer_sequence<int, kLanes>()); break;
      case 4: SpreadCorners<4>(v, start, end, std::make_integer_sequence<int, kLanes>()); break;
      default: SpreadCorners<8>(v, start, end, std::make_integer_sequence<int, kLanes>()); break;
    }
  }
}

void BlendAlongX(const FillJob& job, const OctavePlan& plan, int row, EdgeRow& out) {
  // The row's corners, one field per array, so a vector load picks up several.
  const int cells = kTextureSize / plan.cellTexels;
  alignas(64) float w[kCornerSlots];
  alignas(64) float gx[kCornerSlots];
  alignas(64) float cx[kCornerSlots];
  alignas(64) float gy[kCornerSlots];
  alignas(64) float cy[kCornerSlots];
  const LatticePoint* points = (*job.lattice)[row];
  for (int c = 0; c <= cells; c++) {
    w[c] = job.useValues ? points[c].value : kNoiseMid;
    // Value-only noise blends with zero slopes and curvatures.
    gx[c] = job.useGradients ? points[c].gx : 0.0f;
    cx[c] = job.useGradients ? points[c].cx : 0.0f;
    gy[c] = job.useGradients ? points[c].gy : 0.0f;
    cy[c] = job.useGradients ? points[c].cy : 0.0f;
  }
  for (int c = cells + 1; c < kCornerSlots; c++) w[c] = gx[c] = cx[c] = gy[c] = cy[c] = 0.0f;

  const VF zero = {};
  for (int j0 = 0; j0 < kTextureSize; j0 += kLanes) {
    const int firstCell = j0 / plan.cellTexels;
    const int m = j0 % plan.span;
    const VF h0 = Load(plan.h0 + m), g0 = Load(plan.g0 + m), k0 = Load(plan.k0 + m);
    const VF h1 = Load(plan.h1 + m), g1 = Load(plan.g1 + m), k1 = Load(plan.k1 + m);
    VF w0, w1, gx0, gx1, cx0, cx1;
    Corners(w, firstCell, plan, w0, w1);
    Corners(gx, firstCell, plan, gx0, gx1);
    Corners(cx, firstCell, plan, cx0, cx1);
    Store(out.value + j0, Blend(w0, gx0, cx0, w1, gx1, cx1, h0, g0, k0, h1, g1, k1));
    if (job.useGradients) {
      VF gy0, gy1, cy0, cy1;
      Corners(gy, firstCell, plan, gy0, gy1);
      Corners(cy, firstCell, plan, cy0, cy1);
      Store(out.slope + j0, Blend(gy0, cy0, zero, gy1, cy1, zero, h0, g0, k0, h1, g1, k1));
      Store(out.curvature + j0,
            Blend(cy0, zero, zero, cy1, zero, zero, h0, g0, k0, h1, g1, k1));
    }
  }
}

// sum += this octave's term, folded first under turbulence. The plain path
// divides by the octave's divisor; every divisor is a power of two (1 to
// 128), so its reciprocal is exact and x * (1 / d) is the same real number
// as x / d, rounded once by the same rule: the same bits, subnormals and
// all. A vector multiply costs a fraction of a vector divide.
inline void AddOctave(float* sum, int j0, VF val, bool turbulence, VF reciprocal) {
  const VF mid = Splat(kNoiseMid);
  if (turbulence) {
    const VF deviation = val - mid;
    val = Abs(deviation) + mid;
  }
  Store(sum + j0, Load(sum + j0) + (val - mid) * reciprocal);
}

// The blend along y between a texel row's two edge rows, added into sum.
void BlendAlongY(const FillJob& job, const EdgeRow& low, const EdgeRow& high,
                 const HermiteWeights& w, float divisor, float* sum) {
  // Value-only noise: the slopes and curvatures along y are the literal zeros.
  const float* lowSlope = job.useGradients ? low.slope : kZeroRow;
  const float* lowCurvature = job.useGradients ? low.curvature : kZeroRow;
  const float* highSlope = job.useGradients ? high.slope : kZeroRow;
  const float* highCurvature = job.useGradients ? high.curvature : kZeroRow;
  const VF h0 = Splat(w.h0), g0 = Splat(w.g0), k0 = Splat(w.c0);
  const VF h1 = Splat(w.h1), g1 = Splat(w.g1), k1 = Splat(w.c1);
  const VF d = Splat(1.0f / divisor);
  for (int j0 = 0; j0 < kTextureSize; j0 += kLanes) {
    const VF val = Blend(Load(low.value + j0), Load(lowSlope + j0), Load(lowCurvature + j0),
                         Load(high.value + j0), Load(highSlope + j0),
                         Load(highCurvature + j0), h0, g0, k0, h1, g1, k1);
    AddOctave(sum, j0, val, job.turbulence, d);
  }
}

// ---------------------------------------------------------------------------
// Octaves whose texels sit on lattice points (k = 6 and 7)
// ---------------------------------------------------------------------------

void AddLatticeOctave(const FillJob& job, int i, int k, float divisor, float* sum) {
  const int step = 1 << (k - kFractionalOctaves);  // lattice points per texel
  const LatticePoint* points = (*job.lattice)[i * step];
  alignas(64) float val[kTextureSize];
  for (int j = 0; j < kTextureSize; j++) {
    val[j] = job.useValues ? points[j * step].value : kNoiseMid;
  }
  const VF d = Splat(1.0f / divisor);
  for (int j0 = 0; j0 < kTextureSize; j0 += kLanes) {
    AddOctave(sum, j0, Load(val + j0), job.turbulence, d);
  }
}

// ---------------------------------------------------------------------------
// Colour
// ---------------------------------------------------------------------------

// Doubles to ints, truncated toward zero. Clang's WebAssembly build turned
// __builtin_convertvector here into one scalar conversion per lane, each
// lane taken out of its vector and put back, a large share of the fill at
// the rainbow scale; WebAssembly converts two doubles at once. Every value
// converted here lies in 0 to 255.5, where both give the same ints.
inline VI TruncatedInts(const VD& d) {
#if defined(__wasm_simd128__)
  static_assert(kLanes == 4, "two pairs of doubles");
  typedef double VD2 __attribute__((vector_size(16)));
  const VD2 low = __builtin_shufflevector(d, d, 0, 1);
  const VD2 high = __builtin_shufflevector(d, d, 2, 3);
  const v128_t a = wasm_i32x4_trunc_sat_f64x2_zero(reinterpret_cast<v128_t>(low));
  const v128_t b = wasm_i32x4_trunc_sat_f64x2_zero(reinterpret_cast<v128_t>(high));
  return reinterpret_cast<VI>(wasm_i32x4_shuffle(a, b, 0, 1, 4, 5));
#else
  return __builtin_convertvector(d, VI);
#endif
}

// A channel in [0, 1] times 255.0 in double, truncated.
inline VI TruncatedBytes(VF channel) {
  VD d = __builtin_convertvector(channel, VD);
  d = d * 255.0;
  return TruncatedInts(d);
}

// Many texels at a time (colour_math.h).
struct VectorColourOps {
  using F = VF;
  using I = VI;
  static VF Splat(float x) { return VF{} + x; }
  static VI ToInt(VF x) { return __builtin_convertvector(x, VI); }
  static VF ToFloat(VI i) { return __builtin_convertvector(i, VF); }
  template <class T>
  static T Pick(VI i, T a0, T a1, T a2, T a3, T a4, T a5) {
    return i == 0 ? a0 : i == 1 ? a1 : i == 2 ? a2 : i == 3 ? a3 : i == 4 ? a4 : a5;
  }
  static VI TruncatedByte(VF channel) { return TruncatedBytes(channel); }
  static VI RoundedGrey(VF s) {
    VD d = __builtin_convertvector(s, VD);
    d = d * 255.0 + 0.5;
    VI grey = TruncatedInts(d);
    grey = grey < 0 ? SplatInt(0) : grey;
    grey = grey > 255 ? SplatInt(255) : grey;
    return grey;
  }
};

#if defined(__wasm_simd128__)
// Sixteen texels' red, green and blue ints (each 0 to 255) as 48 bytes in
// RGB order, by vector shuffles rather than 48 byte stores. Output vector V
// holds bytes 16 V to 16 V + 15 of the 48: byte p is channel p % 3 of texel
// p / 3. The first shuffle places the red and green bytes, the second the
// blue ones.
typedef uint8_t VB __attribute__((vector_size(16)));

constexpr int PackIndex(int stage, int v, int q) {
  const int p = 16 * v + q, texel = p / 3, channel = p % 3;
  if (stage == 0) return channel == 0 ? texel : channel == 1 ? 16 + texel : 0;
  return channel == 2 ? 16 + texel : q;
}

template <int V, int... Q>
inline VB PackRgb(VB r, VB g, VB b, std::integer_sequence<int, Q...>) {
  const VB rg = __builtin_shufflevector(r, g, PackIndex(0, V, Q)...);
  return __builtin_shufflevector(rg, b, PackIndex(1, V, Q)...);
}

// Sixteen ints of 0 to 255 as bytes: the saturating narrowings keep such
// values as they are.
inline VB Bytes(const int32_t* p) {
  v128_t q[4];
  std::memcpy(q, p, sizeof q);
  return reinterpret_cast<VB>(
      wasm_u8x16_narrow_i16x8(wasm_u16x8_narrow_i32x4(q[0], q[1]), wasm_u16x8_narrow_i32x4(q[2], q[3])));
}

inline void InterleaveRgb(const int32_t* red, const int32_t* green, const int32_t* blue,
                          uint8_t (*out)[3]) {
  constexpr auto lanes = std::make_integer_sequence<int, 16>();
  for (int j = 0; j < kTextureSize; j += 16) {
    const VB r = Bytes(red + j), g = Bytes(green + j), b = Bytes(blue + j);
    const VB packed[3] = {PackRgb<0>(r, g, b, lanes), PackRgb<1>(r, g, b, lanes),
                          PackRgb<2>(r, g, b, lanes)};
    std::memcpy(out[j], packed, sizeof packed);
  }
}
#else
inline void InterleaveRgb(const int32_t* red, const int32_t* green, const int32_t* blue,
                          uint8_t (*out)[3]) {
  for (int j = 0; j < kTextureSize; j++) {
    out[j][0] = static_cast<uint8_t>(red[j]);
    out[j][1] = static_cast<uint8_t>(green[j]);
    out[j][2] = static_cast<uint8_t>(blue[j]);
  }
}
#endif

void ColourRow(const FillJob& job, const float* sum, uint8_t (*out)[3], float* values) {
  alignas(64) int32_t red[kTextureSize];
  alignas(64) int32_t green[kTextureSize];
  alignas(64) int32_t blue[kTextureSize];
  const VF zero = {};
  const VF one = Splat(1.0f);
  for (int j0 = 0; j0 < kTextureSize; j0 += kLanes) {
    VF s = Load(sum + j0) + kNoiseMid;
    s = (s - kNoiseMin) / (kNoiseMax - kNoiseMin);
    s = s < 0.0f ? zero : s;
    s = s > 1.0f ? one : s;
    if (values != nullptr) Store(values + j0, s);
    VI r, g, b;
    ScaleBytes<VectorColourOps>(job.colourScale, s, r, g, b);
    Store(red + j0, r);
    Store(green + j0, g);
    Store(blue + j0, b);
  }
  InterleaveRgb(red, green, blue, out);
}

// ---------------------------------------------------------------------------
// Rows of the texture
// ---------------------------------------------------------------------------

// Fills texel rows firstRow .. firstRow + rowCount - 1 of image.
void FillRows(const FillJob& job, int firstRow, int rowCount, TextureRow* image) {
  const int fractional = std::min(job.octaves, kFractionalOctaves);
  OctavePlan plans[kFractionalOctaves];
  for (int k = job.firstOctave; k < fractional; k++) MakePlan(job, k, plans[k]);

  // Per octave, the two lattice rows the current texel row lies between.
  // Texel rows advance through the lattice rows in order, so the upper row
  // of one cell becomes the lower row of the next.
  EdgeRow edges[kFractionalOctaves][2];
  EdgeRow* low[kFractionalOctaves];
  EdgeRow* high[kFractionalOctaves];
  int lowRow[kFractionalOctaves];
  for (int k = 0; k < kFractionalOctaves; k++) {
    low[k] = &edges[k][0];
    high[k] = &edges[k][1];
    lowRow[k] = -2;
  }

  alignas(64) float sum[kTextureSize];
  for (int i = firstRow; i < firstRow + rowCount; i++) {
    for (int j = 0; j < kTextureSize; j++) sum[j] = 0.0f;
    float divisor = 1.0f;
    for (int k = job.firstOctave; k < job.octaves; k++) {
      if (k < kFractionalOctaves) {
        const OctavePlan& plan = plans[k];
        const int iy = i / plan.cellTexels;
        if (iy == lowRow[k] + 1) {
          std::swap(low[k], high[k]);
          BlendAlongX(job, plan, iy + 1, *high[k]);
        } else if (iy != lowRow[k]) {
          BlendAlongX(job, plan, iy, *low[k]);
          BlendAlongX(job, plan, iy + 1, *high[k]);
        }
        lowRow[k] = iy;
        const HermiteWeights& wy = job.weights[(i % plan.cellTexels) << k];
        BlendAlongY(job, *low[k], *high[k], wy, divisor, sum);
      } else {
        AddLatticeOctave(job, i, k, divisor, sum);
      }
      divisor = 2.0f * divisor;
    }
    ColourRow(job, sum, image[i], job.values ? job.values + i * kTextureSize : nullptr);
  }
}
