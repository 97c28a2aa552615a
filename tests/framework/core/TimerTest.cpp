#include "framework/core/Timer.h"

#include "tests/support/UiPump.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using iplug::Timer;
using iplug::Timer_impl;
using iplug::detail::CountRunningTimers;
using quorvel::test::PumpUiEvents;

// Callbacks run on the timer thread in portable builds and on this thread (while it
// pumps) on Windows: everything they touch is atomic.

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

  PumpUiEvents(400);
  EXPECT_GE(fastTicks.load(), 5);
  EXPECT_GE(slowTicks.load(), 2);
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

  PumpUiEvents(300);
  EXPECT_EQ(stopperTicks.load(), 1);
  EXPECT_EQ(deleterTicks.load(), 3);
  EXPECT_FALSE(static_cast<Timer_impl*>(stopper)->IsRunning());
  EXPECT_EQ(CountRunningTimers(), baseline + 1);

  // The others are gone from the list and the lock was released: the witness goes on.
  const int witnessBefore = witnessTicks;
  EXPECT_GE(witnessBefore, 3);
  PumpUiEvents(100);
  EXPECT_GT(witnessTicks.load(), witnessBefore);
  EXPECT_EQ(stopperTicks.load(), 1);

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
  PumpUiEvents(300);
  ASSERT_NE(started.load(), nullptr);
  EXPECT_GE(startedTicks.load(), 3);
  delete started.load();
  delete starter;
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

  PumpUiEvents(150);
  EXPECT_GE(ticks.load(), 3);
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
  std::thread other(
      [&]
      {
        while (!inTick)
          std::this_thread::sleep_for(std::chrono::milliseconds(1));
        delete timer;
        deletedDuringTick = inTick.load();
        ticksAtDeletion = ticks.load();
      });
  PumpUiEvents(600);
  other.join();
  EXPECT_FALSE(deletedDuringTick.load());
  EXPECT_GE(ticksAtDeletion.load(), 1);
  PumpUiEvents(100);
  EXPECT_EQ(ticks.load(), ticksAtDeletion.load());
}
