#pragma once

#include <cstdint>
#include <cstring>

namespace iplug
{
// The Win32 virtual-key codes the controls act on, named once: whichever window system produced a key
// stroke, its code is translated to these.
enum IVirtualKey : int32_t
{
  kVkBack = 8,
  kVkTab = 9,
  kVkReturn = 13,
  kVkEscape = 27,
  kVkSpace = 32,
  kVkPageUp = 33,
  kVkPageDown = 34,
  kVkEnd = 35,
  kVkHome = 36,
  kVkLeft = 37,
  kVkUp = 38,
  kVkRight = 39,
  kVkDown = 40,
  kVkInsert = 45,
  kVkDelete = 46,
};

// A key press or release as the editor sees it, whichever window system produced it.
struct IKeyStroke
{
  int32_t vk = 0;    // Win32 virtual-key code
  char utf8[5] = {}; // the character typed, UTF-8, zero-terminated; empty when none
  bool shift = false;
  bool ctrl = false;
  bool alt = false;

  IKeyStroke() = default;
  IKeyStroke(const char* text, int32_t virtualKey, bool withShift, bool withCtrl, bool withAlt)
      : vk(virtualKey), shift(withShift), ctrl(withCtrl), alt(withAlt)
  {
    if (text) std::strncpy(utf8, text, sizeof(utf8) - 1);
  }
};
static_assert(sizeof(IKeyStroke) == 12, "key records are passed by value across the editor boundary");
} // namespace iplug
