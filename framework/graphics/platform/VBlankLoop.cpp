#include "framework/graphics/platform/VBlankLoop.h"

namespace iplug::igraphics
{

namespace
{

void Tick(VBlankShared& shared)
{
  shared.Platform().PostTick(shared.Window(), shared.NextCounter());
}

void RunAdapterLoop(VBlankShared& shared)
{
  IVBlankPlatform& platform = shared.Platform();
  bool open = false;
  bool failedBefore = false;
  uint32_t lastFailure = 0;
  while (!shared.StopRequested())
  {
    if (!open)
    {
      // Unsigned distance: also right when the millisecond clock wraps.
      if (failedBefore && platform.TickCountMs() - lastFailure < kAdapterRetryMs)
      {
        platform.SleepMs(kVBlankFallbackSleepMs);
        Tick(shared);
        continue;
      }
      if (!platform.OpenAdapter(shared.Window()))
      {
        failedBefore = true;
        lastFailure = platform.TickCountMs();
        platform.SleepMs(kVBlankFallbackSleepMs);
        Tick(shared);
        continue;
      }
      failedBefore = false;
      open = true;
    }
    if (!platform.WaitForVBlank())
    {
      platform.CloseAdapter();
      open = false;
      platform.SleepMs(kVBlankFallbackSleepMs);
    }
    Tick(shared);
  }
  if (open) platform.CloseAdapter();
}

} // namespace

void RunVBlankLoop(VBlankShared& shared)
{
  if (shared.Platform().HasAdapterFunctions())
  {
    RunAdapterLoop(shared);
    return;
  }
  while (!shared.StopRequested())
  {
    shared.Platform().SleepMs(kVBlankFallbackSleepMs);
    Tick(shared);
  }
}

} // namespace iplug::igraphics
