#include "framework/graphics/platform/VBlankThread.h"
#include "framework/graphics/platform/Win32Handles.h"

namespace iplug::igraphics
{

namespace
{

using win32::ScopedWindowDC;
using win32::UniqueModule;

// The D3DKMT records, as gdi32 takes them (no public header of the toolchain declares them).
using KmtHandle = UINT;
struct KmtOpenAdapterFromHdc
{
  HDC hdc;
  KmtHandle adapter;
  LUID adapterLuid;
  UINT videoPresentSource;
};
struct KmtCloseAdapter
{
  KmtHandle adapter;
};
struct KmtWaitForVerticalBlank
{
  KmtHandle adapter;
  KmtHandle device;
  UINT videoPresentSource;
};
using OpenAdapterFn = LONG(APIENTRY*)(KmtOpenAdapterFromHdc*);
using CloseAdapterFn = LONG(APIENTRY*)(const KmtCloseAdapter*);
using WaitForVBlankFn = LONG(APIENTRY*)(const KmtWaitForVerticalBlank*);

class SystemVBlankPlatform final : public IVBlankPlatform
{
public:
  SystemVBlankPlatform() : mGdi(LoadLibraryW(L"gdi32.dll"))
  {
    if (!mGdi) return;
    mOpen = reinterpret_cast<OpenAdapterFn>(
        reinterpret_cast<void*>(GetProcAddress(mGdi.Get(), "D3DKMTOpenAdapterFromHdc")));
    mClose = reinterpret_cast<CloseAdapterFn>(
        reinterpret_cast<void*>(GetProcAddress(mGdi.Get(), "D3DKMTCloseAdapter")));
    mWait = reinterpret_cast<WaitForVBlankFn>(
        reinterpret_cast<void*>(GetProcAddress(mGdi.Get(), "D3DKMTWaitForVerticalBlankEvent")));
  }

  bool HasAdapterFunctions() override { return mOpen && mClose && mWait; }

  bool OpenAdapter(void* window) override
  {
    ScopedWindowDC dc(static_cast<HWND>(window));
    if (!dc.Get()) return false;
    KmtOpenAdapterFromHdc open{};
    open.hdc = dc.Get();
    if (mOpen(&open) < 0) return false;
    mWaitRecord = {open.adapter, 0, open.videoPresentSource};
    return true;
  }

  bool WaitForVBlank() override { return mWait(&mWaitRecord) >= 0; }

  void CloseAdapter() override
  {
    const KmtCloseAdapter close{mWaitRecord.adapter};
    mClose(&close);
  }

  uint32_t TickCountMs() override { return GetTickCount(); }
  void SleepMs(uint32_t ms) override { Sleep(ms); }
  void PostTick(void* window, uint32_t counter) override
  {
    PostMessageW(static_cast<HWND>(window), kDisplayTickMessage, counter, 0);
  }

private:
  UniqueModule mGdi;
  OpenAdapterFn mOpen = nullptr;
  CloseAdapterFn mClose = nullptr;
  WaitForVBlankFn mWait = nullptr;
  KmtWaitForVerticalBlank mWaitRecord{};
};

DWORD WINAPI VBlankThreadProc(void* param)
{
  auto* shared = static_cast<VBlankShared*>(param);
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
  try
  {
    RunVBlankLoop(*shared);
  }
  catch (...)
  {
    // Nothing may leave a thread procedure; the window stops getting ticks and redraws on demand only.
  }
  shared->Release();
  return 0;
}

} // namespace

std::unique_ptr<IVBlankPlatform> MakeSystemVBlankPlatform()
{
  return std::make_unique<SystemVBlankPlatform>();
}

bool VBlankThread::Start(void* window, std::unique_ptr<IVBlankPlatform> platform, ThreadCreator create)
{
  Stop();
  try
  {
    if (!platform) platform = MakeSystemVBlankPlatform();
    mShared = new VBlankShared(window, std::move(platform));
  }
  catch (...)
  {
    return false;
  }
  mShared->AddRef(); // the thread's reference
  HANDLE thread = create ? create(VBlankThreadProc, mShared)
                         : CreateThread(nullptr, 0, VBlankThreadProc, mShared, 0, nullptr);
  if (!thread)
  {
    mShared->Release();
    mShared->Release();
    mShared = nullptr;
    return false;
  }
  mThread = thread;
  return true;
}

bool VBlankThread::Stop(uint32_t waitMs)
{
  if (!mShared) return true;
  mShared->RequestStop();
  win32::UniqueKernelHandle thread(static_cast<HANDLE>(mThread));
  mThread = nullptr;
  const bool ended = WaitForSingleObject(thread.Get(), waitMs) == WAIT_OBJECT_0;
  mShared->Release();
  mShared = nullptr;
  return ended;
}

} // namespace iplug::igraphics
