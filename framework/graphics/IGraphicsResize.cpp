// Editor size and scales: Resize, the corner-resize drag, the scale limits and display-scale changes.

#include "framework/graphics/ICornerResizerControl.h"
#include "framework/graphics/IControl.h"
#include "framework/graphics/IGEditorDelegate.h"
#include "framework/graphics/IGraphics.h"

#include <algorithm>
#include <cmath>

namespace iplug::igraphics
{

namespace
{

bool UsableScale(float scale)
{
  return std::isfinite(scale) && scale > 0.f;
}

} // namespace

void IGraphics::ComputePixelSize(int& pw, int& ph)
{
  const float dpi = GetWindowDpiScale();
  pw = static_cast<int>(dpi * static_cast<float>(static_cast<int>(static_cast<float>(mWidth) * mDrawScale)));
  ph = static_cast<int>(dpi * static_cast<float>(static_cast<int>(static_cast<float>(mHeight) * mDrawScale)));
}

void IGraphics::Resize(int width, int height, float scale, bool needsPlatformResize)
{
  if (!UsableScale(scale)) return;
  if (mDelegate) mDelegate->ConstrainEditorSize(width, height);
  scale = std::min(mMaxScale, std::max(mMinScale, scale));
  if (width == mWidth && height == mHeight && scale == mDrawScale) return;

  ReleaseMouseCapture();
  mWidth = width;
  mHeight = height;
  mDrawScale = scale;
  if (mCornerResizer) static_cast<IControl*>(mCornerResizer)->OnScaleChanged();

  int pw = 0, ph = 0;
  ComputePixelSize(pw, ph);
  const bool resized = mDelegate ? mDelegate->EditorResizeRequest(pw, ph, needsPlatformResize) : false;
  ResizePlatformWindow(resized);

  ForEachControl([](IControl* control) { control->OnResize(); });
  ForEachControl([](IControl* control) { control->MarkDirty(false); });
  ResizeDrawTarget();
  if (mLayoutOnResize && mDelegate) mDelegate->LayoutEditor(this);
  AfterResize();
}

void IGraphics::SetScaleLimits(float a, float b)
{
  mMinScale = std::min(a, b);
  mMaxScale = std::max(a, b);
}

void IGraphics::SetDisplayScale(float scale)
{
  if (!UsableScale(scale)) return;
  mDisplayScale = scale;
  int pw = 0, ph = 0;
  ComputePixelSize(pw, ph);
  const bool resized = mDelegate ? mDelegate->EditorResizeRequest(pw, ph, true) : false;
  ResizePlatformWindow(resized);
  ForEachControl([](IControl* control) { control->OnScaleChanged(); });
  ForEachControl([](IControl* control) { control->MarkDirty(false); });
  ResizeDrawTarget();
}

void IGraphics::DoCornerResizeDrag(float x, float y)
{
  if (mCornerResizeMode == kResizeScale)
  {
    const float scale = std::min(mDrawScale * y / mMouseDownY, mDrawScale * x / mMouseDownX);
    Resize(mWidth, mHeight, scale, true);
  }
  else
    Resize(static_cast<int>(x), static_cast<int>(y), mDrawScale, true);
}

void IGraphics::EndCornerResize()
{
  mResizing = false;
  if (mCornerResizeMode == kResizeScale)
  {
    ForEachControl([](IControl* control) { control->OnScaleChanged(); });
    ForEachControl([](IControl* control) { control->MarkDirty(false); });
  }
  else if (mCornerResizer)
    static_cast<IControl*>(mCornerResizer)->MarkDirty(false);
}

} // namespace iplug::igraphics
