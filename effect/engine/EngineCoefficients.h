#pragma once

#include "effect/engine/ShapeSample.h"

namespace quorvel
{

// How fast the parameters reach the audio, and the fixed corners and levels of the signal path.
// The engine's preparation, its kernels and the tests' plain reference kernels all read them here.
constexpr double kGlideSeconds = 0.02;     // every parameter's ramp
constexpr double kModelFadeSeconds = 0.04; // the cross-fade of a model change

// One-pole corners (Hz, at the oversampled rate).
constexpr double kToneSplitHz = 900.0;
constexpr double kBassSplitHz = 120.0;
constexpr double kDcBlockHz = 8.0;
constexpr double kTransformerCoreHz = 20.0;
constexpr double kFuzzCouplingHz = 35.0;
constexpr double kTapeEmphasisHz = 3000.0;
constexpr double kTapeHighSmoothingHz = 12500.0;
constexpr double kFeedbackSmoothingHz = 15000.0; // transformer and tape

constexpr double kEnvelopeAttackSeconds = 0.003;
constexpr double kEnvelopeReleaseSeconds = 0.12;
constexpr double kPowerSmoothingSeconds = 0.25; // level matching, base rate
constexpr double kGainSmoothingSeconds = 0.15;
constexpr double kMeterReleaseSeconds = 0.3;

// Levels: the driven signal's clamp, the activity meter's scale, the match gain's range and the
// powers below which it heads back to unity, and the soft ceiling's threshold (-2 dBFS) and knee.
constexpr float kDriveLimit = 32.f;
constexpr float kActivityScale = 1.5f;
constexpr float kMatchMin = 0.125f;
constexpr float kMatchMax = 4.f;
constexpr float kDryPowerFloor = 1e-8f;
constexpr float kWetPowerFloor = 1e-9f;
constexpr float kCeilingThreshold = 0.7943282f;
constexpr float kCeilingKnee = 0.17172271f;

// Everything preparation derives from the base sample rate (the oversampled rate is four times it);
// computed in double, stored as float.
struct EngineCoefficients
{
  int glideLength = 0;     // steps of the oversampled parameter ramps (drive .. high cut)
  int baseGlideLength = 0; // steps of the base-rate ramps (mix .. bypass)
  int fadeLength = 0;      // steps of the model weights
  float toneSplit = 0.f;
  float bassSplit = 0.f;
  float dcBlock = 0.f;
  ModelCoefficients model;
  float powerSmoothing = 0.f;
  float gainSmoothing = 0.f;

  // The length of ramp r (RampTargets.h numbering).
  int RampLength(int r) const;
};

EngineCoefficients MakeEngineCoefficients(double sampleRate);

// How far the meters' holds fall over a call of `frames` frames.
float MeterDecay(int frames, double sampleRate);

} // namespace quorvel
