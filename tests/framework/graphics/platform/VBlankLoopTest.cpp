#include "framework/graphics/platform/VBlankLoop.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace iplug::igraphics
{
namespace
{

// A scripted system: a clock that only sleeps move, adapter results from lists, and a log of calls.
class ScriptedVBlank : public IVBlankPlatform
{
public:
  ScriptedVBlank(std::vector<bool> opens, std::vector<bool> waits, int stopAfterPosts, bool functions = true)
      : mOpens(std::move(opens)), mWaits(std::move(waits)), mStopAfter(stopAfterPosts), mFunctions(functions)
  {
  }
  bool HasAdapterFunctions() override { return mFunctions; }
  bool OpenAdapter(void* window) override
  {
    EXPECT_EQ(window, reinterpret_cast<void*>(0x1234));
    log += "O";
    openTimes.push_back(now);
    return Next(mOpens);
  }
  bool WaitForVBlank() override
  {
    log += "W";
    now += 16;
    return Next(mWaits);
  }
  void CloseAdapter() override { log += "C"; }
  uint32_t TickCountMs() override { return now; }
  void SleepMs(uint32_t ms) override
  {
    log += "S";
    now += ms;
  }
  void PostTick(void*, uint32_t counter) override
  {
    counters.push_back(counter);
    if (static_cast<int>(counters.size()) == mStopAfter) shared->RequestStop();
  }

  std::string log;
  std::vector<uint32_t> counters;
  std::vector<uint32_t> openTimes;
  uint32_t now = 5000;
  VBlankShared* shared = nullptr;

private:
  static bool Next(std::vector<bool>& results)
  {
    if (results.empty()) return true;
    const bool r = results.front();
    results.erase(results.begin());
    return r;
  }
  std::vector<bool> mOpens, mWaits;
  int mStopAfter;
  bool mFunctions;
};

// Runs the loop to its end; the block (and the platform with it) is freed when r.second is released.
std::pair<ScriptedVBlank*, VBlankShared*> Start(ScriptedVBlank* platform)
{
  auto* shared =
      new VBlankShared(reinterpret_cast<void*>(0x1234), std::unique_ptr<IVBlankPlatform>(platform));
  platform->shared = shared;
  RunVBlankLoop(*shared);
  return {platform, shared};
}

TEST(VBlankLoop, FailedOpenTicksEvery16msAndRetriesAfterASecond)
{
  auto r = Start(new ScriptedVBlank({false, true}, {}, 70));
  ASSERT_EQ(r.first->openTimes.size(), 2u);
  EXPECT_GE(r.first->openTimes[1] - r.first->openTimes[0], kAdapterRetryMs);
  EXPECT_LT(r.first->openTimes[1] - r.first->openTimes[0], kAdapterRetryMs + 32);
  // Between the two opens: one sleep and one tick each 16 ms.
  EXPECT_EQ(r.first->log.substr(0, 3), "OSS");
  ASSERT_EQ(r.first->counters.size(), 70u);
  for (size_t i = 0; i < r.first->counters.size(); i++)
    EXPECT_EQ(r.first->counters[i], i + 1);
  EXPECT_EQ(r.second->Counter(), 70u);
  EXPECT_EQ(r.first->log.back(), 'C'); // the open adapter is closed when the loop ends
  r.second->Release();
}

TEST(VBlankLoop, FailedWaitClosesSleepsAndReopens)
{
  auto r = Start(new ScriptedVBlank({}, {true, false, true}, 3));
  EXPECT_EQ(r.first->log, "OWWCSOWC");
  EXPECT_EQ(r.first->counters.size(), 3u);
  r.second->Release();
}

TEST(VBlankLoop, WithoutAdapterFunctionsItSleepsAndTicks)
{
  auto r = Start(new ScriptedVBlank({}, {}, 4, false));
  EXPECT_EQ(r.first->log, "SSSS");
  EXPECT_EQ(r.first->now, 5000u + 4 * 16);
  r.second->Release();
}

TEST(VBlankLoop, RetryTimingSurvivesTheClockWrap)
{
  auto* platform = new ScriptedVBlank({false, true}, {}, 80);
  platform->now = 0xFFFFFF00u;
  auto r = Start(platform);
  ASSERT_EQ(r.first->openTimes.size(), 2u);
  EXPECT_GE(r.first->openTimes[1] - r.first->openTimes[0], kAdapterRetryMs);
  r.second->Release();
}

} // namespace
} // namespace iplug::igraphics
