#pragma once

#include "framework/core/TextBuffer.h"

namespace iplug
{
// Framework code reports fixed points here (construction, host identification, parameter
// changes and serialisation), with the function name and line of the call. Nothing is
// recorded in this build; the format attribute still checks every call's arguments.
inline void TraceHook(const char* function, int line, const char* format, ...) IPLUG_PRINTF_FORMAT(3, 4);
inline void TraceHook(const char*, int, const char*, ...) {}
} // namespace iplug
