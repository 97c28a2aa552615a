#pragma once

// Bus channel counts and VST3 speaker arrangements (bit masks, one bit per
// speaker). Counts without a conventional layout get the empty arrangement.

#include <bit>
#include <cstdint>

namespace iplug
{

constexpr uint64_t SpeakerArrangementForChannels(int channels)
{
  switch (channels)
  {
  case 1:
    return 0x80000; // mono
  case 2:
    return 0x3; // stereo
  case 3:
    return 0x7; // L R C
  case 4:
    return 0xF00000; // first-order ambisonics
  case 5:
    return 0x37; // 5.0
  case 6:
    return 0x3F; // 5.1
  case 7:
    return 0xF7; // 6.1
  case 8:
    return 0x63F; // 7.1 with side speakers
  case 9:
    return 0x7C000F00000; // second-order ambisonics
  case 10:
    return 0x300063F; // 7.1.2
  case 16:
    return 0x3FFC000F00000; // third-order ambisonics
  default:
    return 0;
  }
}

// A host arrangement carries as many channels as it has speaker bits.
constexpr int ChannelCountOfArrangement(uint64_t arrangement)
{
  return std::popcount(arrangement);
}

} // namespace iplug
