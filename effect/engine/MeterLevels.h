#pragma once

namespace quorvel
{

// What the editor's meters show. Peaks are linear sample magnitudes; activity is 0 to 1.
struct MeterLevels
{
  float inputPeak = 0.f;
  float outputPeak = 0.f;
  float activity = 0.f;
};

} // namespace quorvel
