#pragma once

// Host streams for the component state, read and written with the habits of real hosts in mind:
// reads may deliver any number of bytes per call, writes may accept part of the data, and result
// codes other than success are taken at their word.

#include "pluginterfaces/base/ibstream.h"

#include <cstdint>

namespace iplug
{

// No state a host hands over may be longer: a larger stream is refused before anything is applied.
inline constexpr int32_t kMaxStateStreamBytes = 1048576;
// Hosts are read in blocks of this size.
inline constexpr int32_t kStateReadBlockBytes = 128;

// Writes size bytes, continuing after partial writes. kResultOk only when every byte went out;
// a call that fails or reports fewer than 1 or more than the remaining bytes ends it.
Steinberg::tresult WriteAllToStream(Steinberg::IBStream* stream, const void* data, int32_t size);

} // namespace iplug
