#include "effect/engine/KernelDispatch.h"
#include "effect/engine/QuorvelEngine.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

namespace quorvel
{
namespace
{

// The wide path needs all three answers and permission; any one missing gives the baseline.
TEST(KernelDispatch, WidePathOnlyWhereFullyOfferedAndAllowed)
{
  struct Row
  {
    CpuSupport cpu;
    KernelPath allowed;
    KernelPath expected;
  };
  const Row rows[] = {
      {{true, true, true}, KernelPath::kWide, KernelPath::kWide},
      {{true, true, true}, KernelPath::kBaseline, KernelPath::kBaseline},
      {{false, true, true}, KernelPath::kWide, KernelPath::kBaseline},
      {{true, false, true}, KernelPath::kWide, KernelPath::kBaseline},
      {{true, true, false}, KernelPath::kWide, KernelPath::kBaseline}, // OS does not save YMM state
      {{false, false, false}, KernelPath::kWide, KernelPath::kBaseline},
  };
  for (const Row& r : rows)
  {
    EXPECT_EQ(ChooseKernelPath(r.cpu, r.allowed), r.expected)
        << r.cpu.avx2 << r.cpu.fma << r.cpu.osSavesYmm << " allowed " << static_cast<int>(r.allowed);
    EXPECT_EQ(GetKernels(r.expected).path, r.expected);
  }
}

#if defined(__x86_64__) || defined(__i386__)
// The query agrees with the compiler's own view of the processor (which also checks the OS state).
TEST(KernelDispatch, QueryMatchesTheCompilersCpuCheck)
{
  const CpuSupport s = QueryCpuSupport();
  __builtin_cpu_init();
  const bool compilerSays = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
  EXPECT_EQ(s.avx2 && s.fma && s.osSavesYmm, compilerSays);
  std::printf("[ path     ] avx2 %d, fma %d, OS saves YMM %d\n", s.avx2, s.fma, s.osSavesYmm);
}
#endif

// The engine reports the path it prepared with, and the baseline option holds it there.
TEST(KernelDispatch, EngineTakesThePathChosenAtPreparation)
{
  auto engine = std::make_unique<QuorvelEngine>();
  engine->Prepare(48000.0, 2, KernelPath::kBaseline);
  EXPECT_EQ(engine->GetKernelPath(), KernelPath::kBaseline);
  engine->Prepare(48000.0, 2);
  EXPECT_EQ(engine->GetKernelPath(), ChooseKernelPath(QueryCpuSupport(), KernelPath::kWide));
}

} // namespace
} // namespace quorvel
