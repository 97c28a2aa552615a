#pragma once
// Offscreen layers and the drop shadow a control may give one.

#include "framework/graphics/IBitmapHandle.h"
#include "framework/graphics/IDrawingRecords.h"
#include "framework/graphics/IPattern.h"

#include <memory>

namespace iplug::igraphics
{

class IControl;

// Whoever holds the layer (the control, after EndLayer) frees it and its bitmap with it.
struct IDrawLayer
{
  std::unique_ptr<APIBitmap> bitmap; // null when the back end could not make one: nothing is drawn then
  IControl* control = nullptr;
  IBounds controlBounds; // the owner's bounds when the layer was made; all zero without an owner
  IBounds bounds;        // aligned to whole device pixels
  bool invalid = false;
};

struct IDropShadow
{
  IGradient pattern;
  float blurSize = 0.f; // editor units
  float xOffset = 0.f;
  float yOffset = 0.f;
  float opacity = 1.f; // clamped to 0..1 when used
  bool drawForeground = true;
};

} // namespace iplug::igraphics
