#pragma once

// One object that is both the audio component and its edit controller, the way
// hosts expect a simple effect to be built. It keeps bus lists, the processing
// set-up and the process-context requirements; everything audio-specific is left
// to the class that derives from it.
//
// IComponent and IEditController both declare getState/setState(IBStream*). A
// single override would serve both roles with one body, so a host asking the
// controller for its state would get the component's bytes and the reverse. The
// two role classes below take one each and forward to differently named virtuals;
// their overrides are final, so a derived class cannot merge the roles again.

#include "public.sdk/source/vst/vstbus.h"
#include "public.sdk/source/vst/vsteditcontroller.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"

namespace Steinberg
{
namespace Vst
{

// Controller side of the state: IEditController::getState/setState.
class SingleComponentControllerRole : public EditControllerEx1
{
public:
  tresult PLUGIN_API setState(IBStream* state) final { return setControllerState(state); }
  tresult PLUGIN_API getState(IBStream* state) final { return getControllerState(state); }

  // The SDK containers look these up with at(), which throws for a bad index; a host's index
  // must be refused here instead of letting the exception reach it.
  tresult PLUGIN_API getParameterInfo(int32 paramIndex, ParameterInfo& info) SMTG_OVERRIDE;
  tresult PLUGIN_API getUnitInfo(int32 unitIndex, UnitInfo& info) SMTG_OVERRIDE;

  virtual tresult setControllerState(IBStream*) { return kNotImplemented; }
  virtual tresult getControllerState(IBStream*) { return kNotImplemented; }
};

// Component side of the state: IComponent::getState/setState.
class SingleComponentProcessorRole : public IComponent
{
public:
  tresult PLUGIN_API setState(IBStream* state) final { return setComponentStateFromHost(state); }
  tresult PLUGIN_API getState(IBStream* state) final { return getComponentStateForHost(state); }

  virtual tresult setComponentStateFromHost(IBStream*) { return kNotImplemented; }
  virtual tresult getComponentStateForHost(IBStream*) { return kNotImplemented; }
};

class SingleComponentEffect : public SingleComponentControllerRole,
                              public SingleComponentProcessorRole,
                              public IAudioProcessor,
                              public IProcessContextRequirements
{
public:
  SingleComponentEffect();
  ~SingleComponentEffect() override;

  // IPluginBase: the component and the controller entries are the same call.
  tresult PLUGIN_API initialize(FUnknown* context) SMTG_OVERRIDE;
  tresult PLUGIN_API terminate() SMTG_OVERRIDE;

  // IComponent
  tresult PLUGIN_API getControllerClassId(TUID) SMTG_OVERRIDE { return kNotImplemented; }
  tresult PLUGIN_API setIoMode(IoMode) SMTG_OVERRIDE { return kNotImplemented; }
  int32 PLUGIN_API getBusCount(MediaType type, BusDirection dir) SMTG_OVERRIDE;
  tresult PLUGIN_API getBusInfo(MediaType type, BusDirection dir, int32 index, BusInfo& info) SMTG_OVERRIDE;
  tresult PLUGIN_API getRoutingInfo(RoutingInfo&, RoutingInfo&) SMTG_OVERRIDE { return kNotImplemented; }
  tresult PLUGIN_API activateBus(MediaType type, BusDirection dir, int32 index, TBool state) SMTG_OVERRIDE;
  tresult PLUGIN_API setActive(TBool) SMTG_OVERRIDE { return kResultOk; }

  // IAudioProcessor
  tresult PLUGIN_API setBusArrangements(SpeakerArrangement* inputs, int32 numIns, SpeakerArrangement* outputs,
                                        int32 numOuts) SMTG_OVERRIDE;
  tresult PLUGIN_API getBusArrangement(BusDirection dir, int32 index, SpeakerArrangement& arr) SMTG_OVERRIDE;
  tresult PLUGIN_API canProcessSampleSize(int32 symbolicSampleSize) SMTG_OVERRIDE;
  uint32 PLUGIN_API getLatencySamples() SMTG_OVERRIDE { return 0; }
  tresult PLUGIN_API setupProcessing(ProcessSetup& setup) SMTG_OVERRIDE;
  tresult PLUGIN_API setProcessing(TBool) SMTG_OVERRIDE { return kNotImplemented; }
  tresult PLUGIN_API process(ProcessData&) SMTG_OVERRIDE { return kNotImplemented; }
  uint32 PLUGIN_API getTailSamples() SMTG_OVERRIDE { return kNoTail; }

  // IProcessContextRequirements
  uint32 PLUGIN_API getProcessContextRequirements() SMTG_OVERRIDE { return processContextRequirements; }

  // Bus construction, used from initialize() of the derived class. The list owns
  // the bus; the pointer returned stays valid until the buses are removed.
  AudioBus* addAudioInput(const TChar* name, SpeakerArrangement arr, BusType busType = kMain,
                          int32 flags = BusInfo::kDefaultActive);
  AudioBus* addAudioOutput(const TChar* name, SpeakerArrangement arr, BusType busType = kMain,
                           int32 flags = BusInfo::kDefaultActive);
  EventBus* addEventInput(const TChar* name, int32 channels = 16, BusType busType = kMain,
                          int32 flags = BusInfo::kDefaultActive);
  EventBus* addEventOutput(const TChar* name, int32 channels = 16, BusType busType = kMain,
                           int32 flags = BusInfo::kDefaultActive);
  tresult removeAudioBusses();
  tresult removeEventBusses();
  tresult removeAllBusses();

  // Null when the pair names no list of this object.
  BusList* getBusList(MediaType type, BusDirection dir);
  // Null for an index outside the list.
  Bus* getBus(MediaType type, BusDirection dir, int32 index);

  const ProcessSetup& getProcessSetup() const { return processSetup; }

  OBJ_METHODS(SingleComponentEffect, EditControllerEx1)
  DEFINE_INTERFACES
  DEF_INTERFACE(IComponent)
  DEF_INTERFACE(IAudioProcessor)
  DEF_INTERFACE(IProcessContextRequirements)
  END_DEFINE_INTERFACES(EditControllerEx1)
  REFCOUNT_METHODS(EditControllerEx1)

protected:
  ProcessSetup processSetup;
  uint32 processContextRequirements = 0;

  BusList audioInputs;
  BusList audioOutputs;
  BusList eventInputs;
  BusList eventOutputs;
};

} // namespace Vst
} // namespace Steinberg
