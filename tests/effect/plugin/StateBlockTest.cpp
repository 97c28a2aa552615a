#include "effect/plugin/StateBlock.h"

#include "tests/support/core/HeapAllocationFault.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace quorvel
{
namespace
{

StateBlock SampleBlock()
{
  StateBlock b;
  const float current[kParamCount] = {3, 20, -1.5f, 2, -20, 65, 15, 55, 25, 7500, 55, 1, 0, 1};
  const float other[kParamCount] = {5, 0.25f, 24, -24, 100, 0, -100, 100, 300, 2000, 100, 0, 1, 0};
  for (int i = 0; i < kParamCount; ++i)
  {
    b.current[i] = current[i];
    b.other[i] = other[i];
  }
  b.presetIndex = 7;
  b.activeSlot = 1;
  return b;
}

template <typename T> T ReadAt(const uint8_t* bytes, int offset)
{
  T v;
  std::memcpy(&v, bytes + offset, sizeof v);
  return v;
}

TEST(StateBlock, LayoutIsFixedLittleEndianWithoutPadding)
{
  const StateBlock b = SampleBlock();
  uint8_t bytes[kStateBlockSize];
  std::memset(bytes, 0xCD, sizeof bytes);
  EncodeStateBlock(b, bytes);

  EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes), 4), "QVKX");
  const uint8_t version[4] = {1, 0, 0, 0};
  EXPECT_EQ(std::memcmp(bytes + 4, version, 4), 0);
  for (int i = 0; i < kParamCount; ++i)
  {
    EXPECT_EQ(ReadAt<float>(bytes, 8 + 4 * i), b.current[i]) << "current " << i;
    EXPECT_EQ(ReadAt<float>(bytes, 64 + 4 * i), b.other[i]) << "other " << i;
  }
  const uint8_t preset[4] = {7, 0, 0, 0};
  const uint8_t slot[4] = {1, 0, 0, 0};
  EXPECT_EQ(std::memcmp(bytes + 120, preset, 4), 0);
  EXPECT_EQ(std::memcmp(bytes + 124, slot, 4), 0);
  // Drive 20.0f is 0x41A00000: its bytes must appear low byte first at offset 12.
  const uint8_t drive[4] = {0x00, 0x00, 0xA0, 0x41};
  EXPECT_EQ(std::memcmp(bytes + 12, drive, 4), 0);
}

TEST(StateBlock, WriterAppendsOneWholeBlockOrNothing)
{
  const StateBlock b = SampleBlock();
  uint8_t expected[kStateBlockSize];
  EncodeStateBlock(b, expected);

  iplug::StateChunk chunk;
  chunk.PutBytes("head", 4);
  ASSERT_TRUE(WriteStateChunk(chunk, b.current, b.other, b.presetIndex, static_cast<uint8_t>(b.activeSlot)));
  ASSERT_EQ(chunk.GetSize(), 4 + kStateBlockSize);
  EXPECT_EQ(std::memcmp(static_cast<const uint8_t*>(chunk.GetData()) + 4, expected, kStateBlockSize), 0);

  iplug::StateChunk empty;
  {
    test::HeapAllocationFault fault(0);
    EXPECT_FALSE(WriteStateChunk(empty, b.current, b.other, 0, 0));
  }
  EXPECT_EQ(empty.GetSize(), 0);
}

// Refusals of individual fields are exercised through the effect; here, positions that would
// overflow a naive start + 128.
TEST(StateBlock, PositionsOutsideTheDataAreRefusedWithoutOverflow)
{
  uint8_t encoded[kStateBlockSize];
  EncodeStateBlock(SampleBlock(), encoded);
  StateBlock out;
  out.presetIndex = 99;
  EXPECT_TRUE(DecodeStateBlock(encoded, kStateBlockSize, 0, out));
  EXPECT_EQ(out.presetIndex, 7);
  out.presetIndex = 99;
  EXPECT_FALSE(DecodeStateBlock(encoded, kStateBlockSize, -1, out));
  EXPECT_FALSE(DecodeStateBlock(encoded, kStateBlockSize, 1, out));
  EXPECT_FALSE(DecodeStateBlock(encoded, kStateBlockSize, std::numeric_limits<int64_t>::max() - 64, out));
  EXPECT_FALSE(DecodeStateBlock(encoded, std::numeric_limits<int64_t>::min(), 0, out));
  EXPECT_FALSE(DecodeStateBlock(nullptr, kStateBlockSize, 0, out));
  EXPECT_EQ(ReadStoredState(encoded, kStateBlockSize, std::numeric_limits<int>::max() - 2, out), -1);
  EXPECT_EQ(ReadStoredState(encoded, std::numeric_limits<int>::min(), 0, out), -1);
  EXPECT_EQ(out.presetIndex, 99) << "a refused read changed the result";
}

TEST(StateBlock, ValuesNeedNotBeWholeStepsButMustBeInRange)
{
  EngineParams values;
  EXPECT_TRUE(ValidateValues(values)) << "defaults";
  values[EngineParams::kModel] = 2.4f;
  EXPECT_TRUE(ValidateValues(values)) << "the enum's constrain rounds it when applied";
  for (int i = 0; i < kParamCount; ++i)
  {
    EngineParams low, high;
    low[i] = EngineParams::kMinima[i];
    high[i] = EngineParams::kMaxima[i];
    EXPECT_TRUE(ValidateValues(low)) << i;
    EXPECT_TRUE(ValidateValues(high)) << i;
    low[i] = std::nextafter(EngineParams::kMinima[i], -1e9f);
    high[i] = std::nextafter(EngineParams::kMaxima[i], 1e9f);
    EXPECT_FALSE(ValidateValues(low)) << i;
    EXPECT_FALSE(ValidateValues(high)) << i;
  }
}

} // namespace
} // namespace quorvel
