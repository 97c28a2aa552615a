// Images, layer framebuffers, switching the render target, reading layers back, drawing bitmaps and the
// shadows of boxes and layers.

#include "framework/graphics/platform/IGraphicsNanoVG.h"

#include "framework/core/ResourceLookup.h"
#include "framework/graphics/IGraphicsConstants.h"
#include "framework/graphics/ResourceLoading.h"
#include "framework/graphics/platform/GlEntryPoints.h"
#include "framework/graphics/platform/NanoVGPaint.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <utility>

#include <nanovg.h>
#define NANOVG_GL2 1
#include <nanovg_gl.h>
#include <nanovg_gl_utils.h>

namespace iplug::igraphics
{

namespace
{

// NanoVG leaves the size untouched for an image it does not know (id 0 among them).
void AskImageSize(NVGcontext* context, int32_t imageId, int32_t size[2])
{
  int w = 0;
  int h = 0;
  if (context && imageId > 0) nvgImageSize(context, imageId, &w, &h);
  size[0] = w;
  size[1] = h;
}

struct ImageSize
{
  int32_t wh[2] = {0, 0};
};

ImageSize SizeOf(NVGcontext* context, int32_t imageId)
{
  ImageSize s;
  AskImageSize(context, imageId, s.wh);
  return s;
}

} // namespace

// ---- Bitmap

IGraphicsNanoVG::Bitmap::Bitmap(IGraphicsNanoVG* owner, NVGcontext* context, int32_t imageId, float scale,
                                bool shared, float drawScale)
    : Bitmap(owner, context, imageId, SizeOf(context, imageId).wh, scale, shared, drawScale)
{
}

IGraphicsNanoVG::Bitmap::Bitmap(IGraphicsNanoVG* owner, NVGcontext* context, int32_t imageId,
                                const int32_t size[2], float scale, bool shared, float drawScale)
    : APIBitmap(size[0], size[1], scale, drawScale), mOwner(owner), mContext(context), mShared(shared)
{
  SetImageId(imageId);
}

IGraphicsNanoVG::Bitmap::Bitmap(IGraphicsNanoVG* owner, NVGcontext* context, NanoVGFramebuffer framebuffer,
                                int32_t widthPx, int32_t heightPx, float scale, float drawScale)
    : APIBitmap(widthPx, heightPx, scale, drawScale), mOwner(owner), mContext(context),
      mFramebuffer(std::move(framebuffer))
{
  SetImageId(mFramebuffer ? mFramebuffer->image : 0);
}

IGraphicsNanoVG::Bitmap::~Bitmap()
{
  if (mShared || !mOwner) return;
  if (mFramebuffer)
    mOwner->DeleteFramebufferDeferred(std::move(mFramebuffer));
  else if (mContext && GetImageId() > 0)
  {
    // Without the context current the texture stays in it and goes with it.
    ScopedGLContext current(*mOwner);
    if (current.IsCurrent()) nvgDeleteImage(mContext, GetImageId());
  }
}

// ---- Loading

bool IGraphicsNanoVG::IsBitmapExtensionSupported(const char* ext)
{
  if (!ext) return false;
  std::string lower(ext, std::min<size_t>(std::strlen(ext), 31));
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower.find("png") != std::string::npos || lower.find("jpg") != std::string::npos ||
         lower.find("jpeg") != std::string::npos;
}

APIBitmap* IGraphicsNanoVG::CreateApiBitmapFromFile(const char* location, int scale, int locationKind,
                                                    const char* extension)
{
  int image = 0;
  if (mVG && location)
  {
    if (locationKind == kWinBinary)
    {
      int32_t size = 0;
      const void* bytes = LoadResourceBytes(location, extension, size, GetModuleInstance());
      if (bytes && size > 0)
      {
        ScopedGLContext current(*this);
        image = nvgCreateImageMem(mVG, 0, static_cast<unsigned char*>(const_cast<void*>(bytes)), size);
      }
    }
    else if (locationKind == kAbsolutePath)
    {
      ScopedGLContext current(*this);
      image = nvgCreateImage(mVG, location, 0);
    }
  }
  // Any other kind names an image that belongs to someone else.
  const bool shared = locationKind != kWinBinary && locationKind != kAbsolutePath;
  return new Bitmap(this, mVG, std::max(image, 0), static_cast<float>(scale), shared);
}

APIBitmap* IGraphicsNanoVG::CreateApiBitmapFromMemory(const char*, const void* data, int32_t size, int scale)
{
  // Caching is the loader's: this only decodes.
  int image = 0;
  if (mVG && data && size > 0)
  {
    ScopedGLContext current(*this);
    image = nvgCreateImageMem(mVG, 0, static_cast<unsigned char*>(const_cast<void*>(data)), size);
  }
  return new Bitmap(this, mVG, std::max(image, 0), static_cast<float>(scale), false);
}

IBitmapHandle IGraphicsNanoVG::LoadBitmap(const char* name, int frames, bool horizontal, int scale)
{
  if (!name) return {};
  const int target = scale != 0 ? scale : static_cast<int>(std::ceil(GetDisplayScale()));
  ScopedLock lock(&mBitmapCache.GetLock());
  if (auto* cached = static_cast<APIBitmap*>(mBitmapCache.FindCacheEntry(name, target)))
    return MakeBitmapHandle(cached, name, frames, horizontal);

  const char* dot = std::strrchr(name, '.');
  const char* extension = dot ? dot + 1 : name;
  TextBuffer location;
  int found = 0;
  const int kind = FindImageResource(name, extension, location, target, found, GetModuleInstance());
  if (kind <= 0 || !IsBitmapExtensionSupported(extension)) return {};
  // A picture found only at another scale is cached under that scale: look there before decoding it
  // again as a further texture.
  if (auto* cached = static_cast<APIBitmap*>(mBitmapCache.FindCacheEntry(name, found)))
    return MakeBitmapHandle(cached, name, frames, horizontal);

  APIBitmap* loaded = CreateApiBitmapFromFile(location.Get(), found, kind, extension);
  if (!mBitmapCache.AddCacheEntry(loaded, name, found))
  {
    delete loaded;
    return {};
  }
  return MakeBitmapHandle(loaded, name, frames, horizontal);
}

// ---- Layers

APIBitmap* IGraphicsNanoVG::CreateLayerBitmap(int widthPx, int heightPx, float scale, float drawScale, bool)
{
  if (!mVG || widthPx <= 0 || heightPx <= 0) return nullptr;
  ScopedGLContext current(*this);
  if (!current.IsCurrent()) return nullptr;
  if (mInFrame) EndTarget();
  NanoVGFramebuffer fb(nvgluCreateFramebuffer(mVG, widthPx, heightPx, 0));
  if (fb)
  {
    GlEntryPoints& gl = GetGlEntryPoints();
    nvgluBindFramebuffer(fb.Get());
    gl.Viewport(0, 0, widthPx, heightPx);
    gl.ClearColor(0.f, 0.f, 0.f, 0.f);
    gl.Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  }
  // The frame goes on where it was, on the target that was current.
  if (mInFrame) BeginTarget(GetTopLayer());
  if (!fb) return nullptr;
  return new Bitmap(this, mVG, std::move(fb), widthPx, heightPx, scale, drawScale);
}

void IGraphicsNanoVG::BeginTarget(IDrawLayer* layer)
{
  GlEntryPoints& gl = GetGlEntryPoints();
  mTargetMissing = layer && !layer->bitmap;
  mMainTargetCurrent = !layer;
  mTargetReached = ReachedArea();
  if (mTargetMissing) return;
  if (layer)
  {
    // Viewport and frame follow the layer's own pixels and scale, which may differ from the editor's.
    auto* bitmap = static_cast<Bitmap*>(layer->bitmap.get());
    const float s = bitmap->GetScale() > 0.f ? bitmap->GetScale() : 1.f;
    gl.Viewport(0, 0, bitmap->GetWidth(), bitmap->GetHeight());
    nvgluBindFramebuffer(bitmap->GetFramebuffer());
    nvgBeginFrame(mVG, static_cast<float>(bitmap->GetWidth()) / s,
                  static_cast<float>(bitmap->GetHeight()) / s, s);
    return;
  }
  int w = 0;
  int h = 0;
  GetWindowPixelSize(w, h);
  float ww = 0.f;
  float wh = 0.f;
  GetWindowSize(ww, wh);
  gl.Viewport(0, 0, w, h);
  nvgluBindFramebuffer(mMainFramebuffer.Get());
  nvgBeginFrame(mVG, ww, wh, GetDisplayScale());
}

void IGraphicsNanoVG::BindCurrentLayer(IDrawLayer* layer)
{
  if (!mVG) return;
  // Layer work also runs outside a paint (a bitmap redrawn at another scale).
  ScopedGLContext current(*this);
  if (!current.IsCurrent()) return;
  EndTarget();
  BeginTarget(layer);
}

void IGraphicsNanoVG::GetLayerPixels(IDrawLayer& layer, HeapBuffer& pixels)
{
  pixels.ResizeHeapBuffer(0);
  if (!mVG || !layer.bitmap) return;
  const int w = layer.bitmap->GetWidth();
  const int h = layer.bitmap->GetHeight();
  const int64_t bytes = int64_t(w) * h * 4;
  if (w <= 0 || h <= 0 || bytes > INT32_MAX || !pixels.ResizeHeapBuffer(static_cast<int32_t>(bytes))) return;
  ScopedGLContext current(*this);
  if (!current.IsCurrent())
  {
    pixels.ResizeHeapBuffer(0);
    return;
  }
  PushLayer(&layer);
  GetGlEntryPoints().ReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, pixels.GetData());
  PopLayer();
}

void IGraphicsNanoVG::ApplyLayerShadowMask(IDrawLayer& layer, HeapBuffer& mask, const IDropShadow& shadow)
{
  if (!mVG || !layer.bitmap) return;
  const APIBitmap& target = *layer.bitmap;
  const int w = target.GetWidth();
  const int h = target.GetHeight();
  if (int64_t(mask.GetSize()) < int64_t(w) * h * 4) return;

  if (!shadow.drawForeground)
  {
    PushLayer(&layer);
    nvgGlobalCompositeBlendFunc(mVG, NVG_ZERO, NVG_ZERO);
    AddRectPath(layer.bounds);
    nvgFillColor(mVG, NanoVGColour(COLOR_TRANSPARENT, nullptr));
    nvgFill(mVG);
    nvgGlobalCompositeOperation(mVG, NVG_SOURCE_OVER);
    nvgBeginPath(mVG);
    PopLayer();
  }

  int maskImage = 0;
  {
    ScopedGLContext current(*this);
    maskImage = nvgCreateImageRGBA(mVG, w, h, 0, static_cast<const unsigned char*>(mask.GetData()));
  }
  std::unique_ptr<APIBitmap> maskBitmap(
      new Bitmap(this, mVG, std::max(maskImage, 0), target.GetScale(), false, target.GetDrawScale()));
  IDrawLayer shadowLayer;
  shadowLayer.bitmap.reset(CreateLayerBitmap(w, h, target.GetScale(), target.GetDrawScale(), false));
  shadowLayer.bounds = layer.bounds;
  if (!shadowLayer.bitmap) return;

  SaveTransform();
  PushLayer(&layer);
  PushLayer(&shadowLayer);
  DrawBitmap(MakeBitmapHandle(maskBitmap.get(), "", 1, false), layer.bounds, 0, 0, nullptr);
  AddRectPath(layer.bounds);
  TranslateTransform(-shadow.xOffset, -shadow.yOffset);
  const IBlendSpec sourceIn{kBlendSourceIn, 1.f};
  FillPath(shadow.pattern, IFillStyle(), &sourceIn);
  PopLayer();
  const IBlendSpec behind{kBlendDestOver, std::clamp(shadow.opacity, 0.f, 1.f)};
  const IBounds moved{layer.bounds.L + shadow.xOffset, layer.bounds.T + shadow.yOffset,
                      layer.bounds.R + shadow.xOffset, layer.bounds.B + shadow.yOffset};
  DrawBitmap(MakeBitmapHandle(shadowLayer.bitmap.get(), "", 1, false), moved, 0, 0, &behind);
  PopLayer();
  RestoreTransform();
}

// ---- Drawing bitmaps and shadows

void IGraphicsNanoVG::DrawBitmap(const IBitmapHandle& handle, const IBounds& dest, int srcX, int srcY,
                                 const IBlendSpec* blend)
{
  NVGcontext* vg = DrawTarget();
  if (!vg || !handle.bitmap || handle.bitmap->GetImageId() <= 0) return;
  const APIBitmap& bitmap = *handle.bitmap;
  const float scale = bitmap.GetScale() > 0.f ? bitmap.GetScale() : 1.f;
  const float drawScale = bitmap.GetDrawScale() > 0.f ? bitmap.GetDrawScale() : 1.f;
  const float k = 1.f / (scale * drawScale);
  NVGpaint paint = nvgImagePattern(vg, 0.f, 0.f, static_cast<float>(handle.width) * scale,
                                   static_cast<float>(handle.height) * scale, 0.f, bitmap.GetImageId(),
                                   blend ? blend->weight : 1.f);
  const float xform[6] = {
      k, 0.f, 0.f, k, dest.L - static_cast<float>(srcX), dest.T - static_cast<float>(srcY)};
  std::memcpy(paint.xform, xform, sizeof(xform));
  nvgBeginPath(vg);
  nvgRect(vg, dest.L, dest.T, dest.W(), dest.H());
  nvgFillPaint(vg, paint);
  SetNanoVGBlend(vg, blend);
  nvgFill(vg);
  nvgGlobalCompositeOperation(vg, NVG_SOURCE_OVER);
  nvgBeginPath(vg);
}

void IGraphicsNanoVG::FillBoxShadow(const IBounds& inner, const IBounds& outer, float offset, float roundness,
                                    float blur, const IBlendSpec* blend)
{
  NVGcontext* vg = DrawTarget();
  if (!vg) return;
  const NVGpaint paint = nvgBoxGradient(
      vg, inner.L + offset, inner.T + offset, inner.W(), inner.H(), roundness, std::max(1.f, blur),
      NanoVGColour(COLOR_BLACK_DROP_SHADOW, blend), NanoVGColour(COLOR_TRANSPARENT, nullptr));
  nvgBeginPath(vg);
  nvgRect(vg, outer.L, outer.T, outer.W(), outer.H());
  nvgFillPaint(vg, paint);
  nvgGlobalCompositeOperation(vg, NVG_SOURCE_OVER);
  nvgFill(vg);
  nvgBeginPath(vg);
}

} // namespace iplug::igraphics
