#pragma once

#include "framework/core/HeapBuffer.h"
#include "framework/core/TextBuffer.h"

namespace iplug
{
// One input or output channel of the processor: what the block sees as this channel
// (its entry in the direction's pointer array), and a float scratch block of the
// block size that stands in for the host's buffer when the host's samples must be
// converted, or when the channel is not connected.
struct IChannelBinding
{
  bool connected = false;
  float** entry = nullptr;           // this channel's slot in the pointer array
  const double* hostInput = nullptr; // bound 64-bit input, read slice by slice
  double* hostOutput = nullptr;      // bound 64-bit output, written after each slice
  HeapBuffer scratch{HeapBuffer::kDefaultGranularity};
  TextBuffer label;

  float* Scratch() const { return scratch.GetAs<float>(); }
};
} // namespace iplug
