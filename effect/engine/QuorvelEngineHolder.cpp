#include "effect/engine/QuorvelEngineHolder.h"

#include "effect/engine/QuorvelEngine.h"

#include <cmath>

namespace quorvel
{

namespace
{
constexpr double kDefaultRate = 48000.0;
constexpr double kMaxRate = 768000.0;
} // namespace

QuorvelEngineHolder::QuorvelEngineHolder() : mEngine(std::make_unique<QuorvelEngine>())
{
  for (auto& m : mMeters)
    m.store(0.f, std::memory_order_relaxed);
}

QuorvelEngineHolder::~QuorvelEngineHolder() = default;

void QuorvelEngineHolder::Prepare(double sampleRate, int channels, KernelPath allowed)
{
  if (!std::isfinite(sampleRate) || !(sampleRate > 0.0) || sampleRate > kMaxRate) sampleRate = kDefaultRate;
  mEngine->Prepare(sampleRate, channels < 2 ? 1 : 2, allowed);
  for (auto& m : mMeters)
    m.exchange(0.f, std::memory_order_relaxed);
}

void QuorvelEngineHolder::CopyParams(const EngineParams& params)
{
  mEngine->SetParams(params);
}

void QuorvelEngineHolder::Process(const float* const* inputs, float* const* outputs, int n, bool forceBypass)
{
  if (n < 0 || !outputs) return;
  mEngine->Process(inputs, outputs, n, forceBypass);
  if (!mEngine->IsReady()) return;
  const MeterLevels holds = mEngine->GetMeterHolds();
  mMeters[0].store(holds.inputPeak, std::memory_order_relaxed);
  mMeters[1].store(holds.outputPeak, std::memory_order_relaxed);
  mMeters[2].store(holds.activity, std::memory_order_relaxed);
}

MeterLevels QuorvelEngineHolder::ReadMeters() const
{
  return {mMeters[0].load(std::memory_order_relaxed), mMeters[1].load(std::memory_order_relaxed),
          mMeters[2].load(std::memory_order_relaxed)};
}

} // namespace quorvel
