// Pointer, key and drop input: hit testing, per-pointer capture, the gesture bracket around presses on
// parameter-bound controls, hover tracking and the corner-resize drag.

#include "framework/core/TraceHook.h"
#include "framework/graphics/ICornerResizerControl.h"
#include "framework/graphics/IControl.h"
#include "framework/graphics/IGEditorDelegate.h"
#include "framework/graphics/IGraphics.h"
#include "framework/graphics/ITextEntryControl.h"

#include <algorithm>

namespace iplug::igraphics
{

IControl* IGraphics::FindControlAt(float x, float y, bool capture, bool mouseOver, int64_t touchId)
{
  if (!mCaptureMap.empty())
  {
    auto it = mCaptureMap.find(touchId);
    if (it != mCaptureMap.end() && it->second) return it->second;
  }

  IControl* found = nullptr;
  int foundIdx = -1;
  if (mTextEntryControl && mTextEntryControl->IsEditing())
    found = mTextEntryControl;
  else if (mCornerResizer && mCornerResizer->GetBounds().Contains(x, y))
    found = mCornerResizer;
  else if (!mouseOver || mEnableMouseOver)
  {
    // Topmost first; the background (index 0) is never a hover target.
    const int last = mouseOver ? 1 : 0;
    for (int i = NControls() - 1; i >= last; i--)
    {
      IControl* control = mControls[static_cast<size_t>(i)];
      if (control->IsHidden() || control->GetIgnoreMouse()) continue;
      if (control->IsDisabled() &&
          !(mouseOver ? control->GetMouseOverWhenDisabled() : control->GetMouseEventsWhenDisabled()))
        continue;
      if (control->HitTest(x, y))
      {
        found = control;
        foundIdx = i;
        break;
      }
    }
  }

  if (capture && found && mCaptureMap.find(touchId) == mCaptureMap.end())
  {
    // A second finger on a control that is already held gets nothing unless the control asks for it.
    if (!found->GetWantsMultiTouch() && IsCaptured(found)) return nullptr;
    mCaptureMap.emplace(touchId, found);
  }
  if (mouseOver) mMouseOverIdx = foundIdx;
  return found;
}

bool IGraphics::IsCaptured(const IControl* control) const
{
  for (const auto& [id, captured] : mCaptureMap)
    if (captured == control) return true;
  return false;
}

IControl* IGraphics::GetCapturedControl(int64_t touchId) const
{
  auto it = mCaptureMap.find(touchId);
  return it == mCaptureMap.end() ? nullptr : it->second;
}

void IGraphics::StoreMouseDownPosition(float x, float y)
{
  mMouseDownX = x;
  mMouseDownY = y;
}

void IGraphics::BeginGestures(int64_t touchId, IControl* control)
{
  Gesture gesture{touchId, control, {}};
  for (int i = 0; i < control->NValueSlots(); i++)
  {
    const int paramIdx = control->GetParamIndex(i);
    if (paramIdx < 0) continue;
    if (mDelegate) mDelegate->BeginParamChangeFromEditor(paramIdx);
    gesture.params.push_back(paramIdx);
  }
  if (!gesture.params.empty()) mGestures.push_back(std::move(gesture));
}

void IGraphics::EndGestures(std::vector<Gesture>& gestures)
{
  // Taken out first: an end call may reach code that starts or ends other gestures.
  std::vector<Gesture> ending;
  ending.swap(gestures);
  for (const Gesture& gesture : ending)
    for (int paramIdx : gesture.params)
      if (mDelegate) mDelegate->EndParamChangeFromEditor(paramIdx);
}

std::vector<IGraphics::Gesture> IGraphics::TakeGestures(const std::function<bool(const Gesture&)>& which)
{
  std::vector<Gesture> taken;
  auto keep = std::stable_partition(mGestures.begin(), mGestures.end(),
                                    [&which](const Gesture& g) { return !which(g); });
  taken.assign(std::make_move_iterator(keep), std::make_move_iterator(mGestures.end()));
  mGestures.erase(keep, mGestures.end());
  return taken;
}

void IGraphics::ShowHiddenCursor()
{
  if (mCursorHidden && !mDestroying) HideMouseCursor(false, true);
}

std::vector<IGraphics::Gesture> IGraphics::DropCapture(IControl* keepFor)
{
  std::vector<IControl*> lost;
  for (const auto& [id, control] : mCaptureMap)
    if (control && std::find(lost.begin(), lost.end(), control) == lost.end()) lost.push_back(control);
  mCaptureMap.clear();
  ShowHiddenCursor();

  std::vector<Gesture> kept =
      TakeGestures([keepFor](const Gesture& g) { return keepFor != nullptr && g.control == keepFor; });
  std::vector<Gesture> ending = TakeGestures([](const Gesture&) { return true; });

  for (IControl* control : lost)
    control->OnCaptureLost();
  EndGestures(ending);
  return kept;
}

void IGraphics::ReleaseMouseCapture()
{
  DropCapture(nullptr);
}

void IGraphics::OnMouseDown(const IPointerList& points)
{
  if (points.size() == 1) StoreMouseDownPosition(points[0].x, points[0].y);

  for (const IPointerEvent& p : points)
  {
    IControl* control = FindControlAt(p.x, p.y, true, false, p.ms.touchId);
    if (!control) continue;
    const int slot = control->GetValueIndexAt(p.x, p.y);
    const int paramIdx = control->GetParamIndex(std::max(slot, 0));
    if (p.ms.R && paramIdx >= 0)
    {
      // This control was never pressed: it has no press state to lose.
      mCaptureMap.erase(p.ms.touchId);
      ReleaseMouseCapture();
      ShowParamContextMenu(control, paramIdx, p.x, p.y);
      return;
    }
    BeginGestures(p.ms.touchId, control);
    control->OnMouseDown(p.x, p.y, p.ms);
  }
}

void IGraphics::OnMouseDrag(const IPointerList& points)
{
  if (mResizing && points.size() == 1)
  {
    DoCornerResizeDrag(points[0].x, points[0].y);
    return;
  }
  if (mCaptureMap.empty()) return;

  for (const IPointerEvent& p : points)
  {
    IControl* control = GetCapturedControl(p.ms.touchId);
    if (!control) continue;
    // An open text entry takes the drags it holds and no others.
    if (mTextEntryTarget && control != static_cast<IControl*>(mTextEntryControl)) continue;
    if (p.dX != 0.f || p.dY != 0.f) control->OnMouseDrag(p.x, p.y, p.dX, p.dY, p.ms);
  }
}

void IGraphics::OnMouseUp(const IPointerList& points)
{
  if (!mCaptureMap.empty())
  {
    for (const IPointerEvent& p : points)
    {
      IControl* control = GetCapturedControl(p.ms.touchId);
      if (!control) continue;
      control->OnMouseUp(p.x, p.y, p.ms);
      const int64_t id = p.ms.touchId;
      std::vector<Gesture> ending = TakeGestures([id](const Gesture& g) { return g.touchId == id; });
      EndGestures(ending);
      mCaptureMap.erase(id);
    }
  }
  if (mResizing) EndCornerResize();
  if (points.size() == 1 && points[0].ms.touchId == 0)
    UpdateMouseOver(points[0].x, points[0].y, points[0].ms);
}

void IGraphics::UpdateMouseOver(float x, float y, const IModifierState& mod)
{
  IControl* control = FindControlAt(x, y, false, true, 0);
  if (control != mMouseOver)
  {
    if (mMouseOver) mMouseOver->OnMouseOut();
    mMouseOver = control;
  }
  if (mMouseOver) mMouseOver->OnMouseOver(x, y, mod);
}

bool IGraphics::OnMouseOver(float x, float y, const IModifierState& mod)
{
  UpdateMouseOver(x, y, mod);
  return mMouseOver != nullptr;
}

void IGraphics::OnMouseOut()
{
  // The system cursor becomes the arrow while the stored type stays what the editor last chose.
  mCursorType = SetMouseCursor(kArrowCursor);
  ForEachControl([](IControl* control) { control->OnMouseOut(); });
  mMouseOver = nullptr;
  mMouseOverIdx = -1;
}

bool IGraphics::OnMouseDoubleClick(float x, float y, const IModifierState& mod)
{
  IControl* control = FindControlAt(x, y, true, false, 0);
  if (!control) return false;
  if (control->GetDoubleClickAsSingle())
  {
    IPointerEvent p;
    p.x = x;
    p.y = y;
    p.ms = mod;
    OnMouseDown({p});
    return true;
  }
  control->OnMouseDoubleClick(x, y, mod);
  // The capture the hit test took for the double click holds no press.
  mCaptureMap.erase(0);
  ReleaseMouseCapture();
  return true;
}

bool IGraphics::OnMouseWheel(float x, float y, const IModifierState& mod, float delta)
{
  IControl* control = FindControlAt(x, y, false, false, 0);
  if (!control) return false;
  control->OnMouseWheel(x, y, mod, delta);
  return true;
}

bool IGraphics::OnKeyDown(float x, float y, const IKeyStroke& key)
{
  TraceHook("IGraphics::OnKeyDown", __LINE__, "x:%0.2f, y:%0.2f, key:%s", x, y, key.utf8);
  IControl* control = FindControlAt(x, y, false, false, 0);
  if (!control || control == GetControl(0)) return false;
  return control->OnKeyDown(x, y, key);
}

bool IGraphics::OnKeyUp(float x, float y, const IKeyStroke& key)
{
  TraceHook("IGraphics::OnKeyUp", __LINE__, "x:%0.2f, y:%0.2f, key:%s", x, y, key.utf8);
  IControl* control = FindControlAt(x, y, false, false, 0);
  if (!control || control == GetControl(0)) return false;
  return control->OnKeyUp(x, y, key);
}

void IGraphics::OnDrop(const char* text, float x, float y)
{
  if (IControl* control = FindControlAt(x, y, false, false, 0)) control->OnDrop(text);
}

void IGraphics::OnDropPaths(const std::vector<std::string>& paths, float x, float y)
{
  if (paths.empty()) return;
  if (IControl* control = FindControlAt(x, y, false, false, 0)) control->OnDropPaths(paths);
}

} // namespace iplug::igraphics
