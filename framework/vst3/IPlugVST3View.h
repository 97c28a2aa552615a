#pragma once

// The editor view the host embeds: opens the plug-in's editor window inside the host's window, passes
// sizes, scales and keys between host and editor, and holds the host frame that the editor's own resize
// requests go to.
//
// Hosts create, attach, remove and release views in orders of their own choosing, so the view keeps
// nothing the host may have freed: it holds a reference on the frame and on its owner, tells the owner
// when it goes, and closes a window it opened when the host releases it still attached. Host UI thread.

#include "public.sdk/source/common/pluginview.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"

namespace iplug
{

class IPlugVST3;

class IPlugVST3View : public Steinberg::CPluginView, public Steinberg::IPlugViewContentScaleSupport
{
public:
  using tresult = Steinberg::tresult;

  explicit IPlugVST3View(IPlugVST3& owner);
  ~IPlugVST3View() override;
  IPlugVST3View(const IPlugVST3View&) = delete;
  IPlugVST3View& operator=(const IPlugVST3View&) = delete;

  tresult PLUGIN_API isPlatformTypeSupported(Steinberg::FIDString type) override;
  tresult PLUGIN_API attached(void* parent, Steinberg::FIDString type) override;
  tresult PLUGIN_API removed() override;
  tresult PLUGIN_API onWheel(float) override { return Steinberg::kResultFalse; }
  tresult PLUGIN_API onKeyDown(Steinberg::char16 key, Steinberg::int16 keyCode,
                               Steinberg::int16 modifiers) override;
  tresult PLUGIN_API onKeyUp(Steinberg::char16 key, Steinberg::int16 keyCode,
                             Steinberg::int16 modifiers) override;
  tresult PLUGIN_API getSize(Steinberg::ViewRect* size) override;
  tresult PLUGIN_API onSize(Steinberg::ViewRect* newSize) override;
  tresult PLUGIN_API onFocus(Steinberg::TBool) override { return Steinberg::kResultFalse; }
  tresult PLUGIN_API setFrame(Steinberg::IPlugFrame* frame) override;
  tresult PLUGIN_API canResize() override;
  tresult PLUGIN_API checkSizeConstraint(Steinberg::ViewRect* rect) override;

  // A factor that is not a positive number is refused and changes nothing.
  tresult PLUGIN_API setContentScaleFactor(ScaleFactor factor) override;

  Steinberg::IPlugFrame* GetFrame() const { return plugFrame; }

  OBJ_METHODS(IPlugVST3View, CPluginView)
  tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  REFCOUNT_METHODS(CPluginView)

private:
  // Closes the editor window when this view opened it.
  void CloseOwnWindow();

  IPlugVST3& mOwner;
};

} // namespace iplug
