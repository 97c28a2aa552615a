#pragma once

#include "framework/app/AudioDevices.h"
#include "framework/app/MidiDevices.h"

#include <memory>

namespace iplug
{

// Creates the audio system and the MIDI clients the standalone host works with. The program
// uses the system's devices; tests hand the host fakes instead.
class IDeviceProvider
{
public:
  virtual ~IDeviceProvider() = default;

  // Null when the system cannot be opened (failure already reported to the handler).
  virtual std::unique_ptr<IAudioDevices> CreateAudio(AudioErrorHandler errorHandler) = 0;
  // Null when the client cannot be created; the reason is written to standard error.
  virtual std::unique_ptr<IMidiInput> CreateMidiInput(const std::string& clientName, uint32_t queueLimit) = 0;
  virtual std::unique_ptr<IMidiOutput> CreateMidiOutput(const std::string& clientName) = 0;
};

// The platform's devices: DirectSound and the multimedia MIDI interface on Windows; elsewhere
// a provider that offers nothing, so the host runs without devices.
IDeviceProvider& SystemDeviceProvider();

} // namespace iplug
