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

void* CountedAllocation(std::size_t bytes)
{
  gNewCalls.fetch_add(1, std::memory_order_relaxed);
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

namespace quorvel::test
{
long GlobalAllocationCount()
{
  return gNewCalls.load();
}
} // namespace quorvel::test
