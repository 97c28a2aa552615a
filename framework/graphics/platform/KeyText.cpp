#include "framework/graphics/platform/KeyText.h"

#include "framework/core/Utf16Conversion.h"

#include <cstring>

namespace iplug::igraphics
{

namespace
{
bool IsHighSurrogate(char16_t u)
{
  return u >= 0xD800 && u <= 0xDBFF;
}
bool IsLowSurrogate(char16_t u)
{
  return u >= 0xDC00 && u <= 0xDFFF;
}
} // namespace

KeyText KeyTextFromUnicode(int count, const char16_t* units)
{
  KeyText result;
  if (count <= 0 || !units) return result;
  const bool onePair = count == 2 && IsHighSurrogate(units[0]) && IsLowSurrogate(units[1]);
  if (count > 2 || (count == 2 && !onePair))
  {
    result.toRootWindow = true;
    return result;
  }
  char16_t one[3] = {units[0], onePair ? units[1] : char16_t(0), 0};
  const TextBuffer text = WideToUtf8(one);
  // One code point is at most four bytes of UTF-8.
  std::strncpy(result.utf8, text.Get(), sizeof(result.utf8) - 1);
  return result;
}

} // namespace iplug::igraphics
