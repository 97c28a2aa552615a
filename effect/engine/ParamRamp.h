#pragma once

#include <cmath>

namespace quorvel
{

// A linear glide from the current value to a target over a fixed number of steps.
struct ParamRamp
{
  float current = 0.f;
  float target = 0.f;
  float step = 0.f;
  int length = 0;
  int remaining = 0;

  // The value used for a sample is the one after the advance; the last step lands exactly on the
  // target so that rounding in the running sum never leaves a residue.
  float Advance()
  {
    if (remaining > 0)
    {
      if (--remaining == 0)
        current = target;
      else
        current += step;
    }
    return current;
  }

  bool IsIdle() const { return remaining <= 0; }

  void Jump(float v)
  {
    target = current = v;
    step = 0.f;
    remaining = 0;
  }

  // A ramp whose target is unchanged keeps gliding as before; NaN never compares equal, so a NaN
  // on either side restarts the glide.
  void SetTarget(float v)
  {
    if (v == target) return;
    target = v;
    remaining = length;
    if (length <= 0)
    {
      current = v;
      step = 0.f;
      remaining = 0;
    }
    else
    {
      step = (v - current) / static_cast<float>(length);
    }
  }

  // Preparation: keep the old target, sit on it, and take the new length.
  void Reset(int newLength)
  {
    length = newLength;
    remaining = 0;
    current = target;
  }
};

} // namespace quorvel
