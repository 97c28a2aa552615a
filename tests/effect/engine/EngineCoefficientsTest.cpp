#include "effect/engine/EngineCoefficients.h"

#include "effect/engine/RampTargets.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quorvel
{
namespace
{

using Field = double (*)(const EngineCoefficients&);

struct Row
{
  double rate;
  const char* name;
  Field field;
  double expected;
};

// Worked out by hand from the stated times and corners: ramp lengths floor(0.02 fsOS), floor(0.02 fs)
// and floor(0.04 fsOS); one-pole coefficients exp(-2 pi f / fsOS); time constants exp(-1 / (t rate)).
const Row kRows[] = {
    {48000.0, "glide steps", [](const EngineCoefficients& c) { return double(c.RampLength(kRampDrive)); },
     3840},
    {48000.0, "high cut glide",
     [](const EngineCoefficients& c) { return double(c.RampLength(kRampHighCut)); }, 3840},
    {48000.0, "mix glide", [](const EngineCoefficients& c) { return double(c.RampLength(kRampMix)); }, 960},
    {48000.0, "bypass glide", [](const EngineCoefficients& c) { return double(c.RampLength(kRampBypass)); },
     960},
    {48000.0, "model fade", [](const EngineCoefficients& c) { return double(c.RampLength(kRampWeight0)); },
     7680},
    {48000.0, "last weight fade",
     [](const EngineCoefficients& c) { return double(c.RampLength(kRampCount - 1)); }, 7680},
    {44100.0, "glide steps", [](const EngineCoefficients& c) { return double(c.glideLength); }, 3528},
    {44100.0, "mix glide", [](const EngineCoefficients& c) { return double(c.baseGlideLength); }, 882},
    {44100.0, "model fade", [](const EngineCoefficients& c) { return double(c.fadeLength); }, 7056},
    {48000.0, "tone split 900 Hz", [](const EngineCoefficients& c) { return double(c.toneSplit); },
     0.970977068},
    {48000.0, "bass split 120 Hz", [](const EngineCoefficients& c) { return double(c.bassSplit); },
     0.996080697},
    {48000.0, "DC blocker 8 Hz", [](const EngineCoefficients& c) { return double(c.dcBlock); }, 0.999738216},
    {48000.0, "transformer core 20 Hz", [](const EngineCoefficients& c) { return double(c.model.c20); },
     0.99934572},
    {48000.0, "fuzz coupling 35 Hz", [](const EngineCoefficients& c) { return double(c.model.c35); },
     0.998855293},
    {48000.0, "tape emphasis 3 kHz", [](const EngineCoefficients& c) { return double(c.model.c3000); },
     0.906490445},
    {48000.0, "tape high 12.5 kHz", [](const EngineCoefficients& c) { return double(c.model.c12500); },
     0.664273322},
    {48000.0, "smoothing 15 kHz", [](const EngineCoefficients& c) { return double(c.model.c15000); },
     0.612091303},
    {48000.0, "attack 3 ms", [](const EngineCoefficients& c) { return double(c.model.attack); }, 0.998265386},
    {48000.0, "release 120 ms", [](const EngineCoefficients& c) { return double(c.model.release); },
     0.999956608},
    {48000.0, "power 250 ms", [](const EngineCoefficients& c) { return double(c.powerSmoothing); },
     0.999916673},
    {48000.0, "gain 150 ms", [](const EngineCoefficients& c) { return double(c.gainSmoothing); },
     0.999861121},
    {44100.0, "tone split 900 Hz", [](const EngineCoefficients& c) { return double(c.toneSplit); },
     0.968451321},
    {44100.0, "smoothing 15 kHz", [](const EngineCoefficients& c) { return double(c.model.c15000); },
     0.586088479},
    {44100.0, "gain 150 ms", [](const EngineCoefficients& c) { return double(c.gainSmoothing); },
     0.999848843},
    {48000.0, "meter fall, 512 frames",
     [](const EngineCoefficients&) { return double(MeterDecay(512, 48000.0)); }, 0.965069115},
    {44100.0, "meter fall, 512 frames",
     [](const EngineCoefficients&) { return double(MeterDecay(512, 44100.0)); }, 0.962039351},
};

TEST(EngineCoefficients, HandWorkedLengthsCornersAndTimeConstants)
{
  for (const Row& r : kRows)
    EXPECT_NEAR(r.field(MakeEngineCoefficients(r.rate)), r.expected, 1e-7 * r.expected)
        << r.name << " at " << r.rate << " Hz";
}

} // namespace
} // namespace quorvel
