// The Hermite blend across one unit interval, which every noise value in the
// program is built from.
//
// Contract: returns p0 at t = 0 and p1 at t = 1 in both modes; the first
// derivative is s0 and s1 there; in the quintic mode the second derivative is
// c0 and c1 (the cubic mode ignores curvatures). t is not clamped. Single
// precision, evaluated term by term in the written order.
#pragma once

struct HermiteWeights {
  float h0;  // multiplies the start value
  float g0;  // start slope
  float c0;  // start curvature
  float h1;  // end value
  float g1;  // end slope
  float c1;  // end curvature
};

// The six basis weights at t; quintic when interpolation == kQuintic, cubic
// for every other value.
HermiteWeights HermiteWeightsAt(float t, int interpolation);

// p0*H0 + s0*G0 + c0*C0 + p1*H1 + s1*G1 + c1*C1, summed in that order.
inline float ApplyHermiteWeights(const HermiteWeights& w, float p0, float s0, float c0,
                                 float p1, float s1, float c1) {
  return p0 * w.h0 + s0 * w.g0 + c0 * w.c0 + p1 * w.h1 + s1 * w.g1 + c1 * w.c1;
}

// The blend under an interpolation setting (NoiseSettings::interpolation).
float HermiteBlend(float p0, float s0, float c0, float p1, float s1, float c1, float t,
                   int interpolation);

// HermiteBlend with both curvatures zero; still follows the interpolation
// setting, so the quintic curve is flat in its second derivative at both ends.
float HermiteBlendNoCurvature(float p0, float s0, float p1, float s1, float t,
                              int interpolation);
