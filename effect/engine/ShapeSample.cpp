#include "effect/engine/ShapeSample.h"

#include "effect/engine/ClampSample.h"
#include "effect/engine/ShaperTables.h"

#include <algorithm>
#include <cmath>

namespace quorvel
{

namespace
{
inline float OnePole(float c, float u, float& s)
{
  s = (1.f - c) * u + c * s;
  return s;
}

// Soft knee of the silicon stage: u / (1 + |u|^6)^(1/6).
inline float SiliconKnee(float u)
{
  return u / std::pow(1.f + std::pow(std::fabs(u), 6.f), 0.16666667f);
}
} // namespace

float ShapeSample(const ShaperTables& tables, const ModelCoefficients& co, int model, float x,
                  ModelState& state, float b, float k)
{
  float* s = state.s;
  const float ax = std::fabs(x);
  const float a = ax > s[0] ? co.attack : co.release;
  s[0] = (1.f - a) * ax + a * s[0];

  // Louder recent input lowers the effective drive; the fuzz models sag more.
  const float q = model <= kModelTape ? 0.1f : 0.32f;
  const float h = 1.f / (1.f + s[0] * k * q);

  float v = 0.f;
  switch (model)
  {
  case kModelTube:
  {
    const float off = 0.48f * b - std::min(0.03f * s[0], 0.25f) * k;
    v = (LookupTable(tables.tube, h * x + off) - LookupTable(tables.tube, off)) * h;
    break;
  }
  case kModelTransformer:
  {
    OnePole(co.c20, 6.f * x, s[1]);
    const float A = std::tanh(s[1] + 0.55f * b + (0.1f + 0.18f * k) * s[2]) - std::tanh(0.55f * b);
    OnePole(co.c15000, A, s[2]);
    const float g = std::max(std::min(1.f - 0.87f * A * A, 1.f), 0.1f);
    v = std::tanh(0.2f * h * x) / 0.2f * (0.15f + 0.85f * g);
    break;
  }
  case kModelTape:
  {
    OnePole(co.c3000, x, s[4]);
    const float B = 0.18f + 0.16f * k;
    const float A =
        std::tanh(1.15f * h * ((x - s[4]) * 0.32f + x) + B * s[2] + 0.3f * b) - std::tanh(0.3f * b);
    OnePole(co.c15000, A, s[2]);
    OnePole(co.c12500, A, s[3]);
    v = h * (0.88f * s[3] + 0.12f * A) / (B + 1.15f);
    break;
  }
  case kModelGermanium:
  {
    const float off = 0.6f * b + 0.22f - std::min(0.055f * s[0], 0.4f) * k;
    const float A = (std::tanh(1.45f * h * x + off) - std::tanh(off)) / 1.45f;
    OnePole(co.c35, A, s[3]);
    const float C = 0.38f * b - 0.16f;
    const float D = 0.72f + 0.28f * h;
    v = (std::tanh(3.1f * (A - s[3]) / D + C) - std::tanh(C)) * D / 2.1f;
    break;
  }
  case kModelSilicon:
  {
    const float off = 0.35f * b + 0.04f;
    const float A = (std::tanh(2.8f * h * x + off) - std::tanh(off)) / 2.8f;
    OnePole(co.c35, A, s[3]);
    const float z = 5.8f * (A - s[3]) + 0.16f * b;
    v = 0.65f * h * (SiliconKnee(z) - SiliconKnee(0.16f * b));
    break;
  }
  case kModelDiode:
  {
    const float off = 0.35f * b;
    v = LookupTable(tables.diode, h * x + off) - LookupTable(tables.diode, off);
    break;
  }
  default:
    break;
  }
  return ClampSample(v);
}

float MixModels(const ShaperTables& tables, const ModelCoefficients& coeffs, float d, ModelState* states,
                const float* weights, float makeup, float b, float k)
{
  float acc = 0.f;
  for (int m = 0; m < kModelCount; ++m)
  {
    if (weights[m] > kModelWeightThreshold)
      acc += ShapeSample(tables, coeffs, m, d, states[m], b, k) * weights[m] * makeup;
    else
      states[m].Clear();
  }
  return acc;
}

} // namespace quorvel
