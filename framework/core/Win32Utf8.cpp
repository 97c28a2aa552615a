#include "framework/core/Win32Utf8.h"

#include "framework/core/Utf8Text.h"

#include <windows.h>
#include <shlobj.h>
#include <sys/stat.h>

#include <cstring>
#include <cwchar>
#include <new>

namespace iplug
{
namespace
{
static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 is wchar_t on Windows");

// The wide form of a UTF-8 text: on the stack when short, on the heap otherwise.
// valid() is false when the text is not strict UTF-8 or memory ran out: the
// caller then makes the narrow call.
class WideText
{
public:
  WideText(const char* text, int stackUnits, int stackLimit)
  {
    if (!text) return;
    const int needed = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, nullptr, 0);
    if (needed <= 0) return;
    wchar_t* target = mStack;
    int room = stackUnits;
    if (needed >= stackLimit)
    {
      room = needed + 12; // room for a long-path prefix
      mHeap = new (std::nothrow) wchar_t[static_cast<size_t>(room)];
      if (!mHeap) return;
      target = mHeap;
    }
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, target, room) > 0) mText = target;
  }
  ~WideText() { delete[] mHeap; }
  WideText(const WideText&) = delete;
  WideText& operator=(const WideText&) = delete;

  bool valid() const { return mText != nullptr; }
  wchar_t* get() const { return mText; }

private:
  wchar_t mStack[1024];
  wchar_t* mHeap = nullptr;
  wchar_t* mText = nullptr;
};

class WidePath : public WideText
{
public:
  explicit WidePath(const char* path) : WideText(path, 1024, 1000)
  {
    if (valid()) AddLongPathPrefix(reinterpret_cast<char16_t*>(get()));
  }
};

class WideName : public WideText
{
public:
  explicit WideName(const char* name) : WideText(name, 256, 248) {}
};

bool NeedsWide(const char* text)
{
  return HasMultibyteUtf8(text) == 1;
}
bool PathNeedsWide(const char* path)
{
  return path && (NeedsWide(path) || std::strlen(path) >= 256);
}

// Converts wide text into the caller's buffer with at most `room` bytes; returns the bytes written.
int WideToBuffer(const wchar_t* text, char* out, int room)
{
  if (room <= 0) return 0;
  int written = WideCharToMultiByte(CP_UTF8, 0, text, -1, out, room, nullptr, nullptr);
  if (written > 0) return written - 1; // without its terminator
  // The text did not fit: convert what fits, whole characters only.
  int length = static_cast<int>(wcslen(text));
  while (length > 0)
  {
    const int need = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (need <= room) return WideCharToMultiByte(CP_UTF8, 0, text, length, out, room, nullptr, nullptr);
    --length;
    if (length > 0 && text[length] >= 0xDC00 && text[length] <= 0xDFFF) --length;
  }
  return 0;
}
} // namespace

int MakeDirectoryUtf8(const char* path, void* securityAttributes)
{
  auto* sa = static_cast<LPSECURITY_ATTRIBUTES>(securityAttributes);
  if (PathNeedsWide(path))
  {
    WidePath wide(path);
    if (wide.valid()) return CreateDirectoryW(wide.get(), sa);
  }
  return CreateDirectoryA(path, sa);
}

unsigned IniReadIntUtf8(const char* section, const char* key, int defaultValue, const char* file)
{
  if (PathNeedsWide(file))
  {
    WidePath wideFile(file);
    WideName wideSection(section), wideKey(key);
    if (wideFile.valid() && (!section || wideSection.valid()) && (!key || wideKey.valid()))
      return GetPrivateProfileIntW(section ? wideSection.get() : nullptr, key ? wideKey.get() : nullptr,
                                   defaultValue, wideFile.get());
  }
  return GetPrivateProfileIntA(section, key, defaultValue, file);
}

int IniReadStringUtf8(const char* section, const char* key, const char* defaultValue, char* out, int size,
                      const char* file)
{
  if (!out || size <= 0) return 0;
  const int terminators = (section && key) ? 1 : 2;
  if (size <= terminators)
  {
    std::memset(out, 0, static_cast<size_t>(size));
    return 0;
  }
  if (PathNeedsWide(file))
  {
    WidePath wideFile(file);
    WideName wideSection(section), wideKey(key);
    WideText wideDefault(defaultValue, 1024, 1000);
    if (wideFile.valid() && (!section || wideSection.valid()) && (!key || wideKey.valid()) &&
        (!defaultValue || wideDefault.valid()))
    {
      wchar_t stack[1024];
      wchar_t* result = stack;
      DWORD units = 1024;
      if (size > 1000)
      {
        units = static_cast<DWORD>(size) + 5; // 2 x size + 10 bytes
        result = new (std::nothrow) wchar_t[units];
      }
      if (result)
      {
        const DWORD got =
            GetPrivateProfileStringW(section ? wideSection.get() : nullptr, key ? wideKey.get() : nullptr,
                                     defaultValue ? wideDefault.get() : L"", result, units, wideFile.get());
        int written = 0;
        if (terminators == 1)
          written = WideToBuffer(result, out, size - terminators);
        else
        {
          // A list of names separated by terminators: convert it as one block.
          written = got > 0 ? WideCharToMultiByte(CP_UTF8, 0, result, static_cast<int>(got), out,
                                                  size - terminators, nullptr, nullptr)
                            : 0;
          if (written < 0) written = 0;
        }
        for (int i = 0; i < terminators; ++i)
          out[written + i] = 0;
        if (result != stack) delete[] result;
        return written;
      }
    }
  }
  const DWORD got = GetPrivateProfileStringA(section, key, defaultValue ? defaultValue : "", out,
                                             static_cast<DWORD>(size), file);
  return static_cast<int>(got);
}

int IniWriteStringUtf8(const char* section, const char* key, const char* value, const char* file)
{
  if (PathNeedsWide(file))
  {
    WidePath wideFile(file);
    WideName wideSection(section), wideKey(key);
    WideText wideValue(value, 1024, 1000);
    if (wideFile.valid() && (!section || wideSection.valid()) && (!key || wideKey.valid()) &&
        (!value || wideValue.valid()))
      return WritePrivateProfileStringW(section ? wideSection.get() : nullptr, key ? wideKey.get() : nullptr,
                                        value ? wideValue.get() : nullptr, wideFile.get());
  }
  return WritePrivateProfileStringA(section, key, value, file);
}

void* LoadLibraryUtf8(const char* path)
{
  if (PathNeedsWide(path))
  {
    WidePath wide(path);
    if (wide.valid())
      if (HMODULE module = LoadLibraryW(wide.get())) return module;
  }
  return LoadLibraryA(path);
}

int MessageBoxUtf8(void* window, const char* text, const char* caption, unsigned type)
{
  HWND hwnd = static_cast<HWND>(window);
  if (NeedsWide(text) || NeedsWide(caption))
  {
    char16_t buffer[2048];
    char16_t* wideText = DecodeUtf8ToWideBuffer(text ? text : "", buffer, sizeof(buffer) / 2, 0);
    char16_t* wideCaption =
        caption ? DecodeUtf8ToWideBuffer(caption, buffer + 1024, sizeof(buffer) / 2, 0) : nullptr;
    int result = -1;
    if (wideText && (!caption || wideCaption))
      result = MessageBoxW(hwnd, reinterpret_cast<wchar_t*>(wideText),
                           reinterpret_cast<wchar_t*>(wideCaption), type);
    if (wideText && wideText != buffer) delete[] wideText;
    if (wideCaption && wideCaption != buffer + 1024) delete[] wideCaption;
    if (result != -1) return result;
  }
  return MessageBoxA(hwnd, text, caption, type);
}

bool SpecialFolderPathUtf8(void* window, char* out, int size, int folder, bool create)
{
  if (!out || size <= 0) return false;
  wchar_t wide[4096] = {};
  if (SHGetSpecialFolderPathW(static_cast<HWND>(window), wide, folder, create ? TRUE : FALSE))
  {
    const int written = WideToBuffer(wide, out, size - 1);
    out[written] = 0;
    return written > 0;
  }
  // The narrow call needs MAX_PATH bytes: never hand it a smaller buffer.
  char narrow[MAX_PATH + 1] = {};
  if (!SHGetSpecialFolderPathA(static_cast<HWND>(window), narrow, folder, create ? TRUE : FALSE))
    return false;
  const size_t length = std::strlen(narrow);
  if (length == 0 || length >= static_cast<size_t>(size)) return false;
  std::memcpy(out, narrow, length + 1);
  return true;
}

FILE* OpenFileUtf8(const char* path, const char* mode)
{
  if (PathNeedsWide(path) && mode)
  {
    WidePath wide(path);
    wchar_t wideMode[32] = {};
    if (wide.valid() && MultiByteToWideChar(CP_UTF8, 0, mode, -1, wideMode, 32) > 0)
    {
      if (FILE* f = _wfopen(wide.get(), wideMode)) return f;
      // A narrow retry could create or truncate a different (mangled) file.
      if (std::strpbrk(mode, "+aw")) return nullptr;
    }
  }
  return path && mode ? std::fopen(path, mode) : nullptr;
}

int StatFileUtf8(const char* path, struct _stat64* info)
{
  if (PathNeedsWide(path))
  {
    WidePath wide(path);
    if (wide.valid() && _wstat64(wide.get(), info) == 0) return 0;
  }
  return _stat64(path, info);
}

int FormatTimeUtf8(char* out, int size, const char* format, const struct tm* time)
{
  if (!out || size <= 0) return 0;
  out[0] = 0;
  if (!format || !time) return 0;
  WideText wideFormat(format, 1024, 1000);
  if (!wideFormat.valid()) return 0;
  const size_t units = size > 1000 ? static_cast<size_t>(size) + 5 : 1024;
  wchar_t* result = new (std::nothrow) wchar_t[units];
  if (!result) return 0;
  // The runtime's wide formatter narrows the format through the C locale and
  // stops at the first character it cannot represent: hand it one conversion at
  // a time and copy the literal text ourselves.
  size_t length = 0;
  bool full = false;
  for (const wchar_t* f = wideFormat.get(); *f && !full;)
  {
    if (*f != L'%' || !f[1])
    {
      if (length + 1 >= units) break;
      result[length++] = *f++;
      continue;
    }
    wchar_t directive[4] = {L'%', f[1], 0, 0};
    int consumed = 2;
    if (f[1] == L'#' && f[2])
    {
      directive[2] = f[2];
      consumed = 3;
    }
    const size_t got = wcsftime(result + length, units - length, directive, time);
    if (got == 0 && directive[1] != L'p')
      full = units - length < 64; // nothing fits any more; an empty field (e.g. %p) is fine
    length += got;
    f += consumed;
  }
  result[length] = 0;
  int written = 0;
  if (length > 0)
  {
    written = WideToBuffer(result, out, size);
    if (written >= size) written = size - 1;
    out[written] = 0;
  }
  delete[] result;
  return written;
}

float GetWindowScale(void* window)
{
  using GetDpiForWindowProc = UINT(WINAPI*)(HWND);
  static const GetDpiForWindowProc getDpi = []() -> GetDpiForWindowProc
  {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<GetDpiForWindowProc>(
                        reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")))
                  : nullptr;
  }();
  if (!getDpi) return 1.0f;
  const int dpi = static_cast<int>(getDpi(static_cast<HWND>(window)));
  if (dpi <= 0 || dpi == 96) return 1.0f;
  return static_cast<float>(dpi) / 96.0f;
}
} // namespace iplug
