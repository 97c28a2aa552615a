#include "effect/engine/RampTargets.h"

#include <algorithm>
#include <cmath>

namespace quorvel
{

namespace
{
constexpr double kTwoPi = 6.283185307179586;

inline float FiniteOrZero(float v)
{
  return std::isfinite(v) ? v : 0.f;
}

// The parameter's value held within its range; the lower bound is applied last, so anything below
// the range (or a range turned upside down) takes it.
inline float Held(const EngineParams& p, int param)
{
  return std::max(std::min(FiniteOrZero(p[param]), EngineParams::kMaxima[param]),
                  EngineParams::kMinima[param]);
}

inline float DbToGain(float db)
{
  return std::pow(10.f, 0.05f * db);
}

inline float Switch(float v)
{
  return std::isfinite(v) && v >= 0.5f ? 1.f : 0.f;
}

inline float Percent(const EngineParams& p, int param)
{
  return Held(p, param) / 100.f;
}
} // namespace

RampTargets MapParamsToTargets(const EngineParams& p, double oversampledRate, bool forceBypass)
{
  auto cutoff = [&](float hz)
  { return static_cast<float>(std::exp(static_cast<double>(hz) * -kTwoPi / oversampledRate)); };

  RampTargets t;
  t.values[kRampDrive] = DbToGain(Held(p, EngineParams::kDrive));
  t.values[kRampInput] = DbToGain(Held(p, EngineParams::kInputTrim));
  // A tilt of up to 6 dB each way around the split.
  const float tilt = Percent(p, EngineParams::kTone);
  t.values[kRampToneLow] = std::pow(10.f, -0.3f * tilt);
  t.values[kRampToneHigh] = std::pow(10.f, 0.3f * tilt);
  t.values[kRampBias] = Percent(p, EngineParams::kBias);
  t.values[kRampDynamics] = Percent(p, EngineParams::kDynamics);
  t.values[kRampBass] = Percent(p, EngineParams::kBassProtect);
  t.values[kRampLowCut] = cutoff(Held(p, EngineParams::kLowCut));
  t.values[kRampHighCut] = cutoff(Held(p, EngineParams::kHighCut));
  t.values[kRampMix] = Percent(p, EngineParams::kWetMix);
  t.values[kRampOutput] = DbToGain(Held(p, EngineParams::kOutputTrim));
  t.values[kRampAutoGain] = Switch(p[EngineParams::kAutoGain]);
  t.values[kRampCeiling] = Switch(p[EngineParams::kSoftCeiling]);
  t.values[kRampBypass] = forceBypass ? 1.f : Switch(p[EngineParams::kBypass]);
  const int model = static_cast<int>(std::floor(Held(p, EngineParams::kModel) + 0.5f));
  for (int m = 0; m < kModelCount; ++m)
    t.values[kRampWeight0 + m] = m == model ? 1.f : 0.f;
  return t;
}

} // namespace quorvel
