#pragma once

#include <cmath>

namespace quorvel
{

constexpr float kSampleLimit = 64.f;

// Keeps every value that leaves a stage usable: NaN and infinities become silence, anything else
// is held within +-64 so that no later stage can overflow.
inline float ClampSample(float v)
{
  if (!std::isfinite(v)) return 0.f;
  return v > kSampleLimit ? kSampleLimit : (v < -kSampleLimit ? -kSampleLimit : v);
}

} // namespace quorvel
