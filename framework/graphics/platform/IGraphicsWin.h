#pragma once
// The editor's graphics context on Windows: a child window of the host's (or the program's) window that
// shows the NanoVG drawing through an OpenGL context, turns window messages into editor events, redraws
// on the display tick and supplies the platform services. Handles are void* here so that this header
// stays free of <windows.h>; the Win32 state lives behind mWin.

#include "framework/graphics/platform/IGraphicsNanoVG.h"
#include "framework/graphics/platform/ShellSeams.h"
#include "framework/graphics/platform/VBlankLoop.h"

#include <functional>
#include <memory>

namespace iplug::igraphics
{

class IGraphicsWin : public IGraphicsNanoVG
{
public:
  // The system calls the window makes that tests replace; each defaults to the real call.
  struct Seams
  {
    bool (*isWindows8OrLater)() = nullptr;
    float (*windowScale)(void* window) = nullptr;
    // Null: the D3DKMT functions of gdi32.
    std::function<std::unique_ptr<IVBlankPlatform>()> makeVBlankPlatform;
    ThreadCreator createThread = nullptr; // null: CreateThread
    ShellSeams shell;
  };
  static Seams SystemSeams();

  IGraphicsWin(IGEditorDelegate* dlg, int width, int height, int fps = 30, float scale = 1.f,
               Seams seams = SystemSeams());
  ~IGraphicsWin() override;

  // ---- Window
  void* OpenEditorWindow(void* parent) override;
  void CloseEditorWindow() override;
  void* GetWindowHandle() override;
  bool IsWindowOpen() override { return GetWindowHandle() != nullptr; }
  void SetModuleInstance(void* instance) override { mModule = instance; }
  void* GetModuleInstance() const override { return mModule; }
  bool HasTouchDigitizer() override;
  float GetWindowDpiScale() override { return GetDisplayScale(); }
  void ResizePlatformWindow(bool parentAlreadyResized) override;
  bool MakeGLContextCurrent() override;
  bool ReleaseGLContext() override;

  // ---- Mouse and cursor
  void GetMousePosition(float& x, float& y) const override;
  void HideMouseCursor(bool hide = true, bool lock = true) override;
  void MoveMouseCursor(float x, float y) override;
  int SetMouseCursor(int type) override;

  // ---- Prompts, dialogs and services
  bool CreatePlatformTextEntry(int paramIdx, const ITextStyle& style, const IBounds& bounds, int length,
                               const char* text) override;
  void CancelTextEntry() override;
  IPopupMenu* CreatePlatformPopupMenu(IPopupMenu& menu, const IBounds& bounds, bool& completesLater) override;
  bool GetClipboardText(TextBuffer& text) override;
  bool SetClipboardText(const char* text) override;
  bool SetClipboardPath(const char* path) override;
  bool StartFileDrag(const char* path) override;
  int ShowMessageBox(const char* text, const char* caption, int type,
                     IMsgBoxCompletionFunc completion = nullptr) override;
  void PromptForFile(TextBuffer& fileName, TextBuffer& path, int action = kFileOpen,
                     const char* extensions = "", IFileDialogCompletionFunc completion = nullptr) override;
  void PromptForFolder(TextBuffer& dir, IFileDialogCompletionFunc completion = nullptr) override;
  bool PromptForColour(IArgb& colour, const char* prompt = "",
                       IColourPickerFunc completion = nullptr) override;
  bool OpenUrl(const char* url, const char* windowTitle = nullptr, const char* confirmText = nullptr,
               const char* errorText = nullptr) override;
  const char* GetPlatformName() override { return "win32"; }
  bool RevealPathInShell(const char* path, bool select = false) override;

  // ---- Fonts
  PlatformFont* LoadPlatformFontFromFile(const char* fontId, const char* fileOrResourceName) override;
  PlatformFont* LoadPlatformFontFromMemory(const char* fontId, const void* data, int size) override;
  PlatformFont* LoadPlatformFontByName(const char* fontId, const char* family, int style) override;
  void CachePlatformFont(const char* fontId, const PlatformFont* font) override;

  // The editor window's display tick (WM_USER + 1 with the thread's counter, or timer id 2 with 0).
  void DisplayTick(uint32_t counter);
  // The text entry's state, for the window procedure and the tick.
  int32_t GetTextEntryState() const;
  bool HasPlatformTextEntry() const;
  void DestroyPlatformTextEntry();
  // Whether ticks come from the vertical-blank thread (Windows 8 and later) rather than the timer.
  bool UsesVBlankThread() const { return mUseVBlank; }

  // The number of editor windows open in the process; the window class exists while it is above 0.
  static int GetOpenWindowCount();

  struct WinState;

private:
  friend struct WinState;
  // Stops the tick, frees the drawing contexts, the text field and the tooltip and forgets the window,
  // destroying it unless it is being destroyed already.
  void ReleaseWindow(bool destroyWindow);

  void* mModule = nullptr;
  bool mUseVBlank = false;
  Seams mSeams;
  std::unique_ptr<WinState> mWin;
};

} // namespace iplug::igraphics
