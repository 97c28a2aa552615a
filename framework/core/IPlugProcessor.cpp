#include "framework/core/IPlugProcessor.h"

#include <algorithm>
#include <cstring>

namespace iplug
{
IPlugProcessor::IPlugProcessor(const IPluginSpec& spec)
    : mPluginKind(spec.plugType), mMidiIn(spec.midiIn), mMidiOut(spec.midiOut), mMidiThird(spec.midiThird),
      mLatency(spec.latency)
{
  iplug::ParseChannelLayouts(spec.channelIOStr, mChannelLayouts, mLimits);
  CreateChannels(kInput, mLimits.maxInputChannels);
  CreateChannels(kOutput, mLimits.maxOutputChannels);
}

// Members die in reverse: the channel records (each list last to first), the pointer
// arrays, then the layouts with their buses.
IPlugProcessor::~IPlugProcessor() = default;

void IPlugProcessor::CreateChannels(int32_t direction, int32_t count)
{
  HeapBuffer& pointers = direction == kInput ? mInputPointers : mOutputPointers;
  PointerList<IChannelBinding>& channels = direction == kInput ? mInputChannels : mOutputChannels;
  if (count <= 0) return;
  // Sized once: the records keep the addresses of their entries.
  const int64_t bytes = int64_t{count} * static_cast<int64_t>(sizeof(float*));
  if (bytes > INT32_MAX || !pointers.ResizeHeapBuffer(static_cast<int32_t>(bytes))) return;
  float** entries = pointers.GetAs<float*>();
  for (int32_t i = 0; i < count; ++i)
  {
    auto* channel = new IChannelBinding;
    channel->entry = &entries[i];
    *channel->entry = channel->Scratch();
    if (!channels.Add(channel))
    {
      delete channel;
      break;
    }
  }
  // Whatever could not be created does not exist: keep the array to the records.
  pointers.ResizeHeapBuffer(channels.GetCount() * static_cast<int32_t>(sizeof(float*)));
}

float** IPlugProcessor::GetChannelPointers(int32_t direction) const
{
  if (NChannels(direction) == 0) return nullptr;
  return (direction == kInput ? mInputPointers : mOutputPointers).GetAs<float*>();
}

bool IPlugProcessor::IsChannelConnected(int32_t direction, int32_t channel) const
{
  const IChannelBinding* binding = Bindings(direction).Get(channel);
  return binding && binding->connected;
}

int32_t IPlugProcessor::CountConnectedChannels(int32_t direction) const
{
  int32_t connected = 0;
  const PointerList<IChannelBinding>& channels = Bindings(direction);
  for (int32_t i = 0; i < channels.GetCount(); ++i)
    connected += channels.Get(i)->connected ? 1 : 0;
  return connected;
}

void IPlugProcessor::MarkChannelsConnected(int32_t direction, int32_t first, int32_t count, bool connected)
{
  const PointerList<IChannelBinding>& channels = Bindings(direction);
  const int64_t end = std::min<int64_t>(int64_t{first} + count, channels.GetCount());
  for (int64_t i = std::max(first, 0); i < end; ++i)
  {
    IChannelBinding* channel = channels.Get(static_cast<int32_t>(i));
    if (!connected)
    {
      *channel->entry = channel->Scratch();
      channel->hostInput = nullptr;
      channel->hostOutput = nullptr;
      if (channel->connected && channel->Scratch())
        std::memset(channel->Scratch(), 0, sizeof(float) * static_cast<size_t>(mBlockSize));
    }
    channel->connected = connected;
  }
}

bool IPlugProcessor::SetBlockSize(int32_t frames)
{
  frames = std::max(frames, 0);
  if (frames == mBlockSize) return true;
  const int64_t bytes = int64_t{frames} * static_cast<int64_t>(sizeof(float));
  bool ok = bytes <= INT32_MAX;
  for (int32_t direction : {kInput, kOutput})
  {
    const PointerList<IChannelBinding>& channels = Bindings(direction);
    for (int32_t i = 0; ok && i < channels.GetCount(); ++i)
    {
      IChannelBinding* channel = channels.Get(i);
      ok = frames == 0 || channel->scratch.ResizeHeapBuffer(static_cast<int32_t>(bytes), true);
    }
  }
  // A scratch block shorter than the block size would be overrun: rather process nothing.
  const int32_t size = ok ? frames : 0;
  for (int32_t direction : {kInput, kOutput})
  {
    const PointerList<IChannelBinding>& channels = Bindings(direction);
    for (int32_t i = 0; i < channels.GetCount(); ++i)
    {
      IChannelBinding* channel = channels.Get(i);
      if (!ok || frames == 0) channel->scratch.ResizeHeapBuffer(0, true);
      if (channel->Scratch()) std::memset(channel->Scratch(), 0, sizeof(float) * static_cast<size_t>(size));
      // The old block may be gone: no entry may keep pointing at it.
      *channel->entry = channel->Scratch();
    }
  }
  mBlockSize = size;
  return ok;
}

void IPlugProcessor::BindHostBuffers(int32_t direction, int32_t first, int32_t count, double** hostBuffers,
                                     int32_t frames)
{
  if (!hostBuffers || frames <= 0 || mBlockSize <= 0) return;
  const PointerList<IChannelBinding>& channels = Bindings(direction);
  const int64_t end = std::min<int64_t>(int64_t{first} + count, channels.GetCount());
  const int32_t converted = std::min(frames, mBlockSize);
  int32_t k = 0;
  for (int64_t i = std::max(first, 0); i < end; ++i)
  {
    IChannelBinding* channel = channels.Get(static_cast<int32_t>(i));
    if (!channel->connected) continue;
    double* host = hostBuffers[k++];
    *channel->entry = channel->Scratch();
    if (direction == kInput)
    {
      channel->hostInput = host;
      if (host)
        CopyDoubleToFloat(channel->Scratch(), host, converted);
      else
        std::memset(channel->Scratch(), 0, sizeof(float) * static_cast<size_t>(converted));
    }
    else
    {
      channel->hostOutput = host;
    }
  }
}

void IPlugProcessor::ProcessHostBuffers(int32_t frames)
{
  if (frames <= 0 || mBlockSize <= 0) return;
  for (int64_t offset = 0; offset < frames; offset += mBlockSize)
    ProcessSlice(static_cast<int32_t>(offset),
                 static_cast<int32_t>(std::min<int64_t>(mBlockSize, frames - offset)));
  // Host buffers are valid for one block only: a later block that is not bound must not
  // reach into them.
  for (int32_t direction : {kInput, kOutput})
  {
    const PointerList<IChannelBinding>& channels = Bindings(direction);
    for (int32_t i = 0; i < channels.GetCount(); ++i)
    {
      channels.Get(i)->hostInput = nullptr;
      channels.Get(i)->hostOutput = nullptr;
    }
  }
}

void IPlugProcessor::ProcessSlice(int32_t offset, int32_t frames)
{
  // The first slice's inputs were converted when they were bound.
  for (int32_t i = 0; i < mInputChannels.GetCount(); ++i)
  {
    IChannelBinding* channel = mInputChannels.Get(i);
    *channel->entry = channel->Scratch();
    if (offset > 0 && channel->connected)
    {
      if (channel->hostInput)
        CopyDoubleToFloat(channel->Scratch(), channel->hostInput + offset, frames);
      else
        std::memset(channel->Scratch(), 0, sizeof(float) * static_cast<size_t>(frames));
    }
  }
  for (int32_t i = 0; i < mOutputChannels.GetCount(); ++i)
  {
    IChannelBinding* channel = mOutputChannels.Get(i);
    *channel->entry = channel->Scratch();
  }

  ProcessBlock(GetChannelPointers(kInput), GetChannelPointers(kOutput), frames);

  for (int32_t i = 0; i < mOutputChannels.GetCount(); ++i)
  {
    IChannelBinding* channel = mOutputChannels.Get(i);
    if (channel->connected && channel->hostOutput)
      CopyFloatToDouble(channel->hostOutput + offset, channel->Scratch(), frames);
  }
}

void IPlugProcessor::CopyFloatToDouble(double* destination, const float* source, int32_t n)
{
  for (int32_t i = 0; i < n; ++i)
    destination[i] = source[i];
}

void IPlugProcessor::CopyDoubleToFloat(float* destination, const double* source, int32_t n)
{
  for (int32_t i = 0; i < n; ++i)
    destination[i] = static_cast<float>(source[i]);
}

void IPlugProcessor::ProcessBlock(float** inputs, float** outputs, int32_t frames)
{
  CopyThrough(inputs, outputs, frames);
}

void IPlugProcessor::CopyThrough(float** inputs, float** outputs, int32_t frames) const
{
  if (!outputs || frames <= 0) return;
  const int32_t nIn = inputs ? NChannels(kInput) : 0;
  const int32_t nOut = NChannels(kOutput);
  const int32_t copied = std::min(nIn, nOut);
  for (int32_t c = 0; c < nOut; ++c)
  {
    if (!outputs[c]) continue;
    if (c < copied && inputs[c])
      std::memmove(outputs[c], inputs[c], sizeof(float) * static_cast<size_t>(frames));
    else
      std::memset(outputs[c], 0, sizeof(float) * static_cast<size_t>(frames));
  }
}

void IPlugProcessor::ProcessMidiMessage(const IMidiEvent& msg)
{
  SendMidiMessage(msg);
}

void IPlugProcessor::ProcessSysexMessage(const ISysexEvent&) {}

void IPlugProcessor::OnActivate(bool) {}

bool IPlugProcessor::SendMidiMessages(const IMidiEvent* msgs, int32_t count)
{
  bool all = true;
  for (int32_t i = 0; msgs && i < count; ++i)
    all = SendMidiMessage(msgs[i]) && all;
  return all;
}

bool IPlugProcessor::SendSysexMessage(const ISysexEvent&)
{
  return false;
}

void IPlugProcessor::DescribeBus(int32_t direction, int32_t busIndex, int32_t busCount,
                                 TextBuffer& name) const
{
  constexpr int32_t kMaxBusName = 32;
  if (direction == kInput)
  {
    if (busCount == 1)
      name.AssignText("Input");
    else if (busCount == 2)
      name.AssignText(busIndex == 0 ? "Main" : "Aux");
    else
      name.SetFormatted(kMaxBusName, "Input %i", busIndex);
  }
  else
  {
    if (busCount == 1)
      name.AssignText("Output");
    else
      name.SetFormatted(kMaxBusName, "Output %i", busIndex);
  }
}

void IPlugProcessor::SetLatency(int32_t samples)
{
  mLatency = samples;
}

void IPlugProcessor::SetTailLength(int32_t samples)
{
  mTailLength = samples;
}
} // namespace iplug
