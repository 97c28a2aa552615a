#include "framework/core/Utf8Text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace iplug;

namespace
{
std::u16string Decode(const char* text, int flags = 0)
{
  char16_t buffer[64];
  char16_t* out = DecodeUtf8ToWideBuffer(text, buffer, sizeof(buffer), flags);
  if (!out) return u"<refused>";
  std::u16string result(out);
  if (out != buffer) delete[] out;
  return result;
}
} // namespace

TEST(Utf8Text, ClassifiesTextAsAsciiUtf8OrInvalid)
{
  struct Case
  {
    const char* text;
    int expected;
  } cases[] = {
      {nullptr, 0},
      {"", 0},
      {"plain ascii", 0},
      {"caf\xC3\xA9", 1},
      {"\xC0\x80", -1},             // overlong NUL
      {"\xC3", -1},                 // truncated at the terminator
      {"\xE0\x9F\xBF", -1},         // overlong three-byte form
      {"\xE0\xA0\x80", 1},          // first valid three-byte form
      {"\xF0\x8F\xBF\xBF", -1},     // overlong four-byte form
      {"\xF0\x9F\x8E\xB8", 1},      // a character outside the BMP
      {"\xF8\x88\x80\x80\x80", -1}, // five-byte forms are never valid
      {"ok\xC3\xA9\xFF", -1},       // valid part first, then an invalid byte
      {"\x80", -1},                 // stray continuation
  };
  for (const Case& c : cases)
    EXPECT_EQ(HasMultibyteUtf8(c.text), c.expected) << (c.text ? c.text : "(null)");
}

TEST(Utf8Text, DecodesToUtf16WithSurrogatesAndLenientLeads)
{
  EXPECT_EQ(Decode("Gr\xC3\xBC\xC3\x9F\x65 \xE2\x82\xAC"), u"Grüße €");
  EXPECT_EQ(Decode("\xF0\x9F\x8E\xB8"), std::u16string({0xD83C, 0xDFB8}));
  // Mostly valid text with one stray byte: the stray byte is skipped.
  EXPECT_EQ(Decode("\xC3\xA9\xC3\xA9\xC3\xA9\xFF"), u"ééé");
  // Mostly ASCII with stray bytes does not look like UTF-8: the caller goes narrow.
  EXPECT_EQ(Decode("abc\xE9 def"), u"<refused>");
  EXPECT_EQ(Decode("abc\xE9 def", kDecodeAcceptAnyText), u"abc def");
  // Five- and six-byte forms count as one invalid unit each and vanish.
  EXPECT_EQ(Decode("\xC3\xA9\xC3\xA9\xC3\xA9\xF8\x88\x80\x80\x80", 0), u"ééé");
}

TEST(Utf8Text, DecodeGrowsOrCutsWhenTheBufferIsSmall)
{
  char16_t small[4];
  char16_t* grown = DecodeUtf8ToWideBuffer("abcdefgh", small, sizeof(small), 0);
  ASSERT_NE(grown, nullptr);
  EXPECT_NE(grown, small);
  EXPECT_EQ(std::u16string(grown), u"abcdefgh");
  delete[] grown;

  char16_t* cut = DecodeUtf8ToWideBuffer("abcdefgh", small, sizeof(small), kDecodeCutToBuffer);
  EXPECT_EQ(cut, small);
  EXPECT_EQ(std::u16string(cut), u"abc");

  // A surrogate pair that would leave no room for the terminator is not split.
  char16_t three[3];
  char16_t* pair = DecodeUtf8ToWideBuffer("a\xF0\x9F\x8E\xB8", three, sizeof(three), kDecodeCutToBuffer);
  EXPECT_EQ(std::u16string(pair), u"a");

  EXPECT_EQ(DecodeUtf8ToWideBuffer("abc", nullptr, 0, kDecodeCutToBuffer), nullptr);
}

TEST(Utf8Text, NarrowEchoMatchesQuestionMarksForNonAscii)
{
  EXPECT_EQ(MatchesNarrowEcho("Gr\xC3\xBC\xC3\x9F\x65", "Gr??e"), 0);
  EXPECT_EQ(MatchesNarrowEcho("Gr\xC3\xBC\xC3\x9F\x65", "Gr\xFC\xDF\x65"), 0); // Latin-1 echo
  EXPECT_EQ(MatchesNarrowEcho("Gr\xC3\xBC\xC3\x9F\x65", "Gr??e!"), 1);
  EXPECT_EQ(MatchesNarrowEcho("Gr\xC3\xBC\xC3\x9F\x65", "Gr?"), 1);
  EXPECT_EQ(MatchesNarrowEcho("abc", "abd"), 1);
  EXPECT_EQ(MatchesNarrowEcho("a\xF8\x88\x80\x80\x80", "a_"), 0);
}

TEST(Utf8Text, LongPathPrefix)
{
  auto prefixed = [](std::u16string path)
  {
    std::vector<char16_t> buffer(path.begin(), path.end());
    buffer.resize(path.size() + 16, 0);
    AddLongPathPrefix(buffer.data());
    return std::u16string(buffer.data());
  };
  const std::u16string tail(300, u'a');
  EXPECT_EQ(prefixed(u"C:/dir/" + tail), u"\\\\?\\C:\\dir\\" + tail);
  EXPECT_EQ(prefixed(u"\\\\server/share/" + tail), u"\\\\?\\UNC\\server\\share\\" + tail);
  EXPECT_EQ(prefixed(u"C:/short"), u"C:/short");
  EXPECT_EQ(prefixed(u"relative/" + tail), u"relative/" + tail);
  // Already long or a device path: a second prefix would break it.
  EXPECT_EQ(prefixed(u"\\\\?\\C:\\" + tail), u"\\\\?\\C:\\" + tail);
  EXPECT_EQ(prefixed(u"\\\\.\\pipe\\" + tail), u"\\\\.\\pipe\\" + tail);
}
