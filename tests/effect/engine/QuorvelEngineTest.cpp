#include "effect/engine/QuorvelEngine.h"
#include "effect/engine/QuorvelEngineHolder.h"

#include "tests/effect/engine/EngineSignals.h"
#include "tests/effect/engine/KernelPaths.h"
#include "tests/support/core/TrappingFloatExceptions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#if defined(__SSE__) || defined(__x86_64__) || defined(_M_X64)
#include <xmmintrin.h>
#define QUORVEL_TEST_MXCSR 1
#endif

namespace quorvel
{
namespace
{

using test::RunBlocks;
using test::Stereo;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

EngineParams With(std::initializer_list<std::pair<int, float>> changes)
{
  EngineParams p;
  for (auto [i, v] : changes)
    p[i] = v;
  return p;
}

// Every property holds on both kernel paths; the tests prepare through the fixture, which passes
// the path of the run.
class EngineOnBothPaths : public ::testing::TestWithParam<KernelPath>
{
protected:
  void SetUp() override { test::AnnounceKernelPath(GetParam()); }

  void Prepare(QuorvelEngineHolder& h, const EngineParams& p, double rate = 48000.0, int channels = 2)
  {
    h.CopyParams(p);
    h.Prepare(rate, channels, GetParam());
    ASSERT_EQ(h.GetEngine().GetKernelPath(), test::EffectivePath(GetParam()));
  }
};

Stereo Mono(const std::vector<float>& s)
{
  Stereo st;
  st.l = s;
  st.r = s;
  return st;
}

TEST_P(EngineOnBothPaths, PreparationSanitisesRateAndChannelsAndSnapsRamps)
{
  QuorvelEngineHolder h;
  const QuorvelEngine& e = h.GetEngine();
  EXPECT_FALSE(e.IsReady());
  for (double bad : {0.0, -44100.0, std::nan(""), std::numeric_limits<double>::infinity(), 800000.0})
  {
    h.Prepare(bad, 2);
    EXPECT_EQ(e.GetSampleRate(), 48000.0) << bad;
  }
  h.Prepare(768000.0, 2);
  EXPECT_EQ(e.GetSampleRate(), 768000.0);

  for (auto [asked, got] : {std::pair{0, 1}, {-5, 1}, {1, 1}, {2, 2}, {3, 2}, {64, 2}})
  {
    h.Prepare(48000.0, asked);
    EXPECT_EQ(e.GetChannels(), got) << asked;
  }

  auto lengths = [&](double rate, int os, int base, int model)
  {
    h.Prepare(rate, 2);
    for (int i = 0; i < QuorvelEngine::kNumRamps; ++i)
    {
      const int expected =
          i < QuorvelEngine::kRampMix ? os : (i < QuorvelEngine::kRampWeight0 ? base : model);
      EXPECT_EQ(e.GetRamp(i).length, expected) << rate << " ramp " << i;
      EXPECT_EQ(e.GetRamp(i).remaining, 0);
      EXPECT_EQ(e.GetRamp(i).current, e.GetRamp(i).target);
    }
  };
  lengths(48000.0, 3840, 960, 7680);
  lengths(44100.0, 3528, 882, 7056);

  // Preparation after use clears meters and the match gain.
  Prepare(h, EngineParams{});
  RunBlocks(h, Mono(test::Sine(4800, 1000.0, 0.9)));
  EXPECT_GT(h.ReadMeters().inputPeak, 0.8f);
  EXPECT_NE(e.GetMatchGain(), 1.f);
  h.Prepare(48000.0, 2);
  EXPECT_EQ(h.ReadMeters().inputPeak, 0.f);
  EXPECT_EQ(h.ReadMeters().outputPeak, 0.f);
  EXPECT_EQ(h.ReadMeters().activity, 0.f);
  EXPECT_EQ(e.GetMatchGain(), 1.f);
}

TEST_P(EngineOnBothPaths, ParameterValuesBecomeRampTargets)
{
  QuorvelEngineHolder h;
  const QuorvelEngine& e = h.GetEngine();
  auto target = [&](EngineParams p, int ramp)
  {
    Prepare(h, p);
    return e.GetRamp(ramp).target;
  };
  using P = EngineParams;
  using E = QuorvelEngine;
  EXPECT_EQ(target(With({{P::kDrive, kNaN}}), E::kRampDrive), 1.f);
  EXPECT_EQ(target(With({{P::kDrive, kInf}}), E::kRampDrive), 1.f);
  EXPECT_NEAR(target(With({{P::kDrive, 40.f}}), E::kRampDrive), std::pow(10.0, 1.8), 1e-3);
  EXPECT_NEAR(target(With({{P::kOutputTrim, 20.f}}), E::kRampOutput), std::pow(10.0, 0.6), 1e-5);
  EXPECT_NEAR(target(With({{P::kInputTrim, -30.f}}), E::kRampInput), std::pow(10.0, -1.2), 1e-7);
  EXPECT_NEAR(target(With({{P::kTone, 100.f}}), E::kRampToneLow), std::pow(10.0, -0.3), 1e-6);
  EXPECT_NEAR(target(With({{P::kTone, -250.f}}), E::kRampToneHigh), std::pow(10.0, -0.3), 1e-6);
  EXPECT_EQ(target(With({{P::kBias, -150.f}}), E::kRampBias), -1.f);
  EXPECT_NEAR(target(With({{P::kLowCut, 5.f}}), E::kRampLowCut), std::exp(-2.0 * test::kPi * 20.0 / 192000.0),
              1e-7);
  EXPECT_NEAR(target(With({{P::kHighCut, 1e6f}}), E::kRampHighCut),
              std::exp(-2.0 * test::kPi * 20000.0 / 192000.0), 1e-7);
  EXPECT_EQ(target(With({{P::kAutoGain, 0.49f}}), E::kRampAutoGain), 0.f);
  EXPECT_EQ(target(With({{P::kSoftCeiling, kNaN}}), E::kRampCeiling), 0.f);

  for (auto [value, model] : {std::pair{2.5f, 3}, {2.49f, 2}, {7.f, 5}, {-1.f, 0}, {kNaN, 0}})
    for (int m = 0; m < kModelCount; ++m)
      EXPECT_EQ(target(With({{P::kModel, value}}), E::kRampWeight0 + m), m == model ? 1.f : 0.f) << value;

  // Forced bypass wins over the parameter.
  Prepare(h, EngineParams{});
  h.GetEngine().UpdateTargets(false, true);
  EXPECT_EQ(e.GetRamp(E::kRampBypass).target, 1.f);
  EXPECT_EQ(e.GetRamp(E::kRampBypass).remaining, 960);
}

TEST_P(EngineOnBothPaths, ImpulsePeaksAt61FramesAtDefaults)
{
  QuorvelEngineHolder h;
  Prepare(h, EngineParams{});
  Stereo in(400);
  in.l[0] = in.r[0] = 0.25f;
  const Stereo out = RunBlocks(h, in);
  for (const auto* ch : {&out.l, &out.r})
  {
    std::size_t peakAt = 0;
    for (std::size_t i = 0; i < ch->size(); ++i)
      if (std::fabs((*ch)[i]) > std::fabs((*ch)[peakAt])) peakAt = i;
    EXPECT_EQ(peakAt, 61u);
    EXPECT_EQ((*ch)[0], 0.f);
  }
}

TEST_P(EngineOnBothPaths, OutputTrimStepGlidesStraightOver960Frames)
{
  QuorvelEngineHolder h;
  EngineParams p = With({{EngineParams::kWetMix, 0.f}, {EngineParams::kSoftCeiling, 0.f}});
  Prepare(h, p);
  const Stereo dc = Mono(std::vector<float>(200, 0.5f));
  RunBlocks(h, dc);

  p[EngineParams::kOutputTrim] = -12.f;
  h.CopyParams(p);
  const Stereo out = RunBlocks(h, Mono(std::vector<float>(1200, 0.5f)), 1200);
  const double target = 0.5 * std::pow(10.0, -0.6);
  const double step = (target - 0.5) / 960.0;
  for (int i = 0; i < 960; ++i)
  {
    // Float accumulation of the step drifts by a few parts in 1e5 at most.
    ASSERT_NEAR(out.l[i], 0.5 + step * (i + 1), 1.5e-5) << i;
    if (i > 0)
    {
      ASSERT_LT(out.l[i], out.l[i - 1]);
    }
    ASSERT_EQ(out.l[i], out.r[i]);
  }
  for (int i = 959; i < 1200; ++i)
    ASSERT_EQ(out.l[i], static_cast<float>(0.5f * std::pow(10.f, -0.6f))) << i;
}

TEST_P(EngineOnBothPaths, ModelChangeCrossFadesOver7680OversampledSteps)
{
  QuorvelEngineHolder h;
  const QuorvelEngine& e = h.GetEngine();
  EngineParams p;
  Prepare(h, p);
  const Stereo tone = Mono(test::Sine(512, 300.0, 0.5));
  RunBlocks(h, tone);
  EXPECT_NE(e.GetChannelState(0).models[kModelTube].s[0], 0.f);
  EXPECT_EQ(e.GetChannelState(0).models[kModelGermanium].s[0], 0.f);

  p[EngineParams::kModel] = kModelGermanium;
  h.CopyParams(p);
  RunBlocks(h, tone);
  const int in = QuorvelEngine::kRampWeight0 + kModelGermanium;
  const int out = QuorvelEngine::kRampWeight0 + kModelTube;
  EXPECT_EQ(e.GetRamp(in).remaining, 7680 - 2048);
  EXPECT_EQ(e.GetRamp(out).remaining, 7680 - 2048);
  EXPECT_NEAR(e.GetRamp(in).current, 2048.0 / 7680.0, 1e-5);
  // Both models run while they cross.
  EXPECT_NE(e.GetChannelState(0).models[kModelTube].s[0], 0.f);
  EXPECT_NE(e.GetChannelState(1).models[kModelGermanium].s[3], 0.f);

  RunBlocks(h, Mono(test::Sine(1500, 300.0, 0.5)));
  EXPECT_EQ(e.GetRamp(in).current, 1.f);
  EXPECT_EQ(e.GetRamp(out).current, 0.f);
  EXPECT_TRUE(e.GetRamp(out).IsIdle());
  for (int c = 0; c < 2; ++c)
    for (float v : e.GetChannelState(c).models[kModelTube].s)
      EXPECT_EQ(v, 0.f);
}

TEST_P(EngineOnBothPaths, BypassAndDryOnlySettingsGiveTheDelayedInput)
{
  const Stereo noise = []
  {
    Stereo s;
    s.l = test::Noise(3000, 0.95f, 1);
    s.r = test::Noise(3000, 0.95f, 2);
    return s;
  }();
  auto expectDelayed = [&](const Stereo& out, std::size_t from, float gain)
  {
    for (std::size_t i = from; i < out.size(); ++i)
    {
      ASSERT_EQ(out.l[i], i < 61 ? 0.f : noise.l[i - 61] * gain) << i;
      ASSERT_EQ(out.r[i], i < 61 ? 0.f : noise.r[i - 61] * gain) << i;
    }
  };

  // Bypass on from the start, with auto gain and the ceiling on.
  QuorvelEngineHolder h;
  Prepare(h, With({{EngineParams::kBypass, 1.f}, {EngineParams::kDrive, 30.f}}));
  expectDelayed(RunBlocks(h, noise), 0, 1.f);

  // Bypass switched on while running: bit-exact once its ramp has finished.
  Prepare(h, With({{EngineParams::kDrive, 30.f}}));
  RunBlocks(h, noise);
  h.CopyParams(With({{EngineParams::kDrive, 30.f}, {EngineParams::kBypass, 1.f}}));
  const Stereo glide = RunBlocks(h, noise, 100);
  expectDelayed(glide, 1000, 1.f);
  EXPECT_NE(glide.l[500], noise.l[500 - 61]);

  // Forced bypass does the same whatever the parameter says.
  Prepare(h, EngineParams{});
  Stereo forced(noise.size());
  for (std::size_t pos = 0; pos < noise.size(); pos += 500)
  {
    const float* ins[2] = {noise.l.data() + pos, noise.r.data() + pos};
    float* outs[2] = {forced.l.data() + pos, forced.r.data() + pos};
    h.Process(ins, outs, 500, true);
  }
  expectDelayed(forced, 1000, 1.f);
  EXPECT_NE(forced.l[500], noise.l[500 - 61]);

  // Wet mix 0 without the ceiling: the delayed dry signal times the trim, exactly.
  Prepare(h, With({{EngineParams::kWetMix, 0.f},
                   {EngineParams::kSoftCeiling, 0.f},
                   {EngineParams::kOutputTrim, -6.f}}));
  expectDelayed(RunBlocks(h, noise), 0, std::pow(10.f, 0.05f * -6.f));
}

TEST_P(EngineOnBothPaths, SoftCeilingBendsLoudSamplesBelowItsLimit)
{
  QuorvelEngineHolder h;
  auto levelOut = [&](float in, float trimDb, float ceiling)
  {
    Prepare(h, With({{EngineParams::kWetMix, 0.f},
                     {EngineParams::kOutputTrim, trimDb},
                     {EngineParams::kSoftCeiling, ceiling}}));
    const Stereo out = RunBlocks(h, Mono(std::vector<float>(100, in)));
    return out.l[80];
  };
  const float two = levelOut(1.f, 20.f * std::log10(2.f), 1.f);
  EXPECT_NEAR(two, 0.96605f, 2e-5f);
  EXPECT_EQ(levelOut(-0.5f, 0.f, 1.f), -0.5f);
  EXPECT_NEAR(levelOut(-1.f, 20.f * std::log10(2.f), 1.f), -two, 1e-7f);
  EXPECT_NEAR(levelOut(1.f, 20.f * std::log10(2.f), 0.f), 2.f, 1e-5f);
  for (float in : {0.8f, 1.f, 3.f, 64.f, 1000.f})
    EXPECT_LE(std::fabs(levelOut(in, 12.f, 1.f)), 0.9660509f) << in;
}

TEST_P(EngineOnBothPaths, AutoGainMatchesTheDryLevelForEveryModel)
{
  QuorvelEngineHolder h;
  const Stereo tone = Mono(test::Sine(96000, 1000.0, 0.25));
  const double inDb = test::ToDb(test::Rms(tone.l, 72000, 96000));
  double largestOffDifference = 0.0;
  for (int m = 0; m < kModelCount; ++m)
  {
    for (float autoGain : {1.f, 0.f})
    {
      Prepare(h, With({{EngineParams::kModel, static_cast<float>(m)},
                       {EngineParams::kAutoGain, autoGain},
                       {EngineParams::kSoftCeiling, 0.f}}));
      const Stereo out = RunBlocks(h, tone);
      const double diff = test::ToDb(test::Rms(out.l, 72000, 96000)) - inDb;
      EXPECT_NEAR(test::ToDb(test::Rms(out.r, 72000, 96000)) - inDb, diff, 1e-3);
      if (autoGain > 0.5f)
        EXPECT_NEAR(diff, 0.0, 0.1) << "model " << m;
      else
        largestOffDifference = std::max(largestOffDifference, std::fabs(diff));
    }
  }
  EXPECT_GT(largestOffDifference, 1.0);
}

TEST_P(EngineOnBothPaths, OversamplingKeepsAliasesFarBelowTheTone)
{
  QuorvelEngineHolder h;
  const Stereo tone = Mono(test::Sine(72000, 7000.0, 0.5));
  for (int m = 0; m < kModelCount; ++m)
  {
    Prepare(h, With({{EngineParams::kModel, static_cast<float>(m)},
                     {EngineParams::kDrive, 8.f},
                     {EngineParams::kAutoGain, 0.f},
                     {EngineParams::kSoftCeiling, 0.f}}));
    const Stereo out = RunBlocks(h, tone);
    const double fundamental = test::BinMagnitude(out.l, 24000, 48000, 7000.0, 48000.0);
    ASSERT_GT(fundamental, 0.01) << m;
    double worst = -200.0;
    for (int k = 1; k <= 23; ++k)
    {
      if (k % 7 == 0) continue;
      worst = std::max(
          worst, test::ToDb(test::BinMagnitude(out.l, 24000, 48000, 1000.0 * k, 48000.0) / fundamental));
    }
    EXPECT_LT(worst, -45.0) << "model " << m;
  }
}

TEST_P(EngineOnBothPaths, HostileInputsGiveFiniteBoundedOutput)
{
  QuorvelEngineHolder h;
  Prepare(h, With({{EngineParams::kDrive, 36.f},
                   {EngineParams::kOutputTrim, 12.f},
                   {EngineParams::kSoftCeiling, 0.f}}));
  Stereo in = Mono(test::Noise(4000, 1.f, 3));
  for (std::size_t i = 0; i < in.size(); i += 7)
  {
    in.l[i] = (i % 3 == 0) ? kNaN : (i % 3 == 1 ? kInf : -kInf);
    in.r[i] = (i % 2) ? 100.f : -100.f;
  }
  for (int m = 0; m < kModelCount; ++m)
  {
    EngineParams p = With({{EngineParams::kModel, static_cast<float>(m)},
                           {EngineParams::kDrive, 36.f},
                           {EngineParams::kOutputTrim, 12.f},
                           {EngineParams::kSoftCeiling, 0.f},
                           {EngineParams::kBias, 100.f}});
    Prepare(h, p);
    const Stereo out = RunBlocks(h, in);
    for (std::size_t i = 0; i < out.size(); ++i)
    {
      ASSERT_TRUE(std::isfinite(out.l[i]) && std::isfinite(out.r[i])) << i;
      ASSERT_LE(std::fabs(out.l[i]), 64.f);
      ASSERT_LE(std::fabs(out.r[i]), 64.f);
    }
    EXPECT_EQ(h.ReadMeters().inputPeak, 64.f); // 100 is processed as 64
  }

  // Every parameter NaN: each counts as 0 (Tube, 0 dB, mix 0, switches off): the delayed dry signal.
  EngineParams nan;
  for (float& v : nan.values)
    v = kNaN;
  Prepare(h, nan);
  const Stereo noise = Mono(test::Noise(1000, 0.9f, 4));
  const Stereo out = RunBlocks(h, noise);
  for (std::size_t i = 61; i < out.size(); ++i)
    ASSERT_EQ(out.l[i], noise.l[i - 61]) << i;
}

TEST_P(EngineOnBothPaths, MissingBuffersAndOddFrameCountsAreHandled)
{
  const Stereo noise = []
  {
    Stereo s;
    s.l = test::Noise(700, 0.5f, 5);
    s.r = test::Noise(700, 0.5f, 6);
    return s;
  }();
  const EngineParams p = With({{EngineParams::kModel, 4.f}});

  QuorvelEngineHolder ref, h;
  Prepare(ref, p);
  Prepare(h, p);
  Stereo want(700), got(700);
  float* wantOut[2] = {want.l.data(), want.r.data()};
  float* gotOut[2] = {got.l.data(), got.r.data()};

  // Null input array = silence on both channels; a null channel input = silence on that channel.
  const float silence[700] = {};
  const float* silentIn[2] = {silence, silence};
  ref.Process(silentIn, wantOut, 300, false);
  h.Process(nullptr, gotOut, 300, false);
  EXPECT_EQ(want.l, got.l);
  EXPECT_EQ(want.r, got.r);
  const float* leftOnly[2] = {noise.l.data(), nullptr};
  const float* leftAndSilence[2] = {noise.l.data(), silence};
  ref.Process(leftAndSilence, wantOut, 700, false);
  h.Process(leftOnly, gotOut, 700, false);
  EXPECT_EQ(want.l, got.l);
  EXPECT_EQ(want.r, got.r);

  // A null channel output is skipped, its channel still processed.
  const float* both[2] = {noise.l.data(), noise.r.data()};
  float* rightMissing[2] = {got.l.data(), nullptr};
  std::fill(got.r.begin(), got.r.end(), 7.f);
  ref.Process(both, wantOut, 700, false);
  h.Process(both, rightMissing, 700, false);
  EXPECT_EQ(want.l, got.l);
  EXPECT_EQ(got.r, std::vector<float>(700, 7.f));

  // n = 0: nothing written, meters unchanged; n < 0 or no output array: nothing at all.
  const MeterLevels before = h.ReadMeters();
  std::fill(got.l.begin(), got.l.end(), 7.f);
  float* gotBoth[2] = {got.l.data(), got.r.data()};
  h.Process(both, gotBoth, 0, false);
  h.Process(both, gotBoth, -5, false);
  h.Process(both, nullptr, 700, false);
  EXPECT_EQ(got.l, std::vector<float>(700, 7.f));
  EXPECT_EQ(h.ReadMeters().inputPeak, before.inputPeak);
  EXPECT_EQ(h.ReadMeters().outputPeak, before.outputPeak);
  // The calls left the engine's history alone: both engines still agree.
  ref.Process(both, wantOut, 700, false);
  h.Process(both, gotBoth, 700, false);
  EXPECT_EQ(want.l, got.l);
  EXPECT_EQ(want.r, got.r);

  // Mono: only channel 0 is touched.
  Prepare(h, p, 48000.0, 1);
  std::fill(got.r.begin(), got.r.end(), 7.f);
  h.Process(both, gotBoth, 700, false);
  EXPECT_EQ(got.r, std::vector<float>(700, 7.f));
  EXPECT_NE(got.l, std::vector<float>(700, 7.f));
}

TEST_P(EngineOnBothPaths, UnpreparedEngineGivesSilence)
{
  QuorvelEngineHolder h;
  Stereo out(300);
  std::fill(out.l.begin(), out.l.end(), 3.f);
  std::fill(out.r.begin(), out.r.end(), 3.f);
  const Stereo noise = Mono(test::Noise(300, 0.5f, 7));
  const float* ins[2] = {noise.l.data(), noise.r.data()};
  float* outs[2] = {out.l.data(), out.r.data()};
  h.Process(ins, outs, 300, false);
  EXPECT_EQ(out.l, std::vector<float>(300, 0.f));
  EXPECT_EQ(out.r, std::vector<float>(300, 0.f));
  EXPECT_EQ(h.ReadMeters().inputPeak, 0.f);
}

#if defined(QUORVEL_TEST_MXCSR)
TEST_P(EngineOnBothPaths, CallerControlWordIsRestoredOnEveryPath)
{
  const unsigned saved = _mm_getcsr();
  // Round towards zero with the precision exception masked off the defaults: nothing the engine sets.
  const unsigned unusual = (saved & ~0x8040u) | 0x6000u;
  // The low six bits are sticky exception flags that any arithmetic may raise.
  constexpr unsigned kControlBits = ~0x3Fu;
  _mm_setcsr(unusual);
  QuorvelEngineHolder h;
  const Stereo noise = Mono(test::Noise(600, 0.5f, 8));
  const float* ins[2] = {noise.l.data(), noise.r.data()};
  Stereo out(600);
  float* outs[2] = {out.l.data(), out.r.data()};
  h.Process(ins, outs, 600, false); // not ready
  const unsigned afterUnready = _mm_getcsr();
  Prepare(h, EngineParams{});
  const unsigned afterPrepare = _mm_getcsr();
  h.Process(ins, outs, -1, false);
  const unsigned afterNegative = _mm_getcsr();
  h.Process(ins, nullptr, 600, false);
  const unsigned afterNull = _mm_getcsr();
  h.Process(ins, outs, 0, false);
  const unsigned afterEmpty = _mm_getcsr();
  h.Process(ins, outs, 600, false);
  const unsigned afterFull = _mm_getcsr();
  _mm_setcsr(saved);
  EXPECT_EQ(afterUnready & kControlBits, unusual & kControlBits);
  EXPECT_EQ(afterPrepare & kControlBits, unusual & kControlBits);
  EXPECT_EQ(afterNegative & kControlBits, unusual & kControlBits);
  EXPECT_EQ(afterNull & kControlBits, unusual & kControlBits);
  EXPECT_EQ(afterEmpty & kControlBits, unusual & kControlBits);
  EXPECT_EQ(afterFull & kControlBits, unusual & kControlBits);
}
#endif

// A host thread trapping invalid operation, division by zero and overflow: preparing, then running
// silence, audio and audio with non-finite and huge samples under every parameter across and beyond
// its range raises none of them, gives finite output and leaves the host's control word in place.
TEST_P(EngineOnBothPaths, TrappingHostThreadSeesNoFloatException)
{
  if (!test::TrappingFloatExceptions::kAvailable) GTEST_SKIP() << "no SSE control word";
  const Stereo silence(1000), audio = Mono(test::Sine(1000, 440.0, 0.8));
  Stereo hostile = audio;
  for (std::size_t i = 0; i < hostile.size(); i += 3)
    hostile.l[i] = static_cast<float>(test::kHostileSamples[i % 5]);
  const Stereo* signals[] = {&silence, &audio, &hostile};
  QuorvelEngineHolder h;
  test::TrappingFloatExceptions traps;
  Prepare(h, EngineParams{});
  for (int param = 0; param < EngineParams::kCount; ++param)
    for (float v : {-1e30f, 0.f, 1.f, 3.f, 5.f, 36.f, 300.f, 20000.f, 1e30f, kNaN})
    {
      EngineParams p;
      p[param] = v;
      h.CopyParams(p);
      for (const Stereo* in : signals)
      {
        const Stereo out = RunBlocks(h, *in, 500);
        for (std::size_t i = 0; i < out.size(); ++i)
          ASSERT_TRUE(std::isfinite(out.l[i]) && std::isfinite(out.r[i])) << param << " at " << v;
      }
      ASSERT_TRUE(traps.HostWordInPlace());
    }
}

TEST_P(EngineOnBothPaths, MetersRiseAtOnceAndFallByEEvery300Ms)
{
  for (int block : {64, 100, 512, 1000})
  {
    SCOPED_TRACE(block);
    QuorvelEngineHolder h;
    Prepare(h, With({{EngineParams::kDrive, 24.f}}));
    RunBlocks(h, Mono(test::Sine(512, 1000.0, 1.0)), 512);
    const MeterLevels loud = h.ReadMeters();
    EXPECT_NEAR(loud.inputPeak, 1.f, 1e-3f);
    EXPECT_GT(loud.outputPeak, 0.1f);
    EXPECT_GT(loud.activity, 0.05f);
    EXPECT_LE(loud.activity, 1.f);

    // The wet tail of the tone is still leaving the filters; let it out before timing the input hold.
    RunBlocks(h, Stereo(14400), block);
    const MeterLevels later = h.ReadMeters();
    EXPECT_NEAR(later.inputPeak / loud.inputPeak, std::exp(-1.f), 1e-4f);
    RunBlocks(h, Stereo(14400), block);
    EXPECT_NEAR(h.ReadMeters().inputPeak / later.inputPeak, std::exp(-1.f), 1e-4f);
    EXPECT_NEAR(h.ReadMeters().activity / later.activity, std::exp(-1.f), 1e-3f);
  }
}

INSTANTIATE_TEST_SUITE_P(BothPaths, EngineOnBothPaths, test::kBothKernelPaths, test::KernelPathName);

} // namespace
} // namespace quorvel
