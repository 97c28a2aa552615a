// The standalone host on the system's devices: a real DirectSound stream under Wine. CTest runs
// the "NullDevice" cases with HOME pointing at a folder whose .asoundrc makes ALSA's default
// device a null device, so Wine offers devices and a duplex stream runs; it runs the "NoDevice"
// cases with a HOME that offers no device at all.

#include "effect/deliverables/Quorvel.h"
#include "framework/app/StandaloneHost.h"
#include "tests/support/app/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <thread>

using namespace iplug;
using namespace iplug::test;

namespace
{

struct SystemRig
{
  SystemRig() : folder("system")
  {
    options.appDataFolder = folder.Path();
    options.productFolder = "Quorvel";
    options.createPlugin = [this](StandaloneHost& h)
    {
      effect = quorvel::CreatePluginInstance(InstanceInfo{&h});
      return effect;
    };
    options.showError = [this](const char* text, const char*) { errors.push_back(text); };
    host = std::make_unique<StandaloneHost>(options);
  }

  TempFolder folder;
  StandaloneHostOptions options;
  quorvel::Quorvel* effect = nullptr;
  std::vector<std::string> errors;
  std::unique_ptr<StandaloneHost> host;
};

} // namespace

TEST(RtDevicesNullDevice, DuplexStreamRunsAndStopsCleanly)
{
  SystemRig rig;
  StandaloneHost& host = *rig.host;
  ASSERT_NE(rig.effect, nullptr);
  ASSERT_TRUE(host.InitStandaloneHost());
  ASSERT_FALSE(host.InputDevices().empty());
  testing::internal::CaptureStderr();
  ASSERT_FALSE(host.OutputDevices().empty());

  for (int run = 0; run < 2; run++)
  {
    SCOPED_TRACE(run);
    if (!host.StartAudioFromSettings()) FAIL() << testing::internal::GetCapturedStderr();
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    // At 44100 Hz, 400 ms is 17640 frames; the null device may run late but not stand still.
    EXPECT_GT(host.SamplesProcessed(), 4096u);
    std::printf("run %d: %u frames in 400 ms, %u-frame buffers\n", run, host.SamplesProcessed(),
                host.BufferFrames());

    const auto start = std::chrono::steady_clock::now();
    host.StopAudioStream();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1500));
    const uint32_t stopped = host.SamplesProcessed();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(host.SamplesProcessed(), stopped) << "the stream still calls back after stopping";
  }
  const std::string errors = testing::internal::GetCapturedStderr();
  EXPECT_EQ(errors.find("errorCallback"), std::string::npos) << errors;
  EXPECT_TRUE(rig.errors.empty());
  EXPECT_EQ(host.ActiveSettings().sampleRate, 44100);
  EXPECT_FALSE(host.ActiveSettings().audioInput.empty());
}

TEST(RtDevicesNullDevice, MissingMidiPortsTurnOff)
{
  SystemRig rig;
  StandaloneHost& host = *rig.host;
  ASSERT_TRUE(host.LoadDeviceSettings());
  host.CurrentSettings().midiInput = "Keys";
  host.CurrentSettings().midiOutput = "Synth";
  host.SaveDeviceSettings();
  ASSERT_TRUE(host.InitStandaloneHost());
  // Wine offers no MIDI ports here: the clients exist, the lists hold only "off".
  EXPECT_EQ(host.MidiInputNames().front(), "off");
  EXPECT_EQ(host.MidiOutputNames().front(), "off");
  EXPECT_EQ(host.CurrentSettings().midiInput, "off");
  EXPECT_EQ(host.CurrentSettings().midiOutput, "off");
  DeviceSettings saved;
  LoadDeviceSettings(saved, host.SettingsFilePath());
  EXPECT_EQ(saved.midiInput, "off");

  // The library throws on a port that is not there; the client answers false and goes on.
  auto in = SystemDeviceProvider().CreateMidiInput("RtMidi Input Client", 100);
  auto out = SystemDeviceProvider().CreateMidiOutput("RtMidi Output Client");
  ASSERT_NE(in, nullptr);
  ASSERT_NE(out, nullptr);
  EXPECT_FALSE(in->OpenPort(7, "RtMidi Input"));
  EXPECT_FALSE(out->OpenPort(7, "RtMidi Output"));
  const uint8_t note[] = {0x90, 60, 100};
  out->SendBytes(note, sizeof(note)); // no port: ignored, not fatal
  EXPECT_FALSE(out->SendBytes(note, 0));
}

TEST(RtDevicesNoDevice, StartUpFallsBackWithoutCrashing)
{
  SystemRig rig;
  StandaloneHost& host = *rig.host;
  ASSERT_TRUE(host.InitStandaloneHost());
  EXPECT_TRUE(host.InputDevices().empty());
  EXPECT_TRUE(host.OutputDevices().empty());
  EXPECT_FALSE(host.StartAudioFromSettings());
  EXPECT_EQ(rig.errors, (std::vector<std::string>{"Please check the audio settings"}));
  // Opening by id anyway reports through the error callback and stays closed.
  testing::internal::CaptureStderr();
  EXPECT_FALSE(host.OpenAudioStream(0, 0, 44100, 512));
  EXPECT_NE(testing::internal::GetCapturedStderr().find("\nerrorCallback: "), std::string::npos);
  host.StopAudioStream();
}
