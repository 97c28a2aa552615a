#include "effect/engine/EngineCoefficients.h"

#include "effect/engine/QuorvelEngineLimits.h"
#include "effect/engine/RampTargets.h"

#include <cmath>

namespace quorvel
{

namespace
{
constexpr double kTwoPi = 6.283185307179586;

float OnePoleCoefficient(double hz, double rate)
{
  return static_cast<float>(std::exp(-kTwoPi * hz / rate));
}

float TimeConstant(double seconds, double rate)
{
  return static_cast<float>(std::exp(-1.0 / (seconds * rate)));
}

int Steps(double seconds, double rate)
{
  return static_cast<int>(std::floor(seconds * rate));
}
} // namespace

int EngineCoefficients::RampLength(int r) const
{
  return r < kRampMix ? glideLength : (r < kRampWeight0 ? baseGlideLength : fadeLength);
}

EngineCoefficients MakeEngineCoefficients(double fs)
{
  const double fsOs = kEngineOversampling * fs;
  EngineCoefficients c;
  c.glideLength = Steps(kGlideSeconds, fsOs);
  c.baseGlideLength = Steps(kGlideSeconds, fs);
  c.fadeLength = Steps(kModelFadeSeconds, fsOs);
  c.toneSplit = OnePoleCoefficient(kToneSplitHz, fsOs);
  c.bassSplit = OnePoleCoefficient(kBassSplitHz, fsOs);
  c.dcBlock = OnePoleCoefficient(kDcBlockHz, fsOs);
  c.model.c20 = OnePoleCoefficient(kTransformerCoreHz, fsOs);
  c.model.attack = TimeConstant(kEnvelopeAttackSeconds, fsOs);
  c.model.release = TimeConstant(kEnvelopeReleaseSeconds, fsOs);
  c.model.c15000 = OnePoleCoefficient(kFeedbackSmoothingHz, fsOs);
  c.model.c12500 = OnePoleCoefficient(kTapeHighSmoothingHz, fsOs);
  c.model.c35 = OnePoleCoefficient(kFuzzCouplingHz, fsOs);
  c.model.c3000 = OnePoleCoefficient(kTapeEmphasisHz, fsOs);
  c.powerSmoothing = TimeConstant(kPowerSmoothingSeconds, fs);
  c.gainSmoothing = TimeConstant(kGainSmoothingSeconds, fs);
  return c;
}

float MeterDecay(int frames, double fs)
{
  return static_cast<float>(std::exp(-static_cast<double>(frames) / (kMeterReleaseSeconds * fs)));
}

} // namespace quorvel
