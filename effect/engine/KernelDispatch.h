#pragma once

#include "effect/engine/EngineKernels.h"

namespace quorvel
{

// What the processor and the operating system offer for the wide kernels.
struct CpuSupport
{
  bool avx2 = false;
  bool fma = false;
  bool osSavesYmm = false; // the OS has enabled the 256-bit register state (XCR0 bits 1 and 2)
};

// Asks the processor (cpuid) and the operating system (xgetbv); all false off x86.
CpuSupport QueryCpuSupport();

// The path to run: the wide one only where it is both allowed and fully offered.
KernelPath ChooseKernelPath(const CpuSupport& cpu, KernelPath allowed);

const EngineKernels& GetKernels(KernelPath path);

} // namespace quorvel
