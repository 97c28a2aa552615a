#pragma once

#include "effect/engine/BaseRatePath.h"
#include "effect/engine/EngineKernels.h"
#include "effect/engine/EngineParams.h"
#include "effect/engine/MeterLevels.h"
#include "effect/engine/ParamRamp.h"
#include "effect/engine/PolyphaseHalfBand.h"
#include "effect/engine/QuorvelEngineLimits.h"
#include "effect/engine/RampTargets.h"
#include "effect/engine/ShapeSample.h"
#include "effect/engine/WetPath.h"

#include <atomic>

namespace quorvel
{

struct ShaperTables;

// The whole audio path of the effect. Everything that shapes the signal runs at four times the base
// rate; the dry delay, level matching, mix, trim, ceiling, bypass and meters at the base rate.
// One fixed-size object: nothing is allocated after construction. This class is the orchestration:
// preparation, parameter targets (MapParamsToTargets), chunking, the up and down stages
// (PolyphaseHalfBand), the meters' hold and release. The base-rate stages (input clamp and meter,
// level follower, mix, ceiling, bypass, output meter) are kernels too (OutputKernels.inc). The oversampled
// stages run on the kernel set chosen at preparation (EngineKernels.h): ModelScheduler.inc decides per chunk
// which models run, ModelKernels.inc and FeedbackKernels.inc hold the models, HalfBandKernels.inc the filter
// taps. The oversampled path keeps one channel per SIMD lane, so a stereo stream costs hardly more than a
// mono one.
class QuorvelEngine
{
public:
  static constexpr int kMaxChannels = 2;
  static constexpr int kMaxBlock = kEngineMaxBlock;
  static constexpr int kOversampling = kEngineOversampling;
  static constexpr int kLatency = kEngineLatency;
  static constexpr int kNumRamps = kRampCount;

  // Ramp indices, as RampTargets.h numbers them.
  static constexpr int kRampDrive = quorvel::kRampDrive;
  static constexpr int kRampInput = quorvel::kRampInput;
  static constexpr int kRampToneLow = quorvel::kRampToneLow;
  static constexpr int kRampToneHigh = quorvel::kRampToneHigh;
  static constexpr int kRampBias = quorvel::kRampBias;
  static constexpr int kRampDynamics = quorvel::kRampDynamics;
  static constexpr int kRampBass = quorvel::kRampBass;
  static constexpr int kRampLowCut = quorvel::kRampLowCut;
  static constexpr int kRampHighCut = quorvel::kRampHighCut;
  static constexpr int kRampMix = quorvel::kRampMix;
  static constexpr int kRampOutput = quorvel::kRampOutput;
  static constexpr int kRampAutoGain = quorvel::kRampAutoGain;
  static constexpr int kRampCeiling = quorvel::kRampCeiling;
  static constexpr int kRampBypass = quorvel::kRampBypass;
  static constexpr int kRampWeight0 = quorvel::kRampWeight0;

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

  // Expects a usable rate and 1 or 2 channels (the holder sanitises both). The wide kernels run
  // when `allowed` permits them and the processor and operating system offer them; tests and the
  // benchmark pass KernelPath::kBaseline to hold the engine to the baseline path.
  void Prepare(double sampleRate, int channels, KernelPath allowed = KernelPath::kWide);
  // The same on a given kernel set: the tests' plain reference kernels run the engine's own
  // preparation, chunking and meters this way.
  void Prepare(double sampleRate, int channels, const EngineKernels& kernels);
  void UpdateTargets(bool immediate, bool forceBypass);
  void Process(const float* const* inputs, float* const* outputs, int n, bool forceBypass);

  // Once per block before Process (audio thread), and before Prepare.
  void SetParams(const EngineParams& params) { mParams = params; }
  const EngineParams& GetParams() const { return mParams; }
  MeterLevels GetMeterHolds() const { return {mInputHold, mOutputHold, mActivityHold}; }
  bool IsReady() const { return mReady.load(std::memory_order_relaxed); }
  double GetSampleRate() const { return mFs; }
  int GetChannels() const { return mChannels; }
  const ParamRamp& GetRamp(int i) const { return mRamps[i]; }
  ChannelState GetChannelState(int c) const;
  float GetMatchGain() const { return mBase.matchGain; }
  const ShaperTables& GetTables() const { return mTables; }
  KernelPath GetKernelPath() const { return mKernels->path; }

private:
  static constexpr int kLanes = WetPath::kLanes;

  void ProcessChunk(const float* const* inputs, float* const* outputs, int offset, int count,
                    MeterLevels& peaks);
  void GatherPhasesIntoLanes(int count);

  EngineParams mParams;
  alignas(32) float mPhase[kMaxChannels][kOversampling][kMaxBlock] = {};
  PolyphaseHalfBand mHalfBand[kMaxChannels];
  ParamRamp mRamps[kNumRamps];
  const ShaperTables& mTables;
  WetPath mPath;
  BaseRatePath mBase;
  const EngineKernels* mKernels = &GetBaselineKernels();

  double mFs = 48000.0;
  double mFsOs = 192000.0;
  float mInputHold = 0.f;
  float mOutputHold = 0.f;
  float mActivityHold = 0.f;

  int mChannels = 2;
  std::atomic<bool> mReady{false};
};

} // namespace quorvel
