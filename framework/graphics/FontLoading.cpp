#include "framework/graphics/FontLoading.h"

#include "framework/graphics/PlatformFont.h"

#include <memory>

namespace iplug::igraphics
{

namespace
{

bool TakeFont(IFontBackEnd& backEnd, const char* fontId, PlatformFont* made)
{
  const std::unique_ptr<PlatformFont> font(made);
  if (!font) return false;
  const bool loaded = backEnd.LoadFontWithApi(fontId, font.get());
  if (loaded) backEnd.CachePlatformFont(fontId, font.get());
  return loaded;
}

} // namespace

bool LoadFontFile(IFontBackEnd& backEnd, const char* fontId, const char* fileOrResourceName)
{
  if (!fontId || !fileOrResourceName) return false;
  return TakeFont(backEnd, fontId, backEnd.LoadPlatformFontFromFile(fontId, fileOrResourceName));
}

bool LoadFontFromMemory(IFontBackEnd& backEnd, const char* fontId, const void* data, int size)
{
  if (!fontId || !data || size <= 0) return false;
  return TakeFont(backEnd, fontId, backEnd.LoadPlatformFontFromMemory(fontId, data, size));
}

} // namespace iplug::igraphics
