#pragma once

#include "framework/core/PointerList.h"

#include <cstdint>

namespace iplug
{
enum ChannelDirection : int32_t
{
  kInput = 0,
  kOutput = 1
};

// A bus of "*" in a channel I/O string: any number of channels.
constexpr int32_t kWildcardChannels = -64;

struct BusLayout
{
  int32_t direction = kInput;
  int32_t channelCount = 0; // kWildcardChannels for "*"
};

// One configuration of a channel I/O string, e.g. "2-2" or "2-2.2".
struct ChannelLayout
{
  PointerList<BusLayout> inputBuses;
  PointerList<BusLayout> outputBuses;

  const PointerList<BusLayout>& Buses(int32_t direction) const
  {
    return direction == kInput ? inputBuses : outputBuses;
  }
};

// What ParseChannelLayouts found over all configurations.
struct ChannelLayoutLimits
{
  int32_t maxInputChannels = 0;
  int32_t maxOutputChannels = 0;
  int32_t maxInputBuses = 0;
  int32_t maxOutputBuses = 0;
};

// Parses a channel I/O string: configurations separated by spaces, each "inputs-outputs",
// each side's buses separated by ".", a bus being a channel count or "*". Appends one
// layout per configuration to layouts and returns the number of configurations.
// A bus of 0 channels (or a token that is not a number) adds no bus; a side that is
// missing has no buses.
int32_t ParseChannelLayouts(const char* text, PointerList<ChannelLayout>& layouts,
                            ChannelLayoutLimits& limits);
} // namespace iplug
