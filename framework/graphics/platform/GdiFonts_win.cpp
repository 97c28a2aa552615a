#include "framework/graphics/platform/GdiFonts.h"

#include "framework/core/ResourceLookup.h"
#include "framework/core/Utf16Conversion.h"

#include <cstring>

namespace iplug::igraphics
{

namespace
{

using win32::ScopedSelect;
using win32::ScopedWindowDC;
using win32::UniqueFont;

constexpr int kFaceNameUnits = LF_FACESIZE; // 32 with the terminator

void DeleteMemoryFont(void* payload)
{
  RemoveFontMemResourceEx(static_cast<HANDLE>(payload));
}

void DeleteCachedFont(void* payload)
{
  win32::DeleteFontHandle(static_cast<HFONT>(payload));
}

int CALLBACK StopAtFirstFont(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found)
{
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

// The family as a face name; false when it does not fit (it would name another family once cut).
bool ToFaceName(const char* family, wchar_t (&face)[kFaceNameUnits])
{
  const HeapBuffer wide = Utf8ToWide(family);
  const auto* text = wide.GetAs<const wchar_t>();
  const size_t units = wcslen(text);
  if (units >= kFaceNameUnits) return false;
  std::memcpy(face, text, (units + 1) * sizeof(wchar_t));
  return true;
}

} // namespace

ResourceCache& GetFontResourceCache()
{
  static ResourceCache cache(DeleteMemoryFont);
  return cache;
}

ResourceCache& GetFontHandleCache()
{
  static ResourceCache cache(DeleteCachedFont);
  return cache;
}

void AddFontCacheUsers()
{
  ResourceCache& resources = GetFontResourceCache();
  ResourceCache& handles = GetFontHandleCache();
  ScopedLock first(&resources.GetLock());
  ScopedLock second(&handles.GetLock());
  resources.AddUser();
  handles.AddUser();
}

void RemoveFontCacheUsers()
{
  ResourceCache& resources = GetFontResourceCache();
  ResourceCache& handles = GetFontHandleCache();
  ScopedLock first(&resources.GetLock());
  ScopedLock second(&handles.GetLock());
  resources.RemoveUser();
  handles.RemoveUser();
}

UniqueFont CreateFontHandle(const char* family, int weight, bool italic, bool underline, int quality,
                            bool mustExist)
{
  LOGFONTW lf{};
  lf.lfWeight = weight;
  lf.lfItalic = italic ? TRUE : FALSE;
  lf.lfUnderline = underline ? TRUE : FALSE;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfOutPrecision = OUT_TT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = static_cast<BYTE>(quality);
  if (!family || !ToFaceName(family, lf.lfFaceName)) return {};

  ScopedWindowDC screen(nullptr);
  if (!screen.Get()) return {};
  if (mustExist)
  {
    bool found = false;
    EnumFontFamiliesExW(screen.Get(), &lf, StopAtFirstFont, reinterpret_cast<LPARAM>(&found), 0);
    if (!found) return {};
  }
  UniqueFont font(CreateFontIndirectW(&lf));
  if (!font) return {};
  wchar_t face[64] = {};
  {
    ScopedSelect select(screen.Get(), font.Get());
    if (!GetTextFaceW(screen.Get(), 64, face)) return {};
  }
  const TextBuffer faceUtf8 = WideToUtf8(reinterpret_cast<const char16_t*>(face));
  if (std::strcmp(faceUtf8.Get(), family) != 0) return {};
  return font;
}

UniqueFont LoadMemoryFont(const char* fontId, const void* bytes, int32_t size, const char* family,
                          FontStyleBits style)
{
  if (!fontId || !bytes || size <= 0) return {};
  ResourceCache& cache = GetFontResourceCache();
  ScopedLock lock(&cache.GetLock());
  DWORD count = 0;
  HANDLE registered =
      AddFontMemResourceEx(const_cast<void*>(bytes), static_cast<DWORD>(size), nullptr, &count);
  if (!registered) return {};
  UniqueFont font =
      CreateFontHandle(family, style.bold ? FW_BOLD : FW_NORMAL, style.italic, style.underline, 0, false);
  if (!font || !cache.AddCacheEntry(registered, fontId, 1.0))
  {
    RemoveFontMemResourceEx(registered);
    return {};
  }
  return font;
}

std::vector<uint8_t> ReadFontFileOrResource(const char* name, void* module)
{
  std::vector<uint8_t> bytes;
  TextBuffer location;
  switch (FindResourceByName(name, "TTF", location, module))
  {
  case kAbsolutePath:
  {
    const HeapBuffer path = Utf8ToWide(location.Get());
    win32::UniqueFileHandle file(CreateFileW(path.GetAs<const wchar_t>(), GENERIC_READ, FILE_SHARE_READ,
                                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) break;
    LARGE_INTEGER fileSize{};
    if (!GetFileSizeEx(file.Get(), &fileSize) || fileSize.QuadPart <= 0 || fileSize.QuadPart > INT32_MAX)
      break;
    win32::UniqueKernelHandle mapping(CreateFileMappingW(file.Get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (!mapping) break;
    win32::UniqueView view(MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, 0));
    if (!view) break;
    const auto* data = static_cast<const uint8_t*>(view.Get());
    bytes.assign(data, data + fileSize.QuadPart);
    break;
  }
  case kWinBinary:
  {
    int32_t size = 0;
    const auto* data = static_cast<const uint8_t*>(LoadResourceBytes(location.Get(), "TTF", size, module));
    if (data && size > 0) bytes.assign(data, data + size);
    break;
  }
  default:
    break;
  }
  return bytes;
}

void CacheFontHandleCopy(const char* fontId, HFONT font)
{
  if (!fontId || !font) return;
  ResourceCache& cache = GetFontHandleCache();
  ScopedLock lock(&cache.GetLock());
  if (cache.FindCacheEntry(fontId, 1.0)) return;
  LOGFONTW lf{};
  if (!GetObjectW(font, sizeof(lf), &lf)) return;
  UniqueFont copy(CreateFontIndirectW(&lf));
  if (copy && cache.AddCacheEntry(copy.Get(), fontId, 1.0)) copy.Release();
}

UniqueFont CreateFontFromCache(const char* fontId, int32_t height)
{
  ResourceCache& cache = GetFontHandleCache();
  ScopedLock lock(&cache.GetLock());
  auto* cached = static_cast<HFONT>(cache.FindCacheEntry(fontId, 1.0));
  LOGFONTW lf{};
  if (!cached || !GetObjectW(cached, sizeof(lf), &lf)) return {};
  lf.lfHeight = height;
  return UniqueFont(CreateFontIndirectW(&lf));
}

std::vector<uint8_t> ReadFontData(HFONT font)
{
  std::vector<uint8_t> bytes;
  win32::UniqueMemoryDC dc(CreateCompatibleDC(nullptr));
  if (!dc || !font) return bytes;
  ScopedSelect select(dc.Get(), font);
  constexpr DWORD kCollectionTag = 0x66637474; // "ttcf" as GDI reads table tags
  DWORD table = kCollectionTag;
  DWORD size = GetFontData(dc.Get(), table, 0, nullptr, 0);
  if (size == GDI_ERROR)
  {
    table = 0;
    size = GetFontData(dc.Get(), table, 0, nullptr, 0);
  }
  if (size == GDI_ERROR || size == 0) return bytes;
  bytes.resize(size);
  if (GetFontData(dc.Get(), table, 0, bytes.data(), size) != size) bytes.clear();
  return bytes;
}

} // namespace iplug::igraphics
