#include "framework/graphics/platform/VBlankThread.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>

namespace iplug::igraphics
{
namespace
{

std::atomic<bool> gPlatformFreed{false};

// Ticks without an adapter; the wait can be made to hang until released.
class BlockingPlatform : public IVBlankPlatform
{
public:
  explicit BlockingPlatform(HANDLE release) : mRelease(release) {}
  ~BlockingPlatform() override { gPlatformFreed = true; }
  bool HasAdapterFunctions() override { return true; }
  bool OpenAdapter(void*) override { return true; }
  bool WaitForVBlank() override
  {
    if (mRelease) WaitForSingleObject(mRelease, INFINITE);
    Sleep(1);
    return true;
  }
  void CloseAdapter() override {}
  uint32_t TickCountMs() override { return GetTickCount(); }
  void SleepMs(uint32_t ms) override { Sleep(ms); }
  void PostTick(void* window, uint32_t counter) override { PostMessageW(static_cast<HWND>(window), kDisplayTickMessage, counter, 0); }

private:
  HANDLE mRelease;
};

int PumpTicks(HWND window, int ms, uint32_t& lastCounter)
{
  int ticks = 0;
  const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
  MSG msg;
  while (GetTickCount() < end)
  {
    while (PeekMessageW(&msg, window, kDisplayTickMessage, kDisplayTickMessage, PM_REMOVE))
    {
      ticks++;
      lastCounter = static_cast<uint32_t>(msg.wParam);
    }
    Sleep(2);
  }
  return ticks;
}

TEST(VBlankThread, SystemThreadPostsCountedTicksUntilStopped)
{
  HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(window);
  VBlankThread thread;
  ASSERT_TRUE(thread.Start(window));
  uint32_t last = 0;
  const int ticks = PumpTicks(window, 300, last);
  EXPECT_GT(ticks, 5);    // about every 16 ms here
  EXPECT_LT(ticks, 60);
  EXPECT_LE(last, thread.Counter());
  EXPECT_TRUE(thread.Stop());
  EXPECT_FALSE(thread.IsRunning());
  PumpTicks(window, 20, last);
  EXPECT_EQ(PumpTicks(window, 100, last), 0); // nothing after the stop
  DestroyWindow(window);
}

TEST(VBlankThread, AHangingWaitEndsTheStopAfterItsBoundAndTheThreadLaterExitsAlone)
{
  HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  gPlatformFreed = false;
  VBlankThread thread;
  ASSERT_TRUE(thread.Start(window, std::make_unique<BlockingPlatform>(release)));
  Sleep(50);
  const DWORD before = GetTickCount();
  EXPECT_FALSE(thread.Stop(200));
  EXPECT_LT(GetTickCount() - before, 2000u);
  EXPECT_FALSE(gPlatformFreed);
  SetEvent(release);
  for (int i = 0; i < 200 && !gPlatformFreed; i++) Sleep(10);
  EXPECT_TRUE(gPlatformFreed); // the thread freed the shared block (and the platform) on its way out
  CloseHandle(release);
  DestroyWindow(window);
}

} // namespace
} // namespace iplug::igraphics
