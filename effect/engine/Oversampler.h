#pragma once

#include "effect/engine/HalfBandFir.h"

namespace quorvel
{

// One channel's 4x up and down conversion: two half-band stages each way and a fractional-delay
// allpass, which together delay the wet path by exactly 61 base-rate frames at low frequencies.
struct Oversampler
{
  HalfBandFir up1, up2, down1, down2;
  float apIn = 0.f;
  float apOut = 0.f;

  void Reset();
  // One base-rate sample in, four oversampled samples out.
  void UpsampleFrame(float x, float* os);
  // Four oversampled samples in, one base-rate sample out.
  float DownsampleFrame(const float* os);
};

} // namespace quorvel
