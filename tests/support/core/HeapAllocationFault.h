#pragma once

namespace quorvel::test
{
// While alive, every block the framework containers allocate or grow goes through a
// counting allocator that fails once the given number of allocations has succeeded
// (0: all fail; negative: none fail, only count). Not for use by two tests at once.
class HeapAllocationFault
{
public:
  explicit HeapAllocationFault(int allowedAllocations = 0);
  ~HeapAllocationFault();
  HeapAllocationFault(const HeapAllocationFault&) = delete;
  HeapAllocationFault& operator=(const HeapAllocationFault&) = delete;

  // Allocation requests seen since construction, failed ones included.
  int Attempts() const;
};
} // namespace quorvel::test
