#include "noise/hermite.h"

#include "noise/noise_settings.h"

HermiteWeights HermiteWeightsAt(float t, int interpolation) {
  const float t2 = t * t;
  const float t3 = t2 * t;
  const float t4 = t3 * t;
  const float t5 = t4 * t;
  HermiteWeights w;
  if (interpolation == kQuintic) {
    w.h0 = 1.0f - 10.0f * t3 + 15.0f * t4 - 6.0f * t5;
    w.g0 = t - 6.0f * t3 + 8.0f * t4 - 3.0f * t5;
    w.c0 = 0.5f * t2 - 1.5f * t3 + 1.5f * t4 - 0.5f * t5;
    w.h1 = 10.0f * t3 - 15.0f * t4 + 6.0f * t5;
    w.g1 = -4.0f * t3 + 7.0f * t4 - 3.0f * t5;
    w.c1 = 0.5f * t3 - t4 + 0.5f * t5;
  } else {
    w.h0 = 1.0f - 3.0f * t2 + 2.0f * t3;
    w.g0 = t - 2.0f * t2 + t3;
    w.c0 = 0.0f;
    w.h1 = 3.0f * t2 - 2.0f * t3;
    w.g1 = t3 - t2;
    w.c1 = 0.0f;
  }
  return w;
}

HermiteWeights HermiteSlopeWeightsAt(float t, int interpolation) {
  const float t2 = t * t;
  const float t3 = t2 * t;
  const float t4 = t3 * t;
  HermiteWeights w;
  if (interpolation == kQuintic) {
    w.h0 = -30.0f * t2 + 60.0f * t3 - 30.0f * t4;
    w.g0 = 1.0f - 18.0f * t2 + 32.0f * t3 - 15.0f * t4;
    w.c0 = t - 4.5f * t2 + 6.0f * t3 - 2.5f * t4;
    w.h1 = 30.0f * t2 - 60.0f * t3 + 30.0f * t4;
    w.g1 = -12.0f * t2 + 28.0f * t3 - 15.0f * t4;
    w.c1 = 1.5f * t2 - 4.0f * t3 + 2.5f * t4;
  } else {
    w.h0 = -6.0f * t + 6.0f * t2;
    w.g0 = 1.0f - 4.0f * t + 3.0f * t2;
    w.c0 = 0.0f;
    w.h1 = 6.0f * t - 6.0f * t2;
    w.g1 = 3.0f * t2 - 2.0f * t;
    w.c1 = 0.0f;
  }
  return w;
}

HermiteWeights HermiteCurvatureWeightsAt(float t, int interpolation) {
  const float t2 = t * t;
  const float t3 = t2 * t;
  HermiteWeights w;
  if (interpolation == kQuintic) {
    w.h0 = -60.0f * t + 180.0f * t2 - 120.0f * t3;
    w.g0 = -36.0f * t + 96.0f * t2 - 60.0f * t3;
    w.c0 = 1.0f - 9.0f * t + 18.0f * t2 - 10.0f * t3;
    w.h1 = 60.0f * t - 180.0f * t2 + 120.0f * t3;
    w.g1 = -24.0f * t + 84.0f * t2 - 60.0f * t3;
    w.c1 = 3.0f * t - 12.0f * t2 + 10.0f * t3;
  } else {
    w.h0 = -6.0f + 12.0f * t;
    w.g0 = -4.0f + 6.0f * t;
    w.c0 = 0.0f;
    w.h1 = 6.0f - 12.0f * t;
    w.g1 = 6.0f * t - 2.0f;
    w.c1 = 0.0f;
  }
  return w;
}

float HermiteBlend(float p0, float s0, float c0, float p1, float s1, float c1, float t,
                   int interpolation) {
  return ApplyHermiteWeights(HermiteWeightsAt(t, interpolation), p0, s0, c0, p1, s1, c1);
}

float HermiteBlendNoCurvature(float p0, float s0, float p1, float s1, float t,
                              int interpolation) {
  return HermiteBlend(p0, s0, 0.0f, p1, s1, 0.0f, t, interpolation);
}
