#pragma once

// Linking this into a test program replaces its global operator new and delete with
// versions that count and can be made to fail, so that code meant for the audio thread
// can be shown to allocate nothing, and allocation failures can be injected. Link it
// into the programs that use it only (CMake target quorvel_allocation_counter).
namespace quorvel::test
{
// Number of global operator new calls so far in this program, on any thread.
long GlobalAllocationCount();

// Counts the calls made on the calling thread between the two calls.
void StartCountingAllocations();
int StopCountingAllocations();

// While alive, global operator new throws std::bad_alloc once `allowed` more allocations
// have succeeded (0: every allocation fails).
class GlobalNewFailure
{
public:
  explicit GlobalNewFailure(long allowed);
  ~GlobalNewFailure();
  GlobalNewFailure(const GlobalNewFailure&) = delete;
  GlobalNewFailure& operator=(const GlobalNewFailure&) = delete;
};
} // namespace quorvel::test
