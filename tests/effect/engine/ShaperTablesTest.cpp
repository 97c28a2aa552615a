#include "effect/engine/ShaperTables.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace quorvel
{
namespace
{

constexpr int kZero = 4096; // entry for an input of 0

int EntryFor(double g)
{
  return static_cast<int>(g * 256.0) + kZero;
}

TEST(ShaperTables, TubeCurvePassesZeroWithUnitSlopeAndSaturatesUnevenly)
{
  const ShaperTables& t = GetShaperTables();
  EXPECT_EQ(t.tube[kZero], 0.f);
  EXPECT_NEAR((t.tube[kZero + 1] - t.tube[kZero - 1]) * 128.f, 1.f, 0.03f);
  EXPECT_NEAR(t.tube[8192], 2.196f, 2e-3f);
  EXPECT_NEAR(t.tube[0], -1.194f, 2e-3f);
  for (int i = 1; i < ShaperTables::kSize; ++i)
    ASSERT_GE(t.tube[i], t.tube[i - 1]) << i;
}

TEST(ShaperTables, PlateVoltageFollowsTheGrid)
{
  const double idle = SolvePlateVoltage(-1.4);
  EXPECT_GT(idle, 0.0);
  EXPECT_LT(idle, 250.0);
  // A more negative grid lets less current flow: the plate rises towards the supply.
  EXPECT_GT(SolvePlateVoltage(-2.0), idle);
  EXPECT_LT(SolvePlateVoltage(0.0), idle);
  EXPECT_NEAR(SolvePlateVoltage(-200.0), 250.0, 1e-3);
}

TEST(ShaperTables, DiodeCurveIsOddWithItsAnchors)
{
  const ShaperTables& t = GetShaperTables();
  EXPECT_EQ(t.diode[kZero], 0.f);
  for (int i = 0; i <= 8192; ++i)
    ASSERT_EQ(t.diode[8192 - i], -t.diode[i]) << i;
  EXPECT_NEAR(t.diode[EntryFor(0.5)], 0.427f, 1e-3f);
  EXPECT_NEAR(t.diode[EntryFor(1.0)], 0.512f, 1e-3f);
  EXPECT_NEAR(t.diode[EntryFor(2.0)], 0.561f, 1e-3f);
  EXPECT_NEAR(t.diode[8192], 0.667f, 1e-3f);
}

TEST(ShaperTables, LookupInterpolatesAndHoldsTheEnds)
{
  const ShaperTables& t = GetShaperTables();
  EXPECT_EQ(LookupTable(t.tube, 0.f), 0.f);
  const float mid = 0.5f * (t.tube[kZero + 10] + t.tube[kZero + 11]);
  EXPECT_NEAR(LookupTable(t.tube, 10.5f / 256.f), mid, 1e-7f);
  EXPECT_EQ(LookupTable(t.tube, 16.f), t.tube[8192]);
  EXPECT_EQ(LookupTable(t.tube, 1e9f), t.tube[8192]);
  EXPECT_EQ(LookupTable(t.tube, -16.f), t.tube[0]);
  EXPECT_EQ(LookupTable(t.tube, -1e9f), t.tube[0]);
}

TEST(ShaperTables, SharedCopyIsBitIdenticalToAFreshBuild)
{
  auto fresh = std::make_unique<ShaperTables>();
  BuildShaperTables(*fresh);
  const ShaperTables& shared = GetShaperTables();
  EXPECT_EQ(&shared, &GetShaperTables());
  EXPECT_EQ(std::memcmp(fresh->tube, shared.tube, sizeof fresh->tube), 0);
  EXPECT_EQ(std::memcmp(fresh->diode, shared.diode, sizeof fresh->diode), 0);
}

} // namespace
} // namespace quorvel
