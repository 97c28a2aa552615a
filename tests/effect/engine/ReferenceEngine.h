#pragma once

// The signal engine written the obvious way, one sample and one stage at a time. The product engine
// is optimised; this copy stays plain so that the two can be compared sample by sample.

#include "effect/engine/EngineParams.h"
#include "effect/engine/Oversampler.h"
#include "effect/engine/MeterLevels.h"
#include "effect/engine/ParamRamp.h"
#include "effect/engine/ShapeSample.h"
#include "effect/engine/ShaperTables.h"

#include <atomic>

namespace quorvel::reference
{

using quorvel::ShaperTables;

// The whole audio path of the effect. Everything that shapes the signal runs at four times the base
// rate; the dry delay, level matching, mix, trim, ceiling, bypass and meters at the base rate.
// One fixed-size object: nothing is allocated after construction.
class ReferenceEngine
{
public:
  static constexpr int kMaxChannels = 2;
  static constexpr int kMaxBlock = 512;
  static constexpr int kOversampling = 4;
  static constexpr int kLatency = 61;
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

  ReferenceEngine();

  // Expects a usable rate and 1 or 2 channels (the holder sanitises both).
  void Prepare(double sampleRate, int channels);
  void UpdateTargets(bool immediate, bool forceBypass);
  void Process(const float* const* inputs, float* const* outputs, int n, bool forceBypass);

  void SetParams(const EngineParams& params) { mParams = params; }
  const EngineParams& GetParams() const { return mParams; }
  MeterLevels GetMeterHolds() const { return {mInputHold, mOutputHold, mActivityHold}; }
  bool IsReady() const { return mReady.load(std::memory_order_relaxed); }
  double GetSampleRate() const { return mFs; }
  int GetChannels() const { return mChannels; }
  const ParamRamp& GetRamp(int i) const { return mRamps[i]; }
  const ChannelState& GetChannelState(int c) const { return mState[c]; }
  float GetMatchGain() const { return mMatchGain; }
  const ShaperTables& GetTables() const { return mTables; }

private:
  struct DryDelay
  {
    float line[kLatency] = {};
    unsigned index = 0;
  };

  void ProcessChunk(const float* const* inputs, float* const* outputs, int offset, int count,
                    MeterLevels& peaks);

  EngineParams mParams;
  float mWet[kMaxChannels][kMaxBlock] = {};
  float mDry[kMaxChannels][kMaxBlock] = {};
  float mOs[kMaxChannels][kMaxBlock * kOversampling] = {};
  Oversampler mFilters[kMaxChannels];
  DryDelay mDelay[kMaxChannels];
  ParamRamp mRamps[kNumRamps];
  const ShaperTables& mTables;
  ChannelState mState[kMaxChannels];

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

} // namespace quorvel::reference
