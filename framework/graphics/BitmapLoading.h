#pragma once
// The base form of bitmap loading, for a back end that does not bring its own: bitmaps come from the
// process-wide bitmap cache or from scale variants of an image file, and an image found only at another
// scale is redrawn at the wanted one through an offscreen layer.

#include "framework/graphics/IBitmapHandle.h"

#include <cstdint>

namespace iplug::igraphics
{

class IGraphics;
class LayerStack;
class ResourceCache;

// What the back end supplies: decoding into its own bitmaps.
class IBitmapBackEnd
{
public:
  virtual ~IBitmapBackEnd() = default;
  // locationKind: 1 file on disk, 2 module resource. Null when the image cannot be decoded.
  virtual APIBitmap* CreateApiBitmapFromFile(const char* location, int scale, int locationKind,
                                             const char* extension) = 0;
  virtual APIBitmap* CreateApiBitmapFromMemory(const char* name, const void* data, int32_t size,
                                               int scale) = 0;
};

// A handle on a bitmap the cache owns; sizes in editor units (pixels / scale, truncated).
IBitmapHandle MakeBitmapHandle(APIBitmap* bitmap, const char* name, int frames, bool horizontal);

// Under the lock of a context's cache (GetBitmapCacheOfContext). CacheBitmap hands the handle's bitmap
// to the cache (at its own scale); UncacheBitmap deletes the first entry holding it.
bool CacheBitmap(ResourceCache& cache, const IBitmapHandle& bitmap, const char* name);
void UncacheBitmap(ResourceCache& cache, const IBitmapHandle& bitmap);

class BitmapLoader
{
public:
  // Bitmaps are kept in cache: the process-wide one, or a back end's own when its images belong to one
  // drawing context.
  BitmapLoader(IGraphics& graphics, IBitmapBackEnd& backEnd, LayerStack& layers, void* module,
               ResourceCache& cache)
      : mGraphics(graphics), mBackEnd(backEnd), mLayers(layers), mModule(module), mCache(cache)
  {
  }

  // scale 0: the display scale rounded up. An unsupported extension or nothing to load gives an empty
  // handle.
  IBitmapHandle LoadBitmap(const char* name, int frames = 1, bool horizontal = false, int scale = 0);
  IBitmapHandle LoadBitmapFromMemory(const char* name, const void* data, int32_t size, int frames = 1,
                                     bool horizontal = false, int scale = 0);
  // Draws the source into a new bitmap made for targetScale and caches it under name. The editor's
  // scales are not touched.
  IBitmapHandle RescaleBitmap(const IBitmapHandle& source, const char* name, int targetScale);

private:
  int TargetScale(int scale) const;
  // The handle for a bitmap that is either cached already or was just made (owned: cached or deleted).
  IBitmapHandle Finish(APIBitmap* bitmap, bool owned, const char* name, int frames, bool horizontal,
                       int target);

  IGraphics& mGraphics;
  IBitmapBackEnd& mBackEnd;
  LayerStack& mLayers;
  void* mModule;
  ResourceCache& mCache;
};

} // namespace iplug::igraphics
