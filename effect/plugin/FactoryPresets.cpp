#include "effect/plugin/FactoryPresets.h"

#include <cmath>

namespace quorvel
{

namespace
{
// model, drive dB, input dB, output dB, tone %, mix %, bias %, dynamics %, low cut Hz, high cut Hz,
// bass protect %, auto gain, soft ceiling, bypass
constexpr FactoryPreset kPresets[kFactoryPresetCount] = {
    {"01 - Velvet Vocal", {0, 8, 0, 0, -12, 80, 8, 30, 65, 16500, 15, 1, 1, 0}},
    {"02 - Vocal Presence", {0, 12, 0, 0, 18, 65, 20, 20, 100, 15500, 10, 1, 1, 0}},
    {"03 - Iron Bass", {1, 14, 0, 0, -8, 100, 0, 40, 20, 18000, 45, 1, 1, 0}},
    {"04 - Bass Growl", {3, 20, 0, 0, -20, 65, 15, 55, 25, 7500, 55, 1, 1, 0}},
    {"05 - Drum Glue", {2, 10, 0, 0, -8, 85, 0, 35, 25, 16500, 20, 1, 1, 0}},
    {"06 - Parallel Drum Crush", {4, 24, 0, 0, -12, 35, 12, 50, 70, 10500, 25, 1, 1, 0}},
    {"07 - Acoustic Glow", {0, 6, 0, 0, -5, 75, 5, 20, 50, 18500, 20, 1, 1, 0}},
    {"08 - Warm Keys", {2, 13, 0, 0, -20, 80, 5, 40, 40, 13000, 15, 1, 1, 0}},
    {"09 - Germanium Guitar", {3, 23, 0, 0, -15, 100, 25, 60, 35, 8500, 10, 1, 1, 0}},
    {"10 - Silicon Bite", {4, 25, 0, 0, 15, 100, -10, 25, 55, 12500, 0, 1, 1, 0}},
    {"11 - Diode Edge", {5, 18, 0, 0, 5, 65, 0, 10, 45, 15500, 10, 1, 1, 0}},
    {"12 - Subtle Mix Iron", {1, 4, 0, 0, 0, 75, 0, 15, 20, 20000, 25, 1, 1, 0}},
};

// Every preset is a setting the parameters can hold: in range, whole where the parameter is.
constexpr bool PresetsFitTheParameters()
{
  for (const FactoryPreset& preset : kPresets)
    for (int i = 0; i < kParamCount; ++i)
    {
      const double v = preset.values[i];
      if (v < kParamTable[i].min || v > kParamTable[i].max) return false;
      if (IsWholeValuedParam(i) && v != static_cast<double>(static_cast<int>(v))) return false;
    }
  return true;
}
static_assert(PresetsFitTheParameters());
} // namespace

const FactoryPreset* FactoryPresetTable()
{
  return kPresets;
}

int MatchFactoryPreset(int presetIndex, const double* values)
{
  if (presetIndex < 0 || presetIndex >= kFactoryPresetCount) return -1;
  const FactoryPreset& preset = kPresets[presetIndex];
  for (int i = 0; i < kParamCount; ++i)
  {
    if (!std::isfinite(values[i]) ||
        std::fabs(values[i] - static_cast<double>(preset.values[i])) > kPresetMatchTolerance)
      return -1;
  }
  return presetIndex;
}

const char* PresetMenuText(int matchedPreset)
{
  if (matchedPreset < 0 || matchedPreset >= kFactoryPresetCount) return "Custom";
  return kPresets[matchedPreset].name;
}

} // namespace quorvel
