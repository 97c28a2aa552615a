#pragma once

// The component state hosts save in their projects: the plug-in's 128-byte
// state block followed by a 32-bit bypass word (written as 0, read back only as
// 0 or 1), little-endian, 132 bytes. A stream that does not start with the
// block's magic is the XML form, which may be up to 1 MiB long.
//
// Host streams are read and written with the habits of real hosts in mind:
// reads may deliver any number of bytes per call, writes may accept part of the
// data, and result codes other than success are taken at their word. Nothing is
// applied to the plug-in before the whole stream has been read and checked.

#include "framework/core/StateChunk.h"

#include "pluginterfaces/base/ibstream.h"

#include <cstdint>

namespace iplug
{

inline constexpr int32_t kStateBlockBytes = 128;
inline constexpr int32_t kComponentStateBytes = kStateBlockBytes + 4;
inline constexpr int32_t kMaxComponentStateBytes = 1048576;
inline constexpr char kStateBlockMagic[4] = {'Q', 'V', 'K', 'X'};

// Writes size bytes, continuing after partial writes. kResultOk only when every byte went out;
// a call that fails or reports fewer than 1 or more than the remaining bytes ends it.
Steinberg::tresult WriteAllToStream(Steinberg::IBStream* stream, const void* data, int32_t size);

// Writes a state block plus the bypass word. kResultFalse unless the block is exactly 128 bytes
// and all 132 bytes were written.
Steinberg::tresult WriteComponentState(Steinberg::IBStream* stream, const StateChunk& block);

// Reads the whole stream into `bytes` (emptied first) and checks its form. kResultOk when the
// bytes are a 132-byte block state with a valid bypass word, or another form of at least 4 bytes
// and at most 1 MiB, which the plug-in's state reader then judges. kResultFalse otherwise.
Steinberg::tresult ReadComponentState(Steinberg::IBStream* stream, StateChunk& bytes);

// The bypass word of a checked block state, 0 for the XML form.
int32_t ComponentStateBypassWord(const StateChunk& bytes);

} // namespace iplug
