#pragma once

namespace quorvel::test
{
// Number of global operator new calls so far in this program. Linking this in replaces
// the global operator new and delete of the test executable with counting versions, so
// that code meant for the audio thread can be shown to allocate nothing.
long GlobalAllocationCount();
} // namespace quorvel::test
