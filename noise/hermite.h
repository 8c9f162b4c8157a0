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

// The weights' first and second derivatives in t at t, the same polynomials
// differentiated term by term and evaluated the same way (powers as products,
// each term as written, summed left to right, every step a float): the blend's
// slope and curvature in t are ApplyHermiteWeights of these on the same data.
// At t = 0 and t = 1 every coefficient sum is a small integer, so the slope
// weights there are exactly 0 and 1 (and the quintic's curvature weights too):
// the one-sided values at a lattice point are the point's slope and curvature
// to the bit. The cubic's second-derivative weights are nonzero at both ends,
// which is why its curvature jumps at the points.
HermiteWeights HermiteSlopeWeightsAt(float t, int interpolation);
HermiteWeights HermiteCurvatureWeightsAt(float t, int interpolation);

// The blend under an interpolation setting (NoiseSettings::interpolation).
float HermiteBlend(float p0, float s0, float c0, float p1, float s1, float c1, float t,
                   int interpolation);

// HermiteBlend with both curvatures zero; still follows the interpolation
// setting, so the quintic curve is flat in its second derivative at both ends.
float HermiteBlendNoCurvature(float p0, float s0, float p1, float s1, float t,
                              int interpolation);
