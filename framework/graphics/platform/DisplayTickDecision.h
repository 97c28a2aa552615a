#pragma once
// The decisions of one display tick, apart from the window that carries them out. The tick counter is
// written by the vertical-blank thread and wraps; counters are compared by their signed distance.

#include <cstdint>

namespace iplug::igraphics
{

enum class TickAction
{
  Ignore,              // a stale tick, or one that falls inside the catch-up after a slow paint
  CancelTextEntry,     // close the platform text entry without applying its text
  CommitTextEntry,     // apply the entry's text, then close it
  ResetTextEntryState, // the editor was drawn around the entry last tick: this one draws nothing
  Draw,                // follow the display scale and invalidate what is dirty
};

// The platform text entry's states.
enum TextEntryState : int32_t
{
  kTextEntryIdle = 0,
  kTextEntryFocused = 1,
  kTextEntryDrawn = 2,
  kTextEntryCancel = 3,
  kTextEntryCommit = 4,
};

// True when a is later than b, also across the wrap of the counter.
inline bool CounterAfter(uint32_t a, uint32_t b)
{
  return static_cast<int32_t>(a - b) > 0;
}

struct TickSkip
{
  bool active = false;
  uint32_t until = 0;
};

struct TickInputs
{
  bool useVBlank = false;
  uint32_t messageCounter = 0; // the counter the tick message carried (0 for timer ticks)
  uint32_t tickCounter = 0;    // the thread's counter now
  bool textEntryOpen = false;
  int32_t textEntryState = kTextEntryIdle;
};

// Decides the tick; may end the catch-up (skip is cleared once the counter has reached it).
TickAction DecideTick(const TickInputs& in, TickSkip& skip);

// The scale a window follows: its DPI scale, never below 1 (as it opens).
float FollowedDisplayScale(float windowScale);
// The display scale is followed only while nothing holds the mouse: a drag must not change scale under it.
bool ShouldFollowDisplayScale(bool captureHeld, float windowScale, float displayScale);

// After a paint: when the thread ticked while it lasted, ticks up to the one after the current are skipped
// so that at most one frame is drawn per vertical blank.
void NoteSlowPaint(bool useVBlank, uint32_t messageCounter, uint32_t tickCounterNow, TickSkip& skip);

// Timer period of the fallback tick in ms: 1000 / fps, or 15 below 20.
int TimerPeriodMs(int fps);

} // namespace iplug::igraphics
