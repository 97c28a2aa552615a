#include "framework/app/StandaloneHost.h"
#include "framework/app/ProfileFile.h"
#include "tests/support/core/AllocationCounter.h"
#include "tests/support/app/FakeAppPlugin.h"
#include "tests/support/app/FakeDevices.h"
#include "tests/support/app/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <thread>

using namespace iplug;
using namespace iplug::test;

namespace
{

struct HostRig
{
  explicit HostRig(FakeAppPlugin::Mode mode = FakeAppPlugin::Mode::Filter) : folder("host")
  {
    devices.audioDevices = {{"Driver: Speakers", 0, 2, false, true},
                            {"Driver: Microphone", 2, 0, true, false},
                            {"USB Box", 2, 2, false, false}};
    devices.midiInputPorts = {"Keys 1", "Pads"};
    devices.midiOutputPorts = {"Synth"};
    options.devices = &devices;
    options.appDataFolder = folder.Path();
    options.productFolder = "Quorvel";
    options.createPlugin = [this, mode](StandaloneHost&)
    {
      plugin = new FakeAppPlugin(mode);
      return plugin;
    };
    options.showError = [this](const char* text, const char* title)
    { errors.push_back(std::string(title) + ": " + text); };
  }

  StandaloneHost& Start()
  {
    host = std::make_unique<StandaloneHost>(options);
    EXPECT_TRUE(host->InitStandaloneHost());
    return *host;
  }

  TempFolder folder;
  FakeDeviceProvider devices;
  StandaloneHostOptions options;
  FakeAppPlugin* plugin = nullptr;
  std::vector<std::string> errors;
  std::unique_ptr<StandaloneHost> host;
};

// A deterministic input that differs per channel and per frame.
double Signal(uint32_t channel, uint64_t frame)
{
  return std::sin(0.01 * static_cast<double>(frame) * (channel + 1)) * 0.5 + 0.001 * channel;
}

bool WaitFor(const std::function<bool()>& done, int ms)
{
  for (int i = 0; i < ms && !done(); i++)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return done();
}

} // namespace

TEST(StandaloneHostTest, CallbackSizesProcessEveryFrameOnceInOrder)
{
  // The callback's frames must reach the plug-in exactly once each, in order, in slices of at
  // most 512 that stay inside the callback's buffers; the output must then equal one offline
  // run over the whole signal (with the opening fade-in applied as the host applies it).
  for (const uint32_t n : {96u, 256u, 512u, 1000u, 1024u})
  {
    SCOPED_TRACE(n);
    HostRig rig;
    StandaloneHost& host = rig.Start();
    ASSERT_TRUE(host.OpenAudioStream(2, 2, 48000, n));
    FakeAudioDevices& audio = *rig.devices.audio;
    ASSERT_EQ(audio.lastRequest.bufferFrames, n);
    ASSERT_EQ(rig.plugin->preparedRate, 48000.0);

    const uint32_t callbacks = 6, total = n * callbacks;
    std::vector<double> wholeIn(2 * total), produced(2 * total);
    for (uint32_t c = 0; c < 2; c++)
      for (uint32_t j = 0; j < total; j++)
        wholeIn[c * total + j] = Signal(c, j);

    // Guard frames around each buffer catch writes outside the callback's own range.
    for (uint32_t k = 0; k < callbacks; k++)
    {
      std::vector<double> in(2 * n), out;
      for (uint32_t c = 0; c < 2; c++)
        for (uint32_t j = 0; j < n; j++)
          in[c * n + j] = wholeIn[c * total + k * n + j];
      ASSERT_EQ(audio.Pump(in, out, n), 0);
      for (uint32_t c = 0; c < 2; c++)
        for (uint32_t j = 0; j < n; j++)
          produced[c * total + k * n + j] = out[c * n + j];
    }

    int sliceSum = 0;
    for (int s = 0; s < rig.plugin->slices; s++)
    {
      EXPECT_GT(rig.plugin->sliceFrames[s], 0);
      EXPECT_LE(rig.plugin->sliceFrames[s], 512);
      sliceSum += rig.plugin->sliceFrames[s];
    }
    EXPECT_EQ(sliceSum, static_cast<int>(total));
    EXPECT_EQ(rig.plugin->slices, static_cast<int>(callbacks * ((n + 511) / 512)));
    EXPECT_EQ(host.SamplesProcessed(), total);

    std::vector<double> fadedIn = wholeIn, expected;
    for (uint32_t c = 0; c < 2; c++)
      for (uint32_t j = 0; j < n; j++)
        fadedIn[c * total + j] *= static_cast<double>(j) / n;
    FakeAppPlugin reference;
    reference.ProcessOffline(fadedIn, expected, total);
    for (uint32_t c = 0; c < 2; c++)
      for (uint32_t j = 0; j < n; j++)
        expected[c * total + j] *= static_cast<double>(j) / n;
    for (size_t i = 0; i < expected.size(); i++)
      ASSERT_NEAR(produced[i], expected[i], 1e-12) << "sample " << i;
  }
}

TEST(StandaloneHostTest, EveryOpenFadesInFromSilence)
{
  HostRig rig(FakeAppPlugin::Mode::PassThrough);
  StandaloneHost& host = rig.Start();
  const uint32_t n = 256;
  for (int open = 0; open < 3; open++)
  {
    SCOPED_TRACE(open);
    ASSERT_TRUE(host.OpenAudioStream(2, 2, 44100, n));
    std::vector<double> in(2 * n, 1.0), out;
    rig.devices.audio->Pump(in, out, n);
    // Input and output are both ramped: frame j carries (j / n) squared.
    for (uint32_t c = 0; c < 2; c++)
      for (uint32_t j = 0; j < n; j++)
        ASSERT_NEAR(out[c * n + j], (double(j) / n) * (double(j) / n), 1e-12) << c << ":" << j;
    in.assign(2 * n, 1.0);
    rig.devices.audio->Pump(in, out, n);
    for (double s : out)
      ASSERT_EQ(s, 1.0);
    host.StopAudioStream();
    EXPECT_FALSE(rig.devices.audio->IsStreamOpen());
  }
  EXPECT_EQ(rig.devices.audio->opens, 3);
  EXPECT_EQ(rig.devices.audio->closes, 3);
}

TEST(StandaloneHostTest, StopFadesOutThenSilencesThenStops)
{
  HostRig rig(FakeAppPlugin::Mode::PassThrough);
  rig.devices.configureAudio = [](FakeAudioDevices& a)
  {
    a.runThread = true;
    a.inputSignal = [](uint32_t, uint64_t) { return 1.0; };
  };
  StandaloneHost& host = rig.Start();
  const uint32_t n = 128;
  ASSERT_TRUE(host.OpenAudioStream(2, 2, 44100, n));
  FakeAudioDevices& audio = *rig.devices.audio;
  ASSERT_TRUE(WaitFor([&] { return audio.callbacks > 4; }, 5000));

  const auto start = std::chrono::steady_clock::now();
  host.StopAudioStream();
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_LT(elapsed, std::chrono::milliseconds(240)); // the callback answered; no time-out
  EXPECT_FALSE(audio.IsStreamRunning());
  EXPECT_FALSE(audio.IsStreamOpen());
  EXPECT_EQ(audio.stops, 1);

  // Buffers: faded in, steady, ..., one faded out, then nothing but zeros.
  for (uint32_t c = 0; c < 2; c++)
  {
    const std::vector<double> rec = audio.Recorded(c);
    ASSERT_GE(rec.size(), 3u * n);
    ASSERT_EQ(rec.size() % n, 0u);
    size_t fadedOut = rec.size();
    for (size_t b = 1; b < rec.size() / n; b++)
    {
      if (rec[b * n] != 1.0)
      {
        fadedOut = b;
        break;
      }
    }
    ASSERT_LT(fadedOut, rec.size() / n) << "no faded-out buffer";
    for (uint32_t j = 0; j < n; j++)
      ASSERT_NEAR(rec[fadedOut * n + j], std::pow(double(n - 1 - j) / n, 2), 1e-12);
    for (size_t i = (fadedOut + 1) * n; i < rec.size(); i++)
      ASSERT_EQ(rec[i], 0.0);
  }
}

TEST(StandaloneHostTest, StopGivesUpWhenCallbacksNeverCome)
{
  HostRig rig;
  rig.devices.configureAudio = [](FakeAudioDevices& a)
  {
    a.runThread = true;
    a.stalled = true;
  };
  StandaloneHost& host = rig.Start();
  ASSERT_TRUE(host.OpenAudioStream(2, 2, 48000, 512));
  const auto start = std::chrono::steady_clock::now();
  host.StopAudioStream();
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_GE(elapsed, std::chrono::milliseconds(240));
  EXPECT_LT(elapsed, std::chrono::milliseconds(2000));
  EXPECT_FALSE(rig.devices.audio->IsStreamOpen());

  // Destroying the host with a hung stream must not hang either.
  ASSERT_TRUE(host.OpenAudioStream(2, 2, 48000, 512));
  const auto destroyStart = std::chrono::steady_clock::now();
  rig.host.reset();
  EXPECT_LT(std::chrono::steady_clock::now() - destroyStart, std::chrono::milliseconds(2000));
  EXPECT_EQ(rig.devices.audioDestroyed, 1);
  EXPECT_FALSE(rig.devices.destroyedWhileOpen);
}

TEST(StandaloneHostTest, MissingDevicesFallBackToTheDefaultsAndAreSaved)
{
  HostRig rig;
  StandaloneHost& host = rig.Start();
  EXPECT_EQ(host.InputDevices(), (std::vector<uint32_t>{1, 2}));
  EXPECT_EQ(host.OutputDevices(), (std::vector<uint32_t>{0, 2}));
  EXPECT_EQ(host.DefaultInputDevice(), 1u);
  EXPECT_EQ(host.DefaultOutputDevice(), 0u);
  // Names are shown and stored without the driver prefix, keeping the blank after the colon.
  EXPECT_EQ(host.AudioDeviceDisplayName(0), " Speakers");
  EXPECT_EQ(host.AudioDeviceDisplayName(2), "USB Box");
  EXPECT_EQ(host.FindAudioDevice(" Microphone"), 1u);
  EXPECT_EQ(host.FindAudioDevice("Microphone"), std::nullopt);

  // First start: "Default Device" exists nowhere, so both defaults are taken and saved.
  ASSERT_TRUE(host.StartAudioFromSettings());
  EXPECT_EQ(rig.devices.audio->lastRequest.inputDevice, 1u);
  EXPECT_EQ(rig.devices.audio->lastRequest.outputDevice, 0u);
  EXPECT_EQ(rig.devices.audio->lastRequest.inputChannels, 2u);
  EXPECT_EQ(rig.devices.audio->lastRequest.sampleRate, 44100u);
  EXPECT_EQ(host.CurrentSettings().audioInput, " Microphone");
  EXPECT_EQ(host.ActiveSettings().audioOutput, " Speakers");
  EXPECT_TRUE(rig.errors.empty());
  DeviceSettings saved;
  LoadDeviceSettings(saved, host.SettingsFilePath());
  EXPECT_EQ(saved.audioInput, " Microphone");
  EXPECT_EQ(saved.audioOutput, " Speakers");

  // A named device that exists is used as it is.
  host.CurrentSettings().audioInput = "USB Box";
  host.CurrentSettings().audioOutput = "USB Box";
  host.CurrentSettings().sampleRate = 96000;
  ASSERT_TRUE(host.StartAudioFromSettings());
  EXPECT_EQ(rig.devices.audio->lastRequest.inputDevice, 2u);
  EXPECT_EQ(rig.devices.audio->lastRequest.outputDevice, 2u);
  EXPECT_EQ(host.SampleRate(), 96000.0);
  EXPECT_EQ(rig.plugin->preparedRate, 96000.0);

  // Only the input vanished: replaced and saved as well.
  host.CurrentSettings().audioInput = "Unplugged";
  ASSERT_TRUE(host.StartAudioFromSettings());
  EXPECT_EQ(rig.devices.audio->lastRequest.inputDevice, 1u);
  LoadDeviceSettings(saved, host.SettingsFilePath());
  EXPECT_EQ(saved.audioInput, " Microphone");
  EXPECT_EQ(saved.audioOutput, "USB Box");
}

TEST(StandaloneHostTest, UnflaggedDefaultsAndSharedNamesStillFindTheirDevices)
{
  // As DirectSound lists them under Wine: no device flagged as default input, and the input and
  // the output show the same name once the prefix is cut.
  HostRig rig;
  rig.devices.audioDevices = {{"Out: default", 0, 2, false, false}, {"In: default", 2, 0, false, false}};
  StandaloneHost& host = rig.Start();
  EXPECT_EQ(host.DefaultInputDevice(), 1u);
  EXPECT_EQ(host.DefaultOutputDevice(), 0u);
  ASSERT_TRUE(host.StartAudioFromSettings());
  EXPECT_TRUE(rig.errors.empty());
  EXPECT_EQ(host.CurrentSettings().audioInput, " default");
  EXPECT_EQ(host.CurrentSettings().audioOutput, " default");

  // The saved names now lead to the devices by direction, with no fallback.
  host.StopAudioStream();
  rig.devices.audio->lastRequest = {};
  ASSERT_TRUE(host.StartAudioFromSettings());
  EXPECT_EQ(rig.devices.audio->lastRequest.inputDevice, 1u);
  EXPECT_EQ(rig.devices.audio->lastRequest.outputDevice, 0u);
}

TEST(StandaloneHostTest, WithoutDevicesStartUpFailsGently)
{
  {
    HostRig rig;
    rig.devices.audioDevices.clear();
    StandaloneHost& host = rig.Start();
    EXPECT_FALSE(host.StartAudioFromSettings());
    EXPECT_EQ(rig.errors, (std::vector<std::string>{"Error: Please check the audio settings"}));
    EXPECT_EQ(rig.devices.audio->opens, 0);
  }
  {
    HostRig rig;
    rig.devices.audioUnavailable = true;
    rig.devices.midiInputUnavailable = true;
    StandaloneHost& host = rig.Start();
    EXPECT_FALSE(host.StartAudioFromSettings());
    EXPECT_FALSE(host.SelectMidiPort(false, "Keys 1"));
    EXPECT_TRUE(host.MidiInputNames().empty());
  }
  {
    // Devices that refuse to open or start report through the error callback only.
    HostRig rig;
    rig.devices.configureAudio = [](FakeAudioDevices& a) { a.failStart = true; };
    StandaloneHost& host = rig.Start();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(host.StartAudioFromSettings());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "\nerrorCallback: stream cannot be started\n\n");
    EXPECT_TRUE(rig.errors.empty());
    EXPECT_EQ(host.ActiveSettings().audioInput, "Default Device");
    // A later open on the same object works once the device does.
    rig.devices.audio->failStart = false;
    EXPECT_TRUE(host.StartAudioFromSettings());
  }
}

TEST(StandaloneHostTest, WithoutAnApplicationDataFolderTheDefaultsStandAndNothingIsWritten)
{
  HostRig rig;
  rig.options.appDataFolder = std::string();
  StandaloneHost& host = rig.Start();
  EXPECT_EQ(host.SettingsFilePath(), "");
  EXPECT_TRUE(DeviceSettingsEqual(host.CurrentSettings(), DeviceSettings()));
  // A fallback that would save the settings still runs the stream.
  ASSERT_TRUE(host.StartAudioFromSettings());
  EXPECT_EQ(host.CurrentSettings().audioInput, " Microphone");
  EXPECT_FALSE(PathExists(SettingsFilePath(rig.folder.Path(), "Quorvel")));
}

TEST(StandaloneHostTest, DevicesOffOpensNothing)
{
  for (const bool screenshot : {false, true})
  {
    HostRig rig;
    rig.options.noIo = !screenshot;
    rig.options.screenshotPath = screenshot ? "shot.png" : "";
    StandaloneHost& host = rig.Start();
    EXPECT_TRUE(host.DevicesOff());
    EXPECT_TRUE(host.StartAudioFromSettings());
    EXPECT_EQ(rig.devices.audioCreated, 0);
    EXPECT_EQ(rig.devices.midiIn, nullptr);
    EXPECT_FALSE(host.SelectMidiPort(true, "Synth"));
    EXPECT_EQ(rig.plugin->identified, 1);
    EXPECT_EQ(rig.plugin->activated, 1);
  }
}

TEST(StandaloneHostTest, MidiPortsOpenByNameAndVanishedOnesTurnOff)
{
  HostRig rig;
  rig.folder.Sub("Quorvel");
  DeviceSettings stored;
  stored.midiInput = "Pads";
  stored.midiOutput = "Gone Synth";
  ASSERT_TRUE(WriteDeviceSettings(stored, SettingsFilePath(rig.folder.Path(), "Quorvel")));
  StandaloneHost& host = rig.Start();
  EXPECT_EQ(rig.devices.midiInClientName, "RtMidi Input Client");
  EXPECT_EQ(rig.devices.midiOutClientName, "RtMidi Output Client");
  EXPECT_EQ(rig.devices.midiQueueLimit, 100u);
  EXPECT_FALSE(rig.devices.midiIn->ignoreSysex);
  EXPECT_TRUE(rig.devices.midiIn->ignoreTiming);
  EXPECT_FALSE(rig.devices.midiIn->ignoreSensing);
  EXPECT_EQ(host.MidiInputNames(), (std::vector<std::string>{"off", "Keys 1", "Pads"}));
  EXPECT_EQ(host.MidiOutputNames(), (std::vector<std::string>{"off", "Synth"}));
  EXPECT_EQ(host.FindMidiPort(false, "off"), 0);
  EXPECT_EQ(host.FindMidiPort(false, "Pads"), 2);
  EXPECT_EQ(host.FindMidiPort(true, "Pads"), -1);

  EXPECT_EQ(rig.devices.midiIn->openPort, 1);
  EXPECT_EQ(rig.devices.midiIn->openedAs, "RtMidi Input");
  EXPECT_EQ(rig.devices.midiOut->openPort, -1);
  EXPECT_EQ(host.CurrentSettings().midiOutput, "off");
  DeviceSettings saved;
  LoadDeviceSettings(saved, host.SettingsFilePath());
  EXPECT_EQ(saved.midiOutput, "off");
  EXPECT_EQ(saved.midiInput, "Pads");

  // A port that exists but will not open is treated like a vanished one.
  rig.devices.midiIn->failingPorts = {0};
  EXPECT_TRUE(host.SelectMidiPort(false, "Keys 1"));
  EXPECT_EQ(rig.devices.midiIn->openPort, -1);
  EXPECT_EQ(host.CurrentSettings().midiInput, "off");
  EXPECT_TRUE(host.SelectMidiPort(true, "Synth"));
  EXPECT_EQ(rig.devices.midiOut->openPort, 0);
  EXPECT_EQ(rig.devices.midiOut->openedAs, "RtMidi Output");
  EXPECT_TRUE(host.SelectMidiPort(true, "off"));
  EXPECT_EQ(rig.devices.midiOut->openPort, -1);
}

TEST(StandaloneHostTest, MidiInputIsSortedBySize)
{
  HostRig rig;
  StandaloneHost& host = rig.Start();
  FakeMidiInput& in = *rig.devices.midiIn;
  in.Deliver({});
  in.Deliver({0x90, 60, 100});
  in.Deliver({0xC0, 5});
  in.Deliver({0xF8});
  in.Deliver({0xF0, 1, 2, 0xF7});
  std::vector<uint8_t> largest(512, 0x11), tooLarge(513, 0x22);
  largest.front() = 0xF0;
  largest.back() = 0xF7;
  in.Deliver(largest);
  in.Deliver(tooLarge);
  EXPECT_EQ(rig.plugin->midi,
            (std::vector<std::vector<uint8_t>>{{0x90, 60, 100}, {0xC0, 5, 0}, {0xF8, 0, 0}}));
  ASSERT_EQ(rig.plugin->sysex.size(), 2u);
  EXPECT_EQ(rig.plugin->sysex[0], (std::vector<uint8_t>{0xF0, 1, 2, 0xF7}));
  EXPECT_EQ(rig.plugin->sysex[1], largest);
  (void)host;
}

TEST(StandaloneHostTest, BufferSizeChosenByTheDeviceIsKept)
{
  HostRig rig;
  rig.devices.configureAudio = [](FakeAudioDevices& a) { a.grantedBufferFrames = 480; };
  StandaloneHost& host = rig.Start();
  ASSERT_TRUE(host.OpenAudioStream(1, 0, 48000, 512));
  EXPECT_EQ(host.BufferFrames(), 480u);
  std::vector<double> in, out;
  rig.devices.audio->Pump(in, out, 480);
  EXPECT_EQ(host.SamplesProcessed(), 480u);
}

TEST(StandaloneHostTest, SingletonReplacesAndDestroysThePreviousHost)
{
  HostRig a, b;
  StandaloneHost* first = CreateStandaloneHost(a.options);
  EXPECT_EQ(GetStandaloneHost(), first);
  ASSERT_TRUE(first->InitStandaloneHost());
  ASSERT_TRUE(first->StartAudioFromSettings());
  EXPECT_TRUE(a.devices.audio->IsStreamRunning());
  StandaloneHost* second = CreateStandaloneHost(b.options);
  EXPECT_EQ(GetStandaloneHost(), second);
  // The first host is gone, its stream stopped and closed before its devices were freed.
  EXPECT_EQ(a.devices.audioDestroyed, 1);
  EXPECT_FALSE(a.devices.destroyedWhileOpen);
  EXPECT_EQ(b.devices.audioDestroyed, 0);
  DestroyStandaloneHost(second);
  EXPECT_EQ(b.devices.audioDestroyed, 0); // never initialised: no audio object was made
  EXPECT_EQ(GetStandaloneHost(), nullptr);
}

TEST(StandaloneHostTest, AudioCallbackAllocatesNothing)
{
  for (const uint32_t n : {64u, 512u, 1500u})
  {
    SCOPED_TRACE(n);
    HostRig rig;
    StandaloneHost& host = rig.Start();
    ASSERT_TRUE(host.OpenAudioStream(2, 2, 48000, n));
    std::vector<double> in(2 * n, 0.25), out(2 * n);
    quorvel::test::StartCountingAllocations();
    for (int k = 0; k < 4; k++) // the faded first buffer, then steady ones
      rig.devices.audio->Pump(in, out, n);
    EXPECT_EQ(quorvel::test::StopCountingAllocations(), 0);
    EXPECT_EQ(host.SamplesProcessed(), 4 * n);
  }
}
