#include "framework/app/IPlugAPP.h"
#include "framework/app/StandaloneHost.h"
#include "tests/support/UiPump.h"
#include "tests/support/core/AllocationCounter.h"
#include "tests/support/app/FakeDevices.h"
#include "tests/support/app/TempFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>

using namespace iplug;
using namespace iplug::test;

namespace
{

IPluginSpec TestSpec(bool midiOut, int32_t kind = 0)
{
  IPluginSpec spec;
  spec.nParams = 0;
  spec.channelIOStr = "1-1 2-2";
  spec.pluginName = "AppTest";
  spec.productName = "AppTest";
  spec.makerName = "Maker";
  spec.version = MakeVersion(1, 2, 3);
  spec.midiOut = midiOut;
  spec.plugType = kind;
  return spec;
}

// Halves its inputs and records every MIDI and SysEx message it is handed, on the audio side
// (fixed arrays: no allocation there) and on the editor side (under a lock: natively the queue
// timer drains on a thread of its own).
class TestAppPlugin final : public IPlugAPP
{
public:
  TestAppPlugin(const InstanceInfo& info, const IPluginSpec& spec) : IPlugAPP(info, spec) {}

  void ProcessBlock(float** inputs, float** outputs, int32_t frames) override
  {
    blocks++;
    for (int c = 0; c < NChannels(kOutput); c++)
      for (int j = 0; j < frames; j++)
        outputs[c][j] = 0.5f * inputs[c][j];
  }

  void ProcessMidiMessage(const IMidiEvent& msg) override
  {
    if (midiCount < 4096) midi[midiCount] = msg;
    midiCount++;
    IPlugAPP::ProcessMidiMessage(msg); // on to SendMidiMessage
  }

  void ProcessSysexMessage(const ISysexEvent& msg) override
  {
    if (sysexCount < 64) sysex[sysexCount].assign(msg.data, msg.data + msg.size);
    sysexCount++;
  }

  void OnMidiMessageInEditor(const IMidiEvent& msg) override
  {
    std::lock_guard<std::mutex> lock(editorLock);
    editorMidi.push_back(msg);
  }

  void OnSysexMessageInEditor(const ISysexEvent& msg) override
  {
    std::lock_guard<std::mutex> lock(editorLock);
    editorSysex.emplace_back(msg.data, msg.data + msg.size);
  }

  void OnActivate(bool active) override { activations += active ? 1 : 0; }
  void OnReset() override { resets++; }

  size_t EditorMidiCount()
  {
    std::lock_guard<std::mutex> lock(editorLock);
    return editorMidi.size();
  }

  int blocks = 0, resets = 0, activations = 0;
  IMidiEvent midi[4096];
  int midiCount = 0;
  std::vector<uint8_t> sysex[64];
  int sysexCount = 0;
  std::mutex editorLock;
  std::vector<IMidiEvent> editorMidi;
  std::vector<std::vector<uint8_t>> editorSysex;
};

struct AppRig
{
  explicit AppRig(bool midiOut = false, int32_t kind = 0) : folder("app")
  {
    devices.audioDevices = {{"Box", 2, 2, true, true}};
    devices.midiInputPorts = {"Keys"};
    devices.midiOutputPorts = {"Synth"};
    options.devices = &devices;
    options.appDataFolder = folder.Path();
    options.productFolder = "Quorvel";
    options.showError = [](const char*, const char*) {};
    options.createPlugin = [this, midiOut, kind](StandaloneHost& host)
    {
      InstanceInfo info;
      info.host = &host;
      plugin = new TestAppPlugin(info, TestSpec(midiOut, kind));
      return plugin;
    };
    host = std::make_unique<StandaloneHost>(options);
    EXPECT_TRUE(host->InitStandaloneHost());
    EXPECT_TRUE(host->SelectMidiPort(false, "Keys"));
    EXPECT_TRUE(host->SelectMidiPort(true, "Synth"));
    EXPECT_TRUE(host->OpenAudioStream(0, 0, 48000, 256));
  }

  void Callback(uint32_t frames = 256)
  {
    std::vector<double> in(2 * frames, 0.0), out(2 * frames);
    devices.audio->Pump(in, out, frames);
  }

  void WaitForEditor(size_t midiCount)
  {
    for (int i = 0; i < 100 && plugin->EditorMidiCount() < midiCount; i++)
      quorvel::test::PumpUiEvents(20);
  }

  TempFolder folder;
  FakeDeviceProvider devices;
  StandaloneHostOptions options;
  TestAppPlugin* plugin = nullptr;
  std::unique_ptr<StandaloneHost> host;
};

} // namespace

TEST(IPlugAPPTest, HostStartIdentifiesActivatesAndPrepares)
{
  AppRig rig;
  EXPECT_EQ(rig.plugin->GetHost(), kHostStandalone);
  EXPECT_EQ(rig.plugin->GetHostVersion(), MakeVersion(1, 2, 3));
  EXPECT_EQ(rig.plugin->GetAPI(), kAPIAPP);
  EXPECT_EQ(rig.plugin->activations, 1);
  EXPECT_EQ(rig.plugin->resets, 1);
  EXPECT_EQ(rig.plugin->GetSampleRate(), 48000.0);
  EXPECT_EQ(rig.plugin->GetBlockSize(), 512);
  EXPECT_EQ(rig.plugin->AppInputChannels(), 2);
  EXPECT_EQ(rig.plugin->AppOutputChannels(), 2);
  EXPECT_TRUE(rig.plugin->IsQueueTimerRunning());
}

TEST(IPlugAPPTest, QueueDrainRunsOnlyWhileTheObjectIsWhole)
{
  TestAppPlugin plugin(InstanceInfo{}, TestSpec(true));
  EXPECT_FALSE(plugin.IsQueueTimerRunning());
  plugin.AnnounceHost();
  EXPECT_TRUE(plugin.IsQueueTimerRunning());
  plugin.ShutDown();
  EXPECT_FALSE(plugin.IsQueueTimerRunning());
  // Without a host there is no output port, whatever the plug-in declares.
  EXPECT_FALSE(plugin.SendMidiMessage(IMidiEvent{0, 0x90, 1, 1}));
}

TEST(IPlugAPPTest, DeviceMidiReachesProcessorAndEditorInOrder)
{
  AppRig rig;
  // 40 messages between two callbacks: the ring keeps the first 32.
  for (uint8_t k = 0; k < 40; k++)
    rig.devices.midiIn->Deliver({0x90, k, static_cast<uint8_t>(100 - k)});
  rig.Callback();
  ASSERT_EQ(rig.plugin->midiCount, 32);
  for (int k = 0; k < 32; k++)
  {
    EXPECT_EQ(rig.plugin->midi[k].status, 0x90);
    EXPECT_EQ(rig.plugin->midi[k].data1, k);
    EXPECT_EQ(rig.plugin->midi[k].data2, 100 - k);
  }
  rig.WaitForEditor(32);
  {
    std::lock_guard<std::mutex> lock(rig.plugin->editorLock);
    ASSERT_EQ(rig.plugin->editorMidi.size(), 32u);
    for (int k = 0; k < 32; k++)
      EXPECT_EQ(rig.plugin->editorMidi[k].data1, k);
  }
  // The ring is free again for the next callback.
  rig.devices.midiIn->Deliver({0xB0, 7, 64});
  rig.Callback();
  ASSERT_EQ(rig.plugin->midiCount, 33);
  EXPECT_EQ(rig.plugin->midi[32].status, 0xB0);
  // The effect declares no MIDI output: nothing reached the open output port.
  EXPECT_EQ(rig.devices.midiOut->openPort, 0);
  EXPECT_TRUE(rig.devices.midiOut->sent.empty());
}

TEST(IPlugAPPTest, SysexOfFourTo512BytesArrivesWholeAndAFullRingDrops)
{
  AppRig rig;
  std::vector<std::vector<uint8_t>> sent;
  for (const int size : {4, 100, 512, 513, 7, 9})
  {
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    for (int i = 0; i < size; i++)
      bytes[i] = static_cast<uint8_t>(i * 7 + size);
    bytes.front() = 0xF0;
    bytes.back() = 0xF7;
    rig.devices.midiIn->Deliver(bytes);
    sent.push_back(bytes);
  }
  rig.Callback();
  // 513 bytes never queue; of the other five the ring keeps four.
  ASSERT_EQ(rig.plugin->sysexCount, 4);
  EXPECT_EQ(rig.plugin->sysex[0], sent[0]);
  EXPECT_EQ(rig.plugin->sysex[1], sent[1]);
  EXPECT_EQ(rig.plugin->sysex[2], sent[2]);
  EXPECT_EQ(rig.plugin->sysex[3], sent[4]);
  EXPECT_EQ(rig.plugin->midiCount, 0);
  for (int i = 0; i < 100; i++)
  {
    {
      std::lock_guard<std::mutex> lock(rig.plugin->editorLock);
      if (rig.plugin->editorSysex.size() == 4) break;
    }
    quorvel::test::PumpUiEvents(20);
  }
  std::lock_guard<std::mutex> lock(rig.plugin->editorLock);
  ASSERT_EQ(rig.plugin->editorSysex.size(), 4u);
  EXPECT_EQ(rig.plugin->editorSysex[2], sent[2]);
}

TEST(IPlugAPPTest, EditorMidiReachesTheProcessorButIsNotEchoed)
{
  AppRig rig;
  IMidiEvent msg;
  msg.status = 0xE0;
  msg.data1 = 1;
  msg.data2 = 2;
  rig.plugin->SendMidiMessageFromEditor(msg);
  rig.Callback();
  ASSERT_EQ(rig.plugin->midiCount, 1);
  EXPECT_EQ(rig.plugin->midi[0].status, 0xE0);
  quorvel::test::PumpUiEvents(60);
  EXPECT_EQ(rig.plugin->EditorMidiCount(), 0u);
}

TEST(IPlugAPPTest, MidiOutputOnlyWhenDeclaredAndAPortIsThere)
{
  {
    AppRig rig(false);
    const uint8_t bytes[] = {0xF0, 1, 2, 0xF7};
    EXPECT_FALSE(rig.plugin->SendMidiMessage(IMidiEvent{0, 0x90, 60, 1}));
    EXPECT_FALSE(rig.plugin->SendSysexMessage(ISysexEvent{0, 4, bytes}));
    EXPECT_TRUE(rig.devices.midiOut->sent.empty());
  }
  {
    AppRig rig(true);
    const uint8_t bytes[] = {0xF0, 1, 2, 0xF7};
    EXPECT_TRUE(rig.plugin->SendMidiMessage(IMidiEvent{0, 0x90, 60, 1}));
    EXPECT_TRUE(rig.plugin->SendSysexMessage(ISysexEvent{0, 4, bytes}));
    // Empty messages are refused, not sent.
    EXPECT_FALSE(rig.plugin->SendSysexMessage(ISysexEvent{0, 0, bytes}));
    EXPECT_FALSE(rig.plugin->SendSysexMessage(ISysexEvent{0, 4, nullptr}));
    // The editor's SysEx goes out at once, without waiting for a block.
    rig.plugin->SendSysexMessageFromEditor(ISysexEvent{0, 3, bytes});
    // Device MIDI passes through the processor's default handler to the output.
    rig.devices.midiIn->Deliver({0x80, 61, 0});
    rig.Callback();
    const std::vector<std::vector<uint8_t>> expected = {
        {0x90, 60, 1}, {0xF0, 1, 2, 0xF7}, {0xF0, 1, 2}, {0x80, 61, 0}};
    EXPECT_EQ(rig.devices.midiOut->sent, expected);
  }
}

TEST(IPlugAPPTest, RunBlockConvertsAndProcessesExactlyItsFrames)
{
  for (const int32_t kind : {0, 1})
  {
    SCOPED_TRACE(kind);
    AppRig rig(false, kind);
    for (const int frames : {1, 96, 511, 512})
    {
      std::vector<double> in0(frames + 2, 7.0), in1(frames + 2, 7.0), out0(frames + 2, -3.0),
          out1(frames + 2, -3.0);
      for (int j = 0; j < frames; j++)
      {
        in0[j] = 0.25 * j / frames;
        in1[j] = -0.5 + 0.001 * j;
      }
      double* inputs[] = {in0.data(), in1.data()};
      double* outputs[] = {out0.data(), out1.data()};
      rig.plugin->RunBlock(inputs, outputs, frames);
      for (int j = 0; j < frames; j++)
      {
        // An instrument-like plug-in hears nothing of its inputs.
        EXPECT_FLOAT_EQ(static_cast<float>(out0[j]), kind == 1 ? 0.0f : 0.5f * static_cast<float>(in0[j]));
        EXPECT_FLOAT_EQ(static_cast<float>(out1[j]), kind == 1 ? 0.0f : 0.5f * static_cast<float>(in1[j]));
      }
      // Frames past the slice stay untouched.
      EXPECT_EQ(out0[frames], -3.0);
      EXPECT_EQ(out1[frames + 1], -3.0);
    }
  }
}

TEST(IPlugAPPTest, ResizeRequestKeepsTheSizeAndLeavesTheWindowAlone)
{
  AppRig rig;
  EXPECT_FALSE(rig.plugin->ResizeEditorWindow(700, 400, true));
  EXPECT_EQ(rig.plugin->GetEditorWidth(), 700);
  EXPECT_EQ(rig.plugin->GetEditorHeight(), 400);
  EXPECT_TRUE(rig.plugin->EditorResizeRequest(10, 10, false));
  EXPECT_EQ(rig.plugin->GetEditorWidth(), 700);
}

TEST(IPlugAPPTest, MidiFromAnotherThreadKeepsItsOrderAndAudioAllocatesNothing)
{
  AppRig rig;
  std::atomic<bool> done{false};
  std::atomic<int> pumps{0};
  std::thread midiThread(
      [&]
      {
        for (int k = 0; k < 3000; k++)
        {
          rig.devices.midiIn->Deliver(
              {0xB0, static_cast<uint8_t>(k & 0x7F), static_cast<uint8_t>((k >> 7) & 0x7F)});
          // Bursts of 24 that partly overlap the audio side's draining.
          if (k % 24 == 23)
          {
            const int seen = pumps;
            while (pumps == seen)
              std::this_thread::yield();
          }
        }
        done = true;
      });
  std::vector<double> in(2 * 64, 0.0), out(2 * 64);
  int allocations = 0;
  while (!done)
  {
    quorvel::test::StartCountingAllocations();
    rig.devices.audio->Pump(in, out, 64);
    allocations += quorvel::test::StopCountingAllocations();
    pumps++;
  }
  midiThread.join();
  rig.devices.audio->Pump(in, out, 64);
  EXPECT_EQ(allocations, 0);
  // A burst may meet the rest of the one before in a full ring, which drops; most get through.
  ASSERT_GT(rig.plugin->midiCount, 1000);
  ASSERT_LE(rig.plugin->midiCount, 3000);
  int last = -1;
  for (int i = 0; i < std::min(rig.plugin->midiCount, 4096); i++)
  {
    const int k = rig.plugin->midi[i].data1 | (rig.plugin->midi[i].data2 << 7);
    ASSERT_GT(k, last) << "message " << i << " out of order";
    last = k;
  }
}
