#pragma once

// A small negative value that a fixed-point format rounds to zero comes out as "-0" or "-0.0". Every
// value text of the system shows it as zero, without the sign: the parameters' display texts and the
// editor's value boxes read the same for the same value.
namespace iplug
{

// A minus followed by a zero and nothing but zeros and a decimal point ("-0", "-0.0", "-0.00").
bool IsNegativeZeroText(const char* text);

// The text without its minus when it is a negative zero, otherwise the text itself.
inline const char* WithoutNegativeZero(const char* text)
{
  return IsNegativeZeroText(text) ? text + 1 : text;
}

} // namespace iplug
