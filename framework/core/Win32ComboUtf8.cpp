// Makes narrow (ANSI) combo boxes and their edit fields take and give UTF-8:
// item texts go in through the wide window procedure, come back out as UTF-8,
// and the edit field shows the selected item's real text instead of the
// code-page echo ('?' for every character the code page lacks).
#include "framework/core/Win32Utf8.h"

#include "framework/core/Utf8Text.h"

#include <windows.h>

#include <new>

namespace iplug
{
namespace
{
constexpr const char* kOldProc = "Utf8OldProc";
constexpr const char* kOldProcW = "Utf8OldProcW";
constexpr UINT kMarkedGetText = LB_GETTEXT | 0x8000;       // 0x8189
constexpr UINT kMarkedGetTextLen = LB_GETTEXTLEN | 0x8000; // 0x818A

ATOM gComboClassAtom = 0;

WNDPROC OldProc(HWND hwnd)
{
  return reinterpret_cast<WNDPROC>(GetPropA(hwnd, kOldProc));
}
WNDPROC OldProcW(HWND hwnd)
{
  return reinterpret_cast<WNDPROC>(GetPropA(hwnd, kOldProcW));
}

LRESULT Unsubclass(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
  WNDPROC old = OldProc(hwnd);
  SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
  RemovePropA(hwnd, kOldProc);
  RemovePropA(hwnd, kOldProcW);
  return CallWindowProcA(old, hwnd, msg, wp, lp);
}

LRESULT CallWide(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
  if (WNDPROC wide = OldProcW(hwnd)) return CallWindowProcW(wide, hwnd, msg, wp, lp);
  return CallWindowProcA(OldProc(hwnd), hwnd, msg, wp, lp);
}

// Sends a text message through the wide procedure when the text is UTF-8 that
// the narrow procedure would mangle.
LRESULT SendTextMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
  const char* text = reinterpret_cast<const char*>(lp);
  if (text && HasMultibyteUtf8(text) != 0)
  {
    char16_t stack[1024];
    if (char16_t* wide = DecodeUtf8ToWideBuffer(text, stack, sizeof(stack), 0))
    {
      const LRESULT result = CallWide(hwnd, msg, wp, reinterpret_cast<LPARAM>(wide));
      if (wide != stack) delete[] wide;
      return result;
    }
  }
  return CallWindowProcA(OldProc(hwnd), hwnd, msg, wp, lp);
}

LRESULT GetItemTextUtf8(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
  char* out = reinterpret_cast<char*>(lp);
  const UINT lengthMsg = (msg == CB_GETLBTEXT) ? CB_GETLBTEXTLEN : LB_GETTEXTLEN;
  const LRESULT length = CallWide(hwnd, lengthMsg, wp, 0);
  if (length == -1 || length < 0) return length < 0 ? length : -1;
  wchar_t stack[1001];
  wchar_t* wide = stack;
  if (length > 1000)
  {
    wide = new (std::nothrow) wchar_t[static_cast<size_t>(length) + 1];
    if (!wide) return -1;
  }
  wide[0] = 0;
  const LRESULT got = CallWide(hwnd, msg & ~0x8000u, wp, reinterpret_cast<LPARAM>(wide));
  LRESULT result = -1;
  if (got >= 0)
  {
    wide[got <= length ? got : length] = 0;
    // The caller sized its buffer from the marked length message: length x 4 + 32.
    const int room = static_cast<int>(length) * 4 + 32;
    const int written = WideCharToMultiByte(CP_UTF8, 0, wide, -1, out, room, nullptr, nullptr);
    result = written > 0 ? written - 1 : 0;
    if (written <= 0) out[0] = 0;
  }
  if (wide != stack) delete[] wide;
  return result;
}

LRESULT CALLBACK ComboProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
  if (!OldProc(hwnd)) return 0;
  switch (msg)
  {
  case WM_NCDESTROY:
    return Unsubclass(hwnd, msg, wp, lp);
  case CB_ADDSTRING:
  case CB_INSERTSTRING:
  case CB_FINDSTRING:
  case CB_FINDSTRINGEXACT:
  case LB_ADDSTRING:
  case LB_INSERTSTRING:
    return SendTextMessage(hwnd, msg, wp, lp);
  case CB_GETLBTEXT:
  case kMarkedGetText:
    if (lp) return GetItemTextUtf8(hwnd, msg, wp, lp);
    break;
  case CB_GETLBTEXTLEN:
  case kMarkedGetTextLen:
  {
    const LRESULT length = CallWide(hwnd, msg & ~0x8000u, wp, lp);
    return length < 0 ? length : length * 4 + 32;
  }
  default:
    break;
  }
  return CallWindowProcA(OldProc(hwnd), hwnd, msg, wp, lp);
}

LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
  if (!OldProc(hwnd)) return 0;
  if (msg == WM_NCDESTROY) return Unsubclass(hwnd, msg, wp, lp);
  const char* text = reinterpret_cast<const char*>(lp);
  if (msg == WM_SETTEXT && text && text[0])
  {
    HWND combo = GetParent(hwnd);
    const LRESULT selection = combo ? SendMessageA(combo, CB_GETCURSEL, 0, 0) : CB_ERR;
    if (selection != CB_ERR)
    {
      const LRESULT room = SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(selection), 0);
      if (room > 0)
      {
        char stack[1024];
        char* item = stack;
        if (room > 1023) item = new (std::nothrow) char[static_cast<size_t>(room) + 1];
        LRESULT result = 0;
        bool handled = false;
        if (item)
        {
          item[0] = 0;
          if (SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(selection),
                           reinterpret_cast<LPARAM>(item)) > 0 &&
              HasMultibyteUtf8(item) == 1 && MatchesNarrowEcho(item, text) == 0)
          {
            char16_t wideStack[1024];
            if (char16_t* wide = DecodeUtf8ToWideBuffer(item, wideStack, sizeof(wideStack), 0))
            {
              result = CallWide(hwnd, WM_SETTEXT, wp, reinterpret_cast<LPARAM>(wide));
              handled = true;
              if (wide != wideStack) delete[] wide;
            }
          }
          if (item != stack) delete[] item;
        }
        if (handled) return result;
      }
    }
  }
  return CallWindowProcA(OldProc(hwnd), hwnd, msg, wp, lp);
}

void Subclass(HWND hwnd, WNDPROC proc)
{
  SetPropA(hwnd, kOldProcW, reinterpret_cast<HANDLE>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC)));
  const LONG_PTR old = SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
  SetPropA(hwnd, kOldProc, reinterpret_cast<HANDLE>(old));
}
} // namespace

void SubclassComboUtf8(void* comboWindow)
{
  HWND combo = static_cast<HWND>(comboWindow);
  if (!combo) return;
  if (!GetPropA(combo, kOldProc))
  {
    Subclass(combo, ComboProc);
    if (!gComboClassAtom) gComboClassAtom = static_cast<ATOM>(GetClassLongPtrA(combo, GCW_ATOM));
  }
  HWND edit = FindWindowExA(combo, nullptr, "Edit", nullptr);
  if (edit && !GetPropA(edit, kOldProc)) Subclass(edit, EditProc);
}
} // namespace iplug
