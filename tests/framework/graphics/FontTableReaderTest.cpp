#include "framework/graphics/FontBlob.h"
#include "framework/graphics/FontTableReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace iplug::igraphics;

namespace
{

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& b, size_t at, uint16_t v)
{
  if (b.size() < at + 2) b.resize(at + 2);
  b[at] = uint8_t(v >> 8);
  b[at + 1] = uint8_t(v);
}

void Put32(Bytes& b, size_t at, uint32_t v)
{
  Put16(b, at, uint16_t(v >> 16));
  Put16(b, at + 2, uint16_t(v));
}

// A "name" record: platform, encoding, language, name id and the stored bytes.
struct Name
{
  uint16_t platform, encoding, language, id;
  Bytes text;
};

// A font with "head", "hhea" and "name" tables starting at base (zeros before it): unitsPerEm 2048,
// descender -500.
Bytes MakeFont(const std::vector<Name>& names, uint16_t macStyle = 0, size_t base = 0)
{
  Bytes b(base, 0);
  Put32(b, base, 0x00010000);
  Put16(b, base + 4, 3);
  const size_t head = base + 12 + 3 * 16;
  const size_t hhea = head + 54;
  const size_t name = hhea + 36;
  const size_t offsets[3] = {head, hhea, name};
  for (int i = 0; i < 3; ++i)
  {
    b.resize(base + 28 + 16 * i);
    std::copy_n(&"headhheaname"[4 * i], 4, b.begin() + base + 12 + 16 * i);
    Put32(b, base + 20 + 16 * i, uint32_t(offsets[i]));
  }
  Put16(b, head + 18, 2048);
  Put16(b, head + 44, macStyle);
  Put16(b, hhea + 4, 1900);
  Put16(b, hhea + 6, uint16_t(-500));
  Put16(b, hhea + 8, 0);
  Put16(b, name + 2, uint16_t(names.size()));
  const size_t storage = 6 + 12 * names.size();
  Put16(b, name + 4, uint16_t(storage));
  size_t text = 0;
  for (size_t i = 0; i < names.size(); ++i)
  {
    const Name& n = names[i];
    for (int k = 0; k < 4; ++k)
      Put16(b, name + 6 + 12 * i + 2 * k, (&n.platform)[k]);
    Put16(b, name + 14 + 12 * i, uint16_t(n.text.size()));
    Put16(b, name + 16 + 12 * i, uint16_t(text));
    b.resize(name + storage + text);
    b.insert(b.end(), n.text.begin(), n.text.end());
    text += n.text.size();
  }
  // Table lengths: each runs to the next, the last to the end.
  const size_t ends[3] = {hhea, name, b.size()};
  for (int i = 0; i < 3; ++i)
    Put32(b, base + 24 + 16 * i, uint32_t(ends[i] - offsets[i]));
  return b;
}

// UTF-16 big-endian units, optionally followed by one stray byte.
Bytes Utf16(std::initializer_list<uint16_t> units, bool oddByte = false)
{
  Bytes b;
  for (uint16_t u : units)
    b.insert(b.end(), {uint8_t(u >> 8), uint8_t(u)});
  if (oddByte) b.push_back('!');
  return b;
}

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
