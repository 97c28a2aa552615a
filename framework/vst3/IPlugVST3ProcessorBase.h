#pragma once

// The audio half of the VST3 adapter: buses from the channel configurations,
// the host's bus arrangements, the processing set-up and the process call
// (transport, automation, MIDI and audio in 32 or 64 bit).
//
// Threads: CreateBuses and ApplyBusArrangements run on the host's main thread;
// PrepareProcessing on the thread that sets up processing (audio stopped);
// RunProcessCall and everything it calls on the host's audio thread, without
// allocation or locks (the MIDI output queue only grows when a plug-in that
// declares MIDI output sends more than a block's worth of messages).

#include "framework/core/IPlugProcessor.h"
#include "framework/plugin/IPlugAPIBase.h"
#include "framework/vst3/MidiOutputQueue.h"
#include "framework/vst3/ParamIdTable.h"
#include "framework/vst3/SingleComponentEffect.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstevents.h"
#include "pluginterfaces/vst/ivstprocesscontext.h"

#include <vector>

namespace iplug
{

// The longest block prepared inside, whatever the host announces.
inline constexpr int32_t kMaxPreparedBlock = 8192;

class IPlugVST3ProcessorBase : public IPlugProcessor
{
public:
  IPlugVST3ProcessorBase(const IPluginSpec& spec, IPlugAPIBase& owner);

  // Channel configurations as the host sees them.
  // The most buses any configuration has in `direction`; configIdx gets the last configuration
  // with that many (0 without configurations).
  int LargestBusCount(int direction, int* configIdx = nullptr) const;
  // First configuration whose buses have exactly these channel counts, inputs and outputs; -1 if none.
  int FindChannelConfig(const int* inputCounts, int nInputs, const int* outputCounts, int nOutputs) const;
  // Widest that bus position is in any configuration; -1 when the first configuration has a
  // wildcard bus in that direction, 0 when no configuration has a bus there.
  int LargestBusChannelCount(int direction, int bus) const;

  // 32-bit host buffers are processed in place: connected channels from `first` take the next host
  // pointer, unconnected ones keep their scratch.
  void AttachFloatBuffers(int direction, int first, int count, float** hostBuffers);
  // ProcessBlock on the attached pointers, in slices of at most the block size.
  void ProcessFloatBuffers(int frames);
  void ClearScratchBuffers();

  void CreateBuses(Steinberg::Vst::SingleComponentEffect& effect) const;
  // False when no configuration fits. Otherwise the buses take the nearest arrangement of the
  // fitting configuration; `exact` tells whether that is the one asked for (hosts exempt from
  // arrangement changes always get true).
  bool ApplyBusArrangements(Steinberg::Vst::SingleComponentEffect& effect,
                            Steinberg::Vst::SpeakerArrangement* inputs, int numIns,
                            Steinberg::Vst::SpeakerArrangement* outputs, int numOuts, bool& exact);
  // Takes a set-up the caller has checked: sample rate, block size, MIDI output storage, reset.
  // Blocks longer than kMaxPreparedBlock are processed in slices, so any host block size needs
  // bounded memory. False, with nothing changed, when the buffers cannot be had.
  bool PrepareProcessing(const Steinberg::Vst::ProcessSetup& setup);
  // `ids` maps the host's parameter IDs of automation to parameter indices.
  void RunProcessCall(Steinberg::Vst::SingleComponentEffect& effect, Steinberg::Vst::ProcessData& data,
                      const ParamIdTable& ids);

  bool SendMidiMessage(const IMidiEvent& msg) override;

  // The transport the last process call left (for tests and the effect).
  const Steinberg::Vst::ProcessContext& GetProcessContext() const { return mContext; }
  bool IsSidechainActive() const { return mSidechainActive; }
  const MidiOutputQueue& GetMidiOutputQueue() const { return mMidiOutput; }

protected:
  void ApplyParameterChanges(Steinberg::Vst::IParameterChanges* changes, const ParamIdTable& ids);
  void ReadMidiInput(Steinberg::Vst::IEventList* events);
  void WriteMidiOutput(Steinberg::Vst::IEventList* events, int numSamples);
  void RunAudio(Steinberg::Vst::SingleComponentEffect& effect, Steinberg::Vst::ProcessData& data);
  void SilenceUnwrittenOutputs(Steinberg::Vst::ProcessData& data);

private:
  void UpdateTransport();
  void AddBuses(Steinberg::Vst::SingleComponentEffect& effect, int direction, int configIdx,
                const std::vector<bool>* keepActive) const;

  IPlugAPIBase& mOwner;
  int mMainInputChannels;
  Steinberg::Vst::ProcessContext mContext{};
  MidiOutputQueue mMidiOutput;
  bool mSidechainActive = false;
  // 32-bit host pointer per channel of the current call; null for channels on their scratch.
  std::vector<float*> mHostPointers[2];
  // Packets sent as data events stay readable until the host has taken the event list.
  ISysexPacket mSysexOut[kSysexRingSlots];
};

} // namespace iplug
