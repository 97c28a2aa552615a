#pragma once

#include "effect/engine/QuorvelEngineLimits.h"

namespace quorvel
{

// What the base-rate stages work on: the dry delay line (the input chunk lands after the latency's
// worth of history), the down-sampled wet chunk, the level follower's state and its per-frame
// scratch. One fixed-size record inside the engine, handed to the kernels like WetPath.
struct BaseRatePath
{
  static constexpr int kMaxChannels = 2;
  static constexpr int kLatency = kEngineLatency;
  static constexpr int kMaxBlock = kEngineMaxBlock;

  alignas(32) float dryLine[kMaxChannels][kLatency + kMaxBlock] = {};
  alignas(32) float wet[kMaxChannels][kMaxBlock] = {};
  // Per frame of the chunk: the channel-averaged dry and wet powers, then their smoothed values,
  // then the match gain's target and finally the smoothed match gain.
  alignas(32) float dryPower[kMaxBlock] = {};
  alignas(32) float wetPower[kMaxBlock] = {};
  alignas(32) float match[kMaxBlock] = {};

  float smoothDry = 0.f;
  float smoothWet = 0.f;
  float matchGain = 1.f;
  float powerSmoothing = 0.f;
  float gainSmoothing = 0.f;
  int channels = 2;
};

} // namespace quorvel
