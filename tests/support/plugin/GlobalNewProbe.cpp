#include "tests/support/plugin/GlobalNewProbe.h"

#include <atomic>
#include <cstdlib>
#include <new>

// The replacements pair malloc with free, which GCC cannot see through once inlined.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

namespace
{
std::atomic<long> gCount{0};
std::atomic<long> gRemaining{-1}; // -1: no failure armed

void* Allocate(std::size_t bytes)
{
  gCount.fetch_add(1, std::memory_order_relaxed);
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
  return Allocate(bytes);
}
void* operator new[](std::size_t bytes)
{
  return Allocate(bytes);
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
long GlobalNewCount()
{
  return gCount.load();
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
