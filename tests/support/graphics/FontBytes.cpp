#include "tests/support/graphics/FontBytes.h"

#include <algorithm>

namespace iplug::igraphics::gfxtest
{

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

Bytes MakeFont(const std::vector<Name>& names, uint16_t macStyle, size_t base)
{
  Bytes b(base, 0);
  Put32(b, base, 0x00010000);
  Put16(b, base + 4, 3);
  const size_t head = base + 12 + 3 * 16;
  const size_t hhea = head + 54;
  const size_t name = hhea + 36;
  const char* tags[3] = {"head", "hhea", "name"};
  const size_t offsets[3] = {head, hhea, name};
  for (int i = 0; i < 3; ++i)
  {
    const size_t r = base + 12 + 16 * i;
    b.resize(r + 16);
    std::copy(tags[i], tags[i] + 4, b.begin() + r);
    Put32(b, r + 8, uint32_t(offsets[i]));
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
    const size_t r = name + 6 + 12 * i;
    const Name& n = names[i];
    for (int k = 0; k < 4; ++k)
      Put16(b, r + 2 * k, (&n.platform)[k]);
    Put16(b, r + 8, uint16_t(n.text.size()));
    Put16(b, r + 10, uint16_t(text));
    b.resize(name + storage + text);
    b.insert(b.end(), n.text.begin(), n.text.end());
    text += n.text.size();
  }
  // Table lengths: each runs to the next, the last to the end.
  const size_t ends[3] = {hhea, name, b.size()};
  for (int i = 0; i < 3; ++i)
    Put32(b, base + 12 + 16 * i + 12, uint32_t(ends[i] - offsets[i]));
  return b;
}

Bytes Utf16(std::initializer_list<uint16_t> units, bool oddByte)
{
  Bytes b;
  for (uint16_t u : units)
    b.insert(b.end(), {uint8_t(u >> 8), uint8_t(u)});
  if (oddByte) b.push_back('!');
  return b;
}

} // namespace iplug::igraphics::gfxtest
