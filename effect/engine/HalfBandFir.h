#pragma once

#include <array>
#include <cstddef>

namespace quorvel
{

// Linear-phase half-band filter tables of the oversampler. Each is symmetric with a centre tap of
// 0.5; counted from the centre only the taps at odd distances are non-zero.
template <int N> struct HalfBandTable
{
  static constexpr int kTaps = N;
  static constexpr int kCentre = (N - 1) / 2;
  std::array<float, N> h{};
};

// Expands the taps h[0], h[2], ... up to the one next to the centre into the full table.
template <int N, std::size_t H> constexpr HalfBandTable<N> MakeHalfBand(const float (&half)[H])
{
  static_assert(H == static_cast<std::size_t>((N - 1) / 2 + 1) / 2, "half table size");
  HalfBandTable<N> t{};
  for (std::size_t i = 0; i < H; ++i)
  {
    t.h[2 * i] = half[i];
    t.h[N - 1 - 2 * i] = half[i];
  }
  t.h[(N - 1) / 2] = 0.5f;
  return t;
}

extern const HalfBandTable<119> kHalfBandU1; // fs -> 2 fs, delay 59 at 2 fs
extern const HalfBandTable<51> kHalfBandU2;  // 2 fs -> 4 fs, delay 25 at 4 fs
extern const HalfBandTable<35> kHalfBandD1;  // 4 fs -> 2 fs, delay 17 at 4 fs
extern const HalfBandTable<79> kHalfBandD2;  // 2 fs -> fs, delay 39 at 2 fs

// Direct-form history of one half-band filter: a 256-sample ring indexed through an 8-bit mask.
struct HalfBandFir
{
  static constexpr unsigned kSize = 256;
  static constexpr unsigned kMask = kSize - 1;

  float history[kSize] = {};
  unsigned index = 0;

  void Reset();

  // Pushes x and returns one output; zero taps are skipped.
  template <int N> float Step(const HalfBandTable<N>& table, float x)
  {
    history[index] = x;
    float y = 0.f;
    for (int k = 0; k < N; ++k)
    {
      const float c = table.h[k];
      if (c != 0.f) y += c * history[(index - static_cast<unsigned>(k)) & kMask];
    }
    index = (index + 1) & kMask;
    return y;
  }
};

} // namespace quorvel
