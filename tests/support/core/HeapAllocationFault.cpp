#include "tests/support/core/HeapAllocationFault.h"

#include "framework/core/HeapBuffer.h"

#include <atomic>
#include <cstdlib>

namespace quorvel::test
{
namespace
{
std::atomic<int> gAttempts{0};
std::atomic<int> gAllowed{0};
iplug::HeapReallocFunc gPrevious = nullptr;

void* CountingRealloc(void* block, size_t bytes)
{
  const int attempt = gAttempts.fetch_add(1);
  const int allowed = gAllowed.load();
  if (allowed >= 0 && attempt >= allowed) return nullptr;
  return std::realloc(block, bytes);
}
} // namespace

HeapAllocationFault::HeapAllocationFault(int allowedAllocations)
{
  gAttempts = 0;
  gAllowed = allowedAllocations;
  gPrevious = iplug::SetHeapReallocFunc(&CountingRealloc);
}

HeapAllocationFault::~HeapAllocationFault()
{
  iplug::SetHeapReallocFunc(gPrevious);
}

int HeapAllocationFault::Attempts() const
{
  return gAttempts.load();
}
} // namespace quorvel::test
