#pragma once

// Test signals and measurements shared by the engine tests.

#include "effect/engine/QuorvelEngineHolder.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace quorvel::test
{

constexpr double kPi = 3.14159265358979323846;

struct Stereo
{
  std::vector<float> l, r;
  explicit Stereo(std::size_t n = 0) : l(n, 0.f), r(n, 0.f) {}
  std::size_t size() const { return l.size(); }
};

inline std::vector<float> Sine(std::size_t n, double hz, double amplitude, double rate = 48000.0)
{
  std::vector<float> s(n);
  for (std::size_t i = 0; i < n; ++i)
    s[i] = static_cast<float>(amplitude * std::sin(2.0 * kPi * hz * static_cast<double>(i) / rate));
  return s;
}

// Deterministic white noise in [-amplitude, amplitude].
inline std::vector<float> Noise(std::size_t n, float amplitude, std::uint32_t seed)
{
  std::vector<float> s(n);
  std::uint32_t v = seed * 2654435761u + 12345u;
  for (auto& x : s)
  {
    v = v * 1664525u + 1013904223u;
    x = amplitude * (static_cast<float>(v >> 8) / 8388608.f - 1.f);
  }
  return s;
}

// Runs a stereo signal through the holder in host blocks of the given size.
inline Stereo RunBlocks(QuorvelEngineHolder& holder, const Stereo& in, int block = 512)
{
  Stereo out(in.size());
  for (std::size_t pos = 0; pos < in.size(); pos += static_cast<std::size_t>(block))
  {
    const int n = static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(block), in.size() - pos));
    const float* ins[2] = {in.l.data() + pos, in.r.data() + pos};
    float* outs[2] = {out.l.data() + pos, out.r.data() + pos};
    holder.Process(ins, outs, n, false);
  }
  return out;
}

inline double Rms(const std::vector<float>& s, std::size_t from, std::size_t to)
{
  double acc = 0.0;
  for (std::size_t i = from; i < to; ++i)
    acc += static_cast<double>(s[i]) * s[i];
  return std::sqrt(acc / static_cast<double>(to - from));
}

// Magnitude of one DFT bin over s[from, from + n).
inline double BinMagnitude(const std::vector<float>& s, std::size_t from, std::size_t n, double hz,
                           double rate)
{
  double re = 0.0, im = 0.0;
  const double w = 2.0 * kPi * hz / rate;
  for (std::size_t i = 0; i < n; ++i)
  {
    re += s[from + i] * std::cos(w * static_cast<double>(i));
    im -= s[from + i] * std::sin(w * static_cast<double>(i));
  }
  return std::sqrt(re * re + im * im) * 2.0 / static_cast<double>(n);
}

inline double ToDb(double ratio)
{
  return 20.0 * std::log10(ratio);
}

} // namespace quorvel::test
