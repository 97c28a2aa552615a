#include "tests/effect/engine/ReferenceKernels.h"

#include "effect/engine/BaseRatePath.h"
#include "effect/engine/ClampSample.h"
#include "effect/engine/EngineCoefficients.h"
#include "effect/engine/ParamRamp.h"
#include "effect/engine/RampTargets.h"
#include "effect/engine/ShapeSample.h"
#include "effect/engine/WetPath.h"

#include <algorithm>
#include <cmath>

namespace quorvel::reference
{

namespace
{
constexpr int kLanes = WetPath::kLanes;
constexpr int kMaxChannels = BaseRatePath::kMaxChannels;

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

// The oversampled stages, sample after sample, channel after channel, on the lanes of the path.
float RunWetPath(WetPath& w, ParamRamp* ramps, int count)
{
  const int nc = w.channels;
  WetPath::LaneState& st = w.lanes;
  ModelState models[kMaxChannels][kModelCount];
  for (int c = 0; c < nc; ++c)
    for (int m = 0; m < kModelCount; ++m)
      for (int q = 0; q < kModelStateSize; ++q)
        models[c][m].s[q] = st.models[m][q][c];

  float activity = 0.f;
  for (int j = 0; j < WetPath::kOversampling * count; ++j)
  {
    const float drive = ramps[kRampDrive].Advance();
    const float inGain = ramps[kRampInput].Advance();
    const float toneLow = ramps[kRampToneLow].Advance();
    const float toneHigh = ramps[kRampToneHigh].Advance();
    const float bias = ramps[kRampBias].Advance();
    const float dyn = ramps[kRampDynamics].Advance();
    const float bass = ramps[kRampBass].Advance();
    const float lowCut = ramps[kRampLowCut].Advance();
    const float highCut = ramps[kRampHighCut].Advance();
    float weight[kModelCount];
    for (int m = 0; m < kModelCount; ++m)
      weight[m] = ramps[kRampWeight0 + m].Advance();
    const float makeup = DriveMakeup(drive);

    for (int c = 0; c < nc; ++c)
    {
      float& sample = w.osLanes[j * kLanes + c];
      const float x = sample * inGain;
      const float lt = OnePole(w.toneSplit, x, st.toneLow[c]);
      const float y = (x - lt) * toneHigh + toneLow * lt;
      const float lb = OnePole(w.bassSplit, y, st.bassLow[c]);
      const float d = Clamp((y - bass * lb) * drive, -kDriveLimit, kDriveLimit);

      float acc = MixModels(*w.tables, w.modelCoeffs, d, models[c], weight, makeup, bias, dyn);
      acc += bass * lb; // protected bass bypasses the models, undriven

      activity = std::max(activity, Clamp(kActivityScale * std::fabs(acc - y), 0.f, 1.f));

      const float low = OnePole(lowCut, acc, st.lowCut[c]);
      const float high = OnePole(highCut, acc - low, st.highCut[c]);
      const float o = high - st.dcIn[c] + w.dcBlock * st.dcOut[c];
      st.dcIn[c] = high;
      st.dcOut[c] = o;
      sample = ClampSample(o);
    }
  }

  for (int c = 0; c < nc; ++c)
    for (int m = 0; m < kModelCount; ++m)
      for (int q = 0; q < kModelStateSize; ++q)
        st.models[m][q][c] = models[c][m].s[q];
  return activity;
}

float ReadInput(BaseRatePath& b, const float* const* inputs, int offset, int count)
{
  float peak = 0.f;
  for (int c = 0; c < b.channels; ++c)
  {
    const float* in = inputs ? inputs[c] : nullptr;
    float* x = b.dryLine[c] + BaseRatePath::kLatency;
    for (int i = 0; i < count; ++i)
    {
      x[i] = in ? ClampSample(in[offset + i]) : 0.f;
      peak = std::max(peak, std::fabs(x[i]));
    }
  }
  return peak;
}

// Level matching, mix, trim, ceiling and bypass, frame after frame.
float RunOutput(BaseRatePath& b, ParamRamp* ramps, float* const* outputs, int offset, int count)
{
  const int nc = b.channels;
  const float m1 = b.powerSmoothing;
  const float m2 = b.gainSmoothing;
  float peak = 0.f;
  for (int i = 0; i < count; ++i)
  {
    float pd = 0.f;
    float pw = 0.f;
    for (int c = 0; c < nc; ++c)
    {
      pd += b.dryLine[c][i] * b.dryLine[c][i];
      pw += b.wet[c][i] * b.wet[c][i];
    }
    pd /= static_cast<float>(nc);
    pw /= static_cast<float>(nc);
    b.smoothDry = (1.f - m1) * pd + m1 * b.smoothDry;
    b.smoothWet = (1.f - m1) * pw + m1 * b.smoothWet;
    float target = 1.f;
    if (b.smoothDry > kDryPowerFloor && b.smoothWet > kWetPowerFloor)
      target = Clamp(std::sqrt(b.smoothDry / b.smoothWet), kMatchMin, kMatchMax);
    b.matchGain = (1.f - m2) * target + m2 * b.matchGain;

    const float autoGain = ramps[kRampAutoGain].Advance();
    const float mix = ramps[kRampMix].Advance();
    const float outGain = ramps[kRampOutput].Advance();
    const float ceiling = ramps[kRampCeiling].Advance();
    const float bypass = ramps[kRampBypass].Advance();
    const float match = 1.f + (b.matchGain - 1.f) * autoGain;

    for (int c = 0; c < nc; ++c)
    {
      const float dry = b.dryLine[c][i];
      float v = (match * b.wet[c][i] * mix + (1.f - mix) * dry) * outGain;
      // Blended so that each end of the ramp is exact: fully on gives the ceiling's own value, never
      // a rounding step above its limit.
      v = v * (1.f - ceiling) + SoftCeiling(v) * ceiling;
      const float out = ClampSample(v * (1.f - bypass) + bypass * dry);
      if (float* dst = outputs[c]) dst[offset + i] = out;
      peak = std::max(peak, std::fabs(out));
    }
  }
  return peak;
}

void SymmetricPairs(float* y, int n, const float* c, int taps, const float* p, const float* q,
                    bool accumulate)
{
  for (int t = 0; t < n; ++t)
  {
    float sum = 0.f;
    for (int u = 0; u < taps; ++u)
      sum += c[u] * (p[t - u] + q[t + u]);
    y[t] = accumulate ? y[t] + sum : sum;
  }
}

void SplitStrided(const float* s, int stride, int pairs, float* even, float* odd)
{
  for (int m = 0; m < pairs; ++m)
  {
    even[m] = s[2 * m * stride];
    odd[m] = s[(2 * m + 1) * stride];
  }
}

void JoinCentre(const float* r, const float* o, int delay, float centre, int n, float* r0, float* r2)
{
  for (int i = 0; i < n; ++i)
  {
    r0[i] = r[2 * i] + centre * o[2 * i - delay];
    r2[i] = r[2 * i + 1] + centre * o[2 * i + 1 - delay];
  }
}

// Reports the baseline path: the plain kernels need nothing beyond it.
const EngineKernels kKernels{KernelPath::kBaseline, &RunWetPath, &SymmetricPairs, &SplitStrided,
                             &JoinCentre,           &ReadInput,  &RunOutput};
} // namespace

const EngineKernels& GetReferenceKernels()
{
  return kKernels;
}

} // namespace quorvel::reference
