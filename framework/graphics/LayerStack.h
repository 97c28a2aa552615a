#pragma once
// The stack of offscreen layers a control draws into. The top layer is the render target, the origin of
// the path transform and the bound of every clip. A layer begun here belongs to the stack until it is
// ended (or popped); a pushed one stays with whoever pushed it.

#include "framework/core/HeapBuffer.h"
#include "framework/graphics/IDrawLayer.h"

#include <memory>
#include <vector>

namespace iplug::igraphics
{

class IGraphics;

// What the drawing back end supplies for layers.
class ILayerBackEnd
{
public:
  virtual ~ILayerBackEnd() = default;
  // Null when no framebuffer can be had.
  virtual APIBitmap* CreateLayerBitmap(int widthPx, int heightPx, float displayScale, float drawScale,
                                       bool cacheable) = 0;
  // Makes the layer (null: the main framebuffer) the render target. A layer without a bitmap must not
  // be drawn into.
  virtual void BindCurrentLayer(IDrawLayer* layer) = 0;
  // 4 bytes per pixel, rows as IsLayerBitmapFlipped says; empty when the pixels cannot be read.
  virtual void GetLayerPixels(IDrawLayer& layer, HeapBuffer& pixels) = 0;
  // Composites the shadow, whose alpha is the blurred mask (top row first), into the layer.
  virtual void ApplyLayerShadowMask(IDrawLayer& layer, HeapBuffer& mask, const IDropShadow& shadow) = 0;
  virtual int GetAlphaChannelIndex() const { return 3; }
  virtual bool IsLayerBitmapFlipped() const { return true; }
};

class LayerStack
{
public:
  LayerStack(IGraphics& graphics, ILayerBackEnd& backEnd) : mGraphics(graphics), mBackEnd(backEnd) {}

  // Makes a layer over r (grown to whole device pixels at the current total scale) and pushes it.
  void BeginLayer(IControl* control, const IBounds& r, bool cacheable);
  // The same at given scales, for rendering at a resolution other than the editor's.
  void BeginLayerAtScale(IControl* control, const IBounds& r, bool cacheable, float displayScale,
                         float drawScale);
  void PushLayer(IDrawLayer* layer);
  // Removes the top layer (null when there is none); it stays with whoever owns it.
  IDrawLayer* PopLayer();
  // Removes the top layer and hands it to the caller.
  std::unique_ptr<IDrawLayer> EndLayer();

  // For a frame left early: empties the stack without drawing or binding anything, and deletes the layers
  // begun and never ended (no one else holds them).
  void Abandon();

  IDrawLayer* GetTopLayer() const { return mLayers.empty() ? nullptr : mLayers.back().layer; }
  int GetDepth() const { return static_cast<int>(mLayers.size()); }

private:
  struct Entry
  {
    IDrawLayer* layer;
    bool begunHere;
  };
  void Push(IDrawLayer* layer, bool begunHere);
  void AfterTopChanged(const IBounds& clip);

  IGraphics& mGraphics;
  ILayerBackEnd& mBackEnd;
  std::vector<Entry> mLayers;
};

// Blurs the layer's alpha into a soft mask and lets the back end composite the shadow. A layer whose
// pixels cannot be read is left as it was.
void ApplyLayerShadow(ILayerBackEnd& backEnd, IDrawLayer& layer, const IDropShadow& shadow);

} // namespace iplug::igraphics
