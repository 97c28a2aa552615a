#include "framework/graphics/LayerStack.h"

#include "framework/graphics/BlurAlpha.h"
#include "framework/graphics/IControl.h"
#include "framework/graphics/IGraphics.h"

#include <cmath>

namespace iplug::igraphics
{

void LayerStack::BeginLayer(IControl* control, const IBounds& r, bool cacheable)
{
  BeginLayerAtScale(control, r, cacheable, mGraphics.GetDisplayScale(), mGraphics.GetDrawScale());
}

void LayerStack::BeginLayerAtScale(IControl* control, const IBounds& r, bool cacheable, float displayScale,
                                   float drawScale)
{
  const float t = displayScale * drawScale;
  const IBounds aligned{std::floor(r.L * t) / t, std::floor(r.T * t) / t, std::ceil(r.R * t) / t,
                        std::ceil(r.B * t) / t};
  // The size in editor units is rounded up to whole units before it becomes pixels.
  const int w = static_cast<int>(std::ceil(std::ceil(aligned.R - aligned.L) * t));
  const int h = static_cast<int>(std::ceil(std::ceil(aligned.B - aligned.T) * t));

  auto* layer = new IDrawLayer;
  if (w > 0 && h > 0)
    layer->bitmap.reset(mBackEnd.CreateLayerBitmap(w, h, displayScale, drawScale, cacheable));
  layer->control = control;
  layer->controlBounds = control ? control->GetBounds() : IBounds();
  layer->bounds = aligned;
  Push(layer, true);
}

void LayerStack::PushLayer(IDrawLayer* layer)
{
  Push(layer, false);
}

void LayerStack::Push(IDrawLayer* layer, bool begunHere)
{
  if (!layer) return;
  std::unique_ptr<IDrawLayer> owned(begunHere ? layer : nullptr);
  mLayers.push_back({layer, begunHere});
  owned.release();
  AfterTopChanged(layer->bounds);
}

IDrawLayer* LayerStack::PopLayer()
{
  if (mLayers.empty()) return nullptr;
  IDrawLayer* layer = mLayers.back().layer;
  mLayers.pop_back();
  AfterTopChanged(IBounds());
  return layer;
}

void LayerStack::Abandon()
{
  // A pushed layer may already be gone (a local of the drawing that threw): only the stack's own are
  // touched.
  std::vector<Entry> left;
  left.swap(mLayers);
  for (auto it = left.rbegin(); it != left.rend(); ++it)
    if (it->begunHere) delete it->layer;
}

std::unique_ptr<IDrawLayer> LayerStack::EndLayer()
{
  return std::unique_ptr<IDrawLayer>(PopLayer());
}

void LayerStack::AfterTopChanged(const IBounds& clip)
{
  IDrawLayer* top = GetTopLayer();
  mBackEnd.BindCurrentLayer(top);
  // The transform in force before is dropped, not saved: layer drawing starts from the identity.
  mGraphics.ResetTransform();
  if (top)
  {
    // Clips are in untransformed editor units and never leave the layer.
    const IBounds area = top->bounds;
    mGraphics.SetPathClip(clip.Empty() ? area : clip.Intersect(area));
  }
  else
    mGraphics.SetClipRegion(clip);
  mGraphics.ClearPath();
}

void ApplyLayerShadow(ILayerBackEnd& backEnd, IDrawLayer& layer, const IDropShadow& shadow)
{
  if (!layer.bitmap) return;
  HeapBuffer pixels(HeapBuffer::kDefaultGranularity);
  backEnd.GetLayerPixels(layer, pixels);
  if (pixels.GetSize() == 0) return;
  const APIBitmap& bitmap = *layer.bitmap;
  const BlurKernel kernel = MakeBlurKernel(shadow.blurSize, bitmap.GetScale(), bitmap.GetDrawScale());
  if (!BlurLayerAlpha(pixels, bitmap.GetWidth(), bitmap.GetHeight(), backEnd.IsLayerBitmapFlipped(),
                      backEnd.GetAlphaChannelIndex(), kernel))
    return;
  backEnd.ApplyLayerShadowMask(layer, pixels, shadow);
}

} // namespace iplug::igraphics
