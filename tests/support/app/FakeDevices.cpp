#include "tests/support/app/FakeDevices.h"

#include <algorithm>
#include <chrono>

namespace iplug::test
{

FakeAudioDevices::FakeAudioDevices(std::vector<FakeAudioDevice> devices, AudioErrorHandler errors)
    : mDevices(std::move(devices)), mErrors(errors)
{
}

FakeAudioDevices::~FakeAudioDevices()
{
  if (onDestroy) onDestroy(*this);
  StopStream();
}

uint32_t FakeAudioDevices::DeviceCount()
{
  return static_cast<uint32_t>(mDevices.size());
}

bool FakeAudioDevices::GetDeviceInfo(uint32_t id, AudioDeviceInfo& info)
{
  if (id >= mDevices.size())
  {
    if (mErrors) mErrors(5, "invalid device");
    return false;
  }
  const FakeAudioDevice& d = mDevices[id];
  info.name = d.name;
  info.inputChannels = d.inputChannels;
  info.outputChannels = d.outputChannels;
  info.isDefaultInput = d.isDefaultInput;
  info.isDefaultOutput = d.isDefaultOutput;
  info.sampleRates = d.sampleRates;
  return true;
}

bool FakeAudioDevices::OpenStream(AudioStreamRequest& request)
{
  lastRequest = request;
  const bool badInput =
      request.inputChannels > 0 && (request.inputDevice >= mDevices.size() ||
                                    mDevices[request.inputDevice].inputChannels < request.inputChannels);
  const bool badOutput = request.outputDevice >= mDevices.size() ||
                         mDevices[request.outputDevice].outputChannels < request.outputChannels;
  if (failOpen || mOpen || badInput || badOutput)
  {
    if (mErrors) mErrors(9, "stream cannot be opened");
    return false;
  }
  if (grantedBufferFrames) request.bufferFrames = grantedBufferFrames;
  lastRequest = request;
  mOpen = true;
  opens++;
  mRecorded.assign(request.outputChannels, {});
  mFramesDelivered = 0;
  return true;
}

bool FakeAudioDevices::StartStream()
{
  if (!mOpen || failStart)
  {
    if (mErrors) mErrors(9, "stream cannot be started");
    return false;
  }
  starts++;
  mRunning = true;
  if (runThread) mDriver = std::thread([this] { DriverLoop(); });
  return true;
}

void FakeAudioDevices::StopStream()
{
  if (!mRunning.exchange(false)) return;
  stops++;
  if (mDriver.joinable()) mDriver.join();
}

void FakeAudioDevices::CloseStream()
{
  StopStream();
  if (mOpen) closes++;
  mOpen = false;
}

bool FakeAudioDevices::IsStreamOpen()
{
  return mOpen;
}

bool FakeAudioDevices::IsStreamRunning()
{
  return mRunning;
}

int FakeAudioDevices::Pump(std::vector<double>& input, std::vector<double>& output, uint32_t frames)
{
  input.resize(static_cast<size_t>(frames) * lastRequest.inputChannels);
  output.assign(static_cast<size_t>(frames) * lastRequest.outputChannels, 0.0);
  callbacks++;
  return lastRequest.handler(lastRequest.outputChannels ? output.data() : nullptr,
                             lastRequest.inputChannels ? input.data() : nullptr, frames, lastRequest.user);
}

void FakeAudioDevices::DriverLoop()
{
  const uint32_t frames = lastRequest.bufferFrames;
  std::vector<double> input, output;
  while (mRunning)
  {
    if (stalled)
    {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      continue;
    }
    input.resize(static_cast<size_t>(frames) * lastRequest.inputChannels);
    for (uint32_t c = 0; c < lastRequest.inputChannels; c++)
      for (uint32_t j = 0; j < frames; j++)
        input[c * frames + j] = inputSignal ? inputSignal(c, mFramesDelivered + j) : 0.0;
    Pump(input, output, frames);
    mFramesDelivered += frames;
    {
      std::lock_guard<std::mutex> lock(mRecordLock);
      for (uint32_t c = 0; c < lastRequest.outputChannels; c++)
        mRecorded[c].insert(mRecorded[c].end(), output.begin() + c * frames,
                            output.begin() + (c + 1) * frames);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

std::vector<double> FakeAudioDevices::Recorded(uint32_t channel)
{
  std::lock_guard<std::mutex> lock(mRecordLock);
  return channel < mRecorded.size() ? mRecorded[channel] : std::vector<double>();
}

bool FakeMidiInput::OpenPort(uint32_t index, const std::string& clientPortName)
{
  if (index >= ports.size() || std::count(failingPorts.begin(), failingPorts.end(), index)) return false;
  openPort = static_cast<int>(index);
  openedAs = clientPortName;
  return true;
}

void FakeMidiInput::Deliver(const std::vector<uint8_t>& bytes)
{
  if (handler) handler(0.0, bytes.data(), bytes.size(), user);
}

bool FakeMidiOutput::OpenPort(uint32_t index, const std::string& clientPortName)
{
  if (index >= ports.size() || std::count(failingPorts.begin(), failingPorts.end(), index)) return false;
  openPort = static_cast<int>(index);
  openedAs = clientPortName;
  return true;
}

bool FakeMidiOutput::SendBytes(const uint8_t* bytes, size_t size)
{
  if (openPort < 0 || !bytes || size == 0) return false;
  sent.emplace_back(bytes, bytes + size);
  return true;
}

std::unique_ptr<IAudioDevices> FakeDeviceProvider::CreateAudio(AudioErrorHandler errorHandler)
{
  audioCreated++;
  audio = nullptr;
  if (audioUnavailable) return nullptr;
  auto devices = std::make_unique<FakeAudioDevices>(audioDevices, errorHandler);
  devices->onDestroy = [this](FakeAudioDevices& a)
  {
    audioDestroyed++;
    destroyedWhileOpen = a.IsStreamOpen();
    if (audio == &a) audio = nullptr;
  };
  if (configureAudio) configureAudio(*devices);
  audio = devices.get();
  return devices;
}

std::unique_ptr<IMidiInput> FakeDeviceProvider::CreateMidiInput(const std::string& clientName,
                                                                uint32_t queueLimit)
{
  midiIn = nullptr;
  midiInClientName = clientName;
  midiQueueLimit = queueLimit;
  if (midiInputUnavailable) return nullptr;
  auto in = std::make_unique<FakeMidiInput>(midiInputPorts);
  in->failingPorts = failingMidiInputPorts;
  midiIn = in.get();
  return in;
}

std::unique_ptr<IMidiOutput> FakeDeviceProvider::CreateMidiOutput(const std::string& clientName)
{
  midiOut = nullptr;
  midiOutClientName = clientName;
  if (midiOutputUnavailable) return nullptr;
  auto out = std::make_unique<FakeMidiOutput>(midiOutputPorts);
  out->failingPorts = failingMidiOutputPorts;
  midiOut = out.get();
  return out;
}

} // namespace iplug::test
