#pragma once

// The engine's kernels written the obvious way, one sample and one stage at a time. The product
// kernels are optimised; these stay plain so that the two can be compared sample by sample. An
// engine prepared with them runs the product's own preparation, chunking, ramps and meters: only the
// arithmetic of the stages is the reference's.

#include "effect/engine/EngineKernels.h"

namespace quorvel::reference
{

const EngineKernels& GetReferenceKernels();

} // namespace quorvel::reference
