#include "framework/graphics/ITextEntryControl.h"

#include "framework/core/IParam.h"
#include "framework/graphics/IGraphics.h"
#include "framework/graphics/TextEntryConversions.h"

#include <cmath>
#include <cstring>
#include <stdexcept>

namespace iplug::igraphics
{

namespace
{

constexpr double kBlinkPeriodMs = 1000.0;
constexpr float kBaselineStep = 1.25f;

bool AcceptedForParam(const IParam* param, const IKeyStroke& key, int32_t c)
{
  if (!param) return true;
  const bool digit = (key.vk >= 0x30 && key.vk <= 0x39 && !key.shift) || (key.vk >= 0x60 && key.vk <= 0x69);
  switch (static_cast<int>(param->Type()))
  {
  case 1: // bool
  case 2: // int
  case 3: // enum
    return digit || c == '+' || c == '-';
  case 4: // double
    return digit || c == '+' || c == '-' || c == '.';
  default:
    return true;
  }
}

} // namespace

} // namespace iplug::igraphics

// The editing library reaches the field through these.
#define STB_TEXTEDIT_STRING iplug::igraphics::ITextEntryControl
#define STB_TEXTEDIT_STRINGLEN(obj) iplug::igraphics::ITextEntryControl::TextLength(obj)
#define STB_TEXTEDIT_GETCHAR(obj, i) iplug::igraphics::ITextEntryControl::CharAt(obj, i)
#define STB_TEXTEDIT_GETWIDTH(obj, n, i) iplug::igraphics::ITextEntryControl::CharWidth(obj, n, i)
#define STB_TEXTEDIT_LAYOUTROW(r, obj, n) iplug::igraphics::ITextEntryControl::LayoutRow(r, obj, n)
#define STB_TEXTEDIT_DELETECHARS(obj, i, n) iplug::igraphics::ITextEntryControl::DeleteChars(obj, i, n)
#define STB_TEXTEDIT_INSERTCHARS(obj, i, c, n) iplug::igraphics::ITextEntryControl::InsertChars(obj, i, c, n)
#define STB_TEXTEDIT_NEWLINE u'\n'
// Word moves stop at white space.
#define STB_TEXTEDIT_IS_SPACE(ch) ((ch) == u' ' || (ch) == u'\t' || (ch) == u'\r' || (ch) == u'\n')
// Neither a virtual key nor a Ctrl chord gives text; the character sits below the four flag bits.
#define STB_TEXTEDIT_KEYTOTEXT(k) (((k)&0xA0000000u) ? -1 : static_cast<int>((k)&0x0FFFFFFFu))
#define STB_TEXTEDIT_K_SHIFT 0x40000000u
#define STB_TEXTEDIT_K_LEFT (0x80000000u | 37u)
#define STB_TEXTEDIT_K_RIGHT (0x80000000u | 39u)
#define STB_TEXTEDIT_K_UP (0x80000000u | 38u)
#define STB_TEXTEDIT_K_DOWN (0x80000000u | 40u)
#define STB_TEXTEDIT_K_LINESTART (0x80000000u | 36u)
#define STB_TEXTEDIT_K_LINEEND (0x80000000u | 35u)
#define STB_TEXTEDIT_K_TEXTSTART (0x80000000u | 0x20000000u | 36u)
#define STB_TEXTEDIT_K_TEXTEND (0x80000000u | 0x20000000u | 35u)
#define STB_TEXTEDIT_K_WORDLEFT (0x80000000u | 0x20000000u | 37u)
#define STB_TEXTEDIT_K_WORDRIGHT (0x80000000u | 0x20000000u | 39u)
#define STB_TEXTEDIT_K_DELETE (0x80000000u | 46u)
#define STB_TEXTEDIT_K_BACKSPACE (0x80000000u | 8u)
#define STB_TEXTEDIT_K_INSERT (0x80000000u | 45u)
#define STB_TEXTEDIT_K_UNDO (0x20000000u | 122u)
#define STB_TEXTEDIT_K_REDO (0x40000000u | 0x20000000u | 122u)
// The field gives Page Up and Page Down no action: the library's page keys get codes no key maps to.
#define STB_TEXTEDIT_K_PGUP 0x8FFFFFF0u
#define STB_TEXTEDIT_K_PGDOWN 0x8FFFFFF1u
#define STB_TEXTEDIT_IMPLEMENTATION
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#endif
#include <stb_textedit.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace iplug::igraphics
{

ITextEntryControl::ITextEntryControl()
    : IControl(IBounds(), kNoParameter,
               [](IControl* c) { static_cast<ITextEntryControl*>(c)->RestartBlink(); })
{
  stb_textedit_initialize_state(&mEditState, 1);
}

// ---- Library callbacks

int ITextEntryControl::TextLength(const ITextEntryControl* field)
{
  return static_cast<int>(field->mText.size());
}

char16_t ITextEntryControl::CharAt(const ITextEntryControl* field, int i)
{
  return field->mText[static_cast<size_t>(i)];
}

float ITextEntryControl::CharWidth(ITextEntryControl* field, int, int i)
{
  return field->GetCharWidth(i);
}

void ITextEntryControl::LayoutRow(StbTexteditRow* row, ITextEntryControl* field, int)
{
  field->FillCharWidths();
  const float w = field->WidthBefore(static_cast<int>(field->mText.size()));
  const IBounds& b = field->mBounds;
  const ITextStyle& style = field->mTextStyle;
  switch (style.align)
  {
  case kAlignNear:
    row->x0 = b.L;
    break;
  case kAlignFar:
    row->x0 = b.R - w;
    break;
  default:
    row->x0 = (b.L + b.R) / 2.f - w / 2.f;
    break;
  }
  row->x1 = row->x0 + w;
  row->baseline_y_delta = kBaselineStep;
  const float h = b.B - b.T;
  const float s = style.size;
  switch (style.valign)
  {
  case kAlignNear:
    row->ymin = 0.f;
    break;
  case kAlignFar:
    row->ymin = h - s;
    break;
  default:
    row->ymin = h / 2.f - s / 2.f;
    break;
  }
  row->ymax = row->ymin + s;
  row->num_chars = static_cast<int>(field->mText.size());
}

int ITextEntryControl::DeleteChars(ITextEntryControl* field, int position, int count)
{
  if (position < 0 || static_cast<size_t>(position) > field->mText.size())
    throw std::out_of_range("text field: delete position");
  const int available = static_cast<int>(field->mText.size()) - position;
  field->mText.erase(static_cast<size_t>(position), static_cast<size_t>(std::min(count, available)));
  field->mCharWidths.ResizeHeapBuffer(0);
  field->FillCharWidths();
  return 1;
}

int ITextEntryControl::InsertChars(ITextEntryControl* field, int position, const char16_t* units, int count)
{
  if (position < 0 || static_cast<size_t>(position) > field->mText.size())
    throw std::out_of_range("text field: insert position");
  // Copied first: the units may lie inside the text itself.
  const std::u16string inserted(units, static_cast<size_t>(count > 0 ? count : 0));
  field->mText.insert(static_cast<size_t>(position), inserted);
  field->mCharWidths.ResizeHeapBuffer(0);
  field->FillCharWidths();
  return 1;
}

// ---- Widths

float ITextEntryControl::MeasureUnits(const char16_t* units, int count) const
{
  if (!mGraphics) return 0.f;
  std::string text;
  for (int i = 0; i < count; ++i)
  {
    char bytes[5];
    CodepointToUtf8(units[i], bytes, sizeof(bytes));
    text += bytes;
  }
  IBounds bounds;
  return mGraphics->MeasureText(mTextStyle, text.c_str(), bounds);
}

void ITextEntryControl::FillCharWidths()
{
  const int n = static_cast<int>(mText.size());
  if (mCharWidths.GetSize() == n * static_cast<int>(sizeof(float))) return;
  if (!mCharWidths.ResizeHeapBuffer(n * static_cast<int>(sizeof(float)))) return;
  auto* widths = mCharWidths.GetAs<float>();
  // Each width is the pair's width less the left character's, so kerning between neighbours counts.
  for (int i = 0; i < n; ++i)
    widths[i] = i == 0 ? MeasureUnits(&mText[0], 1)
                       : MeasureUnits(&mText[static_cast<size_t>(i - 1)], 2) -
                             MeasureUnits(&mText[static_cast<size_t>(i - 1)], 1);
}

float ITextEntryControl::GetCharWidth(int i)
{
  FillCharWidths();
  if (i < 0 || i >= static_cast<int>(mText.size()) || !mCharWidths.GetData()) return 0.f;
  return mCharWidths.GetAs<float>()[i];
}

float ITextEntryControl::WidthBefore(int n)
{
  float w = 0.f;
  for (int i = 0; i < n; ++i)
    w += GetCharWidth(i);
  return w;
}

// ---- State

std::string ITextEntryControl::GetText() const
{
  return Utf16ToUtf8Text(mText);
}

ITextEntryControl::Snapshot ITextEntryControl::TakeSnapshot() const
{
  return {mEditState.cursor, mEditState.select_start, mEditState.select_end, mEditState.insert_mode, mText};
}

bool ITextEntryControl::MarkIfChanged(const Snapshot& before)
{
  if (TakeSnapshot() == before) return false;
  MarkDirty(false);
  return true;
}

void ITextEntryControl::Open(int, const ITextStyle& style, const IBounds& bounds, int, const char* text)
{
  mMouseOver = false;
  SetBoundsAndTarget(bounds);
  OnResize();
  SetTextStyle(style);
  mTextStyle.colour = mTextStyle.entryForeground;
  mText = Utf8ToUtf16Text(text);
  stb_textedit_initialize_state(&mEditState, 1);
  SelectAll();
  mEditState.cursor = 0;
  mCharWidths.ResizeHeapBuffer(0);
  FillCharWidths();
  MarkDirty(true);
  mEditing = true;
}

void ITextEntryControl::Close()
{
  mEditing = false;
  mCaretVisible = false;
  // A closed field neither blinks nor draws.
  SetAnimation(nullptr);
  SetBoundsAndTarget(IBounds());
  mMouseOver = false;
  OnResize();
}

void ITextEntryControl::Commit()
{
  mEditing = false;
  const std::string text = GetText();
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

void ITextEntryControl::SelectAll()
{
  const Snapshot before = TakeSnapshot();
  mEditState.select_start = 0;
  mEditState.select_end = static_cast<int>(mText.size());
  MarkIfChanged(before);
}

void ITextEntryControl::Copy()
{
  if (mEditState.select_start == mEditState.select_end || !mGraphics) return;
  const int a = std::min(mEditState.select_start, mEditState.select_end);
  const int b = std::max(mEditState.select_start, mEditState.select_end);
  const int n = static_cast<int>(mText.size());
  if (a >= n) return;
  const std::string text = Utf16ToUtf8Text(mText.data() + a, static_cast<size_t>(std::min(b, n) - a));
  mGraphics->SetClipboardText(text.c_str());
}

void ITextEntryControl::Cut()
{
  Copy();
  const Snapshot before = TakeSnapshot();
  if (mEditState.select_start != mEditState.select_end)
  {
    stb_textedit_cut(this, &mEditState);
    mEditState.has_preferred_x = 0;
  }
  MarkIfChanged(before);
}

void ITextEntryControl::Paste()
{
  if (!mGraphics) return;
  TextBuffer clip;
  if (!mGraphics->GetClipboardText(clip)) return;
  std::u16string units = Utf8ToUtf16Text(clip.Get());
  // One line only: whatever follows the first line break stays out.
  const size_t lineBreak = units.find_first_of(u"\r\n");
  if (lineBreak != std::u16string::npos) units.resize(lineBreak);
  const Snapshot before = TakeSnapshot();
  stb_textedit_paste(this, &mEditState, units.data(), static_cast<int>(units.size()));
  MarkIfChanged(before);
}

// ---- Caret

void ITextEntryControl::RestartBlink()
{
  mCaretVisible = true;
  SetAnimation([](IControl* c) { static_cast<ITextEntryControl*>(c)->Blink(); }, kBlinkPeriodMs);
}

void ITextEntryControl::Blink()
{
  const double progress = GetAnimationProgress();
  if (progress > 0.5)
  {
    mCaretVisible = false;
    MarkDirty(false);
  }
  if (progress > 1.0) FinishAnimation();
}

void ITextEntryControl::FinishAnimation()
{
  if (mEditing)
    MarkDirty(true); // the action restarts the blink
  else
    SetAnimation(nullptr);
}

// ---- Input

void ITextEntryControl::OnMouseDown(float x, float y, const IModifierState& mod)
{
  if (mBounds.Empty() || !mBounds.Contains(x, y))
  {
    Commit();
    return;
  }
  if (mod.L)
  {
    const Snapshot before = TakeSnapshot();
    stb_textedit_click(this, &mEditState, x, y);
    MarkIfChanged(before);
  }
  else if (mod.R)
    ShowContextMenu(x, y);
}

void ITextEntryControl::OnMouseDrag(float x, float y, float, float, const IModifierState& mod)
{
  if (!mod.L) return;
  const Snapshot before = TakeSnapshot();
  stb_textedit_drag(this, &mEditState, x, y);
  MarkIfChanged(before);
}

void ITextEntryControl::OnMouseUp(float x, float y, const IModifierState& mod)
{
  // The release of a press that committed the field (outside it) finds it closed: no blink restarts.
  if (!mod.L || !mEditing) return;
  const Snapshot before = TakeSnapshot();
  stb_textedit_drag(this, &mEditState, x, y);
  MarkIfChanged(before);
  MarkDirty(true);
}

void ITextEntryControl::OnMouseDoubleClick(float, float, const IModifierState&)
{
  SelectAll();
}

void ITextEntryControl::ShowContextMenu(float x, float y)
{
  if (!mGraphics) return;
  // Bound to this field each time it is shown, never to whichever field showed it first.
  mContextMenu.SetChosenItemIdx(-1);
  mContextMenu.SetFunction(
      [this](IPopupMenu* menu)
      {
        switch (menu ? menu->GetChosenItemIdx() : -1)
        {
        case 0:
          Cut();
          break;
        case 1:
          Copy();
          break;
        case 2:
          Paste();
          break;
        default:
          break;
        }
      });
  mGraphics->ShowPopupMenu(this, mContextMenu, {x, y, x, y}, 0);
}

void ITextEntryControl::SendKey(uint32_t key)
{
  const uint32_t c = key & 0x0FFFFFFFu;
  if (!(key & (kVirtualKey | kCtrlBit)) && c > 0xFFFF && c <= 0x10FFFF)
  {
    // One key, one character: a pair of units goes in as one paste with one undo record.
    const char16_t pair[2] = {static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)),
                              static_cast<char16_t>(0xDC00 + (c & 0x3FF))};
    stb_textedit_paste(this, &mEditState, pair, 2);
    return;
  }
  stb_textedit_key(this, &mEditState, key);
}

bool ITextEntryControl::OnKeyDown(float, float, const IKeyStroke& key)
{
  if (!mEditing) return false;

  if (key.ctrl)
  {
    const Snapshot before = TakeSnapshot();
    switch (key.vk)
    {
    case 'A':
      SelectAll();
      return true;
    case 'C':
      Copy();
      return true;
    case 'V':
      Paste();
      return true;
    case 'X':
      Cut();
      return true;
    case 'Z':
      stb_textedit_key(this, &mEditState, key.shift ? STB_TEXTEDIT_K_REDO : STB_TEXTEDIT_K_UNDO);
      MarkIfChanged(before);
      return true;
    default:
      break;
    }
  }

  const int32_t c = DecodeKeyText(key.utf8);
  uint32_t code = 0;
  switch (key.vk)
  {
  case kVkBack:
  case kVkDelete:
  case kVkPageUp:
  case kVkPageDown:
  case kVkEnd:
  case kVkHome:
  case kVkLeft:
  case kVkUp:
  case kVkRight:
  case kVkDown:
  case kVkInsert:
    code = kVirtualKey | static_cast<uint32_t>(key.vk);
    break;
  case kVkSpace:
    code = ' ';
    break;
  case kVkTab:
    return false;
  case kVkReturn:
    Commit();
    return true;
  case kVkEscape:
    Dismiss();
    return true;
  default:
  {
    IControl* target = mGraphics ? mGraphics->GetTextEntryTarget() : nullptr;
    if (!target) return false;
    const bool accepted = c != 0 && AcceptedForParam(target->GetParam(0), key, c);
    code = accepted ? static_cast<uint32_t>(c) : (kVirtualKey | static_cast<uint32_t>(key.vk));
    break;
  }
  }

  if (key.ctrl) code |= kCtrlBit;
  if (key.alt) code |= kAltBit;
  if (key.shift) code |= kShiftBit;

  const Snapshot before = TakeSnapshot();
  SendKey(code);
  return MarkIfChanged(before);
}

// ---- Drawing

void ITextEntryControl::Draw(IGraphics& g)
{
  if (!mEditing) return;
  StbTexteditRow row{};
  LayoutRow(&row, this, 0);
  const float s = mTextStyle.size;
  const float top = mBounds.T + row.ymin + 0.1f * s;
  const float bottom = mBounds.T + row.ymax - 0.1f * s;

  g.FillRect(mTextStyle.entryBackground, mBounds);
  const int selStart = std::min(mEditState.select_start, mEditState.select_end);
  const int selEnd = std::max(mEditState.select_start, mEditState.select_end);
  if (selStart != selEnd)
  {
    const IBlendSpec highlight(kBlendDefault, 0.2f);
    g.FillRect(mTextStyle.entryForeground,
               {row.x0 + WidthBefore(selStart), top, row.x0 + WidthBefore(selEnd), bottom}, &highlight);
  }
  g.DrawText(mTextStyle, GetText().c_str(), mBounds);
  if (mCaretVisible && selStart == selEnd)
  {
    const float xc = row.x0 + WidthBefore(mEditState.cursor);
    g.FillRect(mTextStyle.entryForeground, {std::round(xc - 1.f), top, std::round(xc), bottom});
  }
}

} // namespace iplug::igraphics
