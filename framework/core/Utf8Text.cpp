#include "framework/core/Utf8Text.h"

#include <cstddef>
#include <cstdint>
#include <new>

namespace iplug
{
namespace
{
bool IsContinuation(unsigned char c)
{
  return c >= 0x80 && c <= 0xBF;
}

// One step of the lenient decoder used for conversion and echo matching.
struct DecodedStep
{
  enum Kind
  {
    kAscii,
    kValid,   // a multi-byte character, `code` holds it
    kInvalid, // one invalid unit (a stray byte, or a 5- or 6-byte form)
  } kind;
  uint32_t code; // the character; for invalid single bytes the byte itself
  int length;    // bytes consumed
  bool longForm; // invalid 5- or 6-byte form
};

DecodedStep DecodeStep(const unsigned char* s)
{
  const unsigned char lead = s[0];
  if (lead < 0x80) return {DecodedStep::kAscii, lead, 1, false};
  // Two-byte forms: any lead up to 0xDF with bits 1 to 4 not all zero (this also
  // takes stray continuation bytes as leads, as narrow controls do).
  if (lead <= 0xDF && (lead & 0x1E) != 0 && IsContinuation(s[1]))
    return {DecodedStep::kValid, static_cast<uint32_t>(((lead & 0x1F) << 6) | (s[1] & 0x3F)), 2, false};
  if (lead >= 0xE0 && lead <= 0xEF && IsContinuation(s[1]) && IsContinuation(s[2]) &&
      !(lead == 0xE0 && s[1] < 0xA0))
    return {DecodedStep::kValid,
            static_cast<uint32_t>(((lead & 0x0F) << 12) | ((s[1] & 0x3F) << 6) | (s[2] & 0x3F)), 3, false};
  if (lead >= 0xF0 && lead <= 0xF7 && IsContinuation(s[1]) && IsContinuation(s[2]) && IsContinuation(s[3]) &&
      !(lead == 0xF0 && s[1] < 0x90))
    return {DecodedStep::kValid,
            static_cast<uint32_t>(((lead & 0x07) << 18) | ((s[1] & 0x3F) << 12) | ((s[2] & 0x3F) << 6) |
                                  (s[3] & 0x3F)),
            4, false};
  if (lead >= 0xF8 && lead <= 0xFB && IsContinuation(s[1]) && IsContinuation(s[2]) && IsContinuation(s[3]) &&
      IsContinuation(s[4]))
    return {DecodedStep::kInvalid, '_', 5, true};
  if (lead >= 0xFC && IsContinuation(s[1]) && IsContinuation(s[2]) && IsContinuation(s[3]) &&
      IsContinuation(s[4]) && IsContinuation(s[5]))
    return {DecodedStep::kInvalid, '_', 6, true};
  return {DecodedStep::kInvalid, lead, 1, false};
}

// UTF-16 units a character takes. Characters beyond the Unicode range (leads
// 0xF5..0xF7) cannot be paired: they become one replacement character.
int UnitsFor(uint32_t code)
{
  return (code > 0xFFFF && code <= 0x10FFFF) ? 2 : 1;
}
} // namespace

int HasMultibyteUtf8(const char* text)
{
  if (!text) return 0;
  const auto* s = reinterpret_cast<const unsigned char*>(text);
  int result = 0;
  while (*s)
  {
    const unsigned char lead = *s;
    int length = 1;
    if (lead < 0x80)
    {
      ++s;
      continue;
    }
    if (lead >= 0xC2 && lead <= 0xDF)
      length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
    {
      length = 3;
      if (lead == 0xE0 && s[1] >= 0x80 && s[1] <= 0x9F) return -1;
    }
    else if (lead >= 0xF0 && lead <= 0xF7)
    {
      length = 4;
      if (lead == 0xF0 && s[1] >= 0x80 && s[1] <= 0x8F) return -1;
    }
    else
      return -1;
    // A terminator is not a continuation byte, so the scan never passes it.
    for (int i = 1; i < length; ++i)
      if (!IsContinuation(s[i])) return -1;
    s += length;
    result = 1;
  }
  return result;
}

char16_t* DecodeUtf8ToWideBuffer(const char* text, char16_t* buffer, int bufferBytes, int flags)
{
  if (!text) return nullptr;
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);

  long long needed = 0, validBytes = 0, invalidUnits = 0, length = 0;
  for (const unsigned char* s = bytes; *s;)
  {
    const DecodedStep step = DecodeStep(s);
    if (step.kind == DecodedStep::kAscii)
      needed += 1;
    else if (step.kind == DecodedStep::kValid)
    {
      needed += UnitsFor(step.code);
      validBytes += step.length;
    }
    else
      invalidUnits += 1;
    s += step.length;
    length += step.length;
  }

  if (!(flags & kDecodeAcceptAnyText) && validBytes < 5 * invalidUnits && validBytes * 4 < length * 3)
    return nullptr;

  const long long bufferUnits = (buffer && bufferBytes > 0) ? bufferBytes / 2 : 0;
  char16_t* out = buffer;
  long long capacity = bufferUnits;
  if (bufferUnits < needed + 1)
  {
    if (flags & kDecodeCutToBuffer)
    {
      if (bufferUnits < 1) return nullptr; // nothing to cut into
    }
    else
    {
      out = new (std::nothrow) char16_t[static_cast<size_t>(needed + 1)];
      if (!out) return nullptr;
      capacity = needed + 1;
    }
  }

  long long pos = 0;
  for (const unsigned char* s = bytes; *s;)
  {
    const DecodedStep step = DecodeStep(s);
    s += step.length;
    if (step.kind == DecodedStep::kInvalid) continue;
    const uint32_t code = step.code;
    const int units = UnitsFor(code);
    if (pos + units + 1 > capacity) break;
    if (units == 2)
    {
      const uint32_t v = code - 0x10000;
      out[pos++] = static_cast<char16_t>(0xD800 + (v >> 10));
      out[pos++] = static_cast<char16_t>(0xDC00 + (v & 0x3FF));
    }
    else
      out[pos++] = static_cast<char16_t>(code > 0x10FFFF ? 0xFFFD : code);
  }
  out[pos] = 0;
  return out;
}

int MatchesNarrowEcho(const char* utf8, const char* narrow)
{
  if (!utf8 || !narrow) return (utf8 == narrow) ? 0 : 1;
  const auto* s = reinterpret_cast<const unsigned char*>(utf8);
  const auto* n = reinterpret_cast<const unsigned char*>(narrow);
  while (*s)
  {
    const DecodedStep step = DecodeStep(s);
    s += step.length;
    if (!*n) return 1;
    const uint32_t shown = step.code;
    if (!(shown == *n || (shown >= 128 && *n == '?'))) return 1;
    ++n;
  }
  return *n ? 1 : 0;
}

int WideLength(const char16_t* text)
{
  int n = 0;
  if (text)
    while (text[n])
      ++n;
  return n;
}

void AddLongPathPrefix(char16_t* path)
{
  if (!path) return;
  const int length = WideLength(path);
  if (length < 256) return;
  // "\\?\..." and "\\.\..." are long or device paths already.
  if (path[0] == u'\\' && path[1] == u'\\' && (path[2] == u'?' || path[2] == u'.') && path[3] == u'\\')
    return;

  int skip = 0;
  const char16_t* prefix = nullptr;
  if (path[1] == u':')
    prefix = u"\\\\?\\";
  else if (path[0] == u'\\' && path[1] == u'\\')
  {
    prefix = u"\\\\?\\UNC\\";
    skip = 2;
  }
  else
    return;

  const int prefixLength = WideLength(prefix);
  const int shift = prefixLength - skip;
  // Move the rest (with its terminator) right, then write the prefix in front.
  for (int i = length; i >= skip; --i)
    path[i + shift] = path[i];
  for (int i = 0; i < prefixLength; ++i)
    path[i] = prefix[i];
  for (int i = prefixLength; path[i]; ++i)
    if (path[i] == u'/') path[i] = u'\\';
}
} // namespace iplug
