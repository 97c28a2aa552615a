// The system's devices on Windows: DirectSound through RtAudio, the multimedia MIDI interface
// through RtMidi. Both libraries throw on most failures; nothing may escape into the host, so
// every call is guarded here and failures become false results.

#include "framework/app/DeviceProvider.h"

#include "RtAudio.h"
#include "RtMidi.h"

#include <atomic>
#include <cstdio>
#include <vector>

namespace iplug
{
namespace
{

// RtAudio's error callback carries no user pointer; one handler serves the process.
std::atomic<AudioErrorHandler> gAudioErrorHandler{nullptr};

void ForwardAudioError(RtAudioError::Type type, const std::string& message)
{
  if (AudioErrorHandler handler = gAudioErrorHandler.load()) handler(static_cast<int>(type), message);
}

class RtAudioDevices final : public IAudioDevices
{
public:
  explicit RtAudioDevices(std::unique_ptr<RtAudio> audio) : mAudio(std::move(audio)) {}

  ~RtAudioDevices() override
  {
    CloseStream();
    Guard([&] { mAudio.reset(); });
  }

  uint32_t DeviceCount() override
  {
    uint32_t count = 0;
    Guard([&] { count = mAudio->getDeviceCount(); });
    return count;
  }

  bool GetDeviceInfo(uint32_t id, AudioDeviceInfo& info) override
  {
    return Guard(
        [&]
        {
          RtAudio::DeviceInfo rt = mAudio->getDeviceInfo(id);
          if (!rt.probed) return false;
          info.name = rt.name;
          info.inputChannels = rt.inputChannels;
          info.outputChannels = rt.outputChannels;
          info.isDefaultInput = rt.isDefaultInput;
          info.isDefaultOutput = rt.isDefaultOutput;
          info.sampleRates.assign(rt.sampleRates.begin(), rt.sampleRates.end());
          return true;
        });
  }

  bool OpenStream(AudioStreamRequest& request) override
  {
    mHandler = request.handler;
    mUser = request.user;
    RtAudio::StreamParameters in, out;
    in.deviceId = request.inputDevice;
    in.nChannels = request.inputChannels;
    out.deviceId = request.outputDevice;
    out.nChannels = request.outputChannels;
    RtAudio::StreamOptions options;
    options.flags = RTAUDIO_NONINTERLEAVED;
    unsigned int frames = request.bufferFrames;
    const bool opened = Guard(
        [&]
        {
          mAudio->openStream(request.outputChannels ? &out : nullptr, request.inputChannels ? &in : nullptr,
                             RTAUDIO_FLOAT64, request.sampleRate, &frames, &RtAudioDevices::OnStream, this,
                             &options, &ForwardAudioError);
          return mAudio->isStreamOpen();
        });
    if (opened) request.bufferFrames = frames;
    return opened;
  }

  bool StartStream() override
  {
    return Guard(
        [&]
        {
          mAudio->startStream();
          return mAudio->isStreamRunning();
        });
  }

  void StopStream() override
  {
    Guard(
        [&]
        {
          if (mAudio->isStreamRunning()) mAudio->stopStream();
        });
  }

  void CloseStream() override
  {
    Guard(
        [&]
        {
          if (mAudio && mAudio->isStreamOpen()) mAudio->closeStream();
        });
  }

  bool IsStreamOpen() override
  {
    return Guard([&] { return mAudio->isStreamOpen(); });
  }

  bool IsStreamRunning() override
  {
    return Guard([&] { return mAudio->isStreamRunning(); });
  }

private:
  static int OnStream(void* output, void* input, unsigned int frames, double, RtAudioStreamStatus, void* user)
  {
    auto* self = static_cast<RtAudioDevices*>(user);
    return self->mHandler(static_cast<double*>(output), static_cast<double*>(input), frames, self->mUser);
  }

  template <typename F> static auto Guard(F&& call) -> decltype(call())
  {
    try
    {
      return call();
    }
    catch (const RtAudioError& e)
    {
      ForwardAudioError(e.getType(), e.getMessage());
    }
    catch (const std::exception& e)
    {
      ForwardAudioError(RtAudioError::UNSPECIFIED, e.what());
    }
    if constexpr (!std::is_void_v<decltype(call())>) return {};
  }

  std::unique_ptr<RtAudio> mAudio;
  AudioStreamHandler mHandler = nullptr;
  void* mUser = nullptr;
};

// Errors reported while a guarded call runs end up on standard error, like the library's own.
void PrintMidiError(RtMidiError::Type, const std::string& message, void*)
{
  std::fprintf(stderr, "\n%s\n\n", message.c_str());
}

template <typename F> auto GuardMidi(F&& call) -> decltype(call())
{
  try
  {
    return call();
  }
  catch (const RtMidiError& e)
  {
    e.printMessage();
  }
  catch (const std::exception& e)
  {
    std::fprintf(stderr, "\n%s\n\n", e.what());
  }
  if constexpr (!std::is_void_v<decltype(call())>) return {};
}

template <typename Base, typename Client> class RtMidiPorts : public Base
{
public:
  explicit RtMidiPorts(std::unique_ptr<Client> client) : mClient(std::move(client))
  {
    mClient->setErrorCallback(&PrintMidiError, nullptr);
  }

  uint32_t PortCount() override
  {
    return GuardMidi([&] { return mClient->getPortCount(); });
  }

  std::string PortName(uint32_t index) override
  {
    return GuardMidi([&] { return mClient->getPortName(index); });
  }

  bool OpenPort(uint32_t index, const std::string& clientPortName) override
  {
    return GuardMidi(
        [&]
        {
          mClient->openPort(index, clientPortName);
          return mClient->isPortOpen();
        });
  }

  void ClosePort() override
  {
    GuardMidi([&] { mClient->closePort(); });
  }

  bool IsPortOpen() override
  {
    return GuardMidi([&] { return mClient->isPortOpen(); });
  }

protected:
  std::unique_ptr<Client> mClient;
};

class RtMidiInput final : public RtMidiPorts<IMidiInput, RtMidiIn>
{
public:
  using RtMidiPorts::RtMidiPorts;

  ~RtMidiInput() override
  {
    CancelHandler();
    ClosePort();
  }

  void SetHandler(MidiInputHandler handler, void* user) override
  {
    CancelHandler();
    mHandler = handler;
    mUser = user;
    mHandlerSet = GuardMidi(
        [&]
        {
          mClient->setCallback(&RtMidiInput::OnMessage, this);
          return true;
        });
  }

  // The library complains about cancelling a callback it does not have.
  void CancelHandler() override
  {
    if (mHandlerSet) GuardMidi([&] { mClient->cancelCallback(); });
    mHandlerSet = false;
  }

  void IgnoreTypes(bool sysex, bool timing, bool activeSensing) override
  {
    GuardMidi([&] { mClient->ignoreTypes(sysex, timing, activeSensing); });
  }

private:
  static void OnMessage(double timeStamp, std::vector<unsigned char>* message, void* user)
  {
    auto* self = static_cast<RtMidiInput*>(user);
    if (message && self->mHandler) self->mHandler(timeStamp, message->data(), message->size(), self->mUser);
  }

  MidiInputHandler mHandler = nullptr;
  void* mUser = nullptr;
  bool mHandlerSet = false;
};

class RtMidiOutput final : public RtMidiPorts<IMidiOutput, RtMidiOut>
{
public:
  using RtMidiPorts::RtMidiPorts;

  ~RtMidiOutput() override { ClosePort(); }

  bool SendBytes(const uint8_t* bytes, size_t size) override
  {
    if (!bytes || size == 0) return false;
    return GuardMidi(
        [&]
        {
          mClient->sendMessage(bytes, size);
          return true;
        });
  }
};

class RtDeviceProvider final : public IDeviceProvider
{
public:
  std::unique_ptr<IAudioDevices> CreateAudio(AudioErrorHandler errorHandler) override
  {
    gAudioErrorHandler.store(errorHandler);
    try
    {
      auto audio = std::make_unique<RtAudio>(RtAudio::WINDOWS_DS);
      if (audio->getCurrentApi() != RtAudio::WINDOWS_DS) return nullptr;
      return std::make_unique<RtAudioDevices>(std::move(audio));
    }
    catch (const RtAudioError& e)
    {
      ForwardAudioError(e.getType(), e.getMessage());
    }
    catch (const std::exception& e)
    {
      ForwardAudioError(RtAudioError::UNSPECIFIED, e.what());
    }
    return nullptr;
  }

  std::unique_ptr<IMidiInput> CreateMidiInput(const std::string& clientName, uint32_t queueLimit) override
  {
    return GuardMidi(
        [&]() -> std::unique_ptr<IMidiInput>
        {
          return std::make_unique<RtMidiInput>(
              std::make_unique<RtMidiIn>(RtMidi::UNSPECIFIED, clientName, queueLimit));
        });
  }

  std::unique_ptr<IMidiOutput> CreateMidiOutput(const std::string& clientName) override
  {
    return GuardMidi(
        [&]() -> std::unique_ptr<IMidiOutput> {
          return std::make_unique<RtMidiOutput>(std::make_unique<RtMidiOut>(RtMidi::UNSPECIFIED, clientName));
        });
  }
};

} // namespace

IDeviceProvider& SystemDeviceProvider()
{
  static RtDeviceProvider provider;
  return provider;
}

} // namespace iplug
