#pragma once

// The kernels that dominate the engine's cost, built twice from the same sources: once for the
// x86-64 baseline (SSE2) and once for AVX2 with fused multiply-adds. The engine picks one set when
// it is prepared (see KernelDispatch.h) and calls it through this table.

namespace quorvel
{

struct WetPath;
struct BaseRatePath;
struct ParamRamp;

enum class KernelPath : int
{
  kBaseline = 0, // SSE2: every x86-64 processor
  kWide = 1      // AVX2 + FMA, where the processor and the operating system offer them
};

// y[t] = sum over u of c[u] (p[t - u] + q[t + u]), t = 0 .. n - 1 (added to y when accumulate): the
// symmetric half-band taps of the oversampler.
using PairsKernel = void (*)(float* y, int n, const float* c, int taps, const float* p, const float* q,
                             bool accumulate);

// even[m] = s[2 m stride], odd[m] = s[(2 m + 1) stride] for m = 0 .. pairs - 1.
using SplitKernel = void (*)(const float* s, int stride, int pairs, float* even, float* odd);
// r0[i] = r[2 i] + centre o[2 i - delay], r2[i] = r[2 i + 1] + centre o[2 i + 1 - delay], i < n.
using JoinKernel = void (*)(const float* r, const float* o, int delay, float centre, int n, float* r0,
                            float* r2);

struct EngineKernels
{
  KernelPath path;
  // The oversampled stages over one chunk of `count` frames (tone, drive, models, wet filters, DC
  // blocker), in place on the path's lanes; advances ramps 0-8 and the weights by 4 count steps.
  // Returns the chunk's harmonic activity.
  float (*runWetPath)(WetPath& path, ParamRamp* ramps, int count);
  PairsKernel symmetricPairs;
  // The down stages' parity split of a lane and the join of the first stage's outputs.
  SplitKernel splitStrided;
  JoinKernel joinCentre;
  // The input chunk (offset .. offset + count - 1 of each channel) clamped onto the dry line;
  // returns its peak for the input meter.
  float (*readInput)(BaseRatePath& path, const float* const* inputs, int offset, int count);
  // Level matching, mix, trim, ceiling and bypass of one chunk into the outputs; advances the
  // base-rate ramps and returns the output's peak for the meter.
  float (*runOutput)(BaseRatePath& path, ParamRamp* ramps, float* const* outputs, int offset, int count);
};

const EngineKernels& GetBaselineKernels();
// The AVX2 set; on targets without it, the baseline set again. Only call it where the processor
// offers AVX2 and FMA (ChooseKernelPath).
const EngineKernels& GetWideKernels();

} // namespace quorvel
