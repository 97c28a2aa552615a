#include "framework/core/TimeStamp.h"

#include <cstdlib>

namespace iplug
{
namespace
{
bool ToLocal(std::time_t when, std::tm& out)
{
#if defined(_WIN32)
  return localtime_s(&out, &when) == 0;
#else
  return localtime_r(&when, &out) != nullptr;
#endif
}

bool ToUtc(std::time_t when, std::tm& out)
{
#if defined(_WIN32)
  return gmtime_s(&out, &when) == 0;
#else
  return gmtime_r(&when, &out) != nullptr;
#endif
}
} // namespace

int UtcOffsetMinutes(const std::tm& local, const std::tm& utc)
{
  int days = local.tm_yday - utc.tm_yday;
  // On 1 January one side may still be on 31 December of the year before (day 364 or 365).
  if (local.tm_year != utc.tm_year)
    days = (local.tm_year > utc.tm_year) ? 1 : -1;
  else if (days > 1 || days < -1)
    days = (days > 0) ? 1 : -1;
  return days * 24 * 60 + (local.tm_hour - utc.tm_hour) * 60 + (local.tm_min - utc.tm_min);
}

void FormatLocalTimeStamp(std::time_t when, TextBuffer& out)
{
  std::tm local{};
  std::tm utc{};
  if (!ToLocal(when, local) || !ToUtc(when, utc))
  {
    out.AssignText("");
    return;
  }
  const int offset = UtcOffsetMinutes(local, utc);
  const int magnitude = std::abs(offset);
  out.SetFormatted(64, "%04d%02d%02d %02d:%02d %c%02d%02d", local.tm_year + 1900, local.tm_mon + 1,
                   local.tm_mday, local.tm_hour, local.tm_min, offset < 0 ? '-' : '+', magnitude / 60,
                   magnitude % 60);
}
} // namespace iplug
