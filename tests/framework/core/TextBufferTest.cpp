#include "framework/core/TextBuffer.h"

#include "tests/support/core/HeapAllocationFault.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

using iplug::TextBuffer;
using quorvel::test::HeapAllocationFault;

TEST(TextBuffer, SizeCountsTheTerminator)
{
  TextBuffer text;
  EXPECT_STREQ(text.Get(), "");
  EXPECT_EQ(text.GetSize(), 0);

  EXPECT_TRUE(text.AssignText(nullptr));
  EXPECT_STREQ(text.Get(), "");
  EXPECT_EQ(text.GetSize(), 1);

  text.AssignText("Gain");
  EXPECT_EQ(text.GetSize(), 5);
  EXPECT_EQ(text.GetLength(), 4);
  text.AssignText("Saturation", 3);
  EXPECT_STREQ(text.Get(), "Sat");
  EXPECT_EQ(text.GetSize(), 4);
  text.AssignText("ab", 10);
  EXPECT_STREQ(text.Get(), "ab");
  text.AppendText("cdef", 2);
  EXPECT_STREQ(text.Get(), "abcd");

  const TextBuffer neverSet;
  TextBuffer emptyCopy(neverSet);
  EXPECT_STREQ(emptyCopy.Get(), "");
  EXPECT_EQ(emptyCopy.GetSize(), 1);
  EXPECT_EQ(emptyCopy.GetCapacity(), 129);

  TextBuffer copy(text);
  text.AssignText("changed");
  EXPECT_STREQ(copy.Get(), "abcd");
  copy = copy;
  EXPECT_STREQ(copy.Get(), "abcd");

  text.FreeText();
  EXPECT_STREQ(text.Get(), "");
  EXPECT_EQ(text.GetSize(), 0);

  // Appending nothing to a text that was never set still sets it: "" with its terminator.
  EXPECT_TRUE(text.AppendText(""));
  EXPECT_EQ(text.GetSize(), 1);
  text.AssignText("ab");
  EXPECT_TRUE(text.AppendText(nullptr));
  EXPECT_STREQ(text.Get(), "ab");
  EXPECT_EQ(text.GetSize(), 3);
}

TEST(TextBuffer, FormattingIsCutAtTheMaximumLength)
{
  TextBuffer text;
  EXPECT_TRUE(text.SetFormatted(32, "%s", "0123456789012345678901234567890123456789"));
  EXPECT_STREQ(text.Get(), "01234567890123456789012345678901");
  EXPECT_EQ(text.GetSize(), 33);

  text.AssignText("ab");
  EXPECT_TRUE(text.AppendFormatted(3, "%s", "cdef"));
  EXPECT_STREQ(text.Get(), "abcde");

  EXPECT_TRUE(text.SetFormatted(16, "%.2f dB", -3.0));
  EXPECT_STREQ(text.Get(), "-3.00 dB");
  EXPECT_EQ(text.GetSize(), 9);
  EXPECT_TRUE(text.AppendFormatted(0, "%s", "lost"));
  EXPECT_STREQ(text.Get(), "-3.00 dB");

  // Longer than the stack space the formatter uses for short texts.
  EXPECT_TRUE(text.SetFormatted(1000, "%0800d", 7));
  EXPECT_EQ(text.GetLength(), 800);
  EXPECT_EQ(text.Get()[799], '7');

  // Arguments may point into the text being replaced, even when it has to grow.
  text.AssignText("abc");
  EXPECT_TRUE(text.SetFormatted(600, "%s-%s", text.Get(), text.Get()));
  EXPECT_STREQ(text.Get(), "abc-abc");
  EXPECT_TRUE(text.AppendFormatted(600, "+%s", text.Get()));
  EXPECT_STREQ(text.Get(), "abc-abc+abc-abc");
}

TEST(TextBuffer, InsertSplicesAndClampsItsRange)
{
  TextBuffer text("abef");
  EXPECT_TRUE(text.InsertText(2, "cd", 2, 2));
  EXPECT_STREQ(text.Get(), "abcdef");

  // The tail keeps only tailLength characters; what follows it is cut.
  text.AssignText("abcdef");
  EXPECT_TRUE(text.InsertText(1, "XY", 2, 1));
  EXPECT_STREQ(text.Get(), "aXYb");

  text.AssignText("abc");
  EXPECT_TRUE(text.InsertText(99, "de", 2, 0));
  EXPECT_STREQ(text.Get(), "abcde");
  EXPECT_TRUE(text.InsertText(3, "-", 1, 99));
  EXPECT_STREQ(text.Get(), "abc-de");

  EXPECT_TRUE(text.InsertText(2, "zz", 0, 0));
  EXPECT_STREQ(text.Get(), "abc-de");
  EXPECT_FALSE(text.InsertText(-1, "zz", 2, 0));
  EXPECT_FALSE(text.InsertText(0, "zz", -2, 0));
  EXPECT_STREQ(text.Get(), "abc-de");
  EXPECT_TRUE(text.InsertText(0, "", 0, 0));
  EXPECT_STREQ(text.Get(), "");
  EXPECT_EQ(text.GetSize(), 1);

  // A count whose size would overflow is refused before the source is read.
  text.AssignText("abc");
  EXPECT_FALSE(text.InsertText(0, "x", std::numeric_limits<int32_t>::max(), 0));
  EXPECT_STREQ(text.Get(), "abc");
}

TEST(TextBuffer, SourcesInsideTheBufferStayValid)
{
  const std::string longText(5000, 'q');
  TextBuffer text((longText + "suffix").c_str());
  EXPECT_TRUE(text.AssignText(text.Get() + 5000));
  EXPECT_STREQ(text.Get(), "suffix");

  // Growing while the source is the text itself moves the block under it.
  text.AssignText("0123456789");
  for (int i = 0; i < 6; ++i)
    ASSERT_TRUE(text.AppendText(text.Get()));
  EXPECT_EQ(text.GetLength(), 640);
  for (int i = 0; i < 640; ++i)
    ASSERT_EQ(text.Get()[i], '0' + i % 10) << i;

  // A source overlapping the tail that is being moved.
  text.AssignText("abcdef");
  EXPECT_TRUE(text.InsertText(1, text.Get() + 2, 3, 5));
  EXPECT_STREQ(text.Get(), "acdebcdef");
}

TEST(TextBuffer, GrowthFailureKeepsTheText)
{
  TextBuffer text("keep");
  const std::string longText(500, 'x');
  HeapAllocationFault fault;
  EXPECT_FALSE(text.AssignText(longText.c_str()));
  EXPECT_FALSE(text.AppendText(longText.c_str()));
  EXPECT_FALSE(text.InsertText(1, longText.c_str(), 300, 3));
  EXPECT_FALSE(text.SetFormatted(400, "%s", longText.c_str()));
  EXPECT_FALSE(text.AppendFormatted(400, "%s", longText.c_str()));
  EXPECT_STREQ(text.Get(), "keep");
  EXPECT_EQ(text.GetSize(), 5);

  // What fits in the block still works.
  EXPECT_TRUE(text.AppendText("er"));
  EXPECT_STREQ(text.Get(), "keeper");
}
