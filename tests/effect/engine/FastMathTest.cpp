#include "effect/engine/FastMath.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace quorvel::lanes
{
namespace
{

// Position of a float on the integer line of floats, so that differences count ulps across zero.
std::int64_t Ordinal(float f)
{
  std::int32_t i;
  std::memcpy(&i, &f, 4);
  return i < 0 ? -static_cast<std::int64_t>(i & 0x7fffffff) : i;
}

TEST(FastMath, TanhStaysWithinTwoUlpOfTheLibraryOverTheWholeRange)
{
  // Every 61st bit pattern (a prime stride, so every exponent and varied mantissas are visited),
  // plus every float around the polynomial/exponential switch at 0.625, around 2^-6 and 1, where the
  // library's own error peaks, and near 9.1, where the result is held at 1.
  std::int64_t worst = 0;
  float worstAt = 0.f;
  auto check = [&](std::uint32_t bits)
  {
    float x;
    std::memcpy(&x, &bits, 4);
    if (std::isnan(x)) return;
    const std::int64_t d = std::llabs(Ordinal(FastTanh(x)) - Ordinal(std::tanh(x)));
    if (d > worst)
    {
      worst = d;
      worstAt = x;
    }
  };
  for (std::uint64_t b = 0; b <= 0xffffffffull; b += 61)
    check(static_cast<std::uint32_t>(b));
  for (float centre : {0.015625f, 0.625f, 1.f, 9.1f})
  {
    std::uint32_t c;
    std::memcpy(&c, &centre, 4);
    for (std::uint32_t b = c - 200000; b < c + 200000; ++b)
    {
      check(b);
      check(b | 0x80000000u);
    }
  }
  EXPECT_LE(worst, 2) << "at " << worstAt;

  EXPECT_TRUE(std::isnan(FastTanh(std::numeric_limits<float>::quiet_NaN())));
  EXPECT_EQ(FastTanh(std::numeric_limits<float>::infinity()), 1.f);
  EXPECT_EQ(FastTanh(-std::numeric_limits<float>::infinity()), -1.f);
  EXPECT_TRUE(std::signbit(FastTanh(-0.f)));
  EXPECT_EQ(FastTanh(1e-30f), 1e-30f);
}

TEST(FastMath, RationalTanhStaysWithinItsBoundOfTheExactValue)
{
  // Every 29th float from 1e-30 to 20 on both signs (an offline sweep of the fused form over every
  // float gave 3.17e-7 absolute, 3.5e-7 relative at worst; the unfused form rounds a little further),
  // and the form that takes the polynomial while every lane is small on either side of its switch.
  double worstAbs = 0.0;
  double worstRel = 0.0;
  const float lo = 1e-30f;
  const float hi = 20.f;
  std::uint32_t from;
  std::uint32_t to;
  std::memcpy(&from, &lo, 4);
  std::memcpy(&to, &hi, 4);
  for (std::uint32_t b = from; b < to; b += 29)
  {
    float x;
    std::memcpy(&x, &b, 4);
    const F4 v = Set(x, -x, x * 0.5f, -x * 0.25f);
    const F4 t = TanhRational(v);
    const F4 small = TanhRationalMostlySmall(v);
    for (int l = 0; l < 4; ++l)
    {
      const double exact = std::tanh(static_cast<double>(Lane(v, l)));
      const double e = std::fabs(Lane(t, l) - exact);
      worstAbs = std::max(worstAbs, e);
      worstRel = std::max(worstRel, e / std::fabs(exact));
      ASSERT_LE(std::fabs(Lane(small, l) - exact), 4e-7) << Lane(v, l);
    }
  }
  EXPECT_LE(worstAbs, 4e-7) << worstAbs;
  EXPECT_LE(worstRel, 4e-7) << worstRel;
  // Held at the limit, far arguments and infinities stay within the same bound of +-1.
  EXPECT_NEAR(Lane(TanhRational(Set(1e30f)), 0), 1.f, 4e-7f);
  EXPECT_NEAR(Lane(TanhRational(Set(-std::numeric_limits<float>::infinity())), 0), -1.f, 4e-7f);
}

TEST(FastMath, LaneFormsAgreeWithTheScalarOnes)
{
  const F4 x = Set(-3.5f, 0.01f, 0.7f, 20.f);
  const F4 t = Tanh(x);
  const F4 low = TanhLow(x);
  const F4 knee = SiliconKnee(Set(-2.5f, 0.3f, 1.f, -40.f));
  for (int l = 0; l < 4; ++l)
    EXPECT_EQ(Lane(t, l), FastTanh(Lane(x, l))) << l;
  EXPECT_EQ(Lane(low, 0), FastTanh(-3.5f));
  EXPECT_EQ(Lane(low, 1), FastTanh(0.01f));

  auto knee1 = [](float u) { return u / std::pow(1.f + std::pow(std::fabs(u), 6.f), 0.16666667f); };
  EXPECT_NEAR(Lane(knee, 0), knee1(-2.5f), 3e-7f);
  EXPECT_NEAR(Lane(knee, 1), knee1(0.3f), 3e-7f);
  EXPECT_NEAR(Lane(knee, 2), knee1(1.f), 3e-7f);
  EXPECT_NEAR(Lane(knee, 3), knee1(-40.f), 3e-7f);
  for (float u = -9.f; u <= 9.f; u += 0.0137f)
    ASSERT_NEAR(Lane(SiliconKnee(Set(u)), 0), knee1(u), 3e-7f) << u;
  // The knee is odd and bends to +-1 far out, infinities included.
  EXPECT_EQ(Lane(SiliconKnee(Set(1e30f)), 0), 1.f);
  EXPECT_EQ(Lane(SiliconKnee(Set(-std::numeric_limits<float>::infinity())), 0), -1.f);
  EXPECT_EQ(Lane(SiliconKnee(Set(0.f)), 0), 0.f);
}

} // namespace
} // namespace quorvel::lanes
