// Settings file access on Windows: the profile calls in their wide forms, so that names and
// paths outside the ANSI code page survive.

#include "framework/app/ProfileFile.h"

#include <windows.h>
#include <shlobj.h>

#include <cstring>
#include <vector>

namespace iplug
{
namespace
{

std::wstring Widen(const char* text)
{
  if (!text || !*text) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  if (n <= 0) return {};
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), n);
  wide.resize(static_cast<size_t>(n - 1));
  return wide;
}

std::string Narrow(const wchar_t* text)
{
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return {};
  std::string utf8(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), n, nullptr, nullptr);
  utf8.resize(static_cast<size_t>(n - 1));
  return utf8;
}

// A new profile file is written in the ANSI code page unless it already starts with a UTF-16
// byte order mark; starting it with one keeps every character of a device name.
void CreateUnicodeProfile(const std::wstring& file)
{
  HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  const unsigned char bom[2] = {0xFF, 0xFE};
  DWORD written = 0;
  WriteFile(h, bom, sizeof(bom), &written, nullptr);
  CloseHandle(h);
}

} // namespace

bool LocalAppDataFolder(std::string& folder)
{
  wchar_t path[MAX_PATH * 2] = {};
  if (!SHGetSpecialFolderPathW(nullptr, path, CSIDL_LOCAL_APPDATA, FALSE) || !path[0]) return false;
  folder = Narrow(path);
  return !folder.empty();
}

bool PathExists(const std::string& path)
{
  return GetFileAttributesW(Widen(path.c_str()).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool MakeFolder(const std::string& path)
{
  return CreateDirectoryW(Widen(path.c_str()).c_str(), nullptr) != 0;
}

int ProfileReadString(const char* section, const char* key, const char* defaultValue, char* out, int size,
                      const std::string& file)
{
  if (!out || size <= 0) return 0;
  std::vector<wchar_t> wide(static_cast<size_t>(size) * 2 + 16, L'\0');
  GetPrivateProfileStringW(Widen(section).c_str(), Widen(key).c_str(), Widen(defaultValue).c_str(),
                           wide.data(), static_cast<DWORD>(wide.size()), Widen(file.c_str()).c_str());
  std::string utf8 = Narrow(wide.data());
  size_t n = std::min(utf8.size(), static_cast<size_t>(size - 1));
  // Never cut a character in half.
  while (n > 0 && n < utf8.size() && (static_cast<unsigned char>(utf8[n]) & 0xC0) == 0x80)
    n--;
  std::memcpy(out, utf8.data(), n);
  out[n] = '\0';
  return static_cast<int>(n);
}

bool ProfileWriteString(const char* section, const char* key, const char* value, const std::string& file)
{
  const std::wstring wideFile = Widen(file.c_str());
  if (GetFileAttributesW(wideFile.c_str()) == INVALID_FILE_ATTRIBUTES) CreateUnicodeProfile(wideFile);
  return WritePrivateProfileStringW(Widen(section).c_str(), Widen(key).c_str(), Widen(value).c_str(),
                                    wideFile.c_str()) != 0;
}

} // namespace iplug
