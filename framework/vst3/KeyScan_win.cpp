#include "framework/vst3/KeyTranslation.h"

#include <windows.h>

namespace iplug
{

int16_t ScanKeyOfCurrentLayout(char character)
{
  return static_cast<int16_t>(VkKeyScanExA(character, GetKeyboardLayout(0)));
}

} // namespace iplug
