#include "framework/graphics/FontBlob.h"
#include "framework/graphics/FontTableReader.h"
#include "tests/support/graphics/FontBytes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace iplug::igraphics;
using namespace iplug::igraphics::gfxtest;

namespace
{

#if defined(_WIN32)
const std::string kRobotoPath = std::string("Z:") + QUORVEL_ROBOTO_TTF;
#else
const std::string kRobotoPath = QUORVEL_ROBOTO_TTF;
#endif

std::string Family(const Bytes& b, int face = 0)
{
  return FontTableReader(b.data(), int32_t(b.size()), face).GetFamilyName().Get();
}

} // namespace

TEST(FontTableReaderTest, NamesAreAlwaysUtf8)
{
  const Name style{3, 1, 1033, 2, Utf16({'B', 'o', 'l', 'd'})};
  struct Case
  {
    Bytes windows;
    Bytes mac;
    std::string family;
  } cases[] = {
      {Utf16({'A', 0xD83D, 0xDE00}), {}, "A\xF0\x9F\x98\x80"}, // a pair: one 4-byte sequence
      {Utf16({'A', 0xD83D, 'B', 0xDE00}),
       {},
       "A\xEF\xBF\xBD"
       "B\xEF\xBF\xBD"},                          // unpaired halves
      {Utf16({'O', 'k'}, true), {}, "Ok"},        // an odd final byte
      {Utf16({'Z', 0, 'X'}), {}, "Z"},            // a zero unit ends it
      {{}, {'C', 'a', 'f', 0x8E}, "Caf\xC3\xA9"}, // Mac Roman
  };
  for (const Case& c : cases)
  {
    std::vector<Name> names{style};
    if (!c.mac.empty()) names.push_back({1, 0, 0, 1, c.mac});
    names.push_back({3, 1, 1033, 1, c.windows});
    const Bytes font = MakeFont(names, 3);
    const FontTableReader reader(font.data(), int32_t(font.size()), 0);
    ASSERT_TRUE(reader.HasRequiredTables());
    EXPECT_EQ(std::string(reader.GetFamilyName().Get()), c.family);
    EXPECT_STREQ(reader.GetStyleName().Get(), "Bold");
    EXPECT_EQ(reader.GetMacStyle(), 3);
    EXPECT_EQ(reader.GetUnitsPerEm(), 2048);
    EXPECT_EQ(reader.GetDescender(), -500);
  }
}

TEST(FontTableReaderTest, CollectionsAndDirectoriesStayInsideTheBytes)
{
  // A collection of one face: face 1 is past the count.
  const Bytes face = MakeFont({{3, 1, 1033, 1, Utf16({'T'})}}, 0, 16);
  Bytes ttc = face;
  std::copy_n("ttcf", 4, ttc.begin());
  Put32(ttc, 4, 0x00010000);
  Put32(ttc, 8, 1);
  Put32(ttc, 12, 16);
  EXPECT_EQ(Family(ttc, 0), "T");
  EXPECT_FALSE(FontTableReader(ttc.data(), int32_t(ttc.size()), 1).IsFont());
  // A count far beyond the offsets present is bounded by them.
  Put32(ttc, 8, 0x7FFFFFFF);
  EXPECT_EQ(FontTableReader::CountFontFaces(ttc.data(), int32_t(ttc.size())), int32_t((ttc.size() - 12) / 4));
  EXPECT_EQ(FontTableReader::CountFontFaces(ttc.data(), 12), 0);
  EXPECT_FALSE(FontTableReader(ttc.data(), 16, 0).IsFont()) << "its offset lies past the bytes";

  // A table record pointing past the end is no table.
  Bytes font = MakeFont({{3, 1, 1033, 1, Utf16({'T'})}});
  Put32(font, 12 + 16 * 2 + 8, uint32_t(font.size()) - 2);
  const FontTableReader reader(font.data(), int32_t(font.size()), 0);
  EXPECT_TRUE(reader.IsFont());
  EXPECT_EQ(reader.GetNameOffset(), 0u);
  EXPECT_FALSE(reader.HasRequiredTables());
  EXPECT_FALSE(FontTableReader(font.data(), int32_t(font.size()), 1).IsFont())
      << "a single font has face 0 only";
}

TEST(FontTableReaderTest, TruncatedAndCorruptedFontsAreReadSafely)
{
  std::ifstream in(kRobotoPath, std::ios::binary);
  const Bytes roboto{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  ASSERT_FALSE(roboto.empty());
  EXPECT_EQ(Family(roboto), "Roboto");

  // Every prefix of a small font, and a spread of prefixes of a real one, each in a buffer of exactly
  // that size so that any read past it is caught.
  const Bytes small = MakeFont({{3, 1, 1033, 1, Utf16({'S', 'm'})}, {1, 0, 0, 2, {'R'}}});
  for (size_t n = 0; n <= small.size(); ++n)
  {
    const Bytes prefix(small.begin(), small.begin() + long(n));
    FontTableReader(prefix.data(), int32_t(n), 0);
  }
  for (size_t n = 0; n < roboto.size(); n += 997)
  {
    const Bytes prefix(roboto.begin(), roboto.begin() + long(n));
    const FontTableReader reader(prefix.data(), int32_t(n), 0);
    if (reader.HasRequiredTables())
    {
      EXPECT_EQ(std::string(reader.GetFamilyName().Get()), "Roboto");
    }
  }
  std::mt19937 random(7);
  for (int i = 0; i < 4000; ++i)
  {
    Bytes broken = small;
    for (int k = 0; k < 4; ++k)
      broken[random() % broken.size()] = uint8_t(random());
    FontTableReader(broken.data(), int32_t(broken.size()), 0);
  }
}

TEST(FontTableReaderTest, BlobsReadTheirOwnBytes)
{
  const Bytes font = MakeFont({{3, 1, 1033, 1, Utf16({'O', 'w', 'n'})}});
  auto original = std::make_unique<FontBlob>();
  ASSERT_TRUE(original->AssignBytes(font.data(), int32_t(font.size()), 0));
  FontBlob copy(*original);
  FontBlob assigned;
  assigned = *original;
  FontBlob moved(std::move(*original));
  original.reset();
  for (const FontBlob* blob : {&copy, &assigned, &moved})
  {
    EXPECT_TRUE(blob->IsUsable());
    EXPECT_EQ(std::string(blob->GetReader().ReadFontName(1).Get()), "Own");
  }
  FontBlob notAFont;
  EXPECT_FALSE(notAFont.AssignBytes(nullptr, 0, 0));
  EXPECT_FALSE(notAFont.IsUsable());
}
