#pragma once

#if defined(__SSE__) || defined(_M_X64) || defined(__x86_64__)
#include <xmmintrin.h>
#define QUORVEL_HAS_MXCSR 1
#endif

namespace quorvel
{

// Sets flush-to-zero and denormals-are-zero for the calling thread for one scope and puts the
// caller's control word back on every way out, so decaying states never fall into the slow path.
class ScopedFlushDenormals
{
public:
#if defined(QUORVEL_HAS_MXCSR)
  ScopedFlushDenormals() : mSaved(_mm_getcsr())
  {
    _mm_setcsr(mSaved | 0x8040u);
  }
  ~ScopedFlushDenormals()
  {
    _mm_setcsr(mSaved);
  }
#else
  ScopedFlushDenormals() = default;
#endif
  ScopedFlushDenormals(const ScopedFlushDenormals&) = delete;
  ScopedFlushDenormals& operator=(const ScopedFlushDenormals&) = delete;

private:
#if defined(QUORVEL_HAS_MXCSR)
  unsigned mSaved;
#endif
};

} // namespace quorvel
