#include "framework/app/ScreenshotPng.h"
#include "framework/app/PreferencesDialog_win.h"
#include "framework/app/StandaloneProgram_win.h"
#include "framework/core/Win32Utf8.h"
#include "resources/ProgramDialogIds.h"

#include <shellapi.h>

#include <cmath>
#include <ctime>

namespace iplug
{
namespace
{

constexpr UINT_PTR kScreenshotTimer = 1001;
constexpr UINT kScreenshotDelayMs = 500;

HINSTANCE gInstance = nullptr;
StandaloneProgram gProgram;
HWND gMainWindow = nullptr;
// What the quit message carries: a command-line capture that failed ends the program with 1.
int gQuitCode = 0;

const char* ProgramName()
{
  return gProgram.name.c_str();
}

// Moves and sizes the window so that its client area is width x height, top-left at (x, y).
void PlaceWithClientSize(HWND window, int x, int y, int width, int height)
{
  RECT r{0, 0, width, height};
  AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)), GetMenu(window) != nullptr,
                     static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)));
  SetWindowPos(window, nullptr, x, y, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
  // A menu bar that wraps makes the frame taller than the estimate: correct once by measuring.
  RECT client;
  if (GetClientRect(window, &client) && (client.right != width || client.bottom != height))
  {
    RECT outer;
    GetWindowRect(window, &outer);
    SetWindowPos(window, nullptr, x, y, outer.right - outer.left + width - client.right,
                 outer.bottom - outer.top + height - client.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void SaveScreenshotFromMenu(HWND window)
{
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_s(&local, &now);
  const std::string path = ScreenshotFileName(TemporaryFolderUtf8(), ProgramName(), local);
  if (!SaveWindowScreenshotPng(window, path.c_str()))
  {
    MessageBoxUtf8(window, "Failed to save screenshot", "Error", MB_OK);
    return;
  }
  char text[512];
  std::snprintf(text, sizeof(text), "Screenshot saved to:\n%s\n\nOpen it?", path.c_str());
  if (MessageBoxUtf8(window, text, "Screenshot Saved", MB_YESNO) != IDYES) return;
  ShellExecuteW(window, L"open", AsWideText(Utf8ToWide(path.c_str())), nullptr, nullptr, SW_SHOWNORMAL);
}

INT_PTR OnCommand(HWND window, StandaloneHost* host, int command)
{
  IAppPlugin* plugin = host ? host->Plugin() : nullptr;
  switch (command)
  {
  case ID_ABOUT:
    if (plugin && plugin->RequestAboutBox()) return 1;
    MessageBoxUtf8(window, plugin && gProgram.aboutText ? gProgram.aboutText(*plugin).c_str() : ProgramName(),
                   ProgramName(), MB_OK);
    return 1;
  case ID_PREFERENCES:
    if (DialogBoxParamA(gInstance, MAKEINTRESOURCEA(IDD_PREFERENCES), window, PreferencesDialogProc, 0) ==
            IDOK &&
        host)
      host->SaveDeviceSettings();
    return 1;
  case ID_QUIT:
    DestroyWindow(window);
    return 1;
  case ID_READ_MANUAL:
    if (!plugin || !plugin->RequestManual()) MessageBoxUtf8(window, "See the manual", ProgramName(), MB_OK);
    return 1;
  case ID_SAVE_SCREENSHOT:
    SaveScreenshotFromMenu(window);
    return 1;
  case ID_LIVE_EDIT:
  case ID_SHOW_BOUNDS:
  case ID_SHOW_DRAWN:
  case ID_SHOW_FPS:
    return 1; // development aids that this program does not offer
  default:
    return 0;
  }
}

INT_PTR HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
  StandaloneHost* host = GetStandaloneHost();
  switch (message)
  {
  case WM_INITDIALOG:
  {
    gMainWindow = window;
    gQuitCode = 0;
    if (!host) return 1;
    host->SetMainWindow(window);
    host->OpenEditor(window);
    const AppEditorSize editor = host->Plugin() ? host->Plugin()->GetAppEditorSize() : AppEditorSize{};
    const int x = GetSystemMetrics(SM_CXSCREEN) / 2 - editor.width / 2;
    const int y = GetSystemMetrics(SM_CYSCREEN) / 2 - editor.height / 2;
    PlaceWithClientSize(window, x, y, editor.width, editor.height);
    ShowWindow(window, SW_SHOW);
    if (!host->ScreenshotPath().empty()) SetTimer(window, kScreenshotTimer, kScreenshotDelayMs, nullptr);
    return 1;
  }
  case WM_SIZE:
    if (wParam != SIZE_RESTORED && wParam != SIZE_MAXIMIZED) return 0;
    if (host && host->Plugin() && host->Plugin()->EditorFollowsWindow())
      host->Plugin()->OnMainWindowResized(LOWORD(lParam), HIWORD(lParam));
    return 1;
  case WM_GETMINMAXINFO:
  {
    if (!host || !host->Plugin()) return 1;
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    MainWindowTrackSizes(host->Plugin()->GetAppEditorSize(), GetWindowScale(window), info->ptMinTrackSize,
                         info->ptMaxTrackSize);
    return 0;
  }
  case WM_DPICHANGED:
  {
    if (host && host->Plugin())
    {
      host->Plugin()->SetEditorDisplayScale(static_cast<float>(HIWORD(wParam)) / USER_DEFAULT_SCREEN_DPI);
      const auto* suggested = reinterpret_cast<const RECT*>(lParam);
      const AppEditorSize editor = host->Plugin()->GetAppEditorSize();
      PlaceWithClientSize(window, suggested->left, suggested->top, editor.width, editor.height);
    }
    return 0;
  }
  case WM_TIMER:
    if (wParam != kScreenshotTimer) return 0;
    KillTimer(window, kScreenshotTimer);
    if (host && !SaveWindowScreenshotPng(window, host->ScreenshotPath().c_str())) gQuitCode = 1;
    DestroyWindow(window);
    return 1;
  case WM_CLOSE:
    DestroyWindow(window);
    return 1;
  case WM_DESTROY:
    if (host)
    {
      host->CloseEditor();
      host->SetMainWindow(nullptr);
      DestroyStandaloneHost(host);
    }
    gMainWindow = nullptr;
    PostQuitMessage(gQuitCode);
    return 1;
  case WM_COMMAND:
    return OnCommand(window, host, LOWORD(wParam));
  default:
    return 0;
  }
}

} // namespace

void SetStandaloneProgram(HINSTANCE instance, const StandaloneProgram& program)
{
  gInstance = instance;
  gProgram = program;
}

HINSTANCE GetProgramInstance()
{
  return gInstance;
}

HWND GetMainWindow()
{
  return gMainWindow;
}

void MainWindowTrackSizes(const AppEditorSize& editor, float scale, POINT& minimum, POINT& maximum)
{
  minimum.x = static_cast<LONG>(editor.minWidth * scale);
  minimum.y = static_cast<LONG>(editor.minHeight * scale);
  maximum.x = static_cast<LONG>(editor.maxWidth * scale);
  maximum.y = static_cast<LONG>(editor.maxHeight * scale);
}

INT_PTR CALLBACK MainWindowDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
  // Nothing may unwind into the system's dialog manager.
  try
  {
    return HandleMessage(window, message, wParam, lParam);
  }
  catch (...)
  {
    return 0;
  }
}

} // namespace iplug
