#pragma once

// Everything the per-instruction-set kernel sources (*.inc) use. Included before the namespace
// that each kernel build opens, since the kernels themselves include nothing.

#include "effect/engine/BaseRatePath.h"
#include "effect/engine/ClampSample.h"
#include "effect/engine/EngineCoefficients.h"
#include "effect/engine/EngineKernels.h"
#include "effect/engine/FastMath.h"
#include "effect/engine/Lanes.h"
#include "effect/engine/ParamRamp.h"
#include "effect/engine/RampTargets.h"
#include "effect/engine/ShapeSample.h"
#include "effect/engine/ShaperTables.h"
#include "effect/engine/WetPath.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__GNUC__)
#define QUORVEL_INLINE inline __attribute__((always_inline))
#else
#define QUORVEL_INLINE inline
#endif
