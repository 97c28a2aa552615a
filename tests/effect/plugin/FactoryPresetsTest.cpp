#include "effect/plugin/FactoryPresets.h"

#include "effect/plugin/StateBlock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
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
        EXPECT_EQ(values[i], std::floor(values[i])) << kParamKeys[i];
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

TEST(FactoryPresets, MatchToleratesAThousandthAndNothingMore)
{
  const FactoryPreset& preset = FactoryPresetTable()[6];
  double values[kParamCount];
  for (int i = 0; i < kParamCount; ++i)
    values[i] = preset.values[i];

  EXPECT_EQ(MatchFactoryPreset(6, values), 6);
  EXPECT_STREQ(PresetMenuText(MatchFactoryPreset(6, values)), "07 - Acoustic Glow");
  EXPECT_EQ(MatchFactoryPreset(5, values), -1) << "only the stored index is compared";

  values[EngineParams::kDrive] += 0.0009;
  EXPECT_EQ(MatchFactoryPreset(6, values), 6);
  values[EngineParams::kDrive] = preset.values[EngineParams::kDrive] - 0.0011;
  EXPECT_EQ(MatchFactoryPreset(6, values), -1);
  EXPECT_STREQ(PresetMenuText(MatchFactoryPreset(6, values)), "Custom");

  values[EngineParams::kDrive] = preset.values[EngineParams::kDrive];
  values[EngineParams::kHighCut] = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(MatchFactoryPreset(6, values), -1);

  values[EngineParams::kHighCut] = preset.values[EngineParams::kHighCut];
  EXPECT_EQ(MatchFactoryPreset(-1, values), -1);
  EXPECT_EQ(MatchFactoryPreset(12, values), -1);
  EXPECT_STREQ(PresetMenuText(-1), "Custom");
  EXPECT_STREQ(PresetMenuText(12), "Custom");
}

} // namespace
} // namespace quorvel
