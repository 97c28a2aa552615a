#pragma once

// The module's one class: its ID and the function the class factory creates it with.

#include "pluginterfaces/base/funknown.h"

namespace iplug
{

// Class ID words: fixed prefix, then the maker and plug-in codes as four-character codes.
inline constexpr Steinberg::uint32 kVst3ClassIdWords[4] = {0xABCDEF01, 0x9182FAEB, 0x4B646D78 /* Kdmx */,
                                                           0x5176726C /* Qvrl */};

// Creates one effect object (under the process-wide instance lock) and returns its audio processor
// interface with the one reference it was created with; null when it could not be created.
Steinberg::FUnknown* CreateVst3Instance(void* context);

} // namespace iplug
