#include "framework/vst3/IPlugVST3.h"

#include "framework/core/ScopedFloatEnvironment.h"
#include "framework/vst3/Guarded.h"
#include "framework/vst3/ParamIdTable.h"
#include "framework/vst3/Vst3StateStream.h"
#include "framework/vst3/Vst3Strings.h"

#include "pluginterfaces/vst/ivsthostapplication.h"

#include <climits>
#include <cmath>
#include <new>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace iplug
{

namespace
{
// The host whose streams report failure on reads that still carry state bytes.
constexpr HostId kHostWavelab = 31;

// Set while this thread is inside setProcessing or process: the host must not be called back there.
thread_local int tProcessingCallDepth = 0;

struct ProcessingCallScope
{
  ProcessingCallScope() { ++tProcessingCallDepth; }
  ~ProcessingCallScope() { --tProcessingCallDepth; }
};
} // namespace

IPlugVST3::IPlugVST3(const InstanceInfo&, const IPluginSpec& spec)
    : IPlugAPIBase(spec, kAPIVST3), IPlugVST3ProcessorBase(spec, *this), mReportedLatency(spec.latency)
{
  mChannelName.AssignText("");
  // The queue timer starts in initialize(): started here, a timer thread could call the
  // plug-in's virtual operations while the classes derived from this one are still being built.
}

IPlugVST3::~IPlugVST3()
{
  // The queue timer calls into this object: stop it before any part of it goes.
  StopQueueTimer();
}

tresult PLUGIN_API IPlugVST3::initialize(FUnknown* context)
{
  return Guarded(kOutOfMemory,
                 [&]() -> tresult
                 {
                   if (SingleComponentEffect::initialize(context) != kResultOk) return kResultFalse;
                   CreateBuses(*this);
                   CreateParameters(*this, parameters, *this, DoesMidiIn());
                   if (GetHost() == kHostUninit && context)
                   {
                     IHostApplication* app = nullptr;
                     if (context->queryInterface(IHostApplication::iid, reinterpret_cast<void**>(&app)) ==
                             kResultOk &&
                         app)
                     {
                       String128 name = {};
                       if (app->getName(name) == kResultOk)
                       {
                         name[127] = 0;
                         char ascii[128];
                         NarrowToAscii(name, ascii, 128);
                         SetHost(ascii, 0);
                       }
                       app->release();
                     }
                   }
                   NotifyAllParams(kReset);
                   if (!IsQueueTimerRunning()) StartQueueTimer();
                   return kResultOk;
                 });
}

tresult PLUGIN_API IPlugVST3::terminate()
{
  StopQueueTimer();
  return Guarded(kResultFalse, [&]() -> tresult { return SingleComponentEffect::terminate(); });
}

tresult PLUGIN_API IPlugVST3::setActive(TBool state)
{
  ScopedFloatEnvironment floatEnvironment; // activation prepares the effect
  return Guarded(kOutOfMemory,
                 [&]() -> tresult
                 {
                   OnActivate(state != 0);
                   AnnounceLatencyIfChanged();
                   return kResultOk;
                 });
}

tresult PLUGIN_API IPlugVST3::setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                                 SpeakerArrangement* outputs, int32 numOuts)
{
  return Guarded(kResultFalse,
                 [&]() -> tresult
                 {
                   bool exact = false;
                   if (!ApplyBusArrangements(*this, inputs, numIns, outputs, numOuts, exact))
                     return kResultFalse;
                   return exact ? kResultTrue : kResultFalse;
                 });
}

tresult PLUGIN_API IPlugVST3::canProcessSampleSize(int32 symbolicSampleSize)
{
  return symbolicSampleSize == kSample32 || symbolicSampleSize == kSample64 ? kResultTrue : kResultFalse;
}

uint32 PLUGIN_API IPlugVST3::getLatencySamples()
{
  const int32_t latency = GetLatency();
  mReportedLatency.store(latency);
  return static_cast<uint32>(latency > 0 ? latency : 0);
}

tresult PLUGIN_API IPlugVST3::setupProcessing(ProcessSetup& setup)
{
  ScopedFloatEnvironment floatEnvironment; // the set-up prepares the effect
  // Nothing is stored from a set-up that cannot be run.
  if (setup.symbolicSampleSize != kSample32 && setup.symbolicSampleSize != kSample64) return kResultFalse;
  if (setup.maxSamplesPerBlock < 1 || !std::isfinite(setup.sampleRate) || setup.sampleRate <= 0.0)
    return kResultFalse;
  return Guarded(kOutOfMemory,
                 [&]() -> tresult
                 {
                   if (!PrepareProcessing(setup)) return kResultFalse;
                   processSetup = setup;
                   AnnounceLatencyIfChanged();
                   return kResultOk;
                 });
}

tresult PLUGIN_API IPlugVST3::setProcessing(TBool state)
{
  ScopedFloatEnvironment floatEnvironment; // stopping resets the effect
  ProcessingCallScope scope;
  return Guarded(kResultOk,
                 [&]() -> tresult
                 {
                   if (!state) OnReset();
                   return kResultOk;
                 });
}

tresult PLUGIN_API IPlugVST3::process(ProcessData& data)
{
  ScopedFloatEnvironment floatEnvironment;
  ProcessingCallScope scope;
  return Guarded(kResultOk,
                 [&]() -> tresult
                 {
                   RunProcessCall(*this, data, mParamIds);
                   return kResultOk;
                 });
}

uint32 PLUGIN_API IPlugVST3::getTailSamples()
{
  const int32_t tail = GetTailLength();
  if (tail == INT_MAX) return kInfiniteTail;
  return static_cast<uint32>(tail > 0 ? tail : 0);
}

ParamValue PLUGIN_API IPlugVST3::getParamNormalized(ParamID id)
{
  const Parameter* param = getParameterObject(id);
  return param ? param->getNormalized() : 0.0;
}

tresult PLUGIN_API IPlugVST3::setParamNormalized(ParamID id, ParamValue value)
{
  Parameter* object = getParameterObject(id);
  if (!object || !std::isfinite(value)) return kResultFalse;
  return Guarded(kResultFalse,
                 [&]() -> tresult
                 {
                   const double normalized = std::clamp(value, 0.0, 1.0);
                   object->setNormalized(normalized);
                   const int32_t paramIdx = ParamIndexFromId(id);
                   if (paramIdx >= 0 && paramIdx < NParams())
                   {
                     GetParam(paramIdx)->SetNormalized(normalized);
                     OnParamChangeInEditor(paramIdx, kHost);
                     SendParamValueToEditor(paramIdx, normalized, true);
                   }
                   return kResultOk;
                 });
}

tresult PLUGIN_API IPlugVST3::getProgramName(ProgramListID listId, int32 programIndex, String128 name)
{
  if (!name || NPresets() == 0 || listId != kFactoryProgramList) return kResultFalse;
  const char* presetName = programIndex >= 0 && programIndex < NPresets() ? GetPresetName(programIndex) : "";
  WidenAscii(presetName ? presetName : "", name, 128);
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3::getMidiControllerAssignment(int32 busIndex, int16 channel,
                                                          CtrlNumber controller, ParamID& id)
{
  if (busIndex != 0 || channel != 0 || controller < 0) return kResultFalse;
  id = kMidiCCParamBase + static_cast<ParamID>(channel) * kNumMidiCCParams + static_cast<ParamID>(controller);
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3::setChannelContextInfos(IAttributeList* list)
{
  return Guarded(kResultFalse, [&]() -> tresult { return ReadChannelContext(list); });
}

tresult PLUGIN_API IPlugVST3::queryInterface(const TUID iid, void** obj)
{
  if (!obj) return kInvalidArgument;
  QUERY_INTERFACE(iid, obj, IMidiMapping::iid, IMidiMapping)
  QUERY_INTERFACE(iid, obj, ChannelContext::IInfoListener::iid, ChannelContext::IInfoListener)
  return SingleComponentEffect::queryInterface(iid, obj);
}

void IPlugVST3::BeginHostParamEdit(int paramIdx)
{
  beginEdit(MapParamId(paramIdx));
}

void IPlugVST3::SendParamValueToHost(int paramIdx, double normalizedValue)
{
  performEdit(MapParamId(paramIdx), normalizedValue);
}

void IPlugVST3::EndHostParamEdit(int paramIdx)
{
  endEdit(MapParamId(paramIdx));
}

void IPlugVST3::RefreshParameterObjects()
{
  for (int i = 0; i < NParams(); ++i)
    if (Parameter* object = getParameterObject(MapParamId(i)))
      object->setNormalized(GetParam(i)->GetNormalized());
}

void IPlugVST3::SendAllParamsToHost()
{
  RefreshParameterObjects();
  startGroupEdit();
  IPlugAPIBase::SendAllParamsToHost();
  finishGroupEdit();
}

void IPlugVST3::SetParamFromEditorNormalized(int paramIdx, double normalizedValue)
{
  if (Parameter* object = getParameterObject(MapParamId(paramIdx))) object->setNormalized(normalizedValue);
  SetParamFromEditor(paramIdx, normalizedValue);
  OnParamChangeInEditor(paramIdx, kUI);
}

void IPlugVST3::NotifyParamDetailsChanged()
{
  if (!componentHandler) return;
  IComponentHandler* handler = nullptr;
  if (componentHandler->queryInterface(IComponentHandler::iid, reinterpret_cast<void**>(&handler)) ==
          kResultOk &&
      handler)
  {
    handler->restartComponent(kParamTitlesChanged);
    handler->release();
  }
}

void IPlugVST3::SetLatency(int32_t samples)
{
  IPlugProcessor::SetLatency(samples);
  AnnounceLatencyIfChanged();
}

void IPlugVST3::AnnounceLatencyIfChanged()
{
  // A restart requested from inside setProcessing or process makes hosts that honour it call
  // setProcessing again: announce later, from setupProcessing or setActive.
  if (tProcessingCallDepth > 0 || !componentHandler || GetLatency() == mReportedLatency.load()) return;
  IComponentHandler* handler = nullptr;
  if (componentHandler->queryInterface(IComponentHandler::iid, reinterpret_cast<void**>(&handler)) ==
          kResultOk &&
      handler)
  {
    mReportedLatency.store(GetLatency());
    handler->restartComponent(kLatencyChanged);
    handler->release();
  }
}

tresult IPlugVST3::getComponentStateForHost(IBStream* stream)
{
  if (!stream) return kResultFalse;
  return Guarded(kResultFalse,
                 [&]() -> tresult
                 {
                   StateChunk chunk;
                   if (!SerializeState(chunk)) return kResultFalse;
                   // One write each, as hosts expect; the count a host reports is not second-guessed,
                   // but a write that fails must not be reported as a saved state.
                   int32 written = 0;
                   if (chunk.GetSize() > 0 && stream->write(const_cast<void*>(chunk.GetData()),
                                                            chunk.GetSize(), &written) != kResultOk)
                     return kResultFalse;
                   int32_t bypassWord = 0;
                   if (stream->write(&bypassWord, 4, &written) != kResultOk) return kResultFalse;
                   return kResultOk;
                 });
}

tresult IPlugVST3::setComponentStateFromHost(IBStream* stream)
{
  if (!stream) return kResultFalse;
  return Guarded(kResultFalse,
                 [&]() -> tresult
                 {
                   // This host reports failure on reads that still deliver bytes: keep reading them.
                   const bool keepFailedReads = GetHost() == kHostWavelab;
                   StateChunk chunk;
                   uint8_t block[kStateReadBlockBytes];
                   for (;;)
                   {
                     int32 count = 0;
                     const tresult result = stream->read(block, kStateReadBlockBytes, &count);
                     // No bytes end the loop for every host: a failing stream would otherwise never end.
                     if (count <= 0) break;
                     if (count > kStateReadBlockBytes) return kResultFalse;
                     if (result != kResultOk && !keepFailedReads) break;
                     if (chunk.GetSize() + count > kMaxStateStreamBytes) return kResultFalse;
                     if (chunk.PutBytes(block, count) < 0) return kResultFalse;
                   }
                   const int end = UnserializeState(chunk, 0);
                   if (end < 0) return kResultFalse;
                   if (StateHasBypassWord(chunk))
                   {
                     int64 position = 0;
                     if (stream->seek(end, IBStream::kIBSeekSet, &position) != kResultOk) return kResultFalse;
                     uint32_t bypassWord = 0;
                     int32 count = 0;
                     if (stream->read(&bypassWord, 4, &count) != kResultOk || count != 4 || bypassWord > 1)
                       return kResultFalse;
                   }
                   RefreshParameterObjects();
                   OnStateRestored();
                   return kResultOk;
                 });
}

} // namespace iplug
