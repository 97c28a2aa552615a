// Proves that processing never touches the heap. This binary replaces the global allocation
// functions, so it must stay an executable of its own.

#include "effect/engine/QuorvelEngineHolder.h"

#include "tests/effect/engine/EngineSignals.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <cstdlib>
#include <new>

namespace
{
std::atomic<bool> gCounting{false};
std::atomic<long> gAllocations{0};

void Count()
{
  if (gCounting.load(std::memory_order_relaxed)) gAllocations.fetch_add(1, std::memory_order_relaxed);
}
} // namespace

void* operator new(std::size_t size)
{
  Count();
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size)
{
  return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
  Count();
  return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t& t) noexcept
{
  return operator new(size, t);
}
void operator delete(void* p) noexcept
{
  std::free(p);
}
void operator delete[](void* p) noexcept
{
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
  std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
  std::free(p);
}

// With glibc and no sanitizer (which owns malloc itself) the C allocator is counted too.
#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
extern "C"
{
  void* __libc_malloc(std::size_t);
  void* __libc_calloc(std::size_t, std::size_t);
  void* __libc_realloc(void*, std::size_t);
  void* malloc(std::size_t size)
  {
    Count();
    return __libc_malloc(size);
  }
  void* calloc(std::size_t n, std::size_t size)
  {
    Count();
    return __libc_calloc(n, size);
  }
  void* realloc(void* p, std::size_t size)
  {
    Count();
    return __libc_realloc(p, size);
  }
}
#define QUORVEL_COUNTS_MALLOC 1
#endif

namespace quorvel
{
namespace
{

long CountDuring(const std::function<void()>& work)
{
  gAllocations = 0;
  gCounting = true;
  work();
  gCounting = false;
  return gAllocations.load();
}

TEST(EngineAllocation, CounterSeesAllocations)
{
  // Guards the test itself: a counter that never counts would pass everything below.
  EXPECT_GE(CountDuring(
                []
                {
                  int* volatile p = new int(3);
                  delete p;
                }),
            1);
#if defined(QUORVEL_COUNTS_MALLOC)
  EXPECT_GE(CountDuring(
                []
                {
                  void* volatile p = std::malloc(16);
                  std::free(p);
                }),
            1);
#endif
}

TEST(EngineAllocation, ProcessingAndRepreparingAllocateNothing)
{
  for (KernelPath path : {KernelPath::kBaseline, KernelPath::kWide})
  {
    QuorvelEngineHolder holder;
    EngineParams p;
    holder.CopyParams(p);
    holder.Prepare(48000.0, 2, path);

    const auto noise = test::Noise(1500, 0.8f, 9);
    std::vector<float> outL(1500), outR(1500);
    const float* ins[2] = {noise.data(), noise.data()};
    float* outs[2] = {outL.data(), outR.data()};

    const long count = CountDuring(
        [&]
        {
          for (int round = 0; round < 12; ++round)
          {
            p[EngineParams::kModel] = static_cast<float>(round % 6);
            p[EngineParams::kDrive] = 3.f * static_cast<float>(round);
            p[EngineParams::kBypass] = round == 7 ? 1.f : 0.f;
            holder.CopyParams(p);
            holder.Process(ins, outs, 1500, false);
            holder.Process(nullptr, outs, 300, round == 3);
            if (round == 5)
              holder.Prepare(44100.0, 1, path); // as the audio thread does on a channel-count change
            if (round == 9) holder.Prepare(96000.0, 2, path);
            (void)holder.ReadMeters();
          }
        });
    EXPECT_EQ(count, 0) << "path " << static_cast<int>(path);
  }
}

} // namespace
} // namespace quorvel
