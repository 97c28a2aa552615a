#include "framework/core/Mutex.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

using iplug::Mutex;
using iplug::ScopedLock;

// A lock that is not re-entrant deadlocks here, and the test times out.
TEST(Mutex, OwnerMayEnterAgainAndOthersWaitForTheLastLeave)
{
  Mutex mutex;
  mutex.Enter();
  mutex.Enter();
  {
    ScopedLock nested(&mutex);
  }

  std::atomic<bool> entered{false};
  std::thread other(
      [&]
      {
        ScopedLock lock(&mutex);
        entered = true;
      });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(entered.load());
  mutex.Leave();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(entered.load()) << "one Leave too few must still hold the lock";
  mutex.Leave();
  other.join();
  EXPECT_TRUE(entered.load());
}

TEST(Mutex, ScopedLocksExcludeEachOther)
{
  Mutex mutex;
  long counter = 0; // deliberately not atomic: only the lock protects it
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back(
        [&]
        {
          for (int i = 0; i < 20000; ++i)
          {
            ScopedLock outer(&mutex);
            ScopedLock inner(&mutex);
            const long seen = counter;
            counter = seen + 1;
          }
        });
  for (auto& t : threads)
    t.join();
  EXPECT_EQ(counter, 80000);

  // No mutex, no lock: must not crash.
  ScopedLock none(nullptr);
}
