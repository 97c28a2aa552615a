#include "framework/core/IPlugProcessor.h"

#include "tests/support/core/AllocationCounter.h"
#include "tests/support/core/HeapAllocationFault.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace iplug;

namespace
{
IPluginSpec SpecFor(const char* channels)
{
  IPluginSpec spec;
  spec.channelIOStr = channels;
  spec.latency = 61;
  return spec;
}

// Records every block; by default writes out[c][i] = 2 * in[c][i] + c (in = 0 where the
// processor has no such input), so that each output tells where its samples came from.
class TestProcessor : public IPlugProcessor
{
public:
  using IPlugProcessor::GetChannelBinding;
  using IPlugProcessor::IPlugProcessor;

  struct Block
  {
    int32_t frames;
    std::vector<std::vector<float>> inputs; // as seen on entry
    std::vector<std::vector<float>> outputs;
  };

  void ProcessBlock(float** inputs, float** outputs, int32_t frames) override
  {
    if (!recordAndTransform)
    {
      IPlugProcessor::ProcessBlock(inputs, outputs, frames);
      return;
    }
    Block block{frames, {}, {}};
    for (int32_t c = 0; c < NChannels(kInput); ++c)
      block.inputs.emplace_back(inputs[c], inputs[c] + frames);
    for (int32_t c = 0; c < NChannels(kOutput); ++c)
      block.outputs.emplace_back(outputs[c], outputs[c] + frames);
    blocks.push_back(std::move(block));
    for (int32_t c = 0; c < NChannels(kOutput); ++c)
      for (int32_t i = 0; i < frames; ++i)
        outputs[c][i] = 2.0f * (c < NChannels(kInput) ? inputs[c][i] : 0.0f) + static_cast<float>(c);
  }

  bool SendMidiMessage(const IMidiEvent& msg) override
  {
    sent.push_back(msg.status);
    return msg.status != 0x80;
  }

  bool recordAndTransform = true;
  std::vector<Block> blocks;
  std::vector<uint8_t> sent;
};

// What TestProcessor makes of a host input sample on channel c, back as a host sample.
double Transformed(double hostInput, int32_t c)
{
  return static_cast<double>(2.0f * static_cast<float>(hostInput) + static_cast<float>(c));
}

std::vector<double> Ramp(int32_t n, double start = 0.1)
{
  std::vector<double> v(static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i)
    v[static_cast<size_t>(i)] = start + 0.01 * i;
  return v;
}
} // namespace

TEST(IPlugProcessor, ChannelsComeFromTheLargestConfiguration)
{
  TestProcessor processor(SpecFor("1-1 2-2.2"));
  EXPECT_EQ(processor.NChannelLayouts(), 2);
  EXPECT_EQ(processor.NChannels(kInput), 2);
  EXPECT_EQ(processor.NChannels(kOutput), 4);
  EXPECT_EQ(processor.CountConnectedChannels(kInput), 0);
  EXPECT_EQ(processor.GetLatency(), 61);
  processor.SetLatency(12);
  EXPECT_EQ(processor.GetLatency(), 12);

  // Ranges are clipped to the channels that exist.
  processor.MarkChannelsConnected(kOutput, 2, 10, true);
  EXPECT_EQ(processor.CountConnectedChannels(kOutput), 2);
  EXPECT_TRUE(processor.IsChannelConnected(kOutput, 3));
  processor.MarkChannelsConnected(kInput, -1, 2, true);
  EXPECT_TRUE(processor.IsChannelConnected(kInput, 0));
  EXPECT_FALSE(processor.IsChannelConnected(kInput, 1));
  EXPECT_FALSE(processor.IsChannelConnected(kInput, 7));
}

// The k-th connected channel takes the k-th host buffer; unconnected channels take none
// and read their zeroed scratch.
TEST(IPlugProcessor, BindingSkipsUnconnectedChannels)
{
  constexpr int32_t kFrames = 64;
  for (int32_t connectedInput : {0, 1})
  {
    TestProcessor processor(SpecFor("1-1 2-2"));
    processor.SetBlockSize(kFrames);
    processor.MarkChannelsConnected(kInput, connectedInput, 1, true);
    processor.MarkChannelsConnected(kOutput, 0, 2, true);

    std::vector<double> in = Ramp(kFrames);
    std::vector<double> out0(kFrames, 99.0), out1(kFrames, 99.0);
    double* inputs[] = {in.data()};
    double* outputs[] = {out0.data(), out1.data()};
    processor.BindHostBuffers(kInput, 0, 2, inputs, kFrames);
    processor.BindHostBuffers(kOutput, 0, 2, outputs, kFrames);
    processor.ProcessHostBuffers(kFrames);

    ASSERT_EQ(processor.blocks.size(), 1u);
    const auto& seen = processor.blocks[0].inputs;
    const int32_t other = 1 - connectedInput;
    for (int32_t i = 0; i < kFrames; ++i)
    {
      ASSERT_EQ(seen[static_cast<size_t>(connectedInput)][static_cast<size_t>(i)],
                static_cast<float>(in[static_cast<size_t>(i)]));
      ASSERT_EQ(seen[static_cast<size_t>(other)][static_cast<size_t>(i)], 0.0f);
    }
    const std::vector<double>& host = connectedInput == 0 ? out0 : out1;
    const std::vector<double>& silent = connectedInput == 0 ? out1 : out0;
    EXPECT_EQ(host[5], Transformed(in[5], connectedInput));
    EXPECT_DOUBLE_EQ(silent[5], static_cast<double>(other));
  }
}

TEST(IPlugProcessor, UnconnectedOutputWritesOnlyItsScratch)
{
  constexpr int32_t kFrames = 32;
  TestProcessor processor(SpecFor("2-2"));
  processor.SetBlockSize(kFrames);
  processor.MarkChannelsConnected(kInput, 0, 2, true);
  processor.MarkChannelsConnected(kOutput, 1, 1, true);

  std::vector<double> in0 = Ramp(kFrames), in1 = Ramp(kFrames, 0.5);
  std::vector<double> out(kFrames, 99.0), untouched(kFrames, 99.0);
  double* inputs[] = {in0.data(), in1.data()};
  double* outputs[] = {out.data(), untouched.data()};
  processor.BindHostBuffers(kInput, 0, 2, inputs, kFrames);
  processor.BindHostBuffers(kOutput, 0, 2, outputs, kFrames);
  processor.ProcessHostBuffers(kFrames);

  // Output 1 is the only connected one: it takes the first host buffer, and the second
  // is nobody's.
  EXPECT_EQ(out[3], Transformed(in1[3], 1));
  EXPECT_EQ(untouched, std::vector<double>(kFrames, 99.0));
  const IChannelBinding* scratchOnly = processor.GetChannelBinding(kOutput, 0);
  EXPECT_EQ(*scratchOnly->entry, scratchOnly->Scratch());
  EXPECT_FLOAT_EQ(scratchOnly->Scratch()[3], 2.0f * static_cast<float>(in0[3]));
}

// A channel that goes away must neither keep feeding its last samples nor point at a
// host buffer or an old scratch block (ASan watches the pointers).
TEST(IPlugProcessor, EntriesFollowDisconnectsAndReallocation)
{
  constexpr int32_t kFrames = 16;
  TestProcessor processor(SpecFor("2-2"));
  processor.SetBlockSize(kFrames);
  processor.MarkChannelsConnected(kInput, 0, 2, true);
  processor.MarkChannelsConnected(kOutput, 0, 2, true);
  std::vector<double> in0 = Ramp(kFrames), in1 = Ramp(kFrames, 0.7);
  std::vector<double> out0(kFrames), out1(kFrames);
  double* inputs[] = {in0.data(), in1.data()};
  double* outputs[] = {out0.data(), out1.data()};
  processor.BindHostBuffers(kInput, 0, 2, inputs, kFrames);
  processor.BindHostBuffers(kOutput, 0, 2, outputs, kFrames);
  processor.ProcessHostBuffers(kFrames);
  EXPECT_EQ(processor.blocks.back().inputs[1][0], static_cast<float>(in1[0]));

  processor.MarkChannelsConnected(kInput, 1, 1, false);
  const IChannelBinding* gone = processor.GetChannelBinding(kInput, 1);
  EXPECT_EQ(*gone->entry, gone->Scratch());
  processor.BindHostBuffers(kInput, 0, 2, inputs, kFrames);
  processor.BindHostBuffers(kOutput, 0, 2, outputs, kFrames);
  processor.ProcessHostBuffers(kFrames);
  EXPECT_EQ(processor.blocks.back().inputs[1], std::vector<float>(kFrames, 0.0f));

  // Disconnected outputs work in their scratch (cleared on disconnect); at the same size
  // the scratch keeps what the last block left in it (1 = 2 * silent input 1 + 1).
  processor.MarkChannelsConnected(kOutput, 0, 2, false);
  processor.ProcessHostBuffers(kFrames);
  EXPECT_EQ(processor.blocks.back().outputs[1][0], 0.0f);
  processor.SetBlockSize(kFrames);
  processor.ProcessHostBuffers(kFrames);
  EXPECT_EQ(processor.blocks.back().outputs[1][0], 1.0f);

  // A new size moves every scratch block: every entry must follow, connected or not.
  processor.SetBlockSize(4096);
  for (int32_t direction : {kInput, kOutput})
    for (int32_t c = 0; c < 2; ++c)
    {
      const IChannelBinding* channel = processor.GetChannelBinding(direction, c);
      EXPECT_EQ(*channel->entry, channel->Scratch());
    }
  processor.ProcessHostBuffers(4096);
  EXPECT_EQ(processor.blocks.back().frames, 4096);
  EXPECT_EQ(processor.blocks.back().outputs[0], std::vector<float>(4096, 0.0f));
  EXPECT_EQ(processor.blocks.back().outputs[1][0], 0.0f);
}

// A host block longer than the block size is run in slices; every frame of it is
// converted in and out at its own place, and nothing beyond the scratch is touched.
TEST(IPlugProcessor, LongHostBlocksAreProcessedInSlices)
{
  constexpr int32_t kBlock = 64, kHostFrames = 200;
  TestProcessor processor(SpecFor("1-1 2-2"));
  processor.SetBlockSize(kBlock);
  processor.MarkChannelsConnected(kInput, 0, 2, true);
  processor.MarkChannelsConnected(kOutput, 0, 2, true);

  std::vector<double> in0 = Ramp(kHostFrames);
  std::vector<double> inPlace = Ramp(kHostFrames, -1.0); // input 1 and output 1 share it
  std::vector<double> out0(kHostFrames, 99.0);
  double* inputs[] = {in0.data(), inPlace.data()};
  double* outputs[] = {out0.data(), inPlace.data()};
  const std::vector<double> original = inPlace;
  processor.BindHostBuffers(kInput, 0, 2, inputs, kHostFrames);
  processor.BindHostBuffers(kOutput, 0, 2, outputs, kHostFrames);
  processor.ProcessHostBuffers(kHostFrames);

  std::vector<int32_t> frames;
  for (const auto& block : processor.blocks)
    frames.push_back(block.frames);
  EXPECT_EQ(frames, std::vector<int32_t>({64, 64, 64, 8}));
  for (int32_t i = 0; i < kHostFrames; ++i)
  {
    const size_t s = static_cast<size_t>(i);
    ASSERT_EQ(out0[s], Transformed(in0[s], 0)) << i;
    ASSERT_EQ(inPlace[s], Transformed(original[s], 1)) << i;
  }
}

TEST(IPlugProcessor, NothingHappensWithoutFramesOrBlockSize)
{
  TestProcessor processor(SpecFor("2-2"));
  processor.MarkChannelsConnected(kInput, 0, 2, true);
  processor.MarkChannelsConnected(kOutput, 0, 2, true);
  std::vector<double> in(64, 0.5), out(64, 99.0);
  double* inputs[] = {in.data(), in.data()};
  double* outputs[] = {out.data(), out.data()};

  processor.BindHostBuffers(kInput, 0, 2, inputs, 64);
  processor.BindHostBuffers(kOutput, 0, 2, outputs, 64);
  processor.ProcessHostBuffers(64);
  EXPECT_TRUE(processor.blocks.empty()) << "no block size yet";

  processor.SetBlockSize(64);
  processor.BindHostBuffers(kInput, 0, 2, inputs, 64);
  processor.BindHostBuffers(kOutput, 0, 2, outputs, 64);
  processor.ProcessHostBuffers(0);
  processor.ProcessHostBuffers(-5);
  EXPECT_TRUE(processor.blocks.empty());

  processor.SetBlockSize(0);
  processor.ProcessHostBuffers(64);
  EXPECT_TRUE(processor.blocks.empty());
  EXPECT_EQ(out, std::vector<double>(64, 99.0));

  // Buffers bound for one block are not written by a later block that binds nothing.
  processor.SetBlockSize(64);
  processor.BindHostBuffers(kOutput, 0, 2, outputs, 64);
  processor.ProcessHostBuffers(64);
  std::fill(out.begin(), out.end(), 99.0);
  processor.ProcessHostBuffers(64);
  EXPECT_EQ(processor.blocks.size(), 2u);
  EXPECT_EQ(out, std::vector<double>(64, 99.0));
}

TEST(IPlugProcessor, BlockSizeThatCannotBeAllocatedProcessesNothing)
{
  TestProcessor processor(SpecFor("2-2"));
  processor.SetBlockSize(64);
  {
    quorvel::test::HeapAllocationFault fault;
    EXPECT_FALSE(processor.SetBlockSize(100000));
  }
  EXPECT_EQ(processor.GetBlockSize(), 0);
  for (int32_t c = 0; c < 2; ++c)
    EXPECT_EQ(*processor.GetChannelBinding(kOutput, c)->entry,
              processor.GetChannelBinding(kOutput, c)->Scratch());
  processor.ProcessHostBuffers(64);
  EXPECT_TRUE(processor.blocks.empty());
  EXPECT_TRUE(processor.SetBlockSize(128));
  processor.ProcessHostBuffers(128);
  EXPECT_EQ(processor.blocks.size(), 1u);
}

TEST(IPlugProcessor, BlockPathAllocatesNothing)
{
  TestProcessor processor(SpecFor("1-1 2-2"));
  processor.recordAndTransform = false;
  processor.SetBlockSize(512);
  processor.MarkChannelsConnected(kInput, 0, 2, true);
  processor.MarkChannelsConnected(kOutput, 0, 2, true);
  std::vector<double> in(2000, 0.25), out(2000);
  double* inputs[] = {in.data(), in.data()};
  double* outputs[] = {out.data(), out.data()};

  quorvel::test::HeapAllocationFault noHeap;
  const long before = quorvel::test::GlobalAllocationCount();
  for (int block = 0; block < 10; ++block)
  {
    processor.BindHostBuffers(kInput, 0, 2, inputs, 2000);
    processor.BindHostBuffers(kOutput, 0, 2, outputs, 2000);
    processor.ProcessHostBuffers(2000);
  }
  EXPECT_EQ(quorvel::test::GlobalAllocationCount() - before, 0);
  EXPECT_EQ(noHeap.Attempts(), 0);
  EXPECT_EQ(out[1999], 0.25);
}

TEST(IPlugProcessor, CopyThroughCopiesSharedChannelsAndSilencesTheRest)
{
  TestProcessor processor(SpecFor("1-2"));
  processor.recordAndTransform = false;
  processor.SetBlockSize(8);
  processor.MarkChannelsConnected(kInput, 0, 1, true);
  processor.MarkChannelsConnected(kOutput, 0, 2, true);
  std::vector<double> in = Ramp(8), out0(8, 99.0), out1(8, 99.0);
  double* inputs[] = {in.data()};
  double* outputs[] = {out0.data(), out1.data()};
  processor.BindHostBuffers(kInput, 0, 1, inputs, 8);
  processor.BindHostBuffers(kOutput, 0, 2, outputs, 8);
  processor.ProcessHostBuffers(8);
  for (size_t i = 0; i < 8; ++i)
  {
    EXPECT_EQ(out0[i], static_cast<double>(static_cast<float>(in[i])));
    EXPECT_EQ(out1[i], 0.0);
  }

  // Without inputs every output is silenced.
  TestProcessor generator(SpecFor("0-1"));
  generator.recordAndTransform = false;
  generator.SetBlockSize(8);
  generator.MarkChannelsConnected(kOutput, 0, 1, true);
  generator.BindHostBuffers(kOutput, 0, 1, outputs, 8);
  generator.ProcessHostBuffers(8);
  EXPECT_EQ(out0, std::vector<double>(8, 0.0));
}

TEST(IPlugProcessor, BusNamesAndMidiSending)
{
  TestProcessor processor(SpecFor("1-1"));
  TextBuffer name;
  processor.DescribeBus(kInput, 0, 1, name);
  EXPECT_STREQ(name.Get(), "Input");
  processor.DescribeBus(kInput, 0, 2, name);
  EXPECT_STREQ(name.Get(), "Main");
  processor.DescribeBus(kInput, 1, 2, name);
  EXPECT_STREQ(name.Get(), "Aux");
  processor.DescribeBus(kInput, 2, 3, name);
  EXPECT_STREQ(name.Get(), "Input 2");
  processor.DescribeBus(kOutput, 5, 1, name);
  EXPECT_STREQ(name.Get(), "Output");
  processor.DescribeBus(kOutput, 1, 3, name);
  EXPECT_STREQ(name.Get(), "Output 1");
  processor.DescribeBus(kOutput, 0, 2, name);
  EXPECT_STREQ(name.Get(), "Output 0");

  // A failed message does not stop the ones after it.
  const IMidiEvent msgs[] = {{0, 0x90, 60, 100}, {1, 0x80, 60, 0}, {2, 0xB0, 7, 1}};
  EXPECT_FALSE(processor.SendMidiMessages(msgs, 3));
  EXPECT_EQ(processor.sent, std::vector<uint8_t>({0x90, 0x80, 0xB0}));
  EXPECT_TRUE(processor.SendMidiMessages(msgs, 1));
  processor.ProcessMidiMessage(msgs[2]);
  EXPECT_EQ(processor.sent.back(), 0xB0);
}
