#pragma once

#include "effect/plugin/ParamTable.h"

namespace quorvel
{

inline constexpr int kFactoryPresetCount = 12;

// Largest distance (in parameter units) at which the current setting still counts as the preset.
inline constexpr double kPresetMatchTolerance = 0.001;

struct FactoryPreset
{
  const char* name;
  float values[kParamCount]; // parameter order
};

// The twelve factory presets, in menu order.
const FactoryPreset* FactoryPresetTable();

// The preset the current values still equal: presetIndex when it is a factory preset and every value is
// finite and within kPresetMatchTolerance of it, else -1. values holds kParamCount entries.
int MatchFactoryPreset(int presetIndex, const double* values);

// What the preset menu shows for a match result: the preset's name, or "Custom" for -1.
const char* PresetMenuText(int matchedPreset);

} // namespace quorvel
