#pragma once

#include <cstdint>

namespace iplug
{
// A parameter value queued for the editor, in parameter units.
struct IParamChange
{
  int32_t paramIdx = -1; // -1: nothing (what an empty queue yields)
  double value = 0.0;
};
} // namespace iplug
