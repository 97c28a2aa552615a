#pragma once
// The Win32 state of the editor window (Windows only): what IGraphicsWin keeps behind its pointer.

#include "framework/graphics/platform/DisplayTickDecision.h"
#include "framework/graphics/platform/IGraphicsWin.h"
#include "framework/graphics/platform/PlatformServices.h"
#include "framework/graphics/platform/PlatformTextEntry.h"
#include "framework/graphics/platform/PointerDecoding.h"
#include "framework/graphics/platform/VBlankThread.h"
#include "framework/graphics/platform/Win32Handles.h"

#include <shellapi.h>

namespace iplug::igraphics
{

struct IGraphicsWin::WinState
{
  HWND window = nullptr;
  HWND parent = nullptr;
  HWND tooltip = nullptr;
  HDC dc = nullptr; // the window's own device context (CS_OWNDC), valid for the window's life
  HGLRC glContext = nullptr;
  int glDepth = 0; // nested MakeGLContextCurrent calls
  HDC savedDC = nullptr;
  HGLRC savedContext = nullptr;
  bool framePainted = false;

  VBlankThread vblank;
  TickSkip skip;
  bool timerRunning = false;

  PlatformTextEntry textEntry;
  OwnerWindowFinder owner;
  TouchTracker touches;

  bool tooltipShown = false;
  int tooltipIndex = -1;
  bool penInput = false;
  bool cursorLocked = false;
  float lastMouseX = 0.f;
  float lastMouseY = 0.f;
  float savedCursorX = 0.f;
  float savedCursorY = 0.f;

  static LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
  static LRESULT HandleMessage(IGraphicsWin& g, HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
  static void Paint(IGraphicsWin& g);
  static void PrintClient(IGraphicsWin& g, HDC target);
  static bool HandleKey(IGraphicsWin& g, UINT msg, WPARAM wParam, LPARAM lParam);
  static void HandleDrop(IGraphicsWin& g, HDROP drop);
  static bool HandleTouch(IGraphicsWin& g, WPARAM wParam, LPARAM lParam);
  static void HandleMouseMove(IGraphicsWin& g, WPARAM wParam, LPARAM lParam);
  static void HideTooltip(IGraphicsWin& g);
  static void SetTooltipText(IGraphicsWin& g, const char* text);
  static void StartTick(IGraphicsWin& g, HWND window);
  static void StopTick(IGraphicsWin& g);
  static bool CreateGLContext(IGraphicsWin& g);
  static void DestroyGLContext(IGraphicsWin& g);
  static void CreateTooltip(IGraphicsWin& g);
};

// The window class every editor window of the process shares.
inline constexpr wchar_t kEditorWindowClass[] = L"IPlugWndClass";
inline constexpr UINT_PTR kTickTimerId = 2;

} // namespace iplug::igraphics
