#pragma once

// Runs engine tests on both kernel paths: the baseline one always, the wide one where this machine
// (or Wine's view of it) offers AVX2 and FMA.

#include "effect/engine/KernelDispatch.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace quorvel::test
{

inline const auto kBothKernelPaths = ::testing::Values(KernelPath::kBaseline, KernelPath::kWide);

inline std::string KernelPathName(const ::testing::TestParamInfo<KernelPath>& info)
{
  return info.param == KernelPath::kWide ? "Wide" : "Baseline";
}

// The path a prepared engine really takes when `wanted` is allowed.
inline KernelPath EffectivePath(KernelPath wanted)
{
  return ChooseKernelPath(QueryCpuSupport(), wanted);
}

// Tells the log which path runs, once per test: a wide run on a processor without AVX2 tests the
// baseline twice, and the output must say so.
inline void AnnounceKernelPath(KernelPath wanted)
{
  if (wanted != KernelPath::kWide) return;
  if (EffectivePath(wanted) == KernelPath::kWide)
    std::printf("[ path     ] wide kernels (AVX2 + FMA) in use\n");
  else
    std::printf("[ path     ] this processor offers no AVX2 + FMA: the wide run takes the baseline path\n");
}

} // namespace quorvel::test
