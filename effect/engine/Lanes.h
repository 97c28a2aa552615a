#pragma once

// Four float lanes. The engine keeps one audio channel per lane, so both channels of a stereo
// stream share every instruction. SSE2 is the x86-64 baseline; other targets get plain loops.

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define QUORVEL_LANES_SSE2 1
#else
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#endif

namespace quorvel::lanes
{

#if defined(QUORVEL_LANES_SSE2)

struct F4
{
  __m128 v;
};

inline F4 Set(float a)
{
  return {_mm_set1_ps(a)};
}
inline F4 Set(float a, float b, float c, float d)
{
  return {_mm_setr_ps(a, b, c, d)};
}
inline F4 Zero()
{
  return {_mm_setzero_ps()};
}
inline F4 Load(const float* p)
{
  return {_mm_loadu_ps(p)};
}
inline void Store(float* p, F4 a)
{
  _mm_storeu_ps(p, a.v);
}
inline F4 LoadAligned(const float* p)
{
  return {_mm_load_ps(p)};
}
inline void StoreAligned(float* p, F4 a)
{
  _mm_store_ps(p, a.v);
}
inline float Lane(F4 a, int i)
{
  alignas(16) float t[4];
  _mm_store_ps(t, a.v);
  return t[i];
}
// [a0, a1, b0, b1] and [a2, a3, a2, a3]: two channel pairs in one register and back.
inline F4 JoinLow(F4 a, F4 b)
{
  return {_mm_movelh_ps(a.v, b.v)};
}
inline F4 HighToLow(F4 a)
{
  return {_mm_movehl_ps(a.v, a.v)};
}
// [a0, b0, a1, b1] and [a2, b2, a3, b3].
inline F4 InterleaveLow(F4 a, F4 b)
{
  return {_mm_unpacklo_ps(a.v, b.v)};
}
inline F4 InterleaveHigh(F4 a, F4 b)
{
  return {_mm_unpackhi_ps(a.v, b.v)};
}
inline F4 operator+(F4 a, F4 b)
{
  return {_mm_add_ps(a.v, b.v)};
}
inline F4 operator-(F4 a, F4 b)
{
  return {_mm_sub_ps(a.v, b.v)};
}
inline F4 operator*(F4 a, F4 b)
{
  return {_mm_mul_ps(a.v, b.v)};
}
inline F4 operator/(F4 a, F4 b)
{
  return {_mm_div_ps(a.v, b.v)};
}
// Same operand order as std::min/std::max on finite values.
inline F4 Min(F4 a, F4 b)
{
  return {_mm_min_ps(a.v, b.v)};
}
inline F4 Max(F4 a, F4 b)
{
  return {_mm_max_ps(a.v, b.v)};
}
inline F4 Abs(F4 a)
{
  return {_mm_and_ps(a.v, _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff)))};
}
inline F4 Sqrt(F4 a)
{
  return {_mm_sqrt_ps(a.v)};
}
inline F4 Greater(F4 a, F4 b)
{
  return {_mm_cmpgt_ps(a.v, b.v)};
}
inline bool AnyGreater(F4 a, F4 b)
{
  return _mm_movemask_ps(_mm_cmpgt_ps(a.v, b.v)) != 0;
}
// mask ? a : b
inline F4 Select(F4 mask, F4 a, F4 b)
{
  return {_mm_or_ps(_mm_and_ps(mask.v, a.v), _mm_andnot_ps(mask.v, b.v))};
}
// NaN and infinities become 0, everything else is held within +-limit.
inline F4 Sanitise(F4 a, float limit)
{
  const __m128 finite = _mm_cmple_ps(Abs(a).v, _mm_set1_ps(3.4028235e38f));
  const __m128 held = _mm_max_ps(_mm_min_ps(a.v, _mm_set1_ps(limit)), _mm_set1_ps(-limit));
  return {_mm_and_ps(finite, held)};
}

#else

struct F4
{
  float v[4];
};

inline F4 Set(float a)
{
  return {{a, a, a, a}};
}
inline F4 Set(float a, float b, float c, float d)
{
  return {{a, b, c, d}};
}
inline F4 Zero()
{
  return Set(0.f);
}
inline F4 Load(const float* p)
{
  return {{p[0], p[1], p[2], p[3]}};
}
inline void Store(float* p, F4 a)
{
  for (int i = 0; i < 4; ++i)
    p[i] = a.v[i];
}
inline F4 LoadAligned(const float* p)
{
  return Load(p);
}
inline void StoreAligned(float* p, F4 a)
{
  Store(p, a);
}
inline float Lane(F4 a, int i)
{
  return a.v[i];
}
#define QUORVEL_LANES_OP(name, expr)                                                                         \
  inline F4 name(F4 a, F4 b)                                                                                 \
  {                                                                                                          \
    F4 r;                                                                                                    \
    for (int i = 0; i < 4; ++i)                                                                              \
      r.v[i] = expr;                                                                                         \
    return r;                                                                                                \
  }
QUORVEL_LANES_OP(operator+, a.v[i] + b.v[i])
QUORVEL_LANES_OP(operator-, a.v[i] - b.v[i])
QUORVEL_LANES_OP(operator*, a.v[i] * b.v[i])
QUORVEL_LANES_OP(operator/, a.v[i] / b.v[i])
QUORVEL_LANES_OP(Min, a.v[i] < b.v[i] ? a.v[i] : b.v[i])
QUORVEL_LANES_OP(Max, a.v[i] > b.v[i] ? a.v[i] : b.v[i])
#undef QUORVEL_LANES_OP
inline F4 JoinLow(F4 a, F4 b)
{
  return Set(a.v[0], a.v[1], b.v[0], b.v[1]);
}
inline F4 HighToLow(F4 a)
{
  return Set(a.v[2], a.v[3], a.v[2], a.v[3]);
}
inline F4 InterleaveLow(F4 a, F4 b)
{
  return Set(a.v[0], b.v[0], a.v[1], b.v[1]);
}
inline F4 InterleaveHigh(F4 a, F4 b)
{
  return Set(a.v[2], b.v[2], a.v[3], b.v[3]);
}
inline F4 Abs(F4 a)
{
  for (float& x : a.v)
    x = std::fabs(x);
  return a;
}
inline F4 Sqrt(F4 a)
{
  for (float& x : a.v)
    x = std::sqrt(x);
  return a;
}
inline F4 Greater(F4 a, F4 b)
{
  F4 r;
  for (int i = 0; i < 4; ++i)
  {
    const std::uint32_t m = a.v[i] > b.v[i] ? 0xffffffffu : 0u;
    std::memcpy(&r.v[i], &m, 4);
  }
  return r;
}
inline bool AnyGreater(F4 a, F4 b)
{
  for (int i = 0; i < 4; ++i)
    if (a.v[i] > b.v[i]) return true;
  return false;
}
inline F4 Select(F4 mask, F4 a, F4 b)
{
  F4 r;
  for (int i = 0; i < 4; ++i)
  {
    std::uint32_t m;
    std::memcpy(&m, &mask.v[i], 4);
    r.v[i] = m ? a.v[i] : b.v[i];
  }
  return r;
}
inline F4 Sanitise(F4 a, float limit)
{
  for (float& x : a.v)
    x = std::isfinite(x) ? std::max(std::min(x, limit), -limit) : 0.f;
  return a;
}

#endif

} // namespace quorvel::lanes
