#pragma once

#include "framework/core/TextBuffer.h"

#include <ctime>

namespace iplug
{
// Local time as "YYYYMMDD HH:MM +HHMM", the offset being local time minus UTC.
void FormatLocalTimeStamp(std::time_t when, TextBuffer& out);

// Minutes by which the local calendar time is ahead of UTC for the same instant. The two
// may fall on different days, also across a year boundary; that difference counts as at
// most one day either way.
int UtcOffsetMinutes(const std::tm& local, const std::tm& utc);
} // namespace iplug
