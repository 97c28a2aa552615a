#include "tests/support/core/AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

// The replacements pair malloc with free, which GCC cannot see through once they are
// inlined into new-expressions.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

namespace
{
std::atomic<long> gNewCalls{0};
std::atomic<long> gRemaining{-1}; // allocations left before failing; -1: no failure armed
thread_local bool tCounting = false;
thread_local int tThreadCalls = 0;

void* CountedAllocation(std::size_t bytes)
{
  gNewCalls.fetch_add(1, std::memory_order_relaxed);
  if (tCounting) ++tThreadCalls;
  long remaining = gRemaining.load(std::memory_order_relaxed);
  while (remaining >= 0)
  {
    if (remaining == 0) throw std::bad_alloc();
    if (gRemaining.compare_exchange_weak(remaining, remaining - 1)) break;
  }
  if (void* p = std::malloc(bytes ? bytes : 1)) return p;
  throw std::bad_alloc();
}
} // namespace

void* operator new(std::size_t bytes)
{
  return CountedAllocation(bytes);
}
void* operator new[](std::size_t bytes)
{
  return CountedAllocation(bytes);
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
void operator delete(void* p, const std::nothrow_t&) noexcept
{
  std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept
{
  std::free(p);
}

namespace quorvel::test
{
long GlobalAllocationCount()
{
  return gNewCalls.load();
}

void StartCountingAllocations()
{
  tThreadCalls = 0;
  tCounting = true;
}

int StopCountingAllocations()
{
  tCounting = false;
  return tThreadCalls;
}

GlobalNewFailure::GlobalNewFailure(long allowed)
{
  gRemaining.store(allowed);
}
GlobalNewFailure::~GlobalNewFailure()
{
  gRemaining.store(-1);
}
} // namespace quorvel::test
