#pragma once

#include "framework/core/ChannelLayout.h"
#include "framework/core/HeapBuffer.h"
#include "framework/core/IChannelBinding.h"
#include "framework/core/IMidiEvent.h"
#include "framework/core/IPluginConfig.h"
#include "framework/core/ISysexEvent.h"
#include "framework/core/ITransportState.h"
#include "framework/core/PointerList.h"
#include "framework/core/TextBuffer.h"

#include <cstdint>

namespace iplug
{
// The audio half of a plug-in: channel layouts from the configuration's channel I/O
// string, one record per input and output channel, binding of the host's 64-bit buffers
// to 32-bit scratch blocks, and the effect's ProcessBlock.
//
// Threads: BindHostBuffers, ProcessHostBuffers and ProcessBlock run on the audio thread
// and neither allocate nor lock. SetBlockSize, SetLatency and MarkChannelsConnected run on
// the thread that prepares processing, never during a block.
//
// ProcessBlock never sees more frames than the block size: longer host blocks are
// processed in slices of at most the block size.
class IPlugProcessor
{
public:
  explicit IPlugProcessor(const IPluginSpec& spec);
  virtual ~IPlugProcessor();
  IPlugProcessor(const IPlugProcessor&) = delete;
  IPlugProcessor& operator=(const IPlugProcessor&) = delete;

  // Channel i of inputs/outputs is the connected host channel or the channel's scratch;
  // either array is null when the direction has no channels. frames <= block size.
  virtual void ProcessBlock(float** inputs, float** outputs, int32_t frames);
  virtual void ProcessMidiMessage(const IMidiEvent& msg);
  virtual void ProcessSysexMessage(const ISysexEvent& msg);
  virtual void OnReset() {}
  virtual void OnActivate(bool active);
  virtual bool SendMidiMessage(const IMidiEvent& msg) = 0;
  // Sends every message even when one fails; true only when all succeeded.
  virtual bool SendMidiMessages(const IMidiEvent* msgs, int32_t count);
  virtual bool SendSysexMessage(const ISysexEvent& msg);
  virtual void DescribeBus(int32_t direction, int32_t busIndex, int32_t busCount, TextBuffer& name) const;
  virtual void SetLatency(int32_t samples);
  virtual void SetTailLength(int32_t samples);

  // The I/O string's configurations in string order; see ParseChannelLayouts.
  static int32_t ParseChannelLayouts(const char* text, PointerList<ChannelLayout>& layouts,
                                     ChannelLayoutLimits& limits)
  {
    return iplug::ParseChannelLayouts(text, layouts, limits);
  }

  int32_t CountConnectedChannels(int32_t direction) const;
  // Channels outside the existing ones are ignored. A channel that becomes unconnected
  // reads and writes its own scratch, which is cleared so that no stale samples reach
  // the block.
  void MarkChannelsConnected(int32_t direction, int32_t first, int32_t count, bool connected);
  // Sizes and clears every scratch block. Returns false (and leaves the block size 0, so
  // that nothing is processed) when the scratch blocks could not be allocated.
  bool SetBlockSize(int32_t frames);
  // The k-th connected channel of first .. first + count - 1 takes hostBuffers[k].
  // Inputs are converted into the scratch (at most one block); outputs are remembered and
  // filled by ProcessHostBuffers.
  void BindHostBuffers(int32_t direction, int32_t first, int32_t count, double** hostBuffers, int32_t frames);
  // Runs ProcessBlock over frames samples of the bound buffers and converts the outputs
  // back, slice by slice. Does nothing for frames <= 0 or before a block size is set.
  void ProcessHostBuffers(int32_t frames);

  static void CopyFloatToDouble(double* destination, const float* source, int32_t n);
  static void CopyDoubleToFloat(float* destination, const double* source, int32_t n);

  int32_t GetPluginKind() const { return mPluginKind; }
  bool DoesMidiIn() const { return mMidiIn; }
  bool DoesMidiOut() const { return mMidiOut; }
  int32_t GetLatency() const { return mLatency; }
  int32_t GetTailLength() const { return mTailLength; }
  double GetSampleRate() const { return mSampleRate; }
  void SetSampleRate(double sampleRate) { mSampleRate = sampleRate; }
  int32_t GetBlockSize() const { return mBlockSize; }
  const ITransportState& GetTransport() const { return mTransport; }

  int32_t NChannels(int32_t direction) const { return Bindings(direction).GetCount(); }
  bool IsChannelConnected(int32_t direction, int32_t channel) const;
  int32_t NChannelLayouts() const { return mChannelLayouts.GetCount(); }
  const ChannelLayout* GetChannelLayout(int32_t index) const { return mChannelLayouts.Get(index); }
  const ChannelLayoutLimits& GetChannelLayoutLimits() const { return mLimits; }

protected:
  // Default ProcessBlock: copies input i to output i where both exist, silences the rest.
  void CopyThrough(float** inputs, float** outputs, int32_t frames) const;

  // For adapters that attach host buffers themselves.
  IChannelBinding* GetChannelBinding(int32_t direction, int32_t channel) const
  {
    return Bindings(direction).Get(channel);
  }
  // The arrays ProcessBlock receives; null when the direction has no channels.
  float** GetChannelPointers(int32_t direction) const;

  ITransportState mTransport;

private:
  const PointerList<IChannelBinding>& Bindings(int32_t direction) const
  {
    return direction == kInput ? mInputChannels : mOutputChannels;
  }
  void CreateChannels(int32_t direction, int32_t count);
  void ProcessSlice(int32_t offset, int32_t frames);

  int32_t mPluginKind;
  bool mMidiIn;
  bool mMidiOut;
  bool mMidiThird;
  int32_t mLatency;
  double mSampleRate = 48000.0;
  int32_t mBlockSize = 0;
  int32_t mTailLength = 0;
  PointerList<ChannelLayout> mChannelLayouts;
  ChannelLayoutLimits mLimits;
  HeapBuffer mInputPointers{HeapBuffer::kDefaultGranularity};
  HeapBuffer mOutputPointers{HeapBuffer::kDefaultGranularity};
  PointerList<IChannelBinding> mInputChannels;
  PointerList<IChannelBinding> mOutputChannels;
};
} // namespace iplug
