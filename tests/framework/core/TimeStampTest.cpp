#include "framework/core/TimeStamp.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <ctime>

using namespace iplug;

namespace
{
std::tm Tm(int year, int yday, int hour, int minute)
{
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_yday = yday;
  t.tm_hour = hour;
  t.tm_min = minute;
  return t;
}
} // namespace

TEST(TimeStampTest, UtcOffsetAcrossDayAndYearBoundaries)
{
  EXPECT_EQ(UtcOffsetMinutes(Tm(2026, 100, 13, 0), Tm(2026, 100, 12, 0)), 60);
  EXPECT_EQ(UtcOffsetMinutes(Tm(2026, 100, 7, 0), Tm(2026, 100, 12, 30)), -330);
  // Local already on the next day.
  EXPECT_EQ(UtcOffsetMinutes(Tm(2026, 101, 1, 0), Tm(2026, 100, 23, 0)), 120);
  // Local still on the day before.
  EXPECT_EQ(UtcOffsetMinutes(Tm(2026, 100, 20, 0), Tm(2026, 101, 2, 0)), -360);
  // New Year: local on 1 January, UTC still on 31 December (day 364 of a common year).
  EXPECT_EQ(UtcOffsetMinutes(Tm(2027, 0, 0, 30), Tm(2026, 364, 23, 30)), 60);
  // And the other way round, after a leap year (day 365).
  EXPECT_EQ(UtcOffsetMinutes(Tm(2028, 365, 23, 0), Tm(2029, 0, 9, 0)), -600);
}

namespace
{
// Sets the process time zone for the life of the object (POSIX-style TZ, which the Windows
// C runtime reads the same way for plain offsets).
class ScopedTimeZone
{
public:
  explicit ScopedTimeZone(const char* tz)
  {
    const char* old = std::getenv("TZ");
    mHadOld = old != nullptr;
    if (mHadOld) mOld = old;
    Set(tz);
  }
  ~ScopedTimeZone() { Set(mHadOld ? mOld.c_str() : nullptr); }

private:
  static void Set(const char* tz)
  {
#if defined(_WIN32)
    _putenv_s("TZ", tz ? tz : "");
    _tzset();
#else
    if (tz)
      setenv("TZ", tz, 1);
    else
      unsetenv("TZ");
    tzset();
#endif
  }
  bool mHadOld = false;
  std::string mOld;
};
} // namespace

TEST(TimeStampTest, OffsetFollowsTheTimeZone)
{
  TextBuffer text;
  {
    ScopedTimeZone zone("QRT-1");         // one hour east of UTC
    FormatLocalTimeStamp(31536000, text); // 1971-01-01 00:00 UTC
    EXPECT_STREQ(text.Get(), "19710101 01:00 +0100");
  }
  {
    ScopedTimeZone zone("QRT+5:30");      // five and a half hours west
    FormatLocalTimeStamp(31536000, text); // 1971-01-01 00:00 UTC
    EXPECT_STREQ(text.Get(), "19701231 18:30 -0530");
  }
}
