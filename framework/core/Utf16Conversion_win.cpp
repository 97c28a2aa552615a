#include "framework/core/Utf16Conversion.h"

#include <windows.h>

namespace iplug
{
HeapBuffer Utf8ToWide(const char* text)
{
  HeapBuffer out(4096);
  int needed = text ? MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0) : 1;
  if (needed < 1) needed = 1;
  auto* units = static_cast<wchar_t*>(out.ResizeHeapBuffer(needed * static_cast<int32_t>(sizeof(wchar_t))));
  if (!units || out.GetSize() < needed * static_cast<int32_t>(sizeof(wchar_t))) return out;
  if (!text || MultiByteToWideChar(CP_UTF8, 0, text, -1, units, needed) <= 0) units[0] = 0;
  return out;
}

TextBuffer WideToUtf8(const char16_t* text)
{
  TextBuffer out;
  if (!text) return out;
  const auto* wide = reinterpret_cast<const wchar_t*>(text);
  const int needed = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (needed <= 1) return out;
  HeapBuffer scratch(128);
  char* bytes = static_cast<char*>(scratch.ResizeHeapBuffer(needed + 1));
  if (bytes && WideCharToMultiByte(CP_UTF8, 0, wide, -1, bytes, needed, nullptr, nullptr) > 0)
  {
    bytes[needed] = 0;
    out.AssignText(bytes);
  }
  return out;
}
} // namespace iplug
