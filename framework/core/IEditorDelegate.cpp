#include "framework/core/IEditorDelegate.h"

#include "framework/core/TraceHook.h"

#include <algorithm>

namespace iplug
{
IEditorDelegate::IEditorDelegate(int nParams)
{
  for (int i = 0; i < nParams; ++i)
  {
    auto* param = new IParam;
    if (!mParams.Add(param)) delete param;
  }
}

IEditorDelegate::~IEditorDelegate()
{
  // Last to first, each parameter with its captions, display function and shape.
  mParams.DeleteAll();
}

void* IEditorDelegate::OpenWindow(void* parent)
{
  (void)parent;
  OnEditorOpen();
  return nullptr;
}

void IEditorDelegate::CloseWindow()
{
  OnEditorClose();
}

void IEditorDelegate::OnHostWindowResized(int, int) {}

void IEditorDelegate::OnEditorOpen()
{
  SendAllParamsToEditor();
}

void IEditorDelegate::OnEditorClose() {}

void IEditorDelegate::OnParamChange(int) {}

void IEditorDelegate::OnParamChange(int paramIdx, ChangeSource source, int sampleOffset)
{
  (void)sampleOffset;
  TraceHook(__FUNCTION__, __LINE__, "idx:%i src:%s\n", paramIdx, ChangeSourceName(source));
  OnParamChange(paramIdx);
}

void IEditorDelegate::OnParamChangeInEditor(int, ChangeSource) {}

void IEditorDelegate::NotifyAllParams(ChangeSource source)
{
  const int n = NParams();
  for (int i = 0; i < n; ++i)
  {
    OnParamChange(i, source, -1);
    OnParamChangeInEditor(i, source);
  }
}

void IEditorDelegate::OnMidiMessageInEditor(const IMidiEvent&) {}

void IEditorDelegate::OnSysexMessageInEditor(const ISysexEvent&) {}

bool IEditorDelegate::HandleEditorMessage(int, int, int, const void*)
{
  return false;
}

void IEditorDelegate::OnStateRestored()
{
  SendAllParamsToEditor();
}

bool IEditorDelegate::OnKeyDown(const IKeyStroke&)
{
  return false;
}

bool IEditorDelegate::OnKeyUp(const IKeyStroke&)
{
  return false;
}

void IEditorDelegate::SendControlValueToEditor(int, double) {}

void IEditorDelegate::SendMessageToControl(int ctrlTag, int msgTag, int dataSize, const void* data)
{
  HandleEditorMessage(msgTag, ctrlTag, dataSize, data);
}

void IEditorDelegate::SendMessageToEditor(int msgTag, int dataSize, const void* data)
{
  HandleEditorMessage(msgTag, -1, dataSize, data);
}

void IEditorDelegate::SendMidiMessageToEditor(const IMidiEvent& msg)
{
  OnMidiMessageInEditor(msg);
}

void IEditorDelegate::SendSysexMessageToEditor(const ISysexEvent& msg)
{
  OnSysexMessageInEditor(msg);
}

void IEditorDelegate::SendParamValueToEditor(int paramIdx, double, bool)
{
  // Without an editor there is nothing to show the value on; only the hook hears of it.
  OnParamChangeInEditor(paramIdx, kDelegate);
}

void IEditorDelegate::SendAllParamsToHost() {}

void IEditorDelegate::SetParamFromEditorNormalized(int paramIdx, double normalizedValue)
{
  GetParam(paramIdx)->SetNormalized(normalizedValue);
  OnParamChangeInEditor(paramIdx, kUI);
}

bool IEditorDelegate::EditorResizeRequest(int, int, bool)
{
  return false;
}

void IEditorDelegate::SendMidiMessageFromEditor(const IMidiEvent&) {}

void IEditorDelegate::SendSysexMessageFromEditor(const ISysexEvent&) {}

void IEditorDelegate::SendEditorMessage(int, int, int, const void*) {}

void IEditorDelegate::EnqueueMidiFromEditor(const IMidiEvent&) {}

void IEditorDelegate::EnqueueSysexFromEditor(const ISysexEvent&) {}

bool IEditorDelegate::ConstrainEditorSize(int& width, int& height) const
{
  if (width >= mMinWidth && width <= mMaxWidth && height >= mMinHeight && height <= mMaxHeight) return true;
  width = std::min(mMaxWidth, std::max(mMinWidth, width));
  height = std::min(mMaxHeight, std::max(mMinHeight, height));
  return false;
}

bool IEditorDelegate::WriteEditorState(StateChunk&)
{
  return true;
}

int IEditorDelegate::ReadEditorState(const StateChunk&, int startPos)
{
  return startPos;
}

void IEditorDelegate::SetEditorScale(float) {}

void IEditorDelegate::SendAllParamsToEditor()
{
  const int n = NParams();
  for (int i = 0; i < n; ++i)
  {
    IParam* param = GetParam(i);
    SendParamValueToEditor(i, param->ToNormalized(param->Value()), true);
  }
}
} // namespace iplug
