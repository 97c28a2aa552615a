#pragma once

#include <cstdint>

namespace iplug
{
// The host's transport as seen at the start of the current block. Positions stay -1
// until a host supplies them; the standalone program never does.
struct ITransportState
{
  double tempo = 120.0;     // beats per minute
  double samplePos = -1.0;  // samples since the start of the project
  double ppqPos = -1.0;     // quarter notes since the start of the project
  double lastBar = -1.0;    // quarter-note position of the current bar's start
  double cycleStart = -1.0; // loop range, in quarter notes
  double cycleEnd = -1.0;
  int32_t numerator = 4; // time signature
  int32_t denominator = 4;
  bool transportIsRunning = false;
  bool transportLoopEnabled = false;
};
} // namespace iplug
