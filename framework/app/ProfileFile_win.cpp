// Settings file access on Windows. Folders go through the UTF-8 wrappers. The profile calls are
// made in their wide forms whatever the path: the narrow forms would carry UTF-8 device names
// through the ANSI code page, which leaves them garbled in the file and loses them outright on
// multi-byte code pages.

#include "framework/app/ProfileFile.h"
#include "framework/core/Win32Utf8.h"

#include <windows.h>
#include <shlobj.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace iplug
{
namespace
{

// A new profile file is written in the ANSI code page unless it already starts with a UTF-16
// byte order mark; starting it with one keeps every character of a device name.
void CreateUnicodeProfile(const wchar_t* file)
{
  HANDLE h = CreateFileW(file, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  const unsigned char bom[2] = {0xFF, 0xFE};
  DWORD written = 0;
  WriteFile(h, bom, sizeof(bom), &written, nullptr);
  CloseHandle(h);
}

} // namespace

bool LocalAppDataFolder(std::string& folder)
{
  char path[2048] = {};
  if (!SpecialFolderPathUtf8(nullptr, path, sizeof(path), CSIDL_LOCAL_APPDATA, false) || !path[0])
    return false;
  folder = path;
  return true;
}

bool PathExists(const std::string& path)
{
  struct _stat64 info;
  return StatFileUtf8(path.c_str(), &info) == 0;
}

bool MakeFolder(const std::string& path)
{
  return MakeDirectoryUtf8(path.c_str(), nullptr) != 0;
}

int ProfileReadString(const char* section, const char* key, const char* defaultValue, char* out, int size,
                      const std::string& file)
{
  if (!out || size <= 0) return 0;
  std::vector<wchar_t> wide(static_cast<size_t>(size) * 2 + 16, L'\0');
  GetPrivateProfileStringW(AsWideText(Utf8ToWide(section)), AsWideText(Utf8ToWide(key)),
                           AsWideText(Utf8ToWide(defaultValue)), wide.data(), static_cast<DWORD>(wide.size()),
                           AsWideText(Utf8ToWide(file.c_str())));
  const TextBuffer utf8 = WideToUtf8(wide.data());
  const size_t length = static_cast<size_t>(utf8.GetLength());
  size_t n = std::min(length, static_cast<size_t>(size - 1));
  // Never cut a character in half.
  while (n > 0 && n < length && (static_cast<unsigned char>(utf8.Get()[n]) & 0xC0) == 0x80)
    n--;
  std::memcpy(out, utf8.Get(), n);
  out[n] = '\0';
  return static_cast<int>(n);
}

bool ProfileWriteString(const char* section, const char* key, const char* value, const std::string& file)
{
  const HeapBuffer wideFile = Utf8ToWide(file.c_str());
  if (GetFileAttributesW(AsWideText(wideFile)) == INVALID_FILE_ATTRIBUTES)
    CreateUnicodeProfile(AsWideText(wideFile));
  return WritePrivateProfileStringW(AsWideText(Utf8ToWide(section)), AsWideText(Utf8ToWide(key)),
                                    AsWideText(Utf8ToWide(value)), AsWideText(wideFile)) != 0;
}

} // namespace iplug
