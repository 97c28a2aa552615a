#include "framework/vst3/Vst3Strings.h"

namespace iplug
{

void WidenAscii(const char* text, Steinberg::Vst::TChar* out, int capacity)
{
  if (!out || capacity <= 0) return;
  int i = 0;
  for (; text && i < capacity - 1 && text[i]; ++i)
    out[i] = static_cast<Steinberg::Vst::TChar>(static_cast<unsigned char>(text[i]));
  out[i] = 0;
}

void NarrowToAscii(const Steinberg::Vst::TChar* text, char* out, int capacity)
{
  if (!out || capacity <= 0) return;
  int i = 0;
  for (; text && i < capacity - 1 && text[i]; ++i)
    out[i] = static_cast<char>(text[i] & 0xFF);
  out[i] = 0;
}

std::string Utf16ToUtf8(const Steinberg::Vst::TChar* text, int maxUnits)
{
  std::string out;
  if (!text) return out;
  for (int i = 0; i < maxUnits && text[i]; ++i)
  {
    char32_t c = static_cast<char16_t>(text[i]);
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < maxUnits && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
    {
      c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char16_t>(text[i + 1]) - 0xDC00);
      ++i;
    }
    else if (c >= 0xD800 && c <= 0xDFFF)
      c = 0xFFFD;
    if (c < 0x80)
      out += static_cast<char>(c);
    else if (c < 0x800)
    {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
    else if (c < 0x10000)
    {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
    else
    {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

} // namespace iplug
