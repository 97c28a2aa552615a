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

template <typename T> void WriteAt(std::vector<uint8_t>& bytes, size_t offset, T v)
{
  std::memcpy(bytes.data() + offset, &v, sizeof v);
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

TEST(StateBlock, DecodesAtAnyOffsetIncludingUnalignedOnes)
{
  const StateBlock b = SampleBlock();
  uint8_t encoded[kStateBlockSize];
  EncodeStateBlock(b, encoded);
  for (size_t start : {size_t(0), size_t(1), size_t(3), size_t(77)})
  {
    SCOPED_TRACE("start " + std::to_string(start));
    std::vector<uint8_t> chunk(start, 0xEE);
    chunk.insert(chunk.end(), encoded, encoded + kStateBlockSize);
    chunk.insert(chunk.end(), 5, 0xEE);
    StateBlock out;
    ASSERT_TRUE(
        DecodeStateBlock(chunk.data(), static_cast<int64_t>(chunk.size()), static_cast<int64_t>(start), out));
    EXPECT_EQ(std::memcmp(out.current.values, b.current.values, sizeof b.current), 0);
    EXPECT_EQ(std::memcmp(out.other.values, b.other.values, sizeof b.other), 0);
    EXPECT_EQ(out.presetIndex, 7);
    EXPECT_EQ(out.activeSlot, 1);
    EXPECT_EQ(ReadStoredState(chunk.data(), static_cast<int>(chunk.size()), static_cast<int>(start), out),
              static_cast<int>(start) + kStateBlockSize);
  }
}

TEST(StateBlock, RefusesEveryBadBlockWithoutTouchingTheResult)
{
  uint8_t encoded[kStateBlockSize];
  EncodeStateBlock(SampleBlock(), encoded);
  const std::vector<uint8_t> good(encoded, encoded + kStateBlockSize);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();

  struct Case
  {
    const char* what;
    std::vector<uint8_t> bytes;
  };
  std::vector<Case> cases;
  auto variant = [&](const char* what, auto change)
  {
    std::vector<uint8_t> bytes = good;
    change(bytes);
    cases.push_back({what, bytes});
  };
  variant("127 bytes", [](auto& v) { v.pop_back(); });
  variant("wrong magic", [](auto& v) { v[3] = 'Y'; });
  variant("version 2", [](auto& v) { WriteAt<int32_t>(v, 4, 2); });
  variant("version 0", [](auto& v) { WriteAt<int32_t>(v, 4, 0); });
  variant("preset 12", [](auto& v) { WriteAt<int32_t>(v, 120, 12); });
  variant("preset -1", [](auto& v) { WriteAt<int32_t>(v, 120, -1); });
  variant("slot 2", [](auto& v) { WriteAt<int32_t>(v, 124, 2); });
  variant("slot -1", [](auto& v) { WriteAt<int32_t>(v, 124, -1); });
  variant("slot 0xFF, a bitwise-negated A", [](auto& v) { WriteAt<int32_t>(v, 124, 0xFF); });
  variant("current drive 36.5", [](auto& v) { WriteAt<float>(v, 8 + 4 * EngineParams::kDrive, 36.5f); });
  variant("other drive 36.5", [](auto& v) { WriteAt<float>(v, 64 + 4 * EngineParams::kDrive, 36.5f); });
  variant("current drive NaN", [&](auto& v) { WriteAt<float>(v, 8 + 4 * EngineParams::kDrive, nan); });
  variant("other drive NaN", [&](auto& v) { WriteAt<float>(v, 64 + 4 * EngineParams::kDrive, nan); });
  variant("current high cut inf", [&](auto& v) { WriteAt<float>(v, 8 + 4 * EngineParams::kHighCut, inf); });
  variant("other low cut below 20",
          [](auto& v) { WriteAt<float>(v, 64 + 4 * EngineParams::kLowCut, 19.9f); });
  variant("current bypass 1.01", [](auto& v) { WriteAt<float>(v, 8 + 4 * EngineParams::kBypass, 1.01f); });

  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    StateBlock out;
    out.presetIndex = 99;
    EXPECT_FALSE(DecodeStateBlock(c.bytes.data(), static_cast<int64_t>(c.bytes.size()), 0, out));
    EXPECT_EQ(out.presetIndex, 99);
    EXPECT_EQ(out.current[EngineParams::kDrive], EngineParams::kDefaults[EngineParams::kDrive]);
    EXPECT_EQ(ReadStoredState(c.bytes.data(), static_cast<int>(c.bytes.size()), 0, out), -1);
    EXPECT_EQ(out.presetIndex, 99);
  }

  SCOPED_TRACE("positions that would overflow or lie outside the data");
  StateBlock out;
  EXPECT_FALSE(DecodeStateBlock(good.data(), 128, -1, out));
  EXPECT_FALSE(DecodeStateBlock(good.data(), 128, 1, out));
  EXPECT_FALSE(DecodeStateBlock(good.data(), 128, std::numeric_limits<int64_t>::max() - 64, out));
  EXPECT_FALSE(DecodeStateBlock(good.data(), 100, 0, out));
  EXPECT_FALSE(DecodeStateBlock(nullptr, 128, 0, out));
  EXPECT_EQ(ReadStoredState(good.data(), 128, -1, out), -1);
  EXPECT_EQ(ReadStoredState(good.data(), 128, 125, out), -1);
  EXPECT_EQ(ReadStoredState(good.data(), 128, 128, out), -1);
  EXPECT_EQ(ReadStoredState(good.data(), 128, std::numeric_limits<int>::max(), out), -1);
  EXPECT_EQ(ReadStoredState(good.data(), 3, 0, out), -1);
  EXPECT_EQ(out.presetIndex, 0) << "a refused read changed the result";
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

TEST(StateBlock, BytesWithoutTheMagicAreReadAsXml)
{
  std::string doc = "<QuorvelState program=\"5\" showingB=\"true\" alt_mix=\"50\">";
  for (int k = 0; k < kParamCount; ++k)
    doc += std::string("<PARAM id=\"") + kParamKeys[k] + "\" value=\"" +
           std::to_string(EngineParams::kMinima[k]) + "\"/>";
  doc += "</QuorvelState>";
  std::vector<uint8_t> chunk = {'p', 'a', 'd', 'V', 'C', '2', '!'};
  const uint32_t length = static_cast<uint32_t>(doc.size());
  chunk.resize(chunk.size() + 4);
  std::memcpy(chunk.data() + 7, &length, 4);
  chunk.insert(chunk.end(), doc.begin(), doc.end());
  chunk.push_back(0);
  chunk.push_back('z'); // what follows the state is left for the caller

  StateBlock out;
  ASSERT_EQ(ReadStoredState(chunk.data(), static_cast<int>(chunk.size()), 3, out),
            static_cast<int>(chunk.size()) - 1);
  EXPECT_EQ(out.presetIndex, 5);
  EXPECT_EQ(out.activeSlot, 1);
  for (int k = 0; k < kParamCount; ++k)
  {
    EXPECT_EQ(out.current[k], EngineParams::kMinima[k]);
    EXPECT_EQ(out.other[k], k == EngineParams::kWetMix ? 50.0f : EngineParams::kMinima[k]);
  }

  chunk[20] = '#'; // breaks the document
  out.presetIndex = 99;
  EXPECT_EQ(ReadStoredState(chunk.data(), static_cast<int>(chunk.size()), 3, out), -1);
  EXPECT_EQ(out.presetIndex, 99);
}

} // namespace
} // namespace quorvel
