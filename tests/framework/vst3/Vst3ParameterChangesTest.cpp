#include "framework/vst3/Vst3ParameterChanges.h"

#include "tests/support/vst3/HostParameterChanges.h"

#include <gtest/gtest.h>

#include <limits>
#include <tuple>
#include <vector>

using namespace iplug;
using quorvel::test::HostParameterChanges;

namespace
{
// IDs scattered the way keys hash them.
const uint32_t kIds[14] = {9001, 42, 77777, 5, 900, 31, 64, 128, 256, 512, 1024, 2048, 4096, 8191};
const ParamIdTable& Ids()
{
  static ParamIdTable table;
  table.Assign(kIds, 14);
  return table;
}
uint32_t MapParamId(int i)
{
  return Ids().MapParamId(i);
}

using Change = std::tuple<int, double, int>;

std::vector<Change> Collect(HostParameterChanges* changes, int nParams = 14)
{
  std::vector<Change> out;
  ForEachParameterChange(changes, Ids(), nParams,
                         [&](int idx, double value, int offset) { out.emplace_back(idx, value, offset); });
  return out;
}
} // namespace

TEST(Vst3ParameterChanges, TakeTheLastPointOfEachQueueForMappedParameters)
{
  HostParameterChanges changes;
  changes.Add(MapParamId(1), 0, 0.1);
  changes.Add(MapParamId(1), 17, 0.7);
  changes.Add(MapParamId(13), 3, 1.0);
  changes.Add(65538, 0, 0.5); // a MIDI-controller parameter: not one of ours
  changes.Add(14, 0, 0.5);    // an index-like ID beyond the table
  changes.Add(MapParamId(5), 9, 1.5);
  changes.Add(MapParamId(6), 2, -0.25);
  const std::vector<Change> expected = {{1, 0.7, 17}, {13, 1.0, 3}, {5, 1.0, 9}, {6, 0.0, 2}};
  EXPECT_EQ(Collect(&changes), expected);
  EXPECT_EQ(Collect(&changes, 6), (std::vector<Change>{{1, 0.7, 17}, {5, 1.0, 9}}))
      << "indices beyond the count";
}

TEST(Vst3ParameterChanges, SkipWhatCannotBeRead)
{
  HostParameterChanges changes;
  changes.Add(MapParamId(0), 0, std::numeric_limits<double>::quiet_NaN());
  changes.Add(MapParamId(1), 0, std::numeric_limits<double>::infinity());
  changes.Add(MapParamId(2), 0, 0.3).failPoints = true;
  int32_t index = 0;
  changes.addParameterData(MapParamId(3), index); // a queue without points
  changes.Add(MapParamId(4), 4, 0.4);
  changes.Add(MapParamId(7), 5, 0.5);
  changes.nullQueueAt = 4;
  EXPECT_EQ(Collect(&changes), (std::vector<Change>{{7, 0.5, 5}}));
  EXPECT_TRUE(Collect(nullptr).empty());
}
