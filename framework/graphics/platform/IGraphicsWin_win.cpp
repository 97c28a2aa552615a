// The editor window's life: opening inside the parent, closing, sizing, the display tick and the mouse.

#include "framework/graphics/platform/IGraphicsWin.h"

#include "framework/core/Win32Utf8.h"
#include "framework/graphics/IGEditorDelegate.h"
#include "framework/graphics/platform/GdiFonts.h"
#include "framework/graphics/platform/IGraphicsWinState.h"
#include "framework/graphics/platform/PixelRects.h"

#include <commctrl.h>

#include <atomic>
#include <cmath>

namespace iplug::igraphics
{

namespace
{

std::atomic<int> gOpenWindows{0};

bool SystemIsWindows8OrLater()
{
  OSVERSIONINFOEXW info{};
  info.dwOSVersionInfoSize = sizeof(info);
  info.dwMajorVersion = 6;
  info.dwMinorVersion = 2;
  info.wServicePackMajor = 0;
  DWORDLONG mask = 0;
  mask = VerSetConditionMask(mask, VER_MAJORVERSION, VER_GREATER_EQUAL);
  mask = VerSetConditionMask(mask, VER_MINORVERSION, VER_GREATER_EQUAL);
  mask = VerSetConditionMask(mask, VER_SERVICEPACKMAJOR, VER_GREATER_EQUAL);
  return VerifyVersionInfoW(&info, VER_MAJORVERSION | VER_MINORVERSION | VER_SERVICEPACKMAJOR, mask) != FALSE;
}

float SystemWindowScale(void* window)
{
  return GetWindowScale(window);
}

void ReleaseWindowClass(HINSTANCE module)
{
  if (--gOpenWindows == 0) UnregisterClassW(kEditorWindowClass, module);
}

} // namespace

IGraphicsWin::Seams IGraphicsWin::SystemSeams()
{
  Seams seams;
  seams.isWindows8OrLater = SystemIsWindows8OrLater;
  seams.windowScale = SystemWindowScale;
  seams.shell = SystemShellSeams();
  return seams;
}

int IGraphicsWin::GetOpenWindowCount()
{
  return gOpenWindows.load();
}

IGraphicsWin::IGraphicsWin(IGEditorDelegate* dlg, int width, int height, int fps, float scale, Seams seams)
    : IGraphicsNanoVG(dlg, width, height, fps, scale), mSeams(std::move(seams)),
      mWin(std::make_unique<WinState>())
{
  AddFontCacheUsers();
  mUseVBlank = mSeams.isWindows8OrLater && mSeams.isWindows8OrLater();
  mWin->textEntry.onActivity = [this] { WinState::HideTooltip(*this); };
}

IGraphicsWin::~IGraphicsWin()
{
  DestroyPlatformTextEntry();
  CloseEditorWindow();
  RemoveFontCacheUsers();
}

void* IGraphicsWin::GetWindowHandle()
{
  return mWin->window;
}

void* IGraphicsWin::OpenEditorWindow(void* parentHandle)
{
  auto parent = static_cast<HWND>(parentHandle);
  auto module = static_cast<HINSTANCE>(mModule);
  try
  {
    WinState& w = *mWin;
    w.parent = parent;
    const int n = OpeningDisplayScale(mSeams.windowScale ? mSeams.windowScale(parent) : 1.f);

    int x = 0, y = 0;
    int width = static_cast<int>(GetWidth() * GetDrawScale()) * n;
    int height = static_cast<int>(GetHeight() * GetDrawScale()) * n;
    if (w.window)
    {
      // Opening again while open: the new window takes the old one's place and size.
      RECT own{}, outer{};
      GetWindowRect(w.window, &own);
      GetWindowRect(parent, &outer);
      x = own.left - outer.left;
      y = own.top - outer.top;
      width = own.right - own.left;
      height = own.bottom - own.top;
      CloseEditorWindow();
    }

    if (gOpenWindows++ == 0)
    {
      WNDCLASSW wc{};
      wc.style = CS_DBLCLKS | CS_OWNDC;
      wc.lpfnWndProc = WinState::WindowProc;
      wc.hInstance = module;
      wc.lpszClassName = kEditorWindowClass;
      RegisterClassW(&wc);
    }
    HWND window = CreateWindowExW(0, kEditorWindowClass, L"IPlug",
                                  WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, x, y, width,
                                  height, parent, nullptr, module, this);
    if (!window)
    {
      ReleaseWindowClass(module);
      return nullptr;
    }
    w.window = window;
    w.dc = GetDC(window);
    WinState::CreateGLContext(*this);
    SetDisplayScale(static_cast<float>(n));
    if (IGEditorDelegate* dlg = GetDelegate()) dlg->LayoutEditor(this);
    if (HasTouchDigitizer()) RegisterTouchWindow(window, 0);
    MarkAllControlsDirty();
    if (TooltipsEnabled()) WinState::CreateTooltip(*this);
    if (IGEditorDelegate* dlg = GetDelegate()) dlg->OnEditorOpen();
    return window;
  }
  catch (...)
  {
    CloseEditorWindow();
    return nullptr;
  }
}

void IGraphicsWin::CloseEditorWindow()
{
  if (mWin->window) ReleaseWindow(true);
}

void IGraphicsWin::ReleaseWindow(bool destroyWindow)
{
  WinState& w = *mWin;
  WinState::StopTick(*this);
  ReleaseMouseCapture();
  WinState::DestroyGLContext(*this);
  if (HasPlatformTextEntry()) ClearTextEntryTarget();
  DestroyPlatformTextEntry();
  if (w.tooltip) DestroyWindow(w.tooltip);
  w.tooltip = nullptr;
  w.tooltipShown = false;
  w.tooltipIndex = -1;
  HWND window = w.window;
  w.window = nullptr;
  w.dc = nullptr;
  w.framePainted = false;
  w.touches.Clear();
  if (destroyWindow) DestroyWindow(window);
  ReleaseWindowClass(static_cast<HINSTANCE>(mModule));
}

bool IGraphicsWin::HasTouchDigitizer()
{
  return (GetSystemMetrics(SM_DIGITIZER) & NID_READY) != 0;
}

void IGraphicsWin::ResizePlatformWindow(bool parentAlreadyResized)
{
  HWND window = mWin->window;
  if (!window) return;
  RECT r{};
  GetWindowRect(window, &r);
  const int w = r.right - r.left;
  const int h = r.bottom - r.top;
  const int dw = static_cast<int>(static_cast<int>(GetWidth() * GetDrawScale()) * GetDisplayScale() - w);
  const int dh = static_cast<int>(static_cast<int>(GetHeight() * GetDrawScale()) * GetDisplayScale() - h);
  if (dw == 0 && dh == 0) return;
  const UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
  SetWindowPos(window, nullptr, 0, 0, w + dw, h + dh, flags);
  if (parentAlreadyResized) return;
  auto isChild = [](HWND h)
  { return (GetWindowLongW(h, GWL_STYLE) & WS_CHILD) && !(GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_MDICHILD); };
  if (!isChild(window)) return;
  HWND parent = GetParent(window);
  if (!parent) return;
  RECT pr{};
  GetWindowRect(parent, &pr);
  SetWindowPos(parent, nullptr, 0, 0, pr.right - pr.left + dw, pr.bottom - pr.top + dh, flags);
  if (!isChild(parent)) return;
  HWND grand = GetParent(parent);
  if (!grand) return;
  RECT gr{};
  GetWindowRect(grand, &gr);
  SetWindowPos(grand, nullptr, 0, 0, gr.right - gr.left + dw, gr.bottom - gr.top + dh, flags);
}

void IGraphicsWin::GetMousePosition(float& x, float& y) const
{
  POINT p{};
  GetCursorPos(&p);
  ScreenToClient(mWin->window, &p);
  const float scale = GetTotalScale();
  x = static_cast<float>(p.x) / scale;
  y = static_cast<float>(p.y) / scale;
}

void IGraphicsWin::HideMouseCursor(bool hide, bool lock)
{
  WinState& w = *mWin;
  if (IsMouseCursorHidden() == hide) return;
  if (hide)
  {
    w.savedCursorX = w.lastMouseX;
    w.savedCursorY = w.lastMouseY;
    ShowCursor(FALSE);
    SetMouseCursorHidden(true);
    w.cursorLocked = lock && !w.penInput;
  }
  else
  {
    if (w.cursorLocked) MoveMouseCursor(w.savedCursorX, w.savedCursorY);
    ShowCursor(TRUE);
    SetMouseCursorHidden(false);
    w.cursorLocked = false;
  }
}

void IGraphicsWin::MoveMouseCursor(float x, float y)
{
  WinState& w = *mWin;
  if (w.penInput || !w.window) return;
  const float scale = GetTotalScale();
  POINT p{static_cast<LONG>(std::lround(x * scale)), static_cast<LONG>(std::lround(y * scale))};
  ClientToScreen(w.window, &p);
  if (!SetCursorPos(p.x, p.y)) return;
  GetCursorPos(&p);
  ScreenToClient(w.window, &p);
  w.lastMouseX = w.savedCursorX = static_cast<float>(p.x) / scale;
  w.lastMouseY = w.savedCursorY = static_cast<float>(p.y) / scale;
}

void IGraphicsWin::WinState::StartTick(IGraphicsWin& g, HWND window)
{
  WinState& w = *g.mWin;
  w.skip = {};
  if (g.mUseVBlank)
  {
    std::unique_ptr<IVBlankPlatform> platform =
        g.mSeams.makeVBlankPlatform ? g.mSeams.makeVBlankPlatform() : nullptr;
    if (w.vblank.Start(window, std::move(platform), g.mSeams.createThread)) return;
    // No thread could be started: the timer ticks instead.
    g.mUseVBlank = false;
  }
  w.timerRunning =
      SetTimer(window, kTickTimerId, static_cast<UINT>(TimerPeriodMs(g.GetFrameRate())), nullptr) != 0;
}

void IGraphicsWin::WinState::StopTick(IGraphicsWin& g)
{
  WinState& w = *g.mWin;
  w.vblank.Stop(kVBlankStopWaitMs);
  if (w.timerRunning) KillTimer(w.window, kTickTimerId);
  w.timerRunning = false;
}

void IGraphicsWin::DisplayTick(uint32_t counter)
{
  WinState& w = *mWin;
  if (!w.window) return;
  TickInputs in;
  in.useVBlank = mUseVBlank;
  in.messageCounter = counter;
  in.tickCounter = w.vblank.Counter();
  in.textEntryOpen = w.textEntry.IsOpen();
  in.textEntryState = w.textEntry.State();
  switch (DecideTick(in, w.skip))
  {
  case TickAction::Ignore:
    return;
  case TickAction::CancelTextEntry:
    DestroyPlatformTextEntry();
    ClearTextEntryTarget();
    return;
  case TickAction::CommitTextEntry:
  {
    const TextBuffer text = w.textEntry.ReadText();
    // Closed before the value is applied: applying may open another prompt.
    DestroyPlatformTextEntry();
    CommitTextEntry(text.Get());
    return;
  }
  case TickAction::ResetTextEntryState:
    w.textEntry.SetState(kTextEntryIdle);
    return;
  case TickAction::Draw:
    break;
  }

  if (mSeams.windowScale)
  {
    const float windowScale = mSeams.windowScale(w.window);
    if (ShouldFollowDisplayScale(GetCapture() != nullptr, windowScale, GetDisplayScale()))
      SetDisplayScale(FollowedDisplayScale(windowScale));
  }

  IRectList rects;
  if (!CollectDirtyRects(rects)) return;
  MarkAllControlsClean();
  const float scale = GetTotalScale();
  for (int i = 0; i < rects.Size(); i++)
  {
    const PixelRect p = EditorToPixelRect(rects.Get(i), scale);
    const RECT r{p.left, p.top, p.right, p.bottom};
    InvalidateRect(w.window, &r, FALSE);
  }
  if (w.textEntry.IsOpen())
  {
    const PixelRect p = EditorToPixelRect(w.textEntry.Bounds(), scale);
    const RECT r{p.left, p.top, p.right, p.bottom};
    ValidateRect(w.window, &r);
    UpdateWindow(w.window);
    w.textEntry.SetState(kTextEntryDrawn);
    return;
  }
  UpdateWindow(w.window);
  NoteSlowPaint(mUseVBlank, counter, w.vblank.Counter(), w.skip);
}

} // namespace iplug::igraphics
