#pragma once

#include "framework/core/ChangeSource.h"
#include "framework/core/IKeyStroke.h"
#include "framework/core/IMidiEvent.h"
#include "framework/core/IParam.h"
#include "framework/core/ISysexEvent.h"
#include "framework/core/PointerList.h"
#include "framework/core/StateChunk.h"

namespace iplug
{

// The bottom layer of the plug-in object and its contract with the editor: owns the
// parameters and the editor size limits, and routes parameter changes, MIDI, SysEx and
// messages between the plug-in side and the editor side. The graphics delegate overrides
// the editor-side operations, the API base the host-side ones, the plug-in the notifications.
class IEditorDelegate
{
public:
  explicit IEditorDelegate(int nParams);
  virtual ~IEditorDelegate();
  IEditorDelegate(const IEditorDelegate&) = delete;
  IEditorDelegate& operator=(const IEditorDelegate&) = delete;

  // Editor window. The parent and the result are platform window handles.
  virtual void* OpenWindow(void* parent);
  virtual void CloseWindow();
  virtual void OnHostWindowResized(int width, int height);
  virtual void OnEditorOpen();
  virtual void OnEditorClose();

  // Notifications. OnParamChange(index) is the plug-in's hook; the longer form traces and calls it.
  virtual void OnParamChange(int paramIdx);
  virtual void OnParamChange(int paramIdx, ChangeSource source, int sampleOffset);
  virtual void OnParamChangeInEditor(int paramIdx, ChangeSource source);
  // Calls OnParamChange(i, source, -1) then OnParamChangeInEditor(i, source) for every parameter in turn.
  virtual void NotifyAllParams(ChangeSource source);
  virtual void OnMidiMessageInEditor(const IMidiEvent& msg);
  virtual void OnSysexMessageInEditor(const ISysexEvent& msg);
  virtual bool HandleEditorMessage(int msgTag, int ctrlTag, int dataSize, const void* data);
  virtual void OnStateRestored();
  virtual bool OnKeyDown(const IKeyStroke& key);
  virtual bool OnKeyUp(const IKeyStroke& key);

  // Plug-in to editor.
  virtual void SendControlValueToEditor(int ctrlTag, double normalizedValue);
  virtual void SendMessageToControl(int ctrlTag, int msgTag, int dataSize, const void* data);
  virtual void SendMessageToEditor(int msgTag, int dataSize, const void* data);
  virtual void SendMidiMessageToEditor(const IMidiEvent& msg);
  virtual void SendSysexMessageToEditor(const ISysexEvent& msg);
  virtual void SendParamValueToEditor(int paramIdx, double value, bool normalized);
  virtual void SendAllParamsToHost();

  // Editor to plug-in and host.
  virtual void BeginParamChangeFromEditor(int paramIdx) = 0;
  virtual void SetParamFromEditorNormalized(int paramIdx, double normalizedValue);
  virtual void EndParamChangeFromEditor(int paramIdx) = 0;
  virtual bool EditorResizeRequest(int width, int height, bool needsPlatformResize);
  virtual void SendMidiMessageFromEditor(const IMidiEvent& msg);
  virtual void SendSysexMessageFromEditor(const ISysexEvent& msg);
  virtual void SendEditorMessage(int msgTag, int ctrlTag, int dataSize, const void* data);
  virtual void EnqueueMidiFromEditor(const IMidiEvent& msg);
  virtual void EnqueueSysexFromEditor(const ISysexEvent& msg);

  // Clamps a proposed editor size into the limits; true when it was already inside them.
  virtual bool ConstrainEditorSize(int& width, int& height) const;
  virtual bool WriteEditorState(StateChunk& chunk);
  virtual int ReadEditorState(const StateChunk& chunk, int startPos);
  virtual void SetEditorScale(float scale);

  // Sends every parameter's normalised value to the editor, in index order.
  void SendAllParamsToEditor();

  IParam* GetParam(int paramIdx) const { return mParams.Get(paramIdx); }
  int NParams() const { return mParams.GetCount(); }

  int GetEditorWidth() const { return mEditorWidth; }
  int GetEditorHeight() const { return mEditorHeight; }
  int GetMinWidth() const { return mMinWidth; }
  int GetMaxWidth() const { return mMaxWidth; }
  int GetMinHeight() const { return mMinHeight; }
  int GetMaxHeight() const { return mMaxHeight; }
  void SetEditorSize(int width, int height)
  {
    mEditorWidth = width;
    mEditorHeight = height;
  }
  void SetSizeConstraints(int minWidth, int maxWidth, int minHeight, int maxHeight)
  {
    mMinWidth = minWidth;
    mMaxWidth = maxWidth;
    mMinHeight = minHeight;
    mMaxHeight = maxHeight;
  }

protected:
  PointerList<IParam> mParams;
  int mEditorWidth = 0; // points
  int mEditorHeight = 0;
  int mMinWidth = 10;
  int mMaxWidth = 100000;
  int mMinHeight = 10;
  int mMaxHeight = 100000;
};
} // namespace iplug
