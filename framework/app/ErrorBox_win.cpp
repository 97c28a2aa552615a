#include "framework/app/ErrorBox.h"

#include <windows.h>

#include <string>

namespace iplug
{
namespace
{

std::wstring Widen(const char* text)
{
  const int n = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  if (n <= 0) return {};
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), n);
  wide.resize(static_cast<size_t>(n - 1));
  return wide;
}

} // namespace

void ShowErrorBox(void* window, const char* text, const char* title)
{
  MessageBoxW(static_cast<HWND>(window), Widen(text).c_str(), Widen(title).c_str(), MB_OK);
}

} // namespace iplug
