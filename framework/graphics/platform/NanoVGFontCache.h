#pragma once
// The process-wide cache of font bytes (FontBlob, keyed by font name at scale 1) that every NanoVG
// context registers its fonts from. Its users are the IGraphicsNanoVG instances alive; the last one to
// go empties it. Lock order where both are held: this cache's lock, then a back end's framebuffer lock.

#include "framework/graphics/ResourceCache.h"

namespace iplug::igraphics
{

ResourceCache& GetNanoVGFontCache();

} // namespace iplug::igraphics
