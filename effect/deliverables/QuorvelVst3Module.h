#pragma once

// The effect's one VST3 class: its ID as hosts store it in their projects.

#include "pluginterfaces/base/funknown.h"

namespace quorvel
{

// Class ID words: fixed prefix, then the maker and plug-in codes as four-character codes.
inline constexpr Steinberg::uint32 kVst3ClassIdWords[4] = {0xABCDEF01, 0x9182FAEB, 0x4B646D78 /* Kdmx */,
                                                           0x5176726C /* Qvrl */};

} // namespace quorvel
