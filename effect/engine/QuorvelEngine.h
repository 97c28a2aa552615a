#pragma once

#include "effect/engine/EngineParams.h"
#include "effect/engine/MeterLevels.h"
#include "effect/engine/ParamRamp.h"
#include "effect/engine/PolyphaseHalfBand.h"
#include "effect/engine/QuorvelEngineLimits.h"
#include "effect/engine/ShapeSample.h"

#include <atomic>

namespace quorvel
{

struct ShaperTables;

// The whole audio path of the effect. Everything that shapes the signal runs at four times the base
// rate; the dry delay, level matching, mix, trim, ceiling, bypass and meters at the base rate.
// One fixed-size object: nothing is allocated after construction. The oversampled path keeps one
// channel per SIMD lane, so a stereo stream costs hardly more than a mono one.
class QuorvelEngine
{
public:
  static constexpr int kMaxChannels = 2;
  static constexpr int kMaxBlock = kEngineMaxBlock;
  static constexpr int kOversampling = 4;
  static constexpr int kLatency = kEngineLatency;
  static constexpr int kNumRamps = 20;

  // Ramp indices.
  static constexpr int kRampDrive = 0;
  static constexpr int kRampInput = 1;
  static constexpr int kRampToneLow = 2;
  static constexpr int kRampToneHigh = 3;
  static constexpr int kRampBias = 4;
  static constexpr int kRampDynamics = 5;
  static constexpr int kRampBass = 6;
  static constexpr int kRampLowCut = 7;
  static constexpr int kRampHighCut = 8;
  static constexpr int kRampMix = 9;
  static constexpr int kRampOutput = 10;
  static constexpr int kRampAutoGain = 11;
  static constexpr int kRampCeiling = 12;
  static constexpr int kRampBypass = 13;
  static constexpr int kRampWeight0 = 14;

  struct ChannelState
  {
    float toneLow = 0.f;
    float bassLow = 0.f;
    float lowCut = 0.f;
    float highCut = 0.f;
    float dcIn = 0.f;
    float dcOut = 0.f;
    ModelState models[kModelCount];
  };

  QuorvelEngine();

  // Expects a usable rate and 1 or 2 channels (the holder sanitises both).
  void Prepare(double sampleRate, int channels);
  void UpdateTargets(bool immediate, bool forceBypass);
  void Process(const float* const* inputs, float* const* outputs, int n, bool forceBypass);

  EngineParams& GetParams() { return mParams; }
  MeterLevels GetMeterHolds() const { return {mInputHold, mOutputHold, mActivityHold}; }
  bool IsReady() const { return mReady.load(std::memory_order_relaxed); }
  double GetSampleRate() const { return mFs; }
  int GetChannels() const { return mChannels; }
  const ParamRamp& GetRamp(int i) const { return mRamps[i]; }
  ChannelState GetChannelState(int c) const;
  float GetMatchGain() const { return mMatchGain; }
  const ShaperTables& GetTables() const { return mTables; }

private:
  static constexpr int kLanes = 4;
  static constexpr int kOsMax = kMaxBlock * kOversampling;

  // Oversampled-path state, one channel per lane (lanes 2 and 3 stay silent).
  struct alignas(16) LaneState
  {
    float toneLow[kLanes] = {};
    float bassLow[kLanes] = {};
    float lowCut[kLanes] = {};
    float highCut[kLanes] = {};
    float dcIn[kLanes] = {};
    float dcOut[kLanes] = {};
    float models[kModelCount][6][kLanes] = {};
  };

  void ProcessChunk(const float* const* inputs, float* const* outputs, int offset, int count,
                    MeterLevels& peaks);
  float ProcessOversampled(int count);
  template <int Single> float RunOversampled(int count);
  void ProcessBaseRate(float* const* outputs, int offset, int count, MeterLevels& peaks);
  float FollowLevels(int i, float invChannels, float m1, float m2);

  EngineParams mParams;
  alignas(16) float mIn[kMaxChannels][kMaxBlock] = {};
  alignas(16) float mPhase[kOversampling][kMaxBlock] = {};
  alignas(16) float mOsLanes[kOsMax * kLanes] = {};
  // Per-chunk scratch of the oversampled passes: tilted input, bass band, driven signal, model mix.
  alignas(16) float mDryOs[kOsMax * kLanes] = {};
  alignas(16) float mBassOs[kOsMax * kLanes] = {};
  alignas(16) float mDriven[kOsMax * kLanes] = {};
  alignas(16) float mWetOs[kOsMax * kLanes] = {};
  alignas(16) float mScratchH[kOsMax * kLanes] = {};
  alignas(16) float mScratchEnv[kOsMax * kLanes] = {};
  alignas(16) float mScratch1[kOsMax * kLanes] = {};
  alignas(16) float mScratch2[kOsMax * kLanes] = {};
  alignas(16) float mRampValues[15][kOsMax] = {};
  alignas(16) float mWet[kMaxChannels][kMaxBlock] = {};
  alignas(16) float mMatch[kMaxBlock] = {}; // smoothed match gain per frame of the chunk
  float mDryLine[kMaxChannels][kLatency + kMaxBlock] = {};
  PolyphaseHalfBand mHalfBand[kMaxChannels];
  ParamRamp mRamps[kNumRamps];
  const ShaperTables& mTables;
  LaneState mLanes;

  double mFs = 48000.0;
  double mFsOs = 192000.0;
  float mToneSplit = 0.f;
  float mBassSplit = 0.f;
  float mDcBlock = 0.f;
  ModelCoefficients mModelCoeffs;

  float mDryPower = 0.f;
  float mWetPower = 0.f;
  float mMatchGain = 1.f;

  float mInputHold = 0.f;
  float mOutputHold = 0.f;
  float mActivityHold = 0.f;

  float mPowerSmoothing = 0.f;
  float mGainSmoothing = 0.f;

  int mChannels = 2;
  std::atomic<bool> mReady{false};
};

} // namespace quorvel
