#pragma once
// Mouse, wheel and touch messages of the editor window turned into editor-unit pointer events. The window
// procedure hands over the raw message words; nothing here calls the system.

#include "framework/graphics/IInputEvents.h"

#include <cstdint>
#include <unordered_map>

namespace iplug::igraphics
{

// Signed client coordinates from the message's low and high words, divided by scale; button and modifier
// bits from wParam (MK_LBUTTON 1, MK_RBUTTON 2, MK_SHIFT 4, MK_CONTROL 8). Alt is not in wParam.
IPointerEvent DecodeMouse(uintptr_t lParam, uintptr_t wParam, bool altDown, float scale);

// Mouse messages synthesised from pen or touch input carry this signature in their extra info.
bool IsPenOrTouchMessage(uintptr_t extraInfo);

// Whole wheel notches, truncated toward zero: a delta of 60 scrolls nothing.
int WheelNotches(uintptr_t wParam);

// One touch input in client pixels, as the window procedure read it.
struct TouchInput
{
  int32_t clientX = 0;
  int32_t clientY = 0;
  int64_t id = 0;
  uint32_t flags = 0;          // TOUCHEVENTF_MOVE 1, DOWN 2, UP 4
  bool hasContactSize = false; // TOUCHINPUTMASKF_CONTACTAREA
  float contactWidth = 0.f;
};

struct TouchLists
{
  IPointerList downs;
  IPointerList ups;
  IPointerList moves;
};

// Remembers each active touch between messages so that moves carry their distance.
class TouchTracker
{
public:
  TouchLists Decode(const TouchInput* inputs, int count, float scale);
  int ActiveCount() const { return static_cast<int>(mActive.size()); }
  void Clear() { mActive.clear(); }

private:
  std::unordered_map<int64_t, IPointerEvent> mActive;
};

} // namespace iplug::igraphics
