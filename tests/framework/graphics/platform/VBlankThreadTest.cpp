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
  BlockingPlatform(HANDLE entered, HANDLE release) : mEntered(entered), mRelease(release) {}
  ~BlockingPlatform() override { gPlatformFreed = true; }
  bool HasAdapterFunctions() override { return true; }
  bool OpenAdapter(void*) override { return true; }
  bool WaitForVBlank() override
  {
    SetEvent(mEntered);
    WaitForSingleObject(mRelease, INFINITE);
    Sleep(1);
    return true;
  }
  void CloseAdapter() override {}
  uint32_t TickCountMs() override { return GetTickCount(); }
  void SleepMs(uint32_t ms) override { Sleep(ms); }
  void PostTick(void* window, uint32_t counter) override
  {
    PostMessageW(static_cast<HWND>(window), kDisplayTickMessage, counter, 0);
  }

private:
  HANDLE mEntered;
  HANDLE mRelease;
};

TEST(VBlankThread, AHangingWaitEndsTheStopAfterItsBoundAndTheThreadLaterExitsAlone)
{
  HWND window =
      CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  HANDLE entered = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  gPlatformFreed = false;
  VBlankThread thread;
  ASSERT_TRUE(thread.Start(window, std::make_unique<BlockingPlatform>(entered, release)));
  ASSERT_EQ(WaitForSingleObject(entered, 10000), WAIT_OBJECT_0); // the thread hangs in its wait now
  const DWORD before = GetTickCount();
  EXPECT_FALSE(thread.Stop(200));
  EXPECT_LT(GetTickCount() - before, 2000u);
  EXPECT_FALSE(gPlatformFreed);
  SetEvent(release);
  for (int i = 0; i < 200 && !gPlatformFreed; i++)
    Sleep(10);
  EXPECT_TRUE(gPlatformFreed); // the thread freed the shared block (and the platform) on its way out
  CloseHandle(release);
  CloseHandle(entered);
  DestroyWindow(window);
}

} // namespace
} // namespace iplug::igraphics
