#include "framework/graphics/platform/DisplayTickDecision.h"

namespace iplug::igraphics
{

TickAction DecideTick(const TickInputs& in, TickSkip& skip)
{
  if (in.useVBlank)
  {
    if (skip.active && CounterAfter(skip.until, in.tickCounter)) return TickAction::Ignore;
    skip.active = false;
    if (in.messageCounter != in.tickCounter) return TickAction::Ignore;
  }
  if (in.textEntryOpen && in.textEntryState != kTextEntryIdle)
  {
    switch (in.textEntryState)
    {
    case kTextEntryCancel:
      return TickAction::CancelTextEntry;
    case kTextEntryCommit:
      return TickAction::CommitTextEntry;
    default:
      return TickAction::ResetTextEntryState;
    }
  }
  return TickAction::Draw;
}

float FollowedDisplayScale(float windowScale)
{
  return windowScale < 1.f ? 1.f : windowScale;
}

bool ShouldFollowDisplayScale(bool captureHeld, float windowScale, float displayScale)
{
  return !captureHeld && FollowedDisplayScale(windowScale) != displayScale;
}

void NoteSlowPaint(bool useVBlank, uint32_t messageCounter, uint32_t tickCounterNow, TickSkip& skip)
{
  if (!useVBlank || messageCounter == tickCounterNow) return;
  skip.active = true;
  skip.until = tickCounterNow + 1;
}

int TimerPeriodMs(int fps)
{
  const int period = fps > 0 ? 1000 / fps : 0;
  return period < 20 ? 15 : period;
}

} // namespace iplug::igraphics
