#include "effect/plugin/ParamTable.h"

#include "framework/vst3/ParamIdTable.h"

#include <gtest/gtest.h>


using namespace quorvel;

// Spot values written out by hand, not copied from the table: the facts hosts and saved projects
// depend on.
TEST(ParamTable, SpotValuesAndTheIdsHostsStore)
{
  EXPECT_STREQ(kParamTable[0].key, "model");
  EXPECT_STREQ(kParamTable[9].name, "Wet High Cut");
  EXPECT_EQ(kParamTable[9].min, 2000);
  EXPECT_EQ(kParamTable[9].exponent, 2);
  EXPECT_EQ(kParamTable[3].max, 12);
  EXPECT_EQ(kParamTable[1].step, 0.01);
  EXPECT_EQ(FindParamKey("safe"), 12);
  EXPECT_EQ(FindParamKey("Safe"), -1);

  // Automation saved by hosts refers to these numbers.
  EXPECT_EQ(iplug::ParamIdFromKey(kParamTable[0].key), 0x0633FB29u);
  EXPECT_EQ(iplug::ParamIdFromKey(kParamTable[13].key), 0x2E186CE8u);
}
