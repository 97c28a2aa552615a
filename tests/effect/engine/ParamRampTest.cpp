#include "effect/engine/ParamRamp.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quorvel
{
namespace
{

TEST(ParamRamp, GlidesLinearlyAndLandsExactlyOnTheTarget)
{
  ParamRamp r;
  r.Reset(10);
  r.Jump(1.f);
  r.SetTarget(0.3f);
  for (int i = 1; i < 10; ++i)
  {
    const float v = r.Advance();
    EXPECT_NEAR(v, 1.f - 0.07f * static_cast<float>(i), 1e-6f) << i;
    EXPECT_FALSE(r.IsIdle());
  }
  EXPECT_EQ(r.Advance(), 0.3f);
  EXPECT_TRUE(r.IsIdle());
  EXPECT_EQ(r.Advance(), 0.3f);
}

TEST(ParamRamp, RetargetingRestartsOnlyOnAChange)
{
  ParamRamp r;
  r.Reset(8);
  r.Jump(0.f);
  r.SetTarget(8.f);
  r.Advance();
  r.Advance();
  r.SetTarget(8.f); // unchanged target: keeps gliding
  EXPECT_EQ(r.remaining, 6);
  EXPECT_EQ(r.Advance(), 3.f);

  // Changing it and back restarts from the current value with the full length.
  r.SetTarget(0.f);
  r.SetTarget(8.f);
  EXPECT_EQ(r.remaining, 8);
  EXPECT_EQ(r.current, 3.f);
  EXPECT_FLOAT_EQ(r.step, 5.f / 8.f);

  ParamRamp zero;
  zero.Reset(0);
  zero.SetTarget(2.f);
  EXPECT_EQ(zero.current, 2.f);
  EXPECT_TRUE(zero.IsIdle());

  // Preparation keeps the target and sits on it.
  r.Reset(100);
  EXPECT_EQ(r.current, 8.f);
  EXPECT_TRUE(r.IsIdle());
  EXPECT_EQ(r.length, 100);
}

} // namespace
} // namespace quorvel
