#include "framework/graphics/FontTableReader.h"

#include <cstring>

namespace iplug::igraphics
{

namespace
{

constexpr uint32_t kTableRecordSize = 16;
constexpr uint32_t kNameRecordSize = 12;
constexpr char32_t kReplacement = 0xFFFD;

// Mac Roman bytes 0x80..0xFF as code points: Macintosh names are converted so that every name the
// reader gives is UTF-8.
constexpr char16_t kMacRoman[128] = {
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1, 0x00E0, 0x00E2, 0x00E4, 0x00E3, 0x00E5,
    0x00E7, 0x00E9, 0x00E8, 0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF, 0x00F1, 0x00F3, 0x00F2, 0x00F4,
    0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC, 0x2020, 0x00B0, 0x00A2, 0x00A3, 0x00A7, 0x2022, 0x00B6,
    0x00DF, 0x00AE, 0x00A9, 0x2122, 0x00B4, 0x00A8, 0x2260, 0x00C6, 0x00D8, 0x221E, 0x00B1, 0x2264, 0x2265,
    0x00A5, 0x00B5, 0x2202, 0x2211, 0x220F, 0x03C0, 0x222B, 0x00AA, 0x00BA, 0x03A9, 0x00E6, 0x00F8, 0x00BF,
    0x00A1, 0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB, 0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3, 0x00D5,
    0x0152, 0x0153, 0x2013, 0x2014, 0x201C, 0x201D, 0x2018, 0x2019, 0x00F7, 0x25CA, 0x00FF, 0x0178, 0x2044,
    0x20AC, 0x2039, 0x203A, 0xFB01, 0xFB02, 0x2021, 0x00B7, 0x201A, 0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1,
    0x00CB, 0x00C8, 0x00CD, 0x00CE, 0x00CF, 0x00CC, 0x00D3, 0x00D4, 0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9,
    0x0131, 0x02C6, 0x02DC, 0x00AF, 0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7,
};

bool AppendCodePoint(TextBuffer& out, char32_t cp)
{
  char bytes[5] = {};
  if (cp < 0x80)
    bytes[0] = static_cast<char>(cp);
  else if (cp < 0x800)
  {
    bytes[0] = static_cast<char>(0xC0 | (cp >> 6));
    bytes[1] = static_cast<char>(0x80 | (cp & 0x3F));
  }
  else if (cp < 0x10000)
  {
    bytes[0] = static_cast<char>(0xE0 | (cp >> 12));
    bytes[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    bytes[2] = static_cast<char>(0x80 | (cp & 0x3F));
  }
  else
  {
    bytes[0] = static_cast<char>(0xF0 | (cp >> 18));
    bytes[1] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    bytes[2] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    bytes[3] = static_cast<char>(0x80 | (cp & 0x3F));
  }
  return out.AppendText(bytes);
}

bool IsSingleFontTag(const uint8_t* p)
{
  static const uint8_t kTags[4][4] = {
      {0, 1, 0, 0}, {'1', 0, 0, 0}, {'t', 'y', 'p', '1'}, {'O', 'T', 'T', 'O'}};
  for (const auto& tag : kTags)
    if (std::memcmp(p, tag, 4) == 0) return true;
  return false;
}

uint32_t Be32(const uint8_t* p)
{
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

// The number of faces a "ttcf" header may claim: its count, bounded by the offsets that fit in size.
uint32_t CollectionCount(const uint8_t* p, uint32_t size)
{
  if (size < 12) return 0;
  const uint32_t version = Be32(p + 4);
  if (version != 0x00010000u && version != 0x00020000u) return 0;
  const uint32_t count = Be32(p + 8);
  const uint32_t listed = (size - 12) / 4;
  return count < listed ? count : listed;
}

} // namespace

int32_t FontTableReader::CountFontFaces(const void* bytes, int32_t size)
{
  if (!bytes || size < 4) return 0;
  const auto* p = static_cast<const uint8_t*>(bytes);
  if (IsSingleFontTag(p)) return 1;
  if (std::memcmp(p, "ttcf", 4) != 0) return 0;
  const uint32_t count = CollectionCount(p, static_cast<uint32_t>(size));
  return count > 0x7FFFFFFFu ? 0x7FFFFFFF : static_cast<int32_t>(count);
}

FontTableReader::FontTableReader(const void* bytes, int32_t size, int32_t faceIndex)
{
  if (!bytes || size < 4 || faceIndex < 0) return;
  const auto* p = static_cast<const uint8_t*>(bytes);
  const auto n = static_cast<uint32_t>(size);
  uint32_t face = 0;
  if (IsSingleFontTag(p))
  {
    if (faceIndex != 0) return;
  }
  else if (std::memcmp(p, "ttcf", 4) == 0)
  {
    if (static_cast<uint32_t>(faceIndex) >= CollectionCount(p, n)) return;
    face = Be32(p + 12 + 4 * static_cast<uint32_t>(faceIndex));
    // The face's own directory header (tag, count) must be there before anything is looked up in it.
    if (face > n || n - face < 12) return;
  }
  else
    return;

  mBytes = p;
  mSize = n;
  mFace = face;
  mHead = FindFontTable("head");
  mName = FindFontTable("name");
  mHhea = FindFontTable("hhea");
  mFdsc = FindFontTable("fdsc");
  if (!HasRequiredTables()) return;

  uint16_t v = 0;
  if (Read16(uint64_t(mHead) + 18, v)) mUnitsPerEm = v;
  if (Read16(uint64_t(mHead) + 44, v)) mMacStyle = v;
  mFamily = ReadFontName(1);
  mStyle = ReadFontName(2);
  if (Read16(uint64_t(mHhea) + 4, v)) mAscender = static_cast<int16_t>(v);
  if (Read16(uint64_t(mHhea) + 6, v)) mDescender = static_cast<int16_t>(v);
  if (Read16(uint64_t(mHhea) + 8, v)) mLineGap = static_cast<int16_t>(v);
}

bool FontTableReader::Read16(uint64_t at, uint16_t& value) const
{
  if (!mBytes || at + 2 > mSize) return false;
  value = static_cast<uint16_t>((mBytes[at] << 8) | mBytes[at + 1]);
  return true;
}

bool FontTableReader::Read32(uint64_t at, uint32_t& value) const
{
  if (!mBytes || at + 4 > mSize) return false;
  value = Be32(mBytes + at);
  return true;
}

uint32_t FontTableReader::FindFontTable(const char* tag) const
{
  uint16_t count = 0;
  if (!tag || std::strlen(tag) != 4 || !Read16(uint64_t(mFace) + 4, count)) return 0;
  for (uint32_t i = 0; i < count; ++i)
  {
    const uint64_t record = uint64_t(mFace) + 12 + uint64_t(i) * kTableRecordSize;
    if (record + kTableRecordSize > mSize) return 0; // the directory runs past the end
    if (std::memcmp(mBytes + record, tag, 4) != 0) continue;
    uint32_t offset = 0;
    uint32_t length = 0;
    Read32(record + 8, offset);
    Read32(record + 12, length);
    if (offset == 0 || uint64_t(offset) + length > mSize) return 0;
    return offset;
  }
  return 0;
}

TextBuffer FontTableReader::ReadFontName(int nameId) const
{
  TextBuffer name = ReadNameRecord(3, 1, 1033, nameId);
  if (name.IsEmpty()) name = ReadNameRecord(1, 0, 0, nameId);
  return name;
}

TextBuffer FontTableReader::ReadNameRecord(uint16_t platform, uint16_t encoding, uint16_t language,
                                           int nameId) const
{
  TextBuffer out;
  out.AssignText("");
  uint16_t count = 0;
  uint16_t storage = 0;
  if (!mName || !Read16(uint64_t(mName) + 2, count) || !Read16(uint64_t(mName) + 4, storage)) return out;
  for (uint32_t i = 0; i < count; ++i)
  {
    const uint64_t record = uint64_t(mName) + 6 + uint64_t(i) * kNameRecordSize;
    uint16_t f[6] = {};
    for (int k = 0; k < 6; ++k)
      if (!Read16(record + 2 * k, f[k])) return out; // the records run past the end
    if (f[0] != platform || f[1] != encoding || f[2] != language || f[3] != nameId) continue;
    const uint64_t at = uint64_t(mName) + storage + f[5];
    if (at + f[4] > mSize) return out;
    if (platform == 3)
      AppendWindowsName(out, at, f[4]);
    else
      AppendMacName(out, at, f[4]);
    return out;
  }
  return out;
}

bool FontTableReader::AppendWindowsName(TextBuffer& out, uint64_t at, uint32_t length) const
{
  // UTF-16 big-endian; an odd final byte is not part of any unit.
  const uint32_t units = length / 2;
  for (uint32_t i = 0; i < units; ++i)
  {
    uint16_t u = 0;
    Read16(at + 2 * i, u);
    if (u == 0) break;
    char32_t cp = u;
    if (u >= 0xD800 && u <= 0xDBFF)
    {
      uint16_t low = 0;
      if (i + 1 < units && Read16(at + 2 * (i + 1), low) && low >= 0xDC00 && low <= 0xDFFF)
      {
        cp = 0x10000 + ((char32_t(u) - 0xD800) << 10) + (char32_t(low) - 0xDC00);
        ++i;
      }
      else
        cp = kReplacement;
    }
    else if (u >= 0xDC00 && u <= 0xDFFF)
      cp = kReplacement;
    if (!AppendCodePoint(out, cp)) return false;
  }
  return true;
}

bool FontTableReader::AppendMacName(TextBuffer& out, uint64_t at, uint32_t length) const
{
  for (uint32_t i = 0; i < length; ++i)
  {
    const uint8_t b = mBytes[at + i];
    if (b == 0) break;
    const char32_t cp = b < 0x80 ? char32_t(b) : char32_t(kMacRoman[b - 0x80]);
    if (!AppendCodePoint(out, cp)) return false;
  }
  return true;
}

} // namespace iplug::igraphics
