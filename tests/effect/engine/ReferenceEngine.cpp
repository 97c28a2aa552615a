#include "tests/effect/engine/ReferenceEngine.h"

#include "effect/engine/ClampSample.h"
#include "effect/engine/RampTargets.h"
#include "effect/engine/ScopedEngineFloatEnvironment.h"
#include "effect/engine/ShaperTables.h"

#include <algorithm>
#include <cmath>

namespace quorvel::reference
{

namespace
{
constexpr double kTwoPi = 6.283185307179586;
constexpr float kDriveLimit = 32.f;
constexpr float kMatchMin = 0.125f;
constexpr float kMatchMax = 4.f;
constexpr float kDryPowerFloor = 1e-8f;
constexpr float kWetPowerFloor = 1e-9f;
constexpr float kCeilingThreshold = 0.7943282f; // -2 dBFS
constexpr float kCeilingKnee = 0.17172271f;
constexpr float kActivityScale = 1.5f;
constexpr double kMeterRelease = 0.3; // s

float OnePoleCoefficient(double hz, double rate)
{
  return static_cast<float>(std::exp(-kTwoPi * hz / rate));
}

inline float OnePole(float c, float u, float& s)
{
  s = (1.f - c) * u + c * s;
  return s;
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

ReferenceEngine::ReferenceEngine() : mTables(GetShaperTables()) {}

void ReferenceEngine::Prepare(double sampleRate, int channels)
{
  mFs = sampleRate;
  mFsOs = 4.0 * sampleRate;
  mChannels = channels < 2 ? 1 : 2;

  for (auto& f : mFilters)
    f.Reset();
  for (auto& d : mDelay)
    d = DryDelay{};
  for (auto& s : mState)
    s = ChannelState{};

  mDryPower = mWetPower = 0.f;
  mMatchGain = 1.f;
  mInputHold = mOutputHold = mActivityHold = 0.f;

  const int osLength = static_cast<int>(std::floor(0.02 * mFsOs));
  const int baseLength = static_cast<int>(std::floor(0.02 * mFs));
  const int modelLength = static_cast<int>(std::floor(0.04 * mFsOs));
  for (int i = 0; i < kNumRamps; ++i)
    mRamps[i].Reset(i < kRampMix ? osLength : (i < kRampWeight0 ? baseLength : modelLength));

  mToneSplit = OnePoleCoefficient(900.0, mFsOs);
  mBassSplit = OnePoleCoefficient(120.0, mFsOs);
  mDcBlock = OnePoleCoefficient(8.0, mFsOs);
  mModelCoeffs.c20 = OnePoleCoefficient(20.0, mFsOs);
  mModelCoeffs.attack = static_cast<float>(std::exp(-1.0 / (0.003 * mFsOs)));
  mModelCoeffs.release = static_cast<float>(std::exp(-1.0 / (0.12 * mFsOs)));
  mModelCoeffs.c15000 = OnePoleCoefficient(15000.0, mFsOs);
  mModelCoeffs.c12500 = OnePoleCoefficient(12500.0, mFsOs);
  mModelCoeffs.c35 = OnePoleCoefficient(35.0, mFsOs);
  mModelCoeffs.c3000 = OnePoleCoefficient(3000.0, mFsOs);
  mPowerSmoothing = static_cast<float>(std::exp(-1.0 / (0.25 * mFs)));
  mGainSmoothing = static_cast<float>(std::exp(-1.0 / (0.15 * mFs)));

  UpdateTargets(true, false);
  mReady.store(true, std::memory_order_relaxed);
}

// The mapping from parameters to targets is the product's own (held to hand-worked values by its
// own test); the reference is the plain per-sample signal path behind it.
void ReferenceEngine::UpdateTargets(bool immediate, bool forceBypass)
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

void ReferenceEngine::Process(const float* const* inputs, float* const* outputs, int n, bool forceBypass)
{
  ScopedEngineFloatEnvironment floatEnvironment;
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

void ReferenceEngine::ProcessChunk(const float* const* inputs, float* const* outputs, int offset, int count,
                                   MeterLevels& peaks)
{
  const int nc = mChannels;

  // Input, dry delay and upsampling.
  for (int c = 0; c < nc; ++c)
  {
    const float* in = inputs ? inputs[c] : nullptr;
    DryDelay& delay = mDelay[c];
    for (int i = 0; i < count; ++i)
    {
      const float x = in ? ClampSample(in[offset + i]) : 0.f;
      peaks.inputPeak = std::max(peaks.inputPeak, std::fabs(x));
      mDry[c][i] = delay.line[delay.index];
      delay.line[delay.index] = x;
      delay.index = (delay.index + 1) % kLatency;
      mFilters[c].UpsampleFrame(x, &mOs[c][kOversampling * i]);
    }
  }

  // Oversampled wet path.
  for (int j = 0; j < kOversampling * count; ++j)
  {
    const float drive = mRamps[kRampDrive].Advance();
    const float inGain = mRamps[kRampInput].Advance();
    const float toneLow = mRamps[kRampToneLow].Advance();
    const float toneHigh = mRamps[kRampToneHigh].Advance();
    const float bias = mRamps[kRampBias].Advance();
    const float dyn = mRamps[kRampDynamics].Advance();
    const float bass = mRamps[kRampBass].Advance();
    const float lowCut = mRamps[kRampLowCut].Advance();
    const float highCut = mRamps[kRampHighCut].Advance();
    float weight[kModelCount];
    for (int m = 0; m < kModelCount; ++m)
      weight[m] = mRamps[kRampWeight0 + m].Advance();
    // Keeps the perceived level roughly steady as the drive rises.
    const float makeup = 1.f / std::sqrt(drive);

    for (int c = 0; c < nc; ++c)
    {
      ChannelState& st = mState[c];
      const float x = mOs[c][j] * inGain;
      const float lt = OnePole(mToneSplit, x, st.toneLow);
      const float y = (x - lt) * toneHigh + toneLow * lt;
      const float lb = OnePole(mBassSplit, y, st.bassLow);
      const float d = Clamp((y - bass * lb) * drive, -kDriveLimit, kDriveLimit);

      float acc = MixModels(mTables, mModelCoeffs, d, st.models, weight, makeup, bias, dyn);
      acc += bass * lb; // protected bass bypasses the models, undriven

      peaks.activity = std::max(peaks.activity, Clamp(kActivityScale * std::fabs(acc - y), 0.f, 1.f));

      const float low = OnePole(lowCut, acc, st.lowCut);
      const float high = OnePole(highCut, acc - low, st.highCut);
      const float o = high - st.dcIn + mDcBlock * st.dcOut;
      st.dcIn = high;
      st.dcOut = o;
      mOs[c][j] = ClampSample(o);
    }
  }

  for (int c = 0; c < nc; ++c)
    for (int i = 0; i < count; ++i)
      mWet[c][i] = mFilters[c].DownsampleFrame(&mOs[c][kOversampling * i]);

  // Base-rate level matching, mix, trim, ceiling and bypass.
  const float m1 = mPowerSmoothing;
  const float m2 = mGainSmoothing;
  for (int i = 0; i < count; ++i)
  {
    float pd = 0.f;
    float pw = 0.f;
    for (int c = 0; c < nc; ++c)
    {
      pd += mDry[c][i] * mDry[c][i];
      pw += mWet[c][i] * mWet[c][i];
    }
    pd /= static_cast<float>(nc);
    pw /= static_cast<float>(nc);
    mDryPower = (1.f - m1) * pd + m1 * mDryPower;
    mWetPower = (1.f - m1) * pw + m1 * mWetPower;
    float target = 1.f;
    if (mDryPower > kDryPowerFloor && mWetPower > kWetPowerFloor)
      target = Clamp(std::sqrt(mDryPower / mWetPower), kMatchMin, kMatchMax);
    mMatchGain = (1.f - m2) * target + m2 * mMatchGain;

    const float autoGain = mRamps[kRampAutoGain].Advance();
    const float mix = mRamps[kRampMix].Advance();
    const float outGain = mRamps[kRampOutput].Advance();
    const float ceiling = mRamps[kRampCeiling].Advance();
    const float bypass = mRamps[kRampBypass].Advance();
    const float match = 1.f + (mMatchGain - 1.f) * autoGain;

    for (int c = 0; c < nc; ++c)
    {
      const float dry = mDry[c][i];
      float v = (match * mWet[c][i] * mix + (1.f - mix) * dry) * outGain;
      // Blended so that each end of the ramp is exact: fully on gives the ceiling's own value, never
      // a rounding step above its limit.
      v = v * (1.f - ceiling) + SoftCeiling(v) * ceiling;
      const float out = ClampSample(v * (1.f - bypass) + bypass * dry);
      if (float* dst = outputs[c]) dst[offset + i] = out;
      peaks.outputPeak = std::max(peaks.outputPeak, std::fabs(out));
    }
  }
}

} // namespace quorvel::reference
