#pragma once

// Key events of the editor view (IPlugView::onKeyDown/onKeyUp) become the framework's key records.
// Pure: the one system call it needs, the keyboard layout's key for a character, comes in through a
// function pointer so the whole table can be checked without a keyboard.

#include "framework/core/IKeyStroke.h"
#include "framework/plugin/IPluginBase.h"

#include <cstdint>

namespace iplug
{

// The layout's key for an 8-bit character: virtual-key code in the low byte, shift state in the high
// byte, -1 when no key types it (the form of the Win32 key scan).
using KeyScanFunc = int16_t (*)(char character);

// The current thread's keyboard layout on Windows; elsewhere no key types anything (-1).
int16_t ScanKeyOfCurrentLayout(char character);

// Windows virtual-key code of a host key code; 0 and the equals key go through scan with the text.
int32_t VirtualKeyFromHostCode(int hostCode, const char* text, KeyScanFunc scan);

// Builds the record for a host key event: key is the UTF-16 unit the host typed (0 when none), hostCode
// its virtual key code, modifiers its modifier bits. False when the key must not reach the editor: one
// host sends every key it does not want itself only to the focused view, and there only the space bar
// is taken.
bool TranslateHostKey(HostId host, char16_t key, int hostCode, int modifiers, IKeyStroke& out,
                      KeyScanFunc scan = ScanKeyOfCurrentLayout);

} // namespace iplug
