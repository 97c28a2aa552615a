#pragma once

#include "framework/core/HeapBuffer.h"
#include "framework/core/TextBuffer.h"

// The two conversions the Windows-facing code uses everywhere. Invalid input is
// not refused: each broken sequence becomes U+FFFD, as the system converter does.
namespace iplug
{
// UTF-16 units with a terminator, in a buffer of granularity 4096; the empty
// text (a lone terminator) for null input or when memory runs out.
HeapBuffer Utf8ToWide(const char* text);

// The UTF-8 form of a terminated UTF-16 text; "" for null or empty input.
TextBuffer WideToUtf8(const char16_t* text);
} // namespace iplug
