#include "tests/support/app/AllocationCounter.h"

#include <cstdlib>
#include <new>

namespace
{
thread_local bool gCounting = false;
thread_local int gAllocations = 0;
} // namespace

void* operator new(std::size_t size)
{
  if (gCounting) gAllocations++;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}

void* operator new[](std::size_t size)
{
  return operator new(size);
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

namespace iplug::test
{

void StartCountingAllocations()
{
  gAllocations = 0;
  gCounting = true;
}

int StopCountingAllocations()
{
  gCounting = false;
  return gAllocations;
}

} // namespace iplug::test
