#pragma once
// Joins the plug-in's editor-side delegate to the graphics framework: owns the one IGraphics of the open
// editor, makes it and lays it out through functions the plug-in installs, remembers the editor size and
// scale while the window is closed, and routes values, messages, keys and MIDI to the controls.

#include "framework/core/IEditorDelegate.h"

#include <functional>

namespace iplug::igraphics
{

class IGraphics;
class IControl;
class IPopupMenu;

class IGEditorDelegate : public IEditorDelegate
{
public:
  using MakeGraphicsFunc = std::function<IGraphics*()>;
  using LayoutFunc = std::function<void(IGraphics* graphics)>;

  explicit IGEditorDelegate(int nParams);
  ~IGEditorDelegate() override;

  void* OpenWindow(void* parent) override;
  void CloseWindow() override;
  // Device pixels; the editor takes the size at draw scale 1 without resizing the platform window.
  void OnHostWindowResized(int width, int height) override;
  bool OnKeyDown(const IKeyStroke& key) override;
  bool OnKeyUp(const IKeyStroke& key) override;
  void SendControlValueToEditor(int ctrlTag, double normalizedValue) override;
  void SendMessageToControl(int ctrlTag, int msgTag, int dataSize, const void* data) override;
  void SendMidiMessageToEditor(const IMidiEvent& msg) override;
  void SendParamValueToEditor(int paramIdx, double value, bool normalized) override;
  // Width, height (int32) and draw scale (float32), little-endian.
  bool WriteEditorState(StateChunk& chunk) override;
  int ReadEditorState(const StateChunk& chunk, int startPos) override;
  void SetEditorScale(float scale) override;

  // A right-click on a parameter control may open the host's own menu for that parameter instead of the
  // editor's (the VST3 adapter does). True when the delegate took the click; the menu holds the control's
  // own items by then.
  virtual bool ShowParamContextMenuInHost(IGraphics& graphics, IControl& control, IPopupMenu& menu,
                                          int paramIdx, float x, float y);

  virtual IGraphics* MakeGraphics();
  virtual void LayoutEditor(IGraphics* graphics);

  void SetMakeGraphicsFunc(MakeGraphicsFunc func) { mMakeGraphicsFunc = std::move(func); }
  void SetLayoutFunc(LayoutFunc func) { mLayoutFunc = std::move(func); }
  IGraphics* GetGraphics() const { return mGraphics; }

  int GetRememberedWidth() const { return mRememberedWidth; }
  int GetRememberedHeight() const { return mRememberedHeight; }
  float GetRememberedScale() const { return mRememberedScale; }

private:
  MakeGraphicsFunc mMakeGraphicsFunc;
  LayoutFunc mLayoutFunc;
  IGraphics* mGraphics = nullptr;
  int mRememberedWidth = 0;
  int mRememberedHeight = 0;
  float mRememberedScale = 0.f;
  bool mClosing = false;
};

} // namespace iplug::igraphics
