#pragma once

// UTF-8 front ends for the Win32 and C runtime calls that take paths or texts
// (Windows builds only). Each decides whether the text needs the wide call,
// converts, and falls back to the narrow call with the untouched bytes when the
// text is plain ASCII or cannot be converted. Window handles are void* so that
// callers need not include <windows.h>.
#include "framework/core/Utf16Conversion.h"

#include <cstddef>
#include <cstdio>
#include <ctime>

struct _stat64;

namespace iplug
{
int MakeDirectoryUtf8(const char* path, void* securityAttributes);
unsigned IniReadIntUtf8(const char* section, const char* key, int defaultValue, const char* file);
// Returns the bytes written to `out` (without terminators); `out` is always terminated.
int IniReadStringUtf8(const char* section, const char* key, const char* defaultValue, char* out, int size,
                      const char* file);
int IniWriteStringUtf8(const char* section, const char* key, const char* value, const char* file);
void* LoadLibraryUtf8(const char* path);
int MessageBoxUtf8(void* window, const char* text, const char* caption, unsigned type);
bool SpecialFolderPathUtf8(void* window, char* out, int size, int folder, bool create);
FILE* OpenFileUtf8(const char* path, const char* mode);
int StatFileUtf8(const char* path, struct _stat64* info);
int FormatTimeUtf8(char* out, int size, const char* format, const struct tm* time);
void SubclassComboUtf8(void* combo);
float GetWindowScale(void* window);

// Converted units as the wide calls take them. Never null: several of those calls read null as an
// instruction (delete the key, no caption), so a conversion that found no memory reads as "".
inline const wchar_t* AsWideText(const HeapBuffer& units)
{
  const auto* text = units.GetAs<const wchar_t>();
  return text ? text : L"";
}

inline TextBuffer WideToUtf8(const wchar_t* text)
{
  return WideToUtf8(reinterpret_cast<const char16_t*>(text));
}
} // namespace iplug
