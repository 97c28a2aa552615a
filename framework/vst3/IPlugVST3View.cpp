#include "framework/vst3/IPlugVST3View.h"

#include "framework/vst3/Guarded.h"
#include "framework/vst3/IPlugVST3.h"
#include "framework/vst3/KeyTranslation.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

using namespace Steinberg;

namespace iplug
{

namespace
{
// right - left of a host's rectangle, which may be anything: kept within int.
int Span(int32 from, int32 to)
{
  const int64 span = static_cast<int64>(to) - from;
  return static_cast<int>(std::clamp<int64>(span, INT32_MIN, INT32_MAX));
}

int32 Offset(int32 from, int span)
{
  return static_cast<int32>(std::clamp<int64>(static_cast<int64>(from) + span, INT32_MIN, INT32_MAX));
}
} // namespace

IPlugVST3View::IPlugVST3View(IPlugVST3& owner) : mOwner(owner)
{
  mOwner.addRef();
}

IPlugVST3View::~IPlugVST3View()
{
  // A host may release a view it never removed: its window must not outlive it.
  Guarded(kResultOk,
          [&]()
          {
            CloseOwnWindow();
            return kResultOk;
          });
  mOwner.OnViewDestroyed(this);
  if (plugFrame) plugFrame->release();
  plugFrame = nullptr;
  // Last: this may delete the owner when the host has already let go of it.
  mOwner.release();
}

tresult PLUGIN_API IPlugVST3View::queryInterface(const TUID iid, void** obj)
{
  if (!obj) return kInvalidArgument;
  QUERY_INTERFACE(iid, obj, IPlugViewContentScaleSupport::iid, IPlugViewContentScaleSupport)
  return CPluginView::queryInterface(iid, obj);
}

tresult PLUGIN_API IPlugVST3View::isPlatformTypeSupported(FIDString type)
{
  return mOwner.HasEditor() && type && std::strcmp(type, kPlatformTypeHWND) == 0 ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API IPlugVST3View::attached(void* parent, FIDString type)
{
  if (!mOwner.HasEditor() || !type) return kResultFalse;
  // Other window systems are not ours: nothing opens, yet the host is not told off.
  if (std::strcmp(type, kPlatformTypeHWND) != 0) return kResultTrue;
  if (!parent) return kResultFalse;
  return Guarded(kResultFalse,
                 [&]() -> tresult
                 {
                   if (!mOwner.OpenEditorInView(*this, parent)) return kResultFalse;
                   systemWindow = parent;
                   return kResultTrue;
                 });
}

tresult PLUGIN_API IPlugVST3View::removed()
{
  Guarded(kResultOk,
          [&]()
          {
            if (mOwner.HasEditor()) CloseOwnWindow();
            return kResultOk;
          });
  return CPluginView::removed();
}

void IPlugVST3View::CloseOwnWindow()
{
  mOwner.CloseEditorOfView(*this);
}

tresult PLUGIN_API IPlugVST3View::onKeyDown(char16 key, int16 keyCode, int16 modifiers)
{
  return Guarded(kResultFalse,
                 [&]() -> tresult
                 {
                   IKeyStroke stroke;
                   if (!TranslateHostKey(mOwner.GetHost(), key, keyCode, modifiers, stroke))
                     return kResultFalse;
                   return mOwner.OnKeyDown(stroke) ? kResultTrue : kResultFalse;
                 });
}

tresult PLUGIN_API IPlugVST3View::onKeyUp(char16 key, int16 keyCode, int16 modifiers)
{
  return Guarded(kResultFalse,
                 [&]() -> tresult
                 {
                   IKeyStroke stroke;
                   if (!TranslateHostKey(mOwner.GetHost(), key, keyCode, modifiers, stroke))
                     return kResultFalse;
                   return mOwner.OnKeyUp(stroke) ? kResultTrue : kResultFalse;
                 });
}

tresult PLUGIN_API IPlugVST3View::getSize(ViewRect* size)
{
  if (!size) return kInvalidArgument;
  if (!mOwner.HasEditor()) return kResultFalse;
  *size = ViewRect(0, 0, mOwner.GetEditorWidth(), mOwner.GetEditorHeight());
  return kResultTrue;
}

tresult PLUGIN_API IPlugVST3View::onSize(ViewRect* newSize)
{
  if (!newSize || !mOwner.HostCanResizeEditor()) return kResultFalse;
  return Guarded(kResultFalse,
                 [&]() -> tresult
                 {
                   rect = *newSize;
                   mOwner.OnHostWindowResized(Span(rect.left, rect.right), Span(rect.top, rect.bottom));
                   return kResultTrue;
                 });
}

tresult PLUGIN_API IPlugVST3View::setFrame(IPlugFrame* frame)
{
  if (frame == plugFrame) return kResultTrue;
  if (frame) frame->addRef();
  if (plugFrame) plugFrame->release();
  plugFrame = frame;
  return kResultTrue;
}

tresult PLUGIN_API IPlugVST3View::canResize()
{
  return mOwner.HasEditor() && mOwner.HostCanResizeEditor() ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API IPlugVST3View::checkSizeConstraint(ViewRect* size)
{
  if (!size) return kInvalidArgument;
  int width = Span(size->left, size->right);
  int height = Span(size->top, size->bottom);
  if (!mOwner.ConstrainEditorSize(width, height))
  {
    size->right = Offset(size->left, width);
    size->bottom = Offset(size->top, height);
  }
  return kResultTrue;
}

tresult PLUGIN_API IPlugVST3View::setContentScaleFactor(ScaleFactor factor)
{
  if (!std::isfinite(factor) || factor <= 0.f) return kResultFalse;
  return Guarded(kResultFalse,
                 [&]() -> tresult
                 {
                   mOwner.SetEditorScale(factor);
                   return kResultTrue;
                 });
}

} // namespace iplug
