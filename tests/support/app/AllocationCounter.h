#pragma once

// Counts the allocations made through operator new on the calling thread between the two
// calls, so that a test can prove a code path allocates nothing. Linking this replaces the
// global operator new and delete of the test program.

namespace iplug::test
{
void StartCountingAllocations();
int StopCountingAllocations();
} // namespace iplug::test
