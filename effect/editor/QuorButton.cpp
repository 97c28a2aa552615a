#include "effect/editor/QuorButton.h"

#include "effect/editor/EditorPlugin.h"
#include "effect/editor/EditorStyle.h"
#include "framework/graphics/IGraphics.h"

namespace quorvel
{

using namespace iplug::igraphics;

QuorButton::QuorButton(const IBounds& bounds, EditorPlugin& plugin, const char* label, int32_t mode,
                       int paramIdx)
    : IControl(bounds, mode == kToggle ? paramIdx : kNoParameter), mPlugin(plugin), mLabel(label), mMode(mode)
{
  // "Toggles on each click": the second click of a double-click is a click, not a reset to the default.
  SetDoubleClickAsSingle(true);
}

bool QuorButton::IsActive() const
{
  switch (mMode)
  {
  case kToggle:
    return GetValue() > 0.5;
  case kCompare:
    return mPlugin.GetActiveSlot() == 1;
  default:
    return false;
  }
}

void QuorButton::Perform()
{
  switch (mMode)
  {
  case kToggle:
    ApplyValueFromUser(GetValue() > 0.5 ? 0.0 : 1.0, 0);
    break;
  case kCompare:
    mPlugin.SwapComparisonSlots();
    break;
  case kCopy:
    mPlugin.CopyToOtherSlot();
    break;
  default:
    break;
  }
  if (mGraphics) mGraphics->MarkAllControlsDirty();
}

void QuorButton::OnMouseDown(float, float, const IModifierState&)
{
  Perform();
}

bool QuorButton::OnKeyDown(float, float, const iplug::IKeyStroke& key)
{
  if (key.vk != iplug::kVkReturn && key.vk != iplug::kVkSpace) return false;
  Perform();
  return true;
}

bool QuorButton::IsDirty()
{
  if (mMode == kCompare)
  {
    const uint8_t slot = static_cast<uint8_t>(mPlugin.GetActiveSlot());
    if (slot != mLastSlot)
    {
      mLastSlot = slot;
      MarkDirty(false);
    }
  }
  return IControl::IsDirty();
}

void QuorButton::Draw(IGraphics& g)
{
  const bool active = IsActive();
  DrawEditorPanel(g, mBounds, active, mMouseOver);
  if (mMode == kToggle)
  {
    g.FillCircle(active ? EditorAccent : EditorTextDim, mBounds.L + 15.f, mBounds.MH(), 3.5f);
    DrawEditorLabel(g, mLabel, {mBounds.L + 28.f, mBounds.T, mBounds.R - 5.f, mBounds.B}, 12.f,
                    active ? EditorText : EditorTextDim, kAlignNear);
    return;
  }
  const char* text = mMode == kCompare ? (mPlugin.GetActiveSlot() == 1 ? "B" : "A") : mLabel;
  DrawEditorLabel(g, text, mBounds, 12.f, EditorText, kAlignCenter);
}

} // namespace quorvel
