#pragma once

// tanh and the silicon soft knee for four lanes of floats at once, within an ulp or two of the C
// library while costing a fraction of its calls.

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
// Beyond 9.1 the result rounds to 1. Both forms are computed and blended: no jumps, no branches.
// Every float input is within 1 ulp of the correctly rounded tanh (checked over all 2^32 patterns).
constexpr float kTanhSwitch = 0.625f;
// The rational form's coefficients (numerator in x^2 from degree 0, then denominator) and the
// argument beyond which it holds +-1.
constexpr float kTanhRationalLimit = 7.90531110763549805f;
constexpr float kTanhP[7] = {4.89352455891786e-03f, 6.37261928875436e-04f,  1.48572235717979e-05f,
                             5.12229709037114e-08f, -8.60467152213735e-11f, 2.00018790482477e-13f,
                             -2.76076847742355e-16f};
constexpr float kTanhQ[4] = {4.89352518554385e-03f, 2.26843463243900e-03f, 1.18534705686654e-04f,
                             1.19825839466702e-06f};

// The polynomial, for a = |x| below the switch.
inline __m128 TanhSmall4(__m128 a)
{
  auto c = [](float v) { return _mm_set1_ps(v); };
  const __m128 z = _mm_mul_ps(a, a);
  const __m128 z2 = _mm_mul_ps(z, z);
  const __m128 p01 = _mm_add_ps(c(-3.333333078e-01f), _mm_mul_ps(c(1.333320478e-01f), z));
  const __m128 p23 = _mm_add_ps(c(-5.394660299e-02f), _mm_mul_ps(c(2.169983139e-02f), z));
  const __m128 p45 = _mm_add_ps(c(-8.175287639e-03f), _mm_mul_ps(c(2.141082645e-03f), z));
  const __m128 p = _mm_add_ps(p01, _mm_mul_ps(z2, _mm_add_ps(p23, _mm_mul_ps(z2, p45))));
  return _mm_add_ps(a, _mm_mul_ps(_mm_mul_ps(a, z), p));
}

// The exponential form, for a = |x| from the switch up to 9.1 (beyond, the caller takes 1; the
// clamp stays off this path, whose length sets the pace of a loop around it). e^2a + 1 is summed as
// (1 + 2^k + 2^k r) + 2^k r^2 q, so only the last product and sum wait on the series.
inline __m128 TanhLarge4(__m128 a)
{
  auto c = [](float v) { return _mm_set1_ps(v); };
  // k = round(2a / ln2) by the 1.5 * 2^23 shifter, whose low mantissa bits then hold k itself.
  const __m128 shifter = c(12582912.f);
  const __m128 kb = _mm_add_ps(_mm_mul_ps(a, c(2.8853900817779268f)), shifter);
  const __m128 kf = _mm_sub_ps(kb, shifter);
  const __m128 r = _mm_sub_ps(_mm_sub_ps(_mm_add_ps(a, a), _mm_mul_ps(kf, c(0.693145752f))),
                              _mm_mul_ps(kf, c(1.42860677e-06f)));
  const __m128 r2 = _mm_mul_ps(r, r);
  const __m128 r4 = _mm_mul_ps(r2, r2);
  // e^r - 1 = r + r^2 q, q = 1/2 + r/6 + ... + r^5/7! by Estrin's scheme.
  const __m128 q01 = _mm_add_ps(c(1.f / 2), _mm_mul_ps(c(1.f / 6), r));
  const __m128 q23 = _mm_add_ps(c(1.f / 24), _mm_mul_ps(c(1.f / 120), r));
  const __m128 q45 = _mm_add_ps(c(1.f / 720), _mm_mul_ps(c(1.f / 5040), r));
  const __m128 q = _mm_add_ps(_mm_add_ps(q01, _mm_mul_ps(r2, q23)), _mm_mul_ps(r4, q45));
  const __m128 scale = _mm_castsi128_ps(
      _mm_slli_epi32(_mm_add_epi32(_mm_castps_si128(kb), _mm_set1_epi32(127 - 0x4B400000)), 23));
  const __m128 head = _mm_add_ps(_mm_add_ps(c(1.f), scale), _mm_mul_ps(scale, r));
  const __m128 d = _mm_add_ps(head, _mm_mul_ps(_mm_mul_ps(scale, r2), q));
  return _mm_sub_ps(c(1.f), _mm_div_ps(c(2.f), d));
}

inline __m128 Tanh4Number(__m128 x)
{
  const __m128 signMask = _mm_set1_ps(-0.f);
  const __m128 a = _mm_andnot_ps(signMask, x);
  const __m128 sign = _mm_and_ps(signMask, x);
  const __m128 useSmall = _mm_cmplt_ps(a, _mm_set1_ps(kTanhSwitch));
  const __m128 one = _mm_cmpgt_ps(a, _mm_set1_ps(9.1f));
  const __m128 large = _mm_or_ps(_mm_andnot_ps(one, TanhLarge4(a)), _mm_and_ps(one, _mm_set1_ps(1.f)));
  const __m128 t = _mm_or_ps(_mm_and_ps(useSmall, TanhSmall4(a)), _mm_andnot_ps(useSmall, large));
  return _mm_or_ps(t, sign);
}

// tanh as x P(x^2) / Q(x^2) (odd degree 13 over even degree 6) with x held to +-7.905, where the
// form meets +-1: within 3.2e-7 of tanh for every float with fused steps (checked over all of them), 3.4e-7
// without, a few ulps rather than one, but its chain is the squares, three steps of each polynomial and one
// division, about half that of the exponential form. For feedback loops, whose pace is that chain and whose
// short memory does not pile the difference up. NaN gives +-7.905's value, as the loops never
// see one.
inline __m128 TanhRational4(__m128 x)
{
  auto c = [](float v) { return _mm_set1_ps(v); };
  const __m128 xc = _mm_max_ps(_mm_min_ps(x, c(kTanhRationalLimit)), c(-kTanhRationalLimit));
  const __m128 z = _mm_mul_ps(xc, xc);
  const __m128 z2 = _mm_mul_ps(z, z);
  const __m128 z4 = _mm_mul_ps(z2, z2);
  const __m128 p01 = _mm_add_ps(c(kTanhP[0]), _mm_mul_ps(c(kTanhP[1]), z));
  const __m128 p23 = _mm_add_ps(c(kTanhP[2]), _mm_mul_ps(c(kTanhP[3]), z));
  const __m128 p45 = _mm_add_ps(c(kTanhP[4]), _mm_mul_ps(c(kTanhP[5]), z));
  const __m128 p456 = _mm_add_ps(p45, _mm_mul_ps(c(kTanhP[6]), z2));
  const __m128 p = _mm_add_ps(_mm_add_ps(p01, _mm_mul_ps(p23, z2)), _mm_mul_ps(p456, z4));
  const __m128 q01 = _mm_add_ps(c(kTanhQ[0]), _mm_mul_ps(c(kTanhQ[1]), z));
  const __m128 q23 = _mm_add_ps(c(kTanhQ[2]), _mm_mul_ps(c(kTanhQ[3]), z));
  const __m128 q = _mm_add_ps(q01, _mm_mul_ps(q23, z2));
  return _mm_div_ps(_mm_mul_ps(xc, p), q);
}

// The polynomial alone while every lane is below the switch, the rational form otherwise.
inline __m128 TanhRational4MostlySmall(__m128 x)
{
  const __m128 signMask = _mm_set1_ps(-0.f);
  const __m128 a = _mm_andnot_ps(signMask, x);
  if (_mm_movemask_ps(_mm_cmplt_ps(a, _mm_set1_ps(kTanhSwitch))) != 15) return TanhRational4(x);
  return _mm_or_ps(TanhSmall4(a), _mm_and_ps(signMask, x));
}

// As above, and NaN stays NaN.
inline __m128 Tanh4(__m128 x)
{
  const __m128 nan = _mm_cmpunord_ps(x, x);
  return _mm_or_ps(_mm_and_ps(nan, x), _mm_andnot_ps(nan, Tanh4Number(x)));
}

// u / (1 + |u|^6)^(1/6) as clamp(u, -1, 1) g with g = (1 + n^6)^(-1/6), n = min(|u|, 1/|u|): g stays
// within [0.89, 1] whatever u, so float holds it to an ulp or two. g starts from the [1/1] Pade form
// (1 + 5/12 n^6) / (1 + 7/12 n^6), within 0.5 %, and two Newton steps, each adding a small correction
// to g rather than forming g anew, reach the float's precision.
inline __m128 SiliconKnee4(__m128 u)
{
  auto c = [](float v) { return _mm_set1_ps(v); };
  const __m128 one = c(1.f);
  const __m128 d = _mm_andnot_ps(c(-0.f), u);
  const __m128 n = _mm_min_ps(d, _mm_div_ps(one, _mm_max_ps(d, one)));
  const __m128 n2 = _mm_mul_ps(n, n);
  const __m128 n6 = _mm_mul_ps(_mm_mul_ps(n2, n2), n2);
  const __m128 t = _mm_add_ps(one, n6);
  __m128 g =
      _mm_div_ps(_mm_add_ps(one, _mm_mul_ps(c(5.f / 12), n6)), _mm_add_ps(one, _mm_mul_ps(c(7.f / 12), n6)));
  for (int i = 0; i < 2; ++i)
  {
    const __m128 g2 = _mm_mul_ps(g, g);
    const __m128 g6 = _mm_mul_ps(_mm_mul_ps(g2, g2), g2);
    g = _mm_add_ps(g, _mm_mul_ps(_mm_mul_ps(g, _mm_sub_ps(one, _mm_mul_ps(t, g6))), c(1.f / 6)));
  }
  return _mm_mul_ps(_mm_max_ps(_mm_min_ps(u, one), c(-1.f)), g);
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
inline F4 SiliconKnee(F4 a)
{
  return {detail::SiliconKnee4(a.v)};
}
// The rational tanh (see TanhRational4): the short chain for feedback loops, and fewer operations
// for the passes whose tanh differences the filters after them do not amplify much.
inline F4 TanhRational(F4 a)
{
  return {detail::TanhRational4(a.v)};
}
inline F4 TanhRationalMostlySmall(F4 a)
{
  return {detail::TanhRational4MostlySmall(a.v)};
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
inline F4 TanhRational(F4 a)
{
  return Tanh(a);
}
inline F4 TanhRationalMostlySmall(F4 a)
{
  return Tanh(a);
}
inline F4 SiliconKnee(F4 a)
{
  for (float& u : a.v)
    u = u / std::pow(1.f + std::pow(std::fabs(u), 6.f), 0.16666667f);
  return a;
}
inline float FastTanh(float x)
{
  return std::tanh(x);
}

#endif

} // namespace quorvel::lanes
