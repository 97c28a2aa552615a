#include "framework/graphics/platform/PointerDecoding.h"

namespace iplug::igraphics
{

namespace
{
constexpr uintptr_t kLeftButton = 0x1;
constexpr uintptr_t kRightButton = 0x2;
constexpr uintptr_t kShiftKey = 0x4;
constexpr uintptr_t kControlKey = 0x8;
constexpr uintptr_t kPenSignatureMask = 0xFFFFFF00;
constexpr uintptr_t kPenSignature = 0xFF515700;
constexpr int kWheelDeltaPerNotch = 120;
constexpr uint32_t kTouchMove = 0x1;
constexpr uint32_t kTouchDown = 0x2;
constexpr uint32_t kTouchUp = 0x4;

int16_t LowWord(uintptr_t v)
{
  return static_cast<int16_t>(static_cast<uint16_t>(v & 0xFFFF));
}
int16_t HighWord(uintptr_t v)
{
  return static_cast<int16_t>(static_cast<uint16_t>((v >> 16) & 0xFFFF));
}
} // namespace

IPointerEvent DecodeMouse(uintptr_t lParam, uintptr_t wParam, bool altDown, float scale)
{
  IPointerEvent e;
  e.x = static_cast<float>(LowWord(lParam)) / scale;
  e.y = static_cast<float>(HighWord(lParam)) / scale;
  e.ms = IModifierState((wParam & kLeftButton) != 0, (wParam & kRightButton) != 0, (wParam & kShiftKey) != 0,
                        (wParam & kControlKey) != 0, altDown);
  return e;
}

bool IsPenOrTouchMessage(uintptr_t extraInfo)
{
  return (extraInfo & kPenSignatureMask) == kPenSignature;
}

int WheelNotches(uintptr_t wParam)
{
  return HighWord(wParam) / kWheelDeltaPerNotch;
}

TouchLists TouchTracker::Decode(const TouchInput* inputs, int count, float scale)
{
  TouchLists lists;
  for (int i = 0; i < count; i++)
  {
    const TouchInput& in = inputs[i];
    IPointerEvent e;
    e.x = static_cast<float>(in.clientX) / scale;
    e.y = static_cast<float>(in.clientY) / scale;
    e.ms.touchId = in.id;
    e.ms.touchRadius = in.hasContactSize ? in.contactWidth : 0.f;
    if (in.flags & kTouchDown)
    {
      lists.downs.push_back(e);
      mActive[in.id] = e;
    }
    else if (in.flags & kTouchUp)
    {
      mActive.erase(in.id);
      lists.ups.push_back(e);
    }
    else if (in.flags & kTouchMove)
    {
      const auto found = mActive.find(in.id);
      if (found != mActive.end())
      {
        e.dX = e.x - found->second.x;
        e.dY = e.y - found->second.y;
      }
      lists.moves.push_back(e);
      mActive[in.id] = e;
    }
  }
  return lists;
}

} // namespace iplug::igraphics
