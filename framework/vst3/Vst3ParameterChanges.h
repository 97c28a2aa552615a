#pragma once

// Host automation arriving with a process call: one queue per parameter, each
// with points across the block. The processor takes the last point of each
// queue (the engine glides to new values itself), maps the ID to a parameter
// index and ignores everything it cannot use: IDs of no parameter, queues that
// are missing, empty or unreadable, values that are not finite.

#include "framework/vst3/ParamIdTable.h"

#include "pluginterfaces/vst/ivstparameterchanges.h"

#include <algorithm>
#include <cmath>

namespace iplug
{

// Calls apply(paramIdx, normalizedValue clamped to 0..1, sampleOffset) per usable queue, in queue order.
template <class Apply>
void ForEachParameterChange(Steinberg::Vst::IParameterChanges* changes, const ParamIdTable& ids, int nParams,
                            Apply&& apply)
{
  if (!changes) return;
  const Steinberg::int32 queues = changes->getParameterCount();
  for (Steinberg::int32 q = 0; q < queues; ++q)
  {
    Steinberg::Vst::IParamValueQueue* queue = changes->getParameterData(q);
    if (!queue) continue;
    const Steinberg::int32 points = queue->getPointCount();
    if (points <= 0) continue;
    Steinberg::int32 offset = 0;
    Steinberg::Vst::ParamValue value = 0.0;
    if (queue->getPoint(points - 1, offset, value) != Steinberg::kResultOk) continue;
    const int32_t paramIdx = ids.ParamIndexFromId(queue->getParameterId());
    if (paramIdx < 0 || paramIdx >= nParams || !std::isfinite(value)) continue;
    apply(static_cast<int>(paramIdx), std::clamp(value, 0.0, 1.0), static_cast<int>(offset));
  }
}

} // namespace iplug
