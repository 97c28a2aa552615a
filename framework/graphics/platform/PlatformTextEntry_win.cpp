#include "framework/graphics/platform/PlatformTextEntry.h"

#include "framework/core/Utf16Conversion.h"
#include "framework/graphics/platform/GdiFonts.h"
#include "framework/graphics/platform/TextEntryRules.h"

namespace iplug::igraphics
{

namespace
{
const wchar_t kOwnerProperty[] = L"IPlugTextEntryOwner";
}

bool PlatformTextEntry::Create(const Options& o)
{
  if (mEdit || !o.parent) return false;
  const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | ES_MULTILINE |
                      ES_AUTOHSCROLL | TextEntryAlignmentStyle(o.style.align);
  const TextEntryGeometry g = ComputeTextEntryGeometry(o.bounds, o.scale, o.style.size, o.style.valign);
  const HeapBuffer text = Utf8ToWide(o.text);
  mEdit.Reset(CreateWindowExW(0, L"EDIT", text.GetAs<const wchar_t>(), style, g.x, g.y, g.width, g.height,
                              o.parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kControlId)), o.module,
                              nullptr));
  if (!mEdit) return false;

  mFont = CreateFontFromCache(o.style.font, g.fontHeight);
  mParamType = o.paramType;
  mStyle = o.style;
  mBounds = o.bounds;
  mState = kTextEntryIdle;

  SendMessageW(mEdit.Get(), EM_LIMITTEXT, static_cast<WPARAM>(o.maxLength), 0);
  if (mFont) SendMessageW(mEdit.Get(), WM_SETFONT, reinterpret_cast<WPARAM>(mFont.Get()), 0);
  SendMessageW(mEdit.Get(), EM_SETSEL, 0, -1);
  if (g.centreVertically)
  {
    RECT r{g.textLeft, g.textTop, g.textRight, g.textBottom};
    SendMessageW(mEdit.Get(), EM_SETRECT, 0, reinterpret_cast<LPARAM>(&r));
  }
  // Focus first, subclass after: the focus change of opening is not taken for a commit, while a click
  // elsewhere afterwards is.
  SetFocus(mEdit.Get());
  SetPropW(mEdit.Get(), kOwnerProperty, this);
  mPreviousProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
      mEdit.Get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PlatformTextEntry::SubclassProc)));
  SetWindowLongPtrW(mEdit.Get(), GWLP_USERDATA, kUserDataMarker);
  return true;
}

void PlatformTextEntry::Destroy()
{
  if (!mEdit) return;
  if (mPreviousProc) SetWindowLongPtrW(mEdit.Get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(mPreviousProc));
  RemovePropW(mEdit.Get(), kOwnerProperty);
  mPreviousProc = nullptr;
  // Keys go back to the editor rather than nowhere once the field that had them is gone.
  const HWND parent = GetParent(mEdit.Get());
  const bool hadFocus = GetFocus() == mEdit.Get();
  mEdit.Reset();
  if (hadFocus) SetFocus(parent);
  // The font goes after the window that used it.
  mFont.Reset();
  mState = kTextEntryIdle;
}

TextBuffer PlatformTextEntry::ReadText() const
{
  wchar_t text[kTextEntryReadUnits] = {};
  if (mEdit) SendMessageW(mEdit.Get(), WM_GETTEXT, kTextEntryReadUnits, reinterpret_cast<LPARAM>(text));
  text[kTextEntryReadUnits - 1] = 0;
  return WideToUtf8(reinterpret_cast<const char16_t*>(text));
}

LRESULT CALLBACK PlatformTextEntry::SubclassProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
  auto* self = static_cast<PlatformTextEntry*>(GetPropW(window, kOwnerProperty));
  if (!self || self->mEdit.Get() != window) return DefWindowProcW(window, msg, wParam, lParam);
  try
  {
    return self->HandleMessage(window, msg, wParam, lParam);
  }
  catch (...)
  {
    return 0;
  }
}

LRESULT PlatformTextEntry::HandleMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (onActivity) onActivity();
  switch (msg)
  {
  case WM_SETFOCUS:
    mState = kTextEntryFocused;
    break;
  case WM_KILLFOCUS:
    mState = kTextEntryCommit;
    break;
  case WM_GETDLGCODE:
  {
    LRESULT code = CallWindowProcW(mPreviousProc, window, msg, wParam, lParam);
    const auto* query = reinterpret_cast<const MSG*>(lParam);
    if (query && query->message == WM_KEYDOWN && query->wParam == VK_RETURN) code |= DLGC_WANTALLKEYS;
    return code;
  }
  case WM_KEYDOWN:
    if (wParam == VK_RETURN)
    {
      mState = kTextEntryCommit;
      return 0;
    }
    if (wParam == VK_ESCAPE)
    {
      mState = kTextEntryCancel;
      return 0;
    }
    break;
  case WM_CHAR:
    if (!TextEntryAcceptsChar(mParamType, static_cast<uint32_t>(wParam))) return 0;
    break;
  case WM_COMMAND:
    if (HIWORD(wParam) == 1)
    {
      mState = kTextEntryCommit;
      return 0;
    }
    break;
  default:
    break;
  }
  return CallWindowProcW(mPreviousProc, window, msg, wParam, lParam);
}

} // namespace iplug::igraphics
