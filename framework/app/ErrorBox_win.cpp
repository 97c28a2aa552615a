#include "framework/app/ErrorBox.h"

#include "framework/core/Win32Utf8.h"

#include <windows.h>

namespace iplug
{

void ShowErrorBox(void* window, const char* text, const char* title)
{
  MessageBoxUtf8(window, text, title, MB_OK);
}

} // namespace iplug
