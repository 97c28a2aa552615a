#pragma once

#include <cstdint>

namespace iplug
{
// One short MIDI message (8 bytes), as queued between threads and handed to handlers.
struct IMidiEvent
{
  int32_t offset = 0; // sample offset within the block
  uint8_t status = 0;
  uint8_t data1 = 0;
  uint8_t data2 = 0;
};
static_assert(sizeof(IMidiEvent) == 8, "queued by value: keep it 8 bytes");
} // namespace iplug
