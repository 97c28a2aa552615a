#include "framework/graphics/BitmapLoading.h"

#include "framework/graphics/IGraphics.h"
#include "framework/graphics/LayerStack.h"
#include "framework/graphics/ResourceCache.h"
#include "framework/graphics/ResourceLoading.h"

#include <cmath>
#include <cstring>

namespace iplug::igraphics
{

IBitmapHandle MakeBitmapHandle(APIBitmap* bitmap, const char* name, int frames, bool horizontal)
{
  IBitmapHandle handle;
  if (!bitmap) return handle;
  handle.bitmap = bitmap;
  const float scale = bitmap->GetScale() > 0.f ? bitmap->GetScale() : 1.f;
  handle.width = static_cast<int32_t>(static_cast<float>(bitmap->GetWidth()) / scale);
  handle.height = static_cast<int32_t>(static_cast<float>(bitmap->GetHeight()) / scale);
  handle.frames = frames;
  handle.framesHorizontal = horizontal;
  handle.name = name ? name : "";
  return handle;
}

bool CacheBitmap(ResourceCache& cache, const IBitmapHandle& bitmap, const char* name)
{
  if (!bitmap.bitmap) return false;
  ScopedLock lock(&cache.GetLock());
  return cache.AddCacheEntry(bitmap.bitmap, name, bitmap.bitmap->GetScale());
}

void UncacheBitmap(ResourceCache& cache, const IBitmapHandle& bitmap)
{
  ScopedLock lock(&cache.GetLock());
  cache.RemoveCacheEntry(bitmap.bitmap);
}

int BitmapLoader::TargetScale(int scale) const
{
  return scale != 0 ? scale : static_cast<int>(std::ceil(mGraphics.GetDisplayScale()));
}

IBitmapHandle BitmapLoader::Finish(APIBitmap* bitmap, bool owned, const char* name, int frames,
                                   bool horizontal, int target)
{
  if (!bitmap) return {};
  const IBitmapHandle found = MakeBitmapHandle(bitmap, name, frames, horizontal);
  if (bitmap->GetScale() != static_cast<float>(target))
  {
    const IBitmapHandle result = RescaleBitmap(found, name, target);
    // Only a bitmap made here goes: one that came from the cache stays the cache's.
    if (owned) delete bitmap;
    return result;
  }
  if (owned && !CacheBitmap(mCache, found, name))
  {
    delete bitmap;
    return {};
  }
  return found;
}

IBitmapHandle BitmapLoader::LoadBitmap(const char* name, int frames, bool horizontal, int scale)
{
  if (!name) return {};
  const int target = TargetScale(scale);
  ResourceCache& cache = mCache;
  ScopedLock lock(&cache.GetLock());

  if (auto* cached = static_cast<APIBitmap*>(cache.FindCacheEntry(name, target)))
    return MakeBitmapHandle(cached, name, frames, horizontal);

  const char* dot = std::strrchr(name, '.');
  const char* extension = dot ? dot + 1 : "";
  if (!mGraphics.IsBitmapExtensionSupported(extension)) return {};

  TextBuffer location;
  int found = 0;
  const int kind = FindImageResource(name, extension, location, target, found, mModule);
  if (kind > 0)
  {
    if (found != target)
      if (auto* cached = static_cast<APIBitmap*>(cache.FindCacheEntry(name, found)))
        return Finish(cached, false, name, frames, horizontal, target);
    APIBitmap* loaded = mBackEnd.CreateApiBitmapFromFile(location.Get(), found, kind, extension);
    return Finish(loaded, true, name, frames, horizontal, target);
  }
  return Finish(FindCachedBitmapAnyScale(mCache, name, target, found), false, name, frames, horizontal, target);
}

IBitmapHandle BitmapLoader::LoadBitmapFromMemory(const char* name, const void* data, int32_t size, int frames,
                                                 bool horizontal, int scale)
{
  if (!name) return {};
  const int target = TargetScale(scale);
  ResourceCache& cache = mCache;
  ScopedLock lock(&cache.GetLock());

  if (auto* cached = static_cast<APIBitmap*>(cache.FindCacheEntry(name, target)))
    return MakeBitmapHandle(cached, name, frames, horizontal);
  int found = 0;
  if (APIBitmap* cached = FindCachedBitmapAnyScale(mCache, name, target, found))
    return Finish(cached, false, name, frames, horizontal, target);
  if (!data || size <= 0) return {};
  return Finish(mBackEnd.CreateApiBitmapFromMemory(name, data, size, 1), true, name, frames, horizontal,
                target);
}

IBitmapHandle BitmapLoader::RescaleBitmap(const IBitmapHandle& source, const char* name, int targetScale)
{
  if (!source.bitmap || targetScale <= 0) return {};
  const APIBitmap& src = *source.bitmap;
  const IBounds bounds{0.f, 0.f, static_cast<float>(src.GetWidth()) / src.GetScale(),
                       static_cast<float>(src.GetHeight()) / src.GetScale()};

  mLayers.BeginLayerAtScale(nullptr, bounds, true, static_cast<float>(targetScale), src.GetDrawScale());
  if (mLayers.GetTopLayer()->bitmap) mGraphics.DrawBitmap(source, bounds, 0, 0);
  std::unique_ptr<IDrawLayer> layer = mLayers.EndLayer();
  if (!layer || !layer->bitmap) return {};

  APIBitmap* made = layer->bitmap.release();
  const IBitmapHandle result = MakeBitmapHandle(made, name, source.frames, source.framesHorizontal);
  if (!CacheBitmap(mCache, result, name))
  {
    delete made;
    return {};
  }
  return result;
}

} // namespace iplug::igraphics
