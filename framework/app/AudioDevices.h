#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace iplug
{

// What the standalone host needs to know of one audio device.
struct AudioDeviceInfo
{
  std::string name; // UTF-8, as the driver reports it
  uint32_t inputChannels = 0;
  uint32_t outputChannels = 0;
  bool isDefaultInput = false;
  bool isDefaultOutput = false;
  std::vector<uint32_t> sampleRates; // Hz, in the driver's order
};

// Runs on the audio library's thread. Buffers hold 64-bit samples, one channel after the other
// (channel j starts at j * frames); either may be null when that direction has no channels.
using AudioStreamHandler = int (*)(double* output, double* input, uint32_t frames, void* user);

// Reports a device or stream failure; may run on the audio thread. The type is the audio
// library's error type, kept only for the message.
using AudioErrorHandler = void (*)(int type, const std::string& message);

struct AudioStreamRequest
{
  uint32_t inputDevice = 0;
  uint32_t inputChannels = 0; // 0: output only
  uint32_t outputDevice = 0;
  uint32_t outputChannels = 0;
  uint32_t sampleRate = 44100;
  uint32_t bufferFrames = 512; // the device may change it; OpenStream writes back what it got
  AudioStreamHandler handler = nullptr;
  void* user = nullptr;
};

// One audio system with at most one duplex stream. Implementations never throw: every failure
// is reported to the error handler and answered with false (or an empty result).
class IAudioDevices
{
public:
  virtual ~IAudioDevices() = default;

  virtual uint32_t DeviceCount() = 0;
  // False when the device cannot be probed; the info is then left alone.
  virtual bool GetDeviceInfo(uint32_t id, AudioDeviceInfo& info) = 0;

  virtual bool OpenStream(AudioStreamRequest& request) = 0;
  virtual bool StartStream() = 0;
  virtual void StopStream() = 0;
  virtual void CloseStream() = 0;
  virtual bool IsStreamOpen() = 0;
  virtual bool IsStreamRunning() = 0;
};

} // namespace iplug
