#include "framework/core/ChannelLayout.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace iplug
{
namespace
{
// Reads a token as a decimal integer the way "%d" would (leading digits, optional
// sign), without its undefined behaviour on overflow: out-of-range values saturate.
int32_t ReadCount(const char* begin, const char* end)
{
  if (end - begin == 1 && *begin == '*') return kWildcardChannels;
  const char* p = begin;
  while (p < end && (*p == '\t' || *p == '\n' || *p == '\r' || *p == '\f' || *p == '\v'))
    ++p;
  bool negative = false;
  if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
  int64_t value = 0;
  for (; p < end && *p >= '0' && *p <= '9'; ++p)
    value = std::min<int64_t>(value * 10 + (*p - '0'), int64_t{std::numeric_limits<int32_t>::max()} + 1);
  value = negative ? -value : value;
  return static_cast<int32_t>(
      std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

struct SideResult
{
  int64_t channels = 0;
  int32_t buses = 0;
};

SideResult ParseSide(const char* begin, const char* end, int32_t direction, PointerList<BusLayout>& buses)
{
  SideResult result;
  if (begin >= end) return result;
  const char* token = begin;
  while (true)
  {
    const char* dot = std::find(token, end, '.');
    const int32_t count = ReadCount(token, dot);
    result.channels += count;
    if (count != 0)
    {
      auto* bus = new BusLayout{direction, count};
      if (buses.Add(bus))
        ++result.buses;
      else
        delete bus;
    }
    if (dot == end) break;
    token = dot + 1;
  }
  return result;
}

int32_t ClampToInt32(int64_t v)
{
  return static_cast<int32_t>(
      std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}
} // namespace

int32_t ParseChannelLayouts(const char* text, PointerList<ChannelLayout>& layouts,
                            ChannelLayoutLimits& limits)
{
  limits = ChannelLayoutLimits{};
  if (!text) return 0;
  int32_t configurations = 0;
  const char* end = text + std::strlen(text);
  const char* p = text;
  while (p < end)
  {
    while (p < end && *p == ' ')
      ++p;
    if (p == end) break;
    const char* configEnd = std::find(p, end, ' ');
    const char* dash = std::find(p, configEnd, '-');
    // Text after a second "-" is ignored.
    const char* outputEnd = dash == configEnd ? configEnd : std::find(dash + 1, configEnd, '-');

    auto* layout = new ChannelLayout;
    const SideResult in = ParseSide(p, dash, kInput, layout->inputBuses);
    const SideResult out =
        dash == configEnd ? SideResult{} : ParseSide(dash + 1, outputEnd, kOutput, layout->outputBuses);
    if (!layouts.Add(layout))
    {
      delete layout;
      break;
    }
    ++configurations;
    limits.maxInputChannels = std::max(limits.maxInputChannels, ClampToInt32(in.channels));
    limits.maxOutputChannels = std::max(limits.maxOutputChannels, ClampToInt32(out.channels));
    limits.maxInputBuses = std::max(limits.maxInputBuses, in.buses);
    limits.maxOutputBuses = std::max(limits.maxOutputBuses, out.buses);
    p = configEnd;
  }
  return configurations;
}
} // namespace iplug
