#include "tests/support/vst3/HostApplication.h"
#include "tests/support/vst3/HostEventList.h"
#include "tests/support/vst3/HostParameterChanges.h"
#include "tests/support/vst3/HostProcessData.h"
#include "tests/support/vst3/TestVst3Plugin.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <thread>

using iplug::IPluginSpec;
using iplug::ITransportState;
using iplug::kFactoryProgramList;
using iplug::kHost;
using iplug::kReset;
using iplug::kUI;
using iplug::TextBuffer;
using quorvel::test::MapParamId;
using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace quorvel::test;

namespace
{
struct Processing
{
  explicit Processing(int32 sampleSize = kSample32, int maxBlock = 512,
                      const IPluginSpec& spec = TestVst3Spec())
      : plug(new TestVst3Plugin(spec))
  {
    EXPECT_EQ(plug->initialize(&host), kResultOk);
    plug->activateBus(kAudio, kInput, 0, true);
    plug->activateBus(kAudio, kOutput, 0, true);
    ProcessSetup setup{kRealtime, sampleSize, maxBlock, 48000.0};
    EXPECT_EQ(plug->setupProcessing(setup), kResultOk);
    EXPECT_EQ(plug->setActive(true), kResultOk);
    EXPECT_EQ(plug->setProcessing(true), kResultOk);
  }
  ~Processing()
  {
    plug->setProcessing(false);
    plug->setActive(false);
    plug->terminate();
    plug->release();
  }
  HostApplication host;
  TestVst3Plugin* plug;
};

double GainParam(TestVst3Plugin& p)
{
  return p.GetParam(1)->Value();
}
} // namespace

TEST(IPlugVST3Process, RunsHostBlocksOfAnySizeInBothSampleSizes)
{
  for (int32 size : {kSample32, kSample64})
  {
    // The host announces 512 frames but sends up to 8191: long blocks are sliced, never overrun.
    Processing pr(size, 512);
    TestVst3Plugin& p = *pr.plug;
    p.GetParam(1)->Set(0.5);
    HostProcessData host({2}, {2}, 8191, size == kSample64);
    std::mt19937 random(7);
    long start = 0;
    for (int block = 0; block < 40; ++block)
    {
      const int frames = block == 0 ? 8191 : static_cast<int>(random() % 8191) + 1;
      host.FillInputs(frames, start);
      ASSERT_EQ(p.process(host.Block(frames)), kResultOk);
      for (int c = 0; c < 2; ++c)
        for (int i = 0; i < frames; i += 97)
          ASSERT_NEAR(host.Output(0, c, i), 0.5 * host.Input(0, c, i), 1e-6)
              << size << " " << frames << " " << i;
      ASSERT_NEAR(host.Output(0, 1, frames - 1), 0.5 * host.Input(0, 1, frames - 1), 1e-6);
      start += frames;
    }
    EXPECT_LE(p.maxFrames, 512) << "the plug-in never sees more than its block size";
    EXPECT_EQ(p.connectedInputs, 2);
  }
}

TEST(IPlugVST3Process, ProcessesFromAThreadOtherThanTheOneThatActivated)
{
  Processing pr(kSample32, 256);
  HostProcessData host({2}, {2}, 256);
  host.FillInputs(256);
  std::thread audio(
      [&]
      {
        for (int i = 0; i < 20; ++i)
          pr.plug->process(host.Block(256));
      });
  audio.join();
  EXPECT_EQ(pr.plug->blocks, 20);
  EXPECT_NEAR(host.Output(0, 0, 100), host.Input(0, 0, 100), 1e-6);
}

TEST(IPlugVST3Process, FollowsTheHostsBusesAndBuffers)
{
  Processing pr;
  TestVst3Plugin& p = *pr.plug;
  HostProcessData stereo({2}, {2}, 512);
  stereo.FillInputs(512);
  p.process(stereo.Block(512));
  EXPECT_EQ(p.connectedInputs, 2);

  // A mono block: the second input channel is disconnected and reads silence.
  HostProcessData mono({1}, {1}, 512);
  mono.FillInputs(512);
  p.process(mono.Block(512));
  EXPECT_EQ(p.connectedInputs, 1);
  EXPECT_NEAR(mono.Output(0, 0, 10), mono.Input(0, 0, 10), 1e-6);

  // No input buses at all: nothing of the previous block's inputs may be read.
  HostProcessData noInputs({}, {2}, 512);
  p.process(noInputs.Block(512));
  EXPECT_EQ(p.connectedInputs, 0);
  EXPECT_EQ(noInputs.Output(0, 0, 10), 0.0);
  EXPECT_EQ(noInputs.Output(0, 1, 511), 0.0);

  // An inactive output bus, and an output bus the plug-in does not have, get silence: a host
  // would otherwise play whatever its buffers held.
  p.activateBus(kAudio, kOutput, 0, false);
  HostProcessData inactive({2}, {2, 2}, 512);
  inactive.FillInputs(512);
  ProcessData& data = inactive.Block(512);
  for (int b = 0; b < 2; ++b)
    for (int c = 0; c < 2; ++c)
      data.outputs[b].channelBuffers32[c][5] = 123.f;
  p.process(data);
  EXPECT_EQ(inactive.Output(0, 0, 5), 0.0);
  EXPECT_EQ(inactive.Output(1, 1, 5), 0.0);
  p.activateBus(kAudio, kOutput, 0, true);

  // Buses announced with channels but without channel pointers are treated as empty.
  HostProcessData hollow({2}, {2}, 512);
  ProcessData& h = hollow.Block(512);
  h.inputs[0].channelBuffers32 = nullptr;
  h.outputs[0].channelBuffers32 = nullptr;
  EXPECT_EQ(p.process(h), kResultOk);
  EXPECT_EQ(p.connectedInputs, 0);
}

TEST(IPlugVST3Process, AppliesAutomationEvenWithoutAudio)
{
  Processing pr;
  TestVst3Plugin& p = *pr.plug;
  HostParameterChanges changes;
  changes.Add(MapParamId(1), 3, 0.25);
  changes.Add(MapParamId(1), 40, 0.75); // only the last point counts
  changes.Add(MapParamId(13), 7, 1.0);
  changes.Add(65538, 0, 1.0); // not a parameter of this plug-in
  ProcessData flush;
  flush.numSamples = 0;
  flush.inputParameterChanges = &changes;
  p.paramChanges.clear();
  const int blocks = p.blocks;
  ASSERT_EQ(p.process(flush), kResultOk);
  EXPECT_EQ(p.blocks, blocks) << "no audio work for 0 samples";
  EXPECT_DOUBLE_EQ(GainParam(p), 1.5);
  EXPECT_EQ(p.GetParam(13)->Value(), 1.0);
  ASSERT_EQ(p.paramChanges.size(), 2u);
  EXPECT_EQ(p.paramChanges[0].idx, 1);
  EXPECT_EQ(p.paramChanges[0].source, kHost);
  EXPECT_EQ(p.paramChanges[0].offset, 40);
  EXPECT_EQ(p.paramChanges[1].idx, 13);
  // Automation reaches the values, not the host-side parameter objects.
  EXPECT_NE(p.getParamNormalized(MapParamId(1)), 0.75);

  // Negative sample counts and unknown sample sizes do no audio work but keep the automation.
  HostProcessData host({2}, {2}, 64);
  ProcessData& negative = host.Block(64);
  negative.numSamples = -64;
  changes.Clear();
  changes.Add(MapParamId(1), 0, 0.5);
  negative.inputParameterChanges = &changes;
  EXPECT_EQ(p.process(negative), kResultOk);
  EXPECT_EQ(p.blocks, blocks);
  EXPECT_DOUBLE_EQ(GainParam(p), 1.0);
  ProcessData& odd = host.Block(64);
  odd.symbolicSampleSize = 7;
  EXPECT_EQ(p.process(odd), kResultOk);
  EXPECT_EQ(p.blocks, blocks);
}

TEST(IPlugVST3Process, KeepsTheTransportOfTheLastContext)
{
  Processing pr;
  TestVst3Plugin& p = *pr.plug;
  ProcessContext context{};
  context.state =
      ProcessContext::kPlaying | ProcessContext::kCycleActive | ProcessContext::kProjectTimeMusicValid;
  context.tempo = 133.0;
  context.projectTimeSamples = 48000;
  context.projectTimeMusic = 4.5;
  context.barPositionMusic = 4.0;
  context.cycleStartMusic = 0.0;
  context.cycleEndMusic = 16.0;
  context.timeSigNumerator = 7;
  context.timeSigDenominator = 8;
  ProcessData data;
  data.processContext = &context;
  p.process(data);
  ITransportState t = p.GetTransport();
  EXPECT_EQ(t.tempo, 133.0);
  EXPECT_EQ(t.samplePos, 48000.0);
  EXPECT_EQ(t.ppqPos, 4.5);
  EXPECT_EQ(t.lastBar, 4.0);
  EXPECT_EQ(t.cycleEnd, 16.0);
  EXPECT_EQ(t.numerator, 7);
  EXPECT_EQ(t.denominator, 8);
  EXPECT_TRUE(t.transportIsRunning);
  EXPECT_TRUE(t.transportLoopEnabled);

  data.processContext = nullptr;
  p.process(data);
  EXPECT_EQ(p.GetTransport().tempo, 133.0) << "a call without context keeps the last one";

  context.state = 0;
  context.tempo = 90.0;
  data.processContext = &context;
  p.process(data);
  t = p.GetTransport();
  EXPECT_EQ(t.samplePos, -1.0) << "no valid project time";
  EXPECT_EQ(t.tempo, 90.0);
  EXPECT_EQ(t.ppqPos, 4.5);
  EXPECT_FALSE(t.transportIsRunning);
}

TEST(IPlugVST3Process, ExchangesMidiWhenThePlugInDeclaresIt)
{
  Processing pr(kSample32, 512, TestVst3Spec("1-1 2-2", true, true));
  TestVst3Plugin& p = *pr.plug;
  EXPECT_EQ(p.getBusCount(kEvent, kInput), 1);
  EXPECT_EQ(p.getBusCount(kEvent, kOutput), 1);
  p.echoMidi = true;

  HostEventList in, out;
  Event on{};
  on.type = Event::kNoteOnEvent;
  on.sampleOffset = 12;
  on.noteOn.channel = 2;
  on.noteOn.pitch = 64;
  on.noteOn.velocity = 0.5f;
  in.events.push_back(on);
  Event off = on;
  off.type = Event::kNoteOffEvent;
  off.sampleOffset = 3;
  off.noteOff.channel = 2;
  off.noteOff.pitch = 64;
  in.events.push_back(off);
  const uint8_t sysexBytes[] = {0xF0, 0x7E, 0x01, 0xF7};
  Event sysex{};
  sysex.type = Event::kDataEvent;
  sysex.data.type = DataEvent::kMidiSysEx;
  sysex.data.size = 4;
  sysex.data.bytes = sysexBytes;
  in.events.push_back(sysex);

  HostProcessData host({2}, {2}, 64);
  ProcessData& data = host.Block(64);
  data.inputEvents = &in;
  data.outputEvents = &out;
  p.process(data);

  ASSERT_EQ(p.midiIn.size(), 2u);
  EXPECT_EQ(p.midiIn[0].status, 0x92);
  EXPECT_EQ(p.midiIn[0].data1, 64);
  EXPECT_EQ(p.midiIn[0].data2, 63);
  EXPECT_EQ(p.midiIn[0].offset, 12);
  EXPECT_EQ(p.midiIn[1].status, 0x82);
  ASSERT_EQ(p.sysexIn.size(), 1u);
  EXPECT_EQ(p.sysexIn[0], std::vector<uint8_t>(sysexBytes, sysexBytes + 4));

  // What the plug-in sent went out sorted by offset.
  ASSERT_EQ(out.events.size(), 2u);
  EXPECT_EQ(out.events[0].type, Event::kNoteOffEvent);
  EXPECT_EQ(out.events[0].sampleOffset, 3);
  EXPECT_EQ(out.events[1].type, Event::kNoteOnEvent);
  EXPECT_EQ(out.events[1].sampleOffset, 12);

  // Host controller numbers map to the MIDI-controller parameters.
  ParamID id = 0;
  EXPECT_EQ(p.getMidiControllerAssignment(0, 0, 1, id), kResultOk);
  EXPECT_NE(p.getParameterObject(id), nullptr);
  EXPECT_EQ(p.getParameterCount(), 14 + 130);
}
