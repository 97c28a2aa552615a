// Value prompts: a menu of a parameter's named values or a text field prefilled with its value, any
// menu a control builds, and parameter context menus. Results go back to the control that asked.

#include "framework/core/IParam.h"
#include "framework/core/TextBuffer.h"
#include "framework/graphics/IControl.h"
#include "framework/graphics/IGEditorDelegate.h"
#include "framework/graphics/IGraphics.h"
#include "framework/graphics/ITextEntryControl.h"

#include <cstring>

namespace iplug::igraphics
{

void IGraphics::PromptControlValue(IControl* control, const IBounds& bounds, int slot)
{
  const IParam* param = control ? control->GetParam(slot) : nullptr;
  if (!param) return;

  const bool named = param->Type() == kTypeEnum || (param->Type() == kTypeBool && param->CaptionCount() > 0);
  if (named)
  {
    TextBuffer current;
    param->FormatDisplay(param->Value(), false, current, true);
    mPromptMenu.ClearItems(true);
    for (int i = 0; i < param->CaptionCount(); i++)
    {
      const char* text = param->FindCaption(static_cast<double>(i));
      const int32_t flags =
          std::strcmp(text, current.Get()) == 0 ? IMenuEntry::kChecked : IMenuEntry::kNoFlags;
      mPromptMenu.AddItem(text, flags, -1);
    }
    mPromptMenu.SetTitle(param->GetName());
    DoShowPopupMenu(control, mPromptMenu, bounds, slot, false);
    return;
  }

  TextBuffer text;
  param->FormatDisplay(param->Value(), false, text, false);
  if (control->GetPromptShowsParamLabel())
  {
    text.AppendText(" ");
    text.AppendText(param->DisplayLabel());
  }
  ShowTextEntry(control, control->GetTextStyle(), bounds, text.Get(), slot);
}

void IGraphics::ShowPopupMenu(IControl* control, IPopupMenu& menu, const IBounds& bounds, int slot)
{
  DoShowPopupMenu(control, menu, bounds, slot, false);
}

void IGraphics::DoShowPopupMenu(IControl* control, IPopupMenu& menu, const IBounds& bounds, int slot,
                                bool isContext)
{
  // A menu opens from a press: the gestures that press began end once the choice is delivered, not at
  // the release that the menu swallows.
  std::vector<Gesture> kept = DropCapture(control);
  mPopupGestures.insert(mPopupGestures.end(), std::make_move_iterator(kept.begin()),
                        std::make_move_iterator(kept.end()));
  mPopupTarget = control;
  mPopupValIdx = slot;
  mIsContextMenu = isContext;

  bool completesLater = false;
  IPopupMenu* chosen = CreatePlatformPopupMenu(menu, bounds, completesLater);
  if (completesLater) return;
  FinishPopup(chosen);
}

void IGraphics::CompletePopupMenu(IPopupMenu* chosen)
{
  FinishPopup(chosen);
}

void IGraphics::FinishPopup(IPopupMenu* chosen)
{
  if (IControl* control = mPopupTarget)
  {
    if (mIsContextMenu)
      control->OnContextMenuChoice(chosen ? chosen->GetChosenItemIdx() : -1);
    else
      control->OnMenuChoice(chosen && chosen->GetChosenItemIdx() != -1 ? chosen : nullptr, mPopupValIdx);
  }
  EndGestures(mPopupGestures);
  mPopupTarget = nullptr;
}

void IGraphics::ShowTextEntry(IControl* control, const ITextStyle& style, const IBounds& bounds,
                              const char* text, int slot)
{
  if (!control) return;
  const int paramIdx = slot >= 0 ? control->GetParamIndex(slot) : kNoParameter;
  if (mTextEntryControl)
  {
    mTextEntryTarget = control;
    mTextEntryValIdx = slot;
    mTextEntryControl->Open(paramIdx, style, bounds, control->GetTextEntryLength(), text);
  }
  // A platform field that is declined leaves the target as it was: an open field keeps its control,
  // and with none open no control waits for text that never comes.
  else if (CreatePlatformTextEntry(paramIdx, style, bounds, control->GetTextEntryLength(), text))
  {
    mTextEntryTarget = control;
    mTextEntryValIdx = slot;
  }
  control->MarkDirty(false);
}

void IGraphics::CommitTextEntry(const char* text)
{
  IControl* control = mTextEntryTarget;
  if (!control) return;
  const int slot = mTextEntryValIdx;
  // Cleared first: applying the value may open another prompt.
  mTextEntryTarget = nullptr;
  const IParam* param = slot >= 0 ? control->GetParam(slot) : nullptr;
  if (param)
    control->ApplyValueFromUser(param->ToNormalized(param->TextToValue(text ? text : "")), slot);
  else
    control->OnTextEntered(text ? text : "", slot);
}

void IGraphics::ClearTextEntryTarget()
{
  mTextEntryTarget = nullptr;
  mTextEntryValIdx = kAllSlots;
}

void IGraphics::ShowParamContextMenu(IControl* control, int paramIdx, float x, float y)
{
  mPromptMenu.ClearItems(true);
  if (!control) return;
  control->FillContextMenu(mPromptMenu);
  if (mDelegate && mDelegate->ShowParamContextMenuInHost(*this, *control, mPromptMenu, paramIdx, x, y))
    return;
  if (mPromptMenu.NItems() > 0) DoShowPopupMenu(control, mPromptMenu, {x, y, x, y}, kAllSlots, true);
}

} // namespace iplug::igraphics
