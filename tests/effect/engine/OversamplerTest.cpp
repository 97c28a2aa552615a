#include "effect/engine/Oversampler.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <vector>

namespace quorvel
{
namespace
{

template <int N> void ExpectHalfBand(const HalfBandTable<N>& t, const char* name)
{
  SCOPED_TRACE(name);
  const int centre = HalfBandTable<N>::kCentre;
  EXPECT_EQ(t.h[centre], 0.5f);
  for (int k = 0; k < N; ++k)
  {
    EXPECT_EQ(t.h[k], t.h[N - 1 - k]) << k;
    const int distance = std::abs(k - centre);
    if (distance % 2 == 1)
    {
      EXPECT_NE(t.h[k], 0.f) << k;
    }
    else if (distance != 0)
    {
      EXPECT_EQ(t.h[k], 0.f) << k;
    }
  }
  // Unity gain at DC catches a mistyped or sign-flipped tap.
  EXPECT_NEAR(std::accumulate(t.h.begin(), t.h.end(), 0.0), 1.0, 2e-4);
}

TEST(Oversampler, TablesAreHalfBandWithUnityDcGain)
{
  ExpectHalfBand(kHalfBandU1, "U1");
  ExpectHalfBand(kHalfBandU2, "U2");
  ExpectHalfBand(kHalfBandD1, "D1");
  ExpectHalfBand(kHalfBandD2, "D2");
}

TEST(Oversampler, FilterHistoryWrapsAt256)
{
  // After 300 pushes of a 119-tap filter the output must only depend on the last 119 inputs.
  HalfBandFir a, b;
  for (int i = 0; i < 300; ++i)
    a.Step(kHalfBandU1, i < 150 ? 5.f : 1.f);
  for (int i = 0; i < 119; ++i)
    b.Step(kHalfBandU1, 1.f);
  EXPECT_NEAR(a.Step(kHalfBandU1, 1.f), b.Step(kHalfBandU1, 1.f), 1e-6f);
  EXPECT_LT(a.index, HalfBandFir::kSize);
}

TEST(Oversampler, ChainPassesDcAndDelaysAnImpulseBy61Frames)
{
  Oversampler dc;
  float os[4];
  float y = 0.f;
  for (int i = 0; i < 400; ++i)
  {
    dc.UpsampleFrame(1.f, os);
    y = dc.DownsampleFrame(os);
  }
  EXPECT_NEAR(y, 1.f, 3e-4f);
  for (float v : os)
    EXPECT_NEAR(v, 1.f, 3e-4f);

  Oversampler imp;
  int peakAt = -1;
  float peak = 0.f;
  for (int i = 0; i < 200; ++i)
  {
    imp.UpsampleFrame(i == 0 ? 1.f : 0.f, os);
    const float out = imp.DownsampleFrame(os);
    if (std::fabs(out) > peak)
    {
      peak = std::fabs(out);
      peakAt = i;
    }
  }
  EXPECT_EQ(peakAt, 61);

  imp.Reset();
  imp.UpsampleFrame(0.f, os);
  EXPECT_EQ(imp.DownsampleFrame(os), 0.f);
  EXPECT_EQ(imp.up1.index, 2u);
}

} // namespace
} // namespace quorvel
