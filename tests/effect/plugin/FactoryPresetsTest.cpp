#include "effect/plugin/FactoryPresets.h"

#include "effect/plugin/StateBlock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

namespace quorvel
{
namespace
{

TEST(FactoryPresets, TableHoldsTwelveDistinctStorablePresets)
{
  const FactoryPreset* table = FactoryPresetTable();
  std::set<std::string> names;
  for (int k = 0; k < kFactoryPresetCount; ++k)
  {
    SCOPED_TRACE(table[k].name);
    names.insert(table[k].name);
    EngineParams values;
    for (int i = 0; i < kParamCount; ++i)
    {
      values[i] = table[k].values[i];
      if (IsWholeValuedParam(i))
      {
        EXPECT_EQ(values[i], std::floor(values[i])) << kParamTable[i].key;
      }
    }
    // A preset the state reader would refuse could never be recalled from its stored chunk.
    EXPECT_TRUE(ValidateValues(values));
    // Menu order is the numbering in the names.
    EXPECT_EQ(std::stoi(table[k].name), k + 1);
  }
  EXPECT_EQ(names.size(), static_cast<size_t>(kFactoryPresetCount));
  EXPECT_STREQ(table[3].name, "04 - Bass Growl");
  EXPECT_EQ(table[3].values[EngineParams::kModel], 3.0f);
  EXPECT_EQ(table[3].values[EngineParams::kDrive], 20.0f);
}

} // namespace
} // namespace quorvel
