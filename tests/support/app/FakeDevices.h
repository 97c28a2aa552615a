#pragma once

// Audio and MIDI devices that exist only in memory, for driving the standalone host without
// hardware. The audio stream can be pumped by the test, or run on a thread of its own like a
// driver; callbacks can also be made to stop arriving, like a device that hangs.

#include "framework/app/DeviceProvider.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace iplug::test
{

struct FakeAudioDevice
{
  std::string name;
  uint32_t inputChannels = 2;
  uint32_t outputChannels = 2;
  bool isDefaultInput = false;
  bool isDefaultOutput = false;
  std::vector<uint32_t> sampleRates = {44100, 48000};
};

class FakeAudioDevices final : public IAudioDevices
{
public:
  FakeAudioDevices(std::vector<FakeAudioDevice> devices, AudioErrorHandler errors);
  ~FakeAudioDevices() override;

  uint32_t DeviceCount() override;
  bool GetDeviceInfo(uint32_t id, AudioDeviceInfo& info) override;
  bool OpenStream(AudioStreamRequest& request) override;
  bool StartStream() override;
  void StopStream() override;
  void CloseStream() override;
  bool IsStreamOpen() override;
  bool IsStreamRunning() override;

  // Behaviour, set before the host uses the stream.
  bool failOpen = false;
  bool failStart = false;
  uint32_t grantedBufferFrames = 0; // non-zero: the device changes the requested size
  bool runThread = false;           // a driver thread calls back while the stream runs
  std::atomic<bool> stalled{false}; // the driver thread stops calling back
  std::function<double(uint32_t channel, uint64_t frame)> inputSignal; // default: silence

  // One callback from the calling thread; input and output hold channels laid end to end.
  int Pump(std::vector<double>& input, std::vector<double>& output, uint32_t frames);

  // What happened.
  AudioStreamRequest lastRequest;
  std::atomic<int> opens{0}, starts{0}, stops{0}, closes{0};
  std::atomic<int> callbacks{0};
  std::vector<double> Recorded(uint32_t channel); // driver thread output, per channel
  std::function<void(FakeAudioDevices&)> onDestroy;

private:
  void DriverLoop();

  std::vector<FakeAudioDevice> mDevices;
  AudioErrorHandler mErrors;
  bool mOpen = false;
  std::atomic<bool> mRunning{false};
  std::thread mDriver;
  std::mutex mRecordLock;
  std::vector<std::vector<double>> mRecorded;
  uint64_t mFramesDelivered = 0;
};

class FakeMidiInput final : public IMidiInput
{
public:
  explicit FakeMidiInput(std::vector<std::string> ports) : ports(std::move(ports)) {}

  uint32_t PortCount() override { return static_cast<uint32_t>(ports.size()); }
  std::string PortName(uint32_t index) override
  {
    return index < ports.size() ? ports[index] : std::string();
  }
  bool OpenPort(uint32_t index, const std::string& clientPortName) override;
  void ClosePort() override { openPort = -1; }
  bool IsPortOpen() override { return openPort >= 0; }
  void SetHandler(MidiInputHandler h, void* u) override { handler = h, user = u; }
  void CancelHandler() override { handler = nullptr; }
  void IgnoreTypes(bool s, bool t, bool a) override { ignoreSysex = s, ignoreTiming = t, ignoreSensing = a; }

  // A message arriving from the port, on the calling thread.
  void Deliver(const std::vector<uint8_t>& bytes);

  std::vector<std::string> ports;
  std::vector<uint32_t> failingPorts;
  int openPort = -1;
  std::string openedAs;
  MidiInputHandler handler = nullptr;
  void* user = nullptr;
  bool ignoreSysex = true, ignoreTiming = false, ignoreSensing = true;
};

class FakeMidiOutput final : public IMidiOutput
{
public:
  explicit FakeMidiOutput(std::vector<std::string> ports) : ports(std::move(ports)) {}

  uint32_t PortCount() override { return static_cast<uint32_t>(ports.size()); }
  std::string PortName(uint32_t index) override
  {
    return index < ports.size() ? ports[index] : std::string();
  }
  bool OpenPort(uint32_t index, const std::string& clientPortName) override;
  void ClosePort() override { openPort = -1; }
  bool IsPortOpen() override { return openPort >= 0; }
  bool SendBytes(const uint8_t* bytes, size_t size) override;

  std::vector<std::string> ports;
  std::vector<uint32_t> failingPorts;
  int openPort = -1;
  std::string openedAs;
  std::vector<std::vector<uint8_t>> sent;
};

// Hands the host fakes built from its fields; keeps a pointer to each fake it made (owned by
// the host) so a test can drive and inspect them.
class FakeDeviceProvider final : public IDeviceProvider
{
public:
  std::unique_ptr<IAudioDevices> CreateAudio(AudioErrorHandler errorHandler) override;
  std::unique_ptr<IMidiInput> CreateMidiInput(const std::string& clientName, uint32_t queueLimit) override;
  std::unique_ptr<IMidiOutput> CreateMidiOutput(const std::string& clientName) override;

  std::vector<FakeAudioDevice> audioDevices;
  bool audioUnavailable = false;
  std::function<void(FakeAudioDevices&)> configureAudio;
  std::vector<std::string> midiInputPorts, midiOutputPorts;
  std::vector<uint32_t> failingMidiInputPorts, failingMidiOutputPorts;
  bool midiInputUnavailable = false, midiOutputUnavailable = false;

  FakeAudioDevices* audio = nullptr;
  FakeMidiInput* midiIn = nullptr;
  FakeMidiOutput* midiOut = nullptr;
  int audioCreated = 0;
  int audioDestroyed = 0;
  bool destroyedWhileOpen = false; // the last audio object was freed with its stream open
  std::string midiInClientName, midiOutClientName;
  uint32_t midiQueueLimit = 0;
};

} // namespace iplug::test
