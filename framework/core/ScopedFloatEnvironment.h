#pragma once

#if defined(__SSE__) || defined(_M_X64) || defined(__x86_64__)
#include <xmmintrin.h>
#define IPLUG_HAS_MXCSR 1
#endif

namespace iplug
{

// The floating-point state every entry point that runs the effect or prepares it keeps for its
// own duration on the calling thread: tiny results and inputs flushed to zero, and every exception
// masked, because some hosts call with invalid operation, division by zero or overflow trapping and
// audio carries NaN, infinities and values too large to narrow to 32 bits. The host's control word,
// flags included, is put back on every way out, exceptions too.
class ScopedFloatEnvironment
{
public:
#if defined(IPLUG_HAS_MXCSR)
  // Flush-to-zero and denormals-are-zero, and the six exception masks.
  static constexpr unsigned kAudioBits = 0x8040u | 0x1F80u;

  ScopedFloatEnvironment() : mSaved(_mm_getcsr())
  {
    _mm_setcsr(mSaved | kAudioBits);
  }
  ~ScopedFloatEnvironment()
  {
    _mm_setcsr(mSaved);
  }
#else
  ScopedFloatEnvironment() = default;
#endif
  ScopedFloatEnvironment(const ScopedFloatEnvironment&) = delete;
  ScopedFloatEnvironment& operator=(const ScopedFloatEnvironment&) = delete;

private:
#if defined(IPLUG_HAS_MXCSR)
  unsigned mSaved;
#endif
};

} // namespace iplug
