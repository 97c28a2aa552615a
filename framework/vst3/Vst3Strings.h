#pragma once

// Text between the framework (UTF-8, char) and the VST3 interfaces (UTF-16
// code units in fixed buffers). Every conversion is bounded by the buffer and
// always terminates it; a host string is read up to its terminator or the
// buffer size it is documented to have, whichever comes first.

#include "pluginterfaces/vst/vsttypes.h"

#include <cstddef>
#include <string>

namespace iplug
{

// Widens each byte to the UTF-16 unit of the same value, as the SDK's ASCII helpers do: right for
// the ASCII texts of parameters and buses. At most capacity - 1 units, then a terminator.
void WidenAscii(const char* text, Steinberg::Vst::TChar* out, int capacity);

// Low byte of each unit, at most capacity - 1 of them, terminated: how host names become ASCII.
void NarrowToAscii(const Steinberg::Vst::TChar* text, char* out, int capacity);

// UTF-8 of a UTF-16 text read up to its terminator or maxUnits units. Unpaired surrogates become
// U+FFFD.
std::string Utf16ToUtf8(const Steinberg::Vst::TChar* text, int maxUnits);

} // namespace iplug
