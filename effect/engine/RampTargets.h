#pragma once

#include "effect/engine/EngineParams.h"
#include "effect/engine/ShapeSample.h"

namespace quorvel
{

// The twenty ramps through which the parameters reach the audio. 0-8 and the model weights advance
// at the oversampled rate, 9-13 at the base rate.
enum RampIndex : int
{
  kRampDrive = 0,
  kRampInput,
  kRampToneLow,
  kRampToneHigh,
  kRampBias,
  kRampDynamics,
  kRampBass,
  kRampLowCut,
  kRampHighCut,
  kRampMix,
  kRampOutput,
  kRampAutoGain,
  kRampCeiling,
  kRampBypass,
  kRampWeight0,
  kRampCount = kRampWeight0 + kModelCount
};

// The ramps that advance at the oversampled rate: drive to high cut, then the model weights.
constexpr int kOversampledRampCount = kRampHighCut + 1 + kModelCount;

// Where every ramp heads for one setting, in ramp order.
struct RampTargets
{
  float values[kRampCount] = {};
  float operator[](int i) const { return values[i]; }
};

// The one mapping from the fourteen parameter values (user units) to ramp targets: ranges come from
// EngineParams::kMinima/kMaxima, a value that is not finite counts as 0, gains are 10^(dB/20), cut-off
// frequencies become one-pole coefficients at the oversampled rate, switches are on from 0.5, and the
// model index is rounded to the nearest of the six. forceBypass turns the bypass on whatever its value.
RampTargets MapParamsToTargets(const EngineParams& params, double oversampledRate, bool forceBypass);

} // namespace quorvel
