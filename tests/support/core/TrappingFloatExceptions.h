#pragma once

// While alive, the calling thread traps invalid operation, division by zero and overflow, as some
// hosts' audio threads do: such an operation then stops the test program (SIGFPE natively, an
// unhandled exception under Wine) instead of giving a quiet NaN. Without the SSE control word the
// tests that need it skip.

#include <limits>

#if defined(__SSE__) || defined(__x86_64__) || defined(_M_X64)
#include <xmmintrin.h>
#define QUORVEL_TEST_TRAPS 1
#endif

namespace quorvel::test
{

// Samples a hostile host feeds: non-finite, huge, and one that overflows when narrowed to 32 bits.
inline constexpr double kHostileSamples[] = {std::numeric_limits<double>::quiet_NaN(),
                                             std::numeric_limits<double>::infinity(),
                                             -std::numeric_limits<double>::infinity(),
                                             1e30,
                                             -1e30,
                                             1e300};

class TrappingFloatExceptions
{
public:
#if defined(QUORVEL_TEST_TRAPS)
  static constexpr bool kAvailable = true;
  static constexpr unsigned kFlags = 0x3Fu; // sticky: any arithmetic may raise them

  TrappingFloatExceptions() : mSaved(_mm_getcsr()), mHost(mSaved & ~(0x0680u | kFlags))
  {
    _mm_setcsr(mHost);
  }
  ~TrappingFloatExceptions()
  {
    _mm_setcsr(mSaved);
  }
  // The calling thread still has the host's control word (flags aside).
  bool HostWordInPlace() const
  {
    return ((_mm_getcsr() ^ mHost) & ~kFlags) == 0;
  }

private:
  unsigned mSaved, mHost;
#else
  static constexpr bool kAvailable = false;
  bool HostWordInPlace() const
  {
    return false;
  }
#endif
};

} // namespace quorvel::test
