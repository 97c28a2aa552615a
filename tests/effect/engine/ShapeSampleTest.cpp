#include "effect/engine/ShapeSample.h"

#include "effect/engine/ClampSample.h"
#include "effect/engine/ShaperTables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace quorvel
{
namespace
{

ModelCoefficients CoefficientsAt(double fsOs)
{
  auto pole = [&](double hz) { return static_cast<float>(std::exp(-2.0 * 3.141592653589793 * hz / fsOs)); };
  ModelCoefficients c;
  c.attack = static_cast<float>(std::exp(-1.0 / (0.003 * fsOs)));
  c.release = static_cast<float>(std::exp(-1.0 / (0.12 * fsOs)));
  c.c20 = pole(20);
  c.c35 = pole(35);
  c.c3000 = pole(3000);
  c.c12500 = pole(12500);
  c.c15000 = pole(15000);
  return c;
}

class ShapeSampleTest : public ::testing::Test
{
protected:
  const ShaperTables& tables = GetShaperTables();
  const ModelCoefficients coeffs = CoefficientsAt(192000.0);
};

TEST(ClampSample, SanitisesAndLimits)
{
  EXPECT_EQ(ClampSample(std::numeric_limits<float>::quiet_NaN()), 0.f);
  EXPECT_EQ(ClampSample(std::numeric_limits<float>::infinity()), 0.f);
  EXPECT_EQ(ClampSample(-std::numeric_limits<float>::infinity()), 0.f);
  EXPECT_EQ(ClampSample(100.f), 64.f);
  EXPECT_EQ(ClampSample(-100.f), -64.f);
  EXPECT_EQ(ClampSample(-3.25f), -3.25f);
}

TEST_F(ShapeSampleTest, SilenceStaysSilentWhateverTheBias)
{
  for (int m = 0; m < kModelCount; ++m)
    for (float b : {-1.f, -0.3f, 0.f, 0.7f, 1.f})
    {
      ModelState st;
      for (int i = 0; i < 2000; ++i)
        ASSERT_EQ(ShapeSample(tables, coeffs, m, 0.f, st, b, 0.6f), 0.f) << "model " << m << " bias " << b;
    }
}

TEST_F(ShapeSampleTest, EveryModelSaturatesAndBiasMakesItAsymmetric)
{
  for (int m = 0; m < kModelCount; ++m)
  {
    SCOPED_TRACE(m);
    // A loud 1 kHz tone: peak out grows far less than 10x from a 10x louder input.
    auto run = [&](float amplitude)
    {
      ModelState st;
      float peak = 0.f;
      for (int i = 0; i < 19200; ++i)
      {
        const float x =
            amplitude * static_cast<float>(std::sin(2.0 * 3.141592653589793 * 1000.0 * i / 192000.0));
        const float y = ShapeSample(tables, coeffs, m, x, st, 0.f, 0.3f);
        if (i >= 9600) peak = std::max(peak, std::fabs(y));
      }
      return peak;
    };
    const float quiet = run(0.2f);
    const float loud = run(20.f);
    EXPECT_GT(quiet, 0.f);
    EXPECT_LT(loud, 50.f * quiet);

    // With bias the curve is asymmetric: a symmetric low tone gives unequal positive and negative peaks.
    ModelState st;
    float hi = 0.f, lo = 0.f;
    for (int i = 0; i < 38400; ++i)
    {
      const float x = 4.f * static_cast<float>(std::sin(2.0 * 3.141592653589793 * 10.0 * i / 192000.0));
      const float y = ShapeSample(tables, coeffs, m, x, st, 0.8f, 0.f);
      if (i >= 19200)
      {
        hi = std::max(hi, y);
        lo = std::min(lo, y);
      }
    }
    EXPECT_GT(std::fabs(hi + lo), 0.02f * (hi - lo));
  }
}

TEST_F(ShapeSampleTest, DynamicsZeroIgnoresTheEnvelope)
{
  for (int m = 0; m < kModelCount; ++m)
  {
    ModelState fresh, loud;
    loud.s[0] = 20.f; // a loud recent past
    EXPECT_EQ(ShapeSample(tables, coeffs, m, 0.8f, fresh, 0.f, 0.f),
              ShapeSample(tables, coeffs, m, 0.8f, loud, 0.f, 0.f))
        << m;
    ModelState fresh2, loud2;
    loud2.s[0] = 20.f;
    EXPECT_NE(ShapeSample(tables, coeffs, m, 0.8f, fresh2, 0.f, 1.f),
              ShapeSample(tables, coeffs, m, 0.8f, loud2, 0.f, 1.f))
        << m;
  }
}

TEST_F(ShapeSampleTest, ResultsAreFiniteAndHeld)
{
  for (int m = 0; m < kModelCount; ++m)
    for (float x :
         {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(), -1e30f, 32.f})
    {
      ModelState st;
      const float y = ShapeSample(tables, coeffs, m, x, st, 0.2f, 0.5f);
      EXPECT_TRUE(std::isfinite(y)) << m;
      EXPECT_LE(std::fabs(y), 64.f) << m;
    }
}

TEST_F(ShapeSampleTest, MixRunsOnlyModelsAboveTheWeightThresholdAndClearsTheOthers)
{
  ModelState states[kModelCount];
  for (auto& s : states)
    for (float& v : s.s)
      v = 0.25f;
  const float weights[kModelCount] = {1e-6f, 0.5f, 0.f, 0.f, 2e-6f, 0.f};
  const float acc = MixModels(tables, coeffs, 0.7f, states, weights, 0.5f, 0.1f, 0.3f);

  for (int m : {0, 2, 3, 5})
    for (float v : states[m].s)
      EXPECT_EQ(v, 0.f) << m;
  EXPECT_NE(states[1].s[0], 0.f);
  EXPECT_NE(states[4].s[0], 0.f);

  ModelState s1, s4;
  for (auto* s : {&s1, &s4})
    for (float& v : s->s)
      v = 0.25f;
  const float expected = ShapeSample(tables, coeffs, 1, 0.7f, s1, 0.1f, 0.3f) * 0.5f * 0.5f +
                         ShapeSample(tables, coeffs, 4, 0.7f, s4, 0.1f, 0.3f) * 2e-6f * 0.5f;
  EXPECT_FLOAT_EQ(acc, expected);
}

} // namespace
} // namespace quorvel
