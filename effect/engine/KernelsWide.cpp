// The same kernels for AVX2 with fused multiply-adds. Every function below the target pragma is
// compiled for that instruction set (as if each carried __attribute__((target("avx2,fma")))), so
// this file holds the wide path in any build, whatever the build's own flags; the engine only
// calls it where ChooseKernelPath found AVX2, FMA and the operating system's support for them.

#include "effect/engine/KernelsIncludes.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

#pragma GCC push_options
#pragma GCC target("avx2,fma")
// The kernels test this (the compiler does not announce the pragma's instruction sets to them).
#define QUORVEL_KERNELS_WIDE 1

namespace quorvel
{
namespace wide
{
namespace
{
using namespace lanes;
#include "effect/engine/LaneKernelBasics.inc"
#include "effect/engine/WideLanes.inc"
#include "effect/engine/ModelKernels.inc"
#include "effect/engine/FeedbackKernels.inc"
#include "effect/engine/ModelScheduler.inc"
#include "effect/engine/HalfBandKernels.inc"
#include "effect/engine/OutputKernels.inc"
} // namespace
} // namespace wide
} // namespace quorvel

#undef QUORVEL_KERNELS_WIDE
#pragma GCC pop_options

namespace quorvel
{
namespace wide
{
constinit const EngineKernels kKernels{KernelPath::kWide, &RunWetPath, &SymmetricPairs, &SplitStrided,
                                       &JoinCentre,       &ReadInput,  &RunOutput};
} // namespace wide

const EngineKernels& GetWideKernels()
{
  return wide::kKernels;
}
} // namespace quorvel

#else

namespace quorvel
{
const EngineKernels& GetWideKernels()
{
  return GetBaselineKernels();
}
} // namespace quorvel

#endif
