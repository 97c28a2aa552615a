#include "framework/graphics/platform/NanoVGFontCache.h"

#include "framework/graphics/FontBlob.h"

namespace iplug::igraphics
{

ResourceCache& GetNanoVGFontCache()
{
  static ResourceCache cache([](void* payload) { delete static_cast<FontBlob*>(payload); });
  return cache;
}

} // namespace iplug::igraphics
