#include "effect/engine/PolyphaseHalfBand.h"

#include "effect/engine/HalfBandFir.h"

#include <array>
#include <cstring>

namespace quorvel
{

namespace
{
// Pair coefficients: tap h[2u] of each table (the mirrored half adds the second input of a pair).
// The zero-stuffing gain of 2 of the up stages is folded in; scaling by 2 is exact.
template <int N>
constexpr std::array<float, ((N - 1) / 2 + 1) / 2> Pairs(const HalfBandTable<N>& t, float gain)
{
  std::array<float, ((N - 1) / 2 + 1) / 2> c{};
  for (std::size_t u = 0; u < c.size(); ++u)
    c[u] = gain * t.h[2 * u];
  return c;
}

template <std::size_t S, int First>
constexpr std::array<float, (S - First + 1) / 2> EveryOther(const std::array<float, S>& a)
{
  std::array<float, (S - First + 1) / 2> c{};
  for (std::size_t u = 0; u < c.size(); ++u)
    c[u] = a[First + 2 * u];
  return c;
}

const auto kU1 = Pairs(kHalfBandU1, 2.f);    // 30 pairs
const auto kU2 = Pairs(kHalfBandU2, 2.f);    // 13 pairs, split by parity below
const auto kU2Even = EveryOther<13, 0>(kU2); // 7
const auto kU2Odd = EveryOther<13, 1>(kU2);  // 6
const auto kD1 = Pairs(kHalfBandD1, 1.f);    // 9 pairs
const auto kD2 = Pairs(kHalfBandD2, 1.f);    // 20 pairs
constexpr float kCentre = 0.5f;
constexpr float kAllpass = 0.2f;

// Moves the last `history` samples of a stream of `count` new samples back in front.
inline void KeepHistory(float* buffer, int history, int count)
{
  std::memmove(buffer, buffer + count, sizeof(float) * static_cast<std::size_t>(history));
}
} // namespace

void PolyphaseHalfBand::Reset()
{
  const PairsKernel pairs = mPairs;
  const SplitKernel split = mSplit;
  const JoinKernel join = mJoin;
  *this = PolyphaseHalfBand{};
  mPairs = pairs;
  mSplit = split;
  mJoin = join;
}

void PolyphaseHalfBand::Upsample(const float* in, int n, float* o0, float* o1, float* o2, float* o3)
{
  float* x = mX + kXHistory;
  std::memcpy(x, in, sizeof(float) * static_cast<std::size_t>(n));
  float* a = mA + kAHistory;
  // First stage at 2 fs: a[n] from the real samples only; its zero-stuffed phase is the centre tap
  // alone, b[n] = x[n - 29].
  mPairs(a, n, kU1.data(), 30, x, x - 59, false);
  const float* b = x - 29;
  // Second stage at 4 fs on the interleaved stream a, b: each output phase mixes both.
  mPairs(o0, n, kU2Even.data(), 7, a, b - 13, false);
  mPairs(o0, n, kU2Odd.data(), 6, b - 1, a - 12, true);
  mPairs(o2, n, kU2Even.data(), 7, b, a - 12, false);
  mPairs(o2, n, kU2Odd.data(), 6, a, b - 12, true);
  // The zero-stuffed phases reduce to the centre tap: delayed copies (the 2x gain cancels the 0.5).
  std::memcpy(o1, a - 6, sizeof(float) * static_cast<std::size_t>(n));
  std::memcpy(o3, b - 6, sizeof(float) * static_cast<std::size_t>(n));
  KeepHistory(mX, kXHistory, n);
  KeepHistory(mA, kAHistory, n);
}

void PolyphaseHalfBand::Downsample(const float* p0, const float* p1, const float* p2, const float* p3, int n,
                                   float* out)
{
  // Split the 4 fs stream by parity: even samples feed the taps, odd ones only the centre.
  float* e = mE + kEHistory;
  float* o = mO + kOHistory;
  for (int i = 0; i < n; ++i)
  {
    e[2 * i] = p0[i];
    e[2 * i + 1] = p2[i];
    o[2 * i] = p1[i];
    o[2 * i + 1] = p3[i];
  }
  DownsampleSplit(n, out);
}

void PolyphaseHalfBand::DownsampleStrided(const float* samples, int stride, int n, float* out)
{
  mSplit(samples, stride, 2 * n, mE + kEHistory, mO + kOHistory);
  DownsampleSplit(n, out);
}

void PolyphaseHalfBand::DownsampleSplit(int n, float* out)
{
  float* e = mE + kEHistory;
  float* o = mO + kOHistory;
  const int n2 = 2 * n;
  // First stage at 4 fs -> 2 fs; only the kept outputs are computed.
  mPairs(mR, n2, kD1.data(), 9, e, e - 17, false);
  float* r0 = mR0 + kR0History;
  float* r2 = mR2 + kR2History;
  mJoin(mR, o, 9, kCentre, n, r0, r2);
  // Second stage at 2 fs -> fs.
  mPairs(out, n, kD2.data(), 20, r0, r0 - 39, false);
  float x1 = mApIn;
  float y1 = mApOut;
  for (int i = 0; i < n; ++i)
  {
    const float q = out[i] + kCentre * r2[i - 20];
    // Fractional-delay allpass: 1.5 samples at low frequencies, bringing the chain to 61 frames.
    const float y = x1 - kAllpass * q + kAllpass * y1;
    x1 = q;
    y1 = y;
    out[i] = y;
  }
  mApIn = x1;
  mApOut = y1;
  KeepHistory(mE, kEHistory, n2);
  KeepHistory(mO, kOHistory, n2);
  KeepHistory(mR0, kR0History, n);
  KeepHistory(mR2, kR2History, n);
}

} // namespace quorvel
