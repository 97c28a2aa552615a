#pragma once

// The component state hosts save in their projects for the VST3 module: the effect's 128-byte state
// block followed by a 32-bit bypass word (written as 0, read back only as 0 or 1), little-endian,
// 132 bytes. A stream that does not start with the block's magic is the XML form, which may be up to
// 1 MiB long. Nothing is applied to the effect before the whole stream has been read and checked.

#include "effect/plugin/StateBlock.h"

#include "framework/core/StateChunk.h"

#include "pluginterfaces/base/ibstream.h"

#include <cstdint>

namespace quorvel
{

inline constexpr int32_t kComponentStateBytes = kStateBlockSize + 4;

// Writes a state block plus the bypass word. kResultFalse unless the block is exactly 128 bytes
// and all 132 bytes were written.
Steinberg::tresult WriteComponentState(Steinberg::IBStream* stream, const iplug::StateChunk& block);

// Reads the whole stream into `bytes` (emptied first) and checks its form. kResultOk when the
// bytes are a 132-byte block state with a valid bypass word, or another form of at least 4 bytes
// and at most 1 MiB, which the effect's state reader then judges. kResultFalse otherwise.
Steinberg::tresult ReadComponentState(Steinberg::IBStream* stream, iplug::StateChunk& bytes);

// The bypass word of a checked block state, 0 for the XML form.
int32_t ComponentStateBypassWord(const iplug::StateChunk& bytes);

} // namespace quorvel
