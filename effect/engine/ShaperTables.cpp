#include "effect/engine/ShaperTables.h"

#include <algorithm>
#include <cmath>

namespace quorvel
{

namespace
{
constexpr double kSupply = 250.0;    // V
constexpr double kPlateLoad = 1.0e5; // Ohm
constexpr double kGridBias = -1.4;   // V
constexpr int kPlateHalvings = 36;
constexpr int kDiodeHalvings = 32;
constexpr double kDiodeSaturation = 5.544e-6;
constexpr double kDiodeThermal = 0.045; // V, includes the emission coefficient

double Softplus(double u)
{
  return u > 35.0 ? u : std::log1p(std::exp(u));
}

// Plate current (A) of the triode at plate voltage ep and grid voltage eg.
double PlateCurrent(double ep, double eg)
{
  const double e1 = (ep / 600.0) * Softplus(600.0 * (1.0 / 100.0 + eg / std::sqrt(300.0 + ep * ep)));
  return 2.0 * std::pow(std::max(e1, 0.0), 1.4) / 1060.0;
}

double TableInput(int i)
{
  return static_cast<double>(i) * 32.0 / 8192.0 - 16.0;
}

// Voltage across the antiparallel pair for a source level |g| behind the series resistor.
double SolveDiodeVoltage(double level)
{
  double lo = 0.0;
  double hi = std::min(level, 2.0);
  for (int k = 0; k < kDiodeHalvings; ++k)
  {
    const double v = (hi + lo) / 2.0;
    const double lhs = v + kDiodeSaturation * (std::exp(v / kDiodeThermal) - std::exp(-v / kDiodeThermal));
    if (lhs > level)
      hi = v;
    else
      lo = v;
  }
  return (hi + lo) / 2.0;
}
} // namespace

double SolvePlateVoltage(double gridVoltage)
{
  double lo = 0.0;
  double hi = kSupply;
  for (int k = 0; k < kPlateHalvings; ++k)
  {
    const double mid = (hi + lo) / 2.0;
    if (PlateCurrent(mid, gridVoltage) * kPlateLoad + mid > kSupply)
      hi = mid;
    else
      lo = mid;
  }
  return (hi + lo) / 2.0;
}

void BuildShaperTables(ShaperTables& tables)
{
  const double e0 = SolvePlateVoltage(kGridBias);
  const double gain = (SolvePlateVoltage(-1.401) - SolvePlateVoltage(-1.399)) / 0.002; // V per V
  for (int i = 0; i < ShaperTables::kSize; ++i)
  {
    const double g = TableInput(i);
    double eg = g + kGridBias;
    if (eg > 0.0) eg = 0.5 * std::tanh(2.0 * eg); // grid conduction
    tables.tube[i] = static_cast<float>((e0 - SolvePlateVoltage(eg)) / gain);

    const double sign = g < 0.0 ? -1.0 : 1.0;
    tables.diode[i] = static_cast<float>(sign * SolveDiodeVoltage(std::fabs(g)));
  }
}

const ShaperTables& GetShaperTables()
{
  static ShaperTables tables;
  static const bool built = (BuildShaperTables(tables), true);
  (void)built;
  return tables;
}

} // namespace quorvel
