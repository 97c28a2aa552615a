#pragma once

#include <cstdint>

namespace iplug
{
// Why a parameter value changed; passed along with change notifications.
enum ChangeSource : int32_t
{
  kReset = 0,
  kHost = 1,
  kPresetRecall = 2,
  kUI = 3,
  kDelegate = 4,
  kRecompile = 5,
  kUnknown = 6,
};

// "Reset", "Host", "Preset", "UI", "Editor Delegate", "Recompile", "Unknown".
// A code outside the table reads as "Unknown" rather than indexing past it.
const char* ChangeSourceName(ChangeSource source);
} // namespace iplug
