#include "framework/vst3/IPlugVST3ProcessorBase.h"

#include "framework/vst3/SpeakerArrangements.h"
#include "framework/vst3/Vst3ParameterChanges.h"
#include "framework/vst3/Vst3Strings.h"

#include <algorithm>
#include <cstring>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace iplug
{

namespace
{
constexpr HostId kHostArdour = 28;
constexpr HostId kHostMixbus = 45;

// Channels a host bus buffer really offers in the given sample size: none without pointers.
int ChannelsOf(const AudioBusBuffers& bus, int32 sampleSize)
{
  const bool hasPointers =
      sampleSize == kSample32 ? bus.channelBuffers32 != nullptr : bus.channelBuffers64 != nullptr;
  return hasPointers && bus.numChannels > 0 ? bus.numChannels : 0;
}
} // namespace

IPlugVST3ProcessorBase::IPlugVST3ProcessorBase(const IPluginSpec& spec, IPlugAPIBase& owner)
    : IPlugProcessor(spec), mOwner(owner)
{
  for (int direction : {kInput, kOutput})
  {
    MarkChannelsConnected(direction, 0, NChannels(direction), true);
    mHostPointers[direction].assign(static_cast<size_t>(NChannels(direction)), nullptr);
  }
  mMainInputChannels = LargestBusChannelCount(kInput, 0);
  SetBlockSize(512);
}

int IPlugVST3ProcessorBase::LargestBusCount(int direction, int* configIdx) const
{
  int largest = 0;
  int index = 0;
  for (int i = 0; i < NChannelLayouts(); ++i)
  {
    const int buses = GetChannelLayout(i)->Buses(direction).GetCount();
    if (buses >= largest)
    {
      largest = buses;
      index = i;
    }
  }
  if (configIdx) *configIdx = index;
  return largest;
}

int IPlugVST3ProcessorBase::FindChannelConfig(const int* inputCounts, int nInputs, const int* outputCounts,
                                              int nOutputs) const
{
  auto matches = [](const PointerList<BusLayout>& buses, const int* counts, int n)
  {
    if (buses.GetCount() != n) return false;
    for (int b = 0; b < n; ++b)
      if (buses.Get(b)->channelCount != counts[b]) return false;
    return true;
  };
  for (int i = 0; i < NChannelLayouts(); ++i)
  {
    const ChannelLayout* layout = GetChannelLayout(i);
    if (matches(layout->inputBuses, inputCounts, nInputs) &&
        matches(layout->outputBuses, outputCounts, nOutputs))
      return i;
  }
  return -1;
}

int IPlugVST3ProcessorBase::LargestBusChannelCount(int direction, int bus) const
{
  if (NChannelLayouts() == 0) return 0;
  const PointerList<BusLayout>& first = GetChannelLayout(0)->Buses(direction);
  for (int b = 0; b < first.GetCount(); ++b)
    if (first.Get(b)->channelCount == kWildcardChannels) return -1;
  int largest = 0;
  for (int i = 0; i < NChannelLayouts(); ++i)
  {
    const BusLayout* layout = GetChannelLayout(i)->Buses(direction).Get(bus);
    if (layout) largest = std::max(largest, static_cast<int>(layout->channelCount));
  }
  return largest;
}

void IPlugVST3ProcessorBase::AttachFloatBuffers(int direction, int first, int count, float** hostBuffers)
{
  if (!hostBuffers || count <= 0) return;
  const int end = static_cast<int>(std::min<int64_t>(int64_t{first} + count, NChannels(direction)));
  int k = 0;
  for (int c = std::max(first, 0); c < end; ++c)
  {
    IChannelBinding* channel = GetChannelBinding(direction, c);
    if (!channel->connected) continue;
    float* host = hostBuffers[k++];
    mHostPointers[direction][static_cast<size_t>(c)] = host;
    if (host)
      *channel->entry = host;
    else
    {
      // A host that names a channel without memory gets silence in and a scratch out.
      *channel->entry = channel->Scratch();
      if (channel->Scratch() && direction == kInput)
        std::memset(channel->Scratch(), 0, sizeof(float) * static_cast<size_t>(GetBlockSize()));
    }
  }
}

void IPlugVST3ProcessorBase::ProcessFloatBuffers(int frames)
{
  const int blockSize = GetBlockSize();
  if (frames <= 0 || blockSize <= 0) return;
  for (int offset = 0; offset < frames; offset += blockSize)
  {
    const int n = std::min(blockSize, frames - offset);
    for (int direction : {kInput, kOutput})
      for (int c = 0; c < NChannels(direction); ++c)
        if (float* host = mHostPointers[direction][static_cast<size_t>(c)])
          *GetChannelBinding(direction, c)->entry = host + offset;
    ProcessBlock(GetChannelPointers(kInput), GetChannelPointers(kOutput), n);
  }
}

void IPlugVST3ProcessorBase::ClearScratchBuffers()
{
  for (int direction : {kInput, kOutput})
    for (int c = 0; c < NChannels(direction); ++c)
      if (float* scratch = GetChannelBinding(direction, c)->Scratch())
        std::memset(scratch, 0, sizeof(float) * static_cast<size_t>(GetBlockSize()));
}

void IPlugVST3ProcessorBase::AddBuses(SingleComponentEffect& effect, int direction, int configIdx,
                                      const std::vector<bool>* keepActive) const
{
  const ChannelLayout* layout = GetChannelLayout(configIdx);
  if (!layout) return;
  const PointerList<BusLayout>& buses = layout->Buses(direction);
  for (int i = 0; i < buses.GetCount(); ++i)
  {
    TextBuffer label;
    DescribeBus(direction, i, buses.GetCount(), label);
    String128 name;
    WidenAscii(label.Get(), name, 128);
    const SpeakerArrangement arrangement = SpeakerArrangementForChannels(buses.Get(i)->channelCount);
    const BusType type = i == 0 ? kMain : kAux;
    const int32 flags = i == 0 ? BusInfo::kDefaultActive : 0;
    AudioBus* bus = direction == kInput ? effect.addAudioInput(name, arrangement, type, flags)
                                        : effect.addAudioOutput(name, arrangement, type, flags);
    if (keepActive && static_cast<size_t>(i) < keepActive->size())
      bus->setActive((*keepActive)[static_cast<size_t>(i)]);
  }
}

void IPlugVST3ProcessorBase::CreateBuses(SingleComponentEffect& effect) const
{
  int inputConfig = 0;
  int outputConfig = 0;
  LargestBusCount(kInput, &inputConfig);
  const int outputBuses = LargestBusCount(kOutput, &outputConfig);
  AddBuses(effect, kInput, inputConfig, nullptr);
  AddBuses(effect, kOutput, outputConfig, nullptr);
  if (GetPluginKind() == 2 && outputBuses == 0)
    effect.addAudioOutput(STR16("Dummy Output"), SpeakerArr::kEmpty, kMain, 0);
  if (DoesMidiIn()) effect.addEventInput(STR16("MIDI Input"), 1, kMain, BusInfo::kDefaultActive);
  if (DoesMidiOut()) effect.addEventOutput(STR16("MIDI Output"), 1, kMain, BusInfo::kDefaultActive);
}

bool IPlugVST3ProcessorBase::ApplyBusArrangements(SingleComponentEffect& effect, SpeakerArrangement* inputs,
                                                  int numIns, SpeakerArrangement* outputs, int numOuts,
                                                  bool& exact)
{
  exact = true;
  const HostId host = mOwner.GetHost();
  if (host == kHostArdour || host == kHostMixbus) return true;
  for (int direction : {kInput, kOutput})
    MarkChannelsConnected(direction, 0, NChannels(direction), false);
  if (numIns < 0 || numOuts < 0 || (numIns > 0 && !inputs) || (numOuts > 0 && !outputs)) return false;
  if (numIns > LargestBusCount(kInput) || numOuts > LargestBusCount(kOutput)) return false;
  // Bus counts are bounded by the configurations above: no allocation beyond a few entries.
  std::vector<int> inCounts(static_cast<size_t>(numIns));
  std::vector<int> outCounts(static_cast<size_t>(numOuts));
  for (int i = 0; i < numIns; ++i)
    inCounts[static_cast<size_t>(i)] = ChannelCountOfArrangement(inputs[i]);
  for (int i = 0; i < numOuts; ++i)
    outCounts[static_cast<size_t>(i)] = ChannelCountOfArrangement(outputs[i]);
  const int config = FindChannelConfig(inCounts.data(), numIns, outCounts.data(), numOuts);
  if (config < 0) return false;

  // Re-created buses keep the activation the host gave them: hosts do not activate again after
  // an arrangement change, and an inactive output bus would stay silent.
  std::vector<bool> activeIn, activeOut;
  for (int i = 0; i < effect.getBusCount(kAudio, kInput); ++i)
    activeIn.push_back(effect.getBus(kAudio, kInput, i)->isActive());
  for (int i = 0; i < effect.getBusCount(kAudio, kOutput); ++i)
    activeOut.push_back(effect.getBus(kAudio, kOutput, i)->isActive());
  effect.removeAudioBusses();
  AddBuses(effect, kInput, config, &activeIn);
  AddBuses(effect, kOutput, config, &activeOut);

  // Adapted (Ls+Rs for L+R, a centre for mono): the host must read the arrangement back.
  auto carries = [&](int direction, const SpeakerArrangement* wanted, int n)
  {
    for (int i = 0; i < n; ++i)
    {
      auto* bus = static_cast<AudioBus*>(effect.getBus(kAudio, direction, i));
      if (!bus || bus->getArrangement() != wanted[i]) return false;
    }
    return true;
  };
  exact = carries(kInput, inputs, numIns) && carries(kOutput, outputs, numOuts);
  return true;
}

bool IPlugVST3ProcessorBase::PrepareProcessing(const ProcessSetup& setup)
{
  const int32_t block = std::clamp<int32_t>(setup.maxSamplesPerBlock, 1, kMaxPreparedBlock);
  // The memory of the scratch blocks is tried first: a set-up that cannot have it leaves the current
  // one whole (SetBlockSize itself gives up the old blocks when it fails).
  if (block != GetBlockSize())
  {
    HeapBuffer probe;
    const int32_t channels = NChannels(kInput) + NChannels(kOutput);
    if (!probe.ResizeHeapBuffer(channels * block * static_cast<int32_t>(sizeof(float)), false) &&
        channels > 0)
      return false;
  }
  if (!SetBlockSize(block)) return false;
  SetSampleRate(setup.sampleRate);
  mMidiOutput.Prepare(block);
  OnReset();
  return true;
}

void IPlugVST3ProcessorBase::UpdateTransport()
{
  const ProcessContext& c = mContext;
  mTransport.tempo = c.tempo;
  mTransport.samplePos =
      (c.state & ProcessContext::kProjectTimeMusicValid) ? static_cast<double>(c.projectTimeSamples) : -1.0;
  mTransport.ppqPos = c.projectTimeMusic;
  mTransport.lastBar = c.barPositionMusic;
  mTransport.cycleStart = c.cycleStartMusic;
  mTransport.cycleEnd = c.cycleEndMusic;
  mTransport.numerator = c.timeSigNumerator;
  mTransport.denominator = c.timeSigDenominator;
  mTransport.transportIsRunning = (c.state & ProcessContext::kPlaying) != 0;
  mTransport.transportLoopEnabled = (c.state & ProcessContext::kCycleActive) != 0;
}

void IPlugVST3ProcessorBase::ApplyParameterChanges(IParameterChanges* changes, const ParamIdTable& ids)
{
  ForEachParameterChange(changes, ids, mOwner.NParams(),
                         [&](int paramIdx, double normalized, int offset)
                         {
                           mOwner.GetParam(paramIdx)->SetNormalized(normalized);
                           mOwner.OnParamChange(paramIdx, kHost, offset);
                         });
}

void IPlugVST3ProcessorBase::ReadMidiInput(IEventList* events)
{
  const int32 count = events ? events->getEventCount() : 0;
  for (int32 i = 0; i < count; ++i)
  {
    Event e{};
    if (events->getEvent(i, e) != kResultOk) continue;
    IMidiEvent msg;
    msg.offset = e.sampleOffset;
    auto byte7 = [](double v) { return static_cast<uint8_t>(std::clamp(static_cast<int>(v), 0, 127)); };
    switch (e.type)
    {
    case Event::kNoteOnEvent:
      msg.status = static_cast<uint8_t>(0x90 | (e.noteOn.channel & 0x0F));
      msg.data1 = byte7(e.noteOn.pitch);
      msg.data2 = byte7(e.noteOn.velocity * 127.f);
      break;
    case Event::kNoteOffEvent:
      msg.status = static_cast<uint8_t>(0x80 | (e.noteOff.channel & 0x0F));
      msg.data1 = byte7(e.noteOff.pitch);
      msg.data2 = 0;
      break;
    case Event::kPolyPressureEvent:
      msg.status = static_cast<uint8_t>(0xA0 | (e.polyPressure.channel & 0x0F));
      msg.data1 = byte7(e.polyPressure.pitch);
      msg.data2 = byte7(e.polyPressure.pressure * 127.0);
      break;
    case Event::kDataEvent:
      if (e.data.type == DataEvent::kMidiSysEx && (e.data.bytes || e.data.size == 0))
      {
        ISysexEvent sysex;
        sysex.offset = e.sampleOffset;
        sysex.size = static_cast<int32_t>(std::min<uint32>(e.data.size, 0x7FFFFFFF));
        sysex.data = e.data.bytes;
        ProcessSysexMessage(sysex);
      }
      continue;
    default:
      continue;
    }
    ProcessMidiMessage(msg);
    mOwner.EnqueueMidiForEditor(msg);
  }
  IMidiEvent fromEditor;
  while (mOwner.DequeueMidiFromEditor(fromEditor))
    ProcessMidiMessage(fromEditor);
}

void IPlugVST3ProcessorBase::WriteMidiOutput(IEventList* events, int numSamples)
{
  mMidiOutput.WriteTo(events, std::max(numSamples, 0));
  if (!events) return;
  for (ISysexPacket& packet : mSysexOut)
  {
    if (!mOwner.DequeueSysexFromEditor(packet)) break;
    const ISysexEvent sysex = IPlugAPIBase::SysexEventFromPacket(packet);
    Event e{};
    e.busIndex = 0;
    e.sampleOffset = sysex.offset;
    e.type = Event::kDataEvent;
    e.data.type = DataEvent::kMidiSysEx;
    e.data.size = static_cast<uint32>(sysex.size);
    e.data.bytes = packet.data;
    events->addEvent(e);
  }
}

void IPlugVST3ProcessorBase::RunAudio(SingleComponentEffect& effect, ProcessData& data)
{
  const int32 size = data.symbolicSampleSize;
  const int frames = data.numSamples;
  for (int direction : {kInput, kOutput})
    std::fill(mHostPointers[direction].begin(), mHostPointers[direction].end(), nullptr);

  auto attach = [&](int direction, int first, int count, const AudioBusBuffers& bus)
  {
    if (size == kSample32)
      AttachFloatBuffers(direction, first, count, bus.channelBuffers32);
    else
      BindHostBuffers(direction, first, count, bus.channelBuffers64, frames);
  };

  // Inputs. A call without input buses disconnects them: the previous call's pointers are gone.
  MarkChannelsConnected(kInput, 0, NChannels(kInput), false);
  const int numInputs = data.inputs ? data.numInputs : 0;
  if (numInputs > 0)
  {
    const int main = ChannelsOf(data.inputs[0], size);
    const int sideStart = std::max(mMainInputChannels, 0);
    if (effect.getBusCount(kAudio, kInput) > 1)
    {
      if (effect.getBus(kAudio, kInput, 1)->isActive())
      {
        mSidechainActive = true;
        const int side = numInputs > 1 ? ChannelsOf(data.inputs[1], size) : 0;
        MarkChannelsConnected(kInput, 0, main, true);
        MarkChannelsConnected(kInput, sideStart, side, true);
      }
      else
      {
        if (mSidechainActive) ClearScratchBuffers();
        mSidechainActive = false;
        MarkChannelsConnected(kInput, 0, main, true);
      }
    }
    else
      MarkChannelsConnected(kInput, 0, main, true);
    attach(kInput, 0, main, data.inputs[0]);
    if (mSidechainActive && numInputs > 1)
      attach(kInput, sideStart, ChannelsOf(data.inputs[1], size), data.inputs[1]);
  }

  // Outputs, bus after bus. A bus the plug-in does not have counts as inactive.
  const int numOutputs = data.outputs ? data.numOutputs : 0;
  if (numOutputs <= 0) MarkChannelsConnected(kOutput, 0, NChannels(kOutput), false);
  int offset = 0;
  for (int b = 0; b < numOutputs; ++b)
  {
    const int n = ChannelsOf(data.outputs[b], size);
    Bus* bus = effect.getBus(kAudio, kOutput, b);
    MarkChannelsConnected(kOutput, offset, n, bus && bus->isActive());
    MarkChannelsConnected(kOutput, offset + n, NChannels(kOutput) - (offset + n), false);
    attach(kOutput, offset, n, data.outputs[b]);
    offset += n;
  }

  SilenceUnwrittenOutputs(data);
  if (size == kSample32)
    ProcessFloatBuffers(frames);
  else
    ProcessHostBuffers(frames);
}

void IPlugVST3ProcessorBase::SilenceUnwrittenOutputs(ProcessData& data)
{
  // The plug-in writes the connected output channels, and only when it has a block to run; every
  // other channel the host offers gets silence rather than whatever the buffer held.
  const int32 size = data.symbolicSampleSize;
  const bool processes = GetBlockSize() > 0;
  const int numOutputs = data.outputs ? data.numOutputs : 0;
  int channel = 0;
  for (int b = 0; b < numOutputs; ++b)
  {
    const AudioBusBuffers& bus = data.outputs[b];
    const int n = ChannelsOf(bus, size);
    for (int c = 0; c < n; ++c, ++channel)
    {
      const bool written =
          processes && channel < NChannels(kOutput) && GetChannelBinding(kOutput, channel)->connected;
      if (written) continue;
      if (size == kSample32 && bus.channelBuffers32[c])
        std::memset(bus.channelBuffers32[c], 0, sizeof(float) * static_cast<size_t>(data.numSamples));
      else if (size == kSample64 && bus.channelBuffers64[c])
        std::memset(bus.channelBuffers64[c], 0, sizeof(double) * static_cast<size_t>(data.numSamples));
    }
  }
}

void IPlugVST3ProcessorBase::RunProcessCall(SingleComponentEffect& effect, ProcessData& data,
                                            const ParamIdTable& ids)
{
  if (data.processContext) mContext = *data.processContext;
  UpdateTransport();
  // Hosts flush automation with calls of 0 samples and no buffers: the values still count.
  ApplyParameterChanges(data.inputParameterChanges, ids);
  if (DoesMidiIn()) ReadMidiInput(data.inputEvents);
  const bool knownSize = data.symbolicSampleSize == kSample32 || data.symbolicSampleSize == kSample64;
  if (knownSize && data.numSamples > 0) RunAudio(effect, data);
  if (DoesMidiOut()) WriteMidiOutput(data.outputEvents, data.numSamples);
}

bool IPlugVST3ProcessorBase::SendMidiMessage(const IMidiEvent& msg)
{
  return mMidiOutput.Add(msg);
}

} // namespace iplug
