#include "framework/core/Timer.h"

#include "tests/support/UiPump.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>
#include <vector>

using iplug::Timer;
using iplug::Timer_impl;
using iplug::detail::CountRunningTimers;
using quorvel::test::PumpUiEvents;

// Callbacks run on the timer thread in portable builds and on this thread (while it
// pumps) on Windows: everything they touch is atomic.

namespace
{
// Pumps until done() holds or a deadline far beyond any tick interval passes: on a loaded
// machine the first ticks may come hundreds of milliseconds late, so a fixed pumping window
// would fail a sound timer. Returns whether done() held.
bool PumpUntil(const std::function<bool()>& done)
{
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done())
  {
    if (std::chrono::steady_clock::now() > deadline) return false;
    PumpUiEvents(5);
  }
  return true;
}
} // namespace

TEST(Timer, TwoTimersEachCallOnlyTheirOwnCallback)
{
  const int32_t baseline = CountRunningTimers();
  std::atomic<int> fastTicks{0}, slowTicks{0};
  std::atomic<Timer*> fastSeen{nullptr}, slowSeen{nullptr};
  Timer* fast = Timer::StartTimer(
      [&](Timer& t)
      {
        fastSeen = &t;
        ++fastTicks;
      },
      10);
  Timer* slow = Timer::StartTimer(
      [&](Timer& t)
      {
        slowSeen = &t;
        ++slowTicks;
      },
      60);
  EXPECT_EQ(CountRunningTimers(), baseline + 2);

  EXPECT_TRUE(PumpUntil([&] { return slowTicks >= 2 && fastTicks >= 5; }));
  EXPECT_GT(fastTicks.load(), slowTicks.load());
  EXPECT_EQ(fastSeen.load(), fast);
  EXPECT_EQ(slowSeen.load(), slow);

  delete fast;
  delete slow;
  EXPECT_EQ(CountRunningTimers(), baseline);
  const int fastAfter = fastTicks, slowAfter = slowTicks;
  PumpUiEvents(100);
  EXPECT_EQ(fastTicks.load(), fastAfter);
  EXPECT_EQ(slowTicks.load(), slowAfter);
}

TEST(Timer, TimerMayStopOrDeleteItselfInsideItsTick)
{
  const int32_t baseline = CountRunningTimers();
  std::atomic<int> stopperTicks{0}, deleterTicks{0}, witnessTicks{0};
  Timer* stopper = Timer::StartTimer(
      [&](Timer& t)
      {
        ++stopperTicks;
        t.StopTimer();
        t.StopTimer(); // a second stop has no effect
      },
      10);
  Timer::StartTimer(
      [&](Timer& t)
      {
        if (++deleterTicks == 3) delete &t;
      },
      10);
  Timer* witness = Timer::StartTimer([&](Timer&) { ++witnessTicks; }, 10);

  EXPECT_TRUE(PumpUntil([&] { return stopperTicks >= 1 && deleterTicks >= 3 && witnessTicks >= 3; }));
  EXPECT_EQ(stopperTicks.load(), 1);
  EXPECT_EQ(deleterTicks.load(), 3);
  EXPECT_FALSE(static_cast<Timer_impl*>(stopper)->IsRunning());
  EXPECT_EQ(CountRunningTimers(), baseline + 1);

  // The others are gone from the list and the lock was released: the witness goes on,
  // and the stopped and deleted timers stay silent meanwhile.
  const int witnessBefore = witnessTicks;
  EXPECT_TRUE(PumpUntil([&] { return witnessTicks >= witnessBefore + 3; }));
  EXPECT_EQ(stopperTicks.load(), 1);
  EXPECT_EQ(deleterTicks.load(), 3);

  delete stopper;
  delete witness;
  EXPECT_EQ(CountRunningTimers(), baseline);
}

TEST(Timer, TimerStartedInsideATickRuns)
{
  std::atomic<Timer*> started{nullptr};
  std::atomic<int> startedTicks{0};
  Timer* starter = Timer::StartTimer(
      [&](Timer& t)
      {
        started = Timer::StartTimer([&](Timer&) { ++startedTicks; }, 10);
        t.StopTimer();
      },
      10);
  EXPECT_TRUE(PumpUntil([&] { return startedTicks >= 3; }));
  EXPECT_NE(started.load(), nullptr);
  delete started.load();
  delete starter;
}

// Timers come and go while the timer machinery waits for the next one that is due; the
// wait must not hold on to the bookkeeping of a timer that moved or went away (ASan sees
// it), and a short timer started behind long ones still ticks at its own pace.
TEST(Timer, TimersStartedAndStoppedWhileWaitingAreAllServed)
{
  const int32_t baseline = CountRunningTimers();
  std::vector<Timer*> slow;
  for (int i = 0; i < 16; ++i)
  {
    slow.push_back(Timer::StartTimer([](Timer&) {}, 10000));
    PumpUiEvents(15); // let the wait for the earliest one begin again
  }
  for (int i = 0; i < 16; i += 2)
  {
    delete slow[static_cast<size_t>(i)];
    PumpUiEvents(5);
  }
  std::atomic<int> fastTicks{0};
  Timer* fast = Timer::StartTimer([&](Timer&) { ++fastTicks; }, 10);
  EXPECT_EQ(CountRunningTimers(), baseline + 9);
  EXPECT_TRUE(PumpUntil([&] { return fastTicks >= 3; }));

  delete fast;
  for (int i = 1; i < 16; i += 2)
    delete slow[static_cast<size_t>(i)];
  EXPECT_EQ(CountRunningTimers(), baseline);
}

TEST(Timer, TimerThatNeverStartedLeavesTheListAlone)
{
  const int32_t baseline = CountRunningTimers();
  std::atomic<int> ticks{0};
  Timer* running = Timer::StartTimer([&](Timer&) { ++ticks; }, 10);

  auto* idle = new Timer_impl([&](Timer&) { ADD_FAILURE() << "an idle timer fired"; }, 10);
  EXPECT_FALSE(idle->IsRunning());
  idle->StopTimer();
  delete idle;
  EXPECT_EQ(CountRunningTimers(), baseline + 1);

  EXPECT_TRUE(PumpUntil([&] { return ticks >= 3; }));
  delete running;
  EXPECT_EQ(CountRunningTimers(), baseline);
}

// Deleting a timer from another thread while its callback runs must wait for the
// callback: afterwards nothing of the timer is used again.
TEST(Timer, DeletionFromAnotherThreadWaitsForARunningTick)
{
  std::atomic<bool> inTick{false};
  std::atomic<int> ticks{0};
  Timer* timer = Timer::StartTimer(
      [&](Timer&)
      {
        inTick = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(80));
        ++ticks;
        inTick = false;
      },
      10);

  std::atomic<bool> deletedDuringTick{true};
  std::atomic<int> ticksAtDeletion{-1};
  std::atomic<bool> deleted{false};
  std::thread other(
      [&]
      {
        while (!inTick)
          std::this_thread::sleep_for(std::chrono::milliseconds(1));
        delete timer;
        deletedDuringTick = inTick.load();
        ticksAtDeletion = ticks.load();
        deleted = true;
      });
  const bool finished = PumpUntil([&] { return deleted.load(); });
  if (!finished) inTick = true; // no tick ever came: release the other thread (and fail)
  other.join();
  ASSERT_TRUE(finished);
  EXPECT_FALSE(deletedDuringTick.load());
  EXPECT_GE(ticksAtDeletion.load(), 1);
  PumpUiEvents(100);
  EXPECT_EQ(ticks.load(), ticksAtDeletion.load());
}
