#pragma once
// The body of the display-tick thread, apart from the system: it waits for each vertical blank of the
// adapter showing the editor window (or sleeps 16 ms where it cannot) and posts the running tick counter
// to the window. The state it shares with the window lives in a reference-counted block that the side
// finishing last frees, so a thread that outlives the window's bounded wait never touches freed memory.

#include <atomic>
#include <cstdint>
#include <memory>

namespace iplug::igraphics
{

// What the loop needs of the system; the real one calls the D3DKMT functions of gdi32.
class IVBlankPlatform
{
public:
  virtual ~IVBlankPlatform() = default;
  virtual bool HasAdapterFunctions() = 0;
  // Opens the adapter behind the window (its device context is given back on every path).
  virtual bool OpenAdapter(void* window) = 0;
  virtual bool WaitForVBlank() = 0;
  virtual void CloseAdapter() = 0;
  virtual uint32_t TickCountMs() = 0;
  virtual void SleepMs(uint32_t ms) = 0;
  virtual void PostTick(void* window, uint32_t counter) = 0;
};

class VBlankShared
{
public:
  VBlankShared(void* window, std::unique_ptr<IVBlankPlatform> platform)
      : mWindow(window), mPlatform(std::move(platform))
  {
  }

  // Each side (window and thread) holds one reference; the one that drops the last frees the block.
  void AddRef() { mRefs.fetch_add(1, std::memory_order_relaxed); }
  void Release()
  {
    if (mRefs.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
  }

  void RequestStop() { mStop.store(true, std::memory_order_release); }
  bool StopRequested() const { return mStop.load(std::memory_order_acquire); }
  uint32_t Counter() const { return mCounter.load(std::memory_order_acquire); }
  uint32_t NextCounter() { return mCounter.fetch_add(1, std::memory_order_acq_rel) + 1; }
  void* Window() const { return mWindow; }
  IVBlankPlatform& Platform() { return *mPlatform; }

private:
  ~VBlankShared() = default;

  std::atomic<int> mRefs{1};
  std::atomic<bool> mStop{false};
  std::atomic<uint32_t> mCounter{0};
  void* const mWindow;
  std::unique_ptr<IVBlankPlatform> mPlatform;
};

// Runs until a stop is requested. Timing: a failed adapter open is retried no sooner than 1000 ms later,
// with 16 ms sleeps (and ticks) in between; a failed wait closes the adapter and sleeps 16 ms.
void RunVBlankLoop(VBlankShared& shared);

constexpr uint32_t kVBlankFallbackSleepMs = 16;
constexpr uint32_t kAdapterRetryMs = 1000;

// Starts a thread running proc(arg) and gives its handle, null on failure: CreateThread unless replaced. The
// procedure has the 64-bit Windows thread procedure's form.
using ThreadCreator = void* (*)(unsigned long (*proc)(void*), void* arg);

} // namespace iplug::igraphics
