#include "effect/engine/QuorvelEngine.h"

#include "effect/engine/ClampSample.h"
#include "effect/engine/KernelDispatch.h"
#include "effect/engine/Lanes.h"
#include "effect/engine/ScopedFlushDenormals.h"
#include "effect/engine/RampTargets.h"
#include "effect/engine/ShaperTables.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace quorvel
{

namespace
{
using namespace lanes;

constexpr float kMatchMin = 0.125f;
constexpr float kMatchMax = 4.f;
constexpr float kDryPowerFloor = 1e-8f;
constexpr float kWetPowerFloor = 1e-9f;
constexpr float kCeilingThreshold = 0.7943282f; // -2 dBFS
constexpr float kCeilingKnee = 0.17172271f;
constexpr double kMeterRelease = 0.3; // s

float OnePoleCoefficient(double hz, double rate)
{
  return static_cast<float>(std::exp(-6.283185307179586 * hz / rate));
}

inline float Clamp(float v, float lo, float hi)
{
  return std::max(std::min(v, hi), lo); // lower bound last: below-range values take it
}

inline float SoftCeiling(float v)
{
  const float a = std::fabs(v);
  if (a <= kCeilingThreshold) return v;
  const float c = kCeilingThreshold + kCeilingKnee * std::tanh((a - kCeilingThreshold) / kCeilingKnee);
  return v < 0.f ? -c : c;
}

} // namespace

QuorvelEngine::QuorvelEngine() : mTables(GetShaperTables())
{
  mPath.tables = &mTables;
}

QuorvelEngine::ChannelState QuorvelEngine::GetChannelState(int c) const
{
  ChannelState s;
  s.toneLow = mPath.lanes.toneLow[c];
  s.bassLow = mPath.lanes.bassLow[c];
  s.lowCut = mPath.lanes.lowCut[c];
  s.highCut = mPath.lanes.highCut[c];
  s.dcIn = mPath.lanes.dcIn[c];
  s.dcOut = mPath.lanes.dcOut[c];
  for (int m = 0; m < kModelCount; ++m)
    for (int i = 0; i < 6; ++i)
      s.models[m].s[i] = mPath.lanes.models[m][i][c];
  return s;
}

void QuorvelEngine::Prepare(double sampleRate, int channels, KernelPath allowed)
{
  mKernels = &GetKernels(ChooseKernelPath(QueryCpuSupport(), allowed));
  for (auto& f : mHalfBand)
    f.SetKernels(*mKernels);
  mFs = sampleRate;
  mFsOs = 4.0 * sampleRate;
  mChannels = channels < 2 ? 1 : 2;

  for (auto& f : mHalfBand)
    f.Reset();
  std::memset(mDryLine, 0, sizeof mDryLine);
  std::memset(mPath.osLanes, 0, sizeof mPath.osLanes);
  mPath.lanes = WetPath::LaneState{};
  mPath.channels = mChannels;

  mDryPower = mWetPower = 0.f;
  mMatchGain = 1.f;
  mInputHold = mOutputHold = mActivityHold = 0.f;

  const int osLength = static_cast<int>(std::floor(0.02 * mFsOs));
  const int baseLength = static_cast<int>(std::floor(0.02 * mFs));
  const int modelLength = static_cast<int>(std::floor(0.04 * mFsOs));
  for (int i = 0; i < kNumRamps; ++i)
    mRamps[i].Reset(i < kRampMix ? osLength : (i < kRampWeight0 ? baseLength : modelLength));

  mPath.toneSplit = OnePoleCoefficient(900.0, mFsOs);
  mPath.bassSplit = OnePoleCoefficient(120.0, mFsOs);
  mPath.dcBlock = OnePoleCoefficient(8.0, mFsOs);
  mPath.modelCoeffs.c20 = OnePoleCoefficient(20.0, mFsOs);
  mPath.modelCoeffs.attack = static_cast<float>(std::exp(-1.0 / (0.003 * mFsOs)));
  mPath.modelCoeffs.release = static_cast<float>(std::exp(-1.0 / (0.12 * mFsOs)));
  mPath.modelCoeffs.c15000 = OnePoleCoefficient(15000.0, mFsOs);
  mPath.modelCoeffs.c12500 = OnePoleCoefficient(12500.0, mFsOs);
  mPath.modelCoeffs.c35 = OnePoleCoefficient(35.0, mFsOs);
  mPath.modelCoeffs.c3000 = OnePoleCoefficient(3000.0, mFsOs);
  mPowerSmoothing = static_cast<float>(std::exp(-1.0 / (0.25 * mFs)));
  mGainSmoothing = static_cast<float>(std::exp(-1.0 / (0.15 * mFs)));

  UpdateTargets(true, false);
  mReady.store(true, std::memory_order_relaxed);
}

void QuorvelEngine::UpdateTargets(bool immediate, bool forceBypass)
{
  const RampTargets t = MapParamsToTargets(mParams, mFsOs, forceBypass);
  for (int r = 0; r < kNumRamps; ++r)
  {
    if (immediate)
      mRamps[r].Jump(t[r]);
    else
      mRamps[r].SetTarget(t[r]);
  }
}

void QuorvelEngine::Process(const float* const* inputs, float* const* outputs, int n, bool forceBypass)
{
  ScopedFlushDenormals flush;
  if (n < 0 || !outputs) return;
  if (!IsReady())
  {
    for (int c = 0; c < mChannels; ++c)
      if (outputs[c] && n > 0) std::fill(outputs[c], outputs[c] + n, 0.f);
    return;
  }

  UpdateTargets(false, forceBypass);
  MeterLevels peaks;
  for (int offset = 0; offset < n; offset += kMaxBlock)
    ProcessChunk(inputs, outputs, offset, std::min(kMaxBlock, n - offset), peaks);

  const float decay = static_cast<float>(std::exp(-static_cast<double>(n) / (kMeterRelease * mFs)));
  mInputHold = std::max(decay * mInputHold, peaks.inputPeak);
  mOutputHold = std::max(decay * mOutputHold, peaks.outputPeak);
  mActivityHold = std::max(decay * mActivityHold, peaks.activity);
}

void QuorvelEngine::ProcessChunk(const float* const* inputs, float* const* outputs, int offset, int count,
                                 MeterLevels& peaks)
{
  const int nc = mChannels;

  // Input, dry delay and upsampling; the four phases are gathered into lanes, one channel each.
  for (int c = 0; c < nc; ++c)
  {
    const float* in = inputs ? inputs[c] : nullptr;
    float* x = mDryLine[c] + kLatency;
    float peak = peaks.inputPeak;
    for (int i = 0; i < count; ++i)
    {
      const float v = in ? ClampSample(in[offset + i]) : 0.f;
      peak = std::max(peak, std::fabs(v));
      x[i] = v;
    }
    peaks.inputPeak = peak;
    float(*phase)[kMaxBlock] = mPhase[c];
    mHalfBand[c].Upsample(x, count, phase[0], phase[1], phase[2], phase[3]);
  }
  GatherPhasesIntoLanes(count);

  peaks.activity = std::max(peaks.activity, mKernels->runWetPath(mPath, mRamps, count));

  for (int c = 0; c < nc; ++c)
    mHalfBand[c].DownsampleStrided(mPath.osLanes + c, kLanes, count, mWet[c]);

  ProcessBaseRate(outputs, offset, count, peaks);

  for (int c = 0; c < nc; ++c)
    std::memmove(mDryLine[c], mDryLine[c] + count, sizeof(float) * kLatency);
}

// Oversampled sample 4 i + k of channel c goes to lane c of slot 4 i + k. In stereo both channels
// of four frames move per step: each pair (c0, c1) is one 64-bit store.
void QuorvelEngine::GatherPhasesIntoLanes(int count)
{
  float* lanesOut = mPath.osLanes;
  int i = 0;
  if (mChannels == 2)
  {
    for (; i + 4 <= count; i += 4)
      for (int k = 0; k < kOversampling; ++k)
      {
        const F4 a = Load(mPhase[0][k] + i);
        const F4 b = Load(mPhase[1][k] + i);
        alignas(16) float pairs[8];
        StoreAligned(pairs, InterleaveLow(a, b));
        StoreAligned(pairs + 4, InterleaveHigh(a, b));
        for (int f = 0; f < 4; ++f)
          std::memcpy(lanesOut + (kOversampling * (i + f) + k) * kLanes, pairs + 2 * f, 2 * sizeof(float));
      }
  }
  for (int c = 0; c < mChannels; ++c)
    for (int j = i; j < count; ++j)
      for (int k = 0; k < kOversampling; ++k)
        lanesOut[(kOversampling * j + k) * kLanes + c] = mPhase[c][k][j];
}

// One frame of the level follower: the smoothed dry and wet powers and the gain that matches them.
float QuorvelEngine::FollowLevels(int i, float invChannels, float m1, float m2)
{
  float pd = 0.f;
  float pw = 0.f;
  for (int c = 0; c < mChannels; ++c)
  {
    pd += mDryLine[c][i] * mDryLine[c][i];
    pw += mWet[c][i] * mWet[c][i];
  }
  mDryPower = (1.f - m1) * (pd * invChannels) + m1 * mDryPower;
  mWetPower = (1.f - m1) * (pw * invChannels) + m1 * mWetPower;
  float target = 1.f;
  if (mDryPower > kDryPowerFloor && mWetPower > kWetPowerFloor)
    target = Clamp(std::sqrt(mDryPower / mWetPower), kMatchMin, kMatchMax);
  mMatchGain = (1.f - m2) * target + m2 * mMatchGain;
  return mMatchGain;
}

void QuorvelEngine::ProcessBaseRate(float* const* outputs, int offset, int count, MeterLevels& peaks)
{
  const int nc = mChannels;
  const float m1 = mPowerSmoothing;
  const float m2 = mGainSmoothing;
  const float invChannels = 1.f / static_cast<float>(nc); // 1 or 0.5: exact
  float outPeak = peaks.outputPeak;

  // With every base-rate ramp at rest, the level matching runs first (it is the only recursion)
  // and the mix, ceiling and bypass then take four frames per instruction.
  bool resting = true;
  for (int r = kRampMix; r <= kRampBypass; ++r)
    resting = resting && mRamps[r].IsIdle();
  if (resting)
  {
    for (int i = 0; i < count; ++i)
    {
      mMatch[i] = FollowLevels(i, invChannels, m1, m2);
    }
    const F4 one = Set(1.f);
    const F4 autoGain = Set(mRamps[kRampAutoGain].current);
    const F4 mix = Set(mRamps[kRampMix].current);
    const F4 outGain = Set(mRamps[kRampOutput].current);
    const F4 ceiling = Set(mRamps[kRampCeiling].current);
    const F4 bypass = Set(mRamps[kRampBypass].current);
    const int count4 = count & ~3;
    for (int c = 0; c < nc; ++c)
    {
      float* dst = outputs[c] ? outputs[c] + offset : nullptr;
      F4 peak = Zero();
      for (int i = 0; i < count4; i += 4)
      {
        const F4 dry = Load(mDryLine[c] + i);
        const F4 match = one + (Load(mMatch + i) - one) * autoGain;
        const F4 v = (match * Load(mWet[c] + i) * mix + (one - mix) * dry) * outGain;
        F4 bent = v;
        if (AnyGreater(Abs(v), Set(kCeilingThreshold)))
        {
          alignas(16) float lanes[4];
          StoreAligned(lanes, v);
          for (float& l : lanes)
            l = SoftCeiling(l);
          bent = LoadAligned(lanes);
        }
        const F4 limited = v * (one - ceiling) + bent * ceiling;
        const F4 out = Sanitise(limited * (one - bypass) + bypass * dry, kSampleLimit);
        if (dst) Store(dst + i, out);
        peak = Max(peak, Abs(out));
      }
      for (int l = 0; l < 4; ++l)
        outPeak = std::max(outPeak, Lane(peak, l));
      for (int i = count4; i < count; ++i)
      {
        const float dry = mDryLine[c][i];
        const float match = 1.f + (mMatch[i] - 1.f) * Lane(autoGain, 0);
        const float m = Lane(mix, 0);
        float v = (match * mWet[c][i] * m + (1.f - m) * dry) * Lane(outGain, 0);
        v = v * (1.f - Lane(ceiling, 0)) + SoftCeiling(v) * Lane(ceiling, 0);
        const float out = ClampSample(v * (1.f - Lane(bypass, 0)) + Lane(bypass, 0) * dry);
        if (dst) dst[i] = out;
        outPeak = std::max(outPeak, std::fabs(out));
      }
    }
    peaks.outputPeak = outPeak;
    return;
  }

  for (int i = 0; i < count; ++i)
  {
    FollowLevels(i, invChannels, m1, m2);

    const float autoGain = mRamps[kRampAutoGain].Advance();
    const float mix = mRamps[kRampMix].Advance();
    const float outGain = mRamps[kRampOutput].Advance();
    const float ceiling = mRamps[kRampCeiling].Advance();
    const float bypass = mRamps[kRampBypass].Advance();
    const float match = 1.f + (mMatchGain - 1.f) * autoGain;

    for (int c = 0; c < nc; ++c)
    {
      const float dry = mDryLine[c][i];
      float v = (match * mWet[c][i] * mix + (1.f - mix) * dry) * outGain;
      // Blended so that each end of the ramp is exact: fully on gives the ceiling's own value, never
      // a rounding step above its limit.
      v = v * (1.f - ceiling) + SoftCeiling(v) * ceiling;
      const float out = ClampSample(v * (1.f - bypass) + bypass * dry);
      if (float* dst = outputs[c]) dst[offset + i] = out;
      outPeak = std::max(outPeak, std::fabs(out));
    }
  }
  peaks.outputPeak = outPeak;
}

} // namespace quorvel
