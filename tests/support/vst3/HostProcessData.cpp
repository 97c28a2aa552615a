#include "tests/support/vst3/HostProcessData.h"

#include <cmath>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace quorvel::test
{

HostProcessData::HostProcessData(std::vector<int> inputBusChannels, std::vector<int> outputBusChannels,
                                 int maxFrames, bool doublePrecision)
    : mDouble(doublePrecision)
{
  auto build =
      [&](const std::vector<int>& counts, std::vector<Bus>& buses, std::vector<AudioBusBuffers>& buffers)
  {
    for (int channels : counts)
    {
      Bus bus;
      for (int c = 0; c < channels; ++c)
      {
        bus.f32.emplace_back(static_cast<size_t>(maxFrames), 0.f);
        bus.f64.emplace_back(static_cast<size_t>(maxFrames), 0.0);
      }
      buses.push_back(std::move(bus));
      AudioBusBuffers b{};
      b.numChannels = channels;
      buffers.push_back(b);
    }
  };
  build(inputBusChannels, mInputs, mInputBuffers);
  build(outputBusChannels, mOutputs, mOutputBuffers);
  data.symbolicSampleSize = mDouble ? kSample64 : kSample32;
  data.processMode = kRealtime;
}

ProcessData& HostProcessData::Block(int frames)
{
  auto bind = [&](std::vector<Bus>& buses, std::vector<AudioBusBuffers>& buffers)
  {
    for (size_t b = 0; b < buses.size(); ++b)
    {
      Bus& bus = buses[b];
      bus.ptr32.clear();
      bus.ptr64.clear();
      for (size_t c = 0; c < bus.f32.size(); ++c)
      {
        bus.ptr32.push_back(bus.f32[c].data());
        bus.ptr64.push_back(bus.f64[c].data());
      }
      if (mDouble)
        buffers[b].channelBuffers64 = bus.ptr64.empty() ? nullptr : bus.ptr64.data();
      else
        buffers[b].channelBuffers32 = bus.ptr32.empty() ? nullptr : bus.ptr32.data();
      buffers[b].silenceFlags = 0;
    }
  };
  bind(mInputs, mInputBuffers);
  bind(mOutputs, mOutputBuffers);
  data.numSamples = frames;
  data.numInputs = static_cast<int32>(mInputBuffers.size());
  data.numOutputs = static_cast<int32>(mOutputBuffers.size());
  data.inputs = mInputBuffers.empty() ? nullptr : mInputBuffers.data();
  data.outputs = mOutputBuffers.empty() ? nullptr : mOutputBuffers.data();
  data.symbolicSampleSize = mDouble ? kSample64 : kSample32;
  return data;
}

// Only the buffer the host hands over: narrowing a huge value would itself overflow, which a test
// running with overflow trapping must leave to the effect.
void HostProcessData::SetInput(int bus, int channel, int frame, double value)
{
  Bus& b = mInputs[static_cast<size_t>(bus)];
  if (mDouble)
    b.f64[static_cast<size_t>(channel)][static_cast<size_t>(frame)] = value;
  else
    b.f32[static_cast<size_t>(channel)][static_cast<size_t>(frame)] = static_cast<float>(value);
}

double HostProcessData::Input(int bus, int channel, int frame) const
{
  const Bus& b = mInputs[static_cast<size_t>(bus)];
  return mDouble ? b.f64[static_cast<size_t>(channel)][static_cast<size_t>(frame)]
                 : b.f32[static_cast<size_t>(channel)][static_cast<size_t>(frame)];
}

double HostProcessData::Output(int bus, int channel, int frame) const
{
  const Bus& b = mOutputs[static_cast<size_t>(bus)];
  return mDouble ? b.f64[static_cast<size_t>(channel)][static_cast<size_t>(frame)]
                 : b.f32[static_cast<size_t>(channel)][static_cast<size_t>(frame)];
}

void HostProcessData::FillInputs(int frames, long start)
{
  for (size_t b = 0; b < mInputs.size(); ++b)
    for (size_t c = 0; c < mInputs[b].f32.size(); ++c)
      for (int i = 0; i < frames; ++i)
      {
        const double t = static_cast<double>(start + i);
        // A chord of two sines per channel, different per channel, at moderate level.
        const double v = 0.4 * std::sin(0.031 * t * (1.0 + 0.17 * static_cast<double>(c + 2 * b))) +
                         0.2 * std::sin(0.0071 * t + static_cast<double>(c));
        SetInput(static_cast<int>(b), static_cast<int>(c), i, v);
      }
}

} // namespace quorvel::test
