#pragma once

namespace quorvel
{

// A full setting of the effect: fourteen values in parameter order, in the units the user sees
// (dB, %, Hz, model index, 0/1 switches). Presets, comparison slots, the state block and the
// engine all hold settings in this form.
struct EngineParams
{
  static constexpr int kModel = 0;
  static constexpr int kDrive = 1;
  static constexpr int kInputTrim = 2;
  static constexpr int kOutputTrim = 3;
  static constexpr int kTone = 4;
  static constexpr int kWetMix = 5;
  static constexpr int kBias = 6;
  static constexpr int kDynamics = 7;
  static constexpr int kLowCut = 8;
  static constexpr int kHighCut = 9;
  static constexpr int kBassProtect = 10;
  static constexpr int kAutoGain = 11;
  static constexpr int kSoftCeiling = 12;
  static constexpr int kBypass = 13;
  static constexpr int kCount = 14;

  static constexpr float kDefaults[kCount] = {0.f,  8.f,  0.f,     0.f, 0.f, 100.f, 0.f,
                                              30.f, 20.f, 20000.f, 0.f, 1.f, 1.f,   0.f};
  static constexpr float kMinima[kCount] = {0.f, 0.f,  -24.f,  -24.f, -100.f, 0.f, -100.f,
                                            0.f, 20.f, 2000.f, 0.f,   0.f,    0.f, 0.f};
  static constexpr float kMaxima[kCount] = {5.f,   36.f,  24.f,    12.f,  100.f, 100.f, 100.f,
                                            100.f, 300.f, 20000.f, 100.f, 1.f,   1.f,   1.f};

  float values[kCount] = {0.f, 8.f, 0.f, 0.f, 0.f, 100.f, 0.f, 30.f, 20.f, 20000.f, 0.f, 1.f, 1.f, 0.f};

  float& operator[](int i) { return values[i]; }
  float operator[](int i) const { return values[i]; }
};

static_assert(sizeof(EngineParams) == EngineParams::kCount * sizeof(float), "stored as fourteen float32");

} // namespace quorvel
