#include "effect/engine/KernelDispatch.h"

#if defined(__x86_64__) || defined(__i386__) || defined(_M_X64)
#include <cpuid.h>
#define QUORVEL_HAS_CPUID 1
#endif

namespace quorvel
{

CpuSupport QueryCpuSupport()
{
  CpuSupport s;
#if defined(QUORVEL_HAS_CPUID)
  unsigned a = 0, b = 0, c = 0, d = 0;
  if (!__get_cpuid(1, &a, &b, &c, &d)) return s;
  s.fma = (c & bit_FMA) != 0;
  const bool osxsave = (c & bit_OSXSAVE) != 0;
  const bool avx = (c & bit_AVX) != 0;
  if (osxsave && avx)
  {
    // xgetbv(0): the OS saves SSE (bit 1) and AVX (bit 2) state on context switches. Without both,
    // the upper register halves would be lost: such a machine must stay on the baseline path.
    unsigned lo = 0, hi = 0;
    __asm__ volatile("xgetbv" : "=a"(lo), "=d"(hi) : "c"(0));
    s.osSavesYmm = (lo & 0x6u) == 0x6u;
  }
  if (__get_cpuid_max(0, nullptr) >= 7)
  {
    __cpuid_count(7, 0, a, b, c, d);
    s.avx2 = (b & bit_AVX2) != 0;
  }
#endif
  return s;
}

KernelPath ChooseKernelPath(const CpuSupport& cpu, KernelPath allowed)
{
  if (allowed == KernelPath::kWide && cpu.avx2 && cpu.fma && cpu.osSavesYmm) return KernelPath::kWide;
  return KernelPath::kBaseline;
}

const EngineKernels& GetKernels(KernelPath path)
{
  return path == KernelPath::kWide ? GetWideKernels() : GetBaselineKernels();
}

} // namespace quorvel
