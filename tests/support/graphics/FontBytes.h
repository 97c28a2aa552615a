#pragma once
// Font files made up in memory: a single font with "head", "hhea" and "name" tables and the names
// given, for tests of everything that reads font tables (the table reader, platform fonts).

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace iplug::igraphics::gfxtest
{

using Bytes = std::vector<uint8_t>;

// Big-endian values, growing the bytes as needed.
void Put16(Bytes& bytes, size_t at, uint16_t value);
void Put32(Bytes& bytes, size_t at, uint32_t value);

// One record of the "name" table: platform, encoding, language, name id and the stored bytes.
struct Name
{
  uint16_t platform, encoding, language, id;
  Bytes text;
};

// A font starting at base inside the bytes (zeros before it); unitsPerEm 2048, ascender 1900,
// descender -500.
Bytes MakeFont(const std::vector<Name>& names, uint16_t macStyle = 0, size_t base = 0);

// UTF-16 big-endian units, optionally followed by one stray byte.
Bytes Utf16(std::initializer_list<uint16_t> units, bool oddByte = false);

} // namespace iplug::igraphics::gfxtest
