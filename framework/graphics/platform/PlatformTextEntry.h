#pragma once
// The native single-line text field that opens over a control when the editor has no text-entry control
// of its own (Windows only). Keys and focus only change its state; the editor's next display tick reads
// the state and commits or cancels, so nothing is applied from inside the field's own messages.

#include "framework/core/TextBuffer.h"
#include "framework/graphics/IDrawingRecords.h"
#include "framework/graphics/platform/DisplayTickDecision.h"
#include "framework/graphics/platform/Win32Handles.h"

#include <functional>

namespace iplug::igraphics
{

class PlatformTextEntry
{
public:
  struct Options
  {
    HWND parent = nullptr;
    HINSTANCE module = nullptr;
    int32_t paramType = -1; // the edited parameter's type; -1 when no parameter is edited
    ITextStyle style;
    IBounds bounds;
    float scale = 1.f;
    int maxLength = 0;
    const char* text = "";
  };

  PlatformTextEntry() = default;
  ~PlatformTextEntry() { Destroy(); }
  PlatformTextEntry(const PlatformTextEntry&) = delete;
  PlatformTextEntry& operator=(const PlatformTextEntry&) = delete;

  // False when a field is already open (the request is ignored) or the field cannot be made.
  bool Create(const Options& options);
  void Destroy();

  bool IsOpen() const { return static_cast<bool>(mEdit); }
  HWND Window() const { return mEdit.Get(); }
  int32_t State() const { return mState; }
  void SetState(int32_t state) { mState = state; }
  const ITextStyle& Style() const { return mStyle; }
  const IBounds& Bounds() const { return mBounds; }
  // At most 255 UTF-16 units of the field's text, as UTF-8.
  TextBuffer ReadText() const;

  // Called on every message of the field (the editor hides its tooltip).
  std::function<void()> onActivity;

  static constexpr LONG_PTR kUserDataMarker = static_cast<LONG_PTR>(0xDEADF00B);
  static constexpr int kControlId = 99;

private:
  static LRESULT CALLBACK SubclassProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

  win32::UniqueWindow mEdit;
  win32::UniqueFont mFont;
  WNDPROC mPreviousProc = nullptr;
  int32_t mState = kTextEntryIdle;
  int32_t mParamType = -1;
  ITextStyle mStyle;
  IBounds mBounds;
};

} // namespace iplug::igraphics
