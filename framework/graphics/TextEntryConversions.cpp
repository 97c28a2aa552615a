#include "framework/graphics/TextEntryConversions.h"

namespace iplug::igraphics
{

namespace
{

// Length of the well-formed, not overlong sequence starting at s (1 to 6), or 0; the code point in cp.
int ReadSequence(const unsigned char* s, int32_t& cp)
{
  const unsigned char lead = s[0];
  int length;
  int32_t value;
  int32_t minimum;
  if (lead < 0x80)
  {
    cp = lead;
    return 1;
  }
  if ((lead & 0xE0) == 0xC0)
    length = 2, value = lead & 0x1F, minimum = 0x80;
  else if ((lead & 0xF0) == 0xE0)
    length = 3, value = lead & 0x0F, minimum = 0x800;
  else if ((lead & 0xF8) == 0xF0)
    length = 4, value = lead & 0x07, minimum = 0x10000;
  else if ((lead & 0xFC) == 0xF8)
    length = 5, value = lead & 0x03, minimum = 0x200000;
  else if ((lead & 0xFE) == 0xFC)
    length = 6, value = lead & 0x01, minimum = 0x4000000;
  else
    return 0;
  for (int i = 1; i < length; ++i)
  {
    // A terminator is no continuation byte, so this never reads past the text.
    if ((s[i] & 0xC0) != 0x80) return 0;
    value = (value << 6) | (s[i] & 0x3F);
  }
  if (value < minimum) return 0;
  cp = value;
  return length;
}

void AppendUtf8(std::string& out, uint32_t unit)
{
  if (unit < 0x80)
    out += static_cast<char>(unit);
  else if (unit < 0x800)
  {
    out += static_cast<char>(0xC0 | (unit >> 6));
    out += static_cast<char>(0x80 | (unit & 0x3F));
  }
  else if (unit < 0x10000)
  {
    out += static_cast<char>(0xE0 | (unit >> 12));
    out += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (unit & 0x3F));
  }
  else
  {
    out += static_cast<char>(0xF0 | (unit >> 18));
    out += static_cast<char>(0x80 | ((unit >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (unit & 0x3F));
  }
}

} // namespace

std::u16string Utf8ToUtf16Text(const char* text)
{
  std::u16string out;
  if (!text) return out;
  const auto* s = reinterpret_cast<const unsigned char*>(text);
  while (*s)
  {
    int32_t cp = 0;
    const int length = ReadSequence(s, cp);
    if (length == 0)
    {
      out += static_cast<char16_t>(*s);
      ++s;
      continue;
    }
    if (length >= 5)
      out += u'_';
    else if (cp > 0xFFFF && cp <= 0x10FFFF)
    {
      out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    }
    else
      out += static_cast<char16_t>(cp & 0xFFFF);
    s += length;
  }
  return out;
}

std::string Utf16ToUtf8Text(const char16_t* units, size_t count)
{
  std::string out;
  if (!units) return out;
  for (size_t i = 0; i < count; ++i)
  {
    const uint32_t u = units[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < count && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF)
    {
      AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (units[i + 1] - 0xDC00));
      ++i;
    }
    else
      AppendUtf8(out, u);
  }
  return out;
}

int CodepointToUtf8(int32_t codepoint, char* out, int size)
{
  if (!out || size < 1) return 0;
  if (size < 2)
  {
    out[0] = '\0';
    return 0;
  }
  const uint32_t c = codepoint < 0 ? 0u : static_cast<uint32_t>(codepoint);
  const int needed = c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : c < 0x200000 ? 4 : 0;
  if (needed == 0 || needed + 1 > size)
  {
    out[0] = '_';
    out[1] = '\0';
    return 1;
  }
  std::string bytes;
  AppendUtf8(bytes, c);
  for (int i = 0; i < needed; ++i)
    out[i] = bytes[static_cast<size_t>(i)];
  out[needed] = '\0';
  return needed;
}

int32_t DecodeKeyText(const char* utf8)
{
  if (!utf8 || !utf8[0]) return 0;
  const auto* s = reinterpret_cast<const unsigned char*>(utf8);
  if (s[0] >= 0xF8 && s[0] <= 0xFB) return '_';
  int32_t cp = 0;
  const int length = ReadSequence(s, cp);
  if (length >= 1 && length <= 4) return cp;
  return s[0];
}

} // namespace iplug::igraphics
