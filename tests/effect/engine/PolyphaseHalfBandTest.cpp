#include "effect/engine/Oversampler.h"
#include "effect/engine/PolyphaseHalfBand.h"

#include "tests/effect/engine/EngineSignals.h"
#include "tests/effect/engine/KernelPaths.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace quorvel
{
namespace
{

// The block-wise polyphase form must produce what the direct-form filters produce sample by
// sample, whatever the block sizes (history carried across blocks, tails shorter than four), on
// either kernel set; the down stage from the engine's lane layout gives the same samples.
class PolyphaseHalfBandPaths : public ::testing::TestWithParam<KernelPath>
{
};

TEST_P(PolyphaseHalfBandPaths, MatchesTheDirectFormAcrossBlockSizes)
{
  test::AnnounceKernelPath(GetParam());
  const auto in = test::Noise(6000, 1.f, 31);
  const auto processed = test::Noise(6000 * 4, 0.9f, 32); // stands in for the shaped oversampled signal
  auto poly = std::make_unique<PolyphaseHalfBand>();
  auto strided = std::make_unique<PolyphaseHalfBand>();
  poly->SetKernels(GetKernels(test::EffectivePath(GetParam())));
  strided->SetKernels(GetKernels(test::EffectivePath(GetParam())));
  Oversampler direct;
  float lanes[512 * 4 * 4];
  float fromLanes[512];

  static constexpr int kSizes[] = {512, 1, 3, 255, 64, 7, 500};
  float o[4][512], back[512];
  double worstUp = 0.0, worstDown = 0.0;
  std::size_t pos = 0;
  for (int b = 0; pos < in.size(); ++b)
  {
    const int n = static_cast<int>(std::min<std::size_t>(kSizes[b % 7], in.size() - pos));
    poly->Upsample(in.data() + pos, n, o[0], o[1], o[2], o[3]);
    float p[4][512];
    for (int i = 0; i < n; ++i)
    {
      float os[4];
      direct.UpsampleFrame(in[pos + i], os);
      for (int k = 0; k < 4; ++k)
      {
        worstUp = std::max(worstUp, std::fabs(double(os[k]) - o[k][i]));
        p[k][i] = processed[4 * (pos + i) + k];
      }
    }
    poly->Downsample(p[0], p[1], p[2], p[3], n, back);
    for (int j = 0; j < 4 * n; ++j) // the channel's samples in lane 1 of four
      lanes[4 * j + 1] = processed[4 * pos + static_cast<std::size_t>(j)];
    strided->DownsampleStrided(lanes + 1, 4, n, fromLanes);
    for (int i = 0; i < n; ++i)
      ASSERT_EQ(fromLanes[i], back[i]) << pos + static_cast<std::size_t>(i);
    for (int i = 0; i < n; ++i)
      worstDown =
          std::max(worstDown, std::fabs(double(direct.DownsampleFrame(&processed[4 * (pos + i)])) - back[i]));
    pos += static_cast<std::size_t>(n);
  }
  EXPECT_LT(worstUp, 2e-6);
  EXPECT_LT(worstDown, 2e-6);

  // Reset clears every history.
  poly->Reset();
  const float zeros[8] = {};
  poly->Upsample(zeros, 8, o[0], o[1], o[2], o[3]);
  poly->Downsample(zeros, zeros, zeros, zeros, 8, back);
  for (int i = 0; i < 8; ++i)
  {
    EXPECT_EQ(o[0][i], 0.f);
    EXPECT_EQ(o[3][i], 0.f);
    EXPECT_EQ(back[i], 0.f);
  }
}

INSTANTIATE_TEST_SUITE_P(Paths, PolyphaseHalfBandPaths, test::kBothKernelPaths, test::KernelPathName);

} // namespace
} // namespace quorvel
