// The colour scales' arithmetic, written once for one texel or for a vector
// of them.
//
// `Ops` says what a number is: ScalarColourOps (colour_scale.cpp) works on a
// float and an int, the fast fill's (texture_fill_kernel.h) on vectors of
// kLanes lanes. Each supplies F (a float or a vector of them), I (the same
// for int32), Splat (a float in every lane), ToInt (truncation toward
// zero), ToFloat, Pick (the value of case i among six, of floats or of
// ints), TruncatedByte (times 255.0 in double, truncated) and RoundedGrey
// (times 255.0 in double, plus 0.5, truncated, clamped to 0 to 255). The
// operations below are then the same floats in the same order, whichever
// the caller, which is how the fill stays byte for byte the plain
// evaluation's.
//
// Like texture_fill_kernel.h, this is included inside a namespace of its
// includer's (so each instruction set's copy of the fill compiles it for its
// own registers), after render/colour_scale.h. Hence no include guard.

// One sector of the hue wheel at h in [0, 6) with saturation s and value v,
// each in [0, 1].
// Always inlined: in the fill these run once per vector of texels, and a
// call there would cost more than the arithmetic.
#define NOISEDEMO_COLOUR_INLINE inline __attribute__((always_inline))

template <class Ops>
NOISEDEMO_COLOUR_INLINE void HsvSectorToRgb(typename Ops::F h, typename Ops::F s, typename Ops::F v,
                           typename Ops::F& r, typename Ops::F& g, typename Ops::F& b) {
  using F = typename Ops::F;
  const typename Ops::I i = Ops::ToInt(h);  // h >= 0: truncation is the floor
  const F f = h - Ops::ToFloat(i);
  const F p = v * (1.0f - s);
  const F q = v * (1.0f - s * f);
  const F t = v * (1.0f - s * (1.0f - f));
  r = Ops::Pick(i, v, q, p, p, t, v);
  g = Ops::Pick(i, t, v, v, q, p, p);
  b = Ops::Pick(i, p, p, t, v, v, q);
}

// HsvSectorToRgb's three channels as bytes at full saturation and value,
// as the rainbow scale asks. There v is 1 and p is 1 * (1 - 1) = 0, so in
// every sector one channel is byte 255, one is byte 0, and only the third
// needs converting: t in the even sectors, q in the odd ones. The floats are
// HsvSectorToRgb's own, the same operations on the same operands, so the
// bytes are those of converting its three channels; the fill does one
// conversion a texel rather than three.
template <class Ops>
NOISEDEMO_COLOUR_INLINE void FullHsvSectorBytes(typename Ops::F h, typename Ops::I& r,
                                                typename Ops::I& g, typename Ops::I& b) {
  using F = typename Ops::F;
  using I = typename Ops::I;
  const F v = Ops::Splat(1.0f), s = v;
  const I i = Ops::ToInt(h);  // h >= 0: truncation is the floor
  const F f = h - Ops::ToFloat(i);
  const F p = v * (1.0f - s);
  const F q = v * (1.0f - s * f);
  const F t = v * (1.0f - s * (1.0f - f));
  const I full = Ops::TruncatedByte(v);
  const I none = Ops::TruncatedByte(p);
  const I x = Ops::TruncatedByte(Ops::Pick(i, t, q, t, q, t, q));
  // HsvSectorToRgb's picks with v, p and the converted t or q in their places.
  r = Ops::Pick(i, full, x, none, none, x, full);
  g = Ops::Pick(i, x, full, full, x, none, none);
  b = Ops::Pick(i, none, none, x, full, full, x);
}

// The three bytes of noise value s in [0, 1] under a colour scale.
// Grayscale rounds to the nearest level; the other scales truncate, so
// s = 0.5 is grey 128 but channel value 127 elsewhere.
template <class Ops>
NOISEDEMO_COLOUR_INLINE void ScaleBytes(int colourScale, typename Ops::F s, typename Ops::I& r,
                       typename Ops::I& g, typename Ops::I& b) {
  using F = typename Ops::F;
  const F zero = Ops::Splat(0.0f);
  const F one = Ops::Splat(1.0f);
  switch (colourScale) {
    case kRainbow: {
      // Blue at 0 through green to red at 1: hue 240 down to 0 at full
      // saturation and value, so the hue never wraps.
      const F hue = 240.0f - 240.0f * s;
      FullHsvSectorBytes<Ops>(hue / 60.0f, r, g, b);
      return;
    }
    case kClouds:
      r = Ops::TruncatedByte(s);
      g = Ops::TruncatedByte(s);
      b = Ops::TruncatedByte(one);
      return;
    case kFire:
      r = Ops::TruncatedByte(one);
      g = Ops::TruncatedByte(s);
      b = Ops::TruncatedByte(zero);
      return;
    default:
      r = g = b = Ops::RoundedGrey(s);
      return;
  }
}
