#include "framework/core/ResourceLookup.h"

#include "framework/core/Utf16Conversion.h"

#include <cstring>

namespace iplug::detail
{
TextBuffer LowerAscii(const char* text)
{
  // Through UTF-16 and back, as the module's names are compared in that form.
  HeapBuffer wide = Utf8ToWide(text);
  auto* units = wide.GetAs<char16_t>();
  if (!units) return TextBuffer();
  for (char16_t* u = units; *u; ++u)
    if (*u >= u'A' && *u <= u'Z') *u = static_cast<char16_t>(*u - u'A' + u'a');
  return WideToUtf8(units);
}

bool StoredNameMatches(const char* stored, const char* searched)
{
  if (!stored || !searched) return false;
  const size_t length = std::strlen(stored);
  // The stored name carries a quote mark at each end; a name too short to have
  // both can name nothing, and two marks alone hold no name.
  if (length <= 2) return false;
  TextBuffer inner;
  inner.AssignText(stored + 1, static_cast<int32_t>(length - 2));
  TextBuffer lowered = LowerAscii(inner.Get());
  return std::strcmp(lowered.Get(), searched) == 0;
}
} // namespace iplug::detail
