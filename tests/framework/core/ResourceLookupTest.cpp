#include "framework/core/ResourceLookup.h"

#include "framework/core/Utf16Conversion.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

using namespace iplug;

// The test program embeds: TTF "Roboto-Regular.ttf" (the real font), PNG "Tiny.bin"
// (5 bytes), PNG "eight.bin" (8 bytes) and SVG "mark.svg"; on Windows also an SVG
// named NOQUOTE without quote marks.

TEST(ResourceLookup, FindsEmbeddedResourcesByFileNameIgnoringCase)
{
  TextBuffer location;
  ASSERT_EQ(FindResourceByName("Roboto-Regular.ttf", "ttf", location, nullptr), kWinBinary);
#ifdef _WIN32
  EXPECT_STREQ(location.Get(), "\"ROBOTO-REGULAR.TTF\"");
#endif
  int32_t size = -1;
  const auto* bytes =
      static_cast<const unsigned char*>(LoadResourceBytes(location.Get(), "TTF", size, nullptr));
  ASSERT_NE(bytes, nullptr);
  EXPECT_GT(size, 100000);
  // A TrueType font starts with version 1.0.
  EXPECT_EQ(std::memcmp(bytes, "\x00\x01\x00\x00", 4), 0);

  TextBuffer other;
  EXPECT_EQ(FindResourceByName("ROBOTO-regular.TTF", "Ttf", other, nullptr), kWinBinary);
  EXPECT_STREQ(other.Get(), location.Get());
  EXPECT_EQ(FindResourceByName("mark.svg", "svg", other, nullptr), kWinBinary);

  // The type is part of the key.
  TextBuffer untouched("keep");
  EXPECT_EQ(FindResourceByName("Roboto-Regular.ttf", "png", untouched, nullptr), kNotFound);
  EXPECT_STREQ(untouched.Get(), "keep");
}

TEST(ResourceLookup, RefusesMissingNamesAndTinyResources)
{
  TextBuffer location("keep");
  EXPECT_EQ(FindResourceByName(nullptr, "PNG", location, nullptr), kNotFound);
  EXPECT_EQ(FindResourceByName("", "PNG", location, nullptr), kNotFound);
  EXPECT_EQ(FindResourceByName("nothing-like-this.png", "PNG", location, nullptr), kNotFound);
  EXPECT_EQ(FindResourceByName("\"", "PNG", location, nullptr), kNotFound);
  EXPECT_STREQ(location.Get(), "keep");

  // Found, but 7 bytes or fewer are never handed out; the size stays untouched.
  ASSERT_EQ(FindResourceByName("tiny.bin", "PNG", location, nullptr), kWinBinary);
  int32_t size = -1;
  EXPECT_EQ(LoadResourceBytes(location.Get(), "PNG", size, nullptr), nullptr);
  EXPECT_EQ(size, -1);

  ASSERT_EQ(FindResourceByName("EIGHT.BIN", "png", location, nullptr), kWinBinary);
  const void* eight = LoadResourceBytes(location.Get(), "PNG", size, nullptr);
  ASSERT_NE(eight, nullptr);
  EXPECT_EQ(size, 8);
  EXPECT_EQ(std::memcmp(eight, "12345678", 8), 0);

  EXPECT_EQ(LoadResourceBytes("no-such-name", "PNG", size, nullptr), nullptr);
  EXPECT_EQ(LoadResourceBytes(nullptr, "PNG", size, nullptr), nullptr);
}

TEST(ResourceLookup, FallsBackToFilesOnDisk)
{
  const std::string path = testing::TempDir() + "quorvel-resource-lookup.png";
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("not really a picture", f);
  std::fclose(f);

  TextBuffer location;
  EXPECT_EQ(FindResourceByName(path.c_str(), "PNG", location, nullptr), kAbsolutePath);
  EXPECT_STREQ(location.Get(), path.c_str());
  // A folder counts too.
  EXPECT_EQ(FindResourceByName(testing::TempDir().c_str(), "PNG", location, nullptr), kAbsolutePath);
  std::remove(path.c_str());
  EXPECT_EQ(FindResourceByName(path.c_str(), "PNG", location, nullptr), kNotFound);
}

#ifdef _WIN32
TEST(ResourceLookup, NamesWithoutQuoteMarksLoseTheirFirstAndLastLetters)
{
  TextBuffer location;
  EXPECT_EQ(FindResourceByName("NOQUOTE", "SVG", location, nullptr), kNotFound);
  ASSERT_EQ(FindResourceByName("oquot", "SVG", location, nullptr), kWinBinary);
  EXPECT_STREQ(location.Get(), "NOQUOTE");
}
#endif

TEST(Utf16Conversion, RoundTripsAndReplacesBrokenSequences)
{
  const char* text = "Gr\xC3\xBC\xC3\x9F\x65 \xE2\x82\xAC \xF0\x9F\x8E\xB8";
  HeapBuffer wide = Utf8ToWide(text);
  const auto* units = wide.GetAs<char16_t>();
  ASSERT_NE(units, nullptr);
  EXPECT_EQ(std::u16string(units), std::u16string(u"Grüße € ") + char16_t(0xD83C) + char16_t(0xDFB8));
  EXPECT_EQ(wide.GetGranularity(), 4096);
  EXPECT_STREQ(WideToUtf8(units).Get(), text);

  // Null and empty give the empty text, never null data.
  EXPECT_EQ(Utf8ToWide(nullptr).GetAs<char16_t>()[0], 0);
  EXPECT_EQ(Utf8ToWide("").GetAs<char16_t>()[0], 0);
  EXPECT_STREQ(WideToUtf8(nullptr).Get(), "");
  EXPECT_STREQ(WideToUtf8(u"").Get(), "");

  // A stray byte and a lone surrogate become U+FFFD.
  EXPECT_EQ(std::u16string(Utf8ToWide("a\xFF"
                                      "b")
                               .GetAs<char16_t>()),
            u"a\uFFFDb");
  const char16_t lone[] = {u'a', 0xD800, u'b', 0};
  EXPECT_STREQ(WideToUtf8(lone).Get(), "a\xEF\xBF\xBD"
                                       "b");
}
