#pragma once

// tanh and the silicon soft knee for lanes of floats, within an ulp or two of the C library while
// costing a fraction of its call. tanh runs on all four float lanes at once; the knee, which has no
// cheap accurate float form, in double precision.

#include "effect/engine/Lanes.h"

#include <cmath>

namespace quorvel::lanes
{

#if defined(QUORVEL_LANES_SSE2)

namespace detail
{
// tanh of four floats (finite or infinite; see Tanh4 for NaN). Below 0.625 an odd polynomial,
// a + a^3 P(a^2), fitted to the relative error; above it 1 - 2 / (e^2a + 1), whose error is damped
// by the subtraction from 1 once the result passes 0.55. e^2a is 2^k (1 + (e^r - 1)) with 2a split as
// k ln2 + r (ln2 in two parts, so r is exact enough) and e^r - 1 a degree-7 series on |r| <= ln2/2.
// Beyond 9.1 the result rounds to 1. Both branches are computed and blended: no jumps, no branches.
// Every float input is within 1 ulp of the correctly rounded tanh (checked over all 2^32 patterns).
inline __m128 Tanh4Number(__m128 x)
{
  auto c = [](float v) { return _mm_set1_ps(v); };
  const __m128 signMask = c(-0.f);
  const __m128 a = _mm_andnot_ps(signMask, x);
  const __m128 sign = _mm_and_ps(signMask, x);

  const __m128 z = _mm_mul_ps(a, a);
  const __m128 z2 = _mm_mul_ps(z, z);
  const __m128 p01 = _mm_add_ps(c(-3.333333078e-01f), _mm_mul_ps(c(1.333320478e-01f), z));
  const __m128 p23 = _mm_add_ps(c(-5.394660299e-02f), _mm_mul_ps(c(2.169983139e-02f), z));
  const __m128 p45 = _mm_add_ps(c(-8.175287639e-03f), _mm_mul_ps(c(2.141082645e-03f), z));
  const __m128 p = _mm_add_ps(p01, _mm_mul_ps(z2, _mm_add_ps(p23, _mm_mul_ps(z2, p45))));
  const __m128 small = _mm_add_ps(a, _mm_mul_ps(_mm_mul_ps(a, z), p));

  // k = round(2a / ln2) by the 1.5 * 2^23 shifter, whose low mantissa bits then hold k itself; the
  // clamp keeps k (<= 27) and 2^k in range.
  const __m128 am = _mm_min_ps(a, c(9.1f));
  const __m128 shifter = c(12582912.f);
  const __m128 kb = _mm_add_ps(_mm_mul_ps(am, c(2.8853900817779268f)), shifter);
  const __m128 kf = _mm_sub_ps(kb, shifter);
  const __m128 r = _mm_sub_ps(_mm_sub_ps(_mm_add_ps(am, am), _mm_mul_ps(kf, c(0.693145752f))),
                              _mm_mul_ps(kf, c(1.42860677e-06f)));
  const __m128 r2 = _mm_mul_ps(r, r);
  // e^r - 1 = r + r^2 (1/2 + r/6 + ... + r^5/7!), the bracket by Estrin's scheme.
  const __m128 q01 = _mm_add_ps(c(1.f / 2), _mm_mul_ps(c(1.f / 6), r));
  const __m128 q23 = _mm_add_ps(c(1.f / 24), _mm_mul_ps(c(1.f / 120), r));
  const __m128 q45 = _mm_add_ps(c(1.f / 720), _mm_mul_ps(c(1.f / 5040), r));
  const __m128 q = _mm_add_ps(q01, _mm_mul_ps(r2, _mm_add_ps(q23, _mm_mul_ps(r2, q45))));
  const __m128 em1 = _mm_add_ps(r, _mm_mul_ps(r2, q));
  const __m128 scale = _mm_castsi128_ps(
      _mm_slli_epi32(_mm_add_epi32(_mm_castps_si128(kb), _mm_set1_epi32(127 - 0x4B400000)), 23));
  const __m128 e = _mm_add_ps(_mm_mul_ps(scale, em1), scale);
  const __m128 large = _mm_sub_ps(c(1.f), _mm_div_ps(c(2.f), _mm_add_ps(e, c(1.f))));

  const __m128 useSmall = _mm_cmplt_ps(a, c(0.625f));
  return _mm_or_ps(_mm_or_ps(_mm_and_ps(useSmall, small), _mm_andnot_ps(useSmall, large)), sign);
}

// As above, and NaN stays NaN.
inline __m128 Tanh4(__m128 x)
{
  const __m128 nan = _mm_cmpunord_ps(x, x);
  return _mm_or_ps(_mm_and_ps(nan, x), _mm_andnot_ps(nan, Tanh4Number(x)));
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
  __m128d w =
      _mm_div_pd(one, _mm_add_pd(m, _mm_mul_pd(_mm_set1_pd(0.12), _mm_mul_pd(_mm_mul_pd(n2, n2), n2))));
  for (int i = 0; i < 3; ++i)
  {
    const __m128d w2 = _mm_mul_pd(w, w);
    const __m128d w6 = _mm_mul_pd(_mm_mul_pd(w2, w2), w2);
    w = _mm_mul_pd(_mm_mul_pd(w, _mm_sub_pd(_mm_set1_pd(7.0), _mm_mul_pd(t, w6))), _mm_set1_pd(1.0 / 6.0));
  }
  return _mm_mul_pd(u, w);
}

} // namespace detail

// All four lanes.
inline F4 Tanh(F4 a)
{
  return {detail::Tanh4Number(a.v)};
}
// Lanes 0 and 1 (the two channels); lanes 2 and 3 carry the tanh of whatever they held.
inline F4 TanhLow(F4 a)
{
  return Tanh(a);
}
inline F4 SiliconKneeLow(F4 a)
{
  return {_mm_cvtpd_ps(detail::SiliconKnee2d(_mm_cvtps_pd(a.v)))};
}

inline float FastTanh(float x)
{
  return _mm_cvtss_f32(detail::Tanh4(_mm_set_ss(x)));
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
