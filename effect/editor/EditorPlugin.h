#pragma once
// What the editor's controls need of the plug-in object beyond its parameters: the factory presets, the
// A/B comparison slots, the meters and their clock. The effect implements it; tests may stand in for it.

#include "effect/editor/MeterSteps.h"
#include "effect/engine/MeterLevels.h"

#include <chrono>

namespace quorvel
{

class EditorPlugin
{
public:
  virtual ~EditorPlugin() = default;

  // The factory preset the current values still equal, or -1.
  virtual int MatchCurrentPreset() const = 0;
  virtual void RestoreFactoryPreset(int index) = 0;
  // 0 = A, 1 = B.
  virtual int GetActiveSlot() const = 0;
  virtual void SwapComparisonSlots() = 0;
  virtual void CopyToOtherSlot() = 0;
  // Any thread; each value may come from a different audio block.
  virtual MeterLevels ReadMeters() const = 0;
  // The clock the meters step by: the steady clock; tests stand in a clock they move by hand.
  virtual std::chrono::nanoseconds ReadMeterClock() const { return MeterSteps::SteadyNow(); }
};

} // namespace quorvel
