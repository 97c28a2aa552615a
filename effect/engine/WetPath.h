#pragma once

#include "effect/engine/ParamRamp.h"
#include "effect/engine/QuorvelEngineLimits.h"
#include "effect/engine/RampTargets.h"
#include "effect/engine/ShapeSample.h"

namespace quorvel
{

struct ShaperTables;

// What the oversampled stages work on: the chunk's four phases gathered into lanes (one channel per
// lane, lanes 2 and 3 scratch), the scratch of the passes, the filter and model states and the
// coefficients the engine's preparation computed. One fixed-size record inside the engine.
struct WetPath
{
  static constexpr int kLanes = 4;
  static constexpr int kOversampling = kEngineOversampling;
  static constexpr int kOsMax = kEngineMaxBlock * kOversampling;
  static constexpr int kOsRampCount = kOversampledRampCount;

  struct alignas(32) LaneState
  {
    float toneLow[kLanes] = {};
    float bassLow[kLanes] = {};
    float lowCut[kLanes] = {};
    float highCut[kLanes] = {};
    float dcIn[kLanes] = {};
    float dcOut[kLanes] = {};
    float models[kModelCount][kModelStateSize][kLanes] = {};
  };

  // In: the upsampled chunk; out: the processed samples, in place.
  alignas(32) float osLanes[kOsMax * kLanes] = {};
  // Per-chunk scratch: tilted input, bass band, driven signal, model mix, and the models' own.
  alignas(32) float dryOs[kOsMax * kLanes] = {};
  alignas(32) float bassOs[kOsMax * kLanes] = {};
  alignas(32) float driven[kOsMax * kLanes] = {};
  alignas(32) float wetOs[kOsMax * kLanes] = {};
  alignas(32) float scratchH[kOsMax * kLanes] = {};
  alignas(32) float scratchEnv[kOsMax * kLanes] = {};
  alignas(32) float scratch1[kOsMax * kLanes] = {};
  alignas(32) float scratch2[kOsMax * kLanes] = {};
  alignas(32) float rampValues[kOsRampCount][kOsMax] = {};
  LaneState lanes;

  const ShaperTables* tables = nullptr;
  float toneSplit = 0.f;
  float bassSplit = 0.f;
  float dcBlock = 0.f;
  ModelCoefficients modelCoeffs;
  int channels = 2;
};

} // namespace quorvel
