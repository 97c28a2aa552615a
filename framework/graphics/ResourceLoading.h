#pragma once
// Raw resource bytes, the search for scale-specific image files and the loading of SVG documents into
// the process-wide SVG cache. `module` is the module whose resources are searched (null: the program).

#include "framework/core/HeapBuffer.h"
#include "framework/core/TextBuffer.h"
#include "framework/graphics/ISvgHandle.h"

#include <cstdint>

namespace iplug::igraphics
{

class APIBitmap;
class ResourceCache;

// The bytes of a file on disk or a module resource (granularity 4096). Anything that cannot be read
// whole, a folder, or a size that does not fit an int32 gives the empty buffer.
HeapBuffer LoadResourceData(const char* name, const char* type, void* module);

// The name with "@<scale>x" before its extension ("knob.png" at 2: "knob@2x.png"); scale 1 is the name
// itself. A '.' before the last path separator belongs to a folder: the scale part then goes at the end.
TextBuffer MakeScaledImageName(const char* name, int scale);

// Calls visit(scale) in the order in which scale variants are tried for a target scale: the target,
// then 3 (unless the target is 3), then downwards, skipping what was tried (target 1: 1, 3, 2; target 2:
// 2, 3, 1; target 3: 3, 2, 1; target 4: 4, 3, 2, 1). Stops early when visit returns true.
template <typename Visitor> void ForEachScaleVariant(int target, Visitor&& visit)
{
  int n = target;
  while (n > 0)
  {
    if (visit(n)) return;
    if (n == target && target != 3)
      n = 3;
    else if (n == target + 1)
      n = target - 1;
    else
      n = n - 1;
  }
}

// Searches the scale variants of an image; returns 0 (not found), 1 (file on disk) or 2 (module
// resource) with the location and the scale of what was found.
int FindImageResource(const char* name, const char* type, TextBuffer& location, int targetScale,
                      int& foundScale, void* module);

// The cached bitmap of this name at the first scale variant held, under the cache's lock (by default
// the process-wide bitmap cache).
APIBitmap* FindCachedBitmapAnyScale(const char* name, int targetScale, int& foundScale);
APIBitmap* FindCachedBitmapAnyScale(ResourceCache& cache, const char* name, int targetScale, int& foundScale);

// SVG documents are cached at scale 1 only; a second load of a name returns the cached image.
ISvgHandle LoadSVG(const char* name, const char* units, float dpi, void* module);
ISvgHandle LoadSVGFromMemory(const char* name, const void* data, int32_t size, const char* units, float dpi);

} // namespace iplug::igraphics
