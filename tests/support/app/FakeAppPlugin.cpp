#include "tests/support/app/FakeAppPlugin.h"

namespace iplug::test
{

FakeAppPlugin::FakeAppPlugin(Mode mode, int inputs, int outputs)
    : mMode(mode), mInputs(inputs), mOutputs(outputs)
{
}

void FakeAppPlugin::PrepareForStream(double sampleRate)
{
  prepared++;
  preparedRate = sampleRate;
  for (double& s : mState)
    s = 0.0;
  mFrame = 0;
}

void FakeAppPlugin::ProcessFrame(const double* in, double* out)
{
  for (int c = 0; c < mOutputs; c++)
  {
    const double x = c < mInputs ? in[c] : 0.0;
    if (mMode == Mode::PassThrough)
      out[c] = x;
    else
    {
      mState[c] += 0.25 * (x - mState[c]);
      out[c] = mState[c] + 1e-4 * static_cast<double>(mFrame % 1000);
    }
  }
  mFrame++;
}

void FakeAppPlugin::RunBlock(double** inputs, double** outputs, int frames)
{
  const int slice = slices.fetch_add(1);
  if (slice < kMaxSlices) sliceFrames[slice] = frames;
  double in[8], out[8];
  for (int j = 0; j < frames; j++)
  {
    for (int c = 0; c < mInputs; c++)
      in[c] = inputs[c][j];
    ProcessFrame(in, out);
    for (int c = 0; c < mOutputs; c++)
      outputs[c][j] = out[c];
  }
}

void FakeAppPlugin::ProcessOffline(const std::vector<double>& input, std::vector<double>& output,
                                   uint32_t frames)
{
  output.assign(static_cast<size_t>(frames) * mOutputs, 0.0);
  double in[8], out[8];
  for (uint32_t j = 0; j < frames; j++)
  {
    for (int c = 0; c < mInputs; c++)
      in[c] = input[c * frames + j];
    ProcessFrame(in, out);
    for (int c = 0; c < mOutputs; c++)
      output[c * frames + j] = out[c];
  }
}

bool FakeAppPlugin::QueueMidiFromDevice(uint8_t status, uint8_t data1, uint8_t data2)
{
  midi.push_back({status, data1, data2});
  return true;
}

bool FakeAppPlugin::QueueSysexFromDevice(const uint8_t* bytes, int size)
{
  sysex.emplace_back(bytes, bytes + size);
  return true;
}

} // namespace iplug::test
