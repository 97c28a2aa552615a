#include "framework/graphics/IGraphics.h"

#include "framework/core/IParam.h"
#include "framework/graphics/ICornerResizerControl.h"
#include "framework/graphics/IControl.h"
#include "framework/graphics/IGEditorDelegate.h"
#include "framework/graphics/ITextEntryControl.h"
#include "framework/graphics/ResourceCache.h"

#include <algorithm>

namespace iplug::igraphics
{

size_t FnvHash::Hash(const void* key, size_t n)
{
  // The key is hashed as stored, lowest byte first on every target we build.
  const auto* bytes = static_cast<const unsigned char*>(key);
  uint64_t h = 0xcbf29ce484222325ull;
  for (size_t i = 0; i < n; i++)
  {
    h ^= bytes[i];
    h *= 0x100000001b3ull;
  }
  return static_cast<size_t>(h);
}

IGraphics::IGraphics(IGEditorDelegate* dlg, int width, int height, int fps, float scale)
    : mWidth(width), mHeight(height), mFPS(fps), mDrawScale(scale), mDelegate(dlg)
{
  mTagMap.max_load_factor(1.f);
  mTagMap.rehash(8);
  mCaptureMap.max_load_factor(1.f);
  mCaptureMap.rehash(8);
  AddResourceCacheUsers();
}

IGraphics::~IGraphics()
{
  // No virtual calls from here on: the derived parts are gone, so a hidden cursor is not shown again
  // (derived destructors do that first).
  mDestroying = true;
  RemoveAllControls();
  // The last editor of the process empties the bitmap and SVG caches.
  RemoveResourceCacheUsers();
}

void IGraphics::ClearDelegate()
{
  mDelegate = nullptr;
  ForEachControl([](IControl* control) { control->SetDelegate(nullptr); });
}

IControl* IGraphics::AddControl(IControl* control, int tag, const char* group)
{
  if (!control) return nullptr;
  if (tag >= 0 && !mTagMap.emplace(tag, control).second) return nullptr;
  control->SetDelegate(mDelegate);
  control->SetGraphics(this);
  control->OnBeforeAttach();
  control->OnResize();
  control->OnScaleChanged();
  control->SetGroup(group);
  mControls.push_back(control);
  control->OnAfterAttach();
  return control;
}

void IGraphics::AddCornerResizer(int mode, bool layoutOnResize, const IArgb& colour,
                                 const IArgb& mouseOverColour, const IArgb& dragColour, float size)
{
  auto* resizer = new ICornerResizerControl(static_cast<float>(mWidth), static_cast<float>(mHeight), size,
                                            colour, mouseOverColour, dragColour);
  if (mCornerResizer)
  {
    delete resizer;
    return;
  }
  mCornerResizer = resizer;
  mCornerResizeMode = mode;
  mLayoutOnResize = layoutOnResize;
  resizer->SetDelegate(mDelegate);
  resizer->SetGraphics(this);
  resizer->OnBeforeAttach();
  resizer->OnResize();
  resizer->OnScaleChanged();
}

void IGraphics::AddTextEntryControl()
{
  if (mTextEntryControl) return;
  mTextEntryControl = new ITextEntryControl();
  mTextEntryControl->SetDelegate(mDelegate);
  mTextEntryControl->SetGraphics(this);
  mTextEntryControl->OnBeforeAttach();
  mTextEntryControl->OnResize();
  mTextEntryControl->OnScaleChanged();
}

IControl* IGraphics::FindControlByTag(int tag) const
{
  auto it = mTagMap.find(tag);
  return it == mTagMap.end() ? nullptr : it->second;
}

IControl* IGraphics::GetControl(int idx) const
{
  if (idx < 0 || idx >= NControls()) return nullptr;
  return mControls[static_cast<size_t>(idx)];
}

int IGraphics::GetControlIdx(const IControl* control) const
{
  for (int i = 0; i < NControls(); i++)
    if (mControls[static_cast<size_t>(i)] == control) return i;
  return -1;
}

void IGraphics::ForEachControl(const std::function<void(IControl* control)>& func)
{
  ForEachAttachedControl(func);
  if (mCornerResizer) func(mCornerResizer);
  if (mTextEntryControl) func(mTextEntryControl);
}

void IGraphics::ForEachAttachedControl(const std::function<void(IControl* control)>& func)
{
  // By index: a callback may attach further controls.
  for (size_t i = 0; i < mControls.size(); i++)
    func(mControls[i]);
}

void IGraphics::RemoveAllControls()
{
  ReleaseMouseCapture();
  mMouseOver = nullptr;
  mMouseOverIdx = -1;
  // Prompts aimed at controls about to go must not find them later.
  mTextEntryTarget = nullptr;
  mTextEntryValIdx = kAllSlots;
  mPopupTarget = nullptr;
  mPopupValIdx = kAllSlots;
  EndGestures(mPopupGestures);
  mPopupMenuControl = nullptr;
  mResizing = false;

  if (ITextEntryControl* entry = mTextEntryControl)
  {
    mTextEntryControl = nullptr;
    delete entry;
  }
  if (ICornerResizerControl* resizer = mCornerResizer)
  {
    mCornerResizer = nullptr;
    delete resizer;
  }
  mTagMap.clear();
  while (!mControls.empty())
  {
    IControl* control = mControls.back();
    mControls.pop_back();
    delete control;
  }
}

void IGraphics::UpdatePeerControls(IControl* caller, int callerSlot)
{
  const int paramIdx = caller->GetParamIndex(callerSlot);
  if (paramIdx < 0) return;
  const double value = caller->GetValue(callerSlot);
  ForEachAttachedControl(
      [&](IControl* control)
      {
        if (control == caller) return;
        const int slot = control->FindValueSlotForParam(paramIdx);
        if (slot >= 0) control->ApplyValueFromDelegate(value, slot);
      });
}

float IGraphics::MeasureText(const ITextStyle& style, const char* text, IBounds& bounds) const
{
  if (!text || !*text) return 0.f;
  return MeasureTextWithApi(style, text, bounds);
}

int IGraphics::SetMouseCursor(int type)
{
  const int previous = mCursorType;
  mCursorType = type;
  return previous;
}

bool IGraphics::SetClipboardPath(const char*)
{
  return false;
}

bool IGraphics::StartFileDrag(const char*)
{
  return false;
}

bool IGraphics::RevealPathInShell(const char*, bool)
{
  return false;
}

void IGraphics::EnableTooltips(bool enable)
{
  mEnableTooltips = enable;
  if (enable) mEnableMouseOver = true;
}

// ---- Drawing cycle

bool IGraphics::CollectDirtyRects(IRectList& rects)
{
  ForEachControl([](IControl* control) { control->Animate(); });

  bool dirty = false;
  IRectList own;
  ForEachControl(
      [&](IControl* control)
      {
        if (!control->IsDirty()) return;
        own.Clear();
        control->AddDirtyRects(own);
        for (int i = 0; i < own.Size(); ++i)
        {
          IBounds r = own.Get(i).GetPadded(0.75f);
          if (const IControl* parent = control->GetParent())
          {
            // Kept inside the parent, as the control's drawing is.
            const IBounds p = parent->GetBounds().GetPadded(0.75f);
            r = {std::max(r.L, p.L), std::max(r.T, p.T), std::min(r.R, p.R), std::min(r.B, p.B)};
          }
          rects.Add(r);
        }
        dirty = true;
      });
  return dirty;
}

void IGraphics::MarkAllControlsClean()
{
  ForEachControl([](IControl* control) { control->MarkClean(); });
}

void IGraphics::MarkAllControlsDirty()
{
  ForEachControl([](IControl* control) { control->MarkDirty(false); });
}

void IGraphics::AbandonFrame(bool)
{
  mLayers.Abandon();
  mTransformStack.clear();
}

void IGraphics::PaintRegions(IRectList& rects)
{
  if (rects.Empty()) return;
  const float scale = GetTotalScale();
  BeginDrawFrame();
  rects.PixelAlign(scale);
  rects.Optimize();
  for (int i = 0; i < rects.Size(); i++)
  {
    const IBounds region = rects.Get(i);
    ForEachControl([&](IControl* control) { DrawControl(control, region, scale); });
  }
  mRegionClip = IBounds();
  PresentFrame();
}

} // namespace iplug::igraphics
