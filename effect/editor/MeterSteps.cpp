#include "effect/editor/MeterSteps.h"

#include <algorithm>
#include <utility>

namespace quorvel
{

std::chrono::nanoseconds MeterSteps::SteadyNow()
{
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
      std::chrono::steady_clock::now().time_since_epoch());
}

MeterSteps::MeterSteps(Clock clock) : mClock(std::move(clock)), mOrigin(mClock()) {}

int MeterSteps::TakeDueSteps()
{
  const int64_t elapsedNs = (mClock() - mOrigin).count();
  // In integers: 1/30 s is no whole number of nanoseconds, and a rounded step would drift.
  const int64_t due = elapsedNs > 0 ? elapsedNs * kStepsPerSecond / 1'000'000'000 : 0;
  const int64_t steps = due - mStepsTaken;
  if (steps <= 0) return 0;
  mStepsTaken = due;
  return static_cast<int>(std::min<int64_t>(steps, kMaxCatchUpSteps));
}

} // namespace quorvel
