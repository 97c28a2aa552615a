#pragma once

namespace quorvel
{

// Transfer curves of the two table-driven models, sampled at 256 entries per unit over -16..16.
struct ShaperTables
{
  static constexpr int kSize = 8193;
  static constexpr float kRange = 16.f;
  static constexpr float kPerUnit = 256.f;

  float tube[kSize];
  float diode[kSize];
};

// Plate voltage (V) of the triode stage for a grid voltage Eg (V): 250 V supply, 100 kOhm load.
double SolvePlateVoltage(double gridVoltage);

void BuildShaperTables(ShaperTables& tables);

// The tables never depend on the sample rate, so every engine of the process shares one copy,
// built on first use (thread-safe).
const ShaperTables& GetShaperTables();

// Linear interpolation in a table; inputs beyond +-16 take the end entries.
inline float LookupTable(const float* table, float u)
{
  if (!(u < ShaperTables::kRange))
    u = ShaperTables::kRange;
  else if (u < -ShaperTables::kRange)
    u = -ShaperTables::kRange;
  const float p = (u + ShaperTables::kRange) * ShaperTables::kPerUnit;
  int i = static_cast<int>(p);
  if (i > ShaperTables::kSize - 2) i = ShaperTables::kSize - 2;
  return table[i] + (table[i + 1] - table[i]) * (p - static_cast<float>(i));
}

} // namespace quorvel
