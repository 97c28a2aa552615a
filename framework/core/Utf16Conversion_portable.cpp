#include "framework/core/Utf16Conversion.h"

#include <cstdint>
#include <string>

namespace iplug
{
namespace
{
constexpr char32_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char c)
{
  return (c & 0xC0) == 0x80;
}

// Strict UTF-8: shortest forms only, no surrogates, nothing above U+10FFFF.
char32_t NextCodePoint(const unsigned char*& s)
{
  const unsigned char lead = *s++;
  if (lead < 0x80) return lead;
  int extra = 0;
  char32_t code = 0, minimum = 0;
  if (lead >= 0xC2 && lead <= 0xDF)
    extra = 1, code = lead & 0x1F, minimum = 0x80;
  else if (lead >= 0xE0 && lead <= 0xEF)
    extra = 2, code = lead & 0x0F, minimum = 0x800;
  else if (lead >= 0xF0 && lead <= 0xF4)
    extra = 3, code = lead & 0x07, minimum = 0x10000;
  else
    return kReplacement;
  for (int i = 0; i < extra; ++i)
  {
    if (!IsContinuation(*s)) return kReplacement; // the broken sequence ends before this byte
    code = (code << 6) | (*s++ & 0x3F);
  }
  if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return kReplacement;
  return code;
}
} // namespace

HeapBuffer Utf8ToWide(const char* text)
{
  std::u16string units;
  if (text)
  {
    for (const auto* s = reinterpret_cast<const unsigned char*>(text); *s;)
    {
      const char32_t code = NextCodePoint(s);
      if (code > 0xFFFF)
      {
        units.push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
        units.push_back(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
      }
      else
        units.push_back(static_cast<char16_t>(code));
    }
  }
  HeapBuffer out(4096);
  const int64_t bytes = static_cast<int64_t>(units.size() + 1) * 2;
  if (bytes > INT32_MAX) return out;
  auto* data = static_cast<char16_t*>(out.ResizeHeapBuffer(static_cast<int32_t>(bytes)));
  if (data && out.GetSize() == bytes) units.copy(data, units.size()), data[units.size()] = 0;
  return out;
}

TextBuffer WideToUtf8(const char16_t* text)
{
  std::string bytes;
  for (const char16_t* s = text; s && *s; ++s)
  {
    char32_t code = *s;
    if (code >= 0xD800 && code <= 0xDBFF && s[1] >= 0xDC00 && s[1] <= 0xDFFF)
      code = 0x10000 + ((code - 0xD800) << 10) + (*++s - 0xDC00);
    else if (code >= 0xD800 && code <= 0xDFFF)
      code = kReplacement; // a lone surrogate
    if (code < 0x80)
      bytes.push_back(static_cast<char>(code));
    else if (code < 0x800)
    {
      bytes.push_back(static_cast<char>(0xC0 | (code >> 6)));
      bytes.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
    else if (code < 0x10000)
    {
      bytes.push_back(static_cast<char>(0xE0 | (code >> 12)));
      bytes.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      bytes.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
    else
    {
      bytes.push_back(static_cast<char>(0xF0 | (code >> 18)));
      bytes.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
      bytes.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      bytes.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
  }
  TextBuffer out;
  if (!bytes.empty()) out.AssignText(bytes.c_str());
  return out;
}
} // namespace iplug
