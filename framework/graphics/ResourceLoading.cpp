#include "framework/graphics/ResourceLoading.h"

#include "framework/core/ResourceLookup.h"
#include "framework/graphics/IBitmapHandle.h"
#include "framework/graphics/ResourceCache.h"

#include <nanosvg.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

#if defined(_WIN32)
#include "framework/core/Win32Utf8.h"
#endif

namespace iplug::igraphics
{

namespace
{

FILE* OpenForReading(const char* path)
{
#if defined(_WIN32)
  return OpenFileUtf8(path, "rb");
#else
  return std::fopen(path, "rb");
#endif
}

int64_t TellFile(FILE* file)
{
#if defined(_WIN32)
  return _ftelli64(file);
#else
  return static_cast<int64_t>(ftello(file));
#endif
}

bool SeekFile(FILE* file, int64_t offset, int origin)
{
#if defined(_WIN32)
  return _fseeki64(file, offset, origin) == 0;
#else
  return fseeko(file, static_cast<off_t>(offset), origin) == 0;
#endif
}

void ReadWholeFile(const char* path, HeapBuffer& out)
{
  FILE* file = OpenForReading(path);
  if (!file) return;
  // A folder opens on some systems and then reports a huge or bogus size: every step is checked, and
  // only a complete read of a size that fits the buffer counts.
  int64_t size = -1;
  if (SeekFile(file, 0, SEEK_END)) size = TellFile(file);
  const bool sized = size >= 0 && size <= INT32_MAX && SeekFile(file, 0, SEEK_SET);
  if (sized && size > 0 && out.ResizeHeapBuffer(static_cast<int32_t>(size)))
  {
    if (std::fread(out.GetData(), 1, static_cast<size_t>(size), file) != static_cast<size_t>(size) ||
        std::ferror(file))
      out.ResizeHeapBuffer(0, true);
  }
  std::fclose(file);
}

// Position of the extension's '.' in name, or -1 when the last '.' is missing or lies in a folder.
int32_t ExtensionDot(const char* name)
{
  const char* dot = std::strrchr(name, '.');
  if (!dot) return -1;
  for (const char* p = dot; *p; ++p)
    if (*p == '/' || *p == '\\') return -1;
  return static_cast<int32_t>(dot - name);
}

} // namespace

HeapBuffer LoadResourceData(const char* name, const char* type, void* module)
{
  HeapBuffer data(HeapBuffer::kDefaultGranularity);
  TextBuffer location;
  switch (FindResourceByName(name, type, location, module))
  {
  case kAbsolutePath:
    ReadWholeFile(location.Get(), data);
    break;
  case kWinBinary:
  {
    int32_t size = 0;
    const void* bytes = LoadResourceBytes(location.Get(), type, size, module);
    if (size > 0 && data.ResizeHeapBuffer(size))
    {
      if (bytes)
        std::memcpy(data.GetData(), bytes, static_cast<size_t>(size));
      else
        std::memset(data.GetData(), 0, static_cast<size_t>(size));
    }
    break;
  }
  default:
    break;
  }
  return data;
}

TextBuffer MakeScaledImageName(const char* name, int scale)
{
  TextBuffer result;
  if (!name) return result;
  if (scale == 1)
  {
    result.AssignText(name);
    return result;
  }
  const int32_t dot = ExtensionDot(name);
  TextBuffer base;
  if (dot >= 0)
    base.AssignText(name, dot);
  else
    base.AssignText(name);
  const char* extension = dot >= 0 ? name + dot : "";
  const int length = std::snprintf(nullptr, 0, "%s@%dx%s", base.Get(), scale, extension);
  result.SetFormatted(length > 0 ? length : 0, "%s@%dx%s", base.Get(), scale, extension);
  return result;
}

int FindImageResource(const char* name, const char* type, TextBuffer& location, int targetScale,
                      int& foundScale, void* module)
{
  int result = kNotFound;
  foundScale = 0; // stays 0 when nothing is found
  ForEachScaleVariant(targetScale,
                      [&](int n)
                      {
                        const TextBuffer candidate = MakeScaledImageName(name, n);
                        result = FindResourceByName(candidate.Get(), type, location, module);
                        if (result > 0) foundScale = n;
                        return result > 0;
                      });
  return result > 0 ? result : kNotFound;
}

APIBitmap* FindCachedBitmapAnyScale(const char* name, int targetScale, int& foundScale)
{
  return FindCachedBitmapAnyScale(GetBitmapCache(), name, targetScale, foundScale);
}

APIBitmap* FindCachedBitmapAnyScale(ResourceCache& cache, const char* name, int targetScale, int& foundScale)
{
  ScopedLock lock(&cache.GetLock());
  APIBitmap* found = nullptr;
  ForEachScaleVariant(targetScale,
                      [&](int n)
                      {
                        found = static_cast<APIBitmap*>(cache.FindCacheEntry(name, static_cast<double>(n)));
                        if (found) foundScale = n;
                        return found != nullptr;
                      });
  return found;
}

ISvgHandle LoadSVG(const char* name, const char* units, float dpi, void* module)
{
  ResourceCache& cache = GetSvgCache();
  ScopedLock lock(&cache.GetLock());
  if (auto* holder = static_cast<SvgHolder*>(cache.FindCacheEntry(name, 1.0)))
    return ISvgHandle{holder->image};
  const HeapBuffer data = LoadResourceData(name, "svg", module);
  if (data.GetSize() == 0) return ISvgHandle{};
  return LoadSVGFromMemory(name, data.GetData(), data.GetSize(), units, dpi);
}

ISvgHandle LoadSVGFromMemory(const char* name, const void* data, int32_t size, const char* units, float dpi)
{
  ResourceCache& cache = GetSvgCache();
  ScopedLock lock(&cache.GetLock());
  if (auto* holder = static_cast<SvgHolder*>(cache.FindCacheEntry(name, 1.0)))
    return ISvgHandle{holder->image};
  if (!name || !data || size <= 0) return ISvgHandle{};

  // The parser writes into its input: it gets a terminated copy.
  HeapBuffer text(HeapBuffer::kDefaultGranularity);
  char* chars = static_cast<char*>(text.ResizeHeapBuffer(size + 1));
  if (!chars) return ISvgHandle{};
  std::memcpy(chars, data, static_cast<size_t>(size));
  chars[size] = '\0';

  NSVGimage* image = nsvgParse(chars, units ? units : "px", dpi);
  if (!image) return ISvgHandle{};
  auto* holder = new SvgHolder(image);
  if (!cache.AddCacheEntry(holder, name, 1.0))
  {
    delete holder;
    return ISvgHandle{};
  }
  return ISvgHandle{image};
}

} // namespace iplug::igraphics
