#pragma once

// tanh and the silicon soft knee for lanes of floats, evaluated in double precision so that the
// float results stay within an ulp or two of the C library while costing a fraction of its call.

#include "effect/engine/Lanes.h"

#include <cmath>

namespace quorvel::lanes
{

#if defined(QUORVEL_LANES_SSE2)

namespace detail
{
// tanh of two doubles (finite or infinite; see Tanh2d for NaN), returned as doubles:
// (e^2d - 1) / (e^2d + 1) for d = |x|, with e^2d - 1 formed as 2^k (e^r - 1) + (2^k - 1) so that it
// keeps full relative precision down to the smallest inputs. 2^k is split off exactly, e^r - 1 is
// a degree-8 series on |r| <= ln2/2. Independent of the caller's rounding mode (k is found by
// truncating a non-negative value).
inline __m128d Tanh2dNumber(__m128d x)
{
  const __m128d signMask = _mm_set1_pd(-0.0);
  const __m128d d = _mm_andnot_pd(signMask, x);
  const __m128d sign = _mm_and_pd(signMask, x);
  // Beyond |x| = 20, tanh is 1 in double already; the clamp keeps 2^k finite.
  const __m128d y = _mm_min_pd(_mm_add_pd(d, d), _mm_set1_pd(40.0));
  const __m128i k = _mm_cvttpd_epi32(_mm_add_pd(_mm_mul_pd(y, _mm_set1_pd(1.4426950408889634)), _mm_set1_pd(0.5)));
  const __m128d kd = _mm_cvtepi32_pd(k);
  const __m128d r = _mm_sub_pd(_mm_sub_pd(y, _mm_mul_pd(kd, _mm_set1_pd(6.93147180369123816490e-01))),
                               _mm_mul_pd(kd, _mm_set1_pd(1.90821492927058770002e-10)));
  const __m128d r2 = _mm_mul_pd(r, r);
  const __m128d r4 = _mm_mul_pd(r2, r2);
  auto pair = [&](double a, double b) { return _mm_add_pd(_mm_set1_pd(a), _mm_mul_pd(_mm_set1_pd(b), r)); };
  // e^r - 1 = r (1 + r/2 + r^2/6 + ... + r^7/8!), the bracket by Estrin's scheme.
  const __m128d q0 = pair(1.0, 1.0 / 2);
  const __m128d q1 = pair(1.0 / 6, 1.0 / 24);
  const __m128d q2 = pair(1.0 / 120, 1.0 / 720);
  const __m128d q3 = pair(1.0 / 5040, 1.0 / 40320);
  const __m128d s0 = _mm_add_pd(q0, _mm_mul_pd(q1, r2));
  const __m128d s1 = _mm_add_pd(q2, _mm_mul_pd(q3, r2));
  const __m128d em1r = _mm_mul_pd(r, _mm_add_pd(s0, _mm_mul_pd(s1, r4)));
  // 2^k built in the exponent field; k is 0..58.
  const __m128i k64 = _mm_unpacklo_epi32(k, _mm_setzero_si128());
  const __m128d scale = _mm_castsi128_pd(_mm_slli_epi64(_mm_add_epi64(k64, _mm_set1_epi64x(1023)), 52));
  const __m128d one = _mm_set1_pd(1.0);
  const __m128d em1 = _mm_add_pd(_mm_mul_pd(scale, em1r), _mm_sub_pd(scale, one));
  const __m128d t = _mm_div_pd(em1, _mm_add_pd(em1, _mm_set1_pd(2.0)));
  return _mm_or_pd(t, sign);
}

// As above, and NaN stays NaN.
inline __m128d Tanh2d(__m128d x)
{
  const __m128d nan = _mm_cmpunord_pd(x, x);
  return _mm_or_pd(_mm_and_pd(nan, x), _mm_andnot_pd(nan, Tanh2dNumber(x)));
}

// u / (1 + |u|^6)^(1/6) by Newton steps on w = (1 + u^6)^(-1/6). The start 1 / (m + 0.12 n^6), with
// m = max(1, |u|) and n = min(|u|, 1/m), is within 0.3 % everywhere; three steps reach 1e-8.
inline __m128d SiliconKnee2d(__m128d u)
{
  const __m128d one = _mm_set1_pd(1.0);
  const __m128d u2 = _mm_mul_pd(u, u);
  const __m128d t = _mm_add_pd(one, _mm_mul_pd(_mm_mul_pd(u2, u2), u2));
  const __m128d d = _mm_andnot_pd(_mm_set1_pd(-0.0), u);
  const __m128d m = _mm_max_pd(d, one);
  const __m128d n = _mm_min_pd(d, _mm_div_pd(one, m));
  const __m128d n2 = _mm_mul_pd(n, n);
  __m128d w = _mm_div_pd(one, _mm_add_pd(m, _mm_mul_pd(_mm_set1_pd(0.12), _mm_mul_pd(_mm_mul_pd(n2, n2), n2))));
  for (int i = 0; i < 3; ++i)
  {
    const __m128d w2 = _mm_mul_pd(w, w);
    const __m128d w6 = _mm_mul_pd(_mm_mul_pd(w2, w2), w2);
    w = _mm_mul_pd(_mm_mul_pd(w, _mm_sub_pd(_mm_set1_pd(7.0), _mm_mul_pd(t, w6))), _mm_set1_pd(1.0 / 6.0));
  }
  return _mm_mul_pd(u, w);
}

inline __m128d Low(F4 a)
{
  return _mm_cvtps_pd(a.v);
}
inline __m128d High(F4 a)
{
  return _mm_cvtps_pd(_mm_movehl_ps(a.v, a.v));
}
inline F4 Join(__m128d lo, __m128d hi)
{
  return {_mm_movelh_ps(_mm_cvtpd_ps(lo), _mm_cvtpd_ps(hi))};
}
} // namespace detail

// All four lanes.
inline F4 Tanh(F4 a)
{
  return detail::Join(detail::Tanh2dNumber(detail::Low(a)), detail::Tanh2dNumber(detail::High(a)));
}
// Lanes 0 and 1 only (the two channels); lanes 2 and 3 of the result are 0.
inline F4 TanhLow(F4 a)
{
  return {_mm_cvtpd_ps(detail::Tanh2dNumber(detail::Low(a)))};
}
inline F4 SiliconKneeLow(F4 a)
{
  return {_mm_cvtpd_ps(detail::SiliconKnee2d(detail::Low(a)))};
}

inline float FastTanh(float x)
{
  return _mm_cvtss_f32(_mm_cvtpd_ps(detail::Tanh2d(_mm_set_sd(x))));
}

#else

inline F4 Tanh(F4 a)
{
  for (float& x : a.v)
    x = std::tanh(x);
  return a;
}
inline F4 TanhLow(F4 a)
{
  return Set(std::tanh(a.v[0]), std::tanh(a.v[1]), 0.f, 0.f);
}
inline F4 SiliconKneeLow(F4 a)
{
  auto knee = [](float u) { return u / std::pow(1.f + std::pow(std::fabs(u), 6.f), 0.16666667f); };
  return Set(knee(a.v[0]), knee(a.v[1]), 0.f, 0.f);
}
inline float FastTanh(float x)
{
  return std::tanh(x);
}

#endif

} // namespace quorvel::lanes
