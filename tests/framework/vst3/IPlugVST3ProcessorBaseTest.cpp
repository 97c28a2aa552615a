#include "tests/support/core/AllocationCounter.h"
#include "tests/support/vst3/HostApplication.h"
#include "tests/support/vst3/HostEventList.h"
#include "tests/support/vst3/HostParameterChanges.h"
#include "tests/support/vst3/HostProcessData.h"
#include "tests/support/vst3/TestVst3Plugin.h"

#include <gtest/gtest.h>

#include <cstring>

using quorvel::test::MapParamId;
using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace quorvel::test;

namespace
{
struct Plug
{
  explicit Plug(const char* io = "1-1 2-2", bool midiIn = false, bool midiOut = false)
      : p(new TestVst3Plugin(TestVst3Spec(io, midiIn, midiOut)))
  {
  }
  ~Plug() { p->release(); }
  TestVst3Plugin* p;
};
} // namespace

// One live plug-in at a time: the portable queue timer is not safe for two (see the report).
TEST(IPlugVST3ProcessorBase, AnswersConfigurationQueries)
{
  int config = -1;
  {
    Plug plug;
    TestVst3Plugin& p = *plug.p;
    EXPECT_EQ(p.LargestBusCount(iplug::kInput, &config), 1);
    EXPECT_EQ(config, 1) << "the last of the widest configurations";
    const int two[] = {2}, one[] = {1};
    EXPECT_EQ(p.FindChannelConfig(two, 1, two, 1), 1);
    EXPECT_EQ(p.FindChannelConfig(one, 1, one, 1), 0);
    EXPECT_EQ(p.FindChannelConfig(one, 1, two, 1), -1);
    EXPECT_EQ(p.FindChannelConfig(nullptr, 0, two, 1), -1);
    EXPECT_EQ(p.LargestBusChannelCount(iplug::kInput, 0), 2);
    EXPECT_EQ(p.LargestBusChannelCount(iplug::kInput, 1), 0);
  }
  {
    Plug wildcard("*-2 2-2");
    EXPECT_EQ(wildcard.p->LargestBusChannelCount(iplug::kInput, 0), -1);
    EXPECT_EQ(wildcard.p->LargestBusChannelCount(iplug::kOutput, 0), 2);
  }
  const int two[] = {2};
  Plug sidechain("2.1-2 1-1");
  EXPECT_EQ(sidechain.p->LargestBusCount(iplug::kInput, &config), 2);
  EXPECT_EQ(config, 0);
  const int withSide[] = {2, 1};
  EXPECT_EQ(sidechain.p->FindChannelConfig(withSide, 2, two, 1), 0);
  EXPECT_EQ(sidechain.p->LargestBusChannelCount(iplug::kInput, 1), 1);
}

TEST(IPlugVST3ProcessorBase, AttachesHostBuffersToConnectedChannelsOnly)
{
  Plug plug("3-3");
  TestVst3Plugin& p = *plug.p;
  p.MarkChannelsConnected(iplug::kInput, 1, 1, false);
  float a[4] = {1, 1, 1, 1}, b[4] = {2, 2, 2, 2};
  float* host[] = {a, b};
  p.AttachFloatBuffers(iplug::kInput, 0, 3, host);
  // The block sees the first and third channel on the host's memory, the middle one on silence.
  float out0[4], out1[4], out2[4];
  float* outs[] = {out0, out1, out2};
  p.AttachFloatBuffers(iplug::kOutput, 0, 3, outs);
  p.ProcessFloatBuffers(4);
  EXPECT_EQ(out0[3], 1.f);
  EXPECT_EQ(out1[3], 0.f);
  EXPECT_EQ(out2[3], 2.f);
}

TEST(IPlugVST3ProcessorBase, ProcessesWithoutAllocating)
{
  Plug plug;
  TestVst3Plugin& p = *plug.p;
  HostApplication host;
  ASSERT_EQ(p.initialize(&host), kResultOk);
  p.activateBus(kAudio, kInput, 0, true);
  p.activateBus(kAudio, kOutput, 0, true);
  for (int32 size : {kSample32, kSample64})
  {
    ProcessSetup setup{kRealtime, size, 512, 48000.0};
    ASSERT_EQ(p.setupProcessing(setup), kResultOk);
    p.setActive(true);
    HostProcessData data({2}, {2}, 2000, size == kSample64);
    data.FillInputs(2000);
    HostParameterChanges changes;
    changes.Add(MapParamId(1), 5, 0.3);
    changes.Add(MapParamId(13), 0, 1.0);
    ProcessContext context{};
    context.tempo = 100.0;
    ProcessData& pd = data.Block(2000);
    pd.inputParameterChanges = &changes;
    pd.processContext = &context;
    p.paramChanges.reserve(p.paramChanges.size() + 64);
    long before = GlobalAllocationCount();
    int* volatile probe = new int(1);
    delete probe;
    ASSERT_EQ(GlobalAllocationCount() - before, 1) << "the counter sees allocations";
    before = GlobalAllocationCount();
    for (int i = 0; i < 4; ++i)
      p.process(pd);
    EXPECT_EQ(GlobalAllocationCount() - before, 0) << "sample size " << size;
    p.setActive(false);
  }
  p.terminate();
}

TEST(IPlugVST3ProcessorBase, SendsTheEditorsSysexToTheHostAsDataEvents)
{
  Plug plug("1-1 2-2", false, true);
  TestVst3Plugin& p = *plug.p;
  HostApplication host;
  ASSERT_EQ(p.initialize(&host), kResultOk);
  const uint8_t first[] = {0xF0, 0x01, 0xF7};
  const uint8_t second[] = {0xF0, 0x02, 0x03, 0xF7};
  iplug::ISysexEvent e1{7, 3, first}, e2{9, 4, second};
  p.SendSysexMessageFromEditor(e1);
  p.SendSysexMessageFromEditor(e2);
  HostEventList out;
  ProcessData data;
  data.outputEvents = &out;
  p.process(data);
  ASSERT_EQ(out.events.size(), 2u);
  EXPECT_EQ(out.events[0].type, Event::kDataEvent);
  EXPECT_EQ(out.events[0].sampleOffset, 7);
  ASSERT_EQ(out.events[0].data.size, 3u);
  // Both packets stay readable until the host takes the list: no shared scratch packet.
  EXPECT_EQ(std::memcmp(out.events[0].data.bytes, first, 3), 0);
  ASSERT_EQ(out.events[1].data.size, 4u);
  EXPECT_EQ(std::memcmp(out.events[1].data.bytes, second, 4), 0);
  p.terminate();
}
