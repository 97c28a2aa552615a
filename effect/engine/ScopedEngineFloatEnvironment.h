#pragma once

#if defined(__SSE__) || defined(_M_X64) || defined(__x86_64__)
#include <xmmintrin.h>
#define QUORVEL_ENGINE_HAS_MXCSR 1
#endif

namespace quorvel
{

// The engine's floating-point state on the calling thread for one scope: tiny results and inputs
// flushed to zero, so decaying states never fall into the slow path, and every exception masked,
// because some hosts run their audio thread with invalid operation, division by zero or overflow
// trapping while the kernels clamp NaN input with min/max and work out lanes they then discard.
// The caller's control word, flags included, is put back on every way out. The framework's entry
// points hold the same scope of their own (the engine depends on nothing of the framework).
class ScopedEngineFloatEnvironment
{
public:
#if defined(QUORVEL_ENGINE_HAS_MXCSR)
  // Flush-to-zero and denormals-are-zero, and the six exception masks.
  static constexpr unsigned kEngineBits = 0x8040u | 0x1F80u;

  ScopedEngineFloatEnvironment() : mSaved(_mm_getcsr())
  {
    _mm_setcsr(mSaved | kEngineBits);
  }
  ~ScopedEngineFloatEnvironment()
  {
    _mm_setcsr(mSaved);
  }
#else
  ScopedEngineFloatEnvironment() = default;
#endif
  ScopedEngineFloatEnvironment(const ScopedEngineFloatEnvironment&) = delete;
  ScopedEngineFloatEnvironment& operator=(const ScopedEngineFloatEnvironment&) = delete;

private:
#if defined(QUORVEL_ENGINE_HAS_MXCSR)
  unsigned mSaved;
#endif
};

} // namespace quorvel
