#include "framework/vst3/SingleComponentEffect.h"

namespace Steinberg
{
namespace Vst
{

tresult PLUGIN_API SingleComponentControllerRole::getParameterInfo(int32 paramIndex, ParameterInfo& info)
{
  if (paramIndex < 0 || paramIndex >= parameters.getParameterCount()) return kInvalidArgument;
  return EditControllerEx1::getParameterInfo(paramIndex, info);
}

tresult PLUGIN_API SingleComponentControllerRole::getUnitInfo(int32 unitIndex, UnitInfo& info)
{
  if (unitIndex < 0 || unitIndex >= getUnitCount()) return kInvalidArgument;
  return EditControllerEx1::getUnitInfo(unitIndex, info);
}

SingleComponentEffect::SingleComponentEffect()
    : audioInputs(kAudio, kInput), audioOutputs(kAudio, kOutput), eventInputs(kEvent, kInput),
      eventOutputs(kEvent, kOutput)
{
  processSetup.maxSamplesPerBlock = 1024;
  processSetup.processMode = kRealtime;
  processSetup.sampleRate = 44100.0;
  processSetup.symbolicSampleSize = kSample32;
}

SingleComponentEffect::~SingleComponentEffect() = default;

tresult PLUGIN_API SingleComponentEffect::initialize(FUnknown* context)
{
  return EditControllerEx1::initialize(context);
}

tresult PLUGIN_API SingleComponentEffect::terminate()
{
  parameters.removeAll();
  removeAllBusses();
  return EditControllerEx1::terminate();
}

BusList* SingleComponentEffect::getBusList(MediaType type, BusDirection dir)
{
  if (type == kAudio) return dir == kInput ? &audioInputs : dir == kOutput ? &audioOutputs : nullptr;
  if (type == kEvent) return dir == kInput ? &eventInputs : dir == kOutput ? &eventOutputs : nullptr;
  return nullptr;
}

Bus* SingleComponentEffect::getBus(MediaType type, BusDirection dir, int32 index)
{
  BusList* list = getBusList(type, dir);
  if (!list || index < 0 || index >= static_cast<int32>(list->size())) return nullptr;
  return (*list)[static_cast<size_t>(index)].get();
}

int32 PLUGIN_API SingleComponentEffect::getBusCount(MediaType type, BusDirection dir)
{
  BusList* list = getBusList(type, dir);
  return list ? static_cast<int32>(list->size()) : 0;
}

tresult PLUGIN_API SingleComponentEffect::getBusInfo(MediaType type, BusDirection dir, int32 index,
                                                     BusInfo& info)
{
  Bus* bus = getBus(type, dir, index);
  if (!bus) return kInvalidArgument;
  // Filled aside and copied on success, so that a refusal leaves the host's record as it was.
  BusInfo filled = info;
  filled.mediaType = type;
  filled.direction = dir;
  if (!bus->getInfo(filled)) return kResultFalse;
  info = filled;
  return kResultTrue;
}

tresult PLUGIN_API SingleComponentEffect::activateBus(MediaType type, BusDirection dir, int32 index,
                                                      TBool state)
{
  Bus* bus = getBus(type, dir, index);
  if (!bus) return kInvalidArgument;
  bus->setActive(state);
  return kResultTrue;
}

tresult PLUGIN_API SingleComponentEffect::setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                                             SpeakerArrangement* outputs, int32 numOuts)
{
  if (numIns < 0 || numOuts < 0 || (numIns > 0 && !inputs) || (numOuts > 0 && !outputs))
    return kInvalidArgument;
  if (numIns > static_cast<int32>(audioInputs.size()) || numOuts > static_cast<int32>(audioOutputs.size()))
    return kResultFalse;
  for (int32 i = 0; i < numIns; ++i)
    if (auto* bus = FCast<AudioBus>(audioInputs[static_cast<size_t>(i)].get()))
      bus->setArrangement(inputs[i]);
  for (int32 i = 0; i < numOuts; ++i)
    if (auto* bus = FCast<AudioBus>(audioOutputs[static_cast<size_t>(i)].get()))
      bus->setArrangement(outputs[i]);
  return kResultTrue;
}

tresult PLUGIN_API SingleComponentEffect::getBusArrangement(BusDirection dir, int32 index,
                                                            SpeakerArrangement& arr)
{
  auto* bus = FCast<AudioBus>(getBus(kAudio, dir, index));
  if (!bus) return kInvalidArgument;
  arr = bus->getArrangement();
  return kResultTrue;
}

tresult PLUGIN_API SingleComponentEffect::canProcessSampleSize(int32 symbolicSampleSize)
{
  return symbolicSampleSize == kSample32 ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API SingleComponentEffect::setupProcessing(ProcessSetup& setup)
{
  if (canProcessSampleSize(setup.symbolicSampleSize) != kResultTrue) return kResultFalse;
  processSetup = setup;
  return kResultOk;
}

namespace
{
template <class BusType, class... Args> BusType* AddBus(BusList& list, Args&&... args)
{
  auto* bus = new BusType(args...);
  list.push_back(IPtr<Bus>(bus, false));
  return bus;
}
} // namespace

AudioBus* SingleComponentEffect::addAudioInput(const TChar* name, SpeakerArrangement arr, BusType busType,
                                               int32 flags)
{
  return AddBus<AudioBus>(audioInputs, name, busType, flags, arr);
}

AudioBus* SingleComponentEffect::addAudioOutput(const TChar* name, SpeakerArrangement arr, BusType busType,
                                                int32 flags)
{
  return AddBus<AudioBus>(audioOutputs, name, busType, flags, arr);
}

EventBus* SingleComponentEffect::addEventInput(const TChar* name, int32 channels, BusType busType,
                                               int32 flags)
{
  return AddBus<EventBus>(eventInputs, name, busType, flags, channels);
}

EventBus* SingleComponentEffect::addEventOutput(const TChar* name, int32 channels, BusType busType,
                                                int32 flags)
{
  return AddBus<EventBus>(eventOutputs, name, busType, flags, channels);
}

tresult SingleComponentEffect::removeAudioBusses()
{
  audioInputs.clear();
  audioOutputs.clear();
  return kResultOk;
}

tresult SingleComponentEffect::removeEventBusses()
{
  eventInputs.clear();
  eventOutputs.clear();
  return kResultOk;
}

tresult SingleComponentEffect::removeAllBusses()
{
  removeAudioBusses();
  removeEventBusses();
  return kResultOk;
}

} // namespace Vst
} // namespace Steinberg
