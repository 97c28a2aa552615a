#include "framework/core/ChannelLayout.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

using namespace iplug;

namespace
{
struct Parsed
{
  int32_t count = 0;
  ChannelLayoutLimits limits;
  PointerList<ChannelLayout> layouts;
};

// "2.2|1" style summary of one side of a layout: the buses' channel counts.
std::string Side(const Parsed& parsed, int32_t layout, int32_t direction)
{
  std::string text;
  const PointerList<BusLayout>& buses = parsed.layouts.Get(layout)->Buses(direction);
  for (int32_t i = 0; i < buses.GetCount(); ++i)
  {
    EXPECT_EQ(buses.Get(i)->direction, direction);
    if (i > 0)
      text += '.';
    text += std::to_string(buses.Get(i)->channelCount);
  }
  return text;
}

void Parse(const char* text, Parsed& parsed)
{
  parsed.count = ParseChannelLayouts(text, parsed.layouts, parsed.limits);
}
} // namespace

TEST(ChannelLayout, ConfigurationsBusesAndMaxima)
{
  Parsed product;
  Parse("1-1 2-2", product);
  ASSERT_EQ(product.count, 2);
  EXPECT_EQ(Side(product, 0, kInput), "1");
  EXPECT_EQ(Side(product, 0, kOutput), "1");
  EXPECT_EQ(Side(product, 1, kInput), "2");
  EXPECT_EQ(Side(product, 1, kOutput), "2");
  EXPECT_EQ(product.limits.maxInputChannels, 2);
  EXPECT_EQ(product.limits.maxOutputChannels, 2);
  EXPECT_EQ(product.limits.maxInputBuses, 1);
  EXPECT_EQ(product.limits.maxOutputBuses, 1);

  Parsed split;
  Parse("2-2.2", split);
  ASSERT_EQ(split.count, 1);
  EXPECT_EQ(Side(split, 0, kOutput), "2.2");
  EXPECT_EQ(split.limits.maxInputChannels, 2);
  EXPECT_EQ(split.limits.maxOutputChannels, 4);
  EXPECT_EQ(split.limits.maxOutputBuses, 2);

  // Maxima are taken per number, not from one configuration.
  Parsed mixed;
  Parse("4-1 1-2.2.2", mixed);
  EXPECT_EQ(mixed.limits.maxInputChannels, 4);
  EXPECT_EQ(mixed.limits.maxOutputChannels, 6);
  EXPECT_EQ(mixed.limits.maxOutputBuses, 3);
  EXPECT_EQ(mixed.limits.maxInputBuses, 1);
}

TEST(ChannelLayout, WildcardsCountAsMinus64)
{
  Parsed both;
  Parse("*-*", both);
  ASSERT_EQ(both.count, 1);
  EXPECT_EQ(Side(both, 0, kInput), "-64");
  EXPECT_EQ(Side(both, 0, kOutput), "-64");
  EXPECT_EQ(both.limits.maxInputChannels, 0);
  EXPECT_EQ(both.limits.maxOutputChannels, 0);
  EXPECT_EQ(both.limits.maxInputBuses, 1);
  EXPECT_EQ(both.limits.maxOutputBuses, 1);

  Parsed mixed;
  Parse("1-1 *.2-2", mixed);
  EXPECT_EQ(Side(mixed, 1, kInput), "-64.2");
  EXPECT_EQ(mixed.limits.maxInputChannels, 1);
  EXPECT_EQ(mixed.limits.maxInputBuses, 2);

  // "*" only as a whole token.
  Parsed starred;
  Parse("2*-1", starred);
  EXPECT_EQ(Side(starred, 0, kInput), "2");
}

TEST(ChannelLayout, ZeroAndNonNumericTokensAddNoBus)
{
  Parsed zero;
  Parse("0-2", zero);
  ASSERT_EQ(zero.count, 1);
  EXPECT_EQ(Side(zero, 0, kInput), "");
  EXPECT_EQ(zero.limits.maxInputBuses, 0);
  EXPECT_EQ(zero.limits.maxInputChannels, 0);

  Parsed inner;
  Parse("2.0.1-1", inner);
  EXPECT_EQ(Side(inner, 0, kInput), "2.1");
  EXPECT_EQ(inner.limits.maxInputChannels, 3);

  Parsed words;
  Parse("x.3y-z", words);
  EXPECT_EQ(Side(words, 0, kInput), "3");
  EXPECT_EQ(Side(words, 0, kOutput), "");
}

TEST(ChannelLayout, SeparatorsAndMissingSides)
{
  Parsed spaced;
  Parse("   1-1     2-2  ", spaced);
  EXPECT_EQ(spaced.count, 2);

  Parsed none;
  Parse("", none);
  EXPECT_EQ(none.count, 0);
  Parse("    ", none);
  EXPECT_EQ(none.count, 0);
  Parsed null;
  Parse(nullptr, null);
  EXPECT_EQ(null.count, 0);

  Parsed extra;
  Parse("1-2-3", extra);
  EXPECT_EQ(Side(extra, 0, kOutput), "2");
  EXPECT_EQ(extra.limits.maxOutputChannels, 2);

  Parsed sides;
  Parse("2 -3 4-", sides);
  ASSERT_EQ(sides.count, 3);
  EXPECT_EQ(Side(sides, 0, kInput), "2");
  EXPECT_EQ(Side(sides, 0, kOutput), "");
  EXPECT_EQ(Side(sides, 1, kInput), "");
  EXPECT_EQ(Side(sides, 1, kOutput), "3");
  EXPECT_EQ(Side(sides, 2, kInput), "4");
  EXPECT_EQ(Side(sides, 2, kOutput), "");
}

// Out-of-range counts saturate instead of overflowing (UBSan watches this).
TEST(ChannelLayout, HugeCountsSaturate)
{
  Parsed huge;
  Parse("99999999999-1 2147483647.2147483647-1", huge);
  ASSERT_EQ(huge.count, 2);
  EXPECT_EQ(huge.limits.maxInputChannels, std::numeric_limits<int32_t>::max());
  EXPECT_EQ(Side(huge, 0, kInput), std::to_string(std::numeric_limits<int32_t>::max()));
}
