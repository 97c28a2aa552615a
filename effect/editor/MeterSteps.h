#pragma once
// The meters' time base: whole steps of 1/30 s of elapsed time on a steady clock. The display tick
// follows the monitor's refresh (60, 144 Hz, or a timer when there is none), so counting ticks would make
// the decay and the red hold last differently on every screen; counting elapsed steps makes a 45-step
// hold last 1.5 s everywhere, with several steps at once after a stall and none between two steps.

#include <chrono>
#include <cstdint>
#include <functional>

namespace quorvel
{

class MeterSteps
{
public:
  // Time since any fixed origin; only differences are used.
  using Clock = std::function<std::chrono::nanoseconds()>;

  static constexpr int64_t kStepsPerSecond = 30;
  // After a longer stall (a window left hidden) the meters catch up as if ten seconds had passed: every
  // decay has reached silence and every hold has run out long before.
  static constexpr int kMaxCatchUpSteps = 300;

  static std::chrono::nanoseconds SteadyNow();

  // The first step is due one step after construction.
  explicit MeterSteps(Clock clock = SteadyNow);

  // The whole steps that fell due since the last call (0 to kMaxCatchUpSteps). Steps are counted from
  // the origin, so the parts of a step left over by one call count toward the next.
  int TakeDueSteps();

private:
  Clock mClock;
  std::chrono::nanoseconds mOrigin;
  int64_t mStepsTaken = 0;
};

} // namespace quorvel
