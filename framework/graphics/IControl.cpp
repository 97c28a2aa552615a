#include "framework/graphics/IControl.h"

#include "framework/core/IParam.h"
#include "framework/graphics/IGEditorDelegate.h"
#include "framework/graphics/IGraphics.h"
#include "framework/graphics/IPopupMenu.h"
#include "framework/graphics/IRectList.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <stdexcept>

namespace iplug::igraphics
{

namespace
{

double NowMs()
{
  using namespace std::chrono;
  return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

IControl::IControl(const IBounds& bounds, int paramIdx, ControlCallback action)
    : mBounds(bounds), mTargetBounds(bounds), mAction(std::move(action))
{
  mValueSlots.push_back({paramIdx, 0.0});
}

IControl::~IControl() = default;

void IControl::OnMouseDown(float x, float y, const IModifierState& mod)
{
  if (!mod.R) return;
  const int slot = GetValueIndexAt(x, y);
  if (GetParamIndex(slot) < 0 || mValuePromptingOff) return;
  PromptForValue(slot);
}

void IControl::OnMouseUp(float, float, const IModifierState&) {}
void IControl::OnMouseDrag(float, float, float, float, const IModifierState&) {}

void IControl::OnMouseDoubleClick(float x, float y, const IModifierState&)
{
  ResetValueToDefault(GetValueIndexAt(x, y));
}

void IControl::OnMouseWheel(float, float, const IModifierState&, float) {}
bool IControl::OnKeyDown(float, float, const IKeyStroke&)
{
  return false;
}
bool IControl::OnKeyUp(float, float, const IKeyStroke&)
{
  return false;
}

void IControl::OnMouseOver(float, float, const IModifierState&)
{
  const bool was = mMouseOver;
  mMouseOver = true;
  if (!was) MarkDirty(false);
}

void IControl::OnMouseOut()
{
  const bool was = mMouseOver;
  mMouseOver = false;
  if (was) MarkDirty(false);
}

void IControl::OnDrop(const char*) {}

void IControl::OnDropPaths(const std::vector<std::string>& paths)
{
  if (!paths.empty()) OnDrop(paths.front().c_str());
}

void IControl::OnDelegateMessage(int, int, const void*) {}
void IControl::OnMidiMessage(const IMidiEvent&) {}

bool IControl::HandleGesture(const IGesture& info)
{
  auto it = mGestureHandlers.find(info.type);
  if (it == mGestureHandlers.end()) return false;
  mLastGesture = info.type;
  // A copy, so that a handler may replace its own entry.
  GestureHandler handler = it->second;
  handler(this, info);
  return true;
}

void IControl::FillContextMenu(IPopupMenu&) {}

void IControl::OnMenuChoice(IPopupMenu* menu, int slot)
{
  if (!menu || slot < 0 || mValuePromptingOff) return;
  const IParam* param = GetParam(slot);
  if (!param) return;
  ApplyValueFromUser(param->ToNormalized(static_cast<double>(menu->GetChosenItemIdx())), slot);
}

void IControl::OnTextEntered(const char*, int) {}
void IControl::OnContextMenuChoice(int) {}

void IControl::DrawHighlightMark(IGraphics& g)
{
  if (mHighlighted) g.FillCircle(mHighlightColour, mTargetBounds.R - 5.f, mTargetBounds.T + 5.f, 2.f);
}

void IControl::BindParam(int paramIdx, int slot)
{
  if (slot < 0 || slot >= NValueSlots()) throw std::out_of_range("invalid vector subscript");
  mValueSlots[static_cast<size_t>(slot)].paramIdx = paramIdx;
  MarkDirty(false);
}

int IControl::GetValueIndexAt(float, float) const
{
  return NValueSlots() == 1 ? 0 : kAllSlots;
}

void IControl::ApplyValueFromDelegate(double value, int slot)
{
  if (mGraphics && mGraphics->IsCaptured(this)) return;
  if (value == GetValue(slot)) return;
  SetValue(value, slot);
  MarkDirty(false);
}

void IControl::ApplyValueFromUser(double value, int slot)
{
  if (value == GetValue(slot)) return;
  SetValue(value, slot);
  MarkDirty(true, slot);
}

void IControl::ResetValueToDefault(int slot)
{
  if (NValueSlots() == 1) slot = 0;
  auto reset = [this](int i)
  {
    if (const IParam* param = GetParam(i)) SetValue(param->GetDefault(true), i);
  };
  if (slot >= 0)
    reset(slot);
  else
    for (int i = 0; i < NValueSlots(); i++)
      reset(i);
  MarkDirty(true, slot);
}

void IControl::SetValue(double value, int slot)
{
  if (slot >= 0 && slot < NValueSlots()) mValueSlots[static_cast<size_t>(slot)].value = value;
}

void IControl::SetPosition(float x, float y)
{
  x = std::max(x, 0.f);
  y = std::max(y, 0.f);
  const float dx = x - mBounds.L;
  const float dy = y - mBounds.T;
  mBounds = mBounds.GetTranslated(dx, dy);
  mMouseOver = false;
  // Derived controls see the new bounds with the old target bounds here.
  OnResize();
  mTargetBounds = mTargetBounds.GetTranslated(dx, dy);
  mMouseOver = false;
}

void IControl::SetSize(float w, float h)
{
  w = std::max(w, 0.f);
  h = std::max(h, 0.f);
  mBounds = mTargetBounds = {mBounds.L, mBounds.T, mBounds.L + w, mBounds.T + h};
  mMouseOver = false;
  OnResize();
}

void IControl::SetHidden(bool hide)
{
  mHidden = hide;
  MarkDirty(false);
}

void IControl::SetDisabled(bool disable)
{
  mDisabled = disable;
  mBlend.weight = disable ? 0.25f : 1.f;
  MarkDirty(false);
}

void IControl::AddDirtyRects(IRectList& rects) const
{
  rects.Add(mBounds);
}

void IControl::MarkDirty(bool notify, int slot)
{
  if (NValueSlots() == 1) slot = 0;

  auto clamp = [this](int i)
  {
    double v = GetValue(i);
    if (std::isnan(v))
    {
      // A NaN has no meaning as a position: fall back to where the parameter stands.
      const IParam* param = GetParam(i);
      v = param ? param->GetNormalized() : 0.0;
    }
    SetValue(std::clamp(v, 0.0, 1.0), i);
  };
  if (slot >= 0)
    clamp(slot);
  else
    for (int i = 0; i < NValueSlots(); i++)
      clamp(i);

  mDirty = true;
  if (!notify) return;

  auto send = [this](int i)
  {
    const int paramIdx = GetParamIndex(i);
    if (paramIdx < 0 || !GetParam(i)) return;
    if (mDelegate) mDelegate->SetParamFromEditorNormalized(paramIdx, GetValue(i));
    if (mGraphics) mGraphics->UpdatePeerControls(this, i);
  };
  if (slot >= 0)
    send(slot);
  else
    for (int i = 0; i < NValueSlots(); i++)
      send(i);

  if (mAction)
  {
    ControlCallback action = mAction;
    action(this);
  }
}

void IControl::SetValueFromPosition(float x, float y, bool horizontal, const IBounds& bounds, int slot,
                                    double lo, double hi)
{
  x = std::clamp(x, bounds.L, bounds.R);
  y = std::clamp(y, bounds.T, bounds.B);
  const float pos =
      horizontal ? (x - bounds.L) / (bounds.R - bounds.L) : 1.f - (y - bounds.T) / (bounds.B - bounds.T);
  // Nearest thousandth, halves away from zero.
  double v = std::round(static_cast<double>(pos) * 1000.0) / 1000.0;
  v = std::clamp(v, lo, hi);
  if (slot == kAllSlots)
    for (int i = 0; i < NValueSlots(); i++)
      SetValue(v, i);
  else
    SetValue(v, slot);
  MarkDirty(true, slot);
}

void IControl::FinishAnimation()
{
  mAnimation = nullptr;
  MarkDirty(false);
  if (mAnimationEndAction)
  {
    ControlCallback end = mAnimationEndAction;
    end(this);
  }
}

const IParam* IControl::GetParam(int slot) const
{
  const int paramIdx = GetParamIndex(slot);
  if (paramIdx < 0 || !mDelegate || paramIdx >= mDelegate->NParams()) return nullptr;
  return mDelegate->GetParam(paramIdx);
}

int IControl::GetParamIndex(int slot) const
{
  if (slot < 0 || slot >= NValueSlots()) return kNoParameter;
  return mValueSlots[static_cast<size_t>(slot)].paramIdx;
}

double IControl::GetValue(int slot) const
{
  if (slot < 0 || slot >= NValueSlots()) return 0.0;
  return mValueSlots[static_cast<size_t>(slot)].value;
}

int IControl::FindValueSlotForParam(int paramIdx) const
{
  for (int i = 0; i < NValueSlots(); i++)
    if (mValueSlots[static_cast<size_t>(i)].paramIdx == paramIdx) return i;
  return kAllSlots;
}

void IControl::PromptForValue(int slot)
{
  if (slot < 0 || mValuePromptingOff) return;
  const IParam* param = GetParam(slot);
  if (!param) return;
  IBounds bounds = mBounds;
  if (param->CaptionCount() == 0)
    bounds = {mBounds.MW() - 20.f, mBounds.MH() - 8.f, mBounds.MW() + 20.f, mBounds.MH() + 8.f};
  if (mGraphics) mGraphics->PromptControlValue(this, bounds, slot);
  MarkDirty(false);
}

double IControl::StartAnimation(double durationMs)
{
  mAnimationDuration = durationMs;
  mAnimationStart = NowMs();
  return mAnimationStart;
}

double IControl::GetAnimationProgress() const
{
  if (!mAnimation) return 0.0;
  return (NowMs() - mAnimationStart) / mAnimationDuration;
}

void IControl::Animate()
{
  if (mAnimation)
  {
    ControlCallback animation = mAnimation;
    animation(this);
  }
}

} // namespace iplug::igraphics
