// The product engine against itself on the plain reference kernels: same output within 1e-5 on every model, for
// noise, tones, impulses and parameter sweeps, in mono and stereo, with odd block sizes.

#include "effect/engine/QuorvelEngine.h"
#include "tests/effect/engine/EngineSignals.h"
#include "tests/effect/engine/KernelPaths.h"
#include "tests/effect/engine/ReferenceKernels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

namespace quorvel
{
namespace
{

using ParamSchedule = std::function<void(int block, EngineParams&)>;

struct Case
{
  const char* name;
  test::Stereo input;
  ParamSchedule schedule;
};

// Runs both engines over the input with the same parameters and block sizes; returns the largest
// absolute difference of outputs and meter holds.
double LargestDifference(const test::Stereo& in, const EngineParams& start, const ParamSchedule& schedule,
                         int channels, double rate, KernelPath path)
{
  auto fast = std::make_unique<QuorvelEngine>();
  auto ref = std::make_unique<QuorvelEngine>();
  fast->SetParams(start);
  ref->SetParams(start);
  fast->Prepare(rate, channels, path);
  ref->Prepare(rate, channels, reference::GetReferenceKernels());

  static constexpr int kSizes[] = {512, 700, 1, 13, 256, 64, 1024, 333};
  test::Stereo a(in.size()), b(in.size());
  double worst = 0.0;
  std::size_t pos = 0;
  for (int block = 0; pos < in.size(); ++block)
  {
    EngineParams p = fast->GetParams();
    schedule(block, p);
    fast->SetParams(p);
    ref->SetParams(p);
    const int n = static_cast<int>(std::min<std::size_t>(kSizes[block % 8], in.size() - pos));
    const float* ins[2] = {in.l.data() + pos, in.r.data() + pos};
    float* outA[2] = {a.l.data() + pos, a.r.data() + pos};
    float* outB[2] = {b.l.data() + pos, b.r.data() + pos};
    const bool force = block % 29 == 17;
    fast->Process(ins, outA, n, force);
    ref->Process(ins, outB, n, force);
    const MeterLevels ma = fast->GetMeterHolds(), mb = ref->GetMeterHolds();
    worst = std::max({worst, std::fabs(double(ma.inputPeak) - mb.inputPeak),
                      std::fabs(double(ma.outputPeak) - mb.outputPeak),
                      std::fabs(double(ma.activity) - mb.activity)});
    pos += static_cast<std::size_t>(n);
  }
  for (std::size_t i = 0; i < in.size(); ++i)
  {
    worst = std::max(worst, std::fabs(double(a.l[i]) - b.l[i]));
    if (channels == 2) worst = std::max(worst, std::fabs(double(a.r[i]) - b.r[i]));
  }
  return worst;
}

std::vector<Case> Cases()
{
  std::vector<Case> cases;
  const std::size_t n = 24000;
  test::Stereo noise(n);
  noise.l = test::Noise(n, 0.8f, 11);
  noise.r = test::Noise(n, 0.3f, 12);
  cases.push_back({"noise", noise, [](int, EngineParams&) {}});

  test::Stereo tones(n);
  tones.l = test::Sine(n, 97.0, 0.9);
  tones.r = test::Sine(n, 5300.0, 0.6);
  cases.push_back({"sines", tones, [](int, EngineParams&) {}});

  test::Stereo impulses(n);
  for (std::size_t i = 100; i < n; i += 2111)
  {
    impulses.l[i] = 1.f;
    impulses.r[i + 7] = -0.7f;
  }
  cases.push_back({"impulses", impulses, [](int, EngineParams&) {}});

  // Every parameter moves while noise plays: glides restart, switches flip, models cross-fade.
  cases.push_back({"sweep", noise,
                   [](int block, EngineParams& p)
                   {
                     const float t = static_cast<float>(block);
                     p[EngineParams::kDrive] = 18.f + 18.f * std::sin(0.37f * t);
                     p[EngineParams::kInputTrim] = 12.f * std::sin(0.21f * t);
                     p[EngineParams::kOutputTrim] = -6.f + 6.f * std::cos(0.3f * t);
                     p[EngineParams::kTone] = 100.f * std::sin(0.5f * t);
                     p[EngineParams::kWetMix] = 50.f + 50.f * std::sin(0.13f * t);
                     p[EngineParams::kBias] = 100.f * std::sin(0.41f * t);
                     p[EngineParams::kDynamics] = 50.f + 50.f * std::sin(0.23f * t);
                     p[EngineParams::kLowCut] = 160.f + 140.f * std::sin(0.19f * t);
                     p[EngineParams::kHighCut] = 11000.f + 9000.f * std::sin(0.17f * t);
                     p[EngineParams::kBassProtect] = 50.f + 50.f * std::sin(0.29f * t);
                     p[EngineParams::kAutoGain] = (block / 7) % 2 ? 1.f : 0.f;
                     p[EngineParams::kSoftCeiling] = (block / 5) % 2 ? 1.f : 0.f;
                     p[EngineParams::kBypass] = block % 23 == 22 ? 1.f : 0.f;
                   }});
  // Drive, dynamics and filters glide while the bias rests: the steady-model passes with per-sample
  // ramp values.
  cases.push_back({"sweep, bias resting", tones,
                   [](int block, EngineParams& p)
                   {
                     const float t = static_cast<float>(block);
                     p[EngineParams::kDrive] = 18.f + 18.f * std::sin(0.37f * t);
                     p[EngineParams::kDynamics] = 50.f + 50.f * std::sin(0.23f * t);
                     p[EngineParams::kInputTrim] = 6.f * std::sin(0.5f * t);
                     p[EngineParams::kLowCut] = 160.f + 140.f * std::sin(0.19f * t);
                     p[EngineParams::kHighCut] = 11000.f + 9000.f * std::sin(0.17f * t);
                   }});
  return cases;
}

// Both kernel paths against the reference; on a machine without AVX2 and FMA the wide run is the
// baseline again, and says so.
class EngineEquivalence : public ::testing::TestWithParam<KernelPath>
{
protected:
  void SetUp() override { test::AnnounceKernelPath(GetParam()); }
};

TEST_P(EngineEquivalence, ProductEngineFollowsTheReferenceForEveryModel)
{
  for (const Case& c : Cases())
    for (int model = 0; model < kModelCount; ++model)
    {
      EngineParams start;
      start[EngineParams::kModel] = static_cast<float>(model);
      start[EngineParams::kDrive] = 20.f;
      start[EngineParams::kBias] = 35.f;
      EXPECT_LE(LargestDifference(c.input, start, c.schedule, 2, 48000.0, GetParam()), 1e-5)
          << c.name << " model " << model;
    }
}

TEST_P(EngineEquivalence, ModelChangesMonoAndOtherRatesAgreeToo)
{
  test::Stereo noise(30000);
  noise.l = test::Noise(noise.size(), 0.9f, 21);
  noise.r = test::Noise(noise.size(), 0.9f, 22);
  const ParamSchedule switching = [](int block, EngineParams& p)
  {
    // A new model every few blocks, often before the previous fade has finished.
    p[EngineParams::kModel] = static_cast<float>((block * 5 / 3) % 6);
    p[EngineParams::kDrive] = block % 2 ? 30.f : 6.f;
  };
  EngineParams start;
  for (int channels : {1, 2})
    for (double rate : {44100.0, 48000.0, 96000.0})
      EXPECT_LE(LargestDifference(noise, start, switching, channels, rate, GetParam()), 1e-5)
          << channels << " " << rate;
}

INSTANTIATE_TEST_SUITE_P(BothPaths, EngineEquivalence, test::kBothKernelPaths, test::KernelPathName);

} // namespace
} // namespace quorvel
