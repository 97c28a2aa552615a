// Away from Windows the program has no device back end: the host starts and runs without
// audio or MIDI, which is all the portable builds need of it.

#include "framework/app/DeviceProvider.h"

namespace iplug
{
namespace
{

class NoDeviceProvider final : public IDeviceProvider
{
public:
  std::unique_ptr<IAudioDevices> CreateAudio(AudioErrorHandler) override { return nullptr; }
  std::unique_ptr<IMidiInput> CreateMidiInput(const std::string&, uint32_t) override { return nullptr; }
  std::unique_ptr<IMidiOutput> CreateMidiOutput(const std::string&) override { return nullptr; }
};

} // namespace

IDeviceProvider& SystemDeviceProvider()
{
  static NoDeviceProvider provider;
  return provider;
}

} // namespace iplug
