#pragma once
// Pointer and key records the platform window hands to IGraphics, in editor units.

#include "framework/core/IKeyStroke.h"

#include <cstdint>
#include <vector>

namespace iplug::igraphics
{

struct IModifierState
{
  bool L = false;
  bool R = false;
  bool S = false;      // shift
  bool C = false;      // control
  bool A = false;      // alt
  int64_t touchId = 0; // 0 is the mouse
  float touchRadius = 0.f;

  IModifierState() = default;
  IModifierState(bool l, bool r = false, bool s = false, bool c = false, bool a = false, int64_t id = 0)
      : L(l), R(r), S(s), C(c), A(a), touchId(id)
  {
  }
};

struct IPointerEvent
{
  float x = 0.f;
  float y = 0.f;
  float dX = 0.f; // movement since the previous event; 0 for presses
  float dY = 0.f;
  IModifierState ms;
};

using IPointerList = std::vector<IPointerEvent>;

// Keys travel as the framework's IKeyStroke (virtual-key code, UTF-8 text, modifier flags).
using iplug::IKeyStroke;

} // namespace iplug::igraphics
