#include "framework/vst3/KeyTranslation.h"

#include "framework/vst3/KeyCodes.h"

namespace iplug
{

namespace
{
constexpr HostId kHostReaper = 1;

// Windows virtual-key codes of host codes 1..56; 0 and 57 (equals) are looked up by character.
constexpr uint8_t kVirtualKeys[57] = {
    0,   8,   9,   12,  13,  19,  27,  32,  34,  35,  36,  37,  38,  39,  40,  33,  34,  41,  42,
    13,  44,  45,  46,  47,  96,  97,  98,  99,  100, 101, 102, 103, 104, 105, 106, 107, 108, 109,
    110, 111, 112, 113, 114, 115, 116, 117, 118, 119, 120, 121, 122, 123, 144, 145, 16,  17,  18};

// Host codes are one byte wide, as the SDK's own key helpers take them.
int LowByte(int hostCode)
{
  return hostCode & 0xFF;
}
} // namespace

int32_t VirtualKeyFromHostCode(int hostCode, const char* text, KeyScanFunc scan)
{
  const int code = LowByte(hostCode);
  if (code == 0 || code == Steinberg::KEY_EQUALS)
    return scan ? static_cast<int32_t>(scan(text ? text[0] : '\0')) : -1;
  if (code < Steinberg::KEY_EQUALS) return kVirtualKeys[code];
  if (code >= Steinberg::VKEY_FIRST_ASCII) return code - 80;
  return 0;
}

bool TranslateHostKey(HostId host, char16_t key, int hostCode, int modifiers, IKeyStroke& out,
                      KeyScanFunc scan)
{
  const bool shift = (modifiers & Steinberg::kShiftKey) != 0;
  const bool alt = (modifiers & Steinberg::kAlternateKey) != 0;
  const bool ctrl = (modifiers & Steinberg::kCommandKey) != 0;
  if (host == kHostReaper)
  {
    if (hostCode != Steinberg::KEY_SPACE) return false;
    out = IKeyStroke(" ", kVkSpace, shift, ctrl, alt);
    return true;
  }

  const int code = LowByte(hostCode);
  if (key == 0)
  {
    if (code >= Steinberg::VKEY_FIRST_ASCII)
      key = static_cast<char16_t>(code - 80);
    else if (code == Steinberg::KEY_SPACE)
      key = u' ';
  }
  // Only a character that is one UTF-8 byte is kept as text.
  char text[2] = {};
  if (key != 0 && key < 0x80) text[0] = static_cast<char>(key);

  out = IKeyStroke(text, VirtualKeyFromHostCode(hostCode, text, scan), shift, ctrl, alt);
  return true;
}

} // namespace iplug
