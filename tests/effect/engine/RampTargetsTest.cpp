#include "effect/engine/RampTargets.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace quorvel
{
namespace
{

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// One parameter moved away from the defaults; the targets worked out by hand from the formulas
// (10^(dB/20), exp(-2 pi f / 192000), clamped ranges, rounding of the model index).
struct Row
{
  int param;
  float value;
  bool forceBypass;
  int ramp;
  float expected;
};

constexpr Row kRows[] = {
    {EngineParams::kDrive, 20.f, false, kRampDrive, 10.f},
    {EngineParams::kDrive, 40.f, false, kRampDrive, 63.0957344f}, // held at 36 dB
    {EngineParams::kDrive, kNaN, false, kRampDrive, 1.f},
    {EngineParams::kDrive, kInf, false, kRampDrive, 1.f},
    {EngineParams::kDrive, -5.f, false, kRampDrive, 1.f},
    {EngineParams::kInputTrim, -30.f, false, kRampInput, 0.0630957344f},
    {EngineParams::kOutputTrim, 20.f, false, kRampOutput, 3.98107171f},
    {EngineParams::kTone, 50.f, false, kRampToneLow, 0.707945784f},
    {EngineParams::kTone, 50.f, false, kRampToneHigh, 1.41253754f},
    {EngineParams::kTone, -150.f, false, kRampToneLow, 1.99526231f},
    {EngineParams::kTone, -150.f, false, kRampToneHigh, 0.501187234f},
    {EngineParams::kBias, 35.f, false, kRampBias, 0.35f},
    {EngineParams::kBias, -250.f, false, kRampBias, -1.f},
    {EngineParams::kDynamics, -5.f, false, kRampDynamics, 0.f},
    {EngineParams::kBassProtect, 120.f, false, kRampBass, 1.f},
    {EngineParams::kLowCut, 100.f, false, kRampLowCut, 0.996732856f},
    {EngineParams::kLowCut, 10.f, false, kRampLowCut, 0.999345716f},
    {EngineParams::kHighCut, 50000.f, false, kRampHighCut, 0.519702644f},
    {EngineParams::kHighCut, 1000.f, false, kRampHighCut, 0.936646021f},
    {EngineParams::kWetMix, 50.f, false, kRampMix, 0.5f},
    {EngineParams::kAutoGain, 0.5f, false, kRampAutoGain, 1.f},
    {EngineParams::kAutoGain, 0.49f, false, kRampAutoGain, 0.f},
    {EngineParams::kSoftCeiling, kNaN, false, kRampCeiling, 0.f},
    {EngineParams::kBypass, 0.f, true, kRampBypass, 1.f},
    {EngineParams::kBypass, 0.f, false, kRampBypass, 0.f},
    {EngineParams::kModel, 2.5f, false, kRampWeight0 + 3, 1.f},
    {EngineParams::kModel, 2.49f, false, kRampWeight0 + 2, 1.f},
    {EngineParams::kModel, 7.f, false, kRampWeight0 + 5, 1.f},
    {EngineParams::kModel, -1.f, false, kRampWeight0 + 0, 1.f},
    {EngineParams::kModel, kNaN, false, kRampWeight0 + 0, 1.f},
};

TEST(RampTargets, HandWorkedValuesForEveryKindOfParameter)
{
  for (const Row& r : kRows)
  {
    EngineParams p;
    p[r.param] = r.value;
    const RampTargets t = MapParamsToTargets(p, 192000.0, r.forceBypass);
    EXPECT_NEAR(t[r.ramp], r.expected, 2e-6 * std::fabs(r.expected) + 1e-7)
        << "param " << r.param << " = " << r.value << ", ramp " << r.ramp;
    if (r.ramp >= kRampWeight0)
    {
      float sum = 0.f;
      for (int m = 0; m < 6; ++m)
        sum += t[kRampWeight0 + m];
      EXPECT_EQ(sum, 1.f) << "exactly one model selected for " << r.value;
    }
  }
}

} // namespace
} // namespace quorvel
