// Cost of the signal engine per stereo frame at 48 kHz in 512-frame blocks, for every model in
// steady state and while a model change cross-fades (two models running), on both kernel paths.

#include "effect/engine/QuorvelEngine.h"
#include "effect/engine/QuorvelEngineHolder.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace
{

using quorvel::EngineParams;
using quorvel::KernelPath;
using quorvel::QuorvelEngineHolder;

constexpr int kBlock = 512;
constexpr int kBlocksPerPass = 94; // about one second of audio

std::vector<float> MakeNoise(std::size_t n, std::uint32_t seed)
{
  std::vector<float> s(n);
  std::uint32_t v = seed;
  for (auto& x : s)
  {
    v = v * 1664525u + 1013904223u;
    x = 0.5f * (static_cast<float>(v >> 8) / 8388608.f - 1.f);
  }
  return s;
}

void RunEngine(benchmark::State& state, bool crossFade)
{
  const int model = static_cast<int>(state.range(0));
  const auto path = static_cast<KernelPath>(state.range(1));
  const auto left = MakeNoise(kBlock * kBlocksPerPass, 1);
  const auto right = MakeNoise(kBlock * kBlocksPerPass, 2);
  std::vector<float> outL(kBlock), outR(kBlock);
  float* outs[2] = {outL.data(), outR.data()};

  QuorvelEngineHolder holder;
  EngineParams params;
  params[EngineParams::kModel] = static_cast<float>(model);
  holder.CopyParams(params);
  holder.Prepare(48000.0, 2, path);
  if (holder.GetEngine().GetKernelPath() != path) state.SkipWithError("this processor offers no AVX2 + FMA");

  int block = 0;
  for (auto _ : state)
  {
    if (crossFade && block % 3 == 0)
    {
      // A new model every 32 ms, before the 40 ms fade ends: two models always run.
      params[EngineParams::kModel] = static_cast<float>((block / 3) % 2 ? (model + 1) % 6 : model);
      holder.CopyParams(params);
    }
    const std::size_t at = static_cast<std::size_t>(block % kBlocksPerPass) * kBlock;
    const float* ins[2] = {left.data() + at, right.data() + at};
    holder.Process(ins, outs, kBlock, false);
    benchmark::DoNotOptimize(outL.data());
    benchmark::ClobberMemory();
    ++block;
  }
  state.counters["ns_per_frame"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kBlock,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void Steady(benchmark::State& state)
{
  RunEngine(state, false);
}
void CrossFade(benchmark::State& state)
{
  RunEngine(state, true);
}

// Arguments: model index (0 Tube, 1 Transformer, 2 Tape, 3 Germanium Fuzz, 4 Silicon Fuzz, 5 Diode
// Clip; the cross-fade runs between that model and the next) and kernel path (0 baseline, 1 wide).
// Other work on the machine only ever adds time: with --benchmark_repetitions the "min" aggregate
// is the figure to quote.
double Smallest(const std::vector<double>& v)
{
  return v.empty() ? 0.0 : *std::min_element(v.begin(), v.end());
}

BENCHMARK(Steady)
    ->ArgsProduct({{0, 1, 2, 3, 4, 5}, {0, 1}})
    ->ArgNames({"model", "wide"})
    ->ComputeStatistics("min", Smallest)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(CrossFade)
    ->ArgsProduct({{0, 1, 2, 3, 4, 5}, {0, 1}})
    ->ArgNames({"model", "wide"})
    ->ComputeStatistics("min", Smallest)
    ->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
