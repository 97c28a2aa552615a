#include "framework/graphics/IGEditorDelegate.h"

#include "framework/core/StateChunk.h"
#include "framework/graphics/IControl.h"
#include "framework/graphics/IGraphics.h"

#include <cmath>

namespace iplug::igraphics
{

IGEditorDelegate::IGEditorDelegate(int nParams) : IEditorDelegate(nParams) {}

IGEditorDelegate::~IGEditorDelegate()
{
  // The plug-in above this layer is already destroyed: the graphics must not call back into it.
  if (mGraphics) mGraphics->ClearDelegate();
  delete mGraphics;
  mGraphics = nullptr;
}

void* IGEditorDelegate::OpenWindow(void* parent)
{
  if (!mGraphics)
  {
    mGraphics = MakeGraphics();
    if (mGraphics && mRememberedWidth != 0 && mRememberedHeight != 0 && mRememberedScale != 0.f)
      mGraphics->Resize(mRememberedWidth, mRememberedHeight, mRememberedScale, true);
  }
  if (!mGraphics) return nullptr;
  // Opening lays the controls out afresh: a set left from an earlier open must not stay underneath.
  mGraphics->RemoveAllControls();
  return mGraphics->OpenEditorWindow(parent);
}

void IGEditorDelegate::CloseWindow()
{
  // Re-entrant calls, and calls with no editor open, do nothing.
  if (mClosing || !mGraphics) return;
  mClosing = true;
  OnEditorClose();
  mRememberedWidth = mGraphics->GetWidth();
  mRememberedHeight = mGraphics->GetHeight();
  mRememberedScale = mGraphics->GetDrawScale();
  mGraphics->CloseEditorWindow();
  IGraphics* graphics = mGraphics;
  mGraphics = nullptr;
  delete graphics;
  mClosing = false;
}

void IGEditorDelegate::OnHostWindowResized(int width, int height)
{
  if (!mGraphics) return;
  const float s = mGraphics->GetWindowDpiScale();
  if (!std::isfinite(s) || s <= 0.f) return;
  mGraphics->Resize(static_cast<int>(width / s), static_cast<int>(height / s), 1.f, false);
}

bool IGEditorDelegate::OnKeyDown(const IKeyStroke& key)
{
  if (!mGraphics) return false;
  float x = 0.f, y = 0.f;
  mGraphics->GetMousePosition(x, y);
  return mGraphics->OnKeyDown(x, y, key);
}

bool IGEditorDelegate::OnKeyUp(const IKeyStroke& key)
{
  if (!mGraphics) return false;
  float x = 0.f, y = 0.f;
  mGraphics->GetMousePosition(x, y);
  return mGraphics->OnKeyUp(x, y, key);
}

void IGEditorDelegate::SendControlValueToEditor(int ctrlTag, double normalizedValue)
{
  if (!mGraphics) return;
  if (IControl* control = mGraphics->FindControlByTag(ctrlTag))
    control->ApplyValueFromDelegate(normalizedValue, 0);
}

void IGEditorDelegate::SendMessageToControl(int ctrlTag, int msgTag, int dataSize, const void* data)
{
  if (!mGraphics) return;
  if (IControl* control = mGraphics->FindControlByTag(ctrlTag))
    control->OnDelegateMessage(msgTag, dataSize, data);
}

void IGEditorDelegate::SendMidiMessageToEditor(const IMidiEvent& msg)
{
  if (mGraphics)
    mGraphics->ForEachAttachedControl(
        [&msg](IControl* control)
        {
          if (control->GetWantsMidi()) control->OnMidiMessage(msg);
        });
  OnMidiMessageInEditor(msg);
}

void IGEditorDelegate::SendParamValueToEditor(int paramIdx, double value, bool normalized)
{
  if (mGraphics)
  {
    if (!normalized)
    {
      const IParam* param = (paramIdx >= 0 && paramIdx < NParams()) ? GetParam(paramIdx) : nullptr;
      value = param ? param->ToNormalized(value) : value;
    }
    mGraphics->ForEachAttachedControl(
        [paramIdx, value](IControl* control)
        {
          for (int i = 0; i < control->NValueSlots(); i++)
            if (control->GetParamIndex(i) == paramIdx) control->ApplyValueFromDelegate(value, i);
        });
  }
  OnParamChangeInEditor(paramIdx, kDelegate);
}

bool IGEditorDelegate::WriteEditorState(StateChunk& chunk)
{
  int32_t width = mRememberedWidth;
  int32_t height = mRememberedHeight;
  float scale = mRememberedScale;
  if (mGraphics)
  {
    width = mGraphics->GetWidth();
    height = mGraphics->GetHeight();
    scale = mGraphics->GetDrawScale();
  }
  return chunk.Put(width) > 0 && chunk.Put(height) > 0 && chunk.Put(scale) > 0;
}

int IGEditorDelegate::ReadEditorState(const StateChunk& chunk, int startPos)
{
  int32_t width = 0;
  int32_t height = 0;
  float scale = 0.f;
  int pos = chunk.Get(width, startPos);
  pos = chunk.Get(height, pos);
  pos = chunk.Get(scale, pos);
  // A stored scale that is not a positive number would poison every later size computation.
  if (!std::isfinite(scale) || scale <= 0.f) scale = 0.f;

  if (mGraphics)
  {
    if (width != 0 && height != 0 && scale != 0.f) mGraphics->Resize(width, height, scale, true);
  }
  else
  {
    mRememberedWidth = width;
    mRememberedHeight = height;
    mRememberedScale = scale;
  }
  return pos;
}

void IGEditorDelegate::SetEditorScale(float scale)
{
  if (mGraphics) mGraphics->SetDisplayScale(scale);
}

bool IGEditorDelegate::ShowParamContextMenuInHost(IGraphics&, IControl&, IPopupMenu&, int, float, float)
{
  return false;
}

IGraphics* IGEditorDelegate::MakeGraphics()
{
  return mMakeGraphicsFunc ? mMakeGraphicsFunc() : nullptr;
}

void IGEditorDelegate::LayoutEditor(IGraphics* graphics)
{
  if (mLayoutFunc) mLayoutFunc(graphics);
}

} // namespace iplug::igraphics
