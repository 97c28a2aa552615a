#pragma once

// The half-band oversampler in polyphase form for whole blocks. Zero-stuffed inputs and dropped
// outputs are never computed, symmetric taps are pre-added, and each stage runs over a block of
// time with four outputs per instruction. Every stream keeps just enough history in front of the
// block for the longest tap.

#include "effect/engine/EngineKernels.h"
#include "effect/engine/QuorvelEngineLimits.h"

namespace quorvel
{

class PolyphaseHalfBand
{
public:
  void Reset();

  // The tap sums run on the kernel set the engine chose (the baseline one unless told otherwise).
  void SetKernels(const EngineKernels& kernels)
  {
    mPairs = kernels.symmetricPairs;
    mSplit = kernels.splitStrided;
    mJoin = kernels.joinCentre;
  }

  // One channel of base-rate input in; the four oversampled phases of each frame out.
  void Upsample(const float* x, int n, float* o0, float* o1, float* o2, float* o3);

  // The four processed phases of each frame in; one base-rate sample per frame out.
  void Downsample(const float* p0, const float* p1, const float* p2, const float* p3, int n, float* out);

  // The same from a stream of 4 n oversampled samples spaced `stride` floats apart (one lane of the
  // engine's lane layout).
  void DownsampleStrided(const float* samples, int stride, int n, float* out);

private:
  void DownsampleSplit(int n, float* out);

  static constexpr int kMax = kEngineMaxBlock;
  static constexpr int kXHistory = 59; // U1 reaches x[n - 59]
  static constexpr int kAHistory = 12; // U2 reaches a[n - 12]
  static constexpr int kEHistory = 17; // D1 even phase reaches E[t - 17]
  static constexpr int kOHistory = 9;  // D1 centre tap reads O[t - 9]
  static constexpr int kR0History = 39;
  static constexpr int kR2History = 20;

  float mX[kXHistory + kMax] = {};
  float mA[kAHistory + kMax] = {};
  float mE[kEHistory + 2 * kMax] = {};
  float mO[kOHistory + 2 * kMax] = {};
  float mR[2 * kMax] = {};
  float mR0[kR0History + kMax] = {};
  float mR2[kR2History + kMax] = {};
  float mApIn = 0.f;
  float mApOut = 0.f;
  PairsKernel mPairs = GetBaselineKernels().symmetricPairs;
  SplitKernel mSplit = GetBaselineKernels().splitStrided;
  JoinKernel mJoin = GetBaselineKernels().joinCentre;
};

} // namespace quorvel
