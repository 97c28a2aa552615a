#pragma once

#include <cstdint>

namespace iplug
{
constexpr int kMaxSysexBytes = 512;

// A system-exclusive message as handed to handlers: the bytes stay owned by the sender and are
// valid only during the call.
struct ISysexEvent
{
  int32_t offset = 0; // sample offset within the block
  int32_t size = 0;
  const uint8_t* data = nullptr;
};

// A system-exclusive message as queued between threads: copied in whole so that no pointer
// crosses a thread boundary.
struct ISysexPacket
{
  int32_t offset = 0;
  int32_t size = 0;
  uint8_t data[kMaxSysexBytes] = {};
};
static_assert(sizeof(ISysexPacket) == 520, "queued by value: offset, size and 512 data bytes");
} // namespace iplug
