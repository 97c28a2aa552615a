// Resource lookup in a Windows module. The resource compiler stores string names
// upper-cased and, as our scripts write them, wrapped in quote marks.
#include "framework/core/ResourceLookup.h"

#include "framework/core/Utf16Conversion.h"

#include <windows.h>

namespace iplug
{
namespace
{
struct SearchRecord
{
  TextBuffer text; // the searched name, then the stored name once found
  bool found = false;
};

HeapBuffer UpperWide(const char* text)
{
  HeapBuffer wide = Utf8ToWide(text);
  if (auto* units = wide.GetAs<char16_t>())
    for (char16_t* u = units; *u; ++u)
      if (*u >= u'a' && *u <= u'z') *u = static_cast<char16_t>(*u - u'a' + u'A');
  return wide;
}

BOOL CALLBACK VisitName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param)
{
  auto* record = reinterpret_cast<SearchRecord*>(param);
  if (IS_INTRESOURCE(name)) return TRUE; // numeric identifiers are never candidates
  TextBuffer stored = WideToUtf8(reinterpret_cast<const char16_t*>(name));
  if (!detail::StoredNameMatches(stored.Get(), record->text.Get())) return TRUE;
  record->text = stored;
  record->found = true;
  return FALSE;
}
} // namespace

namespace detail
{
bool PathExists(const char* path)
{
  HeapBuffer wide = Utf8ToWide(path);
  const auto* units = wide.GetAs<wchar_t>();
  return units && units[0] && GetFileAttributesW(units) != INVALID_FILE_ATTRIBUTES;
}
} // namespace detail

EResourceLocation FindResourceByName(const char* name, const char* type, TextBuffer& location, void* module)
{
  if (!name || !name[0]) return kNotFound;
  SearchRecord record;
  record.text = detail::LowerAscii(name);
  HeapBuffer wideType = UpperWide(type);
  if (wideType.GetData())
    EnumResourceNamesW(static_cast<HMODULE>(module), wideType.GetAs<wchar_t>(), VisitName,
                       reinterpret_cast<LONG_PTR>(&record));
  if (record.found)
  {
    location = record.text;
    return kWinBinary;
  }
  if (detail::PathExists(name))
  {
    location.AssignText(name);
    return kAbsolutePath;
  }
  return kNotFound;
}

const void* LoadResourceBytes(const char* storedName, const char* type, int32_t& size, void* module)
{
  if (!storedName) return nullptr;
  HeapBuffer wideType = UpperWide(type);
  HeapBuffer wideName = Utf8ToWide(storedName);
  if (!wideType.GetData() || !wideName.GetData()) return nullptr;
  HMODULE hmodule = static_cast<HMODULE>(module);
  HRSRC resource = FindResourceW(hmodule, wideName.GetAs<wchar_t>(), wideType.GetAs<wchar_t>());
  if (!resource) return nullptr;
  const DWORD bytes = SizeofResource(hmodule, resource);
  if (bytes <= 7) return nullptr;
  HGLOBAL handle = LoadResource(hmodule, resource);
  const void* data = handle ? LockResource(handle) : nullptr;
  if (!data)
  {
    size = 0;
    return nullptr;
  }
  size = static_cast<int32_t>(bytes);
  return data;
}
} // namespace iplug
