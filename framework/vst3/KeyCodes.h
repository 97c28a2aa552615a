#pragma once

// Key codes of the editor-view key events (IPlugView::onKeyDown/onKeyUp): keys
// without a character arrive as a virtual code from this list, letters and digits
// also as a code above VKEY_FIRST_ASCII. The numbering is
// the one hosts send and must not change.

#include "pluginterfaces/base/ftypes.h"

namespace Steinberg
{

enum VirtualKeyCodes
{
  KEY_BACK = 1,
  KEY_TAB,
  KEY_CLEAR,
  KEY_RETURN,
  KEY_PAUSE,
  KEY_ESCAPE,
  KEY_SPACE,
  KEY_NEXT,
  KEY_END,
  KEY_HOME,

  KEY_LEFT,
  KEY_UP,
  KEY_RIGHT,
  KEY_DOWN,
  KEY_PAGEUP,
  KEY_PAGEDOWN,

  KEY_SELECT,
  KEY_PRINT,
  KEY_ENTER,
  KEY_SNAPSHOT,
  KEY_INSERT,
  KEY_DELETE,
  KEY_HELP,
  KEY_NUMPAD0,
  KEY_NUMPAD1,
  KEY_NUMPAD2,
  KEY_NUMPAD3,
  KEY_NUMPAD4,
  KEY_NUMPAD5,
  KEY_NUMPAD6,
  KEY_NUMPAD7,
  KEY_NUMPAD8,
  KEY_NUMPAD9,
  KEY_MULTIPLY,
  KEY_ADD,
  KEY_SEPARATOR,
  KEY_SUBTRACT,
  KEY_DECIMAL,
  KEY_DIVIDE,
  KEY_F1,
  KEY_F2,
  KEY_F3,
  KEY_F4,
  KEY_F5,
  KEY_F6,
  KEY_F7,
  KEY_F8,
  KEY_F9,
  KEY_F10,
  KEY_F11,
  KEY_F12,
  KEY_NUMLOCK,
  KEY_SCROLL,

  KEY_SHIFT,
  KEY_CONTROL,
  KEY_ALT,

  KEY_EQUALS,
  KEY_CONTEXTMENU,

  KEY_MEDIA_PLAY,
  KEY_MEDIA_STOP,
  KEY_MEDIA_PREV,
  KEY_MEDIA_NEXT,
  KEY_VOLUME_UP,
  KEY_VOLUME_DOWN,

  KEY_F13,
  KEY_F14,
  KEY_F15,
  KEY_F16,
  KEY_F17,
  KEY_F18,
  KEY_F19,

  KEY_SUPER,

  VKEY_FIRST_CODE = KEY_BACK,
  VKEY_LAST_CODE = KEY_SUPER,

  // '0'-'9' and 'A'-'Z' are sent as VKEY_FIRST_ASCII + (ASCII code - 0x30): '0' is 128, 'A' 145.
  VKEY_FIRST_ASCII = 128
};

// Modifier bits of the key events.
enum KeyModifier
{
  kShiftKey = 1 << 0,
  kAlternateKey = 1 << 1,
  kCommandKey = 1 << 2,
  kControlKey = 1 << 3
};

// The character a virtual code stands for, 0 for keys that have none.
inline char16 VirtualKeyCodeToChar(uint8 vKey)
{
  if (vKey >= VKEY_FIRST_ASCII) return static_cast<char16>(vKey - VKEY_FIRST_ASCII + 0x30);
  if (vKey == KEY_SPACE) return ' ';
  if (vKey >= KEY_NUMPAD0 && vKey <= KEY_NUMPAD9) return static_cast<char16>('0' + (vKey - KEY_NUMPAD0));
  switch (vKey)
  {
  case KEY_MULTIPLY:
    return '*';
  case KEY_ADD:
    return '+';
  case KEY_SUBTRACT:
    return '-';
  case KEY_DECIMAL:
    return '.';
  case KEY_DIVIDE:
    return '/';
  case KEY_EQUALS:
    return '=';
  default:
    return 0;
  }
}

// The virtual code of a character that has one, 0 otherwise (letters either case).
inline uint8 CharToVirtualKeyCode(char16 character)
{
  if (character >= 'a' && character <= 'z') character = static_cast<char16>(character - 'a' + 'A');
  if ((character >= '0' && character <= '9') || (character >= 'A' && character <= 'Z'))
    return static_cast<uint8>(character - 0x30 + VKEY_FIRST_ASCII);
  switch (character)
  {
  case ' ':
    return KEY_SPACE;
  case '*':
    return KEY_MULTIPLY;
  case '+':
    return KEY_ADD;
  case '-':
    return KEY_SUBTRACT;
  case '.':
    return KEY_DECIMAL;
  case '/':
    return KEY_DIVIDE;
  case '=':
    return KEY_EQUALS;
  default:
    return 0;
  }
}

} // namespace Steinberg
