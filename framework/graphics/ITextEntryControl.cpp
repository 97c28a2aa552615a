#include "framework/graphics/ITextEntryControl.h"

#include "framework/graphics/IGraphics.h"

namespace iplug::igraphics
{

namespace
{

constexpr int32_t kVkBack = 8;
constexpr int32_t kVkTab = 9;
constexpr int32_t kVkReturn = 13;
constexpr int32_t kVkEscape = 27;

void EraseLastCharacter(std::string& text)
{
  // Back over UTF-8 continuation bytes so that a character goes whole.
  while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0x80)
    text.pop_back();
  if (!text.empty()) text.pop_back();
}

} // namespace

ITextEntryControl::ITextEntryControl() : IControl(IBounds()) {}

void ITextEntryControl::Open(int, const ITextStyle& style, const IBounds& bounds, int, const char* text)
{
  mMouseOver = false;
  SetBoundsAndTarget(bounds);
  OnResize();
  SetTextStyle(style);
  mTextStyle.colour = mTextStyle.entryForeground;
  mText = text ? text : "";
  mAllSelected = true;
  MarkDirty(true);
  mEditing = true;
}

void ITextEntryControl::Close()
{
  mEditing = false;
  mAllSelected = false;
  SetBoundsAndTarget(IBounds());
  mMouseOver = false;
  OnResize();
}

void ITextEntryControl::Commit()
{
  mEditing = false;
  const std::string text = mText;
  if (mGraphics) mGraphics->CommitTextEntry(text.c_str());
  Close();
  if (mGraphics) mGraphics->MarkAllControlsDirty();
}

void ITextEntryControl::Dismiss()
{
  Close();
  if (mGraphics)
  {
    mGraphics->ClearTextEntryTarget();
    mGraphics->MarkAllControlsDirty();
  }
}

void ITextEntryControl::OnMouseDown(float x, float y, const IModifierState&)
{
  if (mBounds.Empty() || !mBounds.Contains(x, y))
  {
    Commit();
    return;
  }
  mAllSelected = false;
  MarkDirty(false);
}

void ITextEntryControl::OnMouseDoubleClick(float, float, const IModifierState&)
{
  mAllSelected = true;
  MarkDirty(false);
}

bool ITextEntryControl::OnKeyDown(float, float, const IKeyStroke& key)
{
  if (!mEditing) return false;
  switch (key.vk)
  {
  case kVkTab:
    return false;
  case kVkReturn:
    Commit();
    return true;
  case kVkEscape:
    Dismiss();
    return true;
  case kVkBack:
    if (mAllSelected)
      mText.clear();
    else
      EraseLastCharacter(mText);
    mAllSelected = false;
    MarkDirty(false);
    return true;
  default:
    break;
  }
  if (key.ctrl || key.utf8[0] == '\0') return false;
  if (mAllSelected) mText.clear();
  mAllSelected = false;
  mText += key.utf8;
  MarkDirty(false);
  return true;
}

void ITextEntryControl::Draw(IGraphics& g)
{
  g.FillRect(mTextStyle.entryBackground, mBounds);
  g.DrawText(mTextStyle, mText.c_str(), mBounds);
}

} // namespace iplug::igraphics
