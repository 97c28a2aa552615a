// The kernels for the x86-64 baseline (SSE2), built with the project's ordinary flags.

#include "effect/engine/KernelsIncludes.h"

namespace quorvel
{
namespace baseline
{
namespace
{
using namespace lanes;
#include "effect/engine/LaneKernelBasics.inc"
#include "effect/engine/ModelKernels.inc"
#include "effect/engine/FeedbackKernels.inc"
#include "effect/engine/ModelScheduler.inc"
#include "effect/engine/HalfBandKernels.inc"
#include "effect/engine/OutputKernels.inc"
} // namespace

constinit const EngineKernels kKernels{KernelPath::kBaseline, &RunWetPath, &SymmetricPairs, &SplitStrided,
                                       &JoinCentre,           &ReadInput,  &RunOutput};
} // namespace baseline

const EngineKernels& GetBaselineKernels()
{
  return baseline::kKernels;
}

} // namespace quorvel
