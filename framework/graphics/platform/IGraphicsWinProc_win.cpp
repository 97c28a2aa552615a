// The editor window's procedure: each message decoded by the portable functions and handed to the
// graphics context. Nothing thrown leaves it.

#include "framework/graphics/platform/IGraphicsWin.h"

#include "framework/core/Utf16Conversion.h"
#include "framework/graphics/IControl.h"
#include "framework/graphics/ScopedGLContext.h"
#include "framework/graphics/platform/IGraphicsWinState.h"
#include "framework/graphics/platform/KeyText.h"
#include "framework/graphics/platform/PixelRects.h"

#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <vector>

namespace iplug::igraphics
{

using WinState = IGraphicsWin::WinState;

namespace
{

bool AltDown()
{
  return (GetKeyState(VK_MENU) & 0x8000) != 0;
}

bool IsPointerMessage(UINT msg)
{
  return (msg >= WM_MOUSEFIRST && msg <= WM_MBUTTONDBLCLK) || msg == WM_MOUSEHOVER || msg == WM_MOUSELEAVE;
}

// A platform text entry is open for a control (no in-editor field does the editing).
bool PlatformEntryEditing(IGraphicsWin& g)
{
  return g.GetTextEntryTarget() && !g.GetTextEntryControl();
}

} // namespace

LRESULT CALLBACK WinState::WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (msg == WM_CREATE)
  {
    auto* g = static_cast<IGraphicsWin*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(g));
    try
    {
      StartTick(*g, window);
    }
    catch (...)
    {
    }
    SetFocus(window);
    DragAcceptFiles(window, TRUE);
    return 0;
  }
  auto* g = reinterpret_cast<IGraphicsWin*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!g || g->mWin->window != window) return DefWindowProcW(window, msg, wParam, lParam);
  try
  {
    return HandleMessage(*g, window, msg, wParam, lParam);
  }
  catch (...)
  {
    return 0;
  }
}

LRESULT WinState::HandleMessage(IGraphicsWin& g, HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
  WinState& w = *g.mWin;
  if (w.textEntry.IsOpen() && w.textEntry.State() == kTextEntryFocused)
  {
    if (msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN)
    {
      w.textEntry.SetState(kTextEntryCancel);
      return 0;
    }
    // While the field has the focus the editor stands still: the field's own messages end this state.
    return DefWindowProcW(window, msg, wParam, lParam);
  }

  const float scale = g.GetTotalScale();
  if (IsPointerMessage(msg))
  {
    w.penInput = IsPenOrTouchMessage(static_cast<uintptr_t>(GetMessageExtraInfo()));
    if (w.penInput) w.cursorLocked = false;
  }
  auto pointer = [&]
  {
    IPointerEvent e = DecodeMouse(static_cast<uintptr_t>(lParam), wParam, AltDown(), scale);
    return e;
  };
  auto remember = [&](const IPointerEvent& e)
  {
    w.lastMouseX = e.x;
    w.lastMouseY = e.y;
  };

  switch (msg)
  {
  case WM_SETFOCUS:
  case WM_KILLFOCUS:
  case WM_ERASEBKGND:
    return 0;
  case WM_PAINT:
    Paint(g);
    return 0;
  case WM_PRINTCLIENT:
    PrintClient(g, reinterpret_cast<HDC>(wParam));
    return 0;
  case WM_CLOSE:
    g.CloseEditorWindow();
    return 0;
  case WM_DESTROY:
    // Only a host destroying our parent first gets here (our own close forgets the window before
    // destroying it): everything goes now, while the window and its context still exist, and the close
    // that follows finds nothing left to delete.
    g.ReleaseWindow(false);
    return 0;
  case WM_SETCURSOR:
    g.SetMouseCursor(g.GetCursorType());
    return 0;
  case WM_GETDLGCODE:
    return DLGC_WANTALLKEYS;
  case WM_KEYDOWN:
  case WM_KEYUP:
    if (HandleKey(g, msg, wParam, lParam)) return 0;
    SendMessageW(GetAncestor(window, GA_ROOT), msg, wParam, lParam);
    return DefWindowProcW(window, msg, wParam, lParam);
  case WM_TIMER:
    if (wParam == kTickTimerId) g.DisplayTick(0);
    return 0;
  case kDisplayTickMessage:
    g.DisplayTick(static_cast<uint32_t>(wParam));
    return 0;
  case WM_CTLCOLOREDIT:
  {
    if (!w.textEntry.IsOpen()) return 0;
    const ITextStyle& style = w.textEntry.Style();
    auto dc = reinterpret_cast<HDC>(wParam);
    const COLORREF back = RGB(style.entryBackground.R, style.entryBackground.G, style.entryBackground.B);
    SetBkColor(dc, back);
    SetDCBrushColor(dc, back);
    SetTextColor(dc, RGB(style.entryForeground.R, style.entryForeground.G, style.entryForeground.B));
    SetBkMode(dc, OPAQUE);
    return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
  }
  case WM_MOUSEMOVE:
    HandleMouseMove(g, wParam, lParam);
    return 0;
  case WM_LBUTTONDOWN:
  case WM_RBUTTONDOWN:
  case WM_MBUTTONDOWN:
  {
    if (w.penInput) return 0;
    HideTooltip(g);
    if (w.textEntry.IsOpen())
    {
      w.textEntry.SetState(kTextEntryCommit);
      return 0;
    }
    SetFocus(window);
    SetCapture(window);
    const IPointerEvent e = pointer();
    remember(e);
    g.OnMouseDown({e});
    return 0;
  }
  case WM_LBUTTONUP:
  case WM_RBUTTONUP:
  case WM_MBUTTONUP:
  {
    ReleaseCapture();
    const IPointerEvent e = pointer();
    remember(e);
    g.OnMouseUp({e});
    return 0;
  }
  case WM_LBUTTONDBLCLK:
  case WM_RBUTTONDBLCLK:
  {
    if (w.penInput) return 0;
    const IPointerEvent e = pointer();
    remember(e);
    if (g.OnMouseDoubleClick(e.x, e.y, e.ms)) SetCapture(window);
    return 0;
  }
  case WM_MOUSEWHEEL:
  {
    if (w.textEntry.IsOpen())
    {
      w.textEntry.SetState(kTextEntryCancel);
      return 0;
    }
    RECT r{};
    GetWindowRect(window, &r);
    IPointerEvent e = pointer(); // screen coordinates here
    const float x = (e.x * scale - static_cast<float>(r.left)) / scale;
    const float y = (e.y * scale - static_cast<float>(r.top)) / scale;
    g.OnMouseWheel(x, y, e.ms, static_cast<float>(WheelNotches(wParam)));
    return 0;
  }
  case WM_DROPFILES:
    HandleDrop(g, reinterpret_cast<HDROP>(wParam));
    return 0;
  case WM_TOUCH:
    if (HandleTouch(g, wParam, lParam)) return 0;
    return DefWindowProcW(window, msg, wParam, lParam);
  case WM_MOUSEHOVER:
    if (IControl* control = g.GetControl(w.tooltipIndex))
    {
      SetTooltipText(g, control->GetTooltip() ? control->GetTooltip() : "");
      w.tooltipShown = true;
    }
    return 0;
  case WM_MOUSELEAVE:
    HideTooltip(g);
    g.OnMouseOut();
    return 0;
  default:
    return DefWindowProcW(window, msg, wParam, lParam);
  }
}

void WinState::HandleMouseMove(IGraphicsWin& g, WPARAM wParam, LPARAM lParam)
{
  WinState& w = *g.mWin;
  if (w.penInput) return;
  IPointerEvent e = DecodeMouse(static_cast<uintptr_t>(lParam), wParam, AltDown(), g.GetTotalScale());
  if ((wParam & (MK_LBUTTON | MK_RBUTTON)) && GetCapture() == w.window)
  {
    if (PlatformEntryEditing(g)) return;
    e.dX = e.x - w.lastMouseX;
    e.dY = e.y - w.lastMouseY;
    w.lastMouseX = e.x;
    w.lastMouseY = e.y;
    if (e.dX != 0.f || e.dY != 0.f)
    {
      g.OnMouseDrag({e});
      if (w.cursorLocked)
      {
        const float keepX = w.savedCursorX;
        const float keepY = w.savedCursorY;
        g.MoveMouseCursor(keepX, keepY);
        w.savedCursorX = keepX;
        w.savedCursorY = keepY;
      }
    }
    return;
  }
  w.lastMouseX = e.x;
  w.lastMouseY = e.y;
  if (!g.OnMouseOver(e.x, e.y, e.ms)) return;
  TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, w.window, HOVER_DEFAULT};
  const int hovered = g.GetMouseOverIdx();
  if (g.TooltipsEnabled() && hovered != w.tooltipIndex)
  {
    if (hovered >= 0) track.dwFlags |= TME_HOVER;
    w.tooltipIndex = hovered;
    HideTooltip(g);
  }
  TrackMouseEvent(&track);
}

bool WinState::HandleKey(IGraphicsWin& g, UINT msg, WPARAM wParam, LPARAM lParam)
{
  WinState& w = *g.mWin;
  POINT p{};
  GetCursorPos(&p);
  ScreenToClient(w.window, &p);
  BYTE state[256] = {};
  GetKeyboardState(state);
  wchar_t units[4] = {};
  const int count =
      ToUnicode(static_cast<UINT>(wParam), static_cast<UINT>((lParam >> 16) & 0xFF), state, units, 4, 0);
  const KeyText text = KeyTextFromUnicode(count, reinterpret_cast<const char16_t*>(units));
  if (text.toRootWindow) return false;
  const IKeyStroke key(text.utf8, static_cast<int32_t>(wParam), (GetKeyState(VK_SHIFT) & 0x8000) != 0,
                       (GetKeyState(VK_CONTROL) & 0x8000) != 0, AltDown());
  const float scale = g.GetTotalScale();
  const float x = static_cast<float>(p.x) / scale;
  const float y = static_cast<float>(p.y) / scale;
  return msg == WM_KEYDOWN ? g.OnKeyDown(x, y, key) : g.OnKeyUp(x, y, key);
}

void WinState::HandleDrop(IGraphicsWin& g, HDROP drop)
{
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  std::vector<std::string> paths;
  for (UINT i = 0; i < count; i++)
  {
    // Read at full length: a path is never cut, and one that cannot be read is left out.
    const UINT units = DragQueryFileW(drop, i, nullptr, 0);
    if (units == 0) continue;
    std::wstring path(units + 1, L'\0');
    if (DragQueryFileW(drop, i, path.data(), units + 1) != units) continue;
    paths.emplace_back(WideToUtf8(reinterpret_cast<const char16_t*>(path.c_str())).Get());
  }
  POINT p{};
  DragQueryPoint(drop, &p);
  DragFinish(drop);
  const float scale = g.GetTotalScale();
  const float x = static_cast<float>(p.x) / scale;
  const float y = static_cast<float>(p.y) / scale;
  if (paths.size() == 1)
    g.OnDrop(paths[0].c_str(), x, y);
  else if (paths.size() > 1)
    g.OnDropPaths(paths, x, y);
}

bool WinState::HandleTouch(IGraphicsWin& g, WPARAM wParam, LPARAM lParam)
{
  const UINT count = LOWORD(wParam);
  if (count == 0) return false;
  auto handle = reinterpret_cast<HTOUCHINPUT>(lParam);
  std::vector<TOUCHINPUT> raw(count);
  if (!GetTouchInputInfo(handle, count, raw.data(), sizeof(TOUCHINPUT))) return false;
  std::vector<TouchInput> inputs(count);
  for (UINT i = 0; i < count; i++)
  {
    POINT p{raw[i].x / 100, raw[i].y / 100};
    ScreenToClient(g.mWin->window, &p);
    inputs[i] = {p.x,
                 p.y,
                 static_cast<int64_t>(raw[i].dwID),
                 raw[i].dwFlags,
                 (raw[i].dwMask & TOUCHINPUTMASKF_CONTACTAREA) != 0,
                 static_cast<float>(raw[i].cxContact)};
  }
  const TouchLists lists = g.mWin->touches.Decode(inputs.data(), static_cast<int>(count), g.GetTotalScale());
  if (!lists.downs.empty()) g.OnMouseDown(lists.downs);
  if (!lists.ups.empty()) g.OnMouseUp(lists.ups);
  if (!lists.moves.empty()) g.OnMouseDrag(lists.moves);
  CloseTouchInputHandle(handle);
  return true;
}

void WinState::Paint(IGraphicsWin& g)
{
  WinState& w = *g.mWin;
  // Validated on every way out, a control that throws included: otherwise WM_PAINT comes back for ever.
  const win32::ScopedValidate validate(w.window);
  win32::UniqueRegion region(CreateRectRgn(0, 0, 0, 0));
  const int kind = region ? GetUpdateRgn(w.window, region.Get(), FALSE) : ERROR;
  if (kind != SIMPLEREGION && kind != COMPLEXREGION) return;
  IRectList rects;
  const float scale = g.GetTotalScale();
  // Up to 62 rectangles fit the 1024-byte region record; more are painted as their bounding box.
  alignas(RGNDATA) char buffer[1024];
  auto* data = reinterpret_cast<RGNDATA*>(buffer);
  const DWORD needed = GetRegionData(region.Get(), 0, nullptr);
  if (kind == COMPLEXREGION && needed > 0 && needed <= sizeof(buffer) &&
      GetRegionData(region.Get(), sizeof(buffer), data))
  {
    const auto* r = reinterpret_cast<const RECT*>(data->Buffer);
    for (DWORD i = 0; i < data->rdh.nCount; i++)
      rects.Add(PixelRectToEditor({r[i].left, r[i].top, r[i].right, r[i].bottom}, scale));
  }
  else
  {
    RECT box{};
    GetRgnBox(region.Get(), &box);
    rects.Add(PixelRectToEditor({box.left, box.top, box.right, box.bottom}, scale));
  }
  const win32::ScopedPaint paint(w.window);
  // Declared after the paint: the context is released (the host's put back) before EndPaint.
  const ScopedGLContext current(g);
  if (!current.IsCurrent()) return;
  g.PaintRegions(rects);
  SwapBuffers(w.dc);
  w.framePainted = true;
}

void WinState::HideTooltip(IGraphicsWin& g)
{
  WinState& w = *g.mWin;
  if (!w.tooltipShown) return;
  SetTooltipText(g, nullptr);
  w.tooltipShown = false;
}

void WinState::SetTooltipText(IGraphicsWin& g, const char* text)
{
  WinState& w = *g.mWin;
  if (!w.tooltip) return;
  const HeapBuffer wide = Utf8ToWide(text);
  // The version-2 record works with every version of the common controls (a host may lack version 6).
  TOOLINFOW info{};
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.hwnd = w.window;
  info.uId = reinterpret_cast<UINT_PTR>(w.window);
  info.lpszText = text ? const_cast<wchar_t*>(wide.GetAs<const wchar_t>()) : nullptr;
  SendMessageW(w.tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
}

void WinState::CreateTooltip(IGraphicsWin& g)
{
  WinState& w = *g.mWin;
  INITCOMMONCONTROLSEX init{sizeof(init), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&init);
  w.tooltip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr,
                              WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | TTS_ALWAYSTIP | TTS_NOPREFIX,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, w.window, nullptr,
                              static_cast<HINSTANCE>(g.GetModuleInstance()), nullptr);
  if (!w.tooltip)
  {
    g.EnableTooltips(false);
    return;
  }
  SetWindowPos(w.tooltip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  TOOLINFOW info{};
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = w.window;
  info.uId = reinterpret_cast<UINT_PTR>(w.window);
  SendMessageW(w.tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  SendMessageW(w.tooltip, TTM_SETMAXTIPWIDTH, 0, 250);
}

} // namespace iplug::igraphics
