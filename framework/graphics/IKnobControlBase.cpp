#include "framework/graphics/IKnobControlBase.h"

#include "framework/core/IParam.h"
#include "framework/graphics/IGraphics.h"

#include <algorithm>

namespace iplug::igraphics
{

namespace
{

bool IsStepped(const IParam* param)
{
  return param && (param->GetFlags() & kFlagStepped) && param->GetStep() > 0.0;
}

} // namespace

IKnobControlBase::IKnobControlBase(const IBounds& bounds, int paramIdx, ControlCallback action,
                                   bool hideCursor, int32_t direction, double gearing)
    : IControl(bounds, paramIdx, std::move(action)), mHideCursor(hideCursor), mDirection(direction),
      mGearing(gearing)
{
}

IKnobControlBase::~IKnobControlBase()
{
  // Let go here, while this object is still a knob; the base destructor cannot.
  if (mGraphics && mGraphics->IsCaptured(this)) mGraphics->ReleaseMouseCapture();
}

void IKnobControlBase::OnMouseDown(float x, float y, const IModifierState& mod)
{
  mMouseDown = true;
  mDragValue = GetValue(0);
  if (mHideCursor && mGraphics) mGraphics->HideMouseCursor(true, true);
  IControl::OnMouseDown(x, y, mod);
}

void IKnobControlBase::OnMouseUp(float, float, const IModifierState&)
{
  if (mHideCursor && mGraphics) mGraphics->HideMouseCursor(false, true);
  mMouseDown = false;
  MarkDirty(false);
}

void IKnobControlBase::OnCaptureLost()
{
  // IGraphics shows the cursor again itself when it lets go of the pointer.
  mMouseDown = false;
  MarkDirty(false);
}

void IKnobControlBase::OnMouseDrag(float, float, float dX, float dY, const IModifierState& mod)
{
  const double gearing = (mod.C || mod.S) ? mGearing * 10.0 : mGearing;
  const IBounds r = GetDragBounds();
  double delta = 0.0, extent = 0.0;
  if (mDirection == kVertical)
  {
    delta = dY;
    extent = static_cast<double>(r.T) - static_cast<double>(r.B); // negative: moving down lowers the value
  }
  else
  {
    delta = dX;
    extent = static_cast<double>(r.R) - static_cast<double>(r.L);
  }
  // A knob without extent has no drag distance; 0/0 would poison the accumulated value for good.
  if (extent == 0.0) return;
  mDragValue = std::min(std::max(mDragValue + delta / extent / gearing, 0.0), 1.0);

  double v = mDragValue;
  const IParam* param = GetParam(0);
  if (IsStepped(param)) v = std::clamp(param->ToNormalized(param->FromNormalized(v)), 0.0, 1.0);
  SetValue(v, 0);
  MarkDirty(true);
}

void IKnobControlBase::OnMouseWheel(float, float, const IModifierState& mod, float delta)
{
  const double step = (mod.C || mod.S) ? 0.001 : 0.01;
  double v = GetValue(0);
  const IParam* param = GetParam(0);
  if (IsStepped(param))
  {
    // One event moves exactly one parameter step, whatever the size of delta.
    if (delta != 0.f)
    {
      const double stepSize = delta < 0.f ? -param->GetStep() : param->GetStep();
      v = param->ToNormalized(param->Constrain(param->FromNormalized(v)) + stepSize);
    }
  }
  else
    v += static_cast<double>(delta) * step;
  SetValue(v, 0);
  MarkDirty(true);
}

} // namespace iplug::igraphics
