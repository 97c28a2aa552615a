#pragma once

#include <cmath>

namespace quorvel
{

enum SaturationModel : int
{
  kModelTube = 0,
  kModelTransformer,
  kModelTape,
  kModelGermanium,
  kModelSilicon,
  kModelDiode,
  kModelCount
};

// Memory of one model on one channel: s[0] is the level envelope, s[1]..s[4] filter states.
constexpr int kModelStateSize = 6;
struct ModelState
{
  float s[kModelStateSize] = {};
  void Clear()
  {
    for (float& v : s)
      v = 0.f;
  }
};

// Oversampled-rate coefficients the models read; all one-pole coefficients are exp(-2 pi f / fsOS).
struct ModelCoefficients
{
  float attack = 0.f;  // envelope, 3 ms
  float release = 0.f; // envelope, 120 ms
  float c20 = 0.f;
  float c35 = 0.f;
  float c3000 = 0.f;
  float c12500 = 0.f;
  float c15000 = 0.f;
};

struct ShaperTables;

// One oversampled sample through one model. b is the bias (-1..1), k the dynamics amount (0..1).
float ShapeSample(const ShaperTables& tables, const ModelCoefficients& coeffs, int model, float x,
                  ModelState& state, float b, float k);

// The models' make-up gain: keeps the perceived level roughly steady as the drive rises.
inline float DriveMakeup(float drive)
{
  return 1.f / std::sqrt(drive);
}

// Weights at or below this count as off.
constexpr float kModelWeightThreshold = 1e-6f;

// Runs every model whose cross-fade weight is above the threshold on the driven sample d and sums
// them by weight and makeup gain. A model that is off has its state cleared, so that when it fades
// in again it starts from rest.
float MixModels(const ShaperTables& tables, const ModelCoefficients& coeffs, float d, ModelState* states,
                const float* weights, float makeup, float b, float k);

} // namespace quorvel
