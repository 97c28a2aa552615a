#include "framework/vst3/ParamIdTable.h"

#include <gtest/gtest.h>

#include <set>

using namespace iplug;

namespace
{
uint32_t HashKey(const char* key)
{
  uint32_t h = 0;
  for (const char* p = key; *p; ++p)
    h = h * 31u + static_cast<uint8_t>(*p);
  return h & 0x7FFFFFFFu;
}
} // namespace

TEST(ParamIdTable, HoldsTheHashOfEachStateKey)
{
  const char* keys[kParamIdTableSize] = {"model", "drive",    "input",    "output", "tone",
                                         "mix",   "bias",     "dynamics", "lowcut", "highcut",
                                         "bass",  "autogain", "safe",     "bypass"};
  std::set<uint32_t> seen;
  for (int i = 0; i < kParamIdTableSize; ++i)
  {
    EXPECT_EQ(kParamIdTable[i], HashKey(keys[i])) << keys[i];
    EXPECT_EQ(MapParamId(i), kParamIdTable[i]);
    EXPECT_EQ(ParamIndexFromId(kParamIdTable[i]), i);
    // IDs above 65537 would collide with the MIDI-controller parameters; these are far above any index.
    EXPECT_GE(kParamIdTable[i], 65668u);
    seen.insert(kParamIdTable[i]);
  }
  EXPECT_EQ(seen.size(), static_cast<size_t>(kParamIdTableSize));
  EXPECT_EQ(HashKey("bypass"), 773352680u);
}

TEST(ParamIdTable, MapsIndicesOutsideTheTableToThemselves)
{
  EXPECT_EQ(MapParamId(13), 0x2E186CE8u);
  EXPECT_EQ(MapParamId(14), 14u);
  EXPECT_EQ(MapParamId(-1), 0xFFFFFFFFu);
  EXPECT_EQ(MapParamId(65538), 65538u);
  EXPECT_EQ(ParamIndexFromId(0), -1);
  EXPECT_EQ(ParamIndexFromId(14), -1);
  EXPECT_EQ(ParamIndexFromId(65538), -1);
}
