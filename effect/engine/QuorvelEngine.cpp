#include "effect/engine/QuorvelEngine.h"

#include "effect/engine/ClampSample.h"
#include "effect/engine/EngineCoefficients.h"
#include "effect/engine/KernelDispatch.h"
#include "effect/engine/Lanes.h"
#include "effect/engine/RampTargets.h"
#include "effect/engine/ScopedEngineFloatEnvironment.h"
#include "effect/engine/ShaperTables.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace quorvel
{

namespace
{
using namespace lanes;
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
    for (int i = 0; i < kModelStateSize; ++i)
      s.models[m].s[i] = mPath.lanes.models[m][i][c];
  return s;
}

void QuorvelEngine::Prepare(double sampleRate, int channels, KernelPath allowed)
{
  Prepare(sampleRate, channels, GetKernels(ChooseKernelPath(QueryCpuSupport(), allowed)));
}

void QuorvelEngine::Prepare(double sampleRate, int channels, const EngineKernels& kernels)
{
  ScopedEngineFloatEnvironment floatEnvironment;
  mKernels = &kernels;
  for (auto& f : mHalfBand)
    f.SetKernels(*mKernels);
  mFs = sampleRate;
  mFsOs = kOversampling * sampleRate;
  mChannels = channels < 2 ? 1 : 2;

  for (auto& f : mHalfBand)
    f.Reset();
  std::memset(mBase.dryLine, 0, sizeof mBase.dryLine);
  std::memset(mPath.osLanes, 0, sizeof mPath.osLanes);
  mPath.lanes = WetPath::LaneState{};
  mPath.channels = mChannels;

  mBase.channels = mChannels;
  mBase.smoothDry = mBase.smoothWet = 0.f;
  mBase.matchGain = 1.f;
  mInputHold = mOutputHold = mActivityHold = 0.f;

  const EngineCoefficients c = MakeEngineCoefficients(mFs);
  for (int i = 0; i < kNumRamps; ++i)
    mRamps[i].Reset(c.RampLength(i));
  mPath.toneSplit = c.toneSplit;
  mPath.bassSplit = c.bassSplit;
  mPath.dcBlock = c.dcBlock;
  mPath.modelCoeffs = c.model;
  mBase.powerSmoothing = c.powerSmoothing;
  mBase.gainSmoothing = c.gainSmoothing;

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

  const float decay = MeterDecay(n, mFs);
  mInputHold = std::max(decay * mInputHold, peaks.inputPeak);
  mOutputHold = std::max(decay * mOutputHold, peaks.outputPeak);
  mActivityHold = std::max(decay * mActivityHold, peaks.activity);
}

void QuorvelEngine::ProcessChunk(const float* const* inputs, float* const* outputs, int offset, int count,
                                 MeterLevels& peaks)
{
  const int nc = mChannels;

  // Input, dry delay and upsampling; the four phases are gathered into lanes, one channel each.
  peaks.inputPeak = std::max(peaks.inputPeak, mKernels->readInput(mBase, inputs, offset, count));
  for (int c = 0; c < nc; ++c)
  {
    float(*phase)[kMaxBlock] = mPhase[c];
    mHalfBand[c].Upsample(mBase.dryLine[c] + kLatency, count, phase[0], phase[1], phase[2], phase[3]);
  }
  GatherPhasesIntoLanes(count);

  peaks.activity = std::max(peaks.activity, mKernels->runWetPath(mPath, mRamps, count));

  for (int c = 0; c < nc; ++c)
    mHalfBand[c].DownsampleStrided(mPath.osLanes + c, kLanes, count, mBase.wet[c]);

  peaks.outputPeak = std::max(peaks.outputPeak, mKernels->runOutput(mBase, mRamps, outputs, offset, count));

  for (int c = 0; c < nc; ++c)
    std::memmove(mBase.dryLine[c], mBase.dryLine[c] + count, sizeof(float) * kLatency);
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

} // namespace quorvel
