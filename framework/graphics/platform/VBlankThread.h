#pragma once
// The editor window's display-tick thread: created when the window is, stopped with a bounded wait when
// it closes. The thread only posts tick messages; its state block outlives whichever side ends last.

#include "framework/graphics/platform/VBlankLoop.h"

#include <cstdint>
#include <memory>

namespace iplug::igraphics
{

// The message each tick posts, with the tick counter in wParam.
constexpr unsigned kDisplayTickMessage = 0x0400 + 1;
constexpr uint32_t kVBlankStopWaitMs = 10000;

// The real system: the D3DKMT functions of gdi32, the millisecond clock, Sleep and PostMessageW.
std::unique_ptr<IVBlankPlatform> MakeSystemVBlankPlatform();

class VBlankThread
{
public:
  VBlankThread() = default;
  ~VBlankThread() { Stop(); }
  VBlankThread(const VBlankThread&) = delete;
  VBlankThread& operator=(const VBlankThread&) = delete;

  // False when no thread could be started (the caller falls back to a timer).
  bool Start(void* window, std::unique_ptr<IVBlankPlatform> platform = nullptr,
             ThreadCreator create = nullptr);
  // Asks the thread to end and waits at most waitMs; false when it had not ended by then (it ends later
  // on its own and frees the state block itself).
  bool Stop(uint32_t waitMs = kVBlankStopWaitMs);
  bool IsRunning() const { return mShared != nullptr; }
  // The counter of the latest tick posted; 0 when no thread runs.
  uint32_t Counter() const { return mShared ? mShared->Counter() : 0; }

private:
  VBlankShared* mShared = nullptr;
  void* mThread = nullptr;
};

} // namespace iplug::igraphics
