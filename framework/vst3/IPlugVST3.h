#pragma once

// The plug-in API class of the VST3 module: one object that is the host's audio
// component and its edit controller at once. The effect class derives from it.
// Host calls arrive here and are turned into the framework's operations; the
// framework's requests to the host (edits, restarts) leave through the
// component handler.
//
// Threads: controller methods, state, initialize/terminate and bus arrangement
// on the host's UI thread; setupProcessing/setActive/setProcessing on the thread
// that manages processing; process on the audio thread. Parameter values are the
// only data both sides write (64-bit atomics).
//
// No exception leaves through a host call: entries that can allocate catch and
// answer kOutOfMemory (or kResultFalse where the interface has no such answer).

#include "framework/plugin/IPlugAPIBase.h"
#include "framework/vst3/IPlugVST3ControllerBase.h"
#include "framework/vst3/IPlugVST3ProcessorBase.h"
#include "framework/vst3/SingleComponentEffect.h"

#include "pluginterfaces/vst/ivstchannelcontextinfo.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <atomic>

namespace iplug
{

class IPlugVST3View;

// What a VST3 instance is created with: nothing beyond its configuration.
struct InstanceInfo
{
};

class IPlugVST3 : public IPlugAPIBase,
                  public IPlugVST3ProcessorBase,
                  public Steinberg::Vst::SingleComponentEffect,
                  public Steinberg::Vst::IMidiMapping,
                  public Steinberg::Vst::ChannelContext::IInfoListener,
                  public IPlugVST3ControllerBase
{
public:
  using tresult = Steinberg::tresult;
  using TBool = Steinberg::TBool;
  using ParamID = Steinberg::Vst::ParamID;
  using ParamValue = Steinberg::Vst::ParamValue;

  IPlugVST3(const InstanceInfo& info, const IPluginSpec& spec);
  ~IPlugVST3() override;
  IPlugVST3(const IPlugVST3&) = delete;
  IPlugVST3& operator=(const IPlugVST3&) = delete;

  // IPluginBase (component and controller alike)
  tresult PLUGIN_API initialize(Steinberg::FUnknown* context) override;
  tresult PLUGIN_API terminate() override;

  // IComponent
  tresult PLUGIN_API setActive(TBool state) override;

  // IAudioProcessor
  tresult PLUGIN_API setBusArrangements(Steinberg::Vst::SpeakerArrangement* inputs, Steinberg::int32 numIns,
                                        Steinberg::Vst::SpeakerArrangement* outputs,
                                        Steinberg::int32 numOuts) override;
  tresult PLUGIN_API canProcessSampleSize(Steinberg::int32 symbolicSampleSize) override;
  Steinberg::uint32 PLUGIN_API getLatencySamples() override;
  tresult PLUGIN_API setupProcessing(Steinberg::Vst::ProcessSetup& setup) override;
  tresult PLUGIN_API setProcessing(TBool state) override;
  tresult PLUGIN_API process(Steinberg::Vst::ProcessData& data) override;
  Steinberg::uint32 PLUGIN_API getTailSamples() override;

  // IEditController
  tresult PLUGIN_API setComponentState(Steinberg::IBStream*) override { return Steinberg::kResultOk; }
  ParamValue PLUGIN_API getParamNormalized(ParamID id) override;
  tresult PLUGIN_API setParamNormalized(ParamID id, ParamValue value) override;
  // A new editor view for the name "editor" (exact case) when the plug-in has an editor, else null.
  Steinberg::IPlugView* PLUGIN_API createView(Steinberg::FIDString name) override;

  // IUnitInfo
  Steinberg::int32 PLUGIN_API getProgramListCount() override { return 0; }
  tresult PLUGIN_API getProgramListInfo(Steinberg::int32, Steinberg::Vst::ProgramListInfo&) override
  {
    return Steinberg::kResultFalse;
  }
  tresult PLUGIN_API getProgramName(Steinberg::Vst::ProgramListID listId, Steinberg::int32 programIndex,
                                    Steinberg::Vst::String128 name) override;

  // IMidiMapping
  tresult PLUGIN_API getMidiControllerAssignment(Steinberg::int32 busIndex, Steinberg::int16 channel,
                                                 Steinberg::Vst::CtrlNumber midiControllerNumber,
                                                 ParamID& id) override;

  // IInfoListener
  tresult PLUGIN_API setChannelContextInfos(Steinberg::Vst::IAttributeList* list) override;

  // Framework operations that reach the host.
  void BeginHostParamEdit(int paramIdx) override;
  void SendParamValueToHost(int paramIdx, double normalizedValue) override;
  void EndHostParamEdit(int paramIdx) override;
  void SendAllParamsToHost() override;
  void SetParamFromEditorNormalized(int paramIdx, double normalizedValue) override;
  void NotifyParamDetailsChanged() override;
  void SetLatency(int32_t samples) override;
  // Asks the host frame of the open view for the new size (pixels) when it differs; always records it.
  bool ResizeEditorWindow(int width, int height, bool needsPlatformResize) override;
  // The host's menu for the parameter, never the editor's own; true even when the host offers none.
  bool ShowParamContextMenuInHost(igraphics::IGraphics& graphics, igraphics::IControl& control,
                                  igraphics::IPopupMenu& menu, int paramIdx, float x, float y) override;

  void GetTrackColour(int& r, int& g, int& b) const override
  {
    IPlugVST3ControllerBase::GetTrackColour(r, g, b);
  }
  void GetTrackName(TextBuffer& name) const override { IPlugVST3ControllerBase::GetTrackName(name); }
  int GetTrackIndex() const override { return IPlugVST3ControllerBase::GetTrackIndex(); }
  void GetTrackNamespace(TextBuffer& name) const override
  {
    IPlugVST3ControllerBase::GetTrackNamespace(name);
  }
  int GetTrackNamespaceIndex() const override { return IPlugVST3ControllerBase::GetTrackNamespaceIndex(); }

  // The editor view made by the last createView, null when none is open. The view clears it
  // from its destructor, so the adapter never reaches a view the host has released.
  IPlugVST3View* GetView() const { return mView; }
  void SetView(IPlugVST3View* view) { mView = view; }
  void OnViewDestroyed(IPlugVST3View* view)
  {
    if (mView == view) mView = nullptr;
  }
  // The editor window belongs to at most one view at a time, and only that view closes it. Opening
  // closes a window still open for any view first; false, with nothing left open, when it fails.
  bool OpenEditorInView(const IPlugVST3View& view, void* parent);
  void CloseEditorOfView(const IPlugVST3View& view);

  OBJ_METHODS(IPlugVST3, SingleComponentEffect)
  tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  REFCOUNT_METHODS(SingleComponentEffect)

protected:
  // The component state in the adapter's own form: the plug-in's SerializeState chunk written in one
  // call, then a 32-bit 0 word. Reading takes 128-byte blocks up to 1 MiB, hands them to
  // UnserializeState and, when StateHasBypassWord says so, reads the word that follows the state.
  // Plug-ins with a stream form of their own replace both.
  tresult getComponentStateForHost(Steinberg::IBStream* stream) override;
  tresult setComponentStateFromHost(Steinberg::IBStream* stream) override;
  // Whether a state the host gave back carries a 32-bit bypass word (0 or 1) after what
  // UnserializeState read. None by default.
  virtual bool StateHasBypassWord(const StateChunk& state) const
  {
    (void)state;
    return false;
  }
  // The host-side parameter objects take the plug-in's current values.
  void RefreshParameterObjects();
  // The controller keeps nothing of its own: the component state is all there is.
  tresult setControllerState(Steinberg::IBStream*) override { return Steinberg::kResultOk; }
  tresult getControllerState(Steinberg::IBStream*) override { return Steinberg::kResultOk; }

private:
  // Tells the host about a latency it has not seen yet; never from inside a processing call.
  void AnnounceLatencyIfChanged();

  IPlugVST3View* mView = nullptr;
  const IPlugVST3View* mWindowView = nullptr;
  std::atomic<int32_t> mReportedLatency;
};

} // namespace iplug
