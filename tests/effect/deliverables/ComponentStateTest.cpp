#include "effect/deliverables/ComponentState.h"
#include "framework/vst3/Vst3StateStream.h"

#include "tests/support/vst3/HostStream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace quorvel;
using iplug::StateChunk;
using namespace Steinberg;
using quorvel::test::HostStream;

namespace
{
std::vector<uint8_t> BlockState(int32_t bypassWord, size_t extra = 0)
{
  std::vector<uint8_t> bytes(kComponentStateBytes + extra, 0);
  std::memcpy(bytes.data(), "QVKX", 4);
  for (int i = 4; i < kStateBlockSize; ++i)
    bytes[static_cast<size_t>(i)] = static_cast<uint8_t>(i * 7);
  std::memcpy(bytes.data() + kStateBlockSize, &bypassWord, 4);
  return bytes;
}

std::vector<uint8_t> Xml(size_t size)
{
  std::string text = "<Quorvel version=\"1\"";
  text.resize(size - 2, ' ');
  text += "/>";
  return std::vector<uint8_t>(text.begin(), text.end());
}

StateChunk Block()
{
  StateChunk block;
  for (int i = 0; i < kStateBlockSize; ++i)
    block.Put(static_cast<uint8_t>(i));
  return block;
}
} // namespace

TEST(Vst3ComponentState, WritesBlockAndBypassWordThroughPartialWrites)
{
  HostStream whole;
  ASSERT_EQ(WriteComponentState(&whole, Block()), kResultOk);
  ASSERT_EQ(whole.data.size(), 132u);
  for (int i = 0; i < kStateBlockSize; ++i)
    ASSERT_EQ(whole.data[static_cast<size_t>(i)], i);
  EXPECT_EQ(whole.data[128] | whole.data[129] | whole.data[130] | whole.data[131], 0);

  HostStream piecemeal;
  piecemeal.writePlan = {100, 32};
  ASSERT_EQ(WriteComponentState(&piecemeal, Block()), kResultOk);
  EXPECT_EQ(piecemeal.writeCalls, 2);
  EXPECT_EQ(piecemeal.data, whole.data);

  HostStream bytewise;
  bytewise.writeChunk = 1;
  ASSERT_EQ(WriteComponentState(&bytewise, Block()), kResultOk);
  EXPECT_EQ(bytewise.writeCalls, 132);

  HostStream stuck;
  stuck.writePlan = {0};
  EXPECT_EQ(WriteComponentState(&stuck, Block()), kResultFalse) << "0 bytes written must not loop forever";
  EXPECT_EQ(stuck.writeCalls, 1);

  HostStream refusing;
  refusing.writeResult = kInternalError;
  EXPECT_EQ(WriteComponentState(&refusing, Block()), kResultFalse);
  EXPECT_EQ(WriteComponentState(nullptr, Block()), kResultFalse);

  StateChunk shortBlock;
  shortBlock.Put(int32_t{1});
  HostStream unused;
  EXPECT_EQ(WriteComponentState(&unused, shortBlock), kResultFalse);
  EXPECT_EQ(unused.writeCalls, 0);
}

TEST(Vst3ComponentState, ReadsBlockStatesInAnyChunkingAndChecksTheirForm)
{
  StateChunk bytes;
  for (int chunk : {0, 128, 4, 1, 77})
  {
    HostStream stream(BlockState(1));
    stream.readChunk = chunk;
    ASSERT_EQ(ReadComponentState(&stream, bytes), kResultOk) << chunk;
    ASSERT_EQ(bytes.GetSize(), kComponentStateBytes);
    EXPECT_EQ(std::memcmp(bytes.GetData(), stream.data.data(), kComponentStateBytes), 0);
    EXPECT_EQ(ComponentStateBypassWord(bytes), 1);
  }

  // A host that answers kResultFalse on the short last read is still believed.
  HostStream falseAtEnd(BlockState(0));
  falseAtEnd.readResult = kResultFalse;
  falseAtEnd.endResult = kResultFalse;
  EXPECT_EQ(ReadComponentState(&falseAtEnd, bytes), kResultOk);

  HostStream longer(BlockState(0, 1));
  EXPECT_EQ(ReadComponentState(&longer, bytes), kResultFalse) << "133 bytes with the magic";
  std::vector<uint8_t> cut = BlockState(0);
  cut.pop_back();
  HostStream shorter(cut);
  EXPECT_EQ(ReadComponentState(&shorter, bytes), kResultFalse);
  HostStream bypassTwo(BlockState(2));
  EXPECT_EQ(ReadComponentState(&bypassTwo, bytes), kResultFalse);
  HostStream bypassNegative(BlockState(-1));
  EXPECT_EQ(ReadComponentState(&bypassNegative, bytes), kResultFalse);
  HostStream three(std::vector<uint8_t>{'Q', 'V', 'K'});
  EXPECT_EQ(ReadComponentState(&three, bytes), kResultFalse);
  HostStream empty;
  EXPECT_EQ(ReadComponentState(&empty, bytes), kResultFalse);
  EXPECT_EQ(ReadComponentState(nullptr, bytes), kResultFalse);

  HostStream failing(BlockState(0));
  failing.readResult = kInternalError;
  EXPECT_EQ(ReadComponentState(&failing, bytes), kResultFalse);
  HostStream failingAtEnd(BlockState(0));
  failingAtEnd.endResult = kInternalError;
  EXPECT_EQ(ReadComponentState(&failingAtEnd, bytes), kResultFalse);
}

TEST(Vst3ComponentState, LeavesOtherFormsToTheStateReaderUpToOneMebibyte)
{
  StateChunk bytes;
  HostStream largest(Xml(iplug::kMaxStateStreamBytes));
  largest.readChunk = 100;
  ASSERT_EQ(ReadComponentState(&largest, bytes), kResultOk);
  EXPECT_EQ(bytes.GetSize(), iplug::kMaxStateStreamBytes);
  EXPECT_EQ(ComponentStateBypassWord(bytes), 0);

  HostStream tooLarge(Xml(iplug::kMaxStateStreamBytes + 1));
  EXPECT_EQ(ReadComponentState(&tooLarge, bytes), kResultFalse);

  // Garbage that is not the block form passes here; the plug-in's reader refuses it.
  HostStream garbage(std::vector<uint8_t>(40, 0xEE));
  EXPECT_EQ(ReadComponentState(&garbage, bytes), kResultOk);
  EXPECT_EQ(bytes.GetSize(), 40);
}
