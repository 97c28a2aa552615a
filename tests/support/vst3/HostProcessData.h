#pragma once

// The process() argument as hosts build it: buses of channels in 32 or 64 bit,
// optional parameter changes, events and transport context. Buffers are owned
// here and the ProcessData pointers refer to them.

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstprocesscontext.h"

#include <vector>

namespace quorvel::test
{

class HostProcessData
{
public:
  // One entry per bus: its channel count.
  HostProcessData(std::vector<int> inputBusChannels, std::vector<int> outputBusChannels, int maxFrames,
                  bool doublePrecision = false);

  // Sets numSamples and refreshes every pointer into ProcessData; call before each process().
  Steinberg::Vst::ProcessData& Block(int frames);

  void SetInput(int bus, int channel, int frame, double value);
  double Output(int bus, int channel, int frame) const;
  double Input(int bus, int channel, int frame) const;
  // Fills every input channel with a deterministic test signal starting at `start` frames.
  void FillInputs(int frames, long start = 0);

  Steinberg::Vst::ProcessData data;
  Steinberg::Vst::ProcessContext context{};

private:
  struct Bus
  {
    std::vector<std::vector<float>> f32;
    std::vector<std::vector<double>> f64;
    std::vector<float*> ptr32;
    std::vector<double*> ptr64;
  };
  std::vector<Bus> mInputs, mOutputs;
  std::vector<Steinberg::Vst::AudioBusBuffers> mInputBuffers, mOutputBuffers;
  bool mDouble;
};

} // namespace quorvel::test
