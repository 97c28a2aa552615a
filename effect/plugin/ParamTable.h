#pragma once

// The effect's fourteen parameters, each declared once. The declaration of the IParams, the state
// reader's keys, the order of every stored value set (state block, presets, comparison slots) and
// the host's parameter IDs all read this table; the engine keeps its own limits (EngineParams.h),
// tied to it below.

#include "effect/engine/EngineParams.h"

#include <string_view>

namespace quorvel
{

// Parameter indices are EngineParams indices: every stored value set keeps the engine's order.
inline constexpr int kParamCount = EngineParams::kCount;

enum class ParamKind
{
  kList,   // one caption per whole value from 0
  kSwitch, // off / on
  kNumber,
};

struct ParamEntry
{
  const char* key;  // short key of the XML state form and of the host parameter ID; never changes
  const char* name; // what hosts and the editor show
  ParamKind kind;
  double min;
  double max;
  double defaultValue;
  double step;
  const char* label; // unit shown after the value
  double exponent;   // value shape: 1 linear, otherwise min + (max - min) * n^exponent
  const char* group; // host parameter group; empty for none
};

inline constexpr int kSaturationModelCount = 6;
inline constexpr const char* kModelNames[kSaturationModelCount] = {
    "Tube", "Transformer", "Tape", "Germanium Fuzz", "Silicon Fuzz", "Diode Clip"};

// clang-format off
inline constexpr ParamEntry kParamTable[kParamCount] = {
  // key         name                kind                min    max     default  step  label  exp group
  {"model",    "Saturation Model", ParamKind::kList,   0,     5,      0,       1,    "",    1,  ""},
  {"drive",    "Drive",            ParamKind::kNumber, 0,     36,     8,       0.01, "dB",  1,  ""},
  {"input",    "Input Trim",       ParamKind::kNumber, -24,   24,     0,       0.01, "dB",  1,  ""},
  {"output",   "Output Trim",      ParamKind::kNumber, -24,   12,     0,       0.01, "dB",  1,  ""},
  {"tone",     "Tone",             ParamKind::kNumber, -100,  100,    0,       0.1,  "%",   1,  ""},
  {"mix",      "Wet Mix",          ParamKind::kNumber, 0,     100,    100,     0.1,  "%",   1,  ""},
  {"bias",     "Bias / Asymmetry", ParamKind::kNumber, -100,  100,    0,       0.1,  "%",   1,  ""},
  {"dynamics", "Dynamics / Sag",   ParamKind::kNumber, 0,     100,    30,      0.1,  "%",   1,  ""},
  // Cut-offs get more knob travel at the low end.
  {"lowcut",   "Wet Low Cut",      ParamKind::kNumber, 20,    300,    20,      0.1,  "Hz",  2,  ""},
  {"highcut",  "Wet High Cut",     ParamKind::kNumber, 2000,  20000,  20000,   1,    "Hz",  2,  ""},
  {"bass",     "Bass Protect",     ParamKind::kNumber, 0,     100,    0,       0.1,  "%",   1,  ""},
  {"autogain", "Auto Gain",        ParamKind::kSwitch, 0,     1,      1,       1,    "",    1,  ""},
  {"safe",     "Soft Ceiling",     ParamKind::kSwitch, 0,     1,      1,       1,    "",    1,  ""},
  {"bypass",   "Bypass",           ParamKind::kSwitch, 0,     1,      0,       1,    "",    1,  ""},
};
// clang-format on

// The parameter hosts show as their bypass switch.
inline constexpr int kBypassParam = EngineParams::kBypass;

// The engine's limits and starting values are the table's.
constexpr bool EngineLimitsMatchTable()
{
  for (int i = 0; i < kParamCount; ++i)
  {
    const ParamEntry& p = kParamTable[i];
    if (static_cast<float>(p.min) != EngineParams::kMinima[i] ||
        static_cast<float>(p.max) != EngineParams::kMaxima[i] ||
        static_cast<float>(p.defaultValue) != EngineParams::kDefaults[i] ||
        static_cast<float>(p.defaultValue) != EngineParams{}.values[i])
      return false;
  }
  return true;
}
static_assert(EngineLimitsMatchTable(), "EngineParams limits and defaults must equal the parameter table");
static_assert(kParamTable[EngineParams::kModel].max + 1 == kSaturationModelCount, "one model per list value");
static_assert(kParamTable[kBypassParam].kind == ParamKind::kSwitch);

// The model selector and the three switches only take whole values.
constexpr bool IsWholeValuedParam(int index)
{
  return index >= 0 && index < kParamCount && kParamTable[index].kind != ParamKind::kNumber;
}

// Index of a short key (exact, case-sensitive), or -1.
constexpr int FindParamKey(std::string_view key)
{
  for (int i = 0; i < kParamCount; ++i)
    if (key == kParamTable[i].key) return i;
  return -1;
}

constexpr bool KeysAreDistinct()
{
  for (int i = 0; i < kParamCount; ++i)
    if (FindParamKey(kParamTable[i].key) != i) return false;
  return true;
}
static_assert(KeysAreDistinct(), "every key names one parameter");

} // namespace quorvel
