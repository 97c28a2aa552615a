#include "framework/vst3/ParamIdTable.h"

#include <gtest/gtest.h>

using namespace iplug;

TEST(ParamIdTable, KeysHashToFixedIds)
{
  // Worked by hand: h = h * 31 + byte from 0, masked to 31 bits.
  EXPECT_EQ(ParamIdFromKey("a"), 97u);
  EXPECT_EQ(ParamIdFromKey("ab"), 97u * 31 + 98);
  EXPECT_EQ(ParamIdFromKey("bypass"), 773352680u);
  EXPECT_EQ(ParamIdFromKey(""), 0u);
  EXPECT_LE(ParamIdFromKey("a rather long key that wraps around"), 0x7FFFFFFFu);
}

TEST(ParamIdTable, MapsIndicesBothWaysAndLeavesOthersAlone)
{
  static const uint32_t ids[3] = {900001, 900002, 900003};
  ParamIdTable table;
  EXPECT_EQ(table.MapParamId(2), 2u) << "without a table an index is its own ID";
  EXPECT_EQ(table.ParamIndexFromId(2), 2);
  EXPECT_EQ(table.ParamIndexFromId(0x80000000u), -1);

  table.Assign(ids, 3);
  struct Case
  {
    int32_t index;
    uint32_t id;
  };
  for (const Case& c :
       {Case{0, 900001}, Case{2, 900003}, Case{3, 3}, Case{-1, 0xFFFFFFFFu}, Case{65538, 65538}})
    EXPECT_EQ(table.MapParamId(c.index), c.id) << c.index;
  EXPECT_EQ(table.ParamIndexFromId(900002), 1);
  EXPECT_EQ(table.ParamIndexFromId(1), -1) << "an index is not an ID once the table is given";
  EXPECT_EQ(table.ParamIndexFromId(65538), -1);
}
