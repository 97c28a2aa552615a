#pragma once
// The text field keeps its text as UTF-16 code units; these conversions are forgiving on purpose: a byte
// that starts no well-formed sequence is kept as one unit of the same value instead of being lost.

#include <cstddef>
#include <cstdint>
#include <string>

namespace iplug::igraphics
{

// Null gives the empty text. Code points above U+FFFF become surrogate pairs; 4-byte forms beyond
// U+10FFFF keep their low 16 bits; a well-formed 5- or 6-byte form becomes one '_'.
std::u16string Utf8ToUtf16Text(const char* text);

// A high surrogate followed by a low one is combined; every other unit, lone surrogates included, is
// encoded as it stands in 1 to 3 bytes.
std::string Utf16ToUtf8Text(const char16_t* units, size_t count);
inline std::string Utf16ToUtf8Text(const std::u16string& text)
{
  return Utf16ToUtf8Text(text.data(), text.size());
}

// One code point into out (room for size bytes, terminator included); "_" when it does not fit or has
// no 4-byte form. Returns the bytes written without the terminator.
int CodepointToUtf8(int32_t codepoint, char* out, int size);

// The code point of a key's text: ASCII and well-formed 2- to 4-byte sequences as such, a 5-byte form as
// '_', anything else as its first byte.
int32_t DecodeKeyText(const char* utf8);

} // namespace iplug::igraphics
