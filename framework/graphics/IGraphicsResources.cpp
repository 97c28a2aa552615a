// The graphics context's bitmaps, SVG documents and offscreen layers: thin doors onto the loading, SVG
// and layer units, with the context itself as their back end.

#include "framework/graphics/IGraphics.h"

#include "framework/graphics/ResourceCache.h"
#include "framework/graphics/ResourceLoading.h"
#include "framework/graphics/ScopedGLContext.h"
#include "framework/graphics/SvgRendering.h"

namespace iplug::igraphics
{

BitmapLoader IGraphics::MakeBitmapLoader()
{
  // The module is asked each time: a platform learns it only after construction.
  return BitmapLoader(*this, *this, mLayers, GetModuleInstance(), GetBitmapCacheOfContext());
}

IBitmapHandle IGraphics::LoadBitmap(const char* name, int frames, bool horizontal, int scale)
{
  return MakeBitmapLoader().LoadBitmap(name, frames, horizontal, scale);
}

IBitmapHandle IGraphics::LoadBitmapFromMemory(const char* name, const void* data, int32_t size, int frames,
                                              bool horizontal, int scale)
{
  // Decoding and redrawing at another scale are GL work, also when asked for outside a paint.
  ScopedGLContext current(*this);
  return MakeBitmapLoader().LoadBitmapFromMemory(name, data, size, frames, horizontal, scale);
}

IBitmapHandle IGraphics::RescaleBitmap(const IBitmapHandle& bitmap, const char* name, int targetScale)
{
  ScopedGLContext current(*this);
  return MakeBitmapLoader().RescaleBitmap(bitmap, name, targetScale);
}

bool IGraphics::CacheBitmap(const IBitmapHandle& bitmap, const char* name)
{
  return igraphics::CacheBitmap(GetBitmapCacheOfContext(), bitmap, name);
}

void IGraphics::UncacheBitmap(const IBitmapHandle& bitmap)
{
  igraphics::UncacheBitmap(GetBitmapCacheOfContext(), bitmap);
}

ResourceCache& IGraphics::GetBitmapCacheOfContext()
{
  return GetBitmapCache();
}

bool IGraphics::LoadFontFile(const char* fontId, const char* fileOrResourceName)
{
  return igraphics::LoadFontFile(*this, fontId, fileOrResourceName);
}

bool IGraphics::LoadFontFromMemory(const char* fontId, const void* data, int size)
{
  return igraphics::LoadFontFromMemory(*this, fontId, data, size);
}

ISvgHandle IGraphics::LoadSVG(const char* name, const char* units, float dpi)
{
  return igraphics::LoadSVG(name, units, dpi, GetModuleInstance());
}

void IGraphics::DrawSVG(const ISvgHandle& svg, const IBounds& bounds, const IBlendSpec* blend,
                        const IArgb* strokeColour, const IArgb* fillColour)
{
  igraphics::DrawSVG(*this, svg, bounds, blend, strokeColour, fillColour);
}

void IGraphics::DrawSVGRotated(const ISvgHandle& svg, float cx, float cy, float width, float height,
                               float angle, const IBlendSpec* blend)
{
  igraphics::DrawSVGRotated(*this, svg, cx, cy, width, height, angle, blend);
}

void IGraphics::BeginLayer(IControl* control, const IBounds& bounds, bool cacheable)
{
  mLayers.BeginLayer(control, bounds, cacheable);
}

void IGraphics::PushLayer(IDrawLayer* layer)
{
  mLayers.PushLayer(layer);
}

IDrawLayer* IGraphics::PopLayer()
{
  return mLayers.PopLayer();
}

std::unique_ptr<IDrawLayer> IGraphics::EndLayer()
{
  return mLayers.EndLayer();
}

void IGraphics::ApplyLayerShadow(IDrawLayer& layer, const IDropShadow& shadow)
{
  igraphics::ApplyLayerShadow(*this, layer, shadow);
}

} // namespace iplug::igraphics
