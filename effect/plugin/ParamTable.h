#pragma once

#include "effect/engine/EngineParams.h"

#include <string_view>

namespace quorvel
{

// Parameter indices are EngineParams indices: every stored value set (state block, presets, slots)
// keeps the engine's order.
inline constexpr int kParamCount = EngineParams::kCount;

// Short keys used by the XML state form and the host parameter IDs.
inline constexpr const char* kParamKeys[kParamCount] = {"model", "drive",    "input",    "output", "tone",
                                                        "mix",   "bias",     "dynamics", "lowcut", "highcut",
                                                        "bass",  "autogain", "safe",     "bypass"};

// The model selector and the three switches only take whole values.
inline constexpr bool IsWholeValuedParam(int index)
{
  return index == EngineParams::kModel || index == EngineParams::kAutoGain ||
         index == EngineParams::kSoftCeiling || index == EngineParams::kBypass;
}

// Index of a short key (exact, case-sensitive), or -1.
inline int FindParamKey(std::string_view key)
{
  for (int i = 0; i < kParamCount; ++i)
    if (key == kParamKeys[i]) return i;
  return -1;
}

} // namespace quorvel
